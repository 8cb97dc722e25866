"""The user-interface language and the setup's help under Wine: the first text shown
follows the Windows UI language (LC_ALL), help files are staged while the launcher runs,
and a help topic opens in the HTML Help viewer."""

import glob
import os

import pytest

from medium import TITLE, Medium, cancel_run, demo_settings, wait_start_page

DEMO_TITLE = "Circuita 5 Setup"
NBSP = "\u00a0"


def first_page(wine, medium):
    """The start page's title and window title; the run is then cancelled."""
    proc = medium.start()
    page = wait_start_page(wine, proc)
    wine.screenshot("start-page")
    cancel_run(wine, proc, page)
    return page


@pytest.mark.parametrize("lc_all, welcome", [
    ("de_DE.UTF-8", "Willkommen!"),
    ("fr_FR.UTF-8", f"Bienvenue{NBSP}!"),
    pytest.param("cs_CZ.UTF-8", "V\u00edtejte!", marks=pytest.mark.smoke32),  # code page 1250
    ("en_US.UTF-8", "Welcome!"),
], ids=["german", "french", "czech", "english"])
def test_first_text_follows_the_windows_language(wine_factory, lc_all, welcome):
    wine = wine_factory(lc_all=lc_all)
    page = first_page(wine, Medium(wine))
    assert page.text(TITLE) == welcome
    assert page["title"] == DEMO_TITLE + " (V 5.0b)"


def only_languages(codes):
    """The demo settings offering only these languages, listed in this order."""
    text = demo_settings()
    start = text.index("<languages>") + len("<languages>")
    end = text.index("</languages>")
    lines = text[start:end].splitlines(keepends=True)
    listed = [next(line for line in lines if f">{code}<" in line) for code in codes]
    return text[:start] + "\n" + "".join(listed) + text[end:]


@pytest.mark.parametrize("lc_all, codes, welcome", [
    ("es_ES.UTF-8", ["de-de", "en-us"], "Welcome!"),          # unmatched: English
    ("it_IT.UTF-8", ["fr-fr", "de-de"], f"Bienvenue{NBSP}!"),  # no English: first listed
], ids=["english-fallback", "first-listed"])
def test_unmatched_language_falls_back(wine_factory, lc_all, codes, welcome):
    wine = wine_factory(lc_all=lc_all)
    medium = Medium(wine)
    medium.set_settings(only_languages(codes))
    assert first_page(wine, medium).text(TITLE) == welcome


def staged_help_files(wine):
    """Names of the staged help copies in the user's temporary folder."""
    pattern = os.path.join(wine.drive_c, "users", "*", "**", "_?_*.chm")
    return sorted(os.path.basename(p) for p in glob.glob(pattern, recursive=True))


def test_help_files_are_staged_while_the_launcher_runs(wine):
    medium = Medium(wine)
    proc = medium.start()
    page = wait_start_page(wine, proc)
    # Czech names the English file, which is copied under its own index as well.
    assert staged_help_files(wine) == [
        "_0_setup_hilfe.chm", "_1_setup_help.chm", "_2_setup_ayuda.chm",
        "_3_setup_aide.chm", "_4_setup_aiuto.chm", "_5_setup_help.chm"]
    staged = glob.glob(os.path.join(wine.drive_c, "users", "*", "**", "_0_setup_hilfe.chm"),
                       recursive=True)[0]
    with open(os.path.join(medium.folder, "setup_hilfe.chm"), "rb") as original, \
            open(staged, "rb") as copy:
        assert copy.read() == original.read()
    cancel_run(wine, proc, page)
    assert staged_help_files(wine) == []


def test_missing_help_file_uses_the_english_copy(wine):
    medium = Medium(wine)
    os.remove(os.path.join(medium.folder, "setup_aide.chm"))
    proc = medium.start()
    page = wait_start_page(wine, proc)
    assert "_3_setup_aide.chm" not in staged_help_files(wine)
    cancel_run(wine, proc, page)
    assert staged_help_files(wine) == []


@pytest.mark.parametrize("chm, title", [
    ("setup_hilfe.chm", "Circuita 5 Setup - Hilfe"),
    ("setup_help.chm", "Circuita 5 Setup - Help"),
])
def test_help_topic_opens_in_the_viewer(wine, chm, title):
    medium = Medium(wine)
    probe = wine.start(wine.build.require("tests/win32tools/help-probe.exe"),
                       wine.to_windows(os.path.join(medium.folder, chm)), "53")
    viewer = wine.driver.wait_window(class_name="HH Parent", timeout=30)
    wine.screenshot("help-viewer")
    assert viewer["title"] == title
    wine.driver.answer_message_box("ok", pid=probe.pid, timeout=30)
    assert probe.wait(timeout=30) == 0


@pytest.mark.parametrize("lc_all, title", [
    ("en_US.UTF-8", "Circuita 5 Setup - Help"),
    ("de_DE.UTF-8", "Circuita 5 Setup - Hilfe"),
])
def test_help_button_opens_the_page_topic_in_the_language(wine_factory, lc_all, title):
    wine = wine_factory(lc_all=lc_all)
    proc = Medium(wine).start()
    page = wait_start_page(wine, proc)
    assert page.control(1048)["visible"]
    wine.driver.click(1048, hwnd=page["hwnd"])
    viewer = wine.driver.wait_window(class_name="HH Parent", timeout=30)
    wine.screenshot("help-from-start-page")
    assert viewer["title"] == title
    cancel_run(wine, proc, wait_start_page(wine, proc))
