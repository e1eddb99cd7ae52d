#!/usr/bin/env python3
"""Checks the drawn artwork with tools that know the formats (file and ImageMagick's identify):
progressive JPEGs with three colour components, bitmap depths, the icons' colour depth, the
glyph strips' olive corner, and that drawing twice gives the same bytes.
    artwork_format_check.py PYTHON MAKE_ARTWORK_SCRIPT ARTWORK_DIR"""

import filecmp
import os
import re
import subprocess
import sys
import tempfile

# name: (width, height, what `file` must say about the depth)
JPEGS = {
    "side_portal.jpg": (150, 300), "side_licence.jpg": (150, 300), "side_dirpage.jpg": (150, 300),
    "side_iconpage.jpg": (150, 300), "side_install.jpg": (150, 300), "side_uninstall.jpg": (150, 299),
}
BITMAPS = {
    "pic_folder.bmp": (34, 29, 24), "pic_run.bmp": (16, 16, 24), "pic_member.bmp": (16, 16, 4),
    "pic_logo.bmp": (350, 100, 8),
    "glyph_back.bmp": (32, 16, 4), "glyph_continue.bmp": (32, 16, 4), "glyph_cancel.bmp": (32, 16, 4),
    "glyph_finish.bmp": (32, 16, 4), "glyph_uninstall.bmp": (32, 16, 4),
}
# name: what `file` must say of the images
ICONS = {
    "app.ico": "4 icons, 16x16, 16 colors, 4 bits/pixel, 32x32, 16 colors, 4 bits/pixel",
    "pic_shortcut.ico": "1 icon, 32x32, 16 colors, 4 bits/pixel",
}
# identify's width and height of each image of an icon
ICON_SIZES = {"app.ico": ["16 16", "32 32", "48 48", "256 256"], "pic_shortcut.ico": ["32 32"]}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def main(python, script, folder):
    names = sorted(os.listdir(folder))
    check(names == sorted(list(JPEGS) + list(BITMAPS) + list(ICONS)), f"unexpected file set: {names}")

    for name, (w, h) in JPEGS.items():
        path = os.path.join(folder, name)
        described = run("file", "-b", path)
        check("progressive" in described, f"{name}: not progressive: {described}")
        check("components 3" in described, f"{name}: not 3 components: {described}")
        check(f"{w}x{h}" in described, f"{name}: not {w}x{h}: {described}")
        verbose = run("identify", "-verbose", path)
        check(re.search(r"^\s*Interlace: JPEG$", verbose, re.M), f"{name}: identify sees no progressive scans")
        check(re.search(rf"^\s*Geometry: {w}x{h}\+0\+0$", verbose, re.M), f"{name}: identify: not {w}x{h}")
        factors = re.search(r"jpeg:sampling-factor: (\S+)", verbose)
        check(factors and len(factors.group(1).split(",")) == 3, f"{name}: identify: not 3 components")
        check(re.search(r"^\s*Colorspace: sRGB$", verbose, re.M), f"{name}: not a colour picture")

    for name, (w, h, bits) in BITMAPS.items():
        path = os.path.join(folder, name)
        described = run("file", "-b", path)
        check(f"{w} x {h} x {bits}," in described, f"{name}: not {w} x {h} x {bits}: {described}")
        verbose = run("identify", "-verbose", path)
        colours = re.search(r"^\s*Colors: (\d+)$", verbose, re.M)
        if bits < 24:
            check(colours and 2 < int(colours.group(1)) <= 1 << bits,
                  f"{name}: colour count does not fit {bits} bits")
        if name.startswith("glyph_"):
            corner = run("convert", path, "-crop", "1x1+0+15", "+repage", "-depth", "8", "txt:-")
            check("#808000" in corner.upper(), f"{name}: bottom-left pixel is not olive: {corner}")

    for name, images in ICONS.items():
        path = os.path.join(folder, name)
        described = run("file", "-b", path)
        check(images in described, f"{name}: {described}")
        geometry = run("identify", "-format", "%w %h\n", path).split("\n")[:-1]
        check(geometry == ICON_SIZES[name], f"{name}: identify reads {geometry}")

    # Drawing is deterministic: two fresh runs give the build's bytes.
    for _ in range(2):
        with tempfile.TemporaryDirectory() as fresh:
            subprocess.run([python, script, fresh], check=True)
            match, mismatch, errors = filecmp.cmpfiles(folder, fresh, names, shallow=False)
            check(not mismatch and not errors, f"a fresh drawing differs: {mismatch + errors}")

    checked = len(JPEGS) + len(BITMAPS) + len(ICONS)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{checked} files checked, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
