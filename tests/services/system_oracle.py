#!/usr/bin/env python3
"""Checks the system folders and shortcuts of the Windows build against Wine's own tools.

The system folders must be what `wine reg query` shows for the Shell Folders and
CurrentVersion keys (a missing value: empty) and what the command interpreter shows for
%TEMP%. Shortcut files must carry the target and working folder that lnkinfo reads.
Runs services_probe.exe through $ORVO_RUN (scripts/wine-run: the test prefix and locale).
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from wine_oracle import BIN_DIR, check, failures, finish, reg_values, wine  # noqa: E402
from wine_paths import scratch, windows_path  # noqa: E402

PROBE = os.path.join(BIN_DIR, "services_probe.exe")
USER_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
MACHINE_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion"


def check_folders():
    rc, out, err = wine(PROBE, "folders")
    if rc != 0:
        failures.append(f"services_probe folders failed ({rc}): {err}")
        return
    got = dict(line.split("=", 1) for line in out.splitlines())
    user, machine = reg_values(USER_KEY)[1], reg_values(MACHINE_KEY)[1]
    if not user or not machine:
        failures.append("reg query listed no values")
    sources = [("WindowsDir", machine, "SystemRoot"), ("ProgramFilesDir", machine, "ProgramFilesDir"),
               ("DeskTopDir", user, "Desktop"), ("FontsDir", user, "Fonts"),
               ("StartMenuDir", user, "Start Menu"), ("StartMenuProgramsDir", user, "Programs"),
               ("RecentDir", user, "Recent"), ("StartMenuStartUp", user, "StartUp")]
    for prop, values, name in sources:
        check(prop, got.get(prop), values.get(name, ("", ""))[1])
    _, temp, _ = wine("cmd", "/c", "echo %TEMP%", encoding="cp852")
    check("TempDir", got.get("TempDir"), temp.strip())


def lnkinfo(path):
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True).stdout
    fields = {}
    for line in out.splitlines():
        name, sep, value = line.strip().partition(":")
        if sep:
            fields[name.strip()] = value.strip()
    return fields.get("Local path"), fields.get("Working directory")


def check_links():
    with tempfile.TemporaryDirectory(prefix="orvo-links-",
                                     dir=scratch(os.environ["ORVO_BUILD_DIR"])) as folder:
        win_folder = windows_path(folder)
        cases = [  # target, link name, folder argument, file expected
            (r"C:\Prog\run.exe", "Readme", win_folder, "Readme.lnk"),
            (r"C:\Prog\run.exe", "Readme.LNK", win_folder + "\\", "Readme.LNK.lnk"),
            (r"D:\Tools\bin\tool.exe", "Tool.lnk", win_folder, "Tool.lnk"),
            (r"D:\Tools\bin\tool.exe", "Read.lnk.me", win_folder + "\\", "Read.lnk.me"),
            (r"C:\Prog\run.exe", "Čti mě", win_folder, "Čti mě.lnk"),
        ]
        for target, name, where, file in cases:
            rc, out, err = wine(PROBE, "link", target, name, where)
            check(f"link {name} exit", (rc, out, err), (0, "", ""))
            path = os.path.join(folder, file)
            if not os.path.exists(path):
                failures.append(f"link {name}: no file {file} (folder has {os.listdir(folder)})")
                continue
            check(f"link {name} (target, working folder)", lnkinfo(path),
                  (target, target[: target.rfind("\\") + 1]))
        check("files written", sorted(os.listdir(folder)), sorted(c[3] for c in cases))

        # A folder that does not exist: no file, no message, and the failure is reported.
        before = os.listdir(folder)
        rc, out, err = wine(PROBE, "link", r"C:\Prog\run.exe", "Gone", win_folder + r"\missing")
        check("missing folder", (rc, out, err, os.listdir(folder)), (1, "", "", before))


check_folders()
check_links()
finish("system_oracle")
