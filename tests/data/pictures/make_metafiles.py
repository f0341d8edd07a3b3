#!/usr/bin/env python3
"""Writes drawing.emf and drawing.wmf: a rectangle each, with headers that
give a known size and resolution.

drawing.emf: frame 101.6 mm x 76.2 mm made for a device of 2400 x 1800
pixels on 508 x 381 mm (120 dpi): 480 x 360 pixels at 120 dpi.
drawing.wmf: placeable header, 240 x 180 units at 120 units per inch.
"""
import struct


def emf():
    records = []
    # EMR_SETBKMODE (18): transparent
    records.append(struct.pack("<III", 18, 12, 1))
    # EMR_RECTANGLE (43)
    records.append(struct.pack("<II4i", 43, 24, 20, 20, 459, 339))
    # EMR_EOF (14)
    records.append(struct.pack("<IIIII", 14, 20, 0, 16, 20))
    description = "Lumivane test\0drawing\0\0".encode("utf-16-le")
    description += b"\0" * (-len(description) % 4)  # records keep 4-byte sizes
    header_size = 108
    body = b"".join(records)
    total = header_size + len(description) + len(body)
    header = struct.pack(
        "<II4i4iIIIIHHIIIiiiiIIIii",
        1, header_size + len(description),   # EMR_HEADER, record size
        0, 0, 479, 359,                      # bounds (device pixels, inclusive)
        0, 0, 10160, 7620,                   # frame (0.01 mm)
        0x464D4520, 0x10000,                 # " EMF", version
        total, 1 + len(records), 1, 0,       # bytes, records, handles, reserved
        len(description) // 2, header_size,  # description (UTF-16 characters, offset)
        0,                                   # palette entries
        2400, 1800,                          # device in pixels
        508, 381,                            # device in millimetres
        0, 0, 0,                             # no pixel format, no OpenGL
        508000, 381000,                      # device in micrometres
    )
    assert len(header) == header_size
    return header + description + body


def wmf():
    records = [
        struct.pack("<IHhh", 5, 0x020B, 0, 0),           # SETWINDOWORG y, x
        struct.pack("<IHhh", 5, 0x020C, 180, 240),       # SETWINDOWEXT y, x
        struct.pack("<IHhhhh", 7, 0x041B, 170, 230, 10, 10),  # RECTANGLE bottom, right, top, left
        struct.pack("<IH", 3, 0x0000),                   # EOF
    ]
    body = b"".join(records)
    words = (18 + len(body)) // 2
    meta = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, 0, 7, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 240, 180, 120, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    return placeable + struct.pack("<H", checksum) + meta + body


with open("drawing.emf", "wb") as f:
    f.write(emf())
with open("drawing.wmf", "wb") as f:
    f.write(wmf())
