#!/usr/bin/env python3
"""Draws the launcher's pictures: the five 24x24 browser pictures (8-bit BMP, magenta
background in every corner, which the buttons draw transparent) and the application icon
(16, 32 and 48 pixels, 32-bit with alpha). Standard library only; run it from anywhere:

    python3 assets/draw_pictures.py

Shapes are described in pixel coordinates (x right, y down, the picture's centre at 12, 12) and
sampled 8 x 8 times per pixel; edges are blended towards a light button face so that they sit
well on the buttons once the background is made transparent.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

SIZE = 24
SAMPLES = 8
TRANSPARENT = (255, 0, 255)
BUTTON_FACE = (236, 236, 236)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def in_ring(x, y, cx, cy, outer, inner):
    d = math.hypot(x - cx, y - cy)
    return inner <= d <= outer


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def angle_up(x, y, cx, cy):
    """Angle in degrees, counter-clockwise from the right, with y pointing up."""
    return math.degrees(math.atan2(cy - y, x - cx)) % 360


# Each picture maps a sample point to a colour, or None where the background shows.


def internet_explorer(x, y):
    cx, cy = 12.0, 12.5
    # The ring: a tilted ellipse band; its lower half passes in front of the 'e'.
    a = math.radians(-28)
    rx, ry = (x - cx) * math.cos(a) - (y - cy) * math.sin(a), (x - cx) * math.sin(a) + (
        y - cy
    ) * math.cos(a)
    band = 0.78 <= (rx / 11.2) ** 2 + (ry / 4.6) ** 2 <= 1.0
    gold = mix((255, 214, 64), (232, 150, 20), (y - 2) / 20)
    if band and ry > 0:
        return gold
    # The 'e': a thick ring with an opening at the lower right and a bar across the middle.
    d = math.hypot(x - cx, y - cy)
    blue = mix((60, 150, 235), (16, 84, 190), (y - 4) / 16)
    ang = angle_up(x, y, cx, cy)
    if 4.6 <= d <= 8.2 and not (300 <= ang <= 350):
        return blue
    if d <= 8.2 and cy - 1.6 <= y <= cy + 0.9 and x >= cx - 7.0:
        return blue
    if band:
        return gold
    return None


def chrome(x, y):
    cx, cy = 12.0, 12.0
    d = math.hypot(x - cx, y - cy)
    if d > 10.6:
        return None
    if d <= 4.3:
        return mix((95, 155, 250), (40, 110, 230), (y - 8) / 8)
    if d <= 5.6:
        return (255, 255, 255)
    ang = angle_up(x, y, cx, cy)
    if 30 <= ang < 150:
        return mix((234, 80, 66), (200, 50, 40), (y - 2) / 10)
    if 150 <= ang < 270:
        return mix((30, 170, 95), (12, 130, 70), (y - 10) / 12)
    return mix((255, 206, 40), (240, 170, 0), (y - 10) / 12)


def firefox(x, y):
    # The blue globe, a little up and right of the centre.
    gx, gy, gr = 13.0, 11.0, 7.2
    # The tail: the band between the outer circle and the globe, open at the upper left.
    d_outer = math.hypot(x - 12.0, y - 12.5)
    d_globe = math.hypot(x - gx, y - gy)
    ang = angle_up(x, y, 12.0, 12.5)
    fire = mix((255, 205, 50), (236, 96, 20), (y - 3) / 12)
    fire = mix(fire, (214, 48, 30), (y - 15) / 8)
    if d_outer <= 10.8 and d_globe > gr and not (100 <= ang <= 165):
        return fire
    # The fox's pointed ear over the globe's upper right.
    if in_triangle(x, y, (14.5, 5.0), (19.8, 1.2), (20.2, 8.0)) and d_globe > gr - 1.6:
        return (250, 160, 40)
    if d_globe <= gr:
        sea = mix((70, 130, 230), (30, 50, 150), (d_globe / gr) ** 1.5)
        # A couple of lighter lands.
        if in_ellipse(x, y, 11.0, 9.0, 2.6, 1.8) or in_ellipse(x, y, 14.6, 13.4, 2.0, 2.6):
            return mix(sea, (150, 200, 255), 0.55)
        return sea
    return None


def safari(x, y):
    cx, cy = 12.0, 12.0
    d = math.hypot(x - cx, y - cy)
    if d > 10.6:
        return None
    if d > 9.4:
        return mix((220, 222, 226), (150, 154, 162), (y - 2) / 20)
    # The needle: a thin diamond along the north-east diagonal, red half pointing north-east.
    u = ((x - cx) - (y - cy)) / math.sqrt(2)  # along the needle, north-east positive
    v = ((x - cx) + (y - cy)) / math.sqrt(2)  # across it
    if abs(v) <= 1.9 * (1 - abs(u) / 7.6) and abs(u) <= 7.6:
        return (230, 45, 45) if u > 0 else (250, 250, 250)
    face = mix((100, 196, 255), (20, 110, 225), (y - 2) / 18)
    # Twelve tick marks inside the rim.
    ang = angle_up(x, y, cx, cy)
    if 7.4 <= d <= 9.0 and min(ang % 30, 30 - ang % 30) < 4.0:
        return mix(face, (255, 255, 255), 0.8)
    return face


def opera(x, y):
    cx, cy = 12.0, 12.0
    if not in_ellipse(x, y, cx, cy, 9.2, 10.6):
        return None
    if in_ellipse(x, y, cx, cy, 4.3, 7.6):
        return None
    red = mix((255, 50, 64), (176, 12, 30), (y - 1.5) / 21)
    # A soft sheen down the left side of the letter.
    if in_ellipse(x, y, cx - 5.8, cy - 1.0, 1.3, 5.0):
        return mix(red, (255, 255, 255), 0.25)
    return red


def app_icon(size):
    """The application's icon: a blue rounded square with a white 'Z'."""
    k = size / 48.0

    def shape(x, y):
        x, y = x / k, y / k
        r = 9.0
        # Rounded square 2..46.
        qx = max(2 + r - x, 0, x - (46 - r))
        qy = max(2 + r - y, 0, y - (46 - r))
        if math.hypot(qx, qy) > r:
            return None
        top, bottom, left, right, bar = 11.0, 37.0, 12.0, 36.0, 6.0
        if left <= x <= right and (top <= y <= top + bar or bottom - bar <= y <= bottom):
            return (255, 255, 255)
        # The diagonal from the top bar's right end to the bottom bar's left end.
        if top + bar <= y <= bottom - bar:
            t = (y - (top + bar)) / ((bottom - bar) - (top + bar))
            centre = right - 4.5 - t * (right - left - 9.0)
            if abs(x - centre) <= 4.6:
                return (255, 255, 255)
        return mix((52, 150, 230), (20, 70, 160), (x + y) / 96)

    return shape


