#!/usr/bin/env python3
"""Draws the add-in's toolbar bitmaps (faces and their masks) as 24-bit BMP files.

Run from anywhere: the files land beside this script as <id>.bmp. A face is
drawn from a character grid ('.' is transparent); its mask is derived from the
same grid: black where the face shows, white where the toolbar shows through.
Transparent pixels of a face are left in the toolbar grey.
"""

import os
import struct

PALETTE = {
    ".": (192, 192, 192),  # toolbar grey behind the picture
    "K": (32, 32, 32),
    "W": (255, 255, 255),
    "L": (224, 224, 224),
    "S": (160, 160, 160),
    "D": (96, 96, 96),
    "B": (120, 180, 240),
    "N": (24, 56, 128),
    "Y": (248, 208, 64),
    "O": (184, 128, 24),
    "G": (40, 160, 64),
    "R": (208, 32, 32),
}

FACES = {
    # Preview window: a framed landscape.
    101: [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KWWWWWWWWWWWWK.",
        ".KWBBBBBBBBBBWK.",
        ".KWBBBBBBBYYBWK.",
        ".KWBBBBBBBYYBWK.",
        ".KWBBBBBBBBBBWK.",
        ".KWBBBGBBBBBBWK.",
        ".KWBBGGGBBBBBWK.",
        ".KWBGGGGGBBGBWK.",
        ".KWGGGGGGGGGGWK.",
        ".KWGGGGGGGGGGWK.",
        ".KWWWWWWWWWWWWK.",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
    ],
    # Quick-save: a disk with a bolt on its label.
    103: [
        "................",
        ".NNNNNNNNNNNNN..",
        ".NSWWWWWWWWSNNN.",
        ".NSWWWWWOOWSNNN.",
        ".NSWWWWOOWWSNNN.",
        ".NSWWWOOOOWSNNN.",
        ".NSWWWWOOWWSNNN.",
        ".NSWWWOOWWWSNNN.",
        ".NSSSSSSSSSSNNN.",
        ".NNSDDDDDDDSNNN.",
        ".NNSDLLDDDDSNNN.",
        ".NNSDLLDDDDSNNN.",
        ".NNSDDDDDDDSNNN.",
        ".NNNNNNNNNNNNNN.",
        "................",
        "................",
    ],
    # Settings: a gear.
    107: [
        "................",
        ".......SS.......",
        "...SS.SSSS.SS...",
        "...SSSSSSSSSS...",
        "....SSSDDSSS....",
        "..SSSSD..DSSSS..",
        ".SSSSD....DSSSS.",
        "..SSSD....DSSS..",
        "..SSSD....DSSS..",
        ".SSSSD....DSSSS.",
        "..SSSSD..DSSSS..",
        "....SSSDDSSS....",
        "...SSSSSSSSSS...",
        "...SS.SSSS.SS...",
        ".......SS.......",
        "................",
    ],
    # Slideshow: a picture on a projection screen (taller than the others).
    109: [
        "................",
        ".......KK.......",
        "KKKKKKKKKKKKKKKK",
        ".KWWWWWWWWWWWWK.",
        ".KWBBBBBBBBBBWK.",
        ".KWBBBBBBBYYBWK.",
        ".KWBBBBBBBYYBWK.",
        ".KWBBBGBBBBBBWK.",
        ".KWBBGGGBBBBBWK.",
        ".KWBGGGGGBBGBWK.",
        ".KWGGGGGGGGGGWK.",
        ".KWWWWWWWWWWWWK.",
        "KKKKKKKKKKKKKKKK",
        ".......KK.......",
        "......K..K......",
        ".....K....K.....",
        "....K......K....",
        "................",
    ],
    # Save to a chosen folder: a folder with an arrow into it, kept inside
    # the outline of the quick-save mask that it shares.
    115: [
        "................",
        "................",
        ".OOOO...........",
        ".OYYYOOOOOOOO...",
        ".OYYYYYYYYYYYO..",
        ".OYYYYYYGYYYYO..",
        ".OYYYYYYGGYYYO..",
        ".OYGGGGGGGGYYO..",
        ".OYGGGGGGGGGYO..",
        ".OYGGGGGGGGYYO..",
        ".OYYYYYYGGYYYO..",
        ".OYYYYYYGYYYYO..",
        ".OOOOOOOOOOOOO..",
        "................",
        "................",
        "................",
    ],
    # Delete: a red cross.
    124: [
        "................",
        ".RR..........RR.",
        ".RRR........RRR.",
        "..RRR......RRR..",
        "...RRR....RRR...",
        "....RRR..RRR....",
        ".....RRRRRR.....",
        "......RRRR......",
        "......RRRR......",
        ".....RRRRRR.....",
        "....RRR..RRR....",
        "...RRR....RRR...",
        "..RRR......RRR..",
        ".RRR........RRR.",
        ".RR..........RR.",
        "................",
    ],
    # Export: a page with an arrow leaving it.
    126: [
        "................",
        ".KKKKKKKK.......",
        ".KWWWWWWKK......",
        ".KWWWWWWKWK.....",
        ".KWSSSSWKKKK....",
        ".KWWWWWWWWWK....",
        ".KWSSSSSWWWK.G..",
        ".KWWWWWWWWWK.GG.",
        ".KWSSSGGGGGGGGGG",
        ".KWWWWGGGGGGGGGG",
        ".KWSSSSSWWWK.GG.",
        ".KWWWWWWWWWK.G..",
        ".KWSSSSSSSWK....",
        ".KWWWWWWWWWK....",
        ".KKKKKKKKKKK....",
        "................",
    ],
    # Preview window command bar, image 9: hide the task pane (the pane
    # with an arrow pointing into it).
    209: [
        "................",
        "KKKKKKKKKKKKKKKK",
        "KNNNNNKWWWWWWWWK",
        "KNNNNNKWWWWWWWWK",
        "KLLLLLKWWWWWWWWK",
        "KLLLLLKWWWRWWWWK",
        "KLSSLLKWWRRWWWWK",
        "KLLLLLKWRRRRRRWK",
        "KLSSSLKWRRRRRRWK",
        "KLLLLLKWWRRWWWWK",
        "KLSSLLKWWWRWWWWK",
        "KLLLLLKWWWWWWWWK",
        "KLLLLLKWWWWWWWWK",
        "KKKKKKKKKKKKKKKK",
        "................",
        "................",
    ],
    # Image 10: show the task pane (an arrow pulling it out again).
    210: [
        "................",
        "KKKKKKKKKKKKKKKK",
        "KNNKWWWWWWWWWWWK",
        "KNNKWWWWWWWWWWWK",
        "KLLKWWWWWWWWWWWK",
        "KLLKWWWWWGWWWWWK",
        "KLLKWWWWWGGWWWWK",
        "KLLKWGGGGGGGWWWK",
        "KLLKWGGGGGGGWWWK",
        "KLLKWWWWWGGWWWWK",
        "KLLKWWWWWGWWWWWK",
        "KLLKWWWWWWWWWWWK",
        "KLLKWWWWWWWWWWWK",
        "KKKKKKKKKKKKKKKK",
        "................",
        "................",
    ],
    # Image 14: help on the dark bar of the "Money" style (a light ring).
    214: [
        "................",
        ".....WWWWWW.....",
        "...WWYYYYYYWW...",
        "..WYYYWWWWYYYW..",
        "..WYYWWYYWWYYW..",
        ".WYYYYYYYWWYYYW.",
        ".WYYYYYYWWYYYYW.",
        ".WYYYYYWWYYYYYW.",
        ".WYYYYYWWYYYYYW.",
        ".WYYYYYYYYYYYYW.",
        "..WYYYYWWYYYYW..",
        "..WYYYYWWYYYYW..",
        "...WWYYYYYYWW...",
        ".....WWWWWW.....",
        "................",
        "................",
    ],
    # Image 15: help, a blue disc with a question mark.
    215: [
        "................",
        ".....NNNNNN.....",
        "...NNBBBBBBNN...",
        "..NBBBWWWWBBBN..",
        "..NBBWWBBWWBBN..",
        ".NBBBBBBBWWBBBN.",
        ".NBBBBBBWWBBBBN.",
        ".NBBBBBWWBBBBBN.",
        ".NBBBBBWWBBBBBN.",
        ".NBBBBBBBBBBBBN.",
        "..NBBBBWWBBBBN..",
        "..NBBBBWWBBBBN..",
        "...NNBBBBBBNN...",
        ".....NNNNNN.....",
        "................",
        "................",
    ],
}

# Face id -> mask id; the save-to face (115) uses the quick-save mask (104).
MASKS = {101: 102, 103: 104, 107: 108, 109: 110, 124: 125, 126: 127}


def write_bmp(path, rows):
    height = len(rows)
    width = len(rows[0])
    assert all(len(r) == width for r in rows), path
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        image += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + image)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    sizes = {109: (16, 18)}
    for face_id, grid in FACES.items():
        width, height = sizes.get(face_id, (16, 16))
        assert len(grid) == height and all(len(r) == width for r in grid), face_id
        write_bmp(os.path.join(here, f"{face_id}.bmp"), [[PALETTE[c] for c in r] for r in grid])
        mask_id = MASKS.get(face_id)
        if mask_id is not None:
            mask = [[(255, 255, 255) if c == "." else (0, 0, 0) for c in r] for r in grid]
            write_bmp(os.path.join(here, f"{mask_id}.bmp"), mask)


if __name__ == "__main__":
    main()
