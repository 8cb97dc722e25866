"""Process hygiene for the end-to-end harness: nothing we start may outlive the session.

Wine forks helpers (wineserver, winedevice.exe, services.exe) that detach from their
parent. The session makes itself a child subreaper so those orphans come back to it and
can be reaped, and children we start directly die with us even if pytest is killed.
"""

import ctypes
import os
import signal
import subprocess
import tempfile
import time
import weakref

_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36

_libc = ctypes.CDLL(None, use_errno=True)

# Popen objects whose exit status is still theirs to collect: reap_orphans keeps off them.
_started = weakref.WeakSet()


def become_subreaper():
    """Orphaned descendants are re-parented to this process instead of init."""
    _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def _die_with_parent():
    # Runs in the child between fork and exec.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


def popen(args, *, env=None, cwd=None, stdout=None, stderr=None, stdin=subprocess.DEVNULL):
    """Popen in its own process group, killed when this process dies."""
    proc = subprocess.Popen(
        args, env=env, cwd=cwd, stdin=stdin, stdout=stdout, stderr=stderr,
        start_new_session=True, preexec_fn=_die_with_parent)
    _started.add(proc)
    return proc


def stop(proc, grace=3.0):
    """Terminates a Popen and its process group; waits so nothing is left as a zombie."""
    if proc is None:
        return
    if proc.poll() is None:
        for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
            try:
                os.killpg(proc.pid, sig)
            except (ProcessLookupError, PermissionError):
                try:
                    proc.send_signal(sig)
                except ProcessLookupError:
                    pass
            try:
                proc.wait(timeout=wait)
                break
            except subprocess.TimeoutExpired:
                continue
    else:
        # The leader is gone, but members of its group may still run.
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass


def _proc_entries():
    for name in os.listdir("/proc"):
        if name.isdigit():
            yield int(name)


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def pids_with_env(name, value):
    """Pids whose environment holds name=value exactly (Wine processes of one prefix)."""
    needle = f"{name}={value}".encode()
    found = []
    for pid in _proc_entries():
        if pid == os.getpid():
            continue
        if needle in _read(f"/proc/{pid}/environ").split(b"\0"):
            found.append(pid)
    return found


def kill_pids(pids):
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass


def reap_orphans():
    """Reaps zombie children that no Popen object owns (re-parented Wine helpers)."""
    me = os.getpid()
    excluded = {p.pid for p in list(_started) if p.returncode is None}
    for pid in _proc_entries():
        if pid in excluded:
            continue
        stat = _read(f"/proc/{pid}/stat")
        # Format: pid (comm) state ppid ...; comm may contain spaces and parentheses.
        tail = stat.rpartition(b")")[2].split()
        if len(tail) >= 2 and tail[0] == b"Z" and int(tail[1]) == me:
            try:
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass


def wait_for(predicate, timeout, interval=0.05):
    """Polls predicate until it returns a truthy value or timeout seconds pass."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def run_captured(args, *, env=None, timeout):
    """Runs a program to its end and returns (returncode, stdout, stderr) as bytes.

    Output goes through files, not pipes: the first Wine program of a prefix starts
    services (explorer.exe, winedevice.exe) that inherit its output handles and live on,
    so a pipe would never see end-of-file. Raises subprocess.TimeoutExpired after killing.
    """
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = popen(args, env=env, stdout=out, stderr=err)
        try:
            proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop(proc)
            raise
        out.seek(0)
        err.seek(0)
        return proc.returncode, out.read(), err.read()


_removals = []


def remove_tree_later(path):
    """Deletes a folder in the background (a prefix is ~700 MB, about a second of work):
    renamed first, so the name is free again at once."""
    trash = f"{path}.trash-{os.getpid()}-{len(_removals)}"
    try:
        os.rename(path, trash)
    except OSError:
        trash = path
    proc = popen(["rm", "-rf", "--", trash], stdout=subprocess.DEVNULL,
                 stderr=subprocess.DEVNULL)
    _removals.append((proc, os.path.dirname(path)))


def finish_removals(timeout=120.0):
    """Waits for the background deletions; drops the folders they leave empty."""
    deadline = time.monotonic() + timeout
    while _removals:
        proc, parent = _removals.pop()
        try:
            proc.wait(timeout=max(0.1, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            stop(proc)
        try:
            os.rmdir(parent)
        except OSError:
            pass
