"""Wine prefixes for end-to-end scenarios: one prepared base, a fresh copy per test, each
with its own persistent wineserver, plus the helpers a scenario needs around them."""

import errno
import functools
import json
import ntpath
import os
import shlex
import shutil
import struct
import subprocess
import time

from . import procs

DEFAULT_LC_ALL = "en_US.UTF-8"
QUIET_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


class WineError(AssertionError):
    """A harness step failed; an AssertionError so pytest reports it as a test failure."""


def _first_executable(*candidates):
    for c in candidates:
        if c and os.path.isfile(c) and os.access(c, os.X_OK):
            return c
    return None


def wine_loader():
    # The Debian `wine` wrapper prefers the 32-bit loader, which a kernel without IA32
    # emulation cannot execute; wine64 hands 32-bit programs over by itself.
    found = _first_executable(os.environ.get("SETUP_E2E_WINE"), "/usr/lib/wine/wine64",
                              shutil.which("wine64"), shutil.which("wine"))
    if not found:
        raise WineError("wine64 not found (Debian packages wine, wine64)")
    return found


def wineserver_binary():
    # The Debian wrapper script adds -p0, which would fight our own -p.
    found = _first_executable(os.environ.get("SETUP_E2E_WINESERVER"),
                              "/usr/lib/wine/wineserver64", shutil.which("wineserver"))
    if not found:
        raise WineError("wineserver not found (Debian package wine64)")
    return found


@functools.lru_cache(maxsize=None)
def loader_env():
    """What every Wine program needs beyond the prefix: the NAME='value' lines of the file
    $SETUP_E2E_WINE_ENV names (tools/wine/setup-i386-wine.sh writes one for the emulated
    32-bit Wine), or nothing."""
    path = os.environ.get("SETUP_E2E_WINE_ENV")
    if not path:
        return {}
    values = {}
    try:
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                words = shlex.split(line, comments=True)
                if not words:
                    continue
                if len(words) != 1 or "=" not in words[0]:
                    raise WineError(f"{path}:{number}: not a NAME=value line: {line.strip()}")
                name, value = words[0].split("=", 1)
                values[name] = value
    except OSError as e:
        raise WineError(f"SETUP_E2E_WINE_ENV: cannot read {path}: {e}") from None
    return values


def host_runs_32bit_wine():
    """Whether this machine can run 32-bit Windows programs at all: Debian's i386 loader
    (wine32:i386, on a kernel that executes 32-bit ELF programs), or the emulated one of
    $SETUP_E2E_WINE_ENV, which the 64-bit loader finds as its sibling `wine`."""
    loader = "/usr/lib/wine/wine"
    if loader_env():
        try:
            loader = os.path.join(os.path.dirname(wine_loader()), "wine")
        except WineError:
            return False
    if not os.path.exists(loader):
        return False
    try:
        r = subprocess.run([loader, "--version"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=20,
                           env={**os.environ, **loader_env()})
        return r.returncode == 0
    except OSError as e:
        if e.errno in (errno.ENOEXEC, errno.ENOENT, errno.EACCES):
            return False
        raise
    except subprocess.TimeoutExpired:
        return False


_locales = None


def check_locale(name):
    """Fails unless glibc has the locale: without it Wine silently takes the Unix side as
    ASCII, and non-ASCII command lines and file names arrive garbled."""
    global _locales
    if _locales is None:
        try:
            out = subprocess.run(["locale", "-a"], stdout=subprocess.PIPE, timeout=20).stdout
            _locales = {x.strip().lower() for x in out.decode(errors="replace").splitlines()}
        except (OSError, subprocess.TimeoutExpired):
            _locales = set()
    wanted = name.lower().replace("utf-8", "utf8")
    if wanted in ("c", "posix") or wanted in _locales:
        return
    raise WineError(
        f"locale {name} is not generated on this machine (locale -a); generate it, e.g. "
        f"sed -i 's/^# *{name} /{name} /' /etc/locale.gen && locale-gen")


def pe_machine(path):
    """'x86', 'x64' or another label for a PE file's machine field."""
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:2] != b"MZ":
        raise WineError(f"{path} is not a Windows program")
    (pe,) = struct.unpack_from("<I", head, 0x3C)
    if head[pe:pe + 4] != b"PE\0\0":
        raise WineError(f"{path} has no PE header")
    (machine,) = struct.unpack_from("<H", head, pe + 4)
    return {0x14C: "x86", 0x8664: "x64", 0xAA64: "arm64"}.get(machine, hex(machine))


