#!/usr/bin/env python3
"""Writes the demo's settings variants: the base document with a few items changed.

Every variant installs the same package and runtimes from the same product folder; only
the launcher's behaviour differs. README.md in the demo folder lists what each switches on.

usage: make_variants.py --list
       make_variants.py BASE_SETTINGS OUTDIR
"""
import os
import sys
import xml.etree.ElementTree as ET


def set_attr(path, name, value):
    def change(root):
        element = root.find(path)
        if element is None:
            raise KeyError(path)
        element.set(name, value)
    return change


def set_text(path, value):
    def change(root):
        element = root.find(path)
        if element is None:
            raise KeyError(path)
        element.text = value
    return change


def remove(path):
    def change(root):
        parent_path, _, child = path.rpartition("/")
        parent = root.find(parent_path) if parent_path else root
        element = parent.find(child) if parent is not None else None
        if element is None:
            raise KeyError(path)
        parent.remove(element)
    return change


# name -> (what it switches on, changes to the base document)
VARIANTS = {
    "pelaxo5": ("isPelaxo5: the program on the stick is Pelaxo5.exe",
                [set_text("bootstrapper/start-application-on-stick", "Pelaxo5.exe")]),
    "pelaxo4": ("isPelaxo4: the short name contains Pelaxo",
                [set_text("product/shortname", "Pelaxo4 Circuita")]),
    "pelaxo4-hyd": ("isPelaxo4 with technology hyd: videos offered as a download "
                    "(videosAsDownload) while the Videos feature is not installed",
                    [set_text("product/shortname", "Pelaxo4 Circuita"),
                     set_attr("technology", "domain", "hyd")]),
    "preconfig": ("preconfig-setup: offers the pre-configured setup",
                  [set_attr("bootstrapper", "preconfig-setup", "true")]),
    "pelaxo5-preconfig": ("isPelaxo5 with preconfig-setup: an Individual Setup whose copies apply "
                          "their presets",
                          [set_text("bootstrapper/start-application-on-stick", "Pelaxo5.exe"),
                           set_attr("bootstrapper", "preconfig-setup", "true")]),
    "togo": ("pelaxo-togo: portable edition, installs Support/MSI/Pelaxo5_P/H/E.msi",
             [set_attr("bootstrapper", "pelaxo-togo", "true")]),
    "external-msi": ("external-msi with additional-internal-msi: uses Support/MSI/Circuita.msi "
                     "when it equals the embedded package",
                     [set_attr("bootstrapper", "external-msi", "true"),
                      set_attr("bootstrapper", "additional-internal-msi", "true")]),
    "no-update": ("no update element: no update source configured",
                  [remove("update")]),
    "no-thumbex": ("no thumbex element: the thumbnail extension is not registered",
                   [remove("thumbex")]),
    "net40-medium": ("the 4.0 runtime is not embedded (empty id): taken from "
                     "Support/Dot_Net40_Client/ beside the launcher",
                     [set_attr("dot-net40-client-framework/resource", "id", "")]),
    "no-runtimes": ("no .NET runtime required: skips the runtime step",
                    [remove("dot-net20-framework"), remove("dot-net40-client-framework")]),
}


def write_variant(base, outdir, name):
    description, changes = VARIANTS[name]
    tree = ET.parse(base, parser=ET.XMLParser(target=ET.TreeBuilder(insert_comments=True)))
    root = tree.getroot()
    for change in changes:
        change(root)
    # Replace the base document's header comment, which says "edit this one".
    for node in list(root):
        if node.tag is ET.Comment and "make_variants.py" in (node.text or ""):
            root.remove(node)
    header = ET.Comment(f" Variant {name}, generated from {os.path.basename(base)} by "
                        f"make_variants.py: {description}. ")
    tree = ET.ElementTree(root)
    with open(os.path.join(outdir, name + ".xml"), "wb") as f:
        f.write(b'<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write(ET.tostring(header, encoding="utf-8") + b"\n")
        tree.write(f, encoding="utf-8", xml_declaration=False)
        f.write(b"\n")


def main(argv):
    if argv[1:] == ["--list"]:
        print(";".join(VARIANTS))
        return
    if len(argv) != 3:
        sys.exit(__doc__)
    base, outdir = argv[1:]
    os.makedirs(outdir, exist_ok=True)
    for name in VARIANTS:
        write_variant(base, outdir, name)


if __name__ == "__main__":
    main(sys.argv)
