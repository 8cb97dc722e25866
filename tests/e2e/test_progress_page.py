"""The progress page as a user meets it: a missing runtime extracted from the launcher and
installed behind the page after Next, the page staying about three seconds for an installer
that ends at once, the page refusing to close under its worker, and a redistributable
found nowhere."""

import json
import os
import shutil
import subprocess
import time

import pytest

from medium import (BACK, CANCEL, INSTALL, MESSAGE, NEXT, Medium, demo_settings, edited, page_titled, texts,
                    wait_start_page)

INFO = 1049
FRAME = 1004
BAR = 1002
NDP20 = r"HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v2.0.50727"
NDP40 = r"HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Client"


def runtime_page_texts(t, version40):
    def named(row):
        text = t[row].replace("ProductX", "Circuita 5")
        return text.replace("2.0 SP2", "4.0") if version40 else text
    return named(10), named(7)


def install_runtime(wine, proc, t, version40, close_while_running=False):
    """The runtime page of one runtime: its texts before Next, the work after it. Returns the
    seconds from Next until the page had gone."""
    message, progress_title = runtime_page_texts(t, version40)
    page = page_titled(wine, proc, t[27])
    assert page.text(MESSAGE) == message
    assert page.control(INFO)["visible"] and page.text(INFO) == t[155].replace("ProductX", "Circuita 5")
    assert not page.control(FRAME)["visible"] and not page.control(BAR)["visible"]
    assert not page.control(1048)["visible"] and not page.control(1038)["visible"]
    assert [page.text(i) for i in (BACK, NEXT, CANCEL)] == [t[23], t[24], t[2]]
    wine.screenshot("runtime-before-next")
    wine.driver.click(NEXT, hwnd=page["hwnd"])
    started = time.monotonic()
    running = wine.driver.wait_window(hwnd=page["hwnd"])
    while not running.control(FRAME)["visible"] and time.monotonic() - started < 2:
        running = wine.driver.wait_window(hwnd=page["hwnd"])
    assert running.text(FRAME) == progress_title and running.control(BAR)["visible"]
    assert not any(running.control(i)["enabled"] for i in (BACK, NEXT, CANCEL))
    wine.screenshot("runtime-running")
    if close_while_running:
        # Neither Escape nor a close request may end the page under its worker: it still
        # stays its three seconds (checked by the caller).
        wine.driver.escape(hwnd=page["hwnd"])
        wine.driver.close_window(hwnd=page["hwnd"])
    wine.driver.wait_gone(hwnd=page["hwnd"], timeout=120)
    return time.monotonic() - started