def prepare_base_prefix(script, prefix, timeout=300):
    r = subprocess.run([script, prefix], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       timeout=timeout)
    if r.returncode != 0:
        raise WineError(f"{script} failed ({r.returncode}):\n{r.stdout.decode(errors='replace')}")


def _server_sockets(prefix):
    """Where the prefix's server socket may appear. It is keyed by the prefix folder's
    device and inode. Upstream Wine keeps it under /tmp/.wine-UID; Debian's Wine under a
    random $TMPDIR/wine-XXXXXX whose name it records in the prefix's `wineserver` file."""
    st = os.stat(prefix)
    leaf = f"server-{st.st_dev:x}-{st.st_ino:x}"
    tmp = os.environ.get("TMPDIR") or "/tmp"
    paths = [os.path.join(tmp, f".wine-{os.getuid()}", leaf, "socket"),
             os.path.join("/tmp", f".wine-{os.getuid()}", leaf, "socket")]
    try:
        with open(os.path.join(prefix, "wineserver")) as f:
            name = f.read().strip()
        if name:
            paths[:0] = [os.path.join(tmp, name, leaf, "socket"),
                         os.path.join("/tmp", name, leaf, "socket")]
    except OSError:
        pass
    return paths


def _resolve_case_insensitive(base, parts):
    path = base
    for part in parts:
        candidate = os.path.join(path, part)
        if not os.path.exists(candidate) and os.path.isdir(path):
            lowered = part.lower()
            for entry in os.listdir(path):
                if entry.lower() == lowered:
                    candidate = os.path.join(path, entry)
                    break
        path = candidate
    return path


class CrossBuild:
    """The MinGW build tree holding setup.exe and the test programs."""

    def __init__(self, root):
        self.root = os.path.abspath(root)

    def path(self, relative):
        return os.path.join(self.root, relative)

    def require(self, relative):
        p = self.path(relative)
        if not os.path.isfile(p):
            raise WineError(f"{p} is missing: build it with cmake --build {self.root}")
        return p

    @property
    def uidriver(self):
        return self.require("tests/driver/uidriver.exe")


class WineProcess:
    """A Windows program started through the driver's `run` wrapper, which reports the
    Windows pid and the full 32-bit exit code (a Unix exit status keeps 8 bits)."""

    def __init__(self, prefix, popen, report_path, label, log_path):
        self.prefix = prefix
        self.popen = popen
        self.report_path = report_path
        self.label = label
        self.log_path = log_path
        self._pid = None

    def _report(self):
        try:
            with open(self.report_path, encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return {}

    @property
    def pid(self):
        """The Windows process id (for driver selectors); waits until the program runs."""
        if self._pid is None:
            rep = procs.wait_for(
                lambda: self._report() or (self.popen.poll() is not None and self._report()),
                20.0)
            if "error" in (rep or {}):
                raise WineError(f"{self.label} could not start: Windows error {rep['error']}")
            if not rep or "pid" not in rep:
                raise WineError(f"{self.label}: no pid reported (see {self.log_path})")
            self._pid = rep["pid"]
        return self._pid

    @property
    def wow64(self):
        """True when the program runs as a 32-bit process on 64-bit Windows (IsWow64Process),
        False for a native one."""
        self.pid  # waits for the first report, which carries the answer
        wow64 = self._report().get("wow64")
        if wow64 is None:
            raise WineError(f"{self.label}: IsWow64Process gave no answer (see {self.log_path})")
        return wow64

    @property
    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=60.0):
        """Waits for the program to end and returns its Windows exit code."""
        try:
            self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"{self.label} still running after {timeout} s") from None
        rep = self._report()
        if "exit_code" in rep:
            return rep["exit_code"]
        if "error" in rep:
            raise WineError(f"{self.label} could not start: Windows error {rep['error']}")
        raise WineError(f"{self.label} ended without an exit code (killed?), "
                        f"wrapper status {self.popen.returncode}; see {self.log_path}")

    def kill(self):
        """Ends the Windows program (TerminateProcess), then its wrapper."""
        if self.running:
            try:
                self.prefix.driver.kill(self.pid)
            except WineError:
                pass
            try:
                self.popen.wait(timeout=10)
            except subprocess.TimeoutExpired:
                procs.stop(self.popen)

    def output(self):
        """What the program (and its wrapper) wrote to stdout/stderr so far."""
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", errors="replace")
        except OSError:
            return ""


