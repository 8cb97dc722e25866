"""The package launch for real: the launcher runs Wine's msiexec on the demo package from
its command line and the package records in the registry what it was given."""

import glob
import os
import shutil
import time

import pytest

from harness import DriverError
from medium import (CANCEL, INSTALL, MESSAGE, NEXT, TITLE, Medium, assert_logged, cancel_run, extension_page, go,
                    page_titled, texts, wait_start_page, waiting_page, with_support)

KEY = r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0"
FOLDER_EDIT = 1046
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{B3D89C4A-4261-4AFD-9C98-C70B8E542933}"


@pytest.mark.smoke32
def test_a_quiet_command_line_installs_into_its_folder_and_removes_again(wine):
    medium = Medium(wine, product="demo-no-runtimes")
    proc = medium.start_typed('/qn INSTALLDIR="C:\\Program Files\\Demo App" CUSTOM_PROP=7')
    assert proc.wait(timeout=180) == 0
    bin_folder = os.path.join(wine.drive_c, "Program Files", "Demo App", "bin")
    assert os.path.isdir(bin_folder), "nothing was installed into the folder of INSTALLDIR"
    assert "circuita.exe" in [n.lower() for n in os.listdir(bin_folder)]
    assert wine.reg_value(KEY, "CUSTOM_PROP") == "7"
    assert wine.reg_value(KEY, "SETUPDIR") == "C:\\medium\\setup.exe"
    assert wine.reg_value(KEY, "NOVIDEOS") == "1"
    assert wine.reg_value(KEY, "LANGUAGE") == "en"
    # The administrator finds the whole run in its log: the program, every program it
    # started with its exit code, and the outcome.
    assert_logged(wine, r"launcher: C:\\medium\\setup\.exe, version [\d.]+, (32|64)-bit build$",
                  r"command line: .*/qn INSTALLDIR=",
                  r"settings document: read \(0\), product Circuita 5$", r"log: C:\\.*\\Temp\\Circuita-\d{8}-\d{6}\.log$",
                  r"state: launch msi$",
                  r'(?i)program: "C:\\windows\\system32\\msiexec\.exe" /i "C:\\.*\\Circuita\.msi"/qn .*CUSTOM_PROP=7',
                  r"program ended: exit code 0 after \d+\.\d{3} s$", r"clean-up: deleted .*Circuita\.msi$",
                  r"run ended: installer exit code 0, process exit code 0$")

    assert wine.reg_key(UNINSTALL) is not None
    assert wine.reg_value(KEY, "REINSTALL") == ""

    # Started again: the installed product is repaired.
    assert medium.start_typed("/qn CUSTOM_PROP=8").wait(timeout=180) == 0
    assert wine.reg_value(KEY, "REINSTALL") == "ALL"
    assert wine.reg_value(KEY, "CUSTOM_PROP") == "8"

    proc = medium.start_typed("/qn REMOVE=ALL")
    assert proc.wait(timeout=180) == 0
    # Wine's msiexec resolves the folders of a removal afresh (the default INSTALLDIR), so
    # the files in a folder given at installation stay; the registration goes.
    assert wine.reg_key(UNINSTALL) is None
    assert wine.reg_value(KEY, "CUSTOM_PROP") is None


def test_a_failing_package_run_quietly_exits_with_the_installers_code(wine):
    medium = Medium(wine, product="demo-no-runtimes")
    assert medium.start_typed("/qn DEMO_FAIL=1").wait(timeout=180) == 1603
    assert wine.reg_key(UNINSTALL) is None
    assert_logged(wine, r"program: .*msiexec\.exe\" /i .*DEMO_FAIL=1", r"program ended: exit code 1603 after",
                  r"run ended: installer exit code 1603, process exit code 1603$")


def click_through_installation(wine, proc, t):
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    # User group, circuit folder and the material (not wanted; the medium has no videos or
    # presentations to offer); then the run installs.
    answer_questions(wine, proc, t, (77, 111, 159))


def answer_questions(wine, proc, t, rows):
    """Next on the question pages headed by rows, in that order."""
    for row in rows:
        page = waiting_page(wine, proc, passing={extension_page(t)})
        assert page.text(TITLE) == t[row]
        go(wine, page, NEXT)


