"""Python side of uidriver.exe: finds windows and operates controls in one prefix.

Every method takes a window selector as keywords:
    title        substring of the title, case-insensitive
    exact_title  the whole title
    class_name   window class, e.g. "#32770" for dialogs and message boxes
    pid          Windows process id (WineProcess.pid)
    process      image name of the owning process, e.g. "setup.exe"
    has_id       only windows that hold a control with this id
    hwnd         one window, e.g. Window["hwnd"] from an earlier call
Among several matches the first enabled window in Z order wins (the modal one in front).
Timeouts are in seconds.
"""

import json
import re
import subprocess

from . import procs
from .wine import WineError

DEFAULT_TIMEOUT = 10.0
# Wine starts the driver in ~20-100 ms; the slack also covers a cold wineserver.
_PROCESS_SLACK = 20.0

_SELECTOR_FLAGS = {
    "title": "--title", "exact_title": "--exact-title", "class_name": "--class",
    "pid": "--pid", "process": "--process", "has_id": "--has-id", "hwnd": "--hwnd",
}

_EXIT_MEANING = {1: "bad usage", 2: "window not found", 3: "control not found or not usable",
                 4: "action had no effect", 5: "program could not start"}


class DriverError(WineError):
    def __init__(self, message, code=None):
        super().__init__(message)
        self.code = code


SS_NOPREFIX = 0x80


def without_mnemonics(text):
    """A caption as it reads: each Alt-letter mark '&' gone, '&&' one '&'."""
    return re.sub(r"&(.)", r"\1", text, flags=re.S)


def shown_text(control):
    """A control's text as the user reads it: buttons and statics without SS_NOPREFIX
    draw their '&' as the underline of the next letter."""
    text, cls = control.get("text", ""), control.get("class", "").lower()
    prefixed = cls == "button" or (cls == "static" and not int(control.get("style", "0"), 16) & SS_NOPREFIX)
    return without_mnemonics(text) if prefixed else text


class Window(dict):
    """A window as uidriver reports it: hwnd, title, class, pid, process, owner, visible,
    enabled, foreground, focus (the id of the control with the keyboard focus, or null),
    default (the id Enter presses, or null), rect [l, t, r, b] and controls (each: hwnd,
    id, class, text, visible, enabled, style, kind for buttons, checked, items/selected
    for combo and list boxes, pos/range for progress bars, rect). A control's text is the
    one on screen (shown_text); raw_text is what GetWindowText gave."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        for c in self.get("controls", []):
            c["raw_text"] = c["text"]
            c["text"] = shown_text(c)

    def control(self, id):
        """The control with this id, preferring a visible one (wizards keep hidden pages)."""
        matches = [c for c in self.get("controls", []) if c["id"] == id]
        if not matches:
            raise DriverError(f"window {self['title']!r} has no control {id}; it has: "
                              + ", ".join(f"{c['id']}:{c['class']}:{c['text']!r}"
                                          for c in self.get("controls", [])))
        visible = [c for c in matches if c["visible"]]
        return (visible or matches)[0]

    def text(self, id):
        return self.control(id)["text"]

    def visible_texts(self):
        return [c["text"] for c in self.get("controls", []) if c["visible"] and c["text"]]

    @property
    def message_text(self):
        """A message box's text (static control 0xFFFF)."""
        return self.text(0xFFFF)


def _selector_args(sel):
    args = []
    for key, value in sel.items():
        if value is None:
            continue
        if key not in _SELECTOR_FLAGS:
            raise TypeError(f"unknown window selector {key!r}")
        args += [_SELECTOR_FLAGS[key], str(value)]
    return args


