#!/usr/bin/perl
# Relays one page through an SNPP server with the Net::SNPP client and prints the server's
# replies. Usage: snpp_client.pl HOST PORT MESSAGE PAGER...
# Exit code 0 when the server accepted the send, 1 when it refused something, 2 when it could
# not be reached.
use strict;
use warnings;
use Net::SNPP;

my ($host, $port, $message, @pagers) = @ARGV;
die "usage: $0 HOST PORT MESSAGE PAGER...\n" unless defined $message && @pagers;

my $snpp = Net::SNPP->new($host, Port => $port, Timeout => 10);
unless ($snpp) {
    print STDERR "cannot reach the SNPP server at $host:$port\n";
    exit 2;
}
my $sent = $snpp->send(Pager => \@pagers, Message => $message);
printf "%03d %s", $snpp->code, $snpp->message;
$snpp->quit;
exit($sent ? 0 : 1);
