"""An installation medium inside a scenario's prefix: a copy of a built product's
setup.exe (and what lies beside it), optionally with another settings document."""

import os
import shutil
import subprocess
import time

from harness.driver import without_mnemonics

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEMO_SETTINGS = os.path.join(REPO, "examples", "demo", "settings.xml")

ERROR_CAPTION_BEFORE_SETTINGS = "setup"


def demo_settings():
    with open(DEMO_SETTINGS, encoding="utf-8") as f:
        return f.read()


def edited(text, old, new):
    """The settings text with one exact piece replaced; the piece must be there."""
    assert old in text, f"{old!r} is not in the settings document"
    return text.replace(old, new, 1)


class Medium:
    def __init__(self, wine, product="demo", folder="medium"):
        self.wine = wine
        source = wine.build.path(os.path.join("products", product))
        self.folder = os.path.join(wine.drive_c, folder)
        shutil.copytree(source, self.folder)
        self.setup_exe = os.path.join(self.folder, "setup.exe")

    def set_settings(self, xml_text=None, mode=None):
        """Embeds another settings document: xml_text (scrambled as the build does), or
        mode ("--raw", bytes) for a resource taken as it is."""
        tool = self.wine.build.require("tests/win32tools/set-settings.exe")
        args = [self.wine.to_windows(self.setup_exe)]
        if xml_text is not None:
            path = os.path.join(self.folder, "settings-under-test.xml")
            with open(path, "w", encoding="utf-8") as f:
                f.write(xml_text)
            args.append(self.wine.to_windows(path))
        else:
            path = os.path.join(self.folder, "raw-settings.bin")
            with open(path, "wb") as f:
                f.write(mode[1])
            args += [mode[0], self.wine.to_windows(path)]
        code = self.wine.run(tool, *args, timeout=60)
        assert code == 0, f"set-settings failed with {code}"

    def start(self, *args, env=None):
        return self.wine.start(self.setup_exe, *args, env=env, cwd=self.folder)

    def start_typed(self, arguments):
        """setup.exe with its arguments exactly as typed at a prompt (quotes and all), run
        from a batch file; the batch's exit code is the launcher's."""
        batch = os.path.join(self.folder, "typed.cmd")
        with open(batch, "w", newline="\r\n") as f:
            f.write(f"@{self.wine.to_windows(self.setup_exe)} {arguments}\nexit /b %ERRORLEVEL%\n")
        return self.wine.start("cmd", "/c", self.wine.to_windows(batch), cwd=self.folder)


# Control ids of the wizard pages.
TITLE = 1029
CANCEL = 1019


def wait_start_page(wine, proc, timeout=30):
    """The launcher's start page (the dialog with the command buttons)."""
    return wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=1014, timeout=timeout)


def cancel_run(wine, proc, page):
    """Cancel on a page, confirmed with Yes; the launcher must end with exit code 0.
    Returns the confirmation's text."""
    wine.driver.click(CANCEL, hwnd=page["hwnd"])
    question = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    wine.driver.answer_message_box("yes", hwnd=question["hwnd"])
    assert proc.wait(timeout=30) == 0
    return question.message_text


def page_titled(wine, proc, title, timeout=30):
    """Waits until the launcher's front page shows this title."""
    deadline = time.monotonic() + timeout
    while True:
        page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=TITLE, timeout=timeout)
        # A short-lived page (an extraction) may be gone before its controls are read.
        shown = [c["text"] for c in page.get("controls", []) if c["id"] == TITLE]
        if shown and page.text(TITLE) == title:
            return page
        if time.monotonic() > deadline:
            raise AssertionError(f"expected the page {title!r}, the launcher shows {shown[:1]!r}")
        time.sleep(0.2)


def waiting_page(wine, proc, passing=(), timeout=60):
    """The launcher's next page that waits for the user. Pages headed by one of passing
    (progress pages that end by themselves) and pages still being built are waited out."""
    deadline = time.monotonic() + timeout
    while True:
        page = wine.driver.wait_window(pid=proc.pid, class_name="#32770", has_id=TITLE, timeout=timeout)
        shown = [c["text"] for c in page.get("controls", []) if c["id"] == TITLE]
        title = shown[0] if shown else ""
        if title and title not in passing:
            return page
        if time.monotonic() > deadline:
            raise AssertionError(f"no page waiting for the user after {timeout} s; the last was {title!r}")
        time.sleep(0.3)


