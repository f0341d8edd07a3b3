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
}

# The preview window's image lists: the task pane's item icons (ilsIcons,
# 200 + index) and its bar titles (ilsTitleIcons, 230 + index). Several
# reuse a toolbar face above; the indexes no item or button names are drawn
# all the same, so the list keeps its order.
SLIDESHOW_16 = FACES[109][1:17]

ITEM_ICONS = {
    # 0: open pictures in the chosen viewer.
    200: FACES[101],
    # 1: a folder (no item names it).
    201: [
        "................",
        "................",
        ".OOOO...........",
        ".OYYYO..........",
        ".OYYYYOOOOOOOO..",
        ".OYYYYYYYYYYYO..",
        ".OYOOOOOOOOOOOOO",
        ".OYOYYYYYYYYYYYO",
        ".OOYYYYYYYYYYYO.",
        ".OOYYYYYYYYYYYO.",
        ".OYYYYYYYYYYYO..",
        ".OYYYYYYYYYYYO..",
        ".OOOOOOOOOOOOO..",
        "................",
        "................",
        "................",
    ],
    # 2: save all pictures: two disks.
    202: [
        "................",
        ".....NNNNNNNNNN.",
        ".....NSWWWWWSNN.",
        ".....NSWWWWWSNN.",
        ".NNNNNNNNNNSSNN.",
        ".NSWWWWWSNNNDNN.",
        ".NSWWWWWSNNNNNN.",
        ".NSWWWWWSNNNNNN.",
        ".NSSSSSSSNNNNN..",
        ".NNSDDDDSNN.....",
        ".NNSDLDDSNN.....",
        ".NNSDLDDSNN.....",
        ".NNNNNNNNNN.....",
        "................",
        "................",
        "................",
    ],
    # 3: save the selected pictures: one disk.
    203: FACES[103],
    # 4: a printer (no item names it).
    204: [
        "................",
        "....KKKKKKKK....",
        "....KWWWWWWK....",
        "....KWSSSSWK....",
        "....KWWWWWWK....",
        ".KKKKKKKKKKKKKK.",
        ".KLLLLLLLLLLLLK.",
        ".KLLLLLLLLLGGLK.",
        ".KSSSSSSSSSSSSK.",
        ".KSSKKKKKKKKSSK.",
        ".KKKKWWWWWWKKKK.",
        "....KWSSSSWK....",
        "....KWWWWWWK....",
        "....KKKKKKKK....",
        "................",
        "................",
    ],
    # 5: change my settings.
    205: FACES[107],
    # 6: view as a slide show.
    206: SLIDESHOW_16,
    # 7: a magnifier (no item names it).
    207: [
        "................",
        "....KKKK........",
        "..KKWWWWKK......",
        "..KWWBBWWK......",
        ".KWWBBBBWWK.....",
        ".KWBBBBBBWK.....",
        ".KWWBBBBWWK.....",
        "..KWWBBWWK......",
        "..KKWWWWKKK.....",
        "....KKKK.KOO....",
        "..........OOO...",
        "...........OOO..",
        "............OOO.",
        ".............OO.",
        "................",
        "................",
    ],
    # 8: turn a picture (no item names it).
    208: [
        "................",
        ".....GGGGGG.....",
        "...GGG....GGG...",
        "..GG........GG..",
        "..G..........G..",
        ".GG..........GG.",
        ".G............G.",
        ".G............G.",
        ".G..........GGGG",
        ".GG..........GG.",
        "..G...........G.",
        "..GG............",
        "...GGG....GG....",
        ".....GGGGGG.....",
        "................",
        "................",
    ],
    # 9 ("Hide"): the task pane on the left, an arrow pushing it away.
    209: [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KBBBBKWWWWWWWK.",
        ".KBWWBKWWWWWWWK.",
        ".KBBBBKWWWWWWWK.",
        ".KBWWBKWWNWWWWK.",
        ".KBBBBKWNNWWWWK.",
        ".KBWWBKNNNNNNWK.",
        ".KBBBBKWNNWWWWK.",
        ".KBWWBKWWNWWWWK.",
        ".KBBBBKWWWWWWWK.",
        ".KBWWBKWWWWWWWK.",
        ".KBBBBKWWWWWWWK.",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
    ],
    # 10 ("Show"): no pane, an arrow bringing it back.
    210: [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWNWWWWWK.",
        ".KWWWWWWNNWWWWK.",
        ".KWWNNNNNNNWWWK.",
        ".KWWWWWWNNWWWWK.",
        ".KWWWWWWNWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
    ],
    # 11: a letter (no item names it).
    211: [
        "................",
        "................",
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KKWWWWWWWWWWKK.",
        ".KWKWWWWWWWWKWK.",
        ".KWWKWWWWWWKWWK.",
        ".KWWWKWWWWKWWWK.",
        ".KWWWWKKKKWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
        "................",
        "................",
    ],
    # 12: thumbnails (no item names it).
    212: [
        "................",
        ".KKKKKK..KKKKKK.",
        ".KBBBBK..KBBYBK.",
        ".KBBBBK..KBBBBK.",
        ".KGGBBK..KBGGBK.",
        ".KGGGGK..KGGGGK.",
        ".KKKKKK..KKKKKK.",
        "................",
        "................",
        ".KKKKKK..KKKKKK.",
        ".KBYBBK..KBBBBK.",
        ".KBBBBK..KBBBBK.",
        ".KBBGGK..KGBBBK.",
        ".KGGGGK..KGGGGK.",
        ".KKKKKK..KKKKKK.",
        "................",
    ],
    # 13: a page of text (no item names it).
    213: [
        "................",
        "..KKKKKKKK......",
        "..KWWWWWWKK.....",
        "..KWSSSSWKWK....",
        "..KWWWWWWKKKK...",
        "..KWSSSSSSSWK...",
        "..KWWWWWWWWWK...",
        "..KWSSSSSSSWK...",
        "..KWWWWWWWWWK...",
        "..KWSSSSSSSWK...",
        "..KWWWWWWWWWK...",
        "..KWSSSSSWWWK...",
        "..KWWWWWWWWWK...",
        "..KKKKKKKKKKK...",
        "................",
        "................",
    ],
    # 14: help, drawn light for the dark command bar style.
    214: [
        "................",
        ".....WWWWWW.....",
        "...WWWWWWWWWW...",
        "..WWWWNNNNWWWW..",
        "..WWWNNWWNNWWW..",
        ".WWWWWWWWNNWWWW.",
        ".WWWWWWWNNWWWWW.",
        ".WWWWWWNNWWWWWW.",
        ".WWWWWWNNWWWWWW.",
        ".WWWWWWWWWWWWWW.",
        "..WWWWWNNWWWWW..",
        "..WWWWWNNWWWWW..",
        "...WWWWWWWWWW...",
        ".....WWWWWW.....",
        "................",
        "................",
    ],
    # 15: help.
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
    # 16: delete all attachments.
    216: FACES[124],
    # 17: export attachments.
    217: FACES[126],
}

