#!/usr/bin/env python3
"""The static-range server (publish-digests, lighttpd-static-range.conf) against getfile.pl,
both under a real lighttpd: every request the launcher can make answers the same bytes,
hostile spellings serve nothing outside the folder, and publishing follows the folder.

Usage: static_range_test.py [group]; exit status 77 (skipped) without lighttpd and mod_magnet."""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness.download_server import PUBLISH, DownloadServer  # noqa: E402
from getfile_test import REFUSED  # noqa: E402

M = 1_000_000
LENGTHS = [10 * M, 20 * M, 40 * M, 80 * M, 160 * M]
# Ends on a segment boundary, one byte past one, shorter than a segment (and every character
# a name may have), ends mid-segment, empty.
SIZES = {"even.cab": 30 * M, "past.cab": 30 * M + 1, "small a+b-c.cab": 4321, "odd.cab": 35 * M, "empty.cab": 0}
SECRET = b"outside the folder"
HOSTILE = ["file=../secret.cab", "file=%2e%2e%2fsecret.cab", "file=..%2Fsecret.cab", "file=/etc/passwd",
           "file=%2fetc%2fpasswd", "file=out.cab", "file=sub%2fa.cab", "file=sub/a.cab", "file=C:odd.cab",
           "file=sub\\a.cab", "file=.publish-digests", "file=", "file=odd.cab%00", "file=odd.cab&file=even.cab",
           "file=odd.cab%2f..%2f..%2fsecret.cab", "file=current", "file=odd.cab&mb_pos=0&length=10000000&mb_pos=10",
           "file=odd.cab&mb_pos=5&length=10000000", "file=odd.cab&mb_pos=-10&length=10000000&crc=1",
           "file=odd.cab&mb_pos=0x10&length=10000000", "file=odd.cab&crc=1&mb_pos=10&length=10000000&crc=1"] + \
          [f"file=odd.cab&{q}{crc}" for q in REFUSED for crc in ("", "&crc=1")]


def client_requests(name, data):
    """(query, expected body) for every request the launcher can make of one file: its
    size, then each position in steps of 10 up to one past the end, at each length."""
    name = urllib.parse.quote(name, safe="+")
    yield f"file={name}", str(len(data)).encode()
    for position in range(0, len(data) // M + 11, 10):
        for length in LENGTHS:
            part = data[position * M:position * M + length]
            query = f"file={name}&mb_pos={position}&length={length}"
            yield query, part
            yield query + "&crc=1", hashlib.md5(part).hexdigest().encode()


def place(server, name, data):
    with open(os.path.join(server.files, name), "wb") as f:
        f.write(data)


def both_modes_answer_alike(servers):
    files = {name: os.urandom(size) for name, size in SIZES.items()}
    for server in servers:
        for name, data in files.items():
            place(server, name, data)
        os.makedirs(os.path.join(server.files, "sub"))
        place(server, "sub/a.cab", b"in a sub-folder")
        place(server, "../secret.cab", SECRET)
        os.symlink(os.path.join(server.work_dir, "secret.cab"), os.path.join(server.files, "out.cab"))
        server.publish()
    failures = [f"{server.mode}: {query}" for name, data in files.items() for query, body in client_requests(name, data)
                for server in servers if server.get(query) != (200, body)]
    cgi, static = servers
    for query in HOSTILE:
        answer = static.get(query)
        if SECRET in answer[1] or (answer[0] < 400 and answer != cgi.get(query)):
            failures.append(f"static-range served {answer[0]} for {query}")
    return failures


def publishing_follows_the_folder(servers):
    server = servers[1]
    old, new = os.urandom(12 * M), os.urandom(12 * M)
    place(server, "a.cab", old)
    place(server, "b.cab", b"b")
    place(server, "bad;name", b"x")
    failures = []
    refused = server.publish()
    if "'bad;name'" not in refused:
        failures.append(f"publishing a refused name said {refused!r}")
    place(server, "a.cab", new)  # replaced but not published yet: nothing of the old one is served
    stale = [q for q in ("file=a.cab", "file=a.cab&mb_pos=10&length=10000000&crc=1") if server.get(q)[0] != 404]
    failures += [f"an unpublished replacement answered {q}" for q in stale]
    os.remove(os.path.join(server.files, "b.cab"))
    server.publish()
    if server.get("file=a.cab&mb_pos=10&length=10000000&crc=1") != (200, hashlib.md5(new[10 * M:]).hexdigest().encode()):
        failures.append("the republished digest is not the new file's")
    if sorted(os.listdir(server.digests)) != [".publish-digests", "a.cab"] or \
            len(os.listdir(os.path.join(server.digests, "a.cab"))) != 2:  # its folder and "current"
        failures.append("left " + " ".join(sorted(os.listdir(server.digests))))
    foreign = os.path.join(server.work_dir, "foreign")
    os.makedirs(foreign)
    place(server, "keep", b"")
    shutil.copy(os.path.join(server.files, "keep"), foreign)
    done = subprocess.run([PUBLISH, server.files, foreign], capture_output=True, text=True)
    if done.returncode != 2 or os.listdir(foreign) != ["keep"]:
        failures.append(f"publishing into a foreign folder ended {done.returncode} and left {os.listdir(foreign)}")
    return failures


GROUPS = {"answers": both_modes_answer_alike, "publish": publishing_follows_the_folder}


def main():
    if not (shutil.which("lighttpd") or os.path.exists("/usr/sbin/lighttpd")) or \
            not os.path.exists("/usr/lib/lighttpd/mod_magnet.so"):
        return 77
    with tempfile.TemporaryDirectory() as work:
        servers = [DownloadServer(os.path.join(work, mode), mode=mode).start() for mode in ("cgi", "static-range")]
        try:
            failures = GROUPS[sys.argv[1] if len(sys.argv) > 1 else "answers"](servers)
        finally:
            for server in servers:
                server.stop()
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
