"""Writes the payload the resource tests embed and compare with: a binary probe with every
byte value (zeros included) and a settings-like document with its scrambled form."""
import sys

KEY = 0x5A  # config/scramble.h

out = sys.argv[1]
probe = bytes(range(256)) * 3 + b"end of probe\r\n"
settings = ('<?xml version="1.0" encoding="UTF-8"?>\r\n'
            '<settings><product name="Gr\u00f6\u00dfe &amp; Co"/></settings>\r\n').encode("utf-8")
for name, data in (("probe.bin", probe), ("settings_like.xml", settings),
                   ("settings_like.scrambled", bytes(b ^ KEY for b in settings))):
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)
