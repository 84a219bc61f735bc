#!/usr/bin/perl
# The Net::SNPP::Server of libnet-snpp-perl as a plain SNPP server on 127.0.0.1, serving one
# client after another until it is ended, for bench_gateway to compare with the gateway.
# Usage: snpp_bench_server.pl PORT   (prints "ready" once it listens)
use strict;
use warnings;
use Net::SNPP::Server;

my $port = shift or die "usage: $0 PORT\n";
my $server = Net::SNPP::Server->new(Port => $port, BindTo => '127.0.0.1');
$server->callback('write_log', sub { });
$| = 1;
print "ready\n";
while (my $client = $server->client()) {
    $server->handle_client($client);
    $client->close();
}
