"""The Win32 platform layer under Wine: tests/platform's platform_tests.exe checks every
primitive against real Windows behaviour. This scenario prepares what those checks need
(the demo package installed without videos, runtime loaders with and without a version,
folders nothing can be written to, links to a full disk) and reports the failing checks by
name."""

import os
import shutil
import subprocess
import xml.etree.ElementTree as ET

import pytest

from medium import make_immutable, release_immutable

DEMO_MSI = "examples/demo/product/Circuita.msi"
DEMO_SETUP = "products/demo/setup.exe"
RUNTIME_20 = "examples/demo/product/NetFx20SP2_x86.exe"  # FileVersion 2.0.50727.4927
PLATFORM_TESTS = "tests/platform/platform_tests.exe"
READ_ONLY_TEST = "Files.ReadOnlyFolderIsNotWritableEvenWithAStaleProbe"

# The loader's known DLLs (never searched for beside the program) and comctl32, which the
# manifest's side-by-side lookup finds.
KNOWN_DLLS = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
              "ole32.dll", "oleaut32.dll", "shell32.dll", "user32.dll", "comctl32.dll"}


def run_platform_tests(wine, label, *args, timeout=240, exe=PLATFORM_TESTS):
    """Runs a GoogleTest program of the build (platform_tests.exe unless exe names another);
    returns (exit code, {test: failure text}, [skipped tests])."""
    exe = wine.build.require(exe)
    report = os.path.join(wine.run_dir, f"platform-{label}.xml")
    os.makedirs(wine.run_dir, exist_ok=True)
    if os.path.exists(report):
        os.remove(report)
    code = wine.run(exe, f"--gtest_output=xml:{wine.to_windows(report)}", *args, timeout=timeout)
    assert os.path.exists(report), f"no test report (exit code {code})"
    failures, skipped = {}, []
    assert list(ET.parse(report).getroot().iter("testcase")), "the report lists no tests"
    for case in ET.parse(report).getroot().iter("testcase"):
        name = f"{case.get('classname')}.{case.get('name')}"
        texts = [f.get("message", "") for f in case.findall("failure")]
        if texts:
            failures[name] = "\n".join(texts)
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped.append(name)
    return code, failures, skipped


def assert_passed(result):
    code, failures, _ = result
    assert not failures, "failing platform tests:\n" + "\n\n".join(
        f"{name}:\n{text}" for name, text in failures.items())
    assert code == 0


@pytest.mark.smoke32
@pytest.mark.timeout(600)
def test_platform_layer(wine):
    # The demo package, its Videos feature left out.
    msi = wine.build.require(DEMO_MSI)
    r = wine.wine("msiexec", "/i", wine.to_windows(msi), "/qn", "NOVIDEOS=1", timeout=180)
    assert r.returncode == 0, f"msiexec failed: {r.returncode} {r.stdout!r} {r.stderr!r}"

    # Wine's own runtime loader has no version resource: no .NET counts as usable.
    loaders = [os.path.join(wine.drive_c, "windows", d, "mscoree.dll")
               for d in ("system32", "syswow64")]
    assert os.path.exists(loaders[0])
    assert_passed(run_platform_tests(wine, "unversioned-loader", "--gtest_filter=DotNet.*",
                                     "--mscoree-major=0"))
    for loader in loaders:
        if os.path.exists(loader):
            shutil.copyfile(wine.build.require(RUNTIME_20), loader)

    readonly_root = os.path.join(wine.drive_c, "platform-read-only")
    empty, stale = os.path.join(readonly_root, "empty"), os.path.join(readonly_root, "stale")
    os.makedirs(empty)
    os.makedirs(stale)
    with open(os.path.join(stale, "seqhgfq.xyz"), "wb"):
        pass  # a probe copy an earlier test left behind
    locked = [p for p in (empty, stale) if make_immutable(p)]
    devices = os.path.join(wine.drive_c, "platform-devices")
    os.makedirs(devices)
    for link, target in (("full-1", "/dev/full"), ("full-2", "/dev/full"), ("unsized", "/proc/version")):
        os.symlink(target, os.path.join(devices, link))
    try:
        args = ["--mscoree-major=2", "--msi-installed", f"--device-folder={wine.to_windows(devices)}",
                f"--demo-setup={wine.to_windows(wine.build.require(DEMO_SETUP))}"]
        if len(locked) == 2:
            args += [f"--read-only-folder={wine.to_windows(empty)}",
                     f"--read-only-stale-folder={wine.to_windows(stale)}"]
        result = run_platform_tests(wine, "all", *args)
    finally:
        for p in locked:
            release_immutable(p)
    assert_passed(result)
    allowed = set() if len(locked) == 2 else {READ_ONLY_TEST}  # no immutable folders here
    assert set(result[2]) <= allowed, f"skipped: {result[2]}"


def test_setup_imports_only_known_dlls(cross_build):
    """A DLL planted beside setup.exe must find no import to hijack: anything else is
    loaded from the system folder at run time."""
    objdump = shutil.which("x86_64-w64-mingw32-objdump") or shutil.which("objdump")
    if not objdump:
        pytest.skip("no objdump to read the import table")
    out = subprocess.run([objdump, "-p", cross_build.require(DEMO_SETUP)],
                         capture_output=True, text=True, check=True).stdout
    imported = {line.split("DLL Name:")[1].strip().lower()
                for line in out.splitlines() if "DLL Name:" in line}
    assert imported and imported <= KNOWN_DLLS, f"not known DLLs: {sorted(imported - KNOWN_DLLS)}"
