"""Self-tests of the end-to-end harness, run against msgbox_probe.exe, a program whose
windows are known. If these fail, no scenario result can be trusted."""

import os
import struct
import subprocess
import time

import pytest

from conftest import PREPARE_SCRIPT
from harness import DriverError, WineError, procs, timings

CZECH = "Größe – česky"


@pytest.fixture
def probe(cross_build):
    return cross_build.require("tests/driver/msgbox_probe.exe")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG"
    assert head[12:16] == b"IHDR"
    return struct.unpack(">II", head[16:24])


def mean_brightness(path, rect):
    """Mean brightness (0..1) of a screen area, measured by ImageMagick."""
    left, top, right, bottom = rect
    geometry = f"{right - left}x{bottom - top}+{left}+{top}"
    r = subprocess.run(["convert", path, "-crop", geometry, "+repage", "-colorspace", "Gray",
                        "-format", "%[fx:mean]", "info:"],
                       stdout=subprocess.PIPE, check=True, timeout=30)
    return float(r.stdout)


# ------------------------------------------------------------------ message boxes

@pytest.mark.parametrize("button, code", [("yes", 6), ("no", 7)])
def test_message_box_text_and_answer_round_trip(wine, driver, probe, button, code):
    text = f"Zeile 1\n{CZECH} \"quoted\" \\ back\ttab 😀"
    t0 = time.monotonic()
    proc = wine.start(probe, "box", "--caption", CZECH, "--text", text, "--buttons", "yesno")

    box = driver.wait_message_box(pid=proc.pid)
    assert box["title"] == CZECH
    assert box["process"].lower() == "msgbox_probe.exe"
    assert box.message_text == text
    assert {c["id"] for c in box["controls"] if c["class"] == "Button"} == {6, 7}

    driver.answer_message_box(button, pid=proc.pid)
    assert proc.wait(timeout=15) == code
    timings["round_trips"].append(time.monotonic() - t0)
    assert not driver.list_windows(), "the box should be gone with its program"


def test_driver_reports_misses_instead_of_pretending(wine, driver, probe):
    proc = wine.start(probe, "box", "--caption", "Only OK", "--text", "x", "--buttons", "ok")
    driver.wait_message_box(title="Only OK")

    # A button the box does not have: a clear failure, and the box stays.
    with pytest.raises(DriverError) as miss:
        driver.answer_message_box("yes", title="Only OK", timeout=0.5)
    assert miss.value.code == 2 and "has-id=6" in str(miss.value)
    assert "'Only OK'" in str(miss.value), "the failure should name what is on screen"
    assert proc.running

    with pytest.raises(DriverError) as other:
        driver.wait_window(title="Only OK", process="setup.exe", timeout=0.5)
    assert other.value.code == 2, "the process filter must hold"

    t0 = time.monotonic()
    with pytest.raises(DriverError) as gone:
        driver.wait_window(title="No Such Window", timeout=0.7)
    assert gone.value.code == 2
    assert 0.6 <= time.monotonic() - t0 < 15, "the timeout should be honoured, not skipped"

    driver.answer_message_box("ok", title="Only OK")
    assert proc.wait(timeout=15) == 1
    driver.wait_gone(title="Only OK", timeout=5)


# ------------------------------------------------------------------ a window with controls