def render(shape, size):
    """Pixels top-down as (colour, coverage) pairs."""
    rows = []
    step = 1.0 / SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += c[i]
            if hits:
                colour = tuple(round(v / hits) for v in total)
                row.append((colour, hits / (SAMPLES * SAMPLES)))
            else:
                row.append((None, 0.0))
        rows.append(row)
    return rows


def write_bmp8(path, rows):
    """An 8-bit BMP with a palette of the picture's own colours (fewer than 256 in each):
    the same pixels as 24 bits in a third of the bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width + 3) & ~3
    palette = {}
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for colour, coverage in row:
            if coverage < 1.0 / 16:
                rgb = TRANSPARENT
            else:
                rgb = mix(BUTTON_FACE, colour, coverage)
            line.append(palette.setdefault(rgb, len(palette)))
        line += b"\0" * (stride - len(line))
        pixels += line
    if len(palette) > 256:
        raise ValueError(f"{path}: {len(palette)} colours do not fit an 8-bit palette")
    table = b"".join(bytes((rgb[2], rgb[1], rgb[0], 0)) for rgb in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, len(palette), 0
    )
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask."""
    size = len(rows)
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (colour, coverage) in enumerate(row):
            alpha = round(coverage * 255)
            rgb = colour if colour else (0, 0, 0)
            xor += bytes((rgb[2], rgb[1], rgb[0], alpha))
            if alpha == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, sizes):
    images = [icon_image(render(app_icon(s), s)) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(data + b"".join(images))


PICTURES = [
    ("InternetExplorer.bmp", internet_explorer),
    ("Chrome.bmp", chrome),
    ("Firefox.bmp", firefox),
    ("Safari.bmp", safari),
    ("Opera.bmp", opera),
]


def main():
    for name, shape in PICTURES:
        write_bmp8(os.path.join(HERE, name), render(shape, SIZE))
    write_ico(os.path.join(HERE, "ZOLVWeb.ico"), [16, 32, 48])


if __name__ == "__main__":
    main()
