"""The progress page as a user meets it: a missing runtime extracted from the launcher and
installed behind the page after Next, the page staying about three seconds for an installer
that ends at once, the page refusing to close under its worker, and a redistributable
found nowhere."""

import os
import time

import pytest

from medium import (BACK, CANCEL, INSTALL, MESSAGE, NEXT, TITLE, Medium, demo_settings, edited, texts,
                    wait_start_page)

INFO = 1049
FRAME = 1004
BAR = 1002
NDP20 = r"HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v2.0.50727"
NDP40 = r"HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Client"


def front_page(wine, proc, title, timeout=60):
    """The launcher's page with this title, once it is on screen."""
    deadline = time.monotonic() + timeout
    while True:
        page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=TITLE, timeout=timeout)
        if page.text(TITLE) == title:
            return page
        if time.monotonic() > deadline:
            raise AssertionError(f"expected the page {title!r}, the launcher shows {page.text(TITLE)!r}")
        time.sleep(0.1)


def runtime_page_texts(t, version40):
    def named(row):
        text = t[row].replace("ProductX", "Circuita 5")
        return text.replace("2.0 SP2", "4.0") if version40 else text
    return named(10), named(7)


def install_runtime(wine, proc, t, version40, close_while_running=False):
    """The runtime page of one runtime: its texts before Next, the work after it. Returns the
    seconds from Next until the page had gone."""
    message, progress_title = runtime_page_texts(t, version40)
    page = front_page(wine, proc, t[27])
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
        # Neither Escape nor a close request may end the page under its worker.
        wine.driver.escape(hwnd=page["hwnd"])
        wine.driver.close_window(hwnd=page["hwnd"])
        time.sleep(0.5)
        assert wine.driver.wait_window(hwnd=page["hwnd"], timeout=2)["visible"]
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

    user_group = front_page(wine, proc, t[77])
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
