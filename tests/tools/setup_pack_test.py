#!/usr/bin/env python3
"""setup-pack refuses the settings documents the launcher would refuse, naming the fault.

Usage: setup_pack_test.py <setup-pack> <settings.xml>. Each case takes the demo
document, breaks one item and expects exit status 1 with the reader's code and words on
standard error; the intact document packs."""
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# (what breaks, the element's path below <installer>, attribute or None, expected line)
CASES = [
    ("icon entry", "bootstrapper/link-installation-only/regentry-icon", None,
     "-16: link-installation-only has no regentry-icon"),
    ("open subkey", "bootstrapper/link-installation-only/regentry-open", "subkey",
     "-19: regentry-open has no subkey"),
    ("product guid", "product/guid", None, "-4: product has no guid"),
    ("32-bit runtime", "dot-net20-framework/resource/Bit32", None,
     "-31: dot-net20-framework resource has no Bit32\n"),
    ("64-bit runtime", "dot-net20-framework/resource/Bit64", None,
     "-30: dot-net20-framework resource has no Bit64 (on 64-bit Windows)"),
    ("package resource", "msi/output", "resource-id", "-40: output has no resource-id"),
]


def pack(tool, document, work):
    product = work / "product"
    product.mkdir(exist_ok=True)
    for element in document.iter():
        for name in ("file", "source-file"):
            if name in element.attrib:
                (product / element.attrib[name]).write_bytes(b"stand-in")
    path = work / "settings.xml"
    ET.ElementTree(document).write(path, encoding="utf-8", xml_declaration=True)
    return subprocess.run([tool, str(path), str(product), str(work / "out"), "5.0.2.0", str(path)],
                          capture_output=True, text=True)


def main():
    tool, settings = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        intact = pack(tool, ET.parse(settings).getroot(), work)
        payload = (work / "out" / "payload.rc")
        if intact.returncode != 0 or not payload.exists() or "SETTINGS CUSTOM" not in payload.read_text():
            failures.append(f"intact document: exit {intact.returncode}, {intact.stderr.strip()}")
        for name, where, attribute, expected in CASES:
            document = ET.parse(settings).getroot()
            element = document.find(where)
            if element is None:
                failures.append(f"{name}: the demo document has no {where}")
                continue
            if attribute:
                del element.attrib[attribute]
            else:
                parent = document.find(where.rsplit("/", 1)[0]) if "/" in where else document
                parent.remove(element)
            result = pack(tool, document, work)
            if result.returncode != 1 or expected not in result.stderr + "\n":
                failures.append(f"{name}: exit {result.returncode}, said {result.stderr.strip()!r}, "
                                f"expected {expected.strip()!r}")
    for line in failures:
        print(line)
    print(f"{len(CASES) + 1 - len(failures)} of {len(CASES) + 1} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
