"""Start-up of the real setup.exe under Wine: the settings document, the single
instance, the Windows version. Every run must end with exit code 0."""

import re

import pytest

from harness.wine import pe_machine
from medium import (ERROR_CAPTION_BEFORE_SETTINGS, TITLE, Medium, assert_logged, cancel_run, demo_settings, edited,
                    wait_start_page)

DEMO_TITLE = "Circuita 5 Setup"
DEMO_WINDOW_TITLE = "Circuita 5 Setup (V 5.0b)"
CANCEL_QUESTION = "Are you sure you want to cancel Circuita 5 installation?"


def settings_error(code):
    return f"Installation error.\nError code (readXML_Options): {code}"


def answer_single_box(wine, proc, expected_text, expected_caption):
    """Waits for the launcher's one message box, checks it, presses OK, checks exit 0."""
    box = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    wine.screenshot("message")
    assert box.message_text == expected_text
    assert box["title"] == expected_caption
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    assert proc.wait(timeout=30) == 0


def reaches_the_start_page(wine, proc):
    page = wait_start_page(wine, proc)
    wine.screenshot("start-page")
    assert page["title"] == DEMO_WINDOW_TITLE
    assert page.text(TITLE) == "Welcome!"
    assert cancel_run(wine, proc, page) == CANCEL_QUESTION


@pytest.mark.smoke32
def test_demo_reaches_the_flow(wine):
    medium = Medium(wine)
    proc = medium.start()
    reaches_the_start_page(wine, proc)
    # The run is the build the file says: a 32-bit launcher is a WoW64 process here.
    assert proc.wow64 == (pe_machine(medium.setup_exe) == "x86")


@pytest.mark.parametrize("old, new, code", [
    ("<name>Circuita 5</name>", "", 3),
    ("<msi admin-required", "<msi-package admin-required", 20),
    (">fr-fr<", ">fr-FR<", 7),
    ("<update url=", "<update href=", 45),
], ids=["no-product-name", "no-msi", "unknown-language", "update-without-url"])
def test_faulty_settings_report_their_code(wine, old, new, code):
    medium = Medium(wine)
    text = edited(demo_settings(), old, new)
    if new.startswith("<msi-package"):
        text = edited(text, "</msi>", "</msi-package>")
    medium.set_settings(text)
    proc = medium.start()
    answer_single_box(wine, proc, settings_error(code), ERROR_CAPTION_BEFORE_SETTINGS)
    # Until the settings have named the product, the log is named after the launcher's file.
    name = "setup" if code == 3 else "Circuita"
    assert_logged(wine, rf"settings document: refused, error code {code} \(", rf"log: .*\\{name}-\d{{8}}-\d{{6}}\.log$",
                  "message: " + re.escape(settings_error(code).replace("\n", "\\n")) + "$",
                  r"run ended: installer exit code 0, process exit code 0$")


@pytest.mark.parametrize("product", ["fixture-empty-settings", "fixture-no-settings"])
def test_empty_or_missing_settings_resource_gives_54(wine, product):
    proc = Medium(wine, product=product).start()
    answer_single_box(wine, proc, settings_error(54), ERROR_CAPTION_BEFORE_SETTINGS)


def test_unscrambled_settings_read_as_noise(wine):
    # A document that was never scrambled: nothing of it is found.
    medium = Medium(wine)
    medium.set_settings(mode=("--raw", demo_settings().encode("utf-8")))
    proc = medium.start()
    answer_single_box(wine, proc, settings_error(2), ERROR_CAPTION_BEFORE_SETTINGS)


def test_document_without_a_language_gives_51(wine):
    text = demo_settings()
    start = text.index("<languages>") + len("<languages>")
    end = text.index("</languages>")
    medium = Medium(wine)
    medium.set_settings(text[:start] + text[end:])
    proc = medium.start()
    answer_single_box(wine, proc, "Installation error.\nError code: 51", DEMO_TITLE)


def test_second_launcher_ends_with_its_message(wine):
    medium = Medium(wine)
    first = medium.start()
    first_page = wait_start_page(wine, first)

    second = medium.start()
    box = wine.driver.wait_message_box(pid=second.pid, timeout=30)
    wine.screenshot("second-instance")
    assert box.message_text == "Setup cannot run more than once."
    assert box["title"] == DEMO_TITLE
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    assert second.wait(timeout=30) == 0
    assert first.running

    cancel_run(wine, first, first_page)

    # With the first launcher gone, a new one runs normally.
    reaches_the_start_page(wine, medium.start())


def test_minimum_windows_version(wine):
    medium = Medium(wine)
    medium.set_settings(edited(demo_settings(), 'min-os-version="51"', 'min-os-version="110"'))
    answer_single_box(wine, medium.start(), "This operating system is no lonfer supported.", DEMO_TITLE)

    # No limit at all: the run goes on to the start page.
    medium.set_settings(edited(demo_settings(), 'min-os-version="51"', 'min-os-version="0"'))
    reaches_the_start_page(wine, medium.start())