def test_an_installation_clicked_through_installs_and_a_failing_one_ends_aborted(wine):
    t = texts("en")
    medium = Medium(wine, product="demo-no-runtimes")
    proc = medium.start("DEMO_FAIL=1")
    click_through_installation(wine, proc, t)
    # The installer's own interface says why first.
    refusal = wine.driver.wait_message_box(process="msiexec.exe", timeout=120)
    assert refusal.message_text == "The demo package was asked to fail (DEMO_FAIL)."
    wine.driver.answer_message_box("ok", hwnd=refusal["hwnd"])
    finish = page_titled(wine, proc, t[19].replace("ProductX", "Circuita 5"), timeout=180)
    assert finish.text(MESSAGE) == t[81]
    go(wine, finish, CANCEL)  # the finish page's only button
    assert proc.wait(timeout=30) == 0
    assert wine.reg_key(UNINSTALL) is None

    # A successful installation needs no finish page of ours: the installer has spoken.
    proc = medium.start()
    click_through_installation(wine, proc, t)
    assert proc.wait(timeout=180) == 0
    assert wine.reg_key(UNINSTALL) is not None
    assert wine.reg_value(KEY, "LANGUAGE") == "en"
    assert wine.reg_value(KEY, "SETUPDIR") == "C:\\medium\\setup.exe"


@pytest.mark.parametrize("tls", [False, True], ids=["http", "https"])
def test_the_update_search_fetches_and_starts_the_update_program_and_ends(wine, tmp_path, tls):
    from harness.download_server import DownloadServer
    from medium import demo_settings, edited
    from test_downloads import trust_server
    from test_progress_page import install_runtime

    t = texts("en")

    def connection_failed(proc):
        box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
        assert box.message_text == t[5]
        wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
        cancel_run(wine, proc, wait_start_page(wine, proc))

    server = DownloadServer(str(tmp_path / "server"), tls=tls).start()
    try:
        # The demo program stands in for the update: it shows the command line it was given.
        shutil.copy(wine.build.require("examples/demo/bin/Circuita.exe"),
                    os.path.join(server.files, "circuita_update.exe"))
        medium = Medium(wine, product="demo")
        medium.set_settings(edited(demo_settings(), "http://127.0.0.1:8080/update/", f"{server.url}/files/"))
        proc = medium.start("action=updatestick")
        install_runtime(wine, proc, t, version40=False)
        if tls:
            # A server whose certificate this computer does not trust is no connection.
            connection_failed(proc)
            trust_server(wine, server)
            proc = medium.start("action=updatestick")
        update = wine.driver.wait_window(title="Circuita 5", class_name="CircuitaDemoMain", timeout=60)
        assert update.text(100).startswith('Circuita 5 demo\r\nArguments: APP="C:\\medium\\setup.exe" LANG=en\r\n')
        assert proc.wait(timeout=30) == 0
        # The running update program holds its file; the next search may replace it.
        wine.driver.close_window(hwnd=update["hwnd"])
        wine.driver.wait_gone(hwnd=update["hwnd"], timeout=30)

        # Nothing to fetch: the connection message, and the start page again.
        os.remove(os.path.join(server.files, "circuita_update.exe"))
        connection_failed(medium.start("action=updatestick"))
    finally:
        server.stop()


def test_a_signed_launcher_starts_only_the_update_its_own_publisher_signed(wine, tmp_path):
    from harness.download_server import DownloadServer
    from medium import demo_settings, edited
    from test_individual_setup import sign, throwaway_certificate
    from test_progress_page import install_runtime

    t = texts("en")
    publisher, foreign = (throwaway_certificate(str(tmp_path / name)) for name in ("publisher", "foreign"))
    server = DownloadServer(str(tmp_path / "server")).start()
    update = os.path.join(server.files, "circuita_update.exe")

    def serve(certificate, changed_after_signing=False):
        shutil.copy(wine.build.require("examples/demo/bin/Circuita.exe"), update)
        sign(update, certificate)
        if changed_after_signing:  # one letter of the DOS stub: the program still runs
            with open(update, "r+b") as f:
                data = f.read()
                f.seek(data.index(b"This program cannot"))
                f.write(b"this")

    def updates_running():
        return [w for w in wine.driver.list_windows() if w.get("class") == "CircuitaDemoMain"]

    def fetched():
        return glob.glob(os.path.join(wine.drive_c, "users", "*", "**", "circuita_update.exe"), recursive=True)

    def refused(proc, story):
        box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
        assert box.message_text == t[167], story
        assert not fetched(), f"{story}: the refused update stays in the temporary folder"
        wine.driver.answer_message_box("ok", hwnd=box["hwnd"])

    try:
        medium = Medium(wine, product="demo")
        medium.set_settings(edited(demo_settings(), "http://127.0.0.1:8080/update/", f"{server.url}/files/"))
        sign(medium.setup_exe, publisher)  # after the settings: they are part of what is signed

        # The certificate of the foreign update carries the publisher's very name.
        for first, (story, certificate, changed) in enumerate(
                [("changed after signing", publisher, True), ("signed by someone else", foreign, False)]):
            serve(certificate, changed)
            proc = medium.start("action=updatestick")
            if first == 0:
                install_runtime(wine, proc, t, version40=False)
            refused(proc, story)
            start_page = wait_start_page(wine, proc)
            assert not updates_running(), story
            cancel_run(wine, proc, start_page)

        # Asked for by a script: the same refusal, then an exit code of its own.
        proc = medium.start("/qn", "action=updatestick")
        refused(proc, "quiet run")
        assert proc.wait(timeout=30) == 577
        assert not updates_running()

        serve(publisher)
        proc = medium.start("action=updatestick")
        started = wine.driver.wait_window(title="Circuita 5", class_name="CircuitaDemoMain", timeout=60)
        assert started.text(100).startswith('Circuita 5 demo\r\nArguments: APP="C:\\medium\\setup.exe" LANG=en\r\n')
        assert proc.wait(timeout=30) == 0
        assert fetched()
        wine.driver.close_window(hwnd=started["hwnd"])
        wine.driver.wait_gone(hwnd=started["hwnd"], timeout=30)
    finally:
        server.stop()


