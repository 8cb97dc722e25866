#!/usr/bin/env python3
"""Holds every include of the source tree to the layer order of the build.

Each folder is one library and may include only itself and the folders below it:

    platform < text < config < ui, install, download < app
    platform/win32 (beside platform) < ui/win32 (above ui)

ui, install and download stand side by side and do not include one another; app joins
them.

The flow (app/) alone navigates: no file below it writes the run's flowState, its
backTarget or forwardDirection. Pages and steps report results and the flow routes them;
a low layer that writes a state name would become a second, unseen routing table.

The settings reader (config/settings_reader.cpp) alone writes the product's settings: every
other file reads run.product; one that changed it would make the settings document say
one thing and the run do another.

Usage: check_layers.py [source root]; exit status 1 lists each include that runs against
the order as "<file>:<line>: <folder> includes <header>" and each navigation write
outside app/ as "<file>:<line>: <folder> writes <field>", and each write of the product's
settings outside the reader as "<file>:<line>: <folder> writes product.<field>".
"""
import pathlib
import re
import sys

# What each folder may include besides itself.
ALLOWED = {
    "platform": {"platform"},
    "text": {"platform"},
    "config": {"platform", "text"},
    "ui": {"platform", "text", "config"},
    "install": {"platform", "text", "config"},
    "download": {"platform", "text", "config"},
    "app": {"platform", "text", "config", "ui", "install", "download"},
    "platform/win32": {"platform"},
    "ui/win32": {"platform", "text", "config", "ui", "platform/win32", "res"},
    "app/win32": {"platform", "text", "config", "ui", "install", "download", "app",
                  "platform/win32", "ui/win32", "res"},
}
SOURCE_SUFFIXES = {".h", ".cpp", ".c"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')

# The navigation the flow alone writes, and what counts as writing it: an assignment
# (also compound, also to an element: backTarget[x] = ...) or a changing member call.
NAVIGATION = ("flowState", "backTarget", "forwardDirection")
NAVIGATION_WRITE = re.compile(
    r"\b(" + "|".join(NAVIGATION) + r")\b\s*(?:\[[^\]]*\]\s*)?"
    r"(?:(?:[-+*/%&|^]|<<|>>)?=(?!=)|\.\s*(?:assign|append|insert|insert_or_assign|emplace|erase|clear|swap"
    r"|replace|push_back|pop_back|resize)\s*\()")
# A write through the run's product member: run.product.x = ..., app.product.y[i].append(...).
WRITE_TAIL = (r"\s*(?:\[[^\]]*\]\s*)?"
              r"(?:(?:[-+*/%&|^]|<<|>>)?=(?!=)|\.\s*(?:assign|append|insert|insert_or_assign|emplace|erase|clear|swap"
              r"|replace|push_back|pop_back|resize)\s*\()")
PRODUCT_WRITE = re.compile(r"\bproduct\s*\.\s*(\w+)" + WRITE_TAIL)
PRODUCT_WRITER = "config/settings_reader.cpp"
# A member's declaration with its first value is no write: a type stands before the name.
DECLARATION = re.compile(r"^\s*(?!return\b)[\w:<>,]+\s*&?\s+$")
COMMENT = re.compile(r"//.*$")
# A string literal, so a quoted "flowState = x" in a message is no write.
STRING = re.compile(r'"(?:[^"\\]|\\.)*"')


def folder_of(relative):
    """The layer a path belongs to: the longest folder of ALLOWED it lies in."""
    parts = pathlib.PurePosixPath(relative).parts
    for length in (2, 1):
        name = "/".join(parts[:length])
        if len(parts) > length and (name in ALLOWED or name == "res"):
            return name
    return None


def sources(root):
    """Each source file of a layer folder: (relative path, its folder, its lines)."""
    tops = sorted({name.split("/")[0] for name in ALLOWED})
    for path in sorted(p for top in tops for p in (root / top).rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(root).as_posix()
        own = folder_of(relative)
        if own in ALLOWED:
            yield relative, own, path.read_text(encoding="utf-8", errors="replace").splitlines()


def violations(root):
    for relative, own, lines in sources(root):
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = folder_of(match.group(1))
            if target is None or target == own or target in ALLOWED[own]:
                continue
            yield f"{relative}:{number}: {own} includes {match.group(1)}"


def writes(root, pattern, allowed, name):
    """Each write the pattern finds in a file allowed(relative, folder) does not exempt, as
    "<file>:<line>: <folder> writes <name(match)>"."""
    for relative, own, lines in sources(root):
        if allowed(relative, own):
            continue
        for number, line in enumerate(lines, 1):
            code = COMMENT.sub("", STRING.sub('""', line))
            for match in pattern.finditer(code):
                if not DECLARATION.match(code[:match.start()]):
                    yield f"{relative}:{number}: {own} writes {name(match)}"


def navigation_writes(root):
    return writes(root, NAVIGATION_WRITE, lambda relative, own: own.split("/")[0] == "app",
                  lambda match: match.group(1))


def product_writes(root):
    return writes(root, PRODUCT_WRITE, lambda relative, own: relative == PRODUCT_WRITER,
                  lambda match: "product." + match.group(1))


def report(found, failed, passed):
    for line in found:
        print(line)
    print(f"{len(found)} {failed}" if found else passed)
    return bool(found)


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent).resolve()
    failed = [report(list(violations(root)), "include(s) against the layer order",
                     "every include follows the layer order"),
              report(list(navigation_writes(root)), "navigation write(s) outside app/",
                     "only the flow in app/ writes the navigation"),
              report(list(product_writes(root)), "product settings write(s) outside the settings reader",
                     "only the settings reader writes the product's settings")]
    return 1 if any(failed) else 0


if __name__ == "__main__":
    sys.exit(main())
