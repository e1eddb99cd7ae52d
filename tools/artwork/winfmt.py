"""Writers for the Windows picture formats the resources need: BMP (4, 8 and 24 bits per pixel)
and ICO (16-colour images with their transparency masks, and true-colour ones stored as PNG).
Pillow writes neither 4-bit BMPs nor BMP-style icons, so the few header fields are laid out here
by hand."""

import struct

# The 16 colours every Windows display shows without dithering; olive (index 3) is the
# glyph strips' transparent colour.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

_PIXELS_PER_METRE = 3780  # 96 dots per inch


def _row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def _pack_row(row, bits):
    """One scan line: palette indices (4 or 8 bits) or (r, g, b) tuples (24 bits), padded."""
    if bits == 24:
        data = bytearray()
        for r, g, b in row:
            data += bytes((b, g, r))
    elif bits == 8:
        data = bytearray(row)
    elif bits == 4:
        data = bytearray()
        for i in range(0, len(row), 2):
            high = row[i]
            low = row[i + 1] if i + 1 < len(row) else 0
            data.append(high << 4 | low)
    elif bits == 1:
        data = bytearray()
        for i in range(0, len(row), 8):
            byte = 0
            for j, bit in enumerate(row[i:i + 8]):
                byte |= bit << (7 - j)
            data.append(byte)
    else:
        raise ValueError(f"unsupported depth {bits}")
    data += bytes(_row_stride(len(row), bits) - len(data))
    return bytes(data)


def _pixel_block(rows, bits):
    # Device-independent bitmaps are stored bottom row first.
    return b"".join(_pack_row(row, bits) for row in reversed(rows))


def _palette_block(palette):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in palette)


def _info_header(width, height, bits, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       _PIXELS_PER_METRE, _PIXELS_PER_METRE, colours_used, 0)


def bmp_bytes(rows, bits, palette=None):
    """A BMP file of the top-down rows; palette (list of RGB) for 4 and 8 bits per pixel."""
    height = len(rows)
    width = len(rows[0])
    palette = palette or []
    if bits in (4, 8) and not 0 < len(palette) <= 1 << bits:
        raise ValueError("a palette image needs a palette that fits its depth")
    pixels = _pixel_block(rows, bits)
    info = _info_header(width, height, bits, len(pixels), len(palette)) + _palette_block(palette)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + pixels


def ico_image(rows, opaque):
    """One 16-colour icon image: rows of VGA16 indices, opaque a same-sized grid of booleans
    (False: the desktop shows through). Returns (width, height, colours, bits, data)."""
    height = len(rows)
    width = len(rows[0])
    # Transparent pixels carry black in the colour plane, so that the AND/XOR drawing leaves
    # the background untouched.
    colour = [[index if opaque[y][x] else 0 for x, index in enumerate(row)]
              for y, row in enumerate(rows)]
    mask = [[0 if opaque[y][x] else 1 for x in range(width)] for y in range(height)]
    xor_plane = _pixel_block(colour, 4)
    and_plane = _pixel_block(mask, 1)
    # The height in an icon's header counts both planes.
    data = (_info_header(width, height * 2, 4, len(xor_plane) + len(and_plane), 0)
            + _palette_block(VGA16) + xor_plane + and_plane)
    return width, height, 16, 4, data


def png_icon_image(size, png):
    """A true-colour icon image stored as PNG, as Windows takes its 256-pixel icons."""
    return size, size, 0, 32, png


def ico_bytes(images):
    """An icon file of the images (from ico_image or png_icon_image), in the order given."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for width, height, colours, bits, data in images:
        # A size of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bits,
                               len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for *_, data in images)
