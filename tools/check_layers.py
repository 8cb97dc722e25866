#!/usr/bin/env python3
"""Holds every include of the source tree to the layer order of the build.

Each folder is one library and may include only itself and the folders below it:

    platform < text < config < ui, install, download < app
    platform/win32 (beside platform) < ui/win32 (above ui)

ui, install and download stand side by side and do not include one another; app joins
them. Usage: check_layers.py [source root]; exit status 1 lists each include that
runs against the order as "<file>:<line>: <folder> includes <header>".
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


def folder_of(relative):
    """The layer a path belongs to: the longest folder of ALLOWED it lies in."""
    parts = pathlib.PurePosixPath(relative).parts
    for length in (2, 1):
        name = "/".join(parts[:length])
        if len(parts) > length and (name in ALLOWED or name == "res"):
            return name
    return None


def violations(root):
    tops = sorted({name.split("/")[0] for name in ALLOWED})
    for path in sorted(p for top in tops for p in (root / top).rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(root).as_posix()
        own = folder_of(relative)
        if own not in ALLOWED:
            continue
        lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = folder_of(match.group(1))
            if target is None or target == own or target in ALLOWED[own]:
                continue
            yield f"{relative}:{number}: {own} includes {match.group(1)}"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = list(violations(root.resolve()))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the layer order")
        return 1
    print("every include follows the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
