"""Compound files (the container of MSI packages and transforms), read and written whole.

read() takes any version-3 or version-4 file; write() makes a version-3 file (512-byte
sectors, streams under 4,096 bytes in the mini stream) with every entry black in a balanced
sibling tree, which readers accept. Enough for packages of a few megabytes: the sector
allocation table must fit the header's 109 slots.
"""
import struct

SECTOR = 512
MINI = 64
CUTOFF = 4096
FREE, END, FATSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
NOSTREAM = 0xFFFFFFFF


class Stream:
    """A named stream and its bytes."""

    def __init__(self, name, data):
        self.name, self.data = name, data


class Storage:
    """A named storage: streams and storages below it, and its class id (16 bytes)."""

    def __init__(self, name, children=None, clsid=b"\0" * 16):
        self.name, self.children, self.clsid = name, children or [], clsid


def _key(name):
    # Siblings are ordered by name length first, then by the upper-cased name.
    return (len(name), name.upper())


def write(root):
    """root: Storage (the root entry). Returns the file's bytes."""
    entries = []  # directory entries: [node, left, right, child, start sector, size]

    def add(node):
        idx = len(entries)
        entries.append([node, NOSTREAM, NOSTREAM, NOSTREAM, END, 0])
        return idx

    def tree(children):
        # The siblings as a balanced binary tree in name order; its root index.
        ordered = sorted(children, key=lambda n: _key(n.name))
        idxs = [add(c) for c in ordered]

        def build(lo, hi):
            if lo >= hi:
                return NOSTREAM
            mid = (lo + hi) // 2
            entries[idxs[mid]][1] = build(lo, mid)
            entries[idxs[mid]][2] = build(mid + 1, hi)
            return idxs[mid]
        top = build(0, len(idxs))
        for c, i in zip(ordered, idxs):
            if isinstance(c, Storage):
                entries[i][3] = tree(c.children)
        return top

    add(root)
    entries[0][3] = tree(root.children)

    # Small streams go to the mini stream, the others to sectors of their own.
    mini = bytearray()
    minifat = []
    big = []  # (entry index, data)
    for e in entries[1:]:
        node = e[0]
        if isinstance(node, Stream):
            e[5] = len(node.data)
            if len(node.data) == 0:
                e[4] = END
            elif len(node.data) < CUTOFF:
                first = len(mini) // MINI
                n = (len(node.data) + MINI - 1) // MINI
                e[4] = first
                minifat += [first + k + 1 for k in range(n - 1)] + [END]
                mini += node.data + b"\0" * (n * MINI - len(node.data))
            else:
                big.append((e, node.data))

    sectors = []  # the file after its header, SECTOR bytes each
    fat = []

    def place(data):
        if not data:
            return END
        n = (len(data) + SECTOR - 1) // SECTOR
        first = len(sectors)
        for k in range(n):
            sectors.append(data[k * SECTOR:(k + 1) * SECTOR].ljust(SECTOR, b"\0"))
            fat.append(first + k + 1 if k < n - 1 else END)
        return first

    for e, data in big:
        e[4] = place(data)
    entries[0][4] = place(bytes(mini)) if mini else END
    entries[0][5] = len(mini)
    minifat_bytes = b"".join(struct.pack("<I", v) for v in minifat)
    minifat_start = place(minifat_bytes) if minifat else END
    minifat_count = (len(minifat_bytes) + SECTOR - 1) // SECTOR

    def direntry(e):
        node, left, right, child, start, size = e
        name = node.name.encode("utf-16-le") + b"\0\0"
        kind = 5 if node is root else (1 if isinstance(node, Storage) else 2)
        clsid = node.clsid if isinstance(node, Storage) else b"\0" * 16
        return (name.ljust(64, b"\0") + struct.pack("<HBB", len(name), kind, 1) +
                struct.pack("<III", left, right, child) + clsid + struct.pack("<I", 0) +
                b"\0" * 16 + struct.pack("<IQ", start, size))
    dirdata = b"".join(direntry(e) for e in entries)
    dirdata += b"\0" * ((-len(dirdata)) % SECTOR)
    # The unused entries of the last directory sector must read as free.
    blank = (b"\0" * 64 + struct.pack("<HBB", 0, 0, 0) + struct.pack("<III", NOSTREAM, NOSTREAM, NOSTREAM) +
             b"\0" * 36 + struct.pack("<IQ", 0, 0))
    used = len(entries) * 128
    dirdata = dirdata[:used] + blank * ((len(dirdata) - used) // 128)
    dir_start = place(dirdata)

    # The allocation table's own sectors are entries in it too.
    nfat = 1
    while (len(sectors) + nfat) * 4 > nfat * SECTOR:
        nfat += 1
    assert nfat <= 109, "file too large for a header-only FAT list"
    fat_first = len(sectors)
    fat += [FATSECT] * nfat
    fat += [FREE] * (nfat * SECTOR // 4 - len(fat))
    fatdata = b"".join(struct.pack("<I", v) for v in fat)
    for k in range(nfat):
        sectors.append(fatdata[k * SECTOR:(k + 1) * SECTOR])
    difat = [fat_first + k for k in range(nfat)] + [FREE] * (109 - nfat)
    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 +
              struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + b"\0" * 6 +
              struct.pack("<IIIIIIIII", 0, nfat, dir_start, 0, CUTOFF, minifat_start, minifat_count, END, 0) +
              b"".join(struct.pack("<I", v) for v in difat))
    assert len(header) == 512
    return header + b"".join(sectors)


def read(data):
    """The root Storage of a CFB file (v3 or v4)."""
    shift = struct.unpack_from("<H", data, 30)[0]
    ssize = 1 << shift
    nfat, dir_start, _, cutoff, mf_start, mf_count, difat_start, ndifat = struct.unpack_from("<IIIIIIII", data, 44)
    difat = list(struct.unpack_from("<109I", data, 76))
    sec = lambda n: data[ssize + n * ssize: ssize + (n + 1) * ssize]
    s = difat_start
    for _ in range(ndifat):
        block = sec(s)
        vals = struct.unpack("<%dI" % (ssize // 4), block)
        difat += vals[:-1]
        s = vals[-1]
    fat = []
    for f in difat[:nfat]:
        fat += struct.unpack("<%dI" % (ssize // 4), sec(f))

    def chain(start):
        out = bytearray()
        while start not in (END, FREE) and start < len(fat):
            out += sec(start)
            start = fat[start]
        return bytes(out)
    dirdata = chain(dir_start)
    raw = []
    for off in range(0, len(dirdata), 128):
        e = dirdata[off:off + 128]
        nlen, kind = struct.unpack_from("<HB", e, 64)
        left, right, child = struct.unpack_from("<III", e, 68)
        clsid = e[80:96]
        start, size = struct.unpack_from("<IQ", e, 116)
        if ssize == 512:
            size &= 0xFFFFFFFF
        raw.append((e[:max(nlen - 2, 0)].decode("utf-16-le"), kind, left, right, child, clsid, start, size))
    minifat = list(struct.unpack("<%dI" % (len(chain(mf_start)) // 4), chain(mf_start))) if mf_count else []
    ministream = chain(raw[0][6])

    def stream_data(start, size):
        if size < cutoff:
            out = bytearray()
            while start not in (END, FREE) and len(out) < size:
                out += ministream[start * MINI:(start + 1) * MINI]
                start = minifat[start]
            return bytes(out[:size])
        return chain(start)[:size]

    def node(i):
        name, kind, left, right, child, clsid, start, size = raw[i]
        if kind in (1, 5):
            return Storage(name, siblings(child), clsid)
        return Stream(name, stream_data(start, size))

    def siblings(i):
        if i == NOSTREAM:
            return []
        name, kind, left, right, child, clsid, start, size = raw[i]
        return siblings(left) + [node(i)] + siblings(right)
    return node(0)
