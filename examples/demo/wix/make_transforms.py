#!/usr/bin/env python3
"""Embeds a language transform for each language the settings package besides the main
package's, as the launcher asks for them with TRANSFORMS=":<culture>.mst" (wixl and
msitools make no transforms).

Each transform sets the property PACKAGE_LANGUAGE to its culture, which the package
records in the registry, so a test reads back which transform the installer applied. It is
a storage "<culture>.mst" inside the package with its summary information (no validation
conditions), its own string pool and the changed Property rows.

usage: make_transforms.py PACKAGE.msi SETTINGS.xml
"""
import os
import struct
import sys
import uuid
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compound_file  # noqa: E402
from msi_tables import Database  # noqa: E402

TRANSFORM_CLSID = uuid.UUID("000C1082-0000-0000-C000-000000000046").bytes_le
SUMMARY_FMTID = uuid.UUID("F29F85E0-4FF9-1068-AB91-08002B27B3D9").bytes_le
CODEPAGE = 1252
LCIDS = {"de-de": 1031, "en-us": 1033, "es-es": 3082, "fr-fr": 1036, "it-it": 1040, "cs-cz": 1029}
PID_CODEPAGE, PID_TEMPLATE, PID_REVNUMBER, PID_PAGECOUNT, PID_CHARCOUNT = 1, 7, 9, 14, 16


def _base64_digit(c):
    for first, last, value in (("0", "9", 0), ("A", "Z", 10), ("a", "z", 36)):
        if first <= c <= last:
            return ord(c) - ord(first) + value
    return {".": 62, "_": 63}.get(c, -1)


def table_stream_name(table):
    """The stream name of a table: a marker, then pairs of name characters packed into one."""
    out, i = ["\u4840"], 0
    while i < len(table):
        a = _base64_digit(table[i])
        b = _base64_digit(table[i + 1]) if i + 1 < len(table) else -1
        if a >= 0 and b >= 0:
            out.append(chr(0x3800 + a + (b << 6)))
            i += 2
        else:
            out.append(chr(0x4800 + a) if a >= 0 else table[i])
            i += 1
    return "".join(out)


def summary_information(properties):
    """A property set stream of (id, str or int) pairs: ANSI strings and 4-byte integers,
    the code page as a 2-byte integer."""
    values = []
    for pid, value in properties:
        if isinstance(value, str):
            text = value.encode("cp1252") + b"\0"
            values.append((pid, struct.pack("<II", 30, len(text)) + text + b"\0" * (-len(text) % 4)))
        elif pid == PID_CODEPAGE:
            values.append((pid, struct.pack("<IhH", 2, value, 0)))
        else:
            values.append((pid, struct.pack("<Ii", 3, value)))
    offset, index, body = 8 + 8 * len(values), b"", b""
    for pid, raw in values:
        index += struct.pack("<II", pid, offset + len(body))
        body += raw
    section = struct.pack("<II", offset + len(body), len(values)) + index + body
    return (struct.pack("<HHI", 0xFFFE, 0, 0x00020006) + b"\0" * 16 + struct.pack("<I", 1) + SUMMARY_FMTID +
            struct.pack("<I", 48) + section)


def property_transform(name, properties, product_code, upgrade_code, version, lcid):
    """A transform storage that sets (inserts or replaces) Property rows."""
    strings = []

    def string_id(text):
        if text not in strings:
            strings.append(text)
        return strings.index(text) + 1
    # A full row: bit 0 set and the column count in the high byte, then both string ids.
    rows = b"".join(struct.pack("<HHH", 0x0201, string_id(k), string_id(v)) for k, v in properties.items())
    pool = struct.pack("<HH", CODEPAGE, 0) + b"".join(struct.pack("<HH", len(s.encode("cp1252")), 1)
                                                      for s in strings)
    data = b"".join(s.encode("cp1252") for s in strings)
    # From and to the same product and version: a transform of this package only.
    applies = f"{product_code}{version};{product_code}{version};{upgrade_code}"
    summary = summary_information([(PID_CODEPAGE, CODEPAGE), (PID_TEMPLATE, f";{lcid}"), (PID_REVNUMBER, applies),
                                   (PID_PAGECOUNT, 200), (PID_CHARCOUNT, 0)])
    return compound_file.Storage(name, [
        compound_file.Stream("\x05SummaryInformation", summary),
        compound_file.Stream(table_stream_name("_StringPool"), pool),
        compound_file.Stream(table_stream_name("_StringData"), data),
        compound_file.Stream(table_stream_name("Property"), rows),
    ], TRANSFORM_CLSID)


def package_properties(path, names):
    db = Database(path)
    try:
        rows = db.execute("SELECT `Property`, `Value` FROM `Property`")
    finally:
        db.close()
    found = {row[0]: row[1] for row in rows}
    return [found[name] for name in names]


def transformed_cultures(settings):
    """The packaged languages the launcher passes a transform for."""
    msi = ET.parse(settings).getroot().find("msi")
    main_package = msi.find("output").get("main-package")
    return [p.get("language") for p in msi.findall("package") if p.get("language") != main_package]


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    path, settings = argv[1:]
    product_code, upgrade_code, version = package_properties(path, ["ProductCode", "UpgradeCode", "ProductVersion"])
    with open(path, "rb") as f:
        root = compound_file.read(f.read())
    for culture in transformed_cultures(settings):
        lcid = LCIDS[culture]
        name = culture + ".mst"
        root.children = [c for c in root.children if c.name != name]
        root.children.append(property_transform(name, {"PACKAGE_LANGUAGE": culture}, product_code, upgrade_code,
                                                version, lcid))
    with open(path + ".new", "wb") as f:
        f.write(compound_file.write(root))
    os.replace(path + ".new", path)


if __name__ == "__main__":
    main(sys.argv)
