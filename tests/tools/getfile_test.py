#!/usr/bin/env python3
"""The reference download server's rules against a real lighttpd: no client waits for
another, and every request leaves bounded state behind.

Usage: getfile_test.py [group]; exit status 77 (skipped) without lighttpd."""
import hashlib
import os
import shutil
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness.download_server import DownloadServer  # noqa: E402

M = 1_000_000
SEGMENT = "a.cab&mb_pos=0&length=10000000"
# Spellings the launcher never sends (it writes decimal numbers and doubles or halves
# 10,000,000 within 160,000,000); each is refused with or without crc=1.
REFUSED = ["mb_pos=00&length=10000000", "mb_pos=+0&length=10000000", "mb_pos=&length=10000000",
           "mb_pos=1000000000&length=10000000", "mb_pos=0&length=010000000", "mb_pos=0&length=10000001", "mb_pos=0&length=5000000", "mb_pos=0&length=320000000",
           "mb_pos=0&length=1e7", "mb_pos=0&length=10000000&crc=01"]
# A replaced file of the same size: (how, whether its inode is new, its time in ns after the old one's).
REPLACEMENTS = [("rewritten, other nanoseconds", False, 1), ("renamed over, same time", True, 0),
                ("rewritten, time put back", False, 0)]


def entries(server):
    folder = os.path.join(server.files, ".digest-cache")
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def write(server, name, data, ns=None, renamed=False):
    path = os.path.join(server.files, name)
    with open(path + ".new" if renamed else path, "r+b" if os.path.exists(path) and not renamed else "wb") as f:
        f.write(data)
    if renamed:
        os.rename(path + ".new", path)
    if ns is not None:
        os.utime(path, ns=(ns, ns))


def stalled_reader_waits_alone(server):
    write(server, "a.cab", os.urandom(12 * M))
    stalled = socket.socket()
    stalled.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    stalled.connect(("127.0.0.1", server.port))
    stalled.sendall(f"GET /getfile.pl?file={SEGMENT} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
    assert len(stalled.recv(1024)) > 0
    failures = []
    for probe in [SEGMENT + "&crc=1", SEGMENT]:  # its digest, and the same segment again
        started = time.monotonic()
        status, _ = server.get("file=" + probe, timeout=10)
        if status != 200 or time.monotonic() - started > 2:
            failures.append(f"{probe}: {status} after {time.monotonic() - started:.1f} s")
    stalled.close()
    return failures


def state_stays_bounded(server):
    data = os.urandom(25 * M)
    write(server, "a.cab", data)
    failures = [q for q in REFUSED for c in ("", "&crc=1") if server.get(f"file=a.cab&{q}{c}", timeout=10)[0] != 404]
    failures += ["refused spellings left " + " ".join(entries(server))] if entries(server) else []
    for position in (25, 26, 999):  # at and past the end: nothing to hash, nothing to keep
        for crc, body in (("", b""), ("&crc=1", hashlib.md5(b"").hexdigest().encode())):
            if server.get(f"file=a.cab&mb_pos={position}&length=10000000{crc}", timeout=10) != (200, body):
                failures.append(f"position {position}{crc}")
    failures += ["empty ranges left " + " ".join(entries(server))] if entries(server) else []
    for position, length in ((0, 10), (10, 20), (20, 10)):  # what the launcher asks
        query = f"file=a.cab&mb_pos={position}&length={length * M}"
        expected = data[position * M:][:length * M]
        if server.get(query, timeout=10)[1] != expected or \
                server.get(query + "&crc=1", timeout=10)[1] != hashlib.md5(expected).hexdigest().encode():
            failures.append(query)
    if len(entries(server)) != 3 or any(not e.endswith(".md5") or ".md5." in e for e in entries(server)):
        failures.append("the launcher's requests left " + " ".join(entries(server)))
    for i in range(6):  # the cap is 4: the oldest go first
        write(server, f"b{i}.cab", os.urandom(1000))
        server.get(f"file=b{i}.cab&mb_pos=0&length=10000000&crc=1", timeout=10)
        if len(entries(server)) > 4:
            failures.append(f"{len(entries(server))} entries after b{i}.cab")
    if [e.split(".")[0] for e in entries(server)] != ["b2", "b3", "b4", "b5"]:
        failures.append("kept " + " ".join(entries(server)))
    return failures


def replaced_file_gets_its_own_digest(server):
    failures = []
    for how, renamed, later in REPLACEMENTS:
        old, new = os.urandom(5000), os.urandom(5000)
        write(server, "r.cab", old, ns=1_700_000_000_100_000_000)
        server.get("file=r.cab&mb_pos=0&length=10000000&crc=1", timeout=10)
        write(server, "r.cab", new, ns=1_700_000_000_100_000_000 + later * 200_000_000, renamed=renamed)
        if server.get("file=r.cab&mb_pos=0&length=10000000&crc=1", timeout=10)[1] != hashlib.md5(new).hexdigest().encode():
            failures.append(how)
    return failures


GROUPS = {"stalls": stalled_reader_waits_alone, "state": state_stays_bounded,
          "replaced": replaced_file_gets_its_own_digest}


def main():
    if not (shutil.which("lighttpd") or os.path.exists("/usr/sbin/lighttpd")):
        return 77
    with tempfile.TemporaryDirectory() as work:
        server = DownloadServer(work, cache_entries=4).start()
        try:
            failures = GROUPS[sys.argv[1] if len(sys.argv) > 1 else "stalls"](server)
        finally:
            server.stop()
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