def test_the_portable_edition_installs_its_three_packages_in_turn(wine):
    t = texts("en")
    medium = with_support(Medium(wine, product="demo-togo"))
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    # Next on every page (runtimes, user group, program folder, ...) up to the finish page.
    finish_title = t[19].replace("ProductX", "Circuita 5")
    deadline = time.monotonic() + 240
    while time.monotonic() < deadline:
        page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=TITLE, timeout=180)
        if page.text(TITLE) == finish_title:
            break
        try:
            go(wine, page, NEXT)
        except DriverError:  # a page that went (or is still working) between the reads
            time.sleep(0.3)
    assert page.text(MESSAGE) == t[18]
    wine.screenshot("finish-installed")
    go(wine, page, CANCEL)
    assert proc.wait(timeout=30) == 0
    uninstall = UNINSTALL.rsplit("\\", 1)[0]
    for guid in ("7ACF8F13-440A-4920-8D23-5909B2A3B134", "8C7B4B1D-F132-4170-9690-DB2CE714CA2C",
                 "F5F86BD9-33FD-4DFE-B3BB-5F51003B68C2"):  # P, H, E
        assert wine.reg_key(uninstall + "\\{" + guid + "}") is not None, guid


def older_installation(wine, folder, files):
    """A folder of the older generation's programs (stand-ins: only their names count)."""
    bin_folder = os.path.join(wine.drive_c, folder, "bin")
    os.makedirs(bin_folder)
    for name in files:
        with open(os.path.join(bin_folder, name), "w") as f:
            f.write("older generation\n")
    return bin_folder


def test_an_older_generation_installation_is_found_refused_when_incomplete_and_updated(wine):
    t = texts("en")
    required = ("Circuita.exe", "ad_dsd.dll", "lang001.bin", "ad_cmn.dll", "InitLang.dll")
    old_bin = older_installation(wine, "Tutoria/Old", required + ("ad_cmnw.dll",))
    older_installation(wine, "Tutoria/Partial", required[:-1])
    # The older generation's settings file names its programs' folder.
    with open(os.path.join(wine.drive_c, "windows", "tarvo.ini"), "w", newline="\r\n") as f:
        f.write("[CIRCUITA5]\nEXE_DIR=C:\\Tutoria\\Old\\bin\n")
    medium = Medium(wine, product="demo-pelaxo4")
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    for _ in range(2):  # the two runtimes, installed by their stand-ins
        go(wine, page_titled(wine, proc, t[27]), NEXT)

    page = page_titled(wine, proc, t[45].replace("ProductX", "Pelaxo"), timeout=120)
    assert page.text(MESSAGE) == t[138].replace("ProductX", "Pelaxo")
    assert page.text(FOLDER_EDIT) == "C:\\Tutoria\\Old"
    wine.driver.type_text(FOLDER_EDIT, "C:\\Tutoria\\Partial", hwnd=page["hwnd"])
    wine.driver.click(NEXT, hwnd=page["hwnd"])
    refusal = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    assert refusal.message_text == t[139].replace("ProductX", "Pelaxo")
    wine.driver.answer_message_box("ok", hwnd=refusal["hwnd"])
    # The page again; the programs' folder itself will do as well as the one above it.
    page = page_titled(wine, proc, t[45].replace("ProductX", "Pelaxo"))
    wine.driver.type_text(FOLDER_EDIT, "C:\\Tutoria\\Old\\bin\\", hwnd=page["hwnd"])
    go(wine, page, NEXT)
    assert not os.path.exists(os.path.join(old_bin, "ad_cmnw.dll"))

    # The optional content, then the installer with its reduced interface into the old folder.
    answer_questions(wine, proc, t, (159,))  # the material; no videos or presentations here
    assert proc.wait(timeout=180) == 0
    assert wine.reg_value(KEY, "INST_DIR") == "C:\\Tutoria\\Old\\"
    assert wine.reg_value(KEY, "EXE_DIR") == "C:\\Tutoria\\Old\\bin\\"
    with open(os.path.join(old_bin, "Circuita.exe"), "rb") as f:
        assert f.read(2) == b"MZ"  # the new program replaced the old one
