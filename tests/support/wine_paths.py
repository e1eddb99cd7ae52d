"""Host paths as the Windows programs under Wine see them, for the scripts that run them.

The Wine prefixes have no drive on the Linux root: besides the prefix's own C:, only the drives
of scripts/wine-drives.txt (S: the checkout, B: its build trees, D: ../shared) lead to the
host. Files a Windows program reads or writes for a while go into a scratch folder of the build
tree, never into /tmp.
"""
import os

CHECKOUT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def drives():
    """(letter, host folder) of each drive, the deepest folder first: a path is reached through
    the deepest folder that holds it, as Wine picks the drive of a Unix path."""
    found = []
    with open(os.path.join(CHECKOUT, "scripts", "wine-drives.txt"), encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                found.append((fields[0], os.path.normpath(os.path.join(CHECKOUT, fields[1]))))
    return sorted(found, key=lambda drive: -len(drive[1]))


def windows_path(host):
    """The Windows path of a host file or folder; ValueError for one on no drive."""
    path = os.path.abspath(host)
    for letter, folder in drives():
        if path == folder or path.startswith(folder + os.sep):
            rest = os.path.relpath(path, folder)
            return f"{letter}:\\" + ("" if rest == "." else rest.replace(os.sep, "\\"))
    known = ", ".join(f"{letter}: {folder}" for letter, folder in drives())
    raise ValueError(f"{host} is on no drive of the Wine prefix; its drives "
                     f"(scripts/wine-drives.txt) are {known}")


def scratch(build_dir):
    """BUILD_DIR/scratch, made if need be: the folder for temporary files and folders that
    Windows programs reach (tempfile's dir=)."""
    folder = os.path.join(build_dir, "scratch")
    os.makedirs(folder, exist_ok=True)
    return folder
