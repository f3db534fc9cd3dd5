#!/usr/bin/env python3
"""Writes the track bar's thumb bitmaps and thumb cursors into this folder.

Each thumb shape has four pictures: the thumb, its hot and disabled looks,
and a mask (white where the track shows through, black under the thumb).
The thumb pictures are black outside the shape: the control ANDs the mask
onto the background and ORs the picture over it. Shapes other than the two
visual-style ones use key colours that the control replaces by system
colours when it loads them, so they follow the user's colour scheme.

The results are committed; run this only after changing a drawing.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Key colours (r, g, b) and what the control turns them into.
KEYS = {
    '.': (0, 0, 0),          # outside the shape
    'W': (255, 255, 255),    # white (button highlight)
    'F': (192, 192, 192),    # -> button face
    'S': (128, 128, 128),    # -> button shadow
    'D': (128, 128, 0),      # -> dark shadow (0x008080)
    'L': (255, 255, 0),      # -> 3D light (0x00FFFF)
    'g': (0, 128, 0),        # -> shadow lightened
    'h': (255, 0, 0),        # -> hot colour 1 (0x0000FF)
    'H': (128, 0, 0),        # -> hot colour 2 (0x000080)
    'p': (255, 0, 255),      # -> hot colour 3, the light one
}

# Visual-style shapes keep their own colours.
XP_NORMAL = {
    '.': (0, 0, 0),
    'B': (28, 81, 128),      # border
    'a': (108, 178, 92),     # accent
    'F': (243, 243, 239),    # face
    'f': (226, 226, 218),    # face, lower part
}
XP_HOT = dict(XP_NORMAL, a=(248, 179, 48))
XP_DISABLED = dict(XP_NORMAL, B=(201, 199, 186), a=(226, 225, 214), F=(245, 244, 234), f=(237, 236, 226))


def rows(*parts):
    out = []
    for count, row in parts:
        out.extend([row] * count)
    return out


BOX = rows((1, 'WWWWWWWWWWD'), (1, 'WLLLLLLLLSD'), (16, 'WLFFFFFFFSD'), (1, 'WSSSSSSSSSD'), (1, 'DDDDDDDDDDD'))
BOX_HOT = rows((1, 'WWWWWWWWWWD'), (1, 'WhhhhhhhhSD'), (16, 'WhpppppphSD'), (1, 'WhhhhhhhhSD'), (1, 'DDDDDDDDDDD'))
BOX_DISABLED = rows((1, 'WWWWWWWWWWS'), (18, 'WFFFFFFFFFS'), (1, 'SSSSSSSSSSS'))

PTR_TIP = ['.....W.....', '....WLD....', '...WLFSD...', '..WLFFFSD..', '.WLFFFFFSD.']
PTR = PTR_TIP + rows((12, 'WLFFFFFFFSD'), (1, 'WSSSSSSSSSD'), (1, 'DDDDDDDDDDD'))
PTR_HOT = ['.....W.....', '....WhD....', '...WhpSD...', '..WhpppSD..', '.WhpppppSD.'] + rows(
    (12, 'WhpppppphSD'), (1, 'WhhhhhhhhSD'), (1, 'DDDDDDDDDDD'))
PTR_DISABLED = ['.....W.....', '....WFS....', '...WFFFS...', '..WFFFFFS..', '.WFFFFFFFS.'] + rows(
    (13, 'WFFFFFFFFFS'), (1, 'SSSSSSSSSSS'))

WIN95 = rows((1, 'WWWWWWWWWWD'), (1, 'WLLLLLLLLSD'), (12, 'WLFFFFFFFSD')) + [
    '.WLFFFFFSD.', '..WLFFFSD..', '...WLFSD...', '....WSD....', '.....D.....']
WIN95_HOT = rows((1, 'WWWWWWWWWWD'), (1, 'WhhhhhhhhSD'), (12, 'WhpppppphSD')) + [
    '.WhpppppSD.', '..WhpppSD..', '...WhpSD...', '....WSD....', '.....D.....']
WIN95_DISABLED = rows((1, 'WWWWWWWWWWS'), (13, 'WFFFFFFFFFS')) + [
    '.WFFFFFFFS.', '..WFFFFFS..', '...WFFFS...', '....WFS....', '.....S.....']

MIXER = rows((1, '.DDDDDDDDD.'), (1, 'DWWWWWWWWSD'), (8, 'DWFFFFFFFSD'), (1, 'DWDDDDDDDSD'), (1, 'DWWWWWWWWSD'),
             (8, 'DWFFFFFFFSD'), (1, 'DSSSSSSSSSD'), (1, '.DDDDDDDDD.'))
MIXER_HOT = rows((1, '.DDDDDDDDD.'), (1, 'DWWWWWWWWSD'), (8, 'DWpppppppSD'), (1, 'DWHHHHHHHSD'), (1, 'DWhhhhhhhSD'),
                 (8, 'DWpppppppSD'), (1, 'DSSSSSSSSSD'), (1, '.DDDDDDDDD.'))
MIXER_DISABLED = rows((1, '.SSSSSSSSS.'), (1, 'SWWWWWWWWgS'), (8, 'SWFFFFFFFgS'), (1, 'SWgggggggWS'),
                      (1, 'SWWWWWWWWgS'), (8, 'SWFFFFFFFgS'), (1, 'SgggggggggS'), (1, '.SSSSSSSSS.'))

FLAT = rows((1, 'SSSSSSSSS'), (14, 'SFFFFFFFS'), (1, 'SSSSSSSSS'))
FLAT_HOT = rows((1, 'hhhhhhhhh'), (14, 'hppppppph'), (1, 'hhhhhhhhh'))
FLAT_DISABLED = rows((1, 'ggggggggg'), (14, 'gFFFFFFFg'), (1, 'ggggggggg'))

XPPTR = ['.....B.....', '....BaB....', '...BaFaB...', '..BaFFFaB..', '.BaFFFFFaB.'] + rows(
    (6, 'BaFFFFFFFaB'), (6, 'BafffffffaB'), (1, 'BaaaaaaaaaB'), (1, '.BBBBBBBBB.'))
XPBOX = rows((1, '.BBBBBBBBB.'), (1, 'BaaaaaaaaaB'), (8, 'BaFFFFFFFaB'), (8, 'BafffffffaB'), (1, 'BaaaaaaaaaB'),
             (1, '.BBBBBBBBB.'))


def transpose(picture):
    return [''.join(row[x] for row in picture) for x in range(len(picture[0]))]


def write_bmp(name, picture, palette):
    height = len(picture)
    width = len(picture[0])
    assert all(len(r) == width for r in picture), name
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(picture):
        line = bytearray()
        for ch in row:
            r, g, b = palette[ch]
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
        f.write(header + info + data)


def mask_of(picture):
    return [''.join('W' if ch == '.' else '.' for ch in row) for row in picture]


MASK_PALETTE = {'W': (255, 255, 255), '.': (0, 0, 0)}


def shape(name, normal, hot, disabled, palettes=(KEYS, KEYS, KEYS)):
    write_bmp(name, normal, palettes[0])
    write_bmp(name + '_hot', hot, palettes[1])
    write_bmp(name + '_disabled', disabled, palettes[2])
    write_bmp(name + '_mask', mask_of(normal), MASK_PALETTE)


def both(name, normal, hot, disabled, palettes=(KEYS, KEYS, KEYS)):
    shape('h_' + name, normal, hot, disabled, palettes)
    shape('v_' + name, transpose(normal), transpose(hot), transpose(disabled), palettes)


def write_cursor(name, picture, hotspot):
    """A 32 x 32 monochrome cursor: '#' black, 'o' white, anything else clear."""
    size = 32
    assert len(picture) == size and all(len(r) == size for r in picture), name
    xor = bytearray()
    andm = bytearray()
    for row in reversed(picture):
        xbits = abits = 0
        for ch in row:
            xbits = (xbits << 1) | (1 if ch == 'o' else 0)
            abits = (abits << 1) | (0 if ch in '#o' else 1)
        xor += struct.pack('>I', xbits)
        andm += struct.pack('>I', abits)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    colours = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + colours + xor + andm
    head = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, hotspot[0], hotspot[1],
                                                      len(image), 6 + 16)
    with open(os.path.join(HERE, name + '.cur'), 'wb') as f:
        f.write(head + image)


def arrow_cursor():
    """A left-right double arrow, white with a black outline, centred."""
    grid = [[' '] * 32 for _ in range(32)]
    cy = 15
    for x in range(5, 27):
        grid[cy][x] = 'o'
    for d in range(1, 5):
        for x in (5 + d, 26 - d):
            for y in range(cy - d, cy + d + 1):
                grid[y][x] = 'o'
    # Outline: every clear neighbour of a white pixel turns black.
    for y in range(32):
        for x in range(32):
            if grid[y][x] != 'o':
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    yy, xx = y + dy, x + dx
                    if 0 <= yy < 32 and 0 <= xx < 32 and grid[yy][xx] == ' ':
                        grid[yy][xx] = '#'
    return [''.join(r) for r in grid]


def main():
    both('box', BOX, BOX_HOT, BOX_DISABLED)
    both('ptr', PTR, PTR_HOT, PTR_DISABLED)
    both('mixer', MIXER, MIXER_HOT, MIXER_DISABLED)
    both('flat', FLAT, FLAT_HOT, FLAT_DISABLED)
    both('xpptr', XPPTR, XPPTR, XPPTR, (XP_NORMAL, XP_HOT, XP_DISABLED))
    both('xpbox', XPBOX, XPBOX, XPBOX, (XP_NORMAL, XP_HOT, XP_DISABLED))
    shape('win95', WIN95, WIN95_HOT, WIN95_DISABLED)
    horizontal = arrow_cursor()
    write_cursor('h_cursor', horizontal, (15, 15))
    write_cursor('v_cursor', transpose(horizontal), (15, 15))


if __name__ == '__main__':
    main()
