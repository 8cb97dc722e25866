#!/usr/bin/env python3
"""setup-pack refuses the settings documents the launcher would refuse, naming the fault.

Usage: setup_pack_test.py <setup-pack> <settings.xml> [group]. Each case takes the demo
document, breaks one item and expects exit status 1 with the reader's code and words on
standard error; the intact document packs. The other groups: payload names that leave the
product folder, hostile texts in the generated files, outputs that cannot be written, and
the verdicts of --check."""
import ast
import os
import pathlib
import re
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


# setup-pack --check: (case, change to the demo document's text, the arguments after
# --check ({doc} the changed document), expected standard output, exit status, words
# expected on standard error or "").
CHECKS = [
    ("intact", None, ["{doc}"], "{doc}: accepted", 0, ""),
    ("missing element", lambda t: re.sub(r"<guid.*?</guid>", "", t, flags=re.S), ["{doc}"],
     "{doc}: refused (error 4): product has no guid", 1, ""),
    ("missing attribute", lambda t: t.replace(' resource-id="MSI_FILE"', ""), ["{doc}"],
     "{doc}: refused (error 40): output has no resource-id", 1, ""),
    ("unknown language", lambda t: t.replace(">en-us</language>", ">en-gb</language>"), ["{doc}"],
     "{doc}: refused (error 7): languages names an unknown language", 1, ""),
    ("no language", lambda t: re.sub(r"<language .*?</language>", "", t), ["{doc}"],
     "{doc}: refused (error 51): languages has no language", 1, ""),
    ("32-bit runtime only", lambda t: re.sub(r"<Bit32 [^>]*/>", "", t), ["{doc}"],
     "{doc}: refused (error 31): dot-net20-framework resource has no Bit32 (on 32-bit Windows)", 1, ""),
    # The launcher reads past a syntax error once it has every required item; the
    # packer would not pack the document, and the check says so beside its verdict.
    ("syntax error at the end", lambda t: t + "<trailing", ["{doc}"], "{doc}: accepted", 0,
     "setup-pack will not pack it"),
    ("unreadable file", None, ["{doc}.missing"], "", 2, "cannot read"),
    ("folder", None, ["{work}"], "", 2, "cannot read"),
    ("no document", None, [], "", 2, "usage:"),
    ("two documents", None, ["{doc}", "{doc}"], "", 2, "usage:"),
]


# Payload names the packer must refuse, each present as a file so only the name is at
# fault: (element below <installer>, attribute, name; {work} is the temporary folder).
OUTSIDE_NAMES = [
    ("msi/output", "file", "{work}/outside.msi"),
    ("msi/output", "file", "\\Circuita.msi"),
    ("msi/output", "file", "C:\\Circuita.msi"),
    ("msi/output", "file", "c:Circuita.msi"),
    ("msi/output", "file", "\\\\server\\share\\Circuita.msi"),
    ("msi/output", "file", "../outside.msi"),
    ("msi/output", "file", "sub\\..\\..\\outside.msi"),
    ("dot-net20-framework/resource/Bit32", "source-file", "runtimes/../../outside.msi"),
    ("dot-net40-client-framework/resource", "source-file", ".."),
]
INSIDE_NAMES = ["sub/Circuita.msi", "Circuita..msi", "..Circuita.msi"]

# Texts that must stay inside their string literal in the generated files; each is the
# product name and part of the folders' names.
HOSTILE_TEXTS = ['a "quote"', "back\\slash\\", "line\nbreak #define X", "carriage\r\nreturn"]

# Outputs that cannot be written: (output, how the output folder is prepared).
FULL_DISK = "/dev/full"
BLOCKED_OUTPUTS = [
    ("payload.rc", lambda out: (out / "payload.rc").mkdir(parents=True)),
    ("settings.bin", lambda out: (out / "settings.bin").symlink_to(FULL_DISK)),
    ("product_version.h", lambda out: (out / "product_version.h").symlink_to(FULL_DISK)),
    ("payload.rc", lambda out: (out / "payload.rc").symlink_to(FULL_DISK)),
]


def pack(tool, document, work):
    product = work / "product"
    product.mkdir(parents=True, exist_ok=True)
    for element in document.iter():
        for name in ("file", "source-file"):
            if name in element.attrib:
                stand_in = (product / element.attrib[name]).resolve()
                if work.resolve() in stand_in.parents:  # never outside the temporary folder
                    stand_in.parent.mkdir(parents=True, exist_ok=True)
                    stand_in.write_bytes(b"stand-in")
    path = work / "settings.xml"
    ET.ElementTree(document).write(path, encoding="utf-8", xml_declaration=True)
    return subprocess.run([tool, str(path), str(product), str(work / "out"), "5.0.2.0", str(path)],
                          capture_output=True, text=True)


