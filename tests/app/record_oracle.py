#!/usr/bin/env python3
"""Checks the installation record of the Windows build with `wine reg query`.

The record written must show as three REG_SZ values under HKCU\\<base_key>\\<product_key>; deleting
with an empty product name must leave everything; deleting the product removes only its
key. The base key is unique per run and removed at the end.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from wine_oracle import BIN_DIR, check, finish, reg_values, wine  # noqa: E402

PROBE = os.path.join(BIN_DIR, "record_probe.exe")
BASE = rf"\software\OrvoTest-record-{os.getpid()}"


def exists(key):
    return reg_values("HKCU" + key)[0]


try:
    record = {"AppDir": r"C:\Program Files\Firma\Želvík", "Ver": "3", "Rel": "b"}
    for prog in ("Zelvik", "Other"):
        rc = wine(PROBE, "write", BASE, prog, record["AppDir"], record["Ver"], record["Rel"])[0]
        check(f"write {prog}", rc, 0)
    check("record values", reg_values("HKCU" + BASE + r"\Zelvik"),
          (True, {name: ("REG_SZ", data) for name, data in record.items()}))

    check("delete with empty name", wine(PROBE, "delete", BASE, "")[0], 0)
    check("base and record kept", (exists(BASE), exists(BASE + r"\Zelvik")), (True, True))

    check("delete", wine(PROBE, "delete", BASE, "Zelvik")[0], 0)
    check("record gone, sibling kept", (exists(BASE + r"\Zelvik"), exists(BASE + r"\Other")),
          (False, True))
finally:
    wine("reg", "delete", "HKCU" + BASE, "/f")
finish("record_oracle")