def extension_page(t, product="Circuita 5"):
    """The heading of the thumbnail extension's progress page, which comes and goes by itself."""
    return t[16].replace("ProductX", product)


def go(wine, page, button):
    wine.driver.click(button, hwnd=page["hwnd"])
    wine.driver.wait_gone(hwnd=page["hwnd"], timeout=30)


def x_window_of(wine, window):
    """The X window Wine made for a window: of those with its title (a page and its message
    box share one), the one nearest its size."""
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=wine.display.name), check=True,
                              capture_output=True, text=True, timeout=20).stdout
    width, height = window["rect"][2] - window["rect"][0], window["rect"][3] - window["rect"][1]

    def misfit(xid):
        geometry = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", xid).split())
        return abs(int(geometry["WIDTH"]) - width) + abs(int(geometry["HEIGHT"]) - height)
    exact = "^" + "".join("\\" + c if c in ".[]()*+?{}|^$\\" else c for c in window["title"]) + "$"
    return min(xdotool("search", "--sync", "--onlyvisible", "--name", exact).split(), key=misfit)


def keys(wine, window, typed, gone=True, timeout=30):
    """Types into the window as a user does, through the X server (xdotool key: "alt+n",
    "Tab Return"); gone: then waits until the window has closed. The window first gets
    the X keyboard focus, which Windows gives a new window and this window manager does
    not; the keys wait until the page has focused its control, so none goes astray."""
    deadline = time.monotonic() + 10
    while window.get("class") == "#32770" and window.get("focus") is None and time.monotonic() < deadline:
        time.sleep(0.1)
        window = wine.driver.wait_window(hwnd=window["hwnd"])
    env = dict(os.environ, DISPLAY=wine.display.name)
    subprocess.run(["xdotool", "windowfocus", "--sync", x_window_of(wine, window)], env=env, check=True,
                   capture_output=True, timeout=20)
    time.sleep(0.2)
    subprocess.run(["xdotool", "key", "--delay", "150", *typed.split()], env=env, check=True, capture_output=True,
                   timeout=20)
    if gone:
        wine.driver.wait_gone(hwnd=window["hwnd"], timeout=timeout)


BACK = 1015
NEXT = 1035
MESSAGE = 1028
INSTALL = 1014
FOURTH = 1027
LANGUAGES = 1000
OPTION2 = 1033


def with_support(medium):
    """Copies the product's Support folder (cabinets, external package) onto the medium."""
    source = medium.wine.build.path(os.path.join("examples", "demo", "product", "Support"))
    shutil.copytree(source, os.path.join(medium.folder, "Support"))
    return medium


def texts(language, marks=False):
    """The text table column of a language code ("de", "en", ...) as the pages show it: a
    caption's Alt-letter mark is gone, as in the harness's control texts. marks=True keeps
    the cells as they are."""
    import re
    path = os.path.join(REPO, "text", f"texts_{language}.cpp")
    with open(path, encoding="utf-8") as f:
        source = f.read()
    cells = {}
    for m in re.finditer(r'/\*\s*(\d+)\s*\*/\s*u8?"((?:[^"\\]|\\.)*)"', source):
        cell = m.group(2).encode("utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8")
        cells[int(m.group(1))] = cell if marks else without_mnemonics(cell)
    return cells


def run_log(wine):
    """The text of the newest run log the launcher left in the user's temporary folder."""
    import glob
    logs = glob.glob(os.path.join(wine.drive_c, "users", "*", "**", "Temp", "*-????????-??????.log"), recursive=True)
    assert logs, "the launcher left no run log in the temporary folder"
    with open(max(logs, key=os.path.getmtime), encoding="utf-8-sig") as f:
        return f.read()


def assert_logged(wine, *lines):
    """Each line (a regular expression) is in the newest run log, in this order."""
    import re
    text = run_log(wine)
    at = 0
    for line in lines:
        found = re.compile(line, re.M).search(text, at)
        assert found, f"{line!r} is not in the run log (after offset {at}):\n{text}"
        at = found.end()


def make_immutable(path):
    """A folder even root cannot write to (Wine runs as root, so modes do not stop it).
    False when chattr is missing or refused; undo with release_immutable."""
    chattr = shutil.which("chattr")
    if not chattr:
        return False
    return subprocess.run([chattr, "+i", path], stderr=subprocess.DEVNULL).returncode == 0


def release_immutable(path):
    subprocess.run(["chattr", "-i", path], stderr=subprocess.DEVNULL)
