"""Optional content on an installed product: started again, the launcher offers to add the
optional components and the installer adds them to the installation."""

import os

from medium import (INSTALL, MESSAGE, NEXT, OPTION2, Medium, go, page_titled, texts, wait_start_page,
                    with_support)

KEY = r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0"


def installed_file(wine, *parts):
    return os.path.join(wine.to_unix(wine.reg_value(KEY, "INST_DIR")), *parts)


def test_an_installed_product_adds_the_optional_components_it_was_installed_without(wine):
    t = texts("en")
    medium = with_support(Medium(wine, product="demo-no-runtimes"))
    assert medium.start_typed("/qn NOVIDEOS=1 NOPRESENTATIONS=1").wait(timeout=180) == 0
    assert os.path.exists(installed_file(wine, "bin", "Circuita.exe"))
    assert not os.path.exists(installed_file(wine, "videos", "intro.txt"))

    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    page = page_titled(wine, proc, t[45].replace("ProductX", "Circuita 5"))
    assert page.text(MESSAGE) == t[122].replace("ProductX", "Circuita 5")
    assert page.text(1032) == t[136] and page.text(OPTION2) == t[109]
    wine.driver.select_radio(OPTION2, hwnd=page["hwnd"])
    go(wine, page, NEXT)
    # The optional pages start with the material, which is not wanted; the presentations are.
    material = page_titled(wine, proc, t[159])
    wine.driver.select_radio(OPTION2, hwnd=material["hwnd"])
    go(wine, material, NEXT)
    go(wine, page_titled(wine, proc, t[101]), NEXT)
    assert proc.wait(timeout=180) == 0
    assert os.path.exists(installed_file(wine, "videos", "intro.txt"))
    assert os.path.exists(installed_file(wine, "presentations", "overview.txt"))
