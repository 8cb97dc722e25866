"""The Individual Setup for real: made through its wizard branch from a signed launcher,
with its presets file, support folders and help file; its copy installing unattended on
another machine (a fresh prefix) and staying signed; a folder that turns read-only; and
the program run straight from the medium."""

import os
import shutil
import subprocess
import time

import pytest

from harness import DriverError
from medium import (CANCEL, FOURTH, cancel_run, MESSAGE, NEXT, OPTION2, TITLE, Medium, edited, go, make_immutable,
                    page_titled, release_immutable, texts, wait_start_page, waiting_page, with_support)

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FOLDER_EDIT = 1046
OPTION1 = 1032
KEY = r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0"
# Characters a command interpreter reads as commands or variables.
SETUP_FOLDER = "C:\\Setups\\Circuita 100%TEMP% (A&B) ^!"
PROGRAM_FOLDER = "C:\\Program Files\\Demo App"


def throwaway_certificate(folder):
    """A self-signed code-signing certificate in folder (made when missing): (PKCS#12 file,
    its certificate, password file). Each call makes a new key, whatever the folder."""
    os.makedirs(folder, exist_ok=True)
    key, cert, p12 = (os.path.join(folder, n) for n in ("key.pem", "cert.pem", "signer.p12"))
    password = os.path.join(folder, "password")
    with open(password, "w") as f:
        f.write("throw-away")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", "/CN=Circuita test signer"], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", p12,
                    "-passout", f"file:{password}"], check=True, capture_output=True)
    return p12, cert, password


def sign(exe, certificate):
    """Signs a program in place as a vendor does, with a certificate of throwaway_certificate."""
    p12, _, password = certificate
    subprocess.run([os.path.join(REPO, "tools", "sign-setup.sh"), exe, p12, "--password-file", password],
                   check=True, capture_output=True)


def verifies(exe, cert):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", exe], capture_output=True).returncode == 0


def to_summary(wine, proc, t, auto_mode_first_option=True, server=None):
    """The Individual Setup branch from the start page to its summary page, created in
    SETUP_FOLDER: a full installation into PROGRAM_FOLDER, or with server a client
    installation linking to that folder."""
    go(wine, wait_start_page(wine, proc), FOURTH)
    kind = page_titled(wine, proc, t[35])
    if server:
        wine.driver.select_radio(OPTION2, hwnd=kind["hwnd"])
    go(wine, kind, NEXT)
    if server:
        page = page_titled(wine, proc, t[157])
        wine.driver.type_text(FOLDER_EDIT, server, hwnd=page["hwnd"])
        go(wine, page, NEXT)
    go(wine, page_titled(wine, proc, t[77]), NEXT)
    page = page_titled(wine, proc, t[84])
    wine.driver.type_text(FOLDER_EDIT, SETUP_FOLDER, hwnd=page["hwnd"])
    go(wine, page, NEXT)
    if not server:
        page = page_titled(wine, proc, t[86])
        wine.driver.type_text(FOLDER_EDIT, PROGRAM_FOLDER, hwnd=page["hwnd"])
        go(wine, page, NEXT)
    while True:  # circuit folder, videos, material (not wanted), presentations
        page = waiting_page(wine, proc, timeout=30)
        if page.text(TITLE) == t[88]:
            break
        assert page.text(TITLE) in (t[111], t[97], t[159], t[101]), page.text(TITLE)
        if page.text(TITLE) == t[159]:
            wine.driver.select_radio(OPTION2, hwnd=page["hwnd"])
        go(wine, page, NEXT)
    wine.driver.select_radio(OPTION1 if auto_mode_first_option else OPTION2, hwnd=page["hwnd"])
    go(wine, page, NEXT)
    return page_titled(wine, proc, t[126].replace("ProductX", "Circuita 5"))


def launcher_pages_seen(wine, proc):
    """The headings of the launcher's own pages seen until it ends."""
    headings, looked_at = set(), set()
    pid = proc.pid
    deadline = time.monotonic() + 240
    while proc.running and time.monotonic() < deadline:
        for w in wine.driver.list_windows():
            if w.get("pid") != pid or w.get("class") != "#32770" or w["hwnd"] in looked_at:
                continue
            looked_at.add(w["hwnd"])
            try:
                page = wine.driver.wait_window(hwnd=w["hwnd"], timeout=2)
                if any(c["id"] == TITLE for c in page["controls"]):
                    headings.add(page.text(TITLE))
                elif page.visible_texts():  # not one still being built: say what it shows
                    headings.add(repr(page.visible_texts()))
            except DriverError:
                pass  # gone before it could be read: a short progress page
        time.sleep(0.2)
    return headings