@pytest.mark.smoke32
def test_missing_runtimes_are_installed_behind_the_progress_page(wine):
    t = texts("en")
    medium = Medium(wine)  # runtimes embedded, no Support folder
    log = os.path.join(wine.drive_c, "standin.log")
    proc = medium.start(env={"SETUP_STANDIN_LOG": "C:\\standin.log"})
    go = wait_start_page(wine, proc)
    wine.driver.click(INSTALL, hwnd=go["hwnd"])

    shown = install_runtime(wine, proc, t, version40=False, close_while_running=True)
    assert shown >= 2.5, f"the page of an installer that ends at once went after {shown:.1f} s"
    assert wine.reg_value(NDP20, "SP", view=64) == 2
    install_runtime(wine, proc, t, version40=True)
    assert wine.reg_value(NDP40, "Install", view=64) == 1

    # Both ran silently from the temporary folder, and neither copy was left there.
    with open(log, encoding="utf-8") as f:
        runs = f.read().splitlines()
    assert [r.rsplit("\\", 1)[-1] for r in runs] == ["NetFx20SP2.exe /q -> 0",
                                                     "dotNetFx40_Client_x86_x64.exe /q -> 0"]
    temp = os.path.dirname(wine.to_unix(runs[0].split(" ")[0]))
    assert not {"NetFx20SP2.exe", "dotNetFx40_Client_x86_x64.exe"} & set(os.listdir(temp))

    user_group = page_titled(wine, proc, t[77])
    wine.driver.click(CANCEL, hwnd=user_group["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0


def test_a_redistributable_found_nowhere_is_reported_and_the_start_page_returns(wine):
    t = texts("en")
    medium = Medium(wine)
    settings = edited(demo_settings(), 'id="DOTNET20_64_FILE"', 'id=""')
    medium.set_settings(edited(settings, 'id="DOTNET20_32_FILE"', 'id=""'))
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])

    box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
    message = t[10].replace("ProductX", "Circuita 5") + "\n\n" + t[148].replace("ProductX", ".NET Framework 2.0")
    assert box.message_text == message
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    start = wait_start_page(wine, proc)
    wine.driver.click(CANCEL, hwnd=start["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0


def payload_probe(wine):
    """A copy of payload-probe carrying the demo package as its MSI_FILE resource."""
    probe = os.path.join(wine.drive_c, "probe", "payload-probe.exe")
    os.makedirs(os.path.dirname(probe))
    shutil.copy(wine.build.require("tests/win32tools/payload-probe.exe"), probe)
    package = wine.build.require("examples/demo/product/Circuita.msi")
    code = wine.run(wine.build.require("tests/win32tools/set-settings.exe"), wine.to_windows(probe), "--resource",
                    "MSI_FILE", wine.to_windows(package))
    assert code == 0, f"set-settings failed with {code}"
    return probe, package


def probe_report(wine, proc_or_args, probe=None):
    out = os.path.join(wine.drive_c, "probe", "report.json")
    if probe is not None:
        assert wine.run(probe, "--out", wine.to_windows(out), *proc_or_args, timeout=120) == 0
    else:
        assert proc_or_args.wait(timeout=120) == 0
    with open(out, encoding="utf-8") as f:
        return json.load(f)


@pytest.mark.smoke32
def test_the_package_is_extracted_behind_the_extraction_page_byte_for_byte(wine):
    t = texts("en")
    probe, package = payload_probe(wine)
    report = probe_report(wine, ["prepare"], probe)
    assert report["result"] == 0
    extracted = wine.to_unix(report["path"])
    assert report["path"].endswith("\\Temp\\Circuita.msi")
    with open(extracted, "rb") as a, open(package, "rb") as b:
        assert a.read() == b.read()
    pages = report["pages"]
    assert pages, "no extraction page was shown"
    assert {(p["title"], p["frame"]) for p in pages} == {(t[74], t[76])}
    assert all(p["bar_visible"] and 0 <= p["pos"] <= 100 for p in pages)
    assert pages[0]["message"] == t[75] and pages[0]["message_visible"]


def test_a_full_volume_refuses_the_extraction_with_the_disk_space_message(wine):
    t = texts("en")
    probe, _ = payload_probe(wine)
    small = os.path.join(wine.drive_c, "small")
    os.makedirs(small)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", small],
                      stderr=subprocess.DEVNULL).returncode != 0:
        pytest.skip("a small volume cannot be mounted here (needs root); the unit tier covers the rule")
    try:
        out = wine.to_windows(os.path.join(wine.drive_c, "probe", "report.json"))
        proc = wine.start(probe, "--out", out, "extract", "MSI_FILE", "C:\\small\\Circuita.msi")
        box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
        assert box.message_text == t[121].replace("xyz", "C:\\small\\Circuita.msi")
        wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
        report = probe_report(wine, proc)
        assert report["result"] == -1 and report["pages"] == []
        assert os.listdir(small) == []
    finally:
        subprocess.run(["umount", small])


def test_copying_keeps_time_stamps_overwrites_read_only_and_refuses_a_file_onto_itself(wine):
    t = texts("en")
    probe, package = payload_probe(wine)
    src, dst = os.path.join(wine.drive_c, "src"), os.path.join(wine.drive_c, "dst")
    os.makedirs(src)
    os.makedirs(dst)
    shutil.copy(package, os.path.join(src, "a.msi"))
    with open(os.path.join(src, "b.txt"), "w") as f:
        f.write("beta")
    os.utime(os.path.join(src, "a.msi"), (1_500_000_000, 1_500_000_000))
    with open(os.path.join(dst, "b.txt"), "w") as f:
        f.write("an old and longer read-only copy")
    wine.wine("cmd", "/c", "attrib", "+r", "C:\\dst\\b.txt")
    total = os.path.getsize(package) + 4
    report = probe_report(wine, ["copy", str(total), "C:\\src\\a.msi", "C:\\dst\\a.msi",
                                 "C:\\src\\b.txt", "C:\\dst\\b.txt"], probe)
    assert report["result"] == 0
    assert {p["title"] for p in report["pages"]} == {t[92]}
    with open(os.path.join(dst, "b.txt")) as f:
        assert f.read() == "beta"
    assert int(os.path.getmtime(os.path.join(dst, "a.msi"))) == 1_500_000_000
    assert os.access(os.path.join(dst, "b.txt"), os.W_OK)

    out = wine.to_windows(os.path.join(wine.drive_c, "probe", "report.json"))
    proc = wine.start(probe, "--out", out, "copy", "4", "C:\\src\\b.txt", "c:\\SRC\\.\\b.txt")
    box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
    assert box.message_text == "Installation error.\nError code: 63"
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    assert probe_report(wine, proc)["result"] == -1
    with open(os.path.join(src, "b.txt")) as f:
        assert f.read() == "beta"
