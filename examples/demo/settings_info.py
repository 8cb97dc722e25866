#!/usr/bin/env python3
"""Writes the names CMake needs from a settings document as a CMake script to include.

The program, package, runtime and help file names are all set in settings.xml; the build
takes them from there instead of repeating them.

usage: settings_info.py SETTINGS OUT.cmake
"""
import sys
import xml.etree.ElementTree as ET


def info(root):
    boot = root.find("bootstrapper")
    guid = root.find("product/guid")
    msi = root.find("msi")
    net20 = root.find("dot-net20-framework/resource")
    net40 = root.find("dot-net40-client-framework/resource")
    helps = []
    for language in boot.find("languages").findall("language"):
        name = language.get("help-file")
        if name and name not in helps:
            helps.append(name)
    cabs = [msi.get(a) for a in ("video-cab-file1", "video-cab-file2", "presentations-cab-file1")]
    return {
        "DEMO_APP_EXE": boot.findtext("start-application-on-stick"),
        "DEMO_MSI_FILE": msi.find("output").get("file"),
        "DEMO_NETFX20_X86": net20.find("Bit32").get("source-file"),
        "DEMO_NETFX20_X64": net20.find("Bit64").get("source-file"),
        "DEMO_NETFX40": net40.get("source-file"),
        "DEMO_HELP_FILES": ";".join(helps),
        "DEMO_VIDEO_CAB1": cabs[0] or "media2.cab",
        "DEMO_VIDEO_CAB2": cabs[1] or "",
        "DEMO_PRESENTATIONS_CAB": cabs[2] or "media3.cab",
        "DEMO_EDITION_GUID_P": guid.get("pelaxo5-p-guid").strip(),
        "DEMO_EDITION_GUID_H": guid.get("pelaxo5-h-guid").strip(),
        "DEMO_EDITION_GUID_E": guid.get("pelaxo5-e-guid").strip(),
    }


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    values = info(ET.parse(argv[1]).getroot())
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(f"# Generated from {argv[1]} by settings_info.py.\n")
        for key, value in values.items():
            if '"' in value or "\\" in value or "$" in value:
                sys.exit(f"settings: {key} value not usable as a file name: {value!r}")
            f.write(f'set({key} "{value}")\n')


if __name__ == "__main__":
    main(sys.argv)
