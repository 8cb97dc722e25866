#!/usr/bin/env python3
"""Makes a finished package the same bytes whenever it is built from the same sources.

wixl writes the build's clock into the summary information (created, last saved), draws a
random package code, and its cabinets take each file's modification time. Here the times
become SOURCE_DATE_EPOCH and the package code is derived from everything else in the
package, so a different package still gets a different code, as Windows Installer needs.

usage: stamp_package.py PACKAGE.msi      (SOURCE_DATE_EPOCH from the environment)
"""
import hashlib
import os
import struct
import sys
import time
import uuid

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compound_file  # noqa: E402

SUMMARY = "\x05SummaryInformation"
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
# Package codes of this tree: a name-based UUID over the package's content.
PACKAGE_CODE_NAMESPACE = uuid.UUID("5b0c1a52-7a35-4d3c-9a51-3c3b9d2f6e10")
_FILETIME_1970 = 116444736000000000  # 100 ns ticks from 1601 to 1970


def source_date_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not value.isdigit():
        sys.exit("SOURCE_DATE_EPOCH must be set to seconds since 1970 (the build sets it)")
    return int(value)


def dos_date_time(seconds):
    """A cabinet's date and time words, in UTC so the machine's zone does not enter."""
    t = time.gmtime(max(seconds, 315532800))  # DOS dates start in 1980
    return (((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday,
            (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2))


def _properties(stream):
    """The first section's properties: {pid: (type, value bytes after the type word)}."""
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    entries = sorted((struct.unpack_from("<II", stream, section + 8 + 8 * i) for i in range(count)),
                     key=lambda e: e[1])
    ends = [offset for _, offset in entries[1:]] + [struct.unpack_from("<I", stream, section)[0]]
    return {pid: (struct.unpack_from("<I", stream, section + offset)[0], stream[section + offset + 4:section + end])
            for (pid, offset), end in zip(entries, ends)}


def _summary(header, properties):
    offset, index, body = 8 + 8 * len(properties), b"", b""
    for pid, (kind, value) in sorted(properties.items()):
        index += struct.pack("<II", pid, offset + len(body))
        body += struct.pack("<I", kind) + value
    return header + struct.pack("<II", offset + len(body), len(properties)) + index + body


def stamp_summary(stream, epoch, package_code):
    properties = _properties(stream)
    ticks = struct.pack("<Q", _FILETIME_1970 + epoch * 10000000)
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        if pid in properties:
            properties[pid] = (VT_FILETIME, ticks)
    text = package_code.encode("ascii") + b"\0"
    properties[PID_REVNUMBER] = (VT_LPSTR, struct.pack("<I", len(text)) + text + b"\0" * (-len(text) % 4))
    return _summary(stream[:struct.unpack_from("<I", stream, 44)[0]], properties)


def stamp_cabinet(data, epoch):
    """Sets every file entry's date and time; the data blocks' checksums do not cover them."""
    if data[:4] != b"MSCF":
        return data
    out = bytearray(data)
    files = struct.unpack_from("<H", data, 28)[0]
    offset = struct.unpack_from("<I", data, 16)[0]
    date, clock = dos_date_time(epoch)
    for _ in range(files):
        struct.pack_into("<HH", out, offset + 10, date, clock)
        offset = data.index(b"\0", offset + 16) + 1
    return bytes(out)


def _streams(storage, prefix=""):
    for child in storage.children:
        if isinstance(child, compound_file.Storage):
            yield from _streams(child, prefix + child.name + "/")
        else:
            yield prefix + child.name, child


def stamp(data, epoch):
    root = compound_file.read(data)
    streams = dict(_streams(root))
    for name, stream in streams.items():
        stream.data = stamp_cabinet(stream.data, epoch)
    summary = streams[SUMMARY]
    # The code covers every stream but the one that holds it, and the summary's other values.
    summary.data = stamp_summary(summary.data, epoch, "{00000000-0000-0000-0000-000000000000}")
    content = b"".join(struct.pack("<I", len(n)) + n.encode("utf-16-le") + struct.pack("<Q", len(s.data)) + s.data
                       for n, s in sorted(streams.items()))
    code = "{%s}" % str(uuid.uuid5(PACKAGE_CODE_NAMESPACE, hashlib.sha256(content).hexdigest())).upper()
    summary.data = stamp_summary(summary.data, epoch, code)
    return compound_file.write(root)


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    path = argv[1]
    with open(path, "rb") as f:
        data = stamp(f.read(), source_date_epoch())
    with open(path + ".new", "wb") as f:
        f.write(data)
    os.replace(path + ".new", path)


if __name__ == "__main__":
    main(sys.argv)
