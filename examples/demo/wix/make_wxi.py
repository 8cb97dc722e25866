#!/usr/bin/env python3
"""Writes the WiX include with the package's identities, taken from a settings document.

The launcher compares the installed product with its settings (product code, the main
program's component GUID, folder and registry names). Generating them from the settings'
main package keeps the package and the settings in step by construction.

usage: make_wxi.py SETTINGS OUT.wxi [--guid GUID] [--name NAME]
  --guid/--name build a sibling package (the portable edition's technology packages).
"""
import argparse
import sys
import xml.etree.ElementTree as ET

DEFINES = ("MainExeDir", "BIN_DIR_Guid", "ProdIdRegKey", "ShortcutNamePdf",
           "ShortcutTargetPdf", "StartMenuDir", "ShortcutNameApp", "ShortcutNameAppTechSelect")


def main_package_values(root):
    msi = root.find("msi")
    main_language = msi.find("output").get("main-package")
    for package in msi.findall("package"):
        if package.get("language") == main_language:
            return {d.get("var-name"): d.get("value") for d in package.iter("define")}
    sys.exit(f"settings: no package for the main-package language {main_language}")


def escape(value):
    # Values end up in a processing instruction; a double quote would end it early.
    if '"' in value or "$(" in value:
        sys.exit(f"settings: value not usable in a WiX define: {value!r}")
    return value


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("settings")
    parser.add_argument("out")
    parser.add_argument("--guid")
    parser.add_argument("--name")
    args = parser.parse_args()

    root = ET.parse(args.settings).getroot()
    product = root.find("product")
    boot = root.find("bootstrapper")
    link = boot.find("link-installation-only")
    values = {
        "ProductGuid": (args.guid or product.findtext("guid")).strip(),
        "ProductName": args.name or product.findtext("name"),
        "AppExeName": boot.findtext("start-application-on-stick"),
        "IconRegSubkey": link.find("regentry-icon").get("subkey"),
        "OpenRegSubkey": link.find("regentry-open").get("subkey"),
    }
    defines = main_package_values(root)
    missing = [name for name in DEFINES if name not in defines]
    if missing:
        sys.exit(f"settings: main package lacks defines {missing}")
    values.update({name: defines[name] for name in DEFINES})

    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             f"<!-- Generated from {args.settings} by make_wxi.py. -->", "<Include>"]
    lines += [f'  <?define {k} = "{escape(v)}" ?>' for k, v in values.items()]
    lines.append("</Include>")
    with open(args.out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
