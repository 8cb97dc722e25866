"""Fixtures of the end-to-end tests: real Windows programs under Wine on a virtual display.

Session: x_display (Xvfb + twm, or $SETUP_E2E_DISPLAY), cross_build, base_prefix.
Per test: wine (a fresh prefix with its own wineserver), driver (wine.driver),
wine_factory (more prefixes in one test). See README.md in this folder.
"""

import os
import re
import shutil
import signal
import time

import pytest

from harness import CrossBuild, WinePrefix, XDisplay, procs, timings
from harness import wine as winemod

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORK = os.path.abspath(os.environ.get("SETUP_E2E_WORK", "/tmp/setup-e2e"))
# The full tier runs the 64-bit build, which uses the registry views the shipped 32-bit
# one does; tools/smoke32.sh points SETUP_CROSS_BUILD_DIR at the 32-bit build.
_DEFAULT_BUILD = os.path.join(REPO, "build", "cross-x86_64")
BUILD_DIR = os.path.abspath(os.environ.get("SETUP_CROSS_BUILD_DIR", _DEFAULT_BUILD))
TEST_TIMEOUT = float(os.environ.get("SETUP_E2E_TEST_TIMEOUT", "120"))
KEEP_PREFIXES = os.environ.get("SETUP_E2E_KEEP", "") not in ("", "0")
# Every prefix at this DPI (tools/demo.sh takes its 150 % screenshots so); unset: Wine's 96.
SESSION_DPI = os.environ.get("SETUP_E2E_DPI", "")
PREPARE_SCRIPT = os.path.join(REPO, "tools", "wine", "prepare-prefix.sh")

_HERE = os.path.dirname(os.path.abspath(__file__))


class TestTimeout(Exception):
    pass


def _has_timeout_plugin(config):
    return config.pluginmanager.hasplugin("timeout")


def pytest_configure(config):
    # Wine's helpers detach from their parents; as subreaper this process can reap them.
    procs.become_subreaper()
    config.addinivalue_line(
        "markers", "smoke32: the few scenarios tools/smoke32.sh runs against the 32-bit build")
    if not _has_timeout_plugin(config):
        config.addinivalue_line("markers", "timeout(seconds): end the test after so long")


def pytest_collection_modifyitems(config, items):
    # No end-to-end test may hang a CI run: each gets a deadline unless it names its own.
    for item in items:
        if str(item.fspath).startswith(_HERE) and item.get_closest_marker("timeout") is None:
            item.add_marker(pytest.mark.timeout(TEST_TIMEOUT))


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_protocol(item, nextitem):
    """Deadline for when python3-pytest-timeout is not installed (SIGALRM, main thread)."""
    marker = item.get_closest_marker("timeout")
    if _has_timeout_plugin(item.config) or marker is None or not marker.args:
        yield
        return
    seconds = float(marker.args[0])

    def expire(signum, frame):
        raise TestTimeout(f"test exceeded its {seconds:.0f} s deadline")

    previous = signal.signal(signal.SIGALRM, expire)
    signal.setitimer(signal.ITIMER_REAL, seconds)
    try:
        yield
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    rep = outcome.get_result()
    setattr(item, "rep_" + rep.when, rep)


def pytest_terminal_summary(terminalreporter):
    copies, trips = timings["prefix_copies"], timings["round_trips"]
    if "base_prefix" not in timings and not copies:
        return
    parts = []
    if "base_prefix" in timings:
        parts.append(f"base prefix {timings['base_prefix']:.1f} s"
                     f" ({'reused' if timings.get('base_reused') else 'created'})")
    if copies:
        parts.append(f"prefix copy {sum(copies) / len(copies):.2f} s avg over {len(copies)}")
    if trips:
        parts.append(f"message box round trip {sum(trips) / len(trips):.2f} s avg "
                     f"over {len(trips)}")
    terminalreporter.write_line("e2e harness: " + ", ".join(parts))


def test_name(node):
    """A folder name for a test: module and test name, parameters kept."""
    nodeid = node.nodeid.split("/")[-1].replace(".py::", ".").replace("::", ".")
    return re.sub(r"[^A-Za-z0-9_.\-]+", "_", nodeid).strip("_")


# --------------------------------------------------------------------- session fixtures

@pytest.fixture(scope="session")
def e2e_work():
    os.makedirs(WORK, exist_ok=True)
    return WORK


