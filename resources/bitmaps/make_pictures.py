#!/usr/bin/env python3
"""Draws the pictures of the three language libraries: the wizard-page banners, the To: field
example of the cc:Mail gateway page and the icons. Run by hand after changing a picture; the
build uses the committed .bmp and .ico files and needs no Python.

    python3 resources/bitmaps/make_pictures.py

Every picture is 4 bits per pixel with the 16 standard VGA colours, so each stays a few KB.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, AQUA, WHITE = range(16)

# A 5 x 7 pixel font with just the letters the To: field example needs.
GLYPHS = {
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    ':': [".....", "..#..", "..#..", ".....", "..#..", "..#..", "....."],
    'I': [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    'n': [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    't': ["..#..", "..#..", "####.", "..#..", "..#..", "..#.#", "..##."],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    ' ': [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour):
        for xx in range(x, x + w):
            self.put(xx, y, colour)
            self.put(xx, y + h - 1, colour)
        for yy in range(y, y + h):
            self.put(x, yy, colour)
            self.put(x + w - 1, yy, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def disc(self, cx, cy, r, colour):
        for yy in range(cy - r, cy + r + 1):
            for xx in range(cx - r, cx + r + 1):
                if (xx - cx) ** 2 + (yy - cy) ** 2 <= r * r:
                    self.put(xx, yy, colour)

    def circle(self, cx, cy, r, colour):
        for yy in range(cy - r, cy + r + 1):
            for xx in range(cx - r, cx + r + 1):
                d = (xx - cx) ** 2 + (yy - cy) ** 2
                if (r - 1) ** 2 <= d <= r * r:
                    self.put(xx, yy, colour)

    def text(self, x, y, text, colour):
        for ch in text:
            for row, bits in enumerate(GLYPHS[ch]):
                for col, bit in enumerate(bits):
                    if bit == '#':
                        self.put(x + col, y + row, colour)
            x += 6


def handheld(c, x, y, body, screen):
    c.rect(x, y, 34, 52, body)
    c.frame(x, y, 34, 52, BLACK)
    c.rect(x + 5, y + 5, 24, 28, screen)
    c.frame(x + 5, y + 5, 24, 28, BLACK)
    for i in range(4):
        c.disc(x + 6 + i * 7, y + 43, 2, SILVER)


def envelope(c, x, y, w, h):
    c.rect(x, y, w, h, WHITE)
    c.frame(x, y, w, h, BLACK)
    c.line(x, y, x + w // 2, y + h // 2, GREY)
    c.line(x + w - 1, y, x + w // 2, y + h // 2, GREY)


def check_mark(c, x, y, colour):
    for t in range(3):
        c.line(x, y + 10 + t, x + 8, y + 18 + t, colour)
        c.line(x + 8, y + 18 + t, x + 24, y + t, colour)


def globe(c, cx, cy, r):
    c.disc(cx, cy, r, AQUA)
    c.circle(cx, cy, r, NAVY)
    c.line(cx - r, cy, cx + r, cy, NAVY)
    c.line(cx, cy - r, cx, cy + r, NAVY)
    c.circle(cx, cy, r // 2, NAVY)


def banner(band, motif):
    """A 80 x 150 wizard-page picture: a coloured band, a handheld and the page's motif."""
    c = Canvas(80, 150, SILVER)
    c.rect(0, 0, 80, 150, band)
    c.rect(4, 4, 72, 142, SILVER)
    c.frame(4, 4, 72, 142, GREY)
    handheld(c, 23, 78, GREY, GREEN)
    motif(c)
    return c


def write_bmp(path, c):
    stride = ((c.width * 4 + 31) // 32) * 4
    rows = b""
    for y in reversed(range(c.height)):
        row = bytearray(stride)
        for x in range(c.width):
            row[x // 2] |= c.pixels[y][x] << (4 if x % 2 == 0 else 0)
        rows += bytes(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + rows)


def write_ico(path, c, transparent):
    stride = ((c.width * 4 + 31) // 32) * 4
    mask_stride = ((c.width + 31) // 32) * 4
    xor_rows, and_rows = b"", b""
    for y in reversed(range(c.height)):
        row, mask = bytearray(stride), bytearray(mask_stride)
        for x in range(c.width):
            colour = c.pixels[y][x]
            if colour == transparent:
                mask[x // 8] |= 0x80 >> (x % 8)
                colour = BLACK
            row[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor_rows += bytes(row)
        and_rows += bytes(mask)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 4, 0,
                       len(xor_rows) + len(and_rows), 0, 0, 16, 0)
    image = info + palette + xor_rows + and_rows
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def app_icon(screen):
    c = Canvas(32, 32, FUCHSIA)
    c.rect(6, 2, 20, 28, GREY)
    c.frame(6, 2, 20, 28, BLACK)
    c.rect(9, 5, 14, 14, screen)
    c.frame(9, 5, 14, 14, BLACK)
    envelope(c, 14, 18, 16, 11)
    return c


def warning_icon():
    c = Canvas(32, 32, FUCHSIA)
    for y in range(3, 30):
        half = (y - 3) * 14 // 27
        c.line(16 - half, y, 16 + half, y, YELLOW)
    c.line(2, 29, 16, 3, BLACK)
    c.line(30, 29, 16, 3, BLACK)
    c.line(2, 29, 30, 29, BLACK)
    c.rect(15, 11, 3, 11, BLACK)
    c.rect(15, 24, 3, 3, BLACK)
    return c


def to_field():
    """The To: field of the cc:Mail address form, with the gateway word typed into it."""
    c = Canvas(120, 24, SILVER)
    c.frame(0, 0, 120, 24, GREY)
    c.text(5, 9, "To:", BLACK)
    c.rect(26, 5, 90, 15, WHITE)
    c.frame(26, 5, 90, 15, GREY)
    c.text(30, 9, "Internet", NAVY)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = lambda name: os.path.join(here, name)
    # Orvek (cc:Mail): teal.
    write_bmp(out("kestrav_user.bmp"), banner(TEAL, lambda c: envelope(c, 20, 20, 40, 26)))
    write_bmp(out("kestrav_gateway.bmp"), banner(TEAL, lambda c: globe(c, 40, 38, 22)))
    write_bmp(out("kestrav_done.bmp"), banner(TEAL, lambda c: check_mark(c, 27, 25, GREEN)))
    write_bmp(out("kestrav_tofield.bmp"), to_field())
    write_ico(out("kestrav.ico"), app_icon(TEAL), FUCHSIA)
    write_ico(out("kestrav_warning.ico"), warning_icon(), FUCHSIA)
    # Dunmere (Extended MAPI): navy.
    write_bmp(out("morleaf_profile.bmp"), banner(NAVY, lambda c: envelope(c, 20, 20, 40, 26)))
    write_bmp(out("morleaf_done.bmp"), banner(NAVY, lambda c: check_mark(c, 27, 25, GREEN)))
    write_ico(out("morleaf.ico"), app_icon(NAVY), FUCHSIA)
    write_ico(out("morleaf_warning.ico"), warning_icon(), FUCHSIA)
    # Salvith (Simple MAPI): purple.
    write_bmp(out("savidne_done.bmp"), banner(PURPLE, lambda c: check_mark(c, 27, 25, GREEN)))
    write_ico(out("savidne.ico"), app_icon(PURPLE), FUCHSIA)


if __name__ == "__main__":
    main()
