#!/usr/bin/env python3
"""Assembles the demo package folder: setup.exe, the text files of package/ converted from UTF-8
to code page 1250 with CR LF line ends (as a Czech Windows editor saves them), and orvoinst.zip
holding payload/ plus the demo program as zelvik.exe.

    make_package.py SOURCE_DIR SETUP_EXE DEMO_EXE OUT_DIR [STRIP]

With STRIP (the toolchain's strip program) setup.exe goes into the package without its
debugging information.
"""
import os
import shutil
import subprocess
import sys
import zipfile

TEXT_FILES = ("setup.ini", "license.txt", "short.txt")


def to_cp1250(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1250")


def main():
    source, setup_exe, demo_exe, out = sys.argv[1:5]
    strip = sys.argv[5] if len(sys.argv) > 5 else ""
    os.makedirs(out, exist_ok=True)
    for name in TEXT_FILES:
        with open(os.path.join(source, "package", name), encoding="utf-8") as f:
            data = to_cp1250(f.read())
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    # The program as shipped: without its debugging information it is a sixteenth of the
    # size, and the system maps less of it at every start.
    if strip:
        subprocess.run([strip, "-o", os.path.join(out, "setup.exe"), setup_exe], check=True)
    else:
        shutil.copyfile(setup_exe, os.path.join(out, "setup.exe"))

    payload = os.path.join(source, "payload")
    members = []
    for folder, dirs, files in os.walk(payload):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            members.append((path, os.path.relpath(path, payload).replace(os.sep, "/")))
    members.append((demo_exe, "zelvik.exe"))
    archive = os.path.join(out, "orvoinst.zip")
    with zipfile.ZipFile(archive + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for path, name in members:
            z.write(path, name)
    os.replace(archive + ".tmp", archive)


if __name__ == "__main__":
    main()
