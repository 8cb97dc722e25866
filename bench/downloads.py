#!/usr/bin/python3
"""The downloads on loopback, each against a reference measured in the same run:
  - the segmented download of a large file under Wine (payload-probe's real progress page
    and worker) against md5sum of that file and against curl fetching it whole, from the
    static-range server (what limits it is the client) and from the CGI server;
  - the single-file download against curl, behind its page and the worker alone;
  - where the workers' time goes (payload-probe's "split": the workers alone, no page);
  - the launcher's peak working set during the segmented download;
  - the same large file through every fault the test server can inject, byte-identical;
  - the reference server's CPU seconds for eight concurrent clients of one file, with and
    without its digest cache.
  /usr/bin/python3 bench/downloads.py [cross build folder]   (default build/cross-x86_64)
DOWNLOAD_BENCH_MB sets the large file's size (default 1024), DOWNLOAD_BENCH_SINGLE_MB the
single file's (default 100)."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import CrossBuild, XDisplay, procs  # noqa: E402
from harness.download_server import DownloadServer  # noqa: E402
from bench_prefix import started_prefix  # noqa: E402

MB = 1048576
FAULTS = ["size zero", "size long", "size http404", "segment corrupt", "segment short", "segment more",
          "segment reset", "segment http500", "digest newline", "digest http404", "segment stall"]


def random_file(path, size):
    with open("/dev/urandom", "rb") as source, open(path, "wb") as out:
        left = size
        while left:
            chunk = source.read(min(left, 16 * MB))
            out.write(chunk)
            left -= len(chunk)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        while chunk := f.read(16 * MB):
            digest.update(chunk)
    return digest.hexdigest()


def timed(args):
    started = time.monotonic()
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    return time.monotonic() - started


class Probe:
    """payload-probe in a prefix of its own; run() returns its report."""

    def __init__(self, wine):
        self.wine = wine
        self.program = wine.build.require("tests/win32tools/payload-probe.exe")

    def run(self, *args):
        import json
        out = os.path.join(self.wine.drive_c, "report.json")
        code = self.wine.run(self.program, "--out", self.wine.to_windows(out), "--unwatched", *args, timeout=3600)
        if code != 0:
            raise RuntimeError(f"payload-probe ended with {code}")
        with open(out, encoding="utf-8") as f:
            return json.load(f)


def segmented_client(base, name, size, sink):
    """The launcher's request sequence (sizes, segments, digests), hashing nothing itself."""
    with urllib.request.urlopen(f"{base}/getfile.pl?file={name}") as r:
        assert int(r.read()) == size
    position, length = 0, 10_000_000
    while position * 1_000_000 < size:
        query = f"{base}/getfile.pl?file={name}&mb_pos={position}&length={length}"
        with urllib.request.urlopen(query) as r:
            while r.read(1 << 20):
                pass
        with urllib.request.urlopen(query + "&crc=1") as r:
            sink.append(r.read())
        position += length // 1_000_000
        length = min(length * 2, 160_000_000)


def server_cpu_for_clients(work, source, clients, digest_cache):
    server = DownloadServer(os.path.join(work, f"server-cache-{digest_cache}"), digest_cache=digest_cache).start()
    try:
        os.link(source, os.path.join(server.files, "big.cab"))
        size = os.path.getsize(source)
        before = server.cpu_seconds()
        digests = [[] for _ in range(clients)]
        threads = [threading.Thread(target=segmented_client, args=(server.url, "big.cab", size, digests[i]))
                   for i in range(clients)]
        started = time.monotonic()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        elapsed = time.monotonic() - started
        time.sleep(0.5)  # the last scripts reaped
        cpu = server.cpu_seconds() - before
        if any(d != digests[0] for d in digests) or len(digests[0]) == 0:
            raise RuntimeError("the clients were given different digests")
        return cpu, elapsed
    finally:
        server.stop()


