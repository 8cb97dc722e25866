#!/usr/bin/env python3
"""Compiles the setup help files (one CHM per file name in help_texts.py) with chmcmd.

usage: make_help.py CHMCMD WORKDIR OUTDIR
"""
import html
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
from help_texts import HELP  # noqa: E402

PAGE = """<html><head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{heading}</title></head>
<body><h1>{heading}</h1><p>{text}</p></body></html>
"""


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
    os.replace(os.path.join(folder, name), os.path.join(outdir, name))


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    chmcmd, workdir, outdir = argv[1:]
    os.makedirs(outdir, exist_ok=True)
    for name, (language, title, topics) in HELP.items():
        build(chmcmd, workdir, outdir, name, language, title, topics)


if __name__ == "__main__":
    main(sys.argv)
