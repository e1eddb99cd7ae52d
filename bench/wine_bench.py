"""What the benchmarks under Wine share: the payload, programs timed through e2e_driver.exe, and
the demo package installed under a product name of one run only and tidied after each install.
"""
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from setup_ini import read_values, rewrite_values  # noqa: E402,F401
from wine_paths import windows_path  # noqa: E402,F401
SHARED_BENCH = os.path.join(ROOT, "..", "shared", "bench")
RUN = os.path.join(ROOT, "scripts", "wine-run")
os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=")
SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
APPS_LIST = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def say(text):
    print(text, flush=True)


def load():
    return "load %.2f %.2f %.2f" % os.getloadavg()


def wine_prefix():
    out = subprocess.run(["bash", "-c", f'source "{ROOT}/scripts/lib.sh"; echo "$ORVO_WINEPREFIX"'],
                         check=True, capture_output=True, text=True).stdout
    return out.strip()


def host_path(prefix, path):
    """Where a path on a drive of the prefix lies on the host."""
    drive = os.path.realpath(os.path.join(prefix, "dosdevices", path[0].lower() + ":"))
    return os.path.join(drive, *[p for p in path[2:].split("\\") if p])


def reg_values(key):
    result = subprocess.run([RUN, "reg", "query", key], capture_output=True,
                            stdin=subprocess.DEVNULL)
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3 and parts[1] == "REG_SZ":
            values[parts[0]] = parts[2]
    return values


def make_payload(folder, size_mb=300):
    """The benchmark payload (installer profile) in FOLDER, made once: ../shared/bench's
    generator writes FOLDER.manifest.txt last. Returns the manifest line."""
    manifest = folder + ".manifest.txt"
    if not (os.path.isfile(manifest) and os.path.isdir(folder)):
        say(f"generating the payload in {folder} (about a minute for 300 MB)")
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(SHARED_BENCH, "make_payload.py"), folder,
                        "--size-mb", str(size_mb)], check=True, stdout=subprocess.DEVNULL)
    with open(manifest) as f:
        line = f.read().strip()
    say(f"payload: {line}")
    return line


def manifest_files(line):
    return int(re.search(r"files=(\d+)", line).group(1))


def zip_folder(folder, archive):
    """zip -q -r -6 from inside the folder, as ../shared/bench makes its main archive."""
    subprocess.run(["zip", "-q", "-r", "-6", archive + ".tmp", "."], cwd=folder, check=True)
    os.replace(archive + ".tmp", archive)


def count_files(folder):
    return sum(len(names) for _, _, names in os.walk(folder))


def driver_lap(output, label):
    match = re.search(rf"^lap {label} ([0-9.]+)", output, re.M)
    return float(match.group(1)) if match else None


def package_copy(package, folder):
    """A copy of a package folder for one install (the run removes its package folder); the
    archive is a hard link."""
    def copy(source, target):
        if os.path.basename(source) == "orvoinst.zip":
            os.link(source, target)
        else:
            shutil.copyfile(source, target)
    shutil.copytree(package, folder, copy_function=copy)
    return folder


class Driver:
    """Runs programs under e2e_driver.exe, through a batch file that gives the driver and its
    program a temporary folder of their own, so the self-removal batch of one run cannot meet
    another's."""

    def __init__(self, bin_dir, work, name):
        self.exe = windows_path(os.path.join(bin_dir, "e2e_driver.exe"))
        self.work = work
        self.name = name
        self.temp = os.path.join(work, "temp")
        os.makedirs(self.temp, exist_ok=True)

    def run(self, program, steps, args=None, timeout=600):
        """The driver's output; ends the benchmark when a step fails."""
        temp = windows_path(self.temp)
        line = [self.exe, "--timeout", str(timeout)]
        if args:
            line += ["--args", args.replace('"', '\\"')]
        line += [program] + steps
        batch = os.path.join(self.work, "drive.bat")
        with open(batch, "w", newline="\r\n") as f:
            f.write(f"@echo off\nset TEMP={temp}\nset TMP={temp}\n")
            f.write(" ".join(f'"{a}"' for a in line) + "\n")
        result = subprocess.run([RUN, "cmd", "/c", windows_path(batch)], capture_output=True,
                                stdin=subprocess.DEVNULL)
        out = result.stdout.decode("utf-8", "replace")
        if result.returncode != 0:
            say(out)
            raise SystemExit(f"{self.name}: the driver failed ({result.returncode})")
        return out

    def start_to_exit(self, program, args, label):
        """Seconds from the program's start to its exit with code 0."""
        out = self.run(program, ["poll:10", "exit:0", f"lap:{label}"], args)
        return driver_lap(out, label)


class DemoProduct:
    """The demo package's setup.exe and texts (in TEMPLATE, without an archive) under a product
    name of this run only, so that no installation or record of anyone else is touched; removes
    what an install leaves in the prefix besides its folder."""

    def __init__(self, build, work, prefix, name):
        self.prefix = prefix
        self.name = name
        self.template = os.path.join(work, "package")
        package = os.path.join(build, "demo-package")
        os.makedirs(self.template)
        for file in ("setup.exe", "setup.ini", "license.txt", "short.txt"):
            shutil.copyfile(os.path.join(package, file), os.path.join(self.template, file))
        self.ini = os.path.join(self.template, "setup.ini")
        rewrite_values(self.ini, {"softname": name, "regdir": name, "progreg": name,
                                  "idn": name + "Setup"})
        self.values = read_values(self.ini)
        self.program_files = reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")[
            "ProgramFilesDir"]
        folders = reg_values(SHELL_FOLDERS)
        self.leftovers = [
            folders["Desktop"] + "\\" + name + ".lnk",
            folders["Start Menu"] + "\\" + name + ".lnk",
            folders["Programs"] + "\\" + self.values["company"] + "\\" + name,
        ]
        self.company = host_path(prefix, folders["Programs"] + "\\" + self.values["company"])

    def tidy(self, package):
        """Removes the record, the Apps entry and the shortcuts, and the package folder once the
        self-removal batch is done with it."""
        for key in (r"HKCU\software\Orvo" + "\\" + self.name, APPS_LIST + "\\" + self.name):
            subprocess.run([RUN, "reg", "delete", key, "/f"], capture_output=True,
                           stdin=subprocess.DEVNULL)
        for path in self.leftovers:
            host = host_path(self.prefix, path)
            if os.path.isdir(host):
                shutil.rmtree(host)
            elif os.path.lexists(host):
                os.remove(host)
        if os.path.isdir(self.company) and not os.listdir(self.company):
            os.rmdir(self.company)
        # The self-removal batch takes the package folder a moment after the program ended.
        give_up = time.monotonic() + 30
        while os.path.exists(package) and time.monotonic() < give_up:
            time.sleep(0.1)
        shutil.rmtree(package, ignore_errors=True)
