"""Walking the wizard of the real setup.exe: the pages of a full installation in order,
Back returning to the recorded page, Cancel asking first, the language switch of the
start page, and the fourth start command."""

import pytest

from medium import (BACK, CANCEL, FOURTH, INSTALL, LANGUAGES, MESSAGE, NEXT, OPTION2, TITLE, Medium,
                    cancel_run, go, page_titled, texts, wait_start_page, with_support)


@pytest.mark.parametrize("lc_all, language", [
    ("en_US.UTF-8", "en"), pytest.param("de_DE.UTF-8", "de", marks=pytest.mark.smoke32)])
def test_full_installation_pages_forward_and_back(wine_factory, lc_all, language):
    wine = wine_factory(lc_all=lc_all)
    t = texts(language)
    medium = with_support(Medium(wine, product="demo-no-runtimes"))
    proc = medium.start()

    start = wait_start_page(wine, proc)
    assert start.text(TITLE) == t[8]
    wine.screenshot("start")
    go(wine, start, INSTALL)

    user_group = page_titled(wine, proc, t[77])
    assert user_group.text(MESSAGE) == t[78].replace("ProductX", "Circuita 5")
    assert user_group.text(1032) == t[79] and user_group.text(OPTION2) == t[80]
    wine.screenshot("user-group")
    go(wine, user_group, NEXT)

    circuit = page_titled(wine, proc, t[111])
    wine.screenshot("circuit-folder")
    go(wine, circuit, BACK)
    go(wine, page_titled(wine, proc, t[77]), NEXT)  # Back returned to the user group
    go(wine, page_titled(wine, proc, t[111]), NEXT)

    videos = page_titled(wine, proc, t[97])
    assert videos.text(1032) == t[99].replace("xyz", "35")  # the size the settings give
    wine.screenshot("videos")
    go(wine, videos, NEXT)
    material = page_titled(wine, proc, t[159])
    wine.screenshot("material")
    wine.driver.select_radio(OPTION2, hwnd=material["hwnd"])
    go(wine, material, NEXT)
    presentations = page_titled(wine, proc, t[101])
    wine.screenshot("presentations")
    go(wine, presentations, NEXT)

    # The installer runs with the interface language (and its transform) and, having told
    # the user itself, leaves the launcher nothing to say.
    assert proc.wait(timeout=180) == 0
    key = r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0"
    assert wine.reg_value(key, "LANGUAGE") == language
    # German is not the main package's language: its transform was applied.
    assert wine.reg_value(key, "PACKAGE_LANGUAGE") == {"en": "en-us", "de": "de-de"}[language]


def test_cancel_asks_and_ends_only_on_yes(wine):
    proc = Medium(wine, product="demo-no-runtimes").start()
    go(wine, wait_start_page(wine, proc), INSTALL)
    page = page_titled(wine, proc, texts("en")[77])
    wine.driver.click(CANCEL, hwnd=page["hwnd"])
    question = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    assert question.message_text == "Are you sure you want to cancel Circuita 5 installation?"
    wine.driver.answer_message_box("no", hwnd=question["hwnd"])
    page = page_titled(wine, proc, texts("en")[77])
    assert proc.running
    assert cancel_run(wine, proc, page) == "Are you sure you want to cancel Circuita 5 installation?"


def test_language_switch_changes_the_start_page_at_once(wine):
    proc = Medium(wine, product="demo-no-runtimes").start()
    page = wait_start_page(wine, proc)
    assert page.text(TITLE) == "Welcome!"
    window_title = page["title"]
    # Deutsch is the first offered language.
    wine.driver.select_item(LANGUAGES, index=0, hwnd=page["hwnd"])
    german = texts("de")
    page = page_titled(wine, proc, german[8])
    wine.screenshot("german-start")
    assert page.text(INSTALL) == german[16].replace("ProductX", "Circuita")
    assert page.text(CANCEL) == german[2]
    assert page["title"] == window_title
    # The pages that follow speak the chosen language.
    go(wine, page, INSTALL)
    user_group = page_titled(wine, proc, german[77])
    assert user_group.text(NEXT) == german[24]
    cancel_run(wine, proc, user_group)


@pytest.mark.parametrize("product, caption, next_title", [
    ("demo-preconfig", 117, 35),   # creates an Individual Setup: the installation type comes next
    ("demo", 32, 27),              # searches for updates: the missing runtime's page comes first
])
def test_fourth_start_command(wine, product, caption, next_title):
    t = texts("en")
    proc = Medium(wine, product=product).start()
    page = wait_start_page(wine, proc)
    assert page.text(FOURTH) == t[caption].replace("ProductX", "Circuita 5")
    go(wine, page, FOURTH)
    following = page_titled(wine, proc, t[next_title])
    cancel_run(wine, proc, following)