def test_type_radio_select_and_click_reach_the_program(wine, driver, probe, tmp_path):
    out = tmp_path / "form.txt"
    proc = wine.start(probe, "form", "--out", wine.to_windows(str(out)), "--title", "Probe Form")

    form = driver.wait_window(exact_title="Probe Form", pid=proc.pid)
    assert form.control(101)["checked"] is True and form.control(102)["checked"] is False
    assert form.control(103)["items"] == ["English", "Deutsch", "Čeština"]

    with pytest.raises(DriverError) as disabled:
        driver.click(104, title="Probe Form", timeout=0.5)
    assert disabled.value.code == 3 and "disabled" in str(disabled.value)
    with pytest.raises(DriverError) as missing:
        driver.click(999, title="Probe Form", timeout=0.5)
    assert missing.value.code == 3 and "no control with id 999" in str(missing.value)

    driver.type_text(100, CZECH, title="Probe Form")
    driver.select_radio(102, title="Probe Form")
    driver.select_item(103, item="Čeština", title="Probe Form")
    form = driver.dump(exact_title="Probe Form")
    assert form.text(100) == CZECH
    assert (form.control(101)["checked"], form.control(102)["checked"]) == (False, True)
    assert form.control(103)["selected"] == 2

    # The click opens a modal box: the driver must return rather than wait for it.
    t0 = time.monotonic()
    driver.click(1, exact_title="Probe Form")
    assert time.monotonic() - t0 < 5
    confirm = driver.wait_message_box(title="Probe Confirm")
    assert confirm.message_text == "Finish?"
    owner = [w for w in driver.list_windows() if w["title"] == "Probe Form"]
    assert owner and owner[0]["enabled"] is False, "a modal box disables its owner"
    driver.answer_message_box("yes", title="Probe Confirm")

    assert proc.wait(timeout=15) == 0
    assert out.read_text(encoding="utf-8") == f"edit={CZECH}\nradio=b\ncombo=Čeština\n"


# ------------------------------------------------------------------ prefix services

def test_exit_codes_keep_all_their_bits(wine):
    # 1603 would read as 67 through a Unix exit status.
    assert wine.run("cmd.exe", "/c", "exit 1603", timeout=30) == 1603
    assert wine.run("cmd.exe", "/c", "exit 0", timeout=30) == 0
    with pytest.raises(WineError):
        wine.run(r"C:\no\such\program.exe", timeout=30)


@pytest.mark.smoke32
def test_registry_views_and_paths(wine):
    key = r"HKLM\Software\SetupE2E\Probe"
    wine.reg_add(key, "Name", CZECH, view=32)
    wine.reg_add(key, "Count", 42, type="REG_DWORD", view=32)
    assert wine.reg_value(key, "Name", view=32) == CZECH
    assert wine.reg_value(key, "Count", view=32) == 42
    assert wine.reg_key(key, view=64) is None, "a 32-bit write must stay in the 32-bit view"
    assert wine.reg_value(r"HKLM\Software\Wow6432Node\SetupE2E\Probe", "Count", view=64) == 42
    assert wine.reg_value(key, "Missing", view=32, default="none") == "none"

    system32 = wine.to_unix(r"c:\WINDOWS\System32")
    assert os.path.isdir(system32) and system32.startswith(wine.drive_c)
    assert wine.to_windows(system32) == r"C:\windows\system32"
    assert wine.to_windows("/tmp/a b/ü.txt") == r"Z:\tmp\a b\ü.txt"
    assert wine.to_unix(r"Z:\tmp\x") == "/tmp/x"


# ------------------------------------------------------------------ screen and isolation

def test_screenshot_is_the_display_with_the_window_on_it(wine, driver, probe):
    proc = wine.start(probe, "box", "--caption", "Shot", "--text", "picture me")
    box = driver.wait_message_box(title="Shot")
    time.sleep(0.3)  # let the X server finish painting
    path = wine.screenshot("box")
    assert f"{os.sep}screenshots{os.sep}test_harness.test_screenshot_is_the_display" in path
    assert png_size(path) == wine.display.size
    # The light grey box on the black root window proves the picture is of this display.
    assert mean_brightness(path, box["rect"]) > 0.5
    assert mean_brightness(path, (0, 0, 200, 200)) < 0.1
    driver.answer_message_box("ok", title="Shot")
    assert proc.wait(timeout=15) == 1


def test_parallel_prefixes_do_not_see_each_other(wine_factory, probe):
    a, b = wine_factory(), wine_factory()
    assert a.path != b.path
    pa = a.start(probe, "box", "--caption", "Twin", "--text", "from a", "--buttons", "yesno")
    pb = b.start(probe, "box", "--caption", "Twin", "--text", "from b", "--buttons", "yesno")

    box_a = a.driver.wait_message_box(title="Twin")
    box_b = b.driver.wait_message_box(title="Twin")
    assert (box_a.message_text, box_b.message_text) == ("from a", "from b")
    assert [w["title"] for w in a.driver.list_windows()] == ["Twin"]
    assert [w["title"] for w in b.driver.list_windows()] == ["Twin"]

    a.driver.answer_message_box("yes", title="Twin")
    assert pa.wait(timeout=15) == 6
    assert b.driver.wait_message_box(title="Twin").message_text == "from b"

    # Shutting one prefix down ends all its processes and leaves the other alone.
    b.shutdown(remove=False)
    assert not pb.running
    assert procs.pids_with_env("WINEPREFIX", b.path) == []
    assert a.run("cmd.exe", "/c", "exit 5", timeout=30) == 5


