"""Helpers of the scripts that check a probe program's work with Wine's own tools.

Programs run through $ORVO_RUN (scripts/wine-run: the test prefix and its Czech locale).
"""
import os
import subprocess
import sys

RUN = os.environ["ORVO_RUN"]
BIN_DIR = os.environ["ORVO_BIN_DIR"]
failures = []


def wine(*args, encoding="utf-8"):
    """(exit code, stdout, stderr) of a Windows program. Our probes write UTF-8; Wine's own
    tools write the OEM code page (852) when their output is a pipe."""
    done = subprocess.run([RUN, *args], capture_output=True, stdin=subprocess.DEVNULL)
    return (done.returncode, done.stdout.decode(encoding, "replace"),
            done.stderr.decode(encoding, "replace"))


def reg_values(key):
    """(exists, {name: (type, data)}) of a registry key as `reg query` lists it."""
    rc, out, _ = wine("reg", "query", key, encoding="cp852")
    values = {}
    for line in out.splitlines():
        if not line.startswith("    "):
            if values:  # the subkeys follow the values
                break
            continue
        parts = line.strip().split("    ")
        values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return rc == 0, values


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def finish(name):
    for failure in failures:
        print("FAIL", failure)
    print(f"{name}:", "failed" if failures else "passed")
    sys.exit(1 if failures else 0)
