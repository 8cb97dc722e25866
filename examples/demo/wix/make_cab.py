#!/usr/bin/env python3
"""Writes an uncompressed cabinet file holding the given files (stored under their base names,
dated SOURCE_DATE_EPOCH).

The settings name cabinets beside the package (videos, presentations) that the launcher
only looks for; these small real cabinets stand in for them.

usage: make_cab.py OUT.cab FILE...
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from stamp_package import dos_date_time, source_date_epoch  # noqa: E402

_BLOCK = 32768  # the most a CFDATA block may hold


def cabinet(files, epoch):
    names = [os.path.basename(f).encode("ascii") for f in files]
    contents = [open(f, "rb").read() for f in files]
    stream = b"".join(contents)
    blocks = [stream[i:i + _BLOCK] for i in range(0, len(stream), _BLOCK)] or [b""]

    header_size, folder_size = 36, 8
    files_offset = header_size + folder_size
    entries = b""
    offset = 0
    # Every file gets the build's time, not that of its checkout.
    date, clock = dos_date_time(epoch)
    for name, data in zip(names, contents):
        entries += struct.pack("<IIHHHH", len(data), offset, 0, date, clock, 0x20) + name + b"\0"
        offset += len(data)
    data_offset = files_offset + len(entries)
    # A checksum of 0 means "not computed", which readers accept.
    data = b"".join(struct.pack("<IHH", 0, len(b), len(b)) + b for b in blocks)
    total = data_offset + len(data)

    header = struct.pack("<4sIIIIIBBHHHHH", b"MSCF", 0, total, 0, files_offset, 0, 3, 1,
                         1, len(files), 0, 0x4344, 0)
    folder = struct.pack("<IHH", data_offset, len(blocks), 0)
    return header + folder + entries + data


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    with open(argv[1], "wb") as f:
        f.write(cabinet(argv[2:], source_date_epoch()))


if __name__ == "__main__":
    main(sys.argv)
