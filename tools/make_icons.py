#!/usr/bin/env python3
"""Draws the program's icons (a coloured square with a telephone) as .ico
files. The application icon holds 16, 20, 24, 32, 48 and 256 pixel
pictures, for every place and scale Windows shows it (the 256 pixel one
PNG-compressed, as Windows expects); the tray icons hold 16, 32 and 48. The
icons are kept in resources/icons; run this again only to change the
artwork. Needs only Python's standard library."""
import os
import struct
import sys
import zlib

ICONS = {
    # file: (square colour, telephone colour) as RGB
    "app.ico": ((200, 30, 30), (40, 20, 20)),          # 128 application
    "offhook.ico": ((40, 170, 60), (0, 0, 0)),         # 134 off hook
    "noadapter.ico": ((0, 0, 0), (150, 150, 150)),     # 136 no adapter
    "initialising.ico": ((205, 205, 205), (50, 50, 50)),  # 137 initialising
    "ready.ico": ((210, 25, 25), (45, 15, 15)),        # 144 ready
}
APP_SIZES = (16, 20, 24, 32, 48, 256)
TRAY_SIZES = (16, 32, 48)
PNG_FROM = 256  # pictures this large are stored as PNG


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


def pixels(size, square, phone):
    """Rows of (b, g, r, a) bytes, top row first."""
    rows = []
    margin = max(1, size // 16)
    for py in range(size):
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
    return rows


def bitmap(size, rows):
    """The picture as an icon bitmap: bottom-up rows and an empty mask."""
    xor = b"".join(reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # alpha channel decides transparency
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def png(size, rows):
    """The picture as a PNG file (8-bit RGBA)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + rgba(row) for row in rows)  # filter type 0 per row
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def rgba(row):
    """A row of (b, g, r, a) bytes as (r, g, b, a)."""
    out = bytearray(row)
    out[0::4], out[2::4] = row[2::4], row[0::4]
    return bytes(out)


def picture(size, square, phone):
    rows = pixels(size, square, phone)
    return png(size, rows) if size >= PNG_FROM else bitmap(size, rows)


def ico(sizes, square, phone):
    images = [picture(s, square, phone) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        side = size % 256  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, (square, phone) in ICONS.items():
        sizes = APP_SIZES if name == "app.ico" else TRAY_SIZES
        with open(os.path.join(folder, name), "wb") as f:
            f.write(ico(sizes, square, phone))


if __name__ == "__main__":
    main()