class Driver:
    def __init__(self, prefix, **default_selector):
        self.prefix = prefix
        self.default_selector = default_selector

    def with_selector(self, **selector):
        """A driver whose calls default to this window selector, e.g. process="setup.exe"."""
        return Driver(self.prefix, **{**self.default_selector, **selector})

    # ------------------------------------------------------------- plumbing

    def call(self, args, timeout=DEFAULT_TIMEOUT, expect_json=True):
        argv = [self.prefix.loader, self.prefix.build.uidriver, *map(str, args)]
        for _ in range(3):
            try:
                rc, out, err = procs.run_captured(argv, env=self.prefix.env(),
                                                  timeout=timeout + _PROCESS_SLACK)
            except subprocess.TimeoutExpired:
                raise DriverError(f"uidriver {' '.join(map(str, args))} hung") from None
            err = err.decode("utf-8", errors="replace").strip()
            # uidriver always explains a bad usage; exit code 1 with nothing said is the
            # loader failing to start it (seen about once in a few hundred calls under load),
            # so the command never ran and may be given again.
            if not (rc == 1 and not err and not out):
                break
        if rc != 0:
            meaning = _EXIT_MEANING.get(rc, "failed")
            raise DriverError(f"uidriver {args[0]}: {meaning} ({rc}): {err}", rc)
        if not expect_json:
            return None
        out = out.decode("utf-8")
        try:
            return json.loads(out)
        except ValueError:
            raise DriverError(f"uidriver {args[0]} printed no JSON: {out!r} {err}") from None

    def _act(self, command, selector, timeout, extra=(), expect_json=False):
        sel = {**self.default_selector, **selector}
        args = [command, *_selector_args(sel), "--timeout", str(int(timeout * 1000)), *extra]
        try:
            return self.call(args, timeout=timeout, expect_json=expect_json)
        except DriverError as e:
            if e.code in (2, 3, 4):
                # What was on screen explains most misses: name the windows there.
                raise DriverError(f"{e}\n  windows now: {self._describe_screen()}",
                                  e.code) from None
            raise

    def _describe_screen(self):
        try:
            wins = self.list_windows()
        except DriverError:
            return "(could not list)"
        return "; ".join(f"{w['title']!r} [{w['class']}, {w['process']}, "
                         f"{'enabled' if w['enabled'] else 'disabled'}]" for w in wins) or "none"

    # ------------------------------------------------------------- queries

    def list_windows(self, all=False):
        """Visible top-level windows (all=True: hidden ones too), without controls."""
        return [Window(w) for w in self.call(["list", "--all"] if all else ["list"])]

    def wait_window(self, timeout=DEFAULT_TIMEOUT, **selector):
        """Waits for a matching visible window; returns it with all its controls."""
        return Window(self._act("wait", selector, timeout, expect_json=True))

    dump = wait_window

    def wait_gone(self, timeout=DEFAULT_TIMEOUT, **selector):
        """Waits until no visible window matches (e.g. a dialog closed)."""
        self._act("wait-gone", selector, timeout)

    def wait_message_box(self, timeout=DEFAULT_TIMEOUT, **selector):
        """Waits for a message box (a dialog with the 0xFFFF text static) and returns it."""
        return self.wait_window(timeout=timeout, **{"class_name": "#32770", "has_id": 0xFFFF,
                                                    **selector})

    # ------------------------------------------------------------- actions

    def click(self, id, timeout=DEFAULT_TIMEOUT, **selector):
        """Clicks a button (waits until it is visible and enabled). Returns at once, even if
        the click opens a modal window."""
        self._act("click", selector, timeout, ["--id", str(id)])

    def select_radio(self, id, timeout=DEFAULT_TIMEOUT, **selector):
        """Clicks a radio button (or check box) and, for a radio, waits until it is checked."""
        self._act("radio", selector, timeout, ["--id", str(id)])

    def type_text(self, id, text, timeout=DEFAULT_TIMEOUT, **selector):
        """Replaces an edit control's text and checks that it reads back the same."""
        self._act("type", selector, timeout, ["--id", str(id), "--text", text])

    def select_item(self, id, item=None, index=None, timeout=DEFAULT_TIMEOUT, **selector):
        """Selects a combo/list box entry by its text or index and notifies the owner."""
        extra = ["--id", str(id)]
        if item is not None:
            extra += ["--item", item]
        elif index is not None:
            extra += ["--index", str(index)]
        else:
            raise TypeError("select_item needs item or index")
        self._act("select", selector, timeout, extra)

    def answer_message_box(self, button, timeout=DEFAULT_TIMEOUT, **selector):
        """Presses ok/cancel/yes/no/abort/retry/ignore in the front window that has it."""
        self._act("answer", selector, timeout, ["--button", button])

    def close_window(self, timeout=DEFAULT_TIMEOUT, **selector):
        """Posts WM_CLOSE, as the title bar's close button does."""
        self._act("close", selector, timeout)

    def escape(self, timeout=DEFAULT_TIMEOUT, **selector):
        """Posts the command the Escape key gives a dialog."""
        self._act("escape", selector, timeout)

    def hammer(self, timeout=DEFAULT_TIMEOUT, **selector):
        """WM_CLOSE, Escape and Enter every few milliseconds until the window has gone."""
        self._act("hammer", selector, timeout)

    def kill(self, pid):
        """TerminateProcess on a Windows pid."""
        self.call(["kill", "--pid", str(pid)], expect_json=False)
