#!/usr/bin/env python3
"""Draws the program's icons (a coloured square with a telephone) as .ico
files holding 16, 32 and 48 pixel pictures. The icons are kept in
resources/icons; run this again only to change the artwork."""
import os
import struct
import sys

ICONS = {
    # file: (square colour, telephone colour) as RGB
    "app.ico": ((200, 30, 30), (40, 20, 20)),          # 128 application
    "offhook.ico": ((40, 170, 60), (0, 0, 0)),         # 134 off hook
    "noadapter.ico": ((0, 0, 0), (150, 150, 150)),     # 136 no adapter
    "initialising.ico": ((205, 205, 205), (50, 50, 50)),  # 137 initialising
    "ready.ico": ((210, 25, 25), (45, 15, 15)),        # 144 ready
}
SIZES = (16, 32, 48)


def telephone(x, y):
    """True where the unit-square point (x, y) lies on the telephone."""
    handset = 0.18 <= y <= 0.34 and 0.14 <= x <= 0.86
    ear = 0.18 <= y <= 0.46 and (0.14 <= x <= 0.32 or 0.68 <= x <= 0.86)
    if 0.46 <= y <= 0.82:
        t = (y - 0.46) / 0.36
        half = 0.20 + 0.12 * t
        body = abs(x - 0.5) <= half
        dial = (x - 0.5) ** 2 + (y - 0.62) ** 2 <= 0.011
        return body and not dial
    return handset or ear


def picture(size, square, phone):
    rows = []
    margin = max(1, size // 16)
    for py in range(size - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for px in range(size):
            inside = margin <= px < size - margin and margin <= py < size - margin
            if not inside:
                row += bytes((0, 0, 0, 0))
                continue
            x, y = (px + 0.5) / size, (py + 0.5) / size
            r, g, b = phone if telephone(x, y) else square
            row += bytes((b, g, r, 255))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # alpha channel decides transparency
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def ico(square, phone):
    images = [picture(s, square, phone) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, (square, phone) in ICONS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(ico(square, phone))


if __name__ == "__main__":
    main()