def main():
    build = CrossBuild(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                                       os.path.join(ROOT, "build", "cross-x86_64")))
    big = int(os.environ.get("DOWNLOAD_BENCH_MB", "1024")) * MB
    single = int(os.environ.get("DOWNLOAD_BENCH_SINGLE_MB", "100")) * MB
    procs.become_subreaper()
    work = tempfile.mkdtemp(prefix="download-bench.")
    display = XDisplay(os.path.join(work, "display"))
    server = faulty = static = wine = None
    try:
        display.start()
        wine = started_prefix(work, display, build)
        probe = Probe(wine)

        server = DownloadServer(os.path.join(work, "server")).start()
        source = os.path.join(server.files, "big.cab")
        random_file(source, big)
        random_file(os.path.join(server.files, "single.cab"), single)
        expected = sha256(source)
        subprocess.run(["cat", source], check=True, stdout=subprocess.DEVNULL)  # from the page cache

        md5sum_s = timed(["md5sum", source])
        target = os.path.join(wine.drive_c, "big.cab")
        curl_big_s = timed(["curl", "-sf", "-o", target, f"{server.url}/files/big.cab"])
        os.remove(target)
        static = DownloadServer(os.path.join(work, "static"), mode="static-range").start()
        os.link(source, os.path.join(static.files, "big.cab"))
        static.publish()

        def segments(step, url):
            report = probe.run(step, url, "C:\\", "big.cab")
            if report["result"] != 0 or sha256(target) != expected:
                raise RuntimeError(f"the segmented download failed: {report['result']}")
            os.remove(target)
            return report
        segmented = segments("segments", static.url)
        segmented_s = segmented["ms"] / 1000
        static_split = segments("split", static.url)
        cgi_segmented_s = segments("segments", server.url)["ms"] / 1000
        cgi_split = segments("split", server.url)
        static.stop()
        static = None

        single_target = os.path.join(wine.drive_c, "single.cab")
        curl_single_s = timed(["curl", "-sf", "-o", single_target, f"{server.url}/files/single.cab"])
        os.remove(single_target)
        one = probe.run("download", f"{server.url}/files/single.cab", "C:\\single.cab")
        if one["result"] != 0:
            raise RuntimeError(f"the single-file download failed: {one['result']}")
        single_s = one["ms"] / 1000
        os.remove(single_target)
        alone = probe.run("fetch", f"{server.url}/files/single.cab", "C:\\single.cab")
        if alone["result"] != 0:
            raise RuntimeError(f"the single-file worker failed: {alone['result']}")
        alone_s = alone["ms"] / 1000
        server.stop()
        server = None

        faulty = DownloadServer(os.path.join(work, "faulty"), faults=True).start()
        os.link(source, os.path.join(faulty.files, "big.cab"))
        faulty.plan_faults(*FAULTS)
        through_faults = probe.run("segments", faulty.url, "C:\\", "big.cab")
        faults_ok = (through_faults["result"] == 0 and faulty.faults_left() == [] and
                     sha256(target) == expected)
        os.remove(target)
        faulty.stop()
        faulty = None
        wine.shutdown(remove=True)
        wine = None

        cached_cpu, cached_s = server_cpu_for_clients(work, source, 8, True)
        uncached_cpu, uncached_s = server_cpu_for_clients(work, source, 8, False)
    finally:
        for s in (server, faulty, static):
            if s is not None:
                s.stop()
        if wine is not None:
            wine.shutdown(remove=True)
        display.stop()
        shutil.rmtree(work, ignore_errors=True)

    mb_s = lambda size, seconds: size / MB / seconds
    print(f"large file                    {big // MB:7d} MB")
    print(f"md5sum                        {md5sum_s:7.2f} s   {mb_s(big, md5sum_s):7.1f} MB/s")
    print(f"curl, whole file              {curl_big_s:7.2f} s   {mb_s(big, curl_big_s):7.1f} MB/s")
    print(f"segmented download (Wine)     {segmented_s:7.2f} s   {mb_s(big, segmented_s):7.1f} MB/s"
          "   (static-range server)")
    print(f"ratio against md5sum          {md5sum_s / segmented_s:7.2f}     (md5sum time / download time;"
          " goal at least 0.4)")
    print(f"ratio against curl            {curl_big_s / segmented_s:7.2f}     (curl time / download time)")
    print(f"the same from the CGI server  {cgi_segmented_s:7.2f} s   ratio against md5sum "
          f"{md5sum_s / cgi_segmented_s:.2f}")
    for name, report in (("static-range", static_split), ("CGI", cgi_split)):
        split = "  ".join(f"{k} {v:.2f}" for k, v in report["split"].items())
        print(f"worker alone, {name + ':':13s} {report['ms'] / 1000:7.2f} s   {split}")
    print(f"peak working set              {segmented['peak_working_set'] / MB:7.1f} MB  (goal under 200 MB)")
    print(f"single file                   {single // MB:7d} MB")
    print(f"curl                          {curl_single_s:7.2f} s   {mb_s(single, curl_single_s):7.1f} MB/s")
    print(f"single-file download (Wine)   {single_s:7.2f} s   {mb_s(single, single_s):7.1f} MB/s")
    print(f"ratio against curl            {curl_single_s / single_s:7.2f}     (the page ends on its 333 ms timer)")
    split = "  ".join(f"{k} {v:.2f}" for k, v in alone["split"].items() if k in ("request", "receive", "write"))
    print(f"the worker alone              {alone_s:7.2f} s   {mb_s(single, alone_s):7.1f} MB/s   {split}")
    print(f"ratio against curl            {curl_single_s / alone_s:7.2f}     (goal at least 0.5)")
    print(f"through {len(FAULTS)} injected faults    {through_faults['ms'] / 1000:7.2f} s   "
          f"{'byte-identical' if faults_ok else 'FAILED'}")
    print(f"8 clients, digest cache       {cached_cpu:7.2f} s server CPU  ({cached_s:.1f} s wall)")
    print(f"8 clients, no digest cache    {uncached_cpu:7.2f} s server CPU  ({uncached_s:.1f} s wall)")
    print(f"server CPU ratio              {cached_cpu / uncached_cpu:7.2f}     (with cache / without)")
    return 0 if faults_ok else 1


if __name__ == "__main__":
    sys.exit(main())
