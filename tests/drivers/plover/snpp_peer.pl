#!/usr/bin/perl
# A real SNPP server for the SNPP driver's tests: Net::SNPP::Server (Debian package
# libnet-snpp-perl) on 127.0.0.1 at the given port, serving one client after another until it
# is killed. Each page it accepts is appended to the record file as "pager<TAB>message".
# Once it listens it writes "ready" into the ready file.
#
#   snpp_peer.pl PORT RECORD-FILE READY-FILE
use strict;
use warnings;
use Net::SNPP::Server;

my ($port, $record, $ready) = @ARGV;
die "usage: snpp_peer.pl PORT RECORD-FILE READY-FILE\n" unless defined $ready;

my $server = Net::SNPP::Server->new(Port => $port, BindTo => '127.0.0.1');
$server->callback('write_log', sub { });
$server->callback('process_page', sub {
    my ($pager, $page, $results) = @_;
    open(my $out, '>>', $record) or die "cannot append to $record: $!\n";
    print $out "$pager->[0]\t$page->{mess}\n";
    close($out);
    push(@$results, [$pager, $page]);
    return 1;
});

open(my $flag, '>', $ready) or die "cannot write $ready: $!\n";
print $flag "ready\n";
close($flag);

while (1) {
    my $client = $server->client();
    $server->handle_client($client);
    close($client);
}
