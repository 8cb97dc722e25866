"""The wizard pages as a user sees them: page-probe shows pages of each class with sample
texts through Win32Ui::showPage, the driver reads and operates them, and the probe reports
the result word, the outputs, the page's rectangle and any text that does not fit."""

import json
import os
import subprocess
import time

import pytest

PROBE = "tests/win32tools/page-probe.exe"
WINDOW_TITLE = "Circuita 5 Setup"
HELP, BACK, NEXT, CANCEL = 1048, 1015, 1035, 1019
TITLE, MESSAGE, SEPARATOR = 1029, 1028, 1011

# "MS Shell Dlg" is Tahoma in the test prefix: base units 6 x 13 pixels.
def dlu_x(n):
    return (n * 6 + 2) // 4


def dlu_y(n):
    return (n * 13 + 4) // 8


class Probe:
    def __init__(self, wine, tmp_path, *pages, lang="en", help=True, help_throws=False):
        self.wine = wine
        self.out = os.path.join(str(tmp_path), "pages.jsonl")
        args = ["--out", wine.to_windows(self.out), "--lang", lang, *([] if help else ["--no-help"]),
                *(["--help-throws"] if help_throws else []), *pages]
        self.proc = wine.start(wine.build.require(PROBE), *args)
        self.driver = wine.driver

    def page(self, timeout=20):
        return self.driver.wait_window(title=WINDOW_TITLE, class_name="#32770", pid=self.proc.pid,
                                       has_id=TITLE, timeout=timeout)

    def results(self):
        assert self.proc.wait(timeout=30) == 0
        with open(self.out, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def xdotool(self, *args):
        env = dict(os.environ, DISPLAY=self.wine.display.name)
        return subprocess.run(["xdotool", *map(str, args)], env=env, check=True, capture_output=True,
                              text=True, timeout=20).stdout

    def press(self, keys, window):
        """Real key presses into the page (the X window that Wine made for it), e.g. "Tab Return"."""
        xid = self.xdotool("search", "--name", window["title"]).split()[-1]
        # A click into the page's empty lower-left corner gives it the keyboard focus.
        self.xdotool("mousemove", "--window", xid, 5, window["rect"][3] - window["rect"][1] - 30, "click", 1)
        time.sleep(0.3)
        self.xdotool("key", "--delay", 100, *keys.split())


def visible(window, id):
    return window.control(id)["visible"]


def rect(window, id):
    return window.control(id)["rect"]


def size(r):
    return r[2] - r[0], r[3] - r[1]


def assert_frame_layout(page, report):
    """Client size, separator and button row against the 329 x 220 DLU layout."""
    assert report["client"] == [dlu_x(329), dlu_y(220)]
    sep = rect(page, SEPARATOR)
    assert size(sep) == (dlu_x(329), 2)
    for id, x in ((CANCEL, 250), (NEXT, 163), (BACK, 90), (HELP, 6)):
        if id in [c["id"] for c in page["controls"]]:
            r = rect(page, id)
            assert size(r) == (dlu_x(72), dlu_y(14)), id
            assert (r[0] - sep[0], r[1] - sep[1]) == (dlu_x(x), dlu_y(198) - dlu_y(192)), id


# ------------------------------------------------------------------ each page class

@pytest.mark.parametrize("lang", ["de", "en"])
def test_two_option_page_texts_layout_and_fit(wine, tmp_path, lang):
    probe = Probe(wine, tmp_path, "two", lang=lang)
    page = probe.page()
    wine.screenshot(f"two-options-{lang}")
    german = lang == "de"
    assert page["title"] == WINDOW_TITLE
    assert page.text(TITLE) == ("Installationsart" if german else "Installation type")
    assert page.text(1032).startswith("Für alle Benutzer" if german else "For all users")
    assert page.text(1033).startswith("Nur für den aktuell" if german else "For user currently")
    assert [page.text(i) for i in (BACK, NEXT, CANCEL, HELP)] == (
        ["< Zurück", "Weiter >", "Abbrechen", "Hilfe"] if german else ["< Back", "Next >", "Cancel", "Help"])
    assert all(visible(page, i) for i in (BACK, NEXT, CANCEL, HELP))
    assert page.control(1032)["checked"] and not page.control(1033)["checked"]
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    [report] = probe.results()
    assert report["result"] == "option1" and report["selectedOption"] == 0
    assert_frame_layout(page, report)
    assert report["clipped"] == []
    # The first page of a run keeps the dialog font for its title.
    assert report["titleFont"][1] < 700


def test_two_option_page_preselection_back_and_hidden_back(wine, tmp_path):
    probe = Probe(wine, tmp_path, "two-pre1", "two", "two-noback", help=False)
    page = probe.page()
    assert page.control(1033)["checked"]
    assert not visible(page, HELP)
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    # Back does not read the radio group: the caller's preselection comes back.
    page = probe.page()
    probe.driver.select_radio(1033, hwnd=page["hwnd"])
    probe.driver.click(BACK, hwnd=page["hwnd"])
    page = probe.page()
    assert not visible(page, BACK) and visible(page, NEXT)
    probe.driver.select_radio(1033, hwnd=page["hwnd"])
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    first, second, third = probe.results()
    assert (first["result"], first["selectedOption"]) == ("option2", 1)
    assert (second["result"], second["selectedOption"]) == ("back", 0)
    assert (third["result"], third["selectedOption"]) == ("option2", 1)


@pytest.mark.parametrize("lang", ["de", "en"])
def test_info_page_texts_fit_and_cancel_without_question(wine, tmp_path, lang):
    probe = Probe(wine, tmp_path, "info", "info-empty", lang=lang)
    page = probe.page()
    wine.screenshot(f"info-{lang}")
    assert page.text(1049).startswith("Zusammenfassung" if lang == "de" else "Summary")
    assert all(visible(page, i) for i in (1049, HELP, BACK, NEXT, CANCEL))
    probe.driver.click(HELP, hwnd=page["hwnd"])
    probe.driver.click(CANCEL, hwnd=page["hwnd"])   # no question: ends at once
    page = probe.page()
    assert not visible(page, 1049)
    probe.driver.close_window(hwnd=page["hwnd"])      # close box: the same
    first, second = probe.results()
    assert first["result"] == "cancel" and first["helpCalls"] == 1
    assert second["result"] == "cancel"
    assert_frame_layout(page, first)
    assert first["clipped"] == [] and second["clipped"] == []


def test_a_failing_page_handler_ends_the_page_and_reaches_the_caller(wine, tmp_path):
    # The exception leaves the page through its caller, not through the dialog code: the
    # program goes on and shows the next page.
    probe = Probe(wine, tmp_path, "info", "two", help_throws=True)
    page = probe.page()
    probe.driver.click(HELP, hwnd=page["hwnd"])
    probe.driver.wait_gone(hwnd=page["hwnd"], timeout=20)
    page = probe.page()
    probe.driver.click(BACK, hwnd=page["hwnd"])
    first, second = probe.results()
    assert (first["result"], first["helpCalls"]) == ("exception: help failed", 1)
    assert (second["result"], second["helpCalls"]) == ("back", 0)


def test_info_page_with_only_quit(wine, tmp_path):
    probe = Probe(wine, tmp_path, "info-quit")
    page = probe.page()
    assert [c["id"] for c in page["controls"] if c["visible"] and c["class"] == "Button"] == [CANCEL]
    assert page.text(CANCEL) == "Quit"
    probe.driver.click(CANCEL, hwnd=page["hwnd"])
    [report] = probe.results()
    assert report["result"] == "cancel"


def test_cancel_question_no_keeps_the_page_yes_cancels(wine, tmp_path):
    probe = Probe(wine, tmp_path, "info-ask", "folder", lang="de")
    page = probe.page()
    probe.driver.click(CANCEL, hwnd=page["hwnd"])
    box = probe.driver.wait_message_box(pid=probe.proc.pid)
    assert box.message_text == "Möchten Sie die Installation von Circuita 5 wirklich abbrechen?"
    assert box["title"] == WINDOW_TITLE
    wine.screenshot("cancel-question")
    probe.driver.answer_message_box("no", hwnd=box["hwnd"])
    probe.driver.wait_gone(hwnd=box["hwnd"])
    assert probe.page()["hwnd"] == page["hwnd"]
    probe.driver.close_window(hwnd=page["hwnd"])    # the close box asks too
    box = probe.driver.wait_message_box(pid=probe.proc.pid)
    probe.driver.answer_message_box("yes", hwnd=box["hwnd"])
    folder = probe.page()
    probe.driver.click(CANCEL, hwnd=folder["hwnd"])
    probe.driver.answer_message_box("yes", pid=probe.proc.pid)
    first, second = probe.results()
    assert first["result"] == "cancel" and second["result"] == "cancel"


@pytest.mark.parametrize("lang", ["de", "en"])
def test_folder_page_back_keeps_the_callers_folder_next_takes_the_typed(wine, tmp_path, lang):
    probe = Probe(wine, tmp_path, "folder", "folder", lang=lang)
    page = probe.page()
    wine.screenshot(f"folder-{lang}")
    original = "C:\\Programy\\Příklady žluťoučký kůň"
    assert page.text(1046) == original
    assert page.text(1047) == ("Durchsuchen ..." if lang == "de" else "Browse ...")
    probe.driver.type_text(1046, "D:\\Neuer Ordner\\Größe", hwnd=page["hwnd"])
    probe.driver.click(BACK, hwnd=page["hwnd"])
    page = probe.page()
    probe.driver.type_text(1046, "E:\\Übungen\\Schaltpläne", hwnd=page["hwnd"])
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    first, second = probe.results()
    assert (first["result"], first["folder"]) == ("back", original)
    assert (second["result"], second["folder"]) == ("next", "E:\\Übungen\\Schaltpläne")
    assert_frame_layout(page, second)
    assert first["clipped"] == []


def test_folder_page_browse_opens_the_shell_browser(wine, tmp_path):
    probe = Probe(wine, tmp_path, "folder")
    page = probe.page()
    probe.driver.click(1047, hwnd=page["hwnd"])
    browser = probe.driver.wait_window(title="Browse for Folder", pid=probe.proc.pid)
    assert "Choose a folder" in browser.visible_texts()
    probe.driver.answer_message_box("cancel", hwnd=browser["hwnd"])
    probe.driver.wait_gone(hwnd=browser["hwnd"])
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    [report] = probe.results()
    assert report["folder"] == "C:\\Programy\\Příklady žluťoučký kůň"


def test_circuit_folder_check_box_restores_the_typed_folder(wine, tmp_path):
    probe = Probe(wine, tmp_path, "ct-unchecked", "ct-empty", "ct", lang="de")
    page = probe.page()
    wine.screenshot("circuit-folder")
    assert page.text(1049) == "C:\\users\\Public\\Documents\\Circuita 5"
    assert page.text(1046) == "D:\\Schaltungen\\Übungen" and page.control(1046)["enabled"]
    probe.driver.type_text(1046, "F:\\Meine Schaltungen", hwnd=page["hwnd"])
    probe.driver.select_radio(1051, hwnd=page["hwnd"])
    page = probe.page()
    assert page.text(1046) == ""
    assert not any(page.control(i)["enabled"] for i in (1046, 1047, 1050))
    probe.driver.select_radio(1051, hwnd=page["hwnd"])
    page = probe.page()
    assert page.text(1046) == "F:\\Meine Schaltungen"
    assert all(page.control(i)["enabled"] for i in (1046, 1047, 1050))
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    # An empty user folder starts from the standard one (shown when unchecked).
    page = probe.page()
    assert page.control(1051)["checked"] and page.text(1046) == ""
    probe.driver.select_radio(1051, hwnd=page["hwnd"])
    assert probe.page().text(1046) == "C:\\users\\Public\\Documents\\Circuita 5"
    probe.driver.click(BACK, hwnd=page["hwnd"])
    # Checked: Next hands back an empty user folder.
    page = probe.page()
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    first, second, third = probe.results()
    assert (first["result"], first["folder"], first["useStandardFolder"]) == (
        "next", "F:\\Meine Schaltungen", False)
    assert second["result"] == "back"
    assert (third["result"], third["folder"], third["useStandardFolder"]) == ("next", "", True)
    assert_frame_layout(page, third)
    assert first["clipped"] == [] and third["clipped"] == []


# ------------------------------------------------------------------ start page

def command_rects(page):
    return {id: rect(page, id) for id in (1037, 1024, 1014, 1025, 1027, 1013, 1053)}


@pytest.mark.parametrize("lang", ["de", "en"])
def test_start_page_texts_layout_and_title_font(wine, tmp_path, lang):
    probe = Probe(wine, tmp_path, "two", "start", "two", lang=lang)
    probe.driver.click(NEXT, hwnd=probe.page()["hwnd"])
    page = probe.page()
    wine.screenshot(f"start-{lang}")
    german = lang == "de"
    assert page.text(TITLE) == ("Willkommen!" if german else "Welcome!")
    assert page.text(1014) == ("Circuita 5 installieren" if german else "Install Circuita 5")
    assert page.control(1000)["enabled"]
    r = command_rects(page)
    frame_top, frame_height = r[1053][1], r[1053][3] - r[1053][1]
    gap = dlu_y(59) - dlu_y(53)
    slot = (frame_height - 4 * gap) // 3
    assert [r[i][1] - frame_top for i in (1037, 1014, 1027)] == [gap, 2 * gap + slot, 3 * gap + 2 * slot]
    assert [size(r[i])[1] for i in (1024, 1025, 1013)] == [slot] * 3
    assert size(r[1014]) == (dlu_x(126), dlu_y(14))
    probe.driver.click(1014, hwnd=page["hwnd"])
    probe.page()
    probe.driver.click(NEXT, title=WINDOW_TITLE, has_id=1032, pid=probe.proc.pid)
    before, start, two = probe.results()
    assert start["result"] == "button2"
    assert start["clipped"] == [] and two["clipped"] == []
    # The start page makes the bold title font, 1.4 times the dialog font (truncated),
    # and uses it itself; the pages before it keep the dialog font, those after use it.
    base_height, base_weight = before["titleFont"]
    assert base_weight < 700
    assert start["titleFont"] == two["titleFont"] == [int(base_height * 1.4), 700]


def test_start_page_hidden_commands_close_up(wine, tmp_path):
    probe = Probe(wine, tmp_path, "start-no-first", "start-install-only", help=False)
    page = probe.page()
    assert not visible(page, 1037) and not visible(page, 1024) and not visible(page, HELP)
    r = command_rects(page)
    gap = dlu_y(59) - dlu_y(53)
    frame_top, frame_height = r[1053][1], r[1053][3] - r[1053][1]
    slot = (frame_height - 3 * gap) // 2
    assert r[1014][1] - frame_top == gap and r[1027][1] - frame_top == 2 * gap + slot
    assert size(r[1025])[1] == slot
    probe.driver.click(1027, hwnd=page["hwnd"])
    page = probe.page()
    r = command_rects(page)
    assert [visible(page, i) for i in (1037, 1014, 1027)] == [False, True, False]
    assert r[1014][1] - r[1053][1] == gap
    assert size(r[1025])[1] == (r[1053][3] - r[1053][1]) - 2 * gap
    probe.driver.close_window(hwnd=page["hwnd"])
    probe.driver.answer_message_box("yes", pid=probe.proc.pid)
    first, second = probe.results()
    assert first["result"] == "button4" and second["result"] == "cancel"


def test_start_page_language_switch_retexts_at_once(wine, tmp_path):
    probe = Probe(wine, tmp_path, "start-no-first", lang="en")
    page = probe.page()
    before = command_rects(page)
    probe.driver.select_item(1000, item="česky", hwnd=page["hwnd"])
    deadline = time.monotonic() + 10
    while probe.page().text(TITLE) != "Vítejte!" and time.monotonic() < deadline:
        time.sleep(0.2)
    page = probe.page()
    wine.screenshot("start-czech")
    assert page["title"] == WINDOW_TITLE
    assert [page.text(i) for i in (TITLE, 1014, 1027, CANCEL, HELP)] == [
        "Vítejte!", "Instalovat Circuita 5", "Hledat aktualizace", "Storno", "Nápověda"]
    assert page.text(1025) == "Nainstaluje program Circuita 5."
    assert not visible(page, 1037) and visible(page, 1014) and visible(page, 1027)
    assert command_rects(page) == before
    probe.driver.select_item(1000, item="Deutsch", hwnd=page["hwnd"])
    deadline = time.monotonic() + 10
    while probe.page().text(TITLE) != "Willkommen!" and time.monotonic() < deadline:
        time.sleep(0.2)
    probe.driver.click(1014, hwnd=page["hwnd"])
    [report] = probe.results()
    assert report["result"] == "button2"
    assert report["clipped"] == []  # measured again when the German page closed


# ------------------------------------------------------------------ frame behaviour

def test_escape_is_the_pages_cancel(wine, tmp_path):
    probe = Probe(wine, tmp_path, "two", "info")
    page = probe.page()
    probe.press("Escape", page)
    # The question first, as for the Cancel button: No keeps the page, Yes ends it.
    box = probe.driver.wait_message_box(pid=probe.proc.pid)
    probe.driver.answer_message_box("no", hwnd=box["hwnd"])
    probe.driver.wait_gone(hwnd=box["hwnd"])
    assert probe.page()["hwnd"] == page["hwnd"]
    probe.press("Escape", page)
    probe.driver.answer_message_box("yes", pid=probe.proc.pid)
    page = probe.page()
    probe.press("Escape", page)  # a page without the question ends at once
    first, second = probe.results()
    assert first["result"] == "cancel" and second["result"] == "cancel"
    assert first["placement"][2] != -10000  # ended through Cancel: its rectangle is reported


# Each page class opens on its first choice, with the button Enter presses; the keys then
# go through the page in its order. (pages, focus and default when it opens, keys, result)
KEYS = [
    ("two-pre1", 1033, NEXT, "Return", {"result": "option2"}),
    # Arrows stay in the radio group: the second Down comes back to the first option.
    ("two", 1032, NEXT, "Down Return", {"result": "option2"}),
    ("two", 1032, NEXT, "Down Down Return", {"result": "option1"}),
    # The first command is hidden: Enter presses the one the user sees.
    ("start-no-first", 1014, 1014, "Return", {"result": "button2"}),
    ("info", NEXT, NEXT, "shift+Tab Return", {"result": "back"}),
    # The finish page: Enter is its only button, Quit.
    ("info-quit", CANCEL, CANCEL, "Return", {"result": "cancel"}),
    # Folder, Browse, Help, Back, Next.
    ("folder", 1046, 1047, "Tab Tab Tab Tab Return", {"result": "next"}),
    ("ct", 1051, NEXT, "space Return", {"result": "next", "useStandardFolder": False}),
]


@pytest.mark.parametrize("page_name, focus, default, keys, report", KEYS,
                         ids=[f"{k[0]}-{k[3].replace(' ', '-')}" for k in KEYS])
def test_keys_alone_work_each_page(wine, tmp_path, page_name, focus, default, keys, report):
    probe = Probe(wine, tmp_path, page_name)
    page = probe.page()
    assert (page["focus"], page["default"]) == (focus, default)
    probe.press(keys, page)
    [result] = probe.results()
    assert {k: result[k] for k in report} == report


def test_placement_carries_over_from_a_moved_page(wine, tmp_path):
    probe = Probe(wine, tmp_path, "two", "folder", "start")
    page = probe.page()
    centred = page["rect"]
    xid = probe.xdotool("search", "--name", WINDOW_TITLE).split()[-1]
    probe.xdotool("windowmove", "--sync", xid, 40, 30)
    deadline = time.monotonic() + 10
    while probe.page()["rect"] == centred and time.monotonic() < deadline:
        time.sleep(0.2)
    moved = probe.page()["rect"]
    assert moved != centred
    probe.driver.click(NEXT, hwnd=page["hwnd"])
    second = probe.page()
    wine.screenshot("placement-second")
    assert second["hwnd"] != page["hwnd"] and second["rect"] == moved
    probe.driver.click(NEXT, hwnd=second["hwnd"])
    third = probe.page()
    assert third["rect"] == moved
    probe.driver.click(1014, hwnd=third["hwnd"])
    reports = probe.results()
    assert [r["placement"] for r in reports] == [moved] * 3