class WinePrefix:
    """One scenario's prefix: a copy of the base, its own wineserver, the shared display."""

    def __init__(self, path, display, build, screenshots_dir, logs_dir, tag="",
                 lc_all=DEFAULT_LC_ALL):
        self.path = path
        self.display = display
        self.build = build
        self.screenshots_dir = screenshots_dir
        self.logs_dir = logs_dir
        self.tag = tag  # tells apart the screenshots of a test's second prefix
        self.run_dir = os.path.join(os.path.dirname(path), "run")
        check_locale(lc_all)
        self.lc_all = lc_all
        self.extra_env = {}
        self.loader = wine_loader()
        self.server_bin = wineserver_binary()
        self._server = None
        self._desktop_holder = None
        self._processes = []
        self._shots = 0
        self._driver = None

    # ------------------------------------------------------------- lifetime

    @classmethod
    def copy_of(cls, base, path, display, build, screenshots_dir, logs_dir, **kw):
        if os.path.exists(path):
            shutil.rmtree(path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # cp -a keeps ownership, modes and symlinks (dosdevices) exactly; root-owned as
        # Wine requires.
        r = subprocess.run(["cp", "-a", base, path], stderr=subprocess.PIPE, timeout=120)
        if r.returncode != 0:
            raise WineError(f"copying the base prefix failed: {r.stderr.decode(errors='replace')}")
        marker = os.path.join(path, ".setup-e2e-prefix-ready")
        if os.path.exists(marker):
            os.remove(marker)
        # Debian's Wine records its server folder here; without it the copy gets a folder of
        # its own instead of sharing the base's.
        server_record = os.path.join(path, "wineserver")
        if os.path.exists(server_record):
            os.remove(server_record)
        return cls(path, display, build, screenshots_dir, logs_dir, **kw)

    def env(self, extra=None):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("WINE", "LC_")) and k not in ("LANG", "LANGUAGE")}
        env.update(QUIET_ENV)
        env.update(loader_env())
        env.update(WINEPREFIX=self.path, DISPLAY=self.display.name, WINELOADER=self.loader,
                   LC_ALL=self.lc_all)
        env.update(self.extra_env)
        if extra:
            env.update(extra)
        if env["LC_ALL"] != self.lc_all:
            check_locale(env["LC_ALL"])
        return env

    def start_server(self, timeout=20.0):
        os.makedirs(self.logs_dir, exist_ok=True)
        os.makedirs(self.run_dir, exist_ok=True)
        log = open(os.path.join(self.logs_dir, "wineserver.log"), "ab")
        try:
            # Foreground (-f) so the server stays our child and is reaped by us;
            # persistent (-p) so it does not restart between the programs of a scenario.
            self._server = procs.popen([self.server_bin, "-f", "-p"], env=self.env(),
                                       stdout=log, stderr=log)
        finally:
            log.close()
        def ready():
            # The record of Debian's folder is written by the server itself at start.
            return (self._server.poll() is not None
                    or any(os.path.exists(p) for p in _server_sockets(self.path)))

        if not procs.wait_for(ready, timeout) or self._server.poll() is not None:
            raise WineError(f"wineserver for {self.path} did not start "
                            f"(status {self._server.poll()})")
        holder = self.env().get("SETUP_E2E_DESKTOP_HOLDER")
        if holder:
            with open(os.path.join(self.logs_dir, "desktop-holder.log"), "ab") as log:
                self._desktop_holder = procs.popen([self.loader, holder], env=self.env(),
                                                   stdout=log, stderr=log)
        # The first program of a prefix also brings up its services and desktop (~2 s):
        # done here, so that the test's own first step is not slowed or timed out by it.
        with open(os.path.join(self.logs_dir, "warm-up.log"), "ab") as log:
            warm = procs.popen([self.loader, self.build.uidriver, "list"], env=self.env(),
                               stdout=log, stderr=log)
        try:
            warm.wait(timeout=60)
        except subprocess.TimeoutExpired:
            procs.stop(warm)
            raise WineError(f"the first program in {self.path} did not finish in 60 s")

    def shutdown(self, remove=True):
        """Ends every process of this prefix, then (optionally) deletes the prefix."""
        server_dirs = []
        if os.path.isdir(self.path):
            server_dirs = [os.path.dirname(p) for p in _server_sockets(self.path)]
        if self._server is not None:
            try:
                subprocess.run([self.server_bin, "-k"], env=self.env(), timeout=15,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
            try:
                self._server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                procs.stop(self._server)
        if self._desktop_holder is not None:
            procs.stop(self._desktop_holder)  # normally gone with its server
            self._desktop_holder = None
        for p in self._processes:
            if p.popen.poll() is None:
                try:
                    p.popen.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    procs.stop(p.popen)
        # Anything still carrying this prefix in its environment is ours and must go.
        procs.kill_pids(procs.pids_with_env("WINEPREFIX", self.path))
        time.sleep(0.05)
        procs.reap_orphans()
        self._server = None
        for d in server_dirs:  # sockets and mappings of a server that is gone
            if os.path.isdir(d):
                shutil.rmtree(d, ignore_errors=True)
                try:
                    os.rmdir(os.path.dirname(d))
                except OSError:
                    pass
        if remove and os.path.isdir(self.path):
            # Renamed away first, the background deletion can't touch a later test's
            # prefix of the same name.
            procs.remove_tree_later(self.path)
            shutil.rmtree(self.run_dir, ignore_errors=True)
            try:
                os.rmdir(os.path.dirname(self.path))
            except OSError:
                pass  # the renamed prefix is still being deleted beside run/

    # ------------------------------------------------------------- programs

    def _resolve(self, program):
        program = os.fspath(program)
        if program.startswith("/") or ("/" in program and os.path.exists(program)):
            path = os.path.abspath(program)
            if not os.path.exists(path):
                raise WineError(f"program not found: {path}")
            return self.to_windows(path)
        return program  # a Windows path, or a name Windows looks up on its PATH

    def start(self, program, *args, env=None, cwd=None, label=None):
        """Starts a Windows program (Unix path, Windows path or name) with args, without
        waiting. Returns a WineProcess; .pid is its Windows pid, .wait() its exit code."""
        win_program = self._resolve(program)
        cmdline = subprocess.list2cmdline([win_program, *map(str, args)])
        self._ensure_dirs()
        n = len(self._processes) + 1
        name = label or ntpath.basename(win_program)
        report = os.path.join(self.run_dir, f"proc{n}.json")
        log_path = os.path.join(self.logs_dir, f"proc{n}-{name}.log")
        argv = [self.loader, self.build.uidriver, "run", "--report", self.to_windows(report),
                "--cmdline", cmdline]
        if cwd:
            cwd = os.fspath(cwd)
            argv += ["--cwd", self.to_windows(cwd) if cwd.startswith("/") else cwd]
        with open(log_path, "ab") as log:
            popen = procs.popen(argv, env=self.env(env), stdout=log, stderr=log)
        proc = WineProcess(self, popen, report, name, log_path)
        self._processes.append(proc)
        return proc

    def run(self, program, *args, timeout=60.0, **kw):
        """Runs a Windows program to its end and returns its exit code."""
        return self.start(program, *args, **kw).wait(timeout=timeout)

    def wine(self, *args, timeout=60.0, env=None):
        """Runs `wine64 ARGS` directly (e.g. builtin tools like reg, cmd) and returns a
        CompletedProcess with bytes stdout/stderr."""
        argv = [self.loader, *map(str, args)]
        try:
            rc, out, err = procs.run_captured(argv, env=self.env(env), timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"wine {' '.join(map(str, args))} hung for {timeout} s") from None
        return subprocess.CompletedProcess(argv, rc, out, err)

    def _ensure_dirs(self):
        os.makedirs(self.logs_dir, exist_ok=True)
        os.makedirs(self.run_dir, exist_ok=True)

    # ------------------------------------------------------------- paths

    @property
    def drive_c(self):
        return os.path.join(self.path, "drive_c")

    def to_windows(self, unix_path):
        """C:\\... inside the prefix's drive_c, Z:\\... for any other Unix path."""
        p = os.path.abspath(os.fspath(unix_path))
        for root in (os.path.abspath(self.drive_c), os.path.realpath(self.drive_c)):
            if p == root or p.startswith(root + os.sep):
                rel = os.path.relpath(p, root)
                return "C:\\" + ("" if rel == "." else rel.replace(os.sep, "\\"))
        return "Z:" + p.replace("/", "\\")

    def to_unix(self, windows_path):
        """The Unix path of a drive-letter path, matching names without regard to case as
        Windows does."""
        w = windows_path.replace("/", "\\")
        drive, rest = ntpath.splitdrive(w)
        if len(drive) != 2:
            raise WineError(f"not a drive path: {windows_path}")
        link = os.path.join(self.path, "dosdevices", drive.lower())
        if not os.path.exists(link):
            raise WineError(f"drive {drive} is not mapped in {self.path}")
        root = os.path.realpath(link)
        parts = [x for x in rest.split("\\") if x]
        return _resolve_case_insensitive(root, parts)

    # ------------------------------------------------------------- registry

    def reg_key(self, key, view=32):
        """{'values': {name: {'type': ..., 'data': ...}}, 'subkeys': [...]} of a key in the
        32- or 64-bit registry view (None: native view), or None if the key is missing."""
        args = ["reg", "--key", key]
        if view:
            args += ["--view", str(view)]
        data = self.driver.call(args)
        return data if data.get("exists") else None

    def reg_value(self, key, name, view=32, default=None):
        """A value's data: str, int (DWORD/QWORD), list (MULTI_SZ) or hex str (binary)."""
        k = self.reg_key(key, view)
        if k is None:
            return default
        for n, v in k["values"].items():
            if n.lower() == name.lower():
                return v["data"]
        return default

    def reg_add(self, key, name, data, type="REG_SZ", view=32):
        """Writes one value with Wine's reg.exe (for scenario set-up)."""
        r = self.wine("reg", "add", key, "/v", name, "/t", type, "/d", str(data), "/f",
                      f"/reg:{view}")
        if r.returncode != 0:
            raise WineError(f"reg add {key}\\{name} failed: {r.stdout!r} {r.stderr!r}")

    def set_dpi(self, dpi):
        """The pixel density programs started from now on draw at (96 = 100 %). Wine 8 reads
        it at each program's start from HKCU\\Control Panel\\Desktop LogPixels, the value
        winecfg writes, and makes every program per-monitor DPI aware."""
        self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", int(dpi), type="REG_DWORD", view=64)

    # ------------------------------------------------------------- screen

    def screenshot(self, label="shot"):
        """A PNG of the whole display in the test's screenshot folder; returns its path."""
        self._shots += 1
        safe = "".join(ch if ch.isalnum() or ch in "-_." else "_" for ch in label)
        path = os.path.join(self.screenshots_dir, f"{self.tag}{self._shots:02d}-{safe}.png")
        return self.display.screenshot(path)

    @property
    def driver(self):
        if self._driver is None:
            from .driver import Driver
            self._driver = Driver(self)
        return self._driver
