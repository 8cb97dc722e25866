"""The demo product as a user meets it, from the start page to the installed program: the
missing runtimes installed behind their page, the questions answered with Next, the package
written out and run by msiexec, and Circuita started from the Start-menu link the package
made; once with the mouse and once with the keyboard alone. tools/demo.sh takes its gallery
pictures from the first walk."""

import glob
import os
import time

from harness import DriverError
from medium import (INSTALL, NEXT, TITLE, Medium, extension_page, go, keys, page_titled, texts, wait_start_page,
                    waiting_page, with_support)
from test_client_installation import read_link
from test_optional_content import installed_file
from test_progress_page import install_runtime

KEY = r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0"


def picture_of_the_installation(wine, proc, t, presentations):
    """After the last question the launcher shows short progress pages (the thumbnail
    extension, the package written out), then msiexec runs the package with the package's
    own interface, which the demo package does not have. The package's page is pictured
    when it is caught in time; the scenario does not depend on it."""
    deadline = time.monotonic() + 10
    while proc.running and time.monotonic() < deadline:
        try:
            page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=TITLE, timeout=2)
            heading = page.text(TITLE)
        except DriverError:
            continue  # between two pages, or none any more
        if page["hwnd"] != presentations["hwnd"] and heading == t[74]:
            wine.screenshot("package-extracting")
            return


def test_the_demo_product_installs_and_its_program_starts_from_the_start_menu_link(wine):
    t = texts("en")
    proc = with_support(Medium(wine)).start()  # runtimes and package embedded, content on the medium
    go(wine, wait_start_page(wine, proc), INSTALL)
    install_runtime(wine, proc, t, version40=False)
    install_runtime(wine, proc, t, version40=True)
    # User group, circuit folder, videos, material (not downloaded), presentations.
    for row in (77, 111, 97, 159):
        page = waiting_page(wine, proc, passing={extension_page(t)})
        assert page.text(TITLE) == t[row]
        go(wine, page, NEXT)
    presentations = page_titled(wine, proc, t[101])
    wine.driver.click(NEXT, hwnd=presentations["hwnd"])
    picture_of_the_installation(wine, proc, t, presentations)
    installed_and_started_from_its_link(wine, proc)


def installed_and_started_from_its_link(wine, proc):
    """The end of a walk: the launcher ends by itself, the package is installed in English
    and its Start-menu link starts Circuita."""
    # A successful installation ends without a page of ours: the installer has spoken.
    assert proc.wait(timeout=180) == 0
    assert wine.reg_value(KEY, "LANGUAGE") == "en"

    links = glob.glob(os.path.join(wine.drive_c, "**", "Start Menu", "Programs", "Circuita 5", "Circuita 5.lnk"),
                      recursive=True)
    assert len(links) == 1, links
    link = read_link(wine, os.path.relpath(links[0], wine.drive_c))
    assert os.path.isfile(wine.to_unix(link["target"])), link
    # Started as the shell starts a link: its target, arguments and working folder.
    folder = link["working-folder"].rstrip("\\")
    program = wine.start(link["target"], *link["arguments"].split(), cwd=folder)
    window = wine.driver.wait_window(pid=program.pid, class_name="CircuitaDemoMain", timeout=30)
    wine.screenshot("program-from-link")
    assert window.text(100) == f"Circuita 5 demo\r\nArguments: (none)\r\nFolder: {folder}"
    assert program.wait(timeout=30) == 0  # the demo program closes by itself


def test_the_demo_product_installs_by_keys_alone(wine):
    """The same walk with key presses only: Alt letters, Enter on the default button, an
    arrow round a radio group and back, Escape's cancel question answered No."""
    t = texts("en")
    proc = with_support(Medium(wine)).start()
    keys(wine, wait_start_page(wine, proc), "alt+i")  # Install
    for _ in range(2):  # the two runtimes: Enter is Next, then the page goes by itself
        keys(wine, page_titled(wine, proc, t[27]), "Return", timeout=120)
    page = waiting_page(wine, proc, passing={extension_page(t)})
    assert page.text(TITLE) == t[77]
    keys(wine, page, "Escape", gone=False)  # Cancel's question; No stays on the page
    box = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    assert box.message_text == t[69].replace("ProductX", "Circuita 5")
    keys(wine, box, "n")
    page = page_titled(wine, proc, t[77])
    keys(wine, page, "alt+n")  # Next
    for row, typed in ((111, "Return"), (97, "Return"), (159, "Up Up Return"), (101, "alt+d alt+n")):
        page = waiting_page(wine, proc, passing={extension_page(t)})
        assert page.text(TITLE) == t[row]
        keys(wine, page, typed)
    installed_and_started_from_its_link(wine, proc)
    # The presentations were declined by their second option's letter.
    assert os.path.exists(installed_file(wine, "bin", "Circuita.exe"))
    assert not os.path.exists(installed_file(wine, "presentations", "overview.txt"))
