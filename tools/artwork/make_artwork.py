#!/usr/bin/env python3
"""Draws all of the installer's artwork into the folder given:
    make_artwork.py OUTPUT_DIR
Six side pictures (progressive JPEG), the pictures beside headings and over the progress bars
(BMP), the product logo (BMP, 256 colours), five button glyph strips (BMP, 16 colours) and two
icons: the program's in 16 colours at 16, 32 and 48 pixels and in true colour at 256, the
shortcut picture's in 16 colours at 32. The output depends on nothing but this code: the same
bytes every run."""

import io
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image  # noqa: E402

import pixels  # noqa: E402
import scenes  # noqa: E402
from winfmt import VGA16, bmp_bytes, ico_bytes, ico_image, png_icon_image  # noqa: E402


def jpeg_bytes(image):
    # Progressive with three full-resolution components: no chroma subsampling, so the red and
    # green edges stay clean at this small size.
    out = io.BytesIO()
    image.save(out, "JPEG", quality=92, progressive=True, optimize=True, subsampling=0)
    return out.getvalue()


def png_bytes(image):
    out = io.BytesIO()
    image.save(out, "PNG", optimize=True)
    return out.getvalue()


def icon_image(grid):
    opaque, indices = pixels.icon_mask(grid)
    return ico_image(indices, opaque)


def logo_bytes():
    image = scenes.logo(350, 100)
    # A fixed palette of 256 colours chosen by median cut, no dithering: the same every run.
    quantised = image.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    flat = quantised.getpalette()[:256 * 3]
    flat += [0] * (256 * 3 - len(flat))
    palette = [tuple(flat[i:i + 3]) for i in range(0, 256 * 3, 3)]
    width, height = quantised.size
    data = quantised.tobytes()
    rows = [list(data[y * width:(y + 1) * width]) for y in range(height)]
    return bmp_bytes(rows, 8, palette)


def artwork():
    """Every file name with its bytes."""
    files = {}
    for name, draw, height in scenes.SIDE_PICTURES:
        files[name + ".jpg"] = jpeg_bytes(draw(150, height))
    for name, motif in pixels.GLYPHS:
        files[name + ".bmp"] = bmp_bytes(pixels.glyph_strip(motif), 4, VGA16)
    files["pic_folder.bmp"] = bmp_bytes(pixels.folder_picture(), 24)
    files["pic_run.bmp"] = bmp_bytes(pixels.package_picture(), 24)
    files["pic_member.bmp"] = bmp_bytes(pixels.member_picture(), 4, VGA16)
    files["pic_logo.bmp"] = logo_bytes()
    files["app.ico"] = ico_bytes([icon_image(pixels.app_icon(size)) for size in pixels.APP_ICON_SIZES]
                                 + [png_icon_image(256, png_bytes(pixels.large_app_icon(256)))])
    files["pic_shortcut.ico"] = ico_bytes([icon_image(pixels.shortcut_icon())])
    return files


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_artwork.py OUTPUT_DIR\n")
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, data in sorted(artwork().items()):
        path = os.path.join(out_dir, name)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
