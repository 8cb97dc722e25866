#!/usr/bin/perl
# The download server's side of the launcher's segmented download, as a CGI script:
#   getfile.pl?file=NAME                              the file's size, decimal text
#   getfile.pl?file=NAME&mb_pos=P&length=L            the bytes from P x 1,000,000, at most L
#   getfile.pl?file=NAME&mb_pos=P&length=L&crc=1      the MD5 of exactly those bytes, 32 hex digits
# Files are served from one folder: GETFILE_ROOT, or "files" beside this script. A name
# that could leave it (a path, "..", a drive letter, an encoded trick, a link pointing
# out of it) is refused with 404. Digests are kept in GETFILE_ROOT/.digest-cache, keyed by
# file, size, time stamp, position and length, so many clients cost one hash per segment:
# clients asking for the same digest at once wait for the first one's hash. Set
# GETFILE_DIGEST_CACHE=off to hash every request (a folder the server cannot write to
# also goes without the cache).
use strict;
use warnings;
use Cwd qw(realpath);
use Digest::MD5;
use File::Basename qw(dirname);
use Fcntl qw(:flock O_RDONLY O_WRONLY O_CREAT O_EXCL SEEK_SET);

my $CHUNK = 1 << 20;
my $LARGEST = 160_000_000;

sub reply {
    my ($status, $body) = @_;
    binmode STDOUT;
    print "Status: $status\r\nContent-Type: application/octet-stream\r\nContent-Length: "
        . length($body) . "\r\n\r\n$body";
    exit 0;
}

sub refuse { reply("404 Not Found", "") }

my %query;
for my $pair (split /&/, $ENV{QUERY_STRING} // "") {
    my ($key, $value) = split /=/, $pair, 2;
    next unless defined $key;
    $value //= "";
    $value =~ s/%([0-9A-Fa-f]{2})/chr(hex($1))/ge;
    refuse() if exists $query{$key};  # one value per key, or the request is ambiguous
    $query{$key} = $value;
}

my $root = $ENV{GETFILE_ROOT} // (dirname(realpath($0)) . "/files");
my $realRoot = realpath($root) // refuse();
my $name = $query{file} // refuse();
# A plain file name: no separators, no drive, no "..", nothing hidden, no control bytes.
refuse() unless $name =~ /\A[A-Za-z0-9][A-Za-z0-9_.+ -]*\z/ && $name !~ /\.\./;
my $path = "$realRoot/$name";
my $real = realpath($path) // refuse();
refuse() unless index($real, "$realRoot/") == 0 && -f $real;
my @stat = stat($real) or refuse();
my ($size, $mtime) = ($stat[7], $stat[9]);

reply("200 OK", "$size") unless exists $query{mb_pos};

refuse() unless ($query{mb_pos} // "") =~ /\A[0-9]{1,9}\z/ && ($query{length} // "") =~ /\A[0-9]{1,9}\z/;
my $from = $query{mb_pos} * 1_000_000;
my $length = $query{length};
refuse() if $length > $LARGEST;
my $count = $from >= $size ? 0 : ($size - $from < $length ? $size - $from : $length);

# Reads the range in chunks and hands each to the callback.
sub each_chunk {
    my ($callback) = @_;
    sysopen(my $in, $real, O_RDONLY) or refuse();
    binmode $in;
    sysseek($in, $from, SEEK_SET) or refuse() if $count > 0;
    my $left = $count;
    while ($left > 0) {
        my $got = sysread($in, my $buffer, $left < $CHUNK ? $left : $CHUNK);
        last unless $got;
        $callback->($buffer);
        $left -= $got;
    }
    close $in;
}

sub hash_segment {
    my $md5 = Digest::MD5->new;
    each_chunk(sub { $md5->add($_[0]) });
    return $md5->hexdigest;
}

sub cached_digest {
    my ($key) = @_;
    open(my $cached, "<", $key) or return undef;
    my $digest = <$cached>;
    close $cached;
    return defined $digest && $digest =~ /\A[0-9a-f]{32}\z/ ? $digest : undef;
}

sub store_digest {
    my ($key, $digest) = @_;
    # Written aside, then renamed: a reader sees a whole digest or none.
    my $temporary = "$key.$$." . int(rand(1_000_000_000));
    if (sysopen(my $out, $temporary, O_WRONLY | O_CREAT | O_EXCL)) {
        print $out $digest;
        close($out) && rename($temporary, $key) or unlink $temporary;
    }
}

my $useCache = ($ENV{GETFILE_DIGEST_CACHE} // "on") ne "off";
my $cacheDir = "$realRoot/.digest-cache";
my $key = "$cacheDir/$name.$size.$mtime.$query{mb_pos}.$length.md5";
# One hash per key: whoever holds its lock is hashing those bytes; the others wait for the
# digest (or, when serving, go on without hashing).
sub lock_key {
    my ($mode) = @_;
    return undef unless -d $cacheDir || mkdir $cacheDir;
    sysopen(my $lock, "$key.lock", O_WRONLY | O_CREAT) or return undef;
    return flock($lock, $mode) ? $lock : undef;
}

if (($query{crc} // "") eq "1") {
    reply("200 OK", hash_segment()) unless $useCache;
    my $digest = cached_digest($key);
    reply("200 OK", $digest) if defined $digest;
    my $lock = lock_key(LOCK_EX);
    $digest = cached_digest($key) if $lock;
    reply("200 OK", $digest) if defined $digest;
    $digest = hash_segment();
    store_digest($key, $digest) if $lock;
    reply("200 OK", $digest);
}

# The segment is hashed as it is sent, and its digest stored before its last bytes go out,
# so the digest request that follows finds it instead of reading the bytes again.
my $lock = $useCache && !defined cached_digest($key) ? lock_key(LOCK_EX | LOCK_NB) : undef;
my $md5 = $lock ? Digest::MD5->new : undef;
my $sent = 0;
binmode STDOUT;
$| = 0;
print "Status: 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: $count\r\n\r\n";
store_digest($key, Digest::MD5->new->hexdigest) if $md5 && $count == 0;
each_chunk(sub {
    if ($md5) {
        $md5->add($_[0]);
        $sent += length $_[0];
        store_digest($key, $md5->hexdigest) if $sent == $count;
    }
    print $_[0];
});
exit 0;
