"""A virtual X display (Xvfb) with a small window manager for the Wine windows.

Without a window manager Wine waits about 2 s whenever a shown window is destroyed, and
twm's stock configuration needs X core fonts that a minimal machine lacks, so twm gets a
configuration of our own that only uses the server's built-in "fixed" font and places
windows where the program asks (no interactive placement).
"""

import os
import re
import shutil
import subprocess
import time

from . import procs

SCREEN = (1280, 1024)

# Shared with tools/demo.sh.
TWMRC = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))), "tools", "wine", "twmrc")


class DisplayError(RuntimeError):
    pass


def _socket(n):
    return f"/tmp/.X11-unix/X{n}"


def _display_alive(name, timeout=5.0):
    if not shutil.which("xdpyinfo"):
        n = name.lstrip(":").split(".")[0]
        return os.path.exists(_socket(n))
    try:
        r = subprocess.run(["xdpyinfo", "-display", name], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=timeout)
        return r.returncode == 0
    except subprocess.TimeoutExpired:
        return False


class XDisplay:
    """Xvfb + twm, or an existing display named by the caller (then left alone)."""

    def __init__(self, work_dir, existing=None, first=90, last=199):
        self.work_dir = work_dir
        self.name = existing
        self.xvfb = None
        self.wm = None
        self._first, self._last = first, last
        self.owned = existing is None

    def start(self):
        os.makedirs(self.work_dir, exist_ok=True)
        if not self.owned:
            if not _display_alive(self.name):
                raise DisplayError(f"SETUP_E2E_DISPLAY={self.name} does not answer")
            return self
        try:
            self._start_xvfb()
            self._start_wm()
        except BaseException:
            self.stop()
            raise
        return self

    def _start_xvfb(self):
        if not shutil.which("Xvfb"):
            raise DisplayError("Xvfb not found (Debian package xvfb)")
        log = open(os.path.join(self.work_dir, "xvfb.log"), "ab")
        try:
            for n in range(self._first, self._last + 1):
                if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(_socket(n)):
                    continue
                proc = procs.popen(
                    ["Xvfb", f":{n}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                     "-nolisten", "tcp", "-noreset"],
                    stdout=log, stderr=log)
                # Another session may take the same number between probe and start: Xvfb
                # then exits at once and the next number is tried.
                up = procs.wait_for(
                    lambda: proc.poll() is not None or os.path.exists(_socket(n)), 10.0)
                if up and proc.poll() is None and _display_alive(f":{n}"):
                    self.xvfb, self.name = proc, f":{n}"
                    return
                procs.stop(proc)
            raise DisplayError(f"no free X display in :{self._first}..:{self._last}")
        finally:
            log.close()

    def _start_wm(self):
        if not shutil.which("twm"):
            raise DisplayError("twm not found (Debian package twm)")
        rc = TWMRC
        log_path = os.path.join(self.work_dir, "twm.log")
        env = dict(os.environ, DISPLAY=self.name, LC_ALL="C")
        with open(log_path, "ab") as log:
            self.wm = procs.popen(["twm", "-f", rc], env=env, stdout=log, stderr=log)
        # twm exits at once when it cannot start (e.g. fonts); a live one after a moment
        # has taken over the display.
        time.sleep(0.3)
        if self.wm.poll() is not None:
            raise DisplayError(f"twm exited with {self.wm.returncode}, see {log_path}")

    @property
    def size(self):
        """(width, height) of the screen."""
        if self.owned:
            return SCREEN
        r = subprocess.run(["xdpyinfo", "-display", self.name], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, timeout=10)
        m = re.search(rb"dimensions:\s+(\d+)x(\d+) pixels", r.stdout)
        if not m:
            raise DisplayError(f"cannot read the size of display {self.name}")
        return int(m.group(1)), int(m.group(2))

    def stop(self):
        procs.stop(self.wm)
        procs.stop(self.xvfb)
        self.wm = self.xvfb = None

    def screenshot(self, path, timeout=20.0):
        """Writes a PNG of the whole screen to path (ImageMagick's import)."""
        if not shutil.which("import"):
            raise DisplayError("import not found (Debian package imagemagick)")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        r = subprocess.run(["import", "-window", "root", "-display", self.name, path],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        if r.returncode != 0 or not os.path.exists(path):
            raise DisplayError(f"screenshot failed: {r.stdout.decode(errors='replace')}")
        return path
