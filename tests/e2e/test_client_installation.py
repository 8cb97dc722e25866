"""Client installations for real: the links to an existing installation on a server, read
back through the shell, the registry entries, and the thumbnail extension's files, its
registration run and the ".circ" file type."""

import os
import shutil

import pytest

from medium import CANCEL, MESSAGE, NEXT, TITLE, Medium, extension_page, go, texts, waiting_page

KEY = r"SOFTWARE\Ohmwerk\Circuita\5.0"
SERVER = "C:\\Server\\Circuita 5"
COMMON_PROGRAMS = "ProgramData/Microsoft/Windows/Start Menu/Programs"
EXTENSION = "Program Files (x86)/Marventa/Common"


def server_installation(wine):
    """The installation the links point to, as the demo product lays it out."""
    shutil.copytree(wine.build.path(os.path.join("examples", "demo", "product", "Network")),
                    os.path.join(wine.drive_c, "Server"))


def read_link(wine, *path):
    """What the shell reads from a shortcut below drive C: (None when there is none)."""
    link = os.path.join(wine.drive_c, *path)
    if not os.path.exists(link):
        return None
    out = os.path.join(wine.drive_c, "link.txt")
    tool = wine.build.require("tests/win32tools/read-link.exe")
    assert wine.run(tool, wine.to_windows(link), wine.to_windows(out)) == 0
    with open(out, encoding="utf-8") as f:
        return dict(line.split("=", 1) for line in f.read().splitlines())


def default_value(wine, key):
    return wine.reg_value(key, "", view=64)


@pytest.mark.smoke32
def test_a_quiet_minimal_installation_links_to_the_installation_it_found(wine):
    server_installation(wine)
    # The folder of an existing installation, as a server's installation recorded it.
    wine.reg_add("HKLM\\" + KEY, "INST_DIR", SERVER, view=32)
    medium = Medium(wine, product="demo-no-runtimes")
    assert medium.start_typed("/qb INSTALLMODE=Minimal").wait(timeout=120) == 0

    program = SERVER + "\\bin\\Circuita.exe"
    desktop = read_link(wine, "users", "Public", "Desktop", "Circuita 5.lnk")
    assert desktop == {"target": program, "arguments": "", "working-folder": SERVER + "\\bin",
                       "description": "Circuita 5"}
    menu = (COMMON_PROGRAMS, "Circuita 5")
    assert read_link(wine, *menu, "Circuita 5.lnk") == desktop
    assert read_link(wine, *menu, "Circuita Manual.lnk") == {
        "target": SERVER + "\\doc\\Circuita_Manual.pdf", "arguments": "", "working-folder": "",
        "description": "Circuita Manual"}
    assert default_value(wine, r"HKCR\Circuita.Circuit\DefaultIcon") == program + ",0"
    assert default_value(wine, r"HKCR\Circuita.Circuit\shell\open\command") == f'"{program}" "%1"'
    # No version-5 folders for an ordinary product, and no extension in a silent run.
    assert wine.reg_value("HKLM\\" + KEY, "INST_DIR_LFN") is None
    assert not os.path.exists(os.path.join(wine.drive_c, EXTENSION))


def presets(medium, auto_mode):
    with open(os.path.join(medium.folder, "setup.ini"), "w", newline="\r\n") as f:
        f.write(f"[SETUP]\nDEFAULTDIRN={SERVER}\nWANT_FILES=N\nGLOBAL=1\nAUTO_MODE={auto_mode}\n")


def test_a_client_installation_clicked_through_links_registers_the_extension_and_says_so(wine):
    t = texts("en")
    server_installation(wine)
    medium = Medium(wine, product="demo-pelaxo5")
    presets(medium, 0)  # a client installation that asks
    log = os.path.join(wine.drive_c, "thumbex.log")
    proc = medium.start(env={"SETUP_STANDIN_LOG": "C:\\thumbex.log"})
    finish_title = t[19].replace("ProductX", "Circuita 5")
    while True:
        page = waiting_page(wine, proc, passing={extension_page(t)})
        if page.text(TITLE) == finish_title:
            break
        assert page.text(TITLE) in (t[77], t[111]), page.text(TITLE)  # user group, circuit folder
        go(wine, page, NEXT)
    assert page.text(MESSAGE) == t[18]
    assert t[125] in page.visible_texts()
    wine.screenshot("client-links-finish")
    go(wine, page, CANCEL)
    assert proc.wait(timeout=30) == 0

    program = SERVER + "\\bin\\Pelaxo5.exe"
    menu = (COMMON_PROGRAMS, "Circuita 5", "Circuita 5")
    assert read_link(wine, *menu, "Circuita 5.lnk") == {
        "target": program, "arguments": "TECH=E", "working-folder": SERVER + "\\bin", "description": "Circuita 5"}
    assert read_link(wine, *menu, "Circuita 5 (select technology).lnk")["arguments"] == ""
    assert read_link(wine, "users", "Public", "Desktop", "Circuita 5.lnk") is None
    short = wine.reg_value("HKLM\\" + KEY, "INST_DIR")
    assert " " not in short and short == wine.reg_value("HKLM\\" + KEY, "INST_NDIR")
    assert wine.reg_value("HKLM\\" + KEY, "EXE_DIR") == short + "\\BIN"
    assert wine.reg_value("HKLM\\" + KEY, "INST_DIR_LFN") == SERVER

    # The extension: its files, the registration run, the file type.
    common = os.path.join(wine.drive_c, EXTENSION)
    assert sorted(os.listdir(common)) == ["LogicNP.EZShellExtensions.dll", "MVThumbEx.dll",
                                          "RegisterExtensionDotNet20x64.exe"]
    with open(log, encoding="utf-8") as f:
        runs = f.read().splitlines()
    assert [run.split(" | ")[0] for run in runs] == [
        "RegisterExtensionDotNet20x64.exe -i MVThumbEx.dll LogicNP.EZShellExtensions.dll"]
    assert default_value(wine, r"HKCR\.circ") == "Marventa.Document"
    assert default_value(wine, r"HKCR\Marventa.Document") == "Circuit Diagram"


def carried_handler(wine, kind):
    return wine.build.path(os.path.join("examples", "demo", "thumbex", kind, "MVThumbEx.dll"))


@pytest.mark.parametrize("lc_all, installed, kept, type_name", [
    ("en_US.UTF-8", "older", False, "Circuit Diagram"),
    ("de_DE.UTF-8", "newer", True, "Schaltkreis")])
def test_an_unattended_client_installation_replaces_only_an_older_handler(wine_factory, lc_all, installed, kept,
                                                                            type_name):
    wine = wine_factory(lc_all=lc_all)
    server_installation(wine)
    common = os.path.join(wine.drive_c, EXTENSION)
    os.makedirs(common)
    shutil.copy(carried_handler(wine, installed), common)
    medium = Medium(wine, product="demo-pelaxo5")
    presets(medium, 2)  # without prompts
    assert medium.start().wait(timeout=120) == 0
    with open(os.path.join(common, "MVThumbEx.dll"), "rb") as f, \
            open(carried_handler(wine, installed if kept else "carried"), "rb") as g:
        assert f.read() == g.read()
    assert default_value(wine, r"HKCR\Marventa.Document") == type_name
    assert read_link(wine, COMMON_PROGRAMS, "Circuita 5", "Circuita 5", "Circuita 5.lnk")["target"] == \
        SERVER + "\\bin\\Pelaxo5.exe"
