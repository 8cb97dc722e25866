"""Hostile or merely unusual input as a user meets it: a medium folder named with the
command interpreter's characters, folders planted to break out of the installer's quotes,
and keys pressed on a progress page after its work has ended."""

import os
import shutil

from medium import CANCEL, INSTALL, MESSAGE, NEXT, Medium, page_titled, texts, wait_start_page
from test_package_launch import KEY, UNINSTALL, answer_questions
from test_presets_and_folders import write_ini
from test_progress_page import install_runtime, runtime_page_texts

BREAKOUT = 'C:\\P" CUSTOM_PROP="injected'


def test_a_medium_named_with_command_characters_installs_its_runtime_and_package(wine):
    """Nothing in the launcher's path is an installer property, and "%TEMP%" reaches the
    medium's runtime installer unexpanded."""
    t = texts("en")
    medium = Medium(wine, product="demo-net40-medium", folder="Kurs=5 CUSTOM_PROP=7 100% %TEMP% (A&B)")
    runtime = os.path.join("examples", "demo", "product", "Support", "Dot_Net40_Client")
    shutil.copytree(wine.build.path(runtime), os.path.join(medium.folder, "Support", "Dot_Net40_Client"))
    proc = medium.start(env={"SETUP_STANDIN_LOG": "C:\\standin.log"})
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    install_runtime(wine, proc, t, version40=False)
    install_runtime(wine, proc, t, version40=True)
    with open(os.path.join(wine.drive_c, "standin.log"), encoding="utf-8") as f:
        runs = f.read().splitlines()
    assert runs[1] == "C:\\Kurs=5 CUSTOM_PROP=7 100% %TEMP% (A&B)\\Support\\Dot_Net40_Client\\dotNetFx40_Client_x86_x64.exe /q -> 0"
    answer_questions(wine, proc, t, (77, 111, 159))
    assert proc.wait(timeout=180) == 0
    assert wine.reg_key(UNINSTALL) is not None
    assert wine.reg_value(KEY, "CUSTOM_PROP") in (None, "")
    assert wine.reg_value(KEY, "SETUPDIR") == "C:\\Kurs=5 CUSTOM_PROP=7 100% %TEMP% (A&B)\\setup.exe"


def test_a_planted_presets_file_that_breaks_out_of_its_quotes_is_not_taken_over(wine):
    """Without the check this file would install silently with a property of its own."""
    medium = Medium(wine, product="demo-pelaxo5")
    write_ini(medium, f"[SETUP]\nDEFAULTDIRL={BREAKOUT}\nAUTO_MODE=2\nGLOBAL=1\n")
    proc = medium.start()
    start = wait_start_page(wine, proc)
    wine.driver.click(CANCEL, hwnd=start["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0
    assert wine.reg_key(UNINSTALL) is None


def test_a_registry_folder_that_breaks_out_of_its_quotes_never_reaches_the_installer(wine):
    medium = Medium(wine, product="demo-no-runtimes")
    wine.reg_add(r"HKCU\SOFTWARE\Ohmwerk\Circuita\5.0", "INST_DIR", BREAKOUT)
    assert wine.reg_value(r"HKCU\SOFTWARE\Ohmwerk\Circuita\5.0", "INST_DIR") == BREAKOUT
    assert medium.start("/qn").wait(timeout=180) == 0
    assert wine.reg_key(UNINSTALL) is not None
    assert wine.reg_value(KEY, "CUSTOM_PROP") in (None, "")
    assert wine.reg_value(KEY, "INST_DIR") == "C:\\Program Files (x86)\\Circuita 5\\"  # the package's own


def test_keys_pressed_after_a_runtime_installed_still_reach_the_next_page(wine):
    """The close button, Escape and Enter, pressed without pause while the runtime installs
    and after it has ended: no question comes, the page ends with its work's result, and the
    wizard goes on."""
    t = texts("en")
    medium = Medium(wine)
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    page = page_titled(wine, proc, t[27])
    wine.driver.click(NEXT, hwnd=page["hwnd"])
    wine.driver.hammer(hwnd=page["hwnd"], timeout=120)
    following = page_titled(wine, proc, t[27])
    assert following.text(MESSAGE) == runtime_page_texts(t, True)[0]  # the 4.0 runtime's page: it went on
    wine.driver.click(CANCEL, hwnd=following["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0