def launcher_refusals(tool, settings, work):
    failures = []
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
    return failures, len(CASES) + 1


def payload_names(tool, settings, work):
    failures = []
    (work / "outside.msi").write_bytes(b"not the product's")
    for where, attribute, name in OUTSIDE_NAMES + [("msi/output", "file", n) for n in INSIDE_NAMES]:
        name = name.format(work=work)
        document = ET.parse(settings).getroot()
        document.find(where).set(attribute, name)
        result = pack(tool, document, work / "case")
        expected = (f'settings.xml": {where} {attribute} "{name}" '
                    "must name a file inside the product folder")
        if (name in INSIDE_NAMES) != (result.returncode == 0) or (
                result.returncode != 0 and expected not in result.stderr):
            failures.append(f"{name}: exit {result.returncode}, said {result.stderr.strip()!r}")
    return failures, len(OUTSIDE_NAMES) + len(INSIDE_NAMES)


def generated(work):
    """The lines of the generated files, and the texts of the product name's and the
    package's string literals."""
    lines = [line for output in ("payload.rc", "product_version.h")
             for line in (work / "out" / output).read_text().splitlines()]
    starts = ("#define SETUP_PRODUCT_NAME ", "MSI_FILE CUSTOM ")
    return len(lines), [ast.literal_eval(line[len(start):]) for start in starts
                        for line in lines if line.startswith(start)]


def hostile_texts(tool, settings, work):
    failures = []
    pack(tool, ET.parse(settings).getroot(), work / "plain")
    for text in HOSTILE_TEXTS:
        document = ET.parse(settings).getroot()
        document.find("product/name").text = text
        case = work / f"case {text}"  # in every path the generated files name
        result = pack(tool, document, case)
        try:  # no more lines than for plain texts, each text whole inside its literal
            found = generated(case)
        except (OSError, SyntaxError, ValueError) as e:
            found = e
        expected = (generated(work / "plain")[0], [text, str(case / "product" / "Circuita.msi")])
        if found != expected:
            failures.append(f"{text!r}: exit {result.returncode}, found {found}, "
                            f"said {result.stderr.strip()!r}")
    return failures, len(HOSTILE_TEXTS)


def blocked_outputs(tool, settings, work):
    failures = []
    for n, (output, prepare) in enumerate(BLOCKED_OUTPUTS):
        case = work / f"case{n}"
        (case / "out").mkdir(parents=True)
        prepare(case / "out")
        result = pack(tool, ET.parse(settings).getroot(), case)
        left = os.path.lexists(case / "out" / output) and not (case / "out" / output).is_dir()
        said = f'cannot write "{case / "out" / output}"'
        if result.returncode != 1 or said not in result.stderr or left:
            failures.append(f"{output} ({n}): exit {result.returncode}, left {left}, "
                            f"said {result.stderr.strip()!r}")
    return failures, len(BLOCKED_OUTPUTS)


def check_verdicts(tool, settings, work):
    failures = []
    demo = pathlib.Path(settings).read_text(encoding="utf-8")
    for name, change, arguments, expected, status, said in CHECKS:
        doc = work / "settings.xml"
        doc.write_text(change(demo) if change else demo, encoding="utf-8")
        arguments = [a.format(doc=doc, work=work) for a in arguments]
        result = subprocess.run([tool, "--check", *arguments], capture_output=True, text=True)
        output = expected.format(doc=doc) + "\n" if expected else ""
        if result.returncode != status or result.stdout != output or said not in result.stderr:
            failures.append(f"{name}: exit {result.returncode}, printed {result.stdout!r}, "
                            f"said {result.stderr.strip()!r}")
    return failures, len(CHECKS)


GROUPS = {"check": check_verdicts, "launcher": launcher_refusals, "names": payload_names, "texts": hostile_texts,
          "outputs": blocked_outputs}


def main():
    tool, settings = sys.argv[1], sys.argv[2]
    group = GROUPS[sys.argv[3] if len(sys.argv) > 3 else "launcher"]
    with tempfile.TemporaryDirectory() as temp:
        failures, count = group(tool, settings, pathlib.Path(temp))
    for line in failures:
        print(line)
    print(f"{count - len(failures)} of {count} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
