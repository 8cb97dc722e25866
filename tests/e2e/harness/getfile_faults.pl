#!/usr/bin/perl
# The reference download server with faults injected, for the reliability scenarios. It
# runs tools/server/getfile.pl (GETFILE_SCRIPT) for each request and then spoils the reply
# as the next matching line of the fault plan (GETFILE_FAULTS) says. A plan line is
#   <size|segment|digest> <fault>
# and is used once, in order. Faults: corrupt (one byte flipped), short (half the bytes),
# more (bytes beyond the requested length), newline (a trailing line feed), zero (the
# reply "0"), long (17 digits), reset (the connection closes half-way), stall (a pause of
# GETFILE_STALL seconds before the reply), freeze (the head and half the bytes, then that
# pause, then the rest), http404 and http500 (an error page of 6,000 bytes), and for a size
# reply shrink and grow (the size as it is, then the file on disk is cut to half its size or
# doubled, as when a file is replaced after a client read its size); any other word, such as
# pass, leaves that reply as it is. Each request's arrival is logged to GETFILE_FAULTS.times
# as "<seconds since the epoch> <kind> <fault or ->".
use strict;
use warnings;
use Fcntl qw(:flock SEEK_SET);
use Time::HiRes qw(time);

my $arrived = time;
my $query = $ENV{QUERY_STRING} // "";
my $kind = $query =~ /crc=1/ ? "digest" : $query =~ /mb_pos=/ ? "segment" : "size";

my $fault = "";
if (open(my $plan, "+<", $ENV{GETFILE_FAULTS})) {
    flock($plan, LOCK_EX);
    my @lines = <$plan>;
    for my $i (0 .. $#lines) {
        if ($lines[$i] =~ /\A$kind (\S+)/) {
            $fault = $1;
            splice(@lines, $i, 1);
            last;
        }
    }
    seek($plan, 0, SEEK_SET);
    truncate($plan, 0);
    print $plan @lines;
    close $plan;
}

if (open(my $times, ">>", "$ENV{GETFILE_FAULTS}.times")) {
    flock($times, LOCK_EX);
    printf $times "%.3f %s %s\n", $arrived, $kind, $fault eq "" ? "-" : $fault;
    close $times;
}

open(my $real, "-|", $^X, $ENV{GETFILE_SCRIPT}) or die "cannot run the server script";
binmode $real;
my $reply = do { local $/; <$real> };
close $real;
my ($head, $body) = split /\r\n\r\n/, $reply, 2;
$body //= "";

binmode STDOUT;
$| = 1;
sub send_reply {
    my ($status, $text) = @_;
    print "Status: $status\r\nContent-Type: application/octet-stream\r\nContent-Length: "
        . length($text) . "\r\n\r\n$text";
    exit 0;
}
my ($status) = $head =~ /\AStatus: ([^\r\n]+)/;
$status //= "200 OK";
if (($fault eq "shrink" || $fault eq "grow") && $kind eq "size") {
    my ($name) = $query =~ /\bfile=([^&]*)/;
    my $path = "$ENV{GETFILE_ROOT}/$name";
    my $size = -s $path;
    if ($fault eq "shrink") {
        truncate($path, int($size / 2));
    } elsif (open(my $file, "+<", $path)) {
        binmode $file;
        my $bytes = do { local $/; <$file> };
        print $file $bytes;
        close $file;
    }
    send_reply($status, $body);
}
send_reply($status, $body) if $fault eq "";
send_reply("404 Not Found", "x" x 6000) if $fault eq "http404";
send_reply("500 Internal Server Error", "x" x 6000) if $fault eq "http500";
if ($fault eq "stall") {
    sleep($ENV{GETFILE_STALL} // 5);
    send_reply($status, $body);
}
if ($fault eq "freeze") {
    print "Status: $status\r\nContent-Type: application/octet-stream\r\nContent-Length: " . length($body) . "\r\n\r\n";
    print substr($body, 0, int(length($body) / 2));
    sleep($ENV{GETFILE_STALL} // 5);
    print substr($body, int(length($body) / 2));
    exit 0;
}
if ($fault eq "reset") {
    print "Status: $status\r\nContent-Type: application/octet-stream\r\nContent-Length: " . length($body) . "\r\n\r\n";
    print substr($body, 0, int(length($body) / 2));
    exit 0;
}
substr($body, int(length($body) / 2), 1) ^= "\x01" if $fault eq "corrupt" && length $body;
$body = substr($body, 0, int(length($body) / 2)) if $fault eq "short";
$body .= "more" if $fault eq "more";
$body .= "\n" if $fault eq "newline";
$body = "0" if $fault eq "zero";
$body = "12345678901234567" if $fault eq "long";
send_reply($status, $body);
