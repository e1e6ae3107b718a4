"""Windows bitmap and icon files, written byte for byte, for the scripts that
draw the three programs' pictures at build time.  Standard library only.

Pictures are given as rows, top row first, of palette indices (1, 4 and 8
bits per pixel), (r, g, b) tuples (24 bits) or (r, g, b, a) tuples (32 bits).
Every value written is computed from the arguments alone, so a script using
these writers produces the same bytes on every run.
"""
import os
import struct

# The 16 colours every display driver has had since VGA, in the order of
# Windows' own 4-bit bitmaps: pictures drawn in them look the same on a
# 16-colour screen as on a true-colour one.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def pixel_data(width, bits, rows):
    """The rows bottom-up, packed at `bits` per pixel, each padded to a
    multiple of four bytes as a DIB requires."""
    stride = (width * bits + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bits == 32:
            for r, g, b, a in row:
                line += bytes((b, g, r, a))
        elif bits == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        elif bits == 8:
            line += bytes(row)
        elif bits == 4:
            for x in range(0, width, 2):
                hi = row[x]
                lo = row[x + 1] if x + 1 < width else 0
                line.append(hi << 4 | lo)
        elif bits == 1:
            for x in range(0, width, 8):
                byte = 0
                for i in range(8):
                    if x + i < width and row[x + i]:
                        byte |= 0x80 >> i
                line.append(byte)
        else:
            raise ValueError("unsupported depth: %d bits" % bits)
        line += bytes(stride - len(line))
        data += line
    return bytes(data)


def _info_header(width, height, bits, image_size, pels_per_metre, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       pels_per_metre, pels_per_metre, colours, 0)


def _palette(palette):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in palette)


def bmp(width, height, bits, palette, rows, pels_per_metre=2835):
    """A bottom-up Windows bitmap file (1, 4, 8 or 24 bits per pixel).
    pels_per_metre is the resolution recorded in the header; 2835 is 72 dpi,
    0 leaves it unstated."""
    data = pixel_data(width, bits, rows)
    info = _info_header(width, height, bits, len(data), pels_per_metre,
                        len(palette) if bits <= 8 else 0)
    pal = _palette(palette)
    offset = 14 + len(info) + len(pal)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + pal + data


def icon_image(size, bits, palette, rows, transparent):
    """One square picture of an icon: its header (which counts the colour and
    mask bitmaps together, hence twice the height), palette, colour bitmap
    and AND mask.  transparent holds rows of booleans, True where the desktop
    shows through; the colour there should be 0 (black) so that the XOR of
    the colour bitmap leaves the desktop unchanged."""
    colour = pixel_data(size, bits, rows)
    mask = pixel_data(size, 1, transparent)
    head = _info_header(size, size * 2, bits, len(colour) + len(mask), 0,
                        len(palette) if bits <= 8 else 0)
    return head + _palette(palette) + colour + mask


def ico(images):
    """An icon file holding the pictures made by icon_image, in the order
    given; the directory takes each one's size and depth from its header."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image in images:
        size, = struct.unpack_from("<i", image, 4)
        bits, = struct.unpack_from("<H", image, 14)
        colours = 1 << bits if bits < 8 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                           len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def save(outdir, files):
    """Writes each (name, bytes) into outdir, through a temporary file so an
    interrupted run never leaves a truncated picture for the next build."""
    os.makedirs(outdir, exist_ok=True)
    for name, data in files:
        path = os.path.join(outdir, name)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
