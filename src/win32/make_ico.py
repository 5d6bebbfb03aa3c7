#!/usr/bin/env python3
"""Packs the window icon's PNG sizes into vexa.ico (icon 128 of the Windows
program). PNG entries, which every Windows since Vista reads."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
images = [(here.parent / "ui" / "resources" / f"vexa-{size}.png").read_bytes() for size in (16, 32, 48)]
sizes = (16, 32, 48)
offset = 6 + 16 * len(images)
head = struct.pack("<HHH", 0, 1, len(images))
for size, data in zip(sizes, images):
    head += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
(here / "vexa.ico").write_bytes(head + b"".join(images))
