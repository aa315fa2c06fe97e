#!/usr/bin/env python3
"""Draw the tree pictures of the shipped data set.

For each species with a picture this writes Data/<name>Small.bmp and
Data/<name>Large.bmp: uncompressed 8-bit palette BMP files on a pure white
background (white is drawn transparent by the program).  Broadleaf trees get
a rounded crown on a trunk, conifers a tiered narrow crown; each species has
its own foliage and bark tints.  Deterministic (fixed seeds), Python 3
standard library only.

Usage:  python3 tools/make-bitmaps.py [output-directory]   (default: Data)
"""
import math
import os
import random
import struct
import sys

SMALL = (32, 48)
LARGE = (64, 96)

# name: (form, foliage RGB, bark RGB, crown width as a fraction of the
#        picture width, crown top/bottom as fractions of the height)
TREES = {
    "sugarMaple":    ("broad", (46, 125, 40), (95, 75, 60), 0.95, 0.02, 0.72),
    "americanBeech": ("broad", (70, 140, 55), (150, 150, 145), 0.90, 0.04, 0.74),
    "yellowBirch":   ("broad", (95, 150, 50), (190, 160, 95), 0.85, 0.04, 0.70),
    "paperBirch":    ("birch", (110, 165, 60), (235, 235, 228), 0.70, 0.03, 0.66),
    "quakingAspen":  ("birch", (120, 175, 70), (205, 210, 190), 0.60, 0.03, 0.62),
    "redOak":        ("broad", (40, 105, 35), (80, 70, 65), 1.00, 0.04, 0.70),
    "balsamFir":     ("conifer", (20, 80, 55), (90, 70, 55), 0.55, 0.00, 0.88),
    "redSpruce":     ("conifer", (30, 90, 45), (110, 75, 55), 0.60, 0.00, 0.90),
    "whitePine":     ("pine", (55, 115, 85), (100, 80, 65), 0.85, 0.02, 0.72),
    "jackPine":      ("pine", (75, 115, 45), (120, 90, 70), 0.70, 0.03, 0.66),
}

WHITE = 0
BARK, BARK_DARK = 1, 2
SHADES = [3, 4, 5, 6, 7]          # foliage dark .. light


def palette(fol, bark):
    pal = [(255, 255, 255)] * 256
    pal[BARK] = bark
    pal[BARK_DARK] = tuple(int(c * 0.55) for c in bark)
    for i, k in enumerate(SHADES):
        f = 0.55 + 0.18 * i
        pal[k] = tuple(max(0, min(254, int(c * f))) for c in fol)
    for i in range(8, 256):
        pal[i] = (0, 0, 0)
    return pal


def draw(form, w, h, cw, ctop, cbot, seed):
    img = [[WHITE] * w for _ in range(h)]     # row 0 = top
    rnd = random.Random(seed)
    cx = (w - 1) / 2.0

    def put(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            img[y][x] = c

    trunk_w = max(2, int(w * (0.10 if form != "conifer" else 0.08)))
    y0, y1 = int(h * ctop), int(h * cbot)
    # trunk from the crown down to the ground
    t_top = y0 + (y1 - y0) // 3 if form != "conifer" else y0 + 2
    for y in range(t_top, h):
        for x in range(int(cx - trunk_w / 2 + 0.5), int(cx + trunk_w / 2 + 0.5)):
            c = BARK
            if form == "birch" and rnd.random() < 0.18:
                c = BARK_DARK
            elif x == int(cx + trunk_w / 2 - 0.5):
                c = BARK_DARK
            put(x, y, c)
    half = cw * w / 2.0
    if form in ("broad", "birch"):
        # a cluster of overlapping rounded lobes
        ry = (y1 - y0) / 2.0
        ccy = y0 + ry
        lobes = [(cx, ccy, half * 0.85, ry * 0.9)]
        for _ in range(7):
            a = rnd.uniform(0, 2 * math.pi)
            lobes.append((cx + math.cos(a) * half * 0.45, ccy + math.sin(a) * ry * 0.45,
                          half * rnd.uniform(0.40, 0.55), ry * rnd.uniform(0.40, 0.55)))
        for y in range(y0, y1 + 1):
            for x in range(w):
                inside = any(((x - lx) / rx) ** 2 + ((y - ly) / ry_) ** 2 <= 1.0
                             for lx, ly, rx, ry_ in lobes)
                if inside:
                    # light from the upper left, a little leaf texture
                    t = 0.5 - 0.35 * (x - cx) / half - 0.35 * (y - ccy) / ry
                    t += rnd.uniform(-0.25, 0.25)
                    k = SHADES[max(0, min(4, int(t * 5)))]
                    put(x, y, k)
    else:
        tiers = 5 if form == "conifer" else 3
        span = (y1 - y0)
        for y in range(y0, y1 + 1):
            f = (y - y0) / float(span)            # 0 at the top, 1 at the bottom
            if form == "conifer":
                # stacked whorls: widths grow downwards with a saw-tooth
                tier = f * tiers
                hw = half * (0.25 + 0.75 * f) * (0.55 + 0.45 * (tier - int(tier)))
            else:
                # pines: rounded irregular tufts on an open crown
                hw = half * (0.35 + 0.65 * math.sin(math.pi * min(1.0, f * 1.1)))
                hw *= 0.75 + 0.25 * math.sin(f * tiers * 2 * math.pi)
            for x in range(w):
                d = abs(x - cx)
                if d <= hw:
                    t = 0.55 - 0.4 * (x - cx) / max(half, 1) + rnd.uniform(-0.3, 0.3)
                    if form == "pine" and rnd.random() < 0.12:
                        continue
                    put(x, y, SHADES[max(0, min(4, int(t * 5)))])
    # white corners and edges stay white: nothing is drawn in row 0 column 0
    img[0][0] = img[0][w - 1] = WHITE
    return img


def write_bmp(path, img, pal):
    h, w = len(img), len(img[0])
    row = (w + 3) & ~3
    pix = bytearray()
    for y in range(h - 1, -1, -1):             # bottom-up rows
        pix += bytes(img[y]) + bytes(row - w)
    ctab = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    off = 14 + 40 + len(ctab)
    hdr = struct.pack("<2sIHHI", b"BM", off + len(pix), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pix), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(hdr + info + ctab + pix)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Data"
    os.makedirs(out, exist_ok=True)
    for n, (name, (form, fol, bark, cw, ct, cb)) in enumerate(sorted(TREES.items())):
        pal = palette(fol, bark)
        for suffix, (w, h) in (("Small", SMALL), ("Large", LARGE)):
            img = draw(form, w, h, cw, ct, cb, seed=1000 + 17 * n + w)
            write_bmp(os.path.join(out, name + suffix + ".bmp"), img, pal)


if __name__ == "__main__":
    main()