@pytest.mark.smoke32
def test_an_individual_setup_is_made_stays_signed_and_installs_unattended_elsewhere(wine_factory, tmp_path):
    t = texts("en")
    wine = wine_factory()
    medium = with_support(Medium(wine, product="demo-pelaxo5-preconfig"))
    certificate = throwaway_certificate(str(tmp_path))
    sign(medium.setup_exe, certificate)
    cert = certificate[1]
    assert verifies(medium.setup_exe, cert)

    proc = medium.start()
    summary = to_summary(wine, proc, t)
    ini = "[SETUP]\nDEFAULTDIRL=C:\\Program Files\\Demo App\nAUTO_MODE=1\nGLOBAL=1\n"
    # The folder's "(A&B)" as it was typed, not "(AB)" with an underlined B: the harness
    # reads texts as shown.
    assert summary.text(MESSAGE) == t[127].replace("XYZ", SETUP_FOLDER)
    assert summary.text(1049) == t[128] + "\n\n" + ini
    wine.screenshot("individual-setup-summary")
    go(wine, summary, NEXT)
    finish = page_titled(wine, proc, t[134], timeout=120)
    assert finish.text(MESSAGE) == t[135].replace("XYZ", SETUP_FOLDER)
    wine.screenshot("individual-setup-made")
    go(wine, finish, CANCEL)
    assert proc.wait(timeout=30) == 0

    made = wine.to_unix(SETUP_FOLDER)
    assert sorted(os.listdir(made)) == ["Support", "setup.exe", "setup.ini", "setup_help.chm"]
    with open(os.path.join(made, "setup.ini"), newline="") as f:
        assert f.read() == ini.replace("\n", "\r\n")
    with open(os.path.join(made, "setup.exe"), "rb") as f, open(medium.setup_exe, "rb") as g:
        assert f.read() == g.read()  # the presets travel beside it: the signature holds
    assert verifies(os.path.join(made, "setup.exe"), cert)
    support = os.path.join(made, "Support")
    assert sorted(os.listdir(support)) == ["Dot_Net20", "MSI", "Portavo"]
    assert sorted(os.listdir(os.path.join(support, "Portavo"))) == ["Lessons", "portavo.txt"]
    assert os.listdir(os.path.join(support, "Portavo", "Lessons")) == []  # created empty
    assert "Circuita.msi" in os.listdir(os.path.join(support, "MSI"))

    # On another computer: the copy installs with no page of its own.
    other = wine_factory()
    shutil.copytree(made, os.path.join(other.drive_c, "Share"))
    copy = other.start(os.path.join(other.drive_c, "Share", "setup.exe"), cwd=os.path.join(other.drive_c, "Share"))
    pages = launcher_pages_seen(other, copy)
    assert copy.wait(timeout=30) == 0
    # Only progress pages (the package being written out, the extension) may show.
    assert pages <= {t[74], t[16].replace("ProductX", "Circuita 5")}, pages
    assert other.reg_value(KEY, "INST_DIR") == PROGRAM_FOLDER + "\\"
    assert os.path.exists(os.path.join(other.to_unix(PROGRAM_FOLDER), "bin", "Circuita.exe"))


def test_a_client_individual_setup_makes_its_links_silently_elsewhere(wine_factory):
    t = texts("en")
    wine = wine_factory()
    server = os.path.join(wine.drive_c, "Server")
    shutil.copytree(wine.build.path(os.path.join("examples", "demo", "product", "Network")), server)
    proc = with_support(Medium(wine, product="demo-pelaxo5-preconfig")).start()
    summary = to_summary(wine, proc, t, server="C:\\Server\\Circuita 5")
    assert "DEFAULTDIRN=C:\\Server\\Circuita 5\nWANT_FILES=N\n" in summary.text(1049)
    go(wine, summary, NEXT)
    go(wine, page_titled(wine, proc, t[134], timeout=120), CANCEL)
    assert proc.wait(timeout=30) == 0

    other = wine_factory()
    shutil.copytree(server, os.path.join(other.drive_c, "Server"))
    shutil.copytree(wine.to_unix(SETUP_FOLDER), os.path.join(other.drive_c, "Share"))
    copy = other.start(os.path.join(other.drive_c, "Share", "setup.exe"), cwd=os.path.join(other.drive_c, "Share"))
    assert launcher_pages_seen(other, copy) <= {t[16].replace("ProductX", "Circuita 5")}
    assert copy.wait(timeout=30) == 0
    link = os.path.join(other.drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                        "Circuita 5", "Circuita 5", "Circuita 5.lnk")
    assert os.path.exists(link)
    assert other.reg_value(KEY, "INST_DIR_LFN") == "C:\\Server\\Circuita 5"


def test_a_folder_that_turns_read_only_is_reported_and_the_folder_page_returns(wine):
    t = texts("en")
    medium = with_support(Medium(wine, product="demo-pelaxo5-preconfig"))
    proc = medium.start()
    summary = to_summary(wine, proc, t, auto_mode_first_option=False)
    made = wine.to_unix(SETUP_FOLDER)
    if not make_immutable(made):
        pytest.skip("chattr +i is not available: no folder here refuses Wine's writes")
    try:
        wine.driver.click(NEXT, hwnd=summary["hwnd"])
        box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
        assert box.message_text == "Installation error.\nError code: 69"
        wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
        box = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
        assert box.message_text == t[95].replace("xyz", SETUP_FOLDER)
        wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
        page = page_titled(wine, proc, t[84])
        assert os.listdir(made) == []
    finally:
        release_immutable(made)
    cancel_run(wine, proc, page)


@pytest.mark.parametrize("lc_all, parameter, argument", [
    ("de_DE.UTF-8", 'app-parameter="de"', 'PROGLANG="de"'),
    ("en_US.UTF-8", 'app-parameter="en"', "(none)")])
def test_the_program_on_the_medium_runs_from_the_launcher_folder_and_the_launcher_ends(wine_factory, lc_all,
                                                                                     parameter, argument):
    wine = wine_factory(lc_all=lc_all)
    medium = Medium(wine, product="demo-no-runtimes")
    shutil.copytree(wine.build.path(os.path.join("examples", "demo", "product", "Network", "Circuita 5")),
                    os.path.join(medium.folder, "Circuita 5"))
    with open(wine.build.require("examples/demo/variants/no-runtimes.xml"), encoding="utf-8") as f:
        medium.set_settings(edited(f.read(), 'app-parameter="en"', 'app-parameter=""'))
    proc = medium.start()
    go(wine, wait_start_page(wine, proc), 1037)  # "Run ProductX from Stick"
    assert proc.wait(timeout=30) == 0
    program = wine.driver.wait_window(title="Circuita 5", class_name="CircuitaDemoMain", timeout=30)
    assert program.text(100) == f"Circuita 5 demo\r\nArguments: {argument}\r\nFolder: C:\\medium"
