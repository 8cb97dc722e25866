#!/usr/bin/env python3
"""Compiles the setup help files (one CHM per file name in help_texts.py) with chmcmd.

chmcmd stamps each file with the time of day it ran; that stamp is replaced with
SOURCE_DATE_EPOCH's, so the same texts give the same bytes.

usage: make_help.py CHMCMD WORKDIR OUTDIR      (SOURCE_DATE_EPOCH from the environment)
"""
import html
import os
import struct
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
from help_texts import HELP  # noqa: E402

PAGE = """<html><head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{heading}</title></head>
<body><h1>{heading}</h1><p>{text}</p></body></html>
"""


def _encint(data, at):
    value = 0
    while True:
        byte = data[at]
        value, at = (value << 7) | (byte & 0x7F), at + 1
        if byte < 0x80:
            return value, at


def directory_entry(data, wanted):
    """(section, offset, length) of a file in a CHM's listing chunks (PMGL), or None."""
    directory, content = struct.unpack_from("<Q", data, 0x48)[0], struct.unpack_from("<Q", data, 0x58)[0]
    header_size, _, chunk_size = struct.unpack_from("<III", data, directory + 8)
    chunk = directory + header_size
    while chunk < content:
        if data[chunk:chunk + 4] == b"PMGL":
            at, end = chunk + 20, chunk + chunk_size - struct.unpack_from("<I", data, chunk + 4)[0]
            while at < end:
                size, at = _encint(data, at)
                name, at = data[at:at + size], at + size
                section, at = _encint(data, at)
                offset, at = _encint(data, at)
                length, at = _encint(data, at)
                if name == wanted:
                    return section, content + offset, length
        chunk += chunk_size
    return None


def stamp(data, epoch):
    """The header's time stamp and #SYSTEM's (record 10) set to epoch's time of day, in
    milliseconds as chmcmd writes them."""
    out = bytearray(data)
    stamp_value = epoch % 86400 * 1000
    struct.pack_into(">I", out, 0x10, stamp_value)
    entry = directory_entry(data, b"/#SYSTEM")
    if entry is None or entry[0] != 0:
        sys.exit("make_help: no uncompressed #SYSTEM in the compiled help")
    _, at, length = entry
    end, at = at + length, at + 4
    while at + 4 <= end:
        code, size = struct.unpack_from("<HH", data, at)
        if code == 10 and size == 4:
            struct.pack_into("<I", out, at + 4, stamp_value)
        at += 4 + size
    return bytes(out)


def source_date_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not value.isdigit():
        sys.exit("SOURCE_DATE_EPOCH must be set to seconds since 1970 (the build sets it)")
    return int(value)


def build(chmcmd, workdir, outdir, name, language, title, topics):
    folder = os.path.join(workdir, os.path.splitext(name)[0])
    os.makedirs(folder, exist_ok=True)
    pages = []
    for number, (heading, text) in sorted(topics.items()):
        page = f"setup_{number}.htm"
        with open(os.path.join(folder, page), "w", encoding="utf-8") as f:
            f.write(PAGE.format(heading=html.escape(heading), text=html.escape(text)))
        pages.append(page)
    project = os.path.join(folder, "help.hhp")
    with open(project, "w", encoding="utf-8", newline="\r\n") as f:
        f.write("[OPTIONS]\nCompatibility=1.1 or later\n"
                f"Compiled file={name}\nDefault topic={pages[0]}\n"
                f"Display compile progress=No\nLanguage={language}\nTitle={title}\n\n"
                "[FILES]\n" + "\n".join(pages) + "\n")
    # chmcmd prints its banner on every run; show its output only when it fails.
    run = subprocess.run([chmcmd, "--no-html-scan", "--verbosity", "0", "help.hhp"], cwd=folder,
                         capture_output=True, text=True)
    if run.returncode != 0 or not os.path.exists(os.path.join(folder, name)):
        sys.exit(f"chmcmd failed for {name}:\n{run.stdout}{run.stderr}")
    with open(os.path.join(folder, name), "rb") as f:
        data = stamp(f.read(), source_date_epoch())
    with open(os.path.join(outdir, name), "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    chmcmd, workdir, outdir = argv[1:]
    os.makedirs(outdir, exist_ok=True)
    for name, (language, title, topics) in HELP.items():
        build(chmcmd, workdir, outdir, name, language, title, topics)


if __name__ == "__main__":
    main(sys.argv)