TITLE_ICONS = {
    # 0: picture tasks: a picture with a gear before it.
    230: [
        "................",
        "KKKKKKKKKKKKK...",
        "KWWWWWWWWWWWK...",
        "KWBBBBBBBBYWK...",
        "KWBBBBBBBBBWK...",
        "KWBBGBBBBBBWK...",
        "KWBGGGBBBBBWK...",
        "KWGGGGGSS.SSSS..",
        "KWGGGGGSSSSSSS..",
        "KWWWWWSSSDDSSS..",
        "KKKKKSSSD..DSSSS",
        ".....SSSD..DSSS.",
        ".....SSSSDDSSSS.",
        ".......SSSSSS...",
        ".......SS.SSSS..",
        "................",
    ],
    # 1: from a digital camera.
    231: [
        "................",
        "................",
        "....KKKK........",
        ".KKKKKKKKKKKKKK.",
        ".KDDDDDDDDDDYYK.",
        ".KDDDDKKKKDDDDK.",
        ".KDDDKSSSSKDDDK.",
        ".KDDKSNNNNSKDDK.",
        ".KDDKSNBBNSKDDK.",
        ".KDDKSNBBNSKDDK.",
        ".KDDKSNNNNSKDDK.",
        ".KDDDKSSSSKDDDK.",
        ".KDDDDKKKKDDDDK.",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
    ],
    # 2: picture info.
    232: [
        "................",
        ".....NNNNNN.....",
        "...NNBBBBBBNN...",
        "..NBBBBWWBBBBN..",
        "..NBBBBWWBBBBN..",
        ".NBBBBBBBBBBBBN.",
        ".NBBBBWWWBBBBBN.",
        ".NBBBBBWWBBBBBN.",
        ".NBBBBBWWBBBBBN.",
        ".NBBBBBWWBBBBBN.",
        "..NBBBBWWBBBBN..",
        "..NBBBWWWWBBBN..",
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
    # The image lists' pictures carry no masks: the toolbar grey is their
    # transparent colour.
    for icon_id, grid in {**ITEM_ICONS, **TITLE_ICONS}.items():
        assert len(grid) == 16 and all(len(r) == 16 for r in grid), icon_id
        write_bmp(os.path.join(here, f"{icon_id}.bmp"), [[PALETTE[c] for c in r] for r in grid])


if __name__ == "__main__":
    main()