@pytest.mark.smoke32
def test_a_window_opens_after_the_desktop_went_idle(wine, driver, probe):
    # A prefix's desktop closes about a second after its last program; the emulated 32-bit
    # Wine cannot bring it back ("failed to start explorer.exe") unless the harness holds it.
    for n in (1, 2):
        if n == 2:
            time.sleep(3)  # the first program's desktop has closed by now
        proc = wine.start(probe, "box", "--caption", f"Idle {n}", "--text", "x")
        driver.answer_message_box("ok", title=f"Idle {n}", timeout=30)
        assert proc.wait(timeout=15) == 1


# ------------------------------------------------------------------ closing, killing, language

def test_close_and_kill_end_programs(wine, driver, probe, tmp_path):
    out = tmp_path / "never.txt"
    form = wine.start(probe, "form", "--out", wine.to_windows(str(out)))
    hwnd = driver.wait_window(title="Probe Form")["hwnd"]
    driver.close_window(hwnd=hwnd)
    driver.wait_gone(hwnd=hwnd, timeout=5)
    assert form.wait(timeout=15) == 0
    assert not out.exists(), "closing is not confirming"

    box = wine.start(probe, "box", "--caption", "Doomed", "--text", "x")
    driver.wait_message_box(title="Doomed")
    box.kill()
    assert box.wait(timeout=15) == 1  # TerminateProcess(…, 1)
    assert driver.list_windows() == []


@pytest.mark.parametrize("lc_all, yes, no", [("de_DE.UTF-8", "Ja", "Nein"),
                                              ("cs_CZ.UTF-8", "Ano", "Ne")])
def test_locale_reaches_the_program(wine_factory, probe, lc_all, yes, no):
    wine = wine_factory(lc_all=lc_all)
    proc = wine.start(probe, "box", "--caption", "Sprache", "--text", "x", "--buttons", "yesno")
    box = wine.driver.wait_message_box(title="Sprache")
    assert (box.text(6), box.text(7)) == (yes, no)
    wine.driver.answer_message_box("no", title="Sprache")
    assert proc.wait(timeout=15) == 7

    # A per-program override wins over the prefix's language.
    proc = wine.start(probe, "box", "--caption", "Lang", "--text", "x", "--buttons", "yesno",
                      env={"LC_ALL": "en_US.UTF-8"})
    assert wine.driver.wait_message_box(title="Lang").text(6) == "Yes"  # as shown: the Alt mark gone
    wine.driver.answer_message_box("yes", title="Lang")
    assert proc.wait(timeout=15) == 6


# ------------------------------------------------------------------ the prefix script

def test_prepare_prefix_keeps_a_complete_prefix_and_rebuilds_a_broken_one(base_prefix, tmp_path):
    reg = os.path.join(base_prefix, "system.reg")
    before = os.stat(reg).st_mtime_ns
    subprocess.run([PREPARE_SCRIPT, base_prefix], check=True, timeout=30)
    assert os.stat(reg).st_mtime_ns == before, "a complete prefix must be left alone"

    broken = tmp_path / "prefix"
    (broken / "drive_c").mkdir(parents=True)
    (broken / "leftover").write_text("from an interrupted run")
    subprocess.run([PREPARE_SCRIPT, str(broken)], check=True, timeout=120)
    assert not (broken / "leftover").exists()
    assert (broken / ".setup-e2e-prefix-ready").is_file()
    assert (broken / "system.reg").is_file()
    assert (broken / "drive_c/windows/Fonts/tahoma.ttf").is_file()
    assert procs.pids_with_env("WINEPREFIX", str(broken)) == [], "wineboot left processes"
