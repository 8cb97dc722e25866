"""The folder of an existing installation, read from the registry at start-up (the
machine's value first, then the user's), is what the network-folder page proposes."""

import pytest

from medium import FOURTH, NEXT, OPTION2, TITLE, Medium, cancel_run, texts, wait_start_page

KEY = r"SOFTWARE\Ohmwerk\Circuita\5.0"
FOLDER_EDIT = 1046


def proposed_network_folder(wine, medium):
    """Walks the Individual Setup branch to the network-folder page and reads its folder."""
    t = texts("en")
    proc = medium.start()
    start = wait_start_page(wine, proc)
    wine.driver.click(FOURTH, hwnd=start["hwnd"])
    wine.driver.wait_gone(hwnd=start["hwnd"], timeout=30)
    kind = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=OPTION2, timeout=30)
    assert kind.text(TITLE) == t[35]
    wine.driver.select_radio(OPTION2, hwnd=kind["hwnd"])
    wine.driver.click(NEXT, hwnd=kind["hwnd"])
    wine.driver.wait_gone(hwnd=kind["hwnd"], timeout=30)
    folder_page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=FOLDER_EDIT, timeout=30)
    assert folder_page.text(TITLE) == t[157]
    folder = folder_page.text(FOLDER_EDIT)
    cancel_run(wine, proc, folder_page)
    return folder


def test_machine_value_wins_over_the_user_value(wine):
    medium = Medium(wine, product="demo-preconfig")
    # Both builds read the 32-bit view first, as the shipped 32-bit launcher does.
    wine.reg_add("HKCU\\" + KEY, "INST_DIR", r"C:\Users\Circuita 5", view=32)
    assert proposed_network_folder(wine, medium) == r"C:\Users\Circuita 5"
    wine.reg_add("HKLM\\" + KEY, "INST_DIR", r"C:\Program Files\Circuita 5", view=32)
    assert proposed_network_folder(wine, medium) == r"C:\Program Files\Circuita 5"


def test_no_value_proposes_nothing(wine):
    assert proposed_network_folder(wine, Medium(wine, product="demo-preconfig")) == ""


@pytest.mark.smoke32
def test_machine_value_only_in_the_64_bit_view_is_found(wine):
    # No key in the 32-bit view: the read retries in the 64-bit one, in both builds.
    wine.reg_add("HKLM\\" + KEY, "INST_DIR", r"C:\Apps\Circuita 5", view=64)
    assert proposed_network_folder(wine, Medium(wine, product="demo-preconfig")) == r"C:\Apps\Circuita 5"
