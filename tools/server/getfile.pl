#!/usr/bin/perl
# The download server's side of the launcher's segmented download, as a CGI script:
#   getfile.pl?file=NAME                              the file's size, decimal text
#   getfile.pl?file=NAME&mb_pos=P&length=L            the bytes from P x 1,000,000, at most L
#   getfile.pl?file=NAME&mb_pos=P&length=L&crc=1      the MD5 of exactly those bytes, 32 hex digits
# Files are served from one folder: GETFILE_ROOT, or "files" beside this script. A name
# that could leave it (a path, "..", a drive letter, an encoded trick, a link pointing
# out of it) is refused with 404, and so is a number spelt otherwise than the launcher
# spells it (decimal, no leading zeros; lengths of 10, 20, 40, 80 or 160 million bytes).
# Digests are kept in GETFILE_ROOT/.digest-cache, keyed by file, size, inode, modification
# and change times, position and length, so clients of one release cost about one hash per
# segment. The cache holds at most GETFILE_DIGEST_CACHE_ENTRIES digests (10,000 unless
# set), the oldest going first. Nothing is locked: a digest not cached yet is hashed by the
# request that needs it, whoever else is reading that segment. Set GETFILE_DIGEST_CACHE=off
# to hash every request (a folder the server cannot write to also goes without the cache).
use strict;
use warnings;
use Cwd qw(realpath);
use Digest::MD5;
use File::Basename qw(dirname);
use Fcntl qw(O_RDONLY O_WRONLY O_CREAT O_EXCL SEEK_SET);
use Time::HiRes ();

my $CHUNK = 1 << 20;
my %LENGTHS = map { $_ * 1_000_000 => 1 } 10, 20, 40, 80, 160;

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
# The bytes served are those of the file opened here, and its key is taken from the same
# handle, so a file replaced meanwhile cannot lend its digest to the other one.
sysopen(my $in, $real, O_RDONLY) or refuse();
binmode $in;
my @stat = Time::HiRes::stat($in) or refuse();
my $size = $stat[7];

reply("200 OK", "$size") unless exists $query{mb_pos};

# One spelling per range, so each range has one cache entry.
refuse() unless ($query{mb_pos} // "") =~ /\A(?:0|[1-9][0-9]{0,8})\z/
    && ($query{length} // "") =~ /\A[1-9][0-9]{7,8}\z/ && $LENGTHS{$query{length}};
my $digestWanted = exists $query{crc};
refuse() if $digestWanted && $query{crc} ne "1";
my $from = $query{mb_pos} * 1_000_000;
my $length = $query{length};
my $count = $from >= $size ? 0 : ($size - $from < $length ? $size - $from : $length);

# Reads the range in chunks and hands each to the callback.
sub each_chunk {
    my ($callback) = @_;
    return if $count == 0;
    sysseek($in, $from, SEEK_SET) or refuse();
    my $left = $count;
    while ($left > 0) {
        my $got = sysread($in, my $buffer, $left < $CHUNK ? $left : $CHUNK);
        last unless $got;
        $callback->($buffer);
        $left -= $got;
    }
}

sub hash_segment {
    my $md5 = Digest::MD5->new;
    each_chunk(sub { $md5->add($_[0]) });
    return $md5->hexdigest;
}

# An empty range (at or past the end) is answered without the cache: it costs nothing to
# hash and would only fill the cache with keys anyone can invent.
my $useCache = ($ENV{GETFILE_DIGEST_CACHE} // "on") ne "off" && $count > 0;
my $cacheDir = "$realRoot/.digest-cache";
my $mostEntries = ($ENV{GETFILE_DIGEST_CACHE_ENTRIES} // "") =~ /\A[0-9]{1,9}\z/
    ? $ENV{GETFILE_DIGEST_CACHE_ENTRIES} : 10_000;
# Size, inode and both times (as finely as the file system keeps them): a file rewritten
# or replaced within the same second still gets a key of its own.
my $key = sprintf("%s/%s.%d.%d.%d.%.9f.%.9f.%s.%s.md5", $cacheDir, $name, $size, $stat[0], $stat[1],
                  $stat[9], $stat[10], $query{mb_pos}, $length);

sub cached_digest {
    open(my $cached, "<", $key) or return undef;
    my $digest = <$cached>;
    close $cached;
    return defined $digest && $digest =~ /\A[0-9a-f]{32}\z/ ? $digest : undef;
}

# The oldest entries go until at most $mostEntries are left. Anything in the folder counts,
# so temporary files of scripts that died and entries of an older layout go too.
sub prune_cache {
    opendir(my $dir, $cacheDir) or return;
    my @entries = grep { $_ ne "." && $_ ne ".." } readdir $dir;
    closedir $dir;
    return if @entries <= $mostEntries;
    my %written = map { $_ => ((Time::HiRes::lstat("$cacheDir/$_"))[9] // 0) } @entries;
    my @oldest = sort { $written{$a} <=> $written{$b} } @entries;
    unlink "$cacheDir/$_" for @oldest[0 .. $#oldest - $mostEntries];
}

sub store_digest {
    my ($digest) = @_;
    return unless $mostEntries > 0 && (-d $cacheDir || mkdir $cacheDir);
    # Written aside, then renamed: a reader sees a whole digest or none.
    my $temporary = "$key.$$." . int(rand(1_000_000_000));
    sysopen(my $out, $temporary, O_WRONLY | O_CREAT | O_EXCL) or return;
    print $out $digest;
    if (close($out) && rename($temporary, $key)) {
        prune_cache();
    } else {
        unlink $temporary;
    }
}

if ($digestWanted) {
    my $digest = $useCache ? cached_digest() : undef;
    reply("200 OK", $digest) if defined $digest;
    $digest = hash_segment();
    store_digest($digest) if $useCache;
    reply("200 OK", $digest);
}

# The segment is hashed as it is sent, and its digest stored before its last bytes go out,
# so the digest request that follows usually finds it instead of reading the bytes again.
my $md5 = $useCache && !defined cached_digest() ? Digest::MD5->new : undef;
my $sent = 0;
binmode STDOUT;
$| = 0;
print "Status: 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: $count\r\n\r\n";
each_chunk(sub {
    if ($md5) {
        $md5->add($_[0]);
        $sent += length $_[0];
        store_digest($md5->hexdigest) if $sent == $count;
    }
    print $_[0];
});
exit 0;