@pytest.fixture(scope="session")
def cross_build():
    """The MinGW build tree ($SETUP_CROSS_BUILD_DIR, default <repo>/build/cross-<arch>)."""
    build = CrossBuild(BUILD_DIR)
    driver = build.path("tests/driver/uidriver.exe")
    if not os.path.isfile(driver):
        pytest.fail(f"{driver} is missing. Build it: cmake -S {REPO} -B {BUILD_DIR} "
                    f"-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake && "
                    f"cmake --build {BUILD_DIR} --target uidriver msgbox_probe", pytrace=False)
    if winemod.pe_machine(driver) == "x86" and not winemod.host_runs_32bit_wine():
        pytest.fail(
            f"{BUILD_DIR} holds 32-bit programs, but this machine cannot run 32-bit Wine "
            "(the kernel refuses 32-bit ELF programs, or wine32:i386 is missing). Build with "
            "cmake/toolchain-mingw-x86_64.cmake into another folder and point "
            "SETUP_CROSS_BUILD_DIR at it.", pytrace=False)
    return build


@pytest.fixture(scope="session")
def x_display(e2e_work):
    """Xvfb (1280x1024x24) with twm, stopped at session end; or $SETUP_E2E_DISPLAY."""
    display = XDisplay(os.path.join(e2e_work, "display"),
                       existing=os.environ.get("SETUP_E2E_DISPLAY") or None)
    # A CI runner's SIGTERM must still tear the display down: turn it into an interrupt,
    # which pytest answers by running the finalizers.
    if signal.getsignal(signal.SIGTERM) in (signal.SIG_DFL, None):
        def interrupt(signum, frame):
            raise KeyboardInterrupt("SIGTERM")
        signal.signal(signal.SIGTERM, interrupt)
    display.start()
    try:
        yield display
    finally:
        display.stop()
        procs.reap_orphans()


@pytest.fixture(scope="session")
def base_prefix(e2e_work):
    """The prepared prefix every test copies ($SETUP_E2E_WORK/base-prefix)."""
    path = os.path.join(e2e_work, "base-prefix")
    reused = os.path.exists(os.path.join(path, ".setup-e2e-prefix-ready"))
    t0 = time.monotonic()
    winemod.prepare_base_prefix(PREPARE_SCRIPT, path)
    timings["base_prefix"] = time.monotonic() - t0
    timings["base_reused"] = reused
    procs.reap_orphans()
    yield path
    procs.finish_removals()  # the per-test prefixes deleted in the background


# --------------------------------------------------------------------- per-test fixtures

@pytest.fixture
def wine_factory(request, x_display, cross_build, base_prefix, e2e_work):
    """make(lc_all="en_US.UTF-8") -> a new WinePrefix for this test, with its own running
    wineserver. All are shut down (and deleted unless SETUP_E2E_KEEP=1) after the test; a
    failed test gets a screenshot first."""
    name = test_name(request.node)
    shots = os.path.join(e2e_work, "screenshots", name)
    shutil.rmtree(shots, ignore_errors=True)  # stale pictures from an earlier run mislead
    made = []

    def make(lc_all=winemod.DEFAULT_LC_ALL):
        n = len(made) + 1
        suffix = "" if n == 1 else f"-{n}"
        root = os.path.join(e2e_work, "prefixes", name + suffix)
        t0 = time.monotonic()
        prefix = WinePrefix.copy_of(
            base_prefix, os.path.join(root, "prefix"), x_display, cross_build,
            screenshots_dir=shots, logs_dir=os.path.join(e2e_work, "logs", name + suffix),
            tag="" if n == 1 else f"p{n}-", lc_all=lc_all)
        timings["prefix_copies"].append(time.monotonic() - t0)
        made.append(prefix)
        prefix.start_server()
        if SESSION_DPI:
            prefix.set_dpi(int(SESSION_DPI))
        return prefix

    yield make

    rep = getattr(request.node, "rep_call", None)
    failed = rep is None or rep.failed
    for prefix in made:
        if failed and prefix is made[0]:
            try:
                prefix.screenshot("failure")
            except Exception as e:  # the failure itself matters more than its picture
                print(f"failure screenshot not taken: {e}")
        prefix.shutdown(remove=not KEEP_PREFIXES)


@pytest.fixture
def wine(wine_factory):
    """A fresh prefix (copy of the base) with its own wineserver, English locale."""
    return wine_factory()


@pytest.fixture
def driver(wine):
    """The uidriver of the `wine` prefix."""
    return wine.driver
