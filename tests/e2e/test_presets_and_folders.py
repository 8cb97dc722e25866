"""The presets file beside setup.exe, and the checks of the folder pages: a run that takes
its answers from "setup.ini", a presets file with non-ASCII folders written by the
launcher's own writer and read back by setup.exe, and folders that are refused or created."""

import os

import pytest

from medium import (BACK, FOURTH, NEXT, OPTION2, TITLE, Medium, cancel_run, make_immutable, release_immutable,
                    go, page_titled, texts, wait_start_page)

FOLDER_EDIT = 1046
STANDARD_FOLDER_CHECK = 1051
OPTION1 = 1032
WRITE_PRESETS = "tests/win32tools/write-presets.exe"


def write_ini(medium, text):
    with open(os.path.join(medium.folder, "setup.ini"), "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("ascii"))


def answer_message(wine, proc):
    """The warning the page shows; answered with OK. Returns its text."""
    box = wine.driver.wait_message_box(pid=proc.pid, timeout=60)
    text = box.message_text
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    return text


def test_presets_start_at_the_user_group_and_back_ends_the_run(wine):
    medium = Medium(wine, product="demo-pelaxo5")
    write_ini(medium, "[SETUP]\nDEFAULTDIRL=C:\\Apps\\Circuita\nGLOBAL=1\n")
    proc = medium.start()
    page = page_titled(wine, proc, texts("en")[77])
    assert page.control(OPTION1)["checked"] and not page.control(OPTION2)["checked"]
    wine.driver.click(BACK, hwnd=page["hwnd"])
    assert proc.wait(timeout=30) == 0
    assert not [w for w in wine.driver.list_windows() if w.get("pid") == proc.pid]


def test_presets_without_their_folder_key_are_ignored(wine):
    medium = Medium(wine, product="demo-pelaxo5")
    write_ini(medium, "[SETUP]\nWANT_FILES=N\nDEFAULTDIRL=C:\\Apps\nGLOBAL=1\n")  # a client needs DEFAULTDIRN
    proc = medium.start()
    page = wait_start_page(wine, proc)
    assert page.text(TITLE) == texts("en")[8]
    cancel_run(wine, proc, page)


def test_non_ascii_presets_written_by_the_launcher_are_read_back(wine):
    """Czech folder names survive the presets file whatever the machine's ANSI code page."""
    program = "C:\\Programy\\\u010cer\u0165\u00e1k"
    circuits = "D:\\Zapojen\u00ed\\\u017dlu\u0165ou\u010dk\u00fd k\u016f\u0148"
    medium = Medium(wine, product="demo-preconfig")
    choices = os.path.join(medium.folder, "choices.txt")
    with open(choices, "w", encoding="utf-8") as f:
        f.write(f"folder={program}\\\ncircuit-folder={circuits}\nall-users=1\n")
    ini = os.path.join(medium.folder, "setup.ini")
    code = wine.run(wine.build.require(WRITE_PRESETS), wine.to_windows(choices), wine.to_windows(ini), timeout=60)
    assert code == 0
    with open(ini, "rb") as f:
        raw = f.read()
    assert raw.startswith(b"\xff\xfe") and raw.decode("utf-16").splitlines()[1] == f"DEFAULTDIRL={program}"

    proc = medium.start()
    t = texts("en")
    user_group = page_titled(wine, proc, t[77])
    assert user_group.control(OPTION1)["checked"]
    go(wine, user_group, NEXT)
    circuit = page_titled(wine, proc, t[111])
    assert not circuit.control(STANDARD_FOLDER_CHECK)["checked"]
    assert circuit.text(FOLDER_EDIT) == circuits
    cancel_run(wine, proc, circuit)


def to_setup_folder_page(wine, proc):
    t = texts("en")
    go(wine, wait_start_page(wine, proc), FOURTH)
    go(wine, page_titled(wine, proc, t[35]), NEXT)
    go(wine, page_titled(wine, proc, t[77]), NEXT)
    return page_titled(wine, proc, t[84])


def test_setup_folder_that_cannot_be_created_is_refused_and_a_new_one_is_made(wine):
    t = texts("en")
    locked = os.path.join(wine.drive_c, "Locked")
    os.makedirs(locked)
    if not make_immutable(locked):
        pytest.skip("chattr +i is not available: no folder here refuses Wine's writes")
    try:
        proc = Medium(wine, product="demo-preconfig").start()
        page = to_setup_folder_page(wine, proc)
        assert page.text(FOLDER_EDIT) == "c:\\install\\Circuita 5"
        wine.driver.type_text(FOLDER_EDIT, "C:\\Locked\\Setups", hwnd=page["hwnd"])
        wine.driver.click(NEXT, hwnd=page["hwnd"])
        assert answer_message(wine, proc) == t[119].replace("xyz", "C:\\Locked\\Setups")

        page = page_titled(wine, proc, t[84])  # again, with the default folder
        assert page.text(FOLDER_EDIT) == "c:\\install\\Circuita 5"
        wine.driver.type_text(FOLDER_EDIT, "  C:\\New Setups\\Circuita  ", hwnd=page["hwnd"])
        go(wine, page, NEXT)
        program = page_titled(wine, proc, t[86])
        assert os.path.isdir(os.path.join(wine.drive_c, "New Setups", "Circuita"))
        assert not os.listdir(os.path.join(wine.drive_c, "New Setups", "Circuita"))  # no probe left
        cancel_run(wine, proc, program)
    finally:
        release_immutable(locked)


def test_network_folder_must_hold_an_installation(wine):
    t = texts("en")
    server = os.path.join(wine.drive_c, "Server", "Circuita", "bin")
    os.makedirs(server)
    open(os.path.join(server, "Circuita.exe"), "wb").close()

    proc = Medium(wine, product="demo-preconfig").start()
    go(wine, wait_start_page(wine, proc), FOURTH)
    kind = page_titled(wine, proc, t[35])
    wine.driver.select_radio(OPTION2, hwnd=kind["hwnd"])
    go(wine, kind, NEXT)
    page = page_titled(wine, proc, t[157])
    wine.driver.type_text(FOLDER_EDIT, "C:\\Server", hwnd=page["hwnd"])
    wine.driver.click(NEXT, hwnd=page["hwnd"])
    assert answer_message(wine, proc) == t[26].replace("ProductX", "Circuita 5")

    page = page_titled(wine, proc, t[157])
    assert page.text(FOLDER_EDIT) == "C:\\Server"  # as the user left it
    wine.driver.type_text(FOLDER_EDIT, "C:\\Server\\Circuita\\bin", hwnd=page["hwnd"])  # the bin folder will do
    go(wine, page, NEXT)
    cancel_run(wine, proc, page_titled(wine, proc, t[77]))
