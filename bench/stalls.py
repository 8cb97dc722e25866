#!/usr/bin/python3
"""A download server that stops sending, under Wine with the launcher's own 30 s time-out
(the scenarios of tests/e2e/test_downloads.py shorten it to stay quick):
  - a segment whose reply never starts, and one whose body stops half-way, each for 40 s:
    how long after the segment was asked for it fails and is asked again, against the
    time-out;
  - Cancel during a 60 s stall: how long after the click the progress page is gone.
  /usr/bin/python3 bench/stalls.py [cross build folder]   (default build/cross-x86_64)"""

import json
import os
import shutil
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import CrossBuild, XDisplay, procs  # noqa: E402
from harness.download_server import DownloadServer  # noqa: E402
from bench_prefix import started_prefix  # noqa: E402
from medium import CANCEL, page_titled  # noqa: E402

TIMEOUT_S = 30  # Win32System's default
SIZE = 31_000_000


def probe(wine, *args):
    out = os.path.join(wine.drive_c, "report.json")
    if os.path.exists(out):
        os.remove(out)
    proc = wine.start(wine.build.require("tests/win32tools/payload-probe.exe"), "--out", wine.to_windows(out), *args)
    return proc, out


def report(proc, out, timeout):
    if proc.wait(timeout=timeout) != 0:
        raise RuntimeError("payload-probe failed")
    with open(out, encoding="utf-8") as f:
        return json.load(f)


def faulty(work, name, stall_seconds, fault):
    server = DownloadServer(os.path.join(work, name), faults=True, stall_seconds=stall_seconds).start()
    with open(os.path.join(server.files, "material1.cab"), "wb") as f:
        f.write(os.urandom(SIZE))
    server.plan_faults("segment pass", f"segment {fault}")
    return server


def failed_after(wine, work, fault):
    """Seconds from the faulty segment's request to the next request."""
    server = faulty(work, f"server-{fault}", 40, fault)
    try:
        result = report(*probe(wine, "--unwatched", "segments", server.url, "C:\\", "material1.cab"), timeout=180)
        arrivals = server.arrivals()
    finally:
        server.stop()
    if result["result"] != 0:
        raise RuntimeError(f"the download through a {fault} ended with {result['result']}")
    at = next(i for i, (_, _, met) in enumerate(arrivals) if met == fault)
    return arrivals[at + 1][0] - arrivals[at][0]


def cancel_answered_after(wine, work):
    server = faulty(work, "server-cancel", 60, "stall")
    try:
        proc, out = probe(wine, "segments", server.url, "C:\\", "material1.cab")
        page = page_titled(wine, proc, "Downloading")
        if not procs.wait_for(lambda: server.faults_left() == [], 60):
            raise RuntimeError("the stalled segment was never asked for")
        time.sleep(2)  # well into the stall
        clicked = time.monotonic()
        wine.driver.click(CANCEL, hwnd=page["hwnd"])
        wine.driver.wait_gone(hwnd=page["hwnd"], timeout=90)
        answered = time.monotonic() - clicked
        result = report(proc, out, timeout=30)
    finally:
        server.stop()
    if result["result"] != -1:
        raise RuntimeError(f"the cancelled download ended with {result['result']}")
    return answered


def main():
    build = CrossBuild(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                                       os.path.join(ROOT, "build", "cross-x86_64")))
    procs.become_subreaper()
    work = tempfile.mkdtemp(prefix="stall-bench.")
    display = XDisplay(os.path.join(work, "display"))
    wine = None
    try:
        display.start()
        wine = started_prefix(work, display, build)
        stall_s = failed_after(wine, work, "stall")
        freeze_s = failed_after(wine, work, "freeze")
        cancel_s = cancel_answered_after(wine, work)
    finally:
        if wine is not None:
            wine.shutdown(remove=True)
        display.stop()
        shutil.rmtree(work, ignore_errors=True)

    print(f"time-out                              {TIMEOUT_S:6.2f} s")
    print(f"no reply for 40 s: failed, asked again {stall_s:6.2f} s   ({stall_s / TIMEOUT_S:.2f} of the time-out)")
    print(f"body stops for 40 s: failed, again     {freeze_s:6.2f} s   ({freeze_s / TIMEOUT_S:.2f} of the time-out)")
    print(f"Cancel during a 60 s stall: page gone  {cancel_s:6.2f} s   (goal about 1 s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
