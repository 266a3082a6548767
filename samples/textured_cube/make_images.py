#!/usr/bin/env python3
"""Writes the images of the textured cube: sides.png (300 x 200, four
upright strips: red, green, blue, yellow) and top.jpg (64 x 64 magenta,
through ImageMagick's convert)."""
import struct
import subprocess
import zlib


def png(path, width, height, pixel):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        f.write(chunk(b"IEND", b""))


STRIPS = [(220, 30, 30), (30, 200, 30), (30, 30, 220), (230, 220, 30)]
png("sides.png", 300, 200, lambda x, y: STRIPS[x * 4 // 300])
png("top.png", 64, 64, lambda x, y: (220, 30, 220))
subprocess.run(["convert", "top.png", "-quality", "95", "top.jpg"], check=True)
