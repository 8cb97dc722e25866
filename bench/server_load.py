#!/usr/bin/python3
"""The download server under load: many concurrent clients on loopback fetch one file by
the launcher's segment protocol (bench/segment_client.c, compiled here with gcc: size,
segments of 10, 20, 40, 80, 160, 160, ... million bytes, each with its digest request),
from the CGI server (getfile.pl) and from the static-range server (publish-digests and
mod_magnet), against plain whole-file GETs of the same file from the same lighttpd as the
reference. Prints each one's throughput and server CPU seconds per GiB served, and the
ratios static-range / plain (goal at least 0.8) and CGI / plain.
  /usr/bin/python3 bench/server_load.py
SERVER_LOAD_MB sets the file's size (default 1024), SERVER_LOAD_CLIENTS the number of
clients (default 64); every client fetches the whole file. The clients run on the same
two cores as the server, alike for all three."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness.download_server import DownloadServer  # noqa: E402

MB = 1048576
GIB = 1024 * MB


def build_client(work):
    program = os.path.join(work, "segment_client")
    subprocess.run(["gcc", "-O2", "-Wall", "-Wextra", "-Werror", "-o", program,
                    os.path.join(ROOT, "bench", "segment_client.c")], check=True)
    return program


def random_file(path, size):
    with open("/dev/urandom", "rb") as source, open(path, "wb") as out:
        while size:
            chunk = source.read(min(size, 16 * MB))
            out.write(chunk)
            size -= len(chunk)


def launcher_digests(path):
    """The digests the launcher's sequence asks for, each segment hashed once."""
    digests, position, length = [], 0, 10_000_000
    with open(path, "rb") as f:
        while chunk := f.read(length):
            digests.append(hashlib.md5(chunk).hexdigest())
            position += length
            length = min(length * 2, 160_000_000)
    return digests


def load(server, client, clients, target, expected):
    """Runs the clients at once; returns (bytes received, seconds, server CPU seconds)."""
    before = server.cpu_seconds()
    started = time.monotonic()
    runs = [subprocess.Popen([client, str(server.port), target], stdout=subprocess.PIPE, text=True)
            for _ in range(clients)]
    outputs = [run.communicate(timeout=3600)[0].split() for run in runs]
    elapsed = time.monotonic() - started
    time.sleep(0.5)  # the last CGI scripts reaped
    cpu = server.cpu_seconds() - before
    if any(run.returncode != 0 for run in runs):
        raise RuntimeError(f"a client of {target} failed")
    if expected is not None and any(out[:-2] != expected for out in outputs):
        raise RuntimeError(f"{server.mode}: a client was given wrong digests")
    return sum(int(out[-1]) for out in outputs), elapsed, cpu


def main():
    size = int(os.environ.get("SERVER_LOAD_MB", "1024")) * MB
    clients = int(os.environ.get("SERVER_LOAD_CLIENTS", "64"))
    work = tempfile.mkdtemp(prefix="server-load.")
    servers = []
    try:
        client = build_client(work)
        source = os.path.join(work, "big.cab")
        random_file(source, size)
        expected = launcher_digests(source)  # also brings the file into the page cache
        for mode in ("static-range", "cgi"):
            server = DownloadServer(os.path.join(work, mode), mode=mode)
            os.link(source, os.path.join(server.files, "big.cab"))
            started = time.monotonic()
            servers.append(server.start())  # publishes, in the static-range mode
            if mode == "static-range":
                publish_s = time.monotonic() - started
        static, cgi = servers
        published = time.monotonic()
        static.publish()  # unchanged: costs a stat
        republish_s = time.monotonic() - published
        figures = {"plain static file": load(static, client, clients, "/files/big.cab", None),
                   "static-range": load(static, client, clients, "big.cab", expected),
                   "CGI (getfile.pl)": load(cgi, client, clients, "big.cab", expected)}
    finally:
        for server in servers:
            server.stop()
        shutil.rmtree(work, ignore_errors=True)

    print(f"{clients} clients, each the whole {size // MB} MB file ({clients * size / GIB:.1f} GiB served per row)")
    rate = {name: got / MB / seconds for name, (got, seconds, _) in figures.items()}
    for name, (got, seconds, cpu) in figures.items():
        print(f"{name:20s} {seconds:7.1f} s {rate[name]:8.1f} MB/s   server CPU {cpu / (got / GIB):6.2f} s/GiB")
    plain = rate["plain static file"]
    print(f"static-range / plain {rate['static-range'] / plain:7.2f}     (throughput; goal at least 0.8)")
    print(f"CGI / plain          {rate['CGI (getfile.pl)'] / plain:7.2f}     (throughput)")
    print(f"publishing           {publish_s:7.2f} s   (every digest of the file; {republish_s:.2f} s again unchanged)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
