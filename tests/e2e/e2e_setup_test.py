#!/usr/bin/env python3
"""Runs setup.exe under Wine from a fresh copy of the demo package inside the prefix's drive C:
and walks its wizard with e2e_driver.exe, then checks what the installer left behind.

    e2e_setup_test.py mechanics        the first page: controls found and read, a screenshot,
                                       a close that leaves the package alone
    e2e_setup_test.py install          install and uninstall under names of this run only
    e2e_setup_test.py full             all.zip, short.txt, readme.txt, a picked folder, both
                                       shortcuts; uninstall declined, the saved setup.ini,
                                       then uninstalled
    e2e_setup_test.py cancel           cancel on each page: the package's files go
    e2e_setup_test.py demo [SHOT_DIR]  the demo package as it is, a screenshot of every step
    e2e_setup_test.py second           a second copy started while the first is up
    e2e_setup_test.py noconfig         each required value missing from setup.ini in turn
    e2e_setup_test.py badzip           an archive member whose data fails its CRC
    e2e_setup_test.py norecord         uninstall where no record exists
    e2e_setup_test.py noicons          "icons" 0: the shortcut page is skipped both ways
    e2e_setup_test.py pack             a package made by ozip.exe pack, installed with /S /D=
    e2e_setup_test.py names            a company "s.r.o." and a two-level folder; the English
                                       wording of every text
    e2e_setup_test.py fleet            /S /ALLUSERS and its uninstall from the machine's Apps
                                       list; /PASSIVE
    e2e_setup_test.py share            /S /D= on a network share (Wine's dosdevices/unc); a share
                                       that is not there and a read-only folder on one
    e2e_setup_test.py ownership        started from elsewhere, manifests changed or missing,
                                       records and Apps entries of others, a batch refused

The environment is that of orvo_add_script_test: ORVO_RUN (the Wine wrapper), ORVO_BIN_DIR,
ORVO_BUILD_DIR, ORVO_SOURCE_DIR.
"""
import filecmp
import getpass
import hashlib
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from setup_ini import read_values, rewrite_values  # noqa: E402
from wine_paths import windows_path  # noqa: E402

# Wine's menu builder, which Wine starts for every shortcut saved in the Start menu, would write
# the host's desktop menus, and, living on with the package folder as its working folder, keep
# that folder from being removed. Windows has no such helper.
os.environ["WINEDLLOVERRIDES"] = "mscoree,mshtml,winemenubuilder.exe="
RUN = os.environ["ORVO_RUN"]
BIN = os.environ["ORVO_BIN_DIR"]
SOURCE = os.environ["ORVO_SOURCE_DIR"]
PACKAGE = os.path.join(os.environ["ORVO_BUILD_DIR"], "demo-package")
DRIVER = os.path.join(BIN, "e2e_driver.exe")
SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
RECORD_BASE = r"HKCU\software\Orvo"


class Failure(Exception):
    pass


def say(text):
    print(text, flush=True)


def check(condition, what):
    if not condition:
        raise Failure(what)
    say(f"  ok: {what}")


def wine_prefix():
    out = subprocess.run(["bash", "-c", f'source "{SOURCE}/scripts/lib.sh"; echo "$ORVO_WINEPREFIX"'],
                         check=True, capture_output=True, text=True).stdout
    return out.strip()


PREFIX = wine_prefix()


def host_path(windows_path):
    """Where a path on drive C: of the prefix lies on the host."""
    drive, rest = windows_path[0].lower(), windows_path[2:].lstrip("\\")
    check_drive = os.path.join(PREFIX, "dosdevices", drive + ":")
    return os.path.join(os.path.realpath(check_drive), *[p for p in rest.split("\\") if p])


def reg_values(key, every_type=False):
    """The string values of a registry key (with EVERY_TYPE all values, as `reg query` shows
    them), or None when the key does not exist."""
    result = subprocess.run([RUN, "reg", "query", key], capture_output=True,
                            stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        return None
    values = {}
    # reg writes to a pipe in the OEM code page of the prefix's Czech locale.
    for line in result.stdout.decode("cp852", "replace").splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3 and (every_type or parts[1] == "REG_SZ"):
            values[parts[0]] = parts[2]
    return values


def delete_registry(key, value=None):
    """Deletes the registry key KEY, or only its value VALUE; one that is not there is none."""
    subprocess.run([RUN, "reg", "delete", key] + (["/v", value] if value else []) + ["/f"],
                   stdin=subprocess.DEVNULL, capture_output=True)


def wait_until(condition, seconds, what, failures=None):
    """Polls: the self-removal batch finishes its work after the program has ended. With a
    failures list a miss is noted there and the run goes on."""
    give_up = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > give_up:
            if failures is None:
                raise Failure(f"{what} (waited {seconds} s)")
            failures.append(f"{what} (waited {seconds} s)")
            say(f"  FAILED: {what} (waited {seconds} s)")
            return
        time.sleep(0.25)
    say(f"  ok: {what}")


def run_driver(program, steps, shots=None, timeout=60, expect_failure=False, args=None):
    """Runs the driver; with shots=(handshake folder on the host, its Windows path, output
    folder) every shot:NAME step becomes OUTPUT/NAME.png taken of the whole screen. ARGS go to
    the program's command line as they stand."""
    args = [RUN, DRIVER, "--timeout", str(timeout)] + (["--args", args] if args else [])
    if shots:
        args += ["--handshake", shots[1]]
    say("driver: " + " ".join(steps))
    proc = subprocess.Popen(args + [program] + steps, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = []
    os.set_blocking(proc.stdout.fileno(), False)
    while True:
        chunk = proc.stdout.read()
        if chunk:
            text = chunk.decode("utf-8", "replace")
            output.append(text)
            sys.stdout.write(text)
            sys.stdout.flush()
        if shots:
            for name in sorted(os.listdir(shots[0])):
                done = os.path.join(shots[0], name[:-6] + ".done")
                if name.endswith(".ready") and not os.path.exists(done):
                    png = os.path.join(shots[2], name[:-6] + ".png")
                    subprocess.run(["import", "-window", "root", png], check=True)
                    say(f"  screenshot {png}")
                    open(done, "w").close()
        if proc.poll() is not None:
            rest = proc.stdout.read()
            if rest:
                sys.stdout.write(rest.decode("utf-8", "replace"))
            break
        time.sleep(0.1)
    if expect_failure:
        if proc.returncode != 1:
            raise Failure(f"the driver should have failed, ended with {proc.returncode}")
    elif proc.returncode != 0:
        raise Failure(f"the driver failed ({proc.returncode})")
    return "".join(output)


RUNS = []  # package folders made here, removed after a failure


class Run:
    def __init__(self, unique):
        self.user = getpass.getuser()
        # Two packages copied within one second get folders of their own.
        self.name = f"orvo-e2e-{os.getpid()}-{int(time.time())}-{len(RUNS)}"
        self.win_dir = f"C:\\users\\{self.user}\\Temp\\{self.name}"
        self.dir = host_path(self.win_dir)
        os.makedirs(self.dir)
        RUNS.append(self)
        for name in os.listdir(PACKAGE):
            shutil.copyfile(os.path.join(PACKAGE, name), os.path.join(self.dir, name))
        ini = os.path.join(self.dir, "setup.ini")
        if unique:
            self.make_unique()
        self.values = read_values(ini)
        with open(os.path.join(self.dir, "short.txt"), "rb") as f:
            self.short_lines = [line.split(";")[:3] for line in f.read().decode("cp1250").splitlines()]
        say(f"package copied to {self.win_dir} ({self.dir})")

    def make_unique(self, values=None):
        """Names of this run only, so no other run or earlier installation is touched; VALUES
        change more of the package's setup.ini."""
        ini = os.path.join(self.dir, "setup.ini")
        suffix = f"E2E{os.getpid()}"
        rewrite_values(ini, {"softname": "Zelvik" + suffix, "regdir": "Zelvik" + suffix,
                             "progreg": "Zelvik" + suffix, "idn": "ZelvikSetup" + suffix,
                             **(values or {})})
        self.values = read_values(ini)

    def shell_folder(self, name):
        folders = reg_values(SHELL_FOLDERS)
        check(folders and name in folders, f"shell folder {name} is known")
        return folders[name]


def mechanics(out_dir):
    run = Run(unique=True)
    shots = os.path.join(run.dir + "-shots")
    os.makedirs(shots)
    os.makedirs(out_dir, exist_ok=True)
    before = sorted(os.listdir(run.dir))
    run_driver(run.win_dir + "\\setup.exe",
               ["window", f"visible:{W.kWelcomePage}", f"text:{W.kWelcomeText}:Vítejte",
                f"enabled:{W.kWelcomeContinue}", f"hidden:{W.kAcceptLicence}", "shot:portal",
                "close", "exit:2"],
               (shots, run.win_dir + "-shots", out_dir))
    png = os.path.join(out_dir, "portal.png")
    colours = subprocess.run(["convert", png, "-format", "%k", "info:"], check=True,
                             capture_output=True, text=True).stdout
    check(int(colours) > 50, f"the screenshot shows a painted window ({colours} colours)")
    # Closed from the first page before any step: the package stays as it was.
    check(sorted(os.listdir(run.dir)) == before, "the package folder is untouched")
    # A step that cannot succeed fails the driver, which then ends the program it started.
    out = run_driver(run.win_dir + "\\setup.exe",
                     ["window", f"click:{W.kWelcomeContinue}", f"disabled:{W.kLicenceContinue}",
                      "visible:NoSuchControl"], timeout=3, expect_failure=True)
    check(f"ok    disabled:{W.kLicenceContinue}" in out,
          "a control that takes no input is seen as such")
    check("FAIL  visible:NoSuchControl" in out and "terminated" in out,
          "a missing control fails the run and the program is ended")
    shutil.rmtree(run.dir)
    shutil.rmtree(shots)


def expected_files():
    files = {}
    payload = os.path.join(SOURCE, "examples", "demo", "payload")
    for folder, _, names in os.walk(payload):
        for name in names:
            path = os.path.join(folder, name)
            files[os.path.relpath(path, payload)] = path
    files["zelvik.exe"] = os.path.join(BIN, "zelvik_demo.exe")
    files["setup.exe"] = os.path.join(PACKAGE, "setup.exe")
    return files


def install_and_uninstall(shot_dir):
    run = Run(unique=shot_dir is None)
    shots = None
    if shot_dir:
        os.makedirs(shot_dir, exist_ok=True)
        os.makedirs(run.dir + "-shots")
        shots = (run.dir + "-shots", run.win_dir + "-shots", shot_dir)
    install = Installation(run, program_files_folder())
    if shot_dir is None:
        install.check_absent()

    def shot(name):
        return [f"shot:{name}"] if shots else []

    try:
        install.install(shots, shot)
        failures = install.check(expected_files())
        install.uninstall(shots, shot, failures)
        if shots:
            shutil.rmtree(shots[0])
        if failures:
            raise Failure("; ".join(failures))
    except Failure:
        install.tidy()
        raise


def program_files_folder():
    return reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"]


class Installation:
    """One installation of a package copied by Run: its folder, its record, its shortcuts."""

    def __init__(self, run, parent_win):
        self.run = run
        v = run.values
        self.ini = os.path.join(run.dir, "setup.ini")
        self.record_key = RECORD_BASE + "\\" + v["progreg"]
        self.win = parent_win + "\\" + v["regdir"]
        self.dir = host_path(self.win)
        self.group = run.shell_folder("Programs") + "\\" + v["company"] + "\\" + v["softname"]
        self.links = {}

    def check_absent(self, when="before the run"):
        check(reg_values(self.record_key) is None and not os.path.exists(self.dir),
              f"no record {self.record_key} and no folder {self.win} {when}")

    def tidy(self):
        """After a failure: whatever the run left must not disturb the next one."""
        say("tidying up after the failure")
        if os.path.isfile(os.path.join(self.dir, "setup.exe")):
            subprocess.run([RUN, DRIVER, "--timeout", "20", self.win + "\\setup.exe", "window",
                            f"click:{W.kUninstall}", "box:yes", "box:ok", "exit"],
                           stdin=subprocess.DEVNULL, capture_output=True)
        for key in (self.record_key, APPS_LIST + "\\" + self.run.values["progreg"]):
            delete_registry(key)
        for folder in (self.run.dir, self.run.dir + "-shots", self.dir, host_path(self.group)):
            shutil.rmtree(folder, ignore_errors=True)
        remove_empty_company(self.run)

    def install(self, shots, shot, folder_steps=None, after_steps=()):
        """Through every page to the completion message with both main shortcuts ticked;
        FOLDER_STEPS choose the folder (by default the first choice is kept), AFTER_STEPS
        follow the completion message."""
        v = self.run.values
        say(f"\n== installing {v['softname']} into {self.win}")
        if folder_steps is None:
            folder_steps = [f"text:{W.kFolderChoice}:{self.win}"]
        run_driver(self.run.win_dir + "\\setup.exe",
                   ["window", f"visible:{W.kWelcomePage}", f"text:{W.kWelcomeText}:Vítejte"] +
                   shot("1-welcome") +
                   [f"click:{W.kWelcomeContinue}", f"visible:{W.kAcceptLicence}",
                    f"text:{W.kLicenceText}:LICENČNÍ UJEDNÁNÍ",
                    f"disabled:{W.kLicenceContinue}", f"radio:{W.kAcceptLicence}",
                    f"enabled:{W.kLicenceContinue}"] +
                   shot("2-licence") +
                   [f"click:{W.kLicenceContinue}", f"visible:{W.kFolderChoice}"] + folder_steps +
                   shot("3-folder") +
                   [f"click:{W.kFolderContinue}", f"visible:{W.kIconChoice}",
                    f"tick:{W.kIconChoice}:0", f"tick:{W.kIconChoice}:1"] +
                   shot("4-icons") +
                   [f"click:{W.kIconContinue}", f"visible:{W.kSummary}",
                    f"text:{W.kSummary}:{self.win}"] +
                   shot("5-summary") +
                   [f"click:{W.kFinish}", "boxshown"] + shot("6-finished") +
                   [f"box:ok:{message(self.ini, 25)}"] + list(after_steps) + ["exit:0"], shots)

    def check(self, files):
        """Files, record and shortcuts of the completed installation, and the package folder
        gone; returns the list of misses that waiting could not mend."""
        run, v = self.run, self.run.values
        say("\n== checking the installation")
        for rel, source in sorted(files.items()):
            target = os.path.join(self.dir, rel)
            shown = os.path.relpath(source, SOURCE) if source.startswith(SOURCE) else source
            check(os.path.isfile(target) and filecmp.cmp(source, target, shallow=False),
                  f"{self.win}\\{rel.replace(os.sep, chr(92))} equals {shown}")
        check(installed_files(self.dir) == set(files) | {"setup.ini", "setup.lst"},
              f"the folder holds exactly the archives' files, setup.exe, setup.ini and the manifest "
              f"({len(files) + 2} files)")
        check(read_values(os.path.join(self.dir, "setup.ini"))["progreg"] == v["progreg"],
              "the installed setup.ini names the product's record")
        record = reg_values(self.record_key)
        check(record == {"AppDir": self.win, "Ver": v["sversion"], "Rel": v["srelease"],
                          "Manifest": self.win + "\\setup.lst",
                          "ManifestDigest": manifest_digest(self.dir)},
              f"record {self.record_key}: {record}")
        for folder in ("Desktop", "Start Menu"):
            self.links[run.shell_folder(folder) + "\\" + v["softname"] + ".lnk"] = \
                self.win + "\\" + v["progname"]
        for target, sub, name in run.short_lines:
            self.links[self.group + sub + "\\" + name + ".lnk"] = self.win + "\\" + target
        for link, target in self.links.items():
            self.check_link(link, target)
        failures = []
        wait_until(lambda: not os.path.exists(run.dir), 30,
                   f"the package folder {run.win_dir} is removed", failures)
        return failures

    @staticmethod
    def check_link(link, target):
        """The shortcut starts TARGET in TARGET's folder."""
        path = host_path(link)
        info = lnk_info(path) if os.path.isfile(path) else {}
        folder = target[:target.rindex("\\") + 1]
        check(info.get("Local path") == target and info.get("Working directory") == folder,
              f"{link} -> {target} in {folder}")

    def uninstall_quietly(self, start_in=None, words=()):
        """/S from the installed copy, started in START_IN (by default its own folder) with
        WORDS after it: the record goes, then the folder."""
        run_quietly(self.win + "\\setup.exe", start_in or self.dir, ["/S", *words], 0)
        check(reg_values(self.record_key) is None, "the uninstall removed the record")
        wait_until(lambda: not os.path.exists(self.dir), 30, f"{self.win} is removed")

    def uninstall(self, shots, shot, failures):
        """Uninstall confirmed from the installed copy: record, shortcuts, group and folder go."""
        run, v = self.run, self.run.values
        ini = os.path.join(self.dir, "setup.ini")
        say(f"\n== uninstalling with {self.win}\\setup.exe")
        run_driver(self.win + "\\setup.exe",
                   ["window", f"visible:{W.kUninstall}", f"text:{W.kUninstallText}:odebere"] +
                   shot("7-uninstall") + [f"click:{W.kUninstall}", "boxshown"] + shot("8-confirm") +
                   [f"box:yes:{self.win}", "boxshown"] + shot("9-uninstalled") +
                   [f"box:ok:{message(ini, 29)}", "exit:0"], shots)
        say("\n== checking the removal")
        check(reg_values(self.record_key) is None, f"record {self.record_key} is gone")
        for link in self.links:
            check(not os.path.exists(host_path(link)), f"{link} is gone")
        check(not os.path.exists(host_path(self.group)), f"the group folder {self.group} is gone")
        wait_until(lambda: not os.path.exists(self.dir), 30, f"{self.win} is removed", failures)
        remove_empty_company(run)


def remove_empty_company(run):
    """The company level of the Start menu outlives its products by design; tidy up."""
    company = host_path(run.shell_folder("Programs") + "\\" + run.values["company"])
    if os.path.isdir(company) and not os.listdir(company):
        os.rmdir(company)


def manifest_digest(folder):
    """The SHA-256 of an installation's manifest, which its record keeps."""
    with open(os.path.join(folder, "setup.lst"), "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def installed_files(folder):
    """The files below a folder, as paths relative to it."""
    found = set()
    for parent, _, names in os.walk(folder):
        found.update(os.path.relpath(os.path.join(parent, n), folder) for n in names)
    return found


def lnk_info(path):
    """The fields that lnkinfo shows for a shortcut file, by name."""
    out = subprocess.run(["lnkinfo", path], check=True, capture_output=True).stdout
    fields = {}
    for line in out.decode("utf-8", "replace").splitlines():
        if ":" in line:
            key, value = line.split(":", 1)
            fields.setdefault(key.strip(), value.strip())
    return fields


def add_second_archive(run, folder):
    """Writes all.zip into the package: a readme.txt of its own, which overwrites the one of
    orvoinst.zip (all.zip comes second), and a file in a folder orvoinst.zip does not have.
    The members' sources are kept in FOLDER; returns them by path relative to the target."""
    members = {
        "readme.txt": f"Želvík – {run.name}: readme.txt z all.zip\r\n".encode("cp1250"),
        os.path.join("doplnky", "navod.txt"): "Doplňky k programu Želvík\r\n".encode("cp1250"),
    }
    files = {}
    with zipfile.ZipFile(os.path.join(run.dir, "all.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for rel, data in members.items():
            source = os.path.join(folder, rel)
            os.makedirs(os.path.dirname(source), exist_ok=True)
            with open(source, "wb") as f:
                f.write(data)
            z.writestr(rel.replace(os.sep, "/"), data)
            files[rel] = source
    with zipfile.ZipFile(os.path.join(run.dir, "orvoinst.zip")) as z:
        check("readme.txt" in z.namelist(),
              "orvoinst.zip brings a readme.txt that all.zip replaces")
    return files


class TextAssociation:
    """Wine's prefix, unlike Windows, does not map .txt to its text file type, so the shell
    finds no program for readme.txt. The mapping that Windows has is added for the run."""

    KEY = r"HKLM\Software\Classes\.txt"

    def __enter__(self):
        self.added = reg_values(self.KEY) is None
        if self.added:
            subprocess.run([RUN, "reg", "add", self.KEY, "/ve", "/d", "txtfile", "/f"], check=True,
                           stdin=subprocess.DEVNULL, capture_output=True)
        return self

    def __exit__(self, *_):
        if self.added:
            subprocess.run([RUN, "reg", "delete", self.KEY, "/f"], stdin=subprocess.DEVNULL,
                           capture_output=True)


def in_this_prefix(pid):
    """Whether the process runs in this run's Wine prefix: other checkouts' tests may run the
    same programs in prefixes of their own at the same time."""
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f"WINEPREFIX={PREFIX}".encode() in f.read().split(b"\0")
    except OSError:
        return False  # ended meanwhile


def no_batch_left():
    """Waits until no self-removal batch of an earlier run is still at work (it may wait half a
    minute for a file in use), so that a run's check that it started none is its own."""
    wait_until(lambda: not host_processes("setup123.bat"), 40, "no earlier self-removal batch runs")


def host_processes(*words):
    """Command lines of the processes of this Wine prefix running now, as the host sees them,
    that hold every one of WORDS (any case)."""
    out = subprocess.run(["ps", "-eo", "pid=,args="], check=True, capture_output=True,
                         text=True).stdout
    found = []
    for line in out.splitlines():
        pid, _, args = line.strip().partition(" ")
        if all(w.lower() in args.lower() for w in words) and in_this_prefix(pid):
            found.append(args)
    return found


def picker_steps(parent_win, install_win):
    """The folder page's steps that choose PARENT_WIN in the folder picker's tree."""
    return [f"key:{W.kFolderChoice}:down,down,down", f"visible:{P.window}",
            f"pick:{P.kTree}:{P.kPath}:{parent_win}",
            f"text:{P.kPath}:{install_win}", f"click:{P.kOk}", f"hidden:{P.window}",
            f"text:{W.kFolderChoice}:{install_win}"]


def full():
    """Everything a package can bring, with a folder picked in the tree: all.zip, short.txt and
    readme.txt, both main shortcuts. Then an uninstall that is declined, which keeps everything
    and leaves the installed copy's setup.ini as its closing wrote it; then the uninstall."""
    run = Run(unique=True)
    v = run.values
    sources = os.path.join(run.dir + "-all")
    files = expected_files()
    files.update(add_second_archive(run, sources))
    parent_win = f"C:\\orvo-e2e-{os.getpid()}\\vybrana"
    parent = host_path(parent_win)
    os.makedirs(parent)
    install = Installation(run, parent_win)
    install.check_absent()
    picker = picker_steps(parent_win, install.win)
    # The window found below must be this run's.
    check(not host_processes("notepad", "readme.txt"), "no readme.txt is open before the run")
    try:
        with TextAssociation():
            install.install(None, lambda _: [], picker, ["closewin:readme.txt"])
        wait_until(lambda: not host_processes("notepad", "readme.txt"), 10,
                   "the program that showed readme.txt has ended")
        failures = install.check(files)
        with open(os.path.join(install.dir, "readme.txt"), "rb") as f:
            check(run.name.encode() in f.read(), "readme.txt is the one from all.zip")
        decline(install)
        check_saved_settings(install, run)
        install.uninstall(None, lambda _: [], failures)
        check(os.path.isdir(parent), f"the picked folder {parent_win} itself stays")
        if failures:
            raise Failure("; ".join(failures))
    except Failure:
        install.tidy()
        raise
    finally:
        shutil.rmtree(host_path(parent_win[:parent_win.rindex("\\")]), ignore_errors=True)
        shutil.rmtree(sources, ignore_errors=True)


def decline(install):
    """The uninstall page, the confirmation answered No: the page stays and nothing is
    removed; Storno then closes the program, which writes its settings and nothing else."""
    ini = os.path.join(install.dir, "setup.ini")
    before = installed_files(install.dir)
    record = reg_values(install.record_key)
    # Without the optional values the closing has to add them, so their order shows.
    for key in optional_values():
        remove_value(ini, key)
    install.saved_from = raw_sections(ini)
    question = f"{message(ini, 26)} {install.win} {message(ini, 27)}"
    say(f"\n== declining the uninstall with {install.win}\\setup.exe")
    no_batch_left()
    run_driver(install.win + "\\setup.exe",
               ["window", f"click:{W.kUninstall}", f"box:no:{question}", "sleep:1000",
                f"visible:{W.kUninstall}", f"enabled:{W.kUninstall}",
                f"click:{W.kUninstallCancel}", "exit:2"], timeout=20)
    time.sleep(2)  # a batch started by mistake would have begun its work by now
    check(not host_processes("setup123.bat"), "no self-removal batch runs")
    check(installed_files(install.dir) == before, f"all {len(before)} files are still there")
    check(reg_values(install.record_key) == record, f"the record {install.record_key} stays")
    for link in install.links:
        check(os.path.isfile(host_path(link)), f"{link} stays")


def program_facts():
    """What setup.exe and these runs agree on, from the program's own tables (e2e_facts.exe):
    {kind: [(key, value), ...]} in the program's order."""
    out = subprocess.run([RUN, os.path.join(BIN, "e2e_facts.exe")], check=True,
                         capture_output=True, stdin=subprocess.DEVNULL).stdout.decode("utf-8")
    facts = {}
    for line in out.replace("\r\n", "\n").split("\n"):
        parts = line.split("\t", 2)
        if len(parts) == 3:
            facts.setdefault(parts[0], []).append((parts[1], parts[2]))
    if not facts.get("main") or not facts.get("value"):
        raise Failure("e2e_facts.exe printed no control names or named values")
    return facts


FACTS = program_facts()


def named_values():
    """The program's named values in the order it reads and writes them, with the integers
    among them and their default."""
    values = FACTS["value"]
    numbers = {key: kind.split()[1] for key, kind in values if kind.startswith("number")}
    return [key for key, _ in values], set(numbers), next(iter(numbers.values()))


def required_values():
    """The values whose absence stops the program."""
    return [key for key, kind in FACTS["value"] if kind == "text required"]


def optional_values():
    order, _, _ = named_values()
    return [k for k in order if k not in required_values()]


class Roles:
    """The names of one window's controls, looked up by role: W.kWelcomeContinue is the name
    that the welcome page's continue button carries. A role the table does not have fails at
    once, rather than sending the driver to wait for a control that is never there. With a
    window, the names are the driver's WINDOW.NAME for that top-level window's controls."""

    def __init__(self, names, window=None):
        self._names = {"k" + role: name for role, name in names}
        self._prefix = window + "." if window else ""
        self.window = window

    def __getattr__(self, role):
        if role.startswith("_"):
            raise AttributeError(role)
        if role not in self._names:
            raise Failure(f"the program has no control of the role {role}")
        return self._prefix + self._names[role]


W = Roles(FACTS["main"])  # the main window
MAIN_WINDOW = dict(FACTS["window"])["main"]
P = Roles(FACTS["picker"], dict(FACTS["window"])["picker"])  # the folder picker
BUILT_IN_PRODUCT = dict(FACTS["product"])["built-in"]


def stored_props():
    """The entries of the main window's stored properties, in the program's order."""
    return [entry for _, entry in FACTS["stored"]]


def layout_text(name):
    """The built-in text of a control of the main window's layout, or None without one."""
    lines = [text for key, text in FACTS.get("layout", []) if key == f"{MAIN_WINDOW}.{name}"]
    return "\n".join(lines) if lines else None


def raw_sections(path):
    """The sections of an INI file in file order, each a list of (key, value as bytes)."""
    sections = {}
    current = None
    with open(path, "rb") as f:
        for line in f.read().replace(b"\r\n", b"\n").split(b"\n"):
            if line.startswith(b"[") and line.rstrip().endswith(b"]"):
                current = sections.setdefault(line.strip()[1:-1].decode("cp1250"), [])
            elif current is not None and b"=" in line:
                key, value = line.split(b"=", 1)
                current.append((key.decode("cp1250"), value))
    return sections


def unquoted(value):
    """A value as the profile reader returns it: blanks at both ends and then one pair of
    enclosing quotes dropped."""
    value = value.strip(b" \t")
    if len(value) >= 2 and value[:1] == value[-1:] and value[:1] in (b'"', b"'"):
        return value[1:-1]
    return value


def screen_size():
    out = subprocess.run(["xdpyinfo"], check=True, capture_output=True, text=True).stdout
    return re.search(r"dimensions:\s+(\d+x\d+) pixels", out).group(1)


def check_saved_settings(install, run):
    """The installed copy's setup.ini as the declined run's closing wrote it: the placement,
    every stored text in code page 1250 (the file's own where it had them, the built-in ones
    otherwise), the list sections rewritten in the program's order, and the named values."""
    say("\n== checking the saved setup.ini")
    before = install.saved_from
    sections = raw_sections(os.path.join(install.dir, "setup.ini"))
    values = dict(sections["ALL"])
    keys = [k for k, _ in sections["ALL"]]
    screen = screen_size()
    placement = ["FormVersion", "Flags", "ShowCmd", "PixelsPerInch", f"MinMaxPos({screen})",
                 "MinMaxPos", f"NormPos({screen})", "NormPos", "Visible"]
    check(not any(k in dict(before["ALL"]) for k in placement), "the file had no placement")
    check([k for k in keys if k in placement] == placement,
          f"the placement keys are written in order, for the screen of {screen}")
    for key in ("MinMaxPos", "NormPos"):
        check(re.fullmatch(rb"-?\d+,-?\d+,-?\d+,-?\d+", values[key]) is not None and
              values[key] == values[f"{key}({screen})"], f"{key}={values[key].decode()}")
    check(values["Visible"] == b"0", "Visible=0: written while closing, not while destroyed")

    lists = []
    old = dict(before["ALL"])
    for entry in stored_props():
        component, prop = entry.split(".")
        key = f"{component}_{prop}"
        built_in = layout_text(component)
        if built_in is not None:
            # The built-in wording names the package's product, as a word.
            built_in = re.sub(rf"(?<![\w]){BUILT_IN_PRODUCT}(?![\w])", run.values["softname"],
                              built_in)
        if prop in ("Lines", "Items"):
            section = f"ALL.{key}"
            lists.append(section)
            items = sections.get(section, [])
            count = int(dict(items).get("Count", b"-1"))
            check([k for k, _ in items] == ["Count"] + [f"Item{i}" for i in range(count)],
                  f"[{section}] has Count={count} and Item0 to Item{count - 1}")
            # Compared as the next start reads them: a line's outer blanks do not survive that.
            lines = [unquoted(v) for k, v in items if k != "Count"]
            if section in before:
                want = [unquoted(v).strip(b" ") for k, v in before[section] if k != "Count"]
            else:
                check(built_in is not None, f"{component} has a built-in text in the layout")
                want = [line.encode("cp1250") for line in built_in.split("\n")]
            differ = [(i, lines[i], want[i]) for i in range(min(len(lines), len(want)))
                      if lines[i] != want[i]]
            check(lines == want, f"[{section}] holds the {len(want)} lines "
                  f"{'of the file' if section in before else 'built in'}"
                  + (f" (first difference: Item{differ[0][0]} {differ[0][1]!r}, not "
                     f"{differ[0][2]!r})" if differ else ""))
        elif key in old:
            check(unquoted(values.get(key, b"")) == unquoted(old[key]).strip(b" "),
                  f"{key} keeps the file's text {unquoted(old[key]).decode('cp1250')!r}")
        elif built_in is not None:
            check(values.get(key) == built_in.strip().encode("cp1250"),
                  f"{key} is the built-in text {built_in!r} in code page 1250")
        else:
            check(values.get(key, b"") != b"", f"{key} is written")
    check([name for name in sections if name != "ALL"] == lists,
          f"the list sections follow, rewritten in the program's order: {lists}")

    order, integers, default = named_values()
    optional = optional_values()
    check(keys[-len(optional):] == optional,
          f"the named values the file lacked come last, in the program's order: {optional}")
    for key in order:
        if key in optional:
            want = default if key in integers else ""
        else:
            want = unquoted(old[key]).decode("cp1250")
        check(values.get(key) == want.encode("cp1250"), f"{key}={want}")


# The wizard's pages in order: the page, the steps from the page before to it, its Storno.
PAGES = [
    (W.kWelcomePage, [], W.kWelcomeCancel),
    (W.kLicencePage, [f"click:{W.kWelcomeContinue}", f"visible:{W.kAcceptLicence}"],
     W.kLicenceCancel),
    (W.kFolderPage, [f"radio:{W.kAcceptLicence}", f"click:{W.kLicenceContinue}",
                     f"visible:{W.kFolderChoice}"], W.kFolderCancel),
    (W.kIconPage, [f"click:{W.kFolderContinue}", f"visible:{W.kIconChoice}"], W.kIconCancel),
    (W.kSummaryPage, [f"click:{W.kIconContinue}", f"visible:{W.kSummary}"], W.kSummaryCancel),
]
PACKAGE_FILES = ["setup.exe", "setup.ini", "orvoinst.zip", "short.txt", "license.txt"]


def cancel():
    """Storno on each page in turn: the cancel message, then the package's files go. On the
    folder page the package folder also holds a file of the user's, which stays with the
    folder; on the summary page the record of an earlier installation is present and stays."""
    failures = []
    steps = []
    for number, (page, forward, storno) in enumerate(PAGES):
        steps += forward
        say(f"\n== Storno on page {number} ({page})")
        run = Run(unique=True)
        ini = os.path.join(run.dir, "setup.ini")
        record_key = RECORD_BASE + "\\" + run.values["progreg"]
        foreign = os.path.join(run.dir, "moje-poznamky.txt") if page == W.kFolderPage else None
        earlier = None
        if foreign:
            with open(foreign, "wb") as f:
                f.write(run.name.encode())
        if page == W.kSummaryPage:
            earlier = {"AppDir": f"C:\\{run.name}\\{run.values['regdir']}", "Ver": "1", "Rel": "0"}
            write_record(record_key, earlier)
        try:
            run_driver(run.win_dir + "\\setup.exe",
                       ["window"] + steps + [f"visible:{page}", f"click:{storno}",
                                             f"box:ok:{message(ini, 24)}", "exit:2"], timeout=20)
            if foreign:
                wait_until(lambda: not any(os.path.exists(os.path.join(run.dir, n))
                                           for n in PACKAGE_FILES), 30,
                           f"the package's files in {run.win_dir} are removed", failures)
                with open(foreign, "rb") as f:
                    check(f.read() == run.name.encode(),
                          "the user's file stays, and with it the folder")
                check(sorted(os.listdir(run.dir)) == [os.path.basename(foreign)],
                      "nothing else is left")
            else:
                wait_until(lambda: not os.path.exists(run.dir), 30,
                           f"the package folder {run.win_dir} is removed", failures)
            if earlier:
                check(reg_values(record_key) == earlier,
                      f"the earlier installation's record {record_key} stays")
            else:
                check(reg_values(record_key) is None, f"no record {record_key}")
        finally:
            if earlier:
                subprocess.run([RUN, "reg", "delete", record_key, "/f"],
                               stdin=subprocess.DEVNULL, capture_output=True)
            shutil.rmtree(run.dir, ignore_errors=True)
    if failures:
        raise Failure("; ".join(failures))


def message(ini_path, number):
    """Entry NUMBER of the message table that setup.ini gives, as the program reads it (the
    profile reader drops one pair of enclosing double quotes)."""
    section = None
    with open(ini_path, "rb") as f:
        for line in f.read().decode("cp1250").splitlines():
            if line.startswith("["):
                section = line.strip()[1:-1]
            # The section's name is setup.ini's stored-text key: data that packages carry.
            elif section == "ALL.Memo6_Lines" and line.startswith(f"Item{number}="):
                text = line.split("=", 1)[1]
                if len(text) >= 2 and text[0] == text[-1] == '"':
                    text = text[1:-1]
                return text
    raise Failure(f"setup.ini gives no message {number}")


def built_in_message(number):
    """Entry NUMBER of the program's own message table. The texts of setup.ini take over only
    when the window is first shown, so a box shown while the window is being created (messages
    31 to 35) has the built-in wording."""
    return dict(FACTS["message"])[str(number)]


def result_text(name):
    """The text that unzip::ResultText gives for the result NAME."""
    return dict(FACTS["result"])[name]


def package_state(folder):
    """Names and contents of the files in a folder."""
    state = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            state[name] = f.read()
    return state


def remove_value(ini_path, key):
    """Takes the line of one value of section ALL out of a setup.ini."""
    with open(ini_path, "rb") as f:
        lines = f.read().split(b"\r\n")
    kept = [line for line in lines if line.split(b"=", 1)[0].decode("cp1250") != key]
    check(len(kept) == len(lines) - 1, f"setup.ini had one line for {key}, now none")
    with open(ini_path, "wb") as f:
        f.write(b"\r\n".join(kept))


def second_instance():
    """While the first copy shows its wizard, a second one started in the same folder shows
    the already-running message, ends with code 3 and shows no window; the first goes on."""
    run = Run(unique=True)
    ini = os.path.join(run.dir, "setup.ini")
    running, cancelled = built_in_message(31), message(ini, 24).rstrip(".")
    check(message(ini, 31) != running, "setup.ini gives message 31 a wording of its own")
    handshake = run.dir + "-shots"
    os.makedirs(handshake)
    program = run.win_dir + "\\setup.exe"
    first = subprocess.Popen(
        [RUN, DRIVER, "--timeout", "30", "--handshake", run.win_dir + "-shots", program,
         "window", f"visible:{W.kWelcomePage}", "shot:first-up", f"text:{W.kWelcomeText}:Vítejte",
         f"click:{W.kWelcomeContinue}", f"visible:{W.kAcceptLicence}",
         f"click:{W.kLicenceCancel}", f"box:ok:{cancelled}", "exit:2"],
        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        ready = os.path.join(handshake, "first-up.ready")
        give_up = time.monotonic() + 40
        while not os.path.exists(ready):
            if first.poll() is not None or time.monotonic() > give_up:
                raise Failure("the first copy did not show its wizard")
            time.sleep(0.1)
        say("the first copy shows its wizard")
        out = run_driver(program, [f"box:ok:{running}", "nowindow", "exit:3"], timeout=20)
        check(message(ini, 31) not in out, "the box has the built-in wording, not setup.ini's")
        check(first.poll() is None, "the first copy still runs")
        open(os.path.join(handshake, "first-up.done"), "w").close()
        out, _ = first.communicate(timeout=60)
        say(out.decode("utf-8", "replace"))
        check(first.returncode == 0, "the first copy went on to the licence page and was cancelled")
    finally:
        if first.poll() is None:
            first.kill()
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed after the cancel", failures)
    shutil.rmtree(handshake, ignore_errors=True)
    shutil.rmtree(run.dir, ignore_errors=True)
    if failures:
        raise Failure("; ".join(failures))


def missing_value(key):
    """A required value missing: the error dialog with messages 34 and 35 (built-in wording: the
    window never shows), no wizard; the failed check sets the cleanup flag, so the shutdown
    removes the package folder."""
    say(f"\n== {key} missing")
    run = Run(unique=True)
    ini = os.path.join(run.dir, "setup.ini")
    remove_value(ini, key)
    text = built_in_message(34) + built_in_message(35)
    replaced = message(ini, 34) + message(ini, 35)
    check(replaced != text, "setup.ini gives messages 34 and 35 a wording of their own")
    record_key = RECORD_BASE + "\\" + run.values["progreg"]
    out = run_driver(run.win_dir + "\\setup.exe",
                     ["nowindow", f"box:ok:{text}", "nowindow", "exit:1"], timeout=20)
    check(replaced not in out, "the box has the built-in wording, not setup.ini's")
    failures = []
    time.sleep(2)  # a removal started by mistake would have begun by now
    check(os.path.exists(os.path.join(run.dir, "orvoinst.zip")),
          f"the package in {run.win_dir} is kept, to be mended")
    check(reg_values(record_key) is None, f"no record {record_key}")
    shutil.rmtree(run.dir, ignore_errors=True)
    if failures:
        raise Failure("; ".join(failures))


def corrupt_member(archive):
    """Rewrites the archive with its largest member stored and one byte of that member's data
    flipped, so its data no longer matches its CRC. Returns the member's name."""
    with zipfile.ZipFile(archive) as z:
        members = [(info, z.read(info.filename)) for info in z.infolist()]
    victim = max(members, key=lambda m: len(m[1]))[0].filename
    with zipfile.ZipFile(archive, "w") as z:
        for info, data in members:
            z.writestr(info, data, zipfile.ZIP_STORED if info.filename == victim
                       else zipfile.ZIP_DEFLATED)
    with zipfile.ZipFile(archive) as z:
        info = z.getinfo(victim)
    with open(archive, "r+b") as f:
        f.seek(info.header_offset + 26)
        name_length, extra_length = struct.unpack("<HH", f.read(4))
        spot = info.header_offset + 30 + name_length + extra_length + info.compress_size // 2
        f.seek(spot)
        byte = f.read(1)[0]
        f.seek(spot)
        f.write(bytes([byte ^ 0xFF]))
    with zipfile.ZipFile(archive) as z:
        check(z.testzip() == victim, f"member {victim} of the archive now fails its CRC")
    return victim


def truncate_archive(archive):
    """Cuts the archive in the middle of its central directory, as a broken download would."""
    with zipfile.ZipFile(archive) as z:
        start = min(info.header_offset for info in z.infolist())
        directory = max(info.header_offset + 30 + len(info.filename) + info.compress_size
                        for info in z.infolist())
    size = os.path.getsize(archive)
    check(start == 0 and directory < size, "the archive has a directory to cut")
    os.truncate(archive, (directory + size) // 2)


def bad_archive(damage, result):
    """A damaged archive (a member failing its CRC, or cut short): the error box with the result
    text, the run taken back (no installation folder, no record), the package folder kept
    whole."""
    run = Run(unique=True)
    v = run.values
    damage(os.path.join(run.dir, "orvoinst.zip"))
    before = package_state(run.dir)
    text = result_text(result) + ": orvoinst.zip"
    record_key = RECORD_BASE + "\\" + v["progreg"]
    program_files = reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"]
    install_win = program_files + "\\" + v["regdir"]
    install_dir = host_path(install_win)
    check(reg_values(record_key) is None and not os.path.exists(install_dir),
          f"no record {record_key} and no folder {install_win} before the run")
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", f"click:{W.kWelcomeContinue}", f"radio:{W.kAcceptLicence}",
                    f"click:{W.kLicenceContinue}", f"visible:{W.kFolderChoice}",
                    f"text:{W.kFolderChoice}:{install_win}", f"click:{W.kFolderContinue}",
                    f"visible:{W.kIconChoice}", f"click:{W.kIconContinue}",
                    f"visible:{W.kSummary}", f"click:{W.kFinish}", f"box:ok:{text}", "exit:4"],
                   timeout=30)
        time.sleep(1)  # a batch started by mistake would have begun its work by now
        check(not os.path.exists(install_dir), f"nothing is left of {install_win}")
        check(reg_values(record_key) is None, f"no record {record_key}")
        after = package_state(run.dir)
        after.pop("setup.ini", None)  # the closing window saves its settings there
        check("setup.ini" in os.listdir(run.dir), "setup.ini is still in the package folder")
        before.pop("setup.ini")
        check(after == before, f"the package folder keeps all its files ({sorted(after)})")
    finally:
        subprocess.run([RUN, "reg", "delete", record_key, "/f"], stdin=subprocess.DEVNULL,
                       capture_output=True)
        shutil.rmtree(install_dir, ignore_errors=True)
        shutil.rmtree(run.dir, ignore_errors=True)


def no_record():
    """Uninstall mode (no archive) with no record: message 30, and nothing is deleted."""
    run = Run(unique=True)
    os.remove(os.path.join(run.dir, "orvoinst.zip"))
    text = message(os.path.join(run.dir, "setup.ini"), 30)
    record_key = RECORD_BASE + "\\" + run.values["progreg"]
    check(reg_values(record_key) is None, f"no record {record_key} before the run")
    before = package_state(run.dir)
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", f"visible:{W.kUninstall}", f"hidden:{W.kWelcomePage}",
                    f"click:{W.kUninstall}", f"box:ok:{text}", "exit:5"], timeout=20)
        time.sleep(2)  # a batch started by mistake would have begun its work by now
        after = package_state(run.dir)
        check(sorted(after) == sorted(before), f"every file is still there ({sorted(after)})")
        check(after["setup.exe"] == before["setup.exe"], "setup.exe is unchanged")
        check(reg_values(record_key) is None, f"still no record {record_key}")
    finally:
        shutil.rmtree(run.dir, ignore_errors=True)


def no_icons():
    """"icons" 0: forward from the folder page lands on the summary, back from the summary
    lands on the folder page; the shortcut page never shows."""
    run = Run(unique=True)
    rewrite_values(os.path.join(run.dir, "setup.ini"), {"icons": "0"})
    check(read_values(os.path.join(run.dir, "setup.ini"))["icons"] == "0", "setup.ini has icons=0")
    cancelled = message(os.path.join(run.dir, "setup.ini"), 24).rstrip(".")
    run_driver(run.win_dir + "\\setup.exe",
               ["window", f"click:{W.kWelcomeContinue}", f"radio:{W.kAcceptLicence}",
                f"click:{W.kLicenceContinue}", f"visible:{W.kFolderChoice}",
                f"click:{W.kFolderContinue}", f"visible:{W.kSummary}", f"visible:{W.kFinish}",
                f"hidden:{W.kIconChoice}", f"hidden:{W.kFolderChoice}",
                f"click:{W.kSummaryBack}", f"visible:{W.kFolderChoice}", f"hidden:{W.kSummary}",
                f"hidden:{W.kIconChoice}", f"click:{W.kFolderContinue}", f"visible:{W.kSummary}",
                f"hidden:{W.kIconChoice}", f"click:{W.kSummaryCancel}", f"box:ok:{cancelled}",
                "exit:2"],
               timeout=20)
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed after the cancel", failures)
    shutil.rmtree(run.dir, ignore_errors=True)
    if failures:
        raise Failure("; ".join(failures))


def tree_state(folder):
    """Every file below a folder with its contents, and every folder; empty when it is not there."""
    state = {}
    for parent, dirs, names in os.walk(folder):
        for d in dirs:
            state[os.path.relpath(os.path.join(parent, d), folder) + os.sep] = None
        for n in names:
            with open(os.path.join(parent, n), "rb") as f:
                state[os.path.relpath(os.path.join(parent, n), folder)] = f.read()
    return state


def finish_steps(install_win, folder_steps=None):
    """The wizard from the first page to the finish button, with the folder as offered unless
    FOLDER_STEPS choose another."""
    if folder_steps is None:
        folder_steps = [f"text:{W.kFolderChoice}:{install_win}"]
    return ["window", f"click:{W.kWelcomeContinue}", f"radio:{W.kAcceptLicence}",
            f"click:{W.kLicenceContinue}", f"visible:{W.kFolderChoice}"] + folder_steps + [
            f"click:{W.kFolderContinue}",
            f"visible:{W.kIconChoice}", f"click:{W.kIconContinue}", f"visible:{W.kSummary}",
            f"click:{W.kFinish}"]


class Scenario:
    """One way a package, a folder or a record can be broken, as a user or a careless
    distributor meets it: what is broken, the box and exit code expected, and the places whose
    files and record must be exactly as before (setup.ini of the package aside: the closing
    window saves its settings there)."""

    def __init__(self, what, arrange, steps, box, exit_code, after=(), package_kept=True,
                 wrote=False):
        self.what, self.arrange, self.steps = what, arrange, steps
        self.box, self.exit_code, self.after = box, exit_code, list(after)
        self.package_kept, self.wrote = package_kept, wrote

    def play(self):
        run = Run(unique=True)
        v = run.values
        program_files = reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"]
        ctx = {"run": run, "install_win": program_files + "\\" + v["regdir"],
               "record_key": RECORD_BASE + "\\" + v["progreg"],
               "documents_win": run.shell_folder("Personal") + "\\" + run.name,
               "cleanups": []}
        ctx["documents_dir"] = host_path(ctx["documents_win"])
        ctx["install_dir"] = host_path(ctx["install_win"])
        say(f"\n== {self.what}")
        try:
            try:
                self.arrange(ctx)
            except Skipped as skipped:
                say(f"  SKIPPED: {skipped}")
                return ""
            ctx["install_dir"] = host_path(ctx["install_win"])  # the arrangement may move it
            places = {"install": ctx["install_dir"], "documents": ctx["documents_dir"]}
            if self.package_kept:
                places["package"] = run.dir
            if "drive_win" in ctx:
                places["drive"] = host_path(ctx["drive_win"])
            before = {name: tree_state(folder) for name, folder in places.items()}
            record_before = reg_values(ctx["record_key"])
            no_batch_left()
            out = run_driver(run.win_dir + "\\setup.exe",
                             self.steps(ctx) + [f"box:ok:{self.box}"] + self.after +
                             [f"exit:{self.exit_code}"], timeout=30)
            time.sleep(1)  # a batch started by mistake would have begun its work by now
            after = {name: tree_state(folder) for name, folder in places.items()}
            for state in (before, after):
                state.get("package", {}).pop("setup.ini", None)
            for name in places:
                check(after[name] == before[name], f"the {name} folder is as it was")
            check(reg_values(ctx["record_key"]) == record_before, "the record is as it was")
            check(not host_processes("setup123.bat"), "no self-removal batch runs")
            return out
        finally:
            for cleanup in reversed(ctx["cleanups"]):
                cleanup()
            subprocess.run([RUN, "reg", "delete", ctx["record_key"], "/f"],
                           stdin=subprocess.DEVNULL, capture_output=True)
            for folder in (ctx["install_dir"], ctx["documents_dir"], run.dir):
                shutil.rmtree(folder, ignore_errors=True)


def write_files(folder, files):
    for name, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def installed_copy_elsewhere(ctx):
    """An installed copy (no archive beside it) whose record names the user's documents."""
    os.remove(os.path.join(ctx["run"].dir, "orvoinst.zip"))
    record_naming_documents(ctx)


def record_naming_documents(ctx):
    """A record, as an earlier release wrote it, that names a folder of the user's documents,
    with a manifest there that lists the user's own file."""
    docs = ctx["documents_win"]
    write_files(ctx["documents_dir"], {
        "letter.txt": "the user's letter".encode(),
        "setup.lst": f"orvo-setup manifest 1\r\nD {docs}\r\nF {docs}\\letter.txt\r\n".encode()})
    write_record(ctx["record_key"], {"AppDir": docs, "Ver": "1", "Rel": "0",
                                     "Manifest": docs + "\\setup.lst"})


def write_record(key, values):
    """Writes string VALUES into the registry key KEY, making it if needed."""
    for name, value in values.items():
        subprocess.run([RUN, "reg", "add", key, "/v", name, "/d", value, "/f"],
                       check=True, stdin=subprocess.DEVNULL, capture_output=True)


def random_second_archive(ctx):
    with open(os.path.join(ctx["run"].dir, "all.zip"), "wb") as f:
        f.write(random.Random(7).randbytes(4096))


def users_folder_and_damaged_second_archive(ctx):
    """The user's readme.txt is replaced by the second archive's, whose next member then fails
    its CRC: found only while extracting, after the user agreed to use the folder."""
    write_files(ctx["install_dir"], {"readme.txt": b"the user's notes",
                                     "photos/cat.jpg": b"\xff\xd8 a photo"})
    archive = os.path.join(ctx["run"].dir, "all.zip")
    with zipfile.ZipFile(archive, "w") as z:
        z.writestr("readme.txt", "the package's readme")
        z.writestr("data/broken.bin", random.Random(8).randbytes(20000))
    corrupt_member(archive)


class Skipped(Exception):
    """A scenario this machine cannot set up (mounting needs the right to mount)."""


def mount_small_drive(folder, size, cleanups):
    """A file system of SIZE mounted on FOLDER (made if missing) until CLEANUPS run."""
    made = not os.path.isdir(folder)
    os.makedirs(folder, exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", folder],
                            capture_output=True, text=True)
    if result.returncode != 0:
        if made:
            os.rmdir(folder)
        raise Skipped(f"cannot mount a small file system here: {result.stderr.strip()}")

    def unmount():
        subprocess.run(["umount", folder], capture_output=True)
        shutil.rmtree(folder, ignore_errors=True)
    cleanups.append(unmount)


def full_target_drive(ctx):
    """The target folder on a drive with 1 MB free; setup.exe alone is larger."""
    ctx["drive_win"] = "C:\\orvo-e2e-small-" + str(os.getpid())
    mount_small_drive(host_path(ctx["drive_win"]), "1m", ctx["cleanups"])
    ctx["install_win"] = ctx["drive_win"] + "\\" + ctx["run"].values["regdir"]


SCENARIOS = [
    Scenario("setup.ini names a folder outside its place",
             lambda ctx: rewrite_values(os.path.join(ctx["run"].dir, "setup.ini"),
                                        {"regdir": "..\\..\\Windows"}),
             lambda ctx: ["nowindow"], "Hodnotu ze setup.ini", 1),
    Scenario("all.zip of random bytes", random_second_archive,
             lambda ctx: finish_steps(ctx["install_win"]), "all.zip", 4),
    Scenario("the user's files in the folder, then a damaged all.zip",
             users_folder_and_damaged_second_archive,
             lambda ctx: finish_steps(ctx["install_win"]) + ["box:yes:" + ctx["install_win"]],
             "all.zip", 4, wrote=True),
    Scenario("a record that names the user's documents", installed_copy_elsewhere,
             lambda ctx: ["window", f"click:{W.kUninstall}"],
             "Odinstalaci lze spustit jen z nainstalovan", 5),
    Scenario("a typed folder that is no full path",
             lambda ctx: None,
             lambda ctx: ["window", f"click:{W.kWelcomeContinue}", f"radio:{W.kAcceptLicence}",
                          f"click:{W.kLicenceContinue}", f"type:{W.kFolderChoice}:Zelvik\\data",
                          f"click:{W.kFolderContinue}"],
             "Tento adresář nelze použít pro instalaci", 2,
             after=[f"visible:{W.kFolderChoice}", "close"], package_kept=False),
    Scenario("a target drive without room for the package", full_target_drive,
             lambda ctx: finish_steps(ctx["install_win"],
                                      picker_steps(ctx["drive_win"], ctx["install_win"])),
             # Closed from the temporary folder: the package goes, as a download would.
             "Na cílovém disku není dost místa", 2, after=["close"], package_kept=False),
]


def short_lines_close_and_file_in_use():
    """short.txt lines that would leave the product's group or name nothing, a close request
    while the run works, then an uninstall that meets a file in use: it names the file, keeps
    the record and what is left, and a second uninstall finishes the work."""
    run = Run(unique=True)
    inst = Installation(run, program_files_folder())
    inst.check_absent()
    ini = os.path.join(run.dir, "setup.ini")
    programs = run.shell_folder("Programs")
    strays = [programs + "\\Mimo skupinu.lnk", inst.group + "\\.lnk",
              inst.group + "\\Poznámkový blok.lnk"]
    with open(os.path.join(run.dir, "short.txt"), "ab") as f:
        f.write("readme.txt;\\..\\..;Mimo skupinu;\r\n"
                "..\\..\\Windows\\notepad.exe;;Poznámkový blok;\r\n"
                "readme.txt;;;\r\n".encode("cp1250"))
    try:
        say("\n== short.txt lines outside the group, and a close request during the run")
        # The close request is posted behind the click, so the run meets it as it starts.
        out = run_driver(run.win_dir + "\\setup.exe",
                         finish_steps(inst.win) +
                         ["close", "boxshown", f"visible:{MAIN_WINDOW}",
                          "box:ok:Řádek souboru short.txt byl vynechán",
                          f"box:ok:{message(ini, 25)}", "exit:0"])
        check("Mimo skupinu" in out and "notepad.exe" in out and "readme.txt;;" in out,
              "the box names each skipped line")
        for target, sub, name in run.short_lines:
            inst.check_link(inst.group + sub + "\\" + name + ".lnk", inst.win + "\\" + target)
        for stray in strays:
            check(not os.path.exists(host_path(stray)), f"no shortcut {stray}")
        check(reg_values(inst.record_key) is not None, "the completed run wrote its record")

        held = inst.win + "\\readme.txt"
        say("\n== uninstalling while readme.txt is in use")
        out = run_driver(inst.win + "\\setup.exe",
                         ["window", f"hold:{held}", f"click:{W.kUninstall}",
                          f"box:yes:{inst.win}", "box:ok:Tyto soubory nebylo možné odstranit",
                          "exit:5"])
        check(held in out, "the box names the file in use")
        time.sleep(1)  # a batch started by mistake would have begun its work by now
        check(not host_processes("setup123.bat"), "no self-removal batch runs")
        check(reg_values(inst.record_key) is not None, "the record stays")
        check(os.path.isfile(host_path(held)) and
              not os.path.exists(os.path.join(inst.dir, "zelvik.exe")),
              "the file in use stays, the others are gone")
        with open(os.path.join(inst.dir, "setup.lst"), "rb") as f:
            check(held.encode("cp1250") in f.read(), "the manifest lists what is left")

        say("\n== uninstalling again, nothing in use")
        run_driver(inst.win + "\\setup.exe",
                   ["window", f"click:{W.kUninstall}", f"box:yes:{inst.win}",
                    f"box:ok:{message(os.path.join(inst.dir, 'setup.ini'), 29)}", "exit:0"])
        check(reg_values(inst.record_key) is None, "the record is gone")
        wait_until(lambda: not os.path.exists(inst.dir), 30, f"{inst.win} is removed")
    finally:
        inst.tidy()


def read_only_package():
    """A package on a drive that cannot be written (a CD, a locked stick) in the temporary
    folder, where a completed run would remove it: the run completes, the package stays as it
    was and no self-removal batch is left waiting for a removal that cannot happen."""
    run = Run(unique=True)
    inst = Installation(run, program_files_folder())
    inst.check_absent()
    say("\n== a package on a read-only drive")
    no_batch_left()
    cleanups = []
    try:
        files = tree_state(run.dir)
        try:
            mount_small_drive(run.dir, "16m", cleanups)
        except Skipped as skipped:
            say(f"  SKIPPED: {skipped}")
            return
        write_files(run.dir, files)
        subprocess.run(["mount", "-o", "remount,ro", run.dir], check=True)
        run_driver(run.win_dir + "\\setup.exe",
                   finish_steps(inst.win) +
                   [f"box:ok:{message(os.path.join(run.dir, 'setup.ini'), 25)}",
                    # The closing window's settings have nowhere to go, and it says so.
                    "box:ok:Unable to write to", "exit:0"])
        time.sleep(1)
        check(not host_processes("setup123.bat"), "no self-removal batch runs")
        check(tree_state(run.dir) == files, "the package is as it was")
        check(reg_values(inst.record_key) is not None and
              os.path.isfile(os.path.join(inst.dir, "setup.exe")), "the installation completed")
    finally:
        for cleanup in cleanups:
            cleanup()
        inst.tidy()


def trust():
    """The scenario table, then runs that complete with something in their way, then a
    setup.ini saved with a UTF-8 byte-order mark, which is read as any other."""
    short_lines_close_and_file_in_use()
    read_only_package()
    for scenario in SCENARIOS:
        out = scenario.play()
        if scenario.exit_code == 4:
            # A package found damaged before anything was written has nothing to take back.
            taken_back = "vráceny zpět" in out
            check("Instalace se nezdařila" in out and taken_back == scenario.wrote,
                  "the box says the run failed" +
                  (" and was taken back" if scenario.wrote else ", and claims no take-back"))
    run = Run(unique=True)
    ini = os.path.join(run.dir, "setup.ini")
    with open(ini, "rb") as f:
        text = f.read().decode("cp1250")
    with open(ini, "wb") as f:
        f.write(b"\xef\xbb\xbf" + text.encode("utf-8"))
    say("\n== setup.ini saved as UTF-8 with a byte-order mark")
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", f"text:{W.kTitle}:{run.values['softname']}", "close", "exit:2"],
                   timeout=20)
        check(os.path.exists(os.path.join(run.dir, "orvoinst.zip")), "the package is kept")
    finally:
        shutil.rmtree(run.dir, ignore_errors=True)


APPS_LIST = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def wine_apps_list():
    """What Wine's own uninstaller lists: "key|||DisplayName" lines. It writes only to a
    console, so it runs in a terminal of its own."""
    out = subprocess.run(["script", "-qc", f"{RUN} uninstaller --list", "/dev/null"],
                         capture_output=True, stdin=subprocess.DEVNULL).stdout
    text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", out.decode("utf-8", "replace"))  # the cursor's
    return text.replace("\r", "").splitlines()


def run_quietly(program_win, folder, words, exit_code):
    """setup.exe started from FOLDER with the command line WORDS (blanks between them, no
    quotes), as a deployment tool starts it; checks its exit code."""
    say(f"\n== {program_win} {' '.join(words)}")
    # The driver passes the line as it stands: Wine would quote a word that holds a blank.
    result = subprocess.run([RUN, program_win] + words, cwd=folder, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=120)
    check(result.returncode == exit_code, f"exit code {result.returncode}, expected {exit_code}")


def read_log(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def scratch_log(name):
    """A log's path in the build tree's scratch folder, of this run only."""
    folder = os.path.join(os.environ["ORVO_BUILD_DIR"], "scratch")
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, f"e2e-{os.getpid()}-{name}.log")


def logged_boxes(log):
    """The boxes a run wrote to the log LOG, their first lines; the log is then removed."""
    boxes = [line.split(" box: ", 1)[1] for line in read_log(log).splitlines() if " box: " in line]
    os.remove(log)
    return boxes


def command_line():
    """/? and an option setup.exe does not know: a box, or with /S none, and the exit code;
    nothing is installed and the package stays."""
    run = Run(unique=True)
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["box:ok:/NOICONS", "nowindow", "exit:0"], args="/?", timeout=20)
        # The wizard asks everything itself: an unknown option from a launcher is logged and
        # the wizard goes on; an unattended run with it does nothing.
        log = run.dir + "-bogus.log"
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", f"visible:{W.kWelcomePage}", "close", "exit:2"],
                   args=f"/BOGUS /LOG={run.win_dir}-bogus.log", timeout=20)
        check("unknown option ignored: /BOGUS" in read_log(log), "the log names the option")
        os.remove(log)
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S", "/BOGUS"], 6)
        check(os.path.isfile(os.path.join(run.dir, "orvoinst.zip")), "the package stays")
        check(reg_values(RECORD_BASE + "\\" + run.values["progreg"]) is None, "no record")
    finally:
        shutil.rmtree(run.dir, ignore_errors=True)


def next_version(version, drop):
    """A copy of the demo package under this run's names with version VERSION, whose archive
    lacks the member DROP."""
    run = Run(unique=True)
    rewrite_values(os.path.join(run.dir, "setup.ini"), {"sversion": version})
    archive = os.path.join(run.dir, "orvoinst.zip")
    with zipfile.ZipFile(archive) as z:
        members = [(info, z.read(info)) for info in z.infolist() if info.filename != drop]
    with zipfile.ZipFile(archive, "w") as z:
        for info, data in members:
            z.writestr(info, data)
    return run


def upgrade_and_downgrade(inst, apps_key):
    """Over the installation: the next version drops a file, which goes, while the user's own
    file stays; then an older version is refused without /ALLOWDOWNGRADE."""
    v = inst.run.values
    notes = os.path.join(inst.dir, "poznamky.txt")
    with open(notes, "w") as f:
        f.write("the user's notes")
    newer = next_version(str(int(v["sversion"]) + 1), "data/vzorek.csv")
    try:
        run_quietly(newer.win_dir + "\\setup.exe", newer.dir, ["/S"], 0)
        check(not os.path.exists(os.path.join(inst.dir, "data")) and os.path.isfile(notes) and
              os.path.isfile(os.path.join(inst.dir, "zelvik.exe")),
              "the upgrade removed what the new version no longer has and kept the user's file")
        record = reg_values(inst.record_key)
        newer_version = f"{int(v['sversion']) + 1}.{v['srelease']}"
        check(record["AppDir"] == inst.win and record["Ver"] == str(int(v["sversion"]) + 1),
              f"one record, of the new version, in the same folder: {record}")
        check(reg_values(apps_key).get("DisplayVersion") == newer_version,
              "the Apps list shows the new version")
    finally:
        shutil.rmtree(newer.dir, ignore_errors=True)
    older = next_version("1", None)
    try:
        run_quietly(older.win_dir + "\\setup.exe", older.dir, ["/S"], 7)
        check(reg_values(inst.record_key)["Ver"] == str(int(v["sversion"]) + 1) and
              os.path.isfile(os.path.join(older.dir, "orvoinst.zip")),
              "the older version was refused: the record and its package are as they were")
    finally:
        shutil.rmtree(older.dir, ignore_errors=True)


def users_own_folder():
    """The product's folder in Program Files where this user may not write (a read-only drive
    mounted there stands in for the missing rights; nothing the prefix shares is changed):
    /S installs into the user's own programs folder, and uninstalls there."""
    run = Run(unique=True)
    locked = host_path(program_files_folder() + "\\" + run.values["regdir"])
    inst = Installation(run, run.shell_folder("Local AppData") + "\\Programs")
    cleanups = []
    say("\n== Program Files that takes no files from this user")
    try:
        try:
            mount_small_drive(locked, "1m", cleanups)
        except Skipped as skipped:
            say(f"  SKIPPED: {skipped}")
            return
        subprocess.run(["mount", "-o", "remount,ro", locked], check=True)
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S"], 0)
        check(reg_values(inst.record_key).get("AppDir") == inst.win and
              os.path.isfile(os.path.join(inst.dir, "zelvik.exe")),
              f"installed into the user's own programs folder {inst.win}")
        inst.uninstall_quietly()
    except Failure:
        inst.tidy()
        raise
    finally:
        for cleanup in cleanups:
            cleanup()
        shutil.rmtree(run.dir, ignore_errors=True)


def unattended():
    """setup.exe /S into a folder given with /D= (blanks and all), checked as the wizard's
    installation is, with the Apps list's entry and the log; then /S from the installed copy
    removes it all."""
    command_line()
    users_own_folder()
    run = Run(unique=True)
    v = run.values
    parent_win = f"C:\\orvo-e2e-{os.getpid()}\\Cílová složka"
    inst = Installation(run, parent_win)
    inst.check_absent()
    scratch = os.path.join(os.environ["ORVO_BUILD_DIR"], "scratch")
    os.makedirs(scratch, exist_ok=True)
    logs = {name: os.path.join(scratch, f"e2e-{os.getpid()}-{name}.log")
            for name in ("install", "uninstall")}
    apps_key = APPS_LIST + "\\" + v["progreg"]
    try:
        run_quietly(run.win_dir + "\\setup.exe", run.dir,
                    ["/S", "/LOG=" + windows_path(logs["install"])] +
                    ("/D=" + inst.win).split(" "), 0)
        files = expected_files()
        for rel, source in sorted(files.items()):
            target = os.path.join(inst.dir, rel)
            check(os.path.isfile(target) and filecmp.cmp(source, target, shallow=False),
                  f"{inst.win}\\{rel} is installed")
        record = reg_values(inst.record_key)
        check(record == {"AppDir": inst.win, "Ver": v["sversion"], "Rel": v["srelease"],
                         "Manifest": inst.win + "\\setup.lst",
                         "ManifestDigest": manifest_digest(inst.dir)},
              f"the record names the folder given with /D=: {record}")
        for target, sub, name in run.short_lines:
            inst.check_link(inst.group + sub + "\\" + name + ".lnk", inst.win + "\\" + target)
        desktop = run.shell_folder("Desktop") + "\\" + v["softname"] + ".lnk"
        check(not os.path.exists(host_path(desktop)), "no desktop shortcut, as the wizard's default")
        size_kb = sum(os.path.getsize(os.path.join(inst.dir, rel)) for rel in files) // 1024
        apps = reg_values(apps_key, every_type=True)
        display = f"{v['softname']} {v['sversion']}.{v['srelease']}"
        check(apps is not None and apps.get("DisplayName") == display and
              apps.get("DisplayVersion") == f"{v['sversion']}.{v['srelease']}" and
              apps.get("Publisher") == v["company"] and apps.get("InstallLocation") == inst.win and
              apps.get("UninstallString") == f'"{inst.win}\\setup.exe"' and
              apps.get("QuietUninstallString") == f'"{inst.win}\\setup.exe" /S' and
              apps.get("DisplayIcon") == inst.win + "\\" + v["progname"] and
              apps.get("InstallDate") == time.strftime("%Y%m%d") and
              apps.get("NoModify") == "0x1" and apps.get("NoRepair") == "0x1" and
              size_kb <= int(apps.get("EstimatedSize", "0"), 16) <= size_kb + 64,
              f"the Apps list's entry: {apps}")
        check(f"{v['progreg']}|||{display}" in wine_apps_list(),
              "Wine's uninstaller lists the product")
        log = read_log(logs["install"])
        for line in ("command line: /S", f"setup.ini: progreg={v['progreg']}",
                     f"folder: {inst.win}", f"file: {inst.win}\\zelvik.exe (",
                     f"copied: {inst.win}\\setup.exe (", "shortcut: ", f"record: ",
                     f"Apps list: ", "installation completed", "exit code 0"):
            check(line in log, f"the log says '{line}'")
        wait_until(lambda: not os.path.exists(run.dir), 30, "the package folder is removed")
        upgrade_and_downgrade(inst, apps_key)

        run_quietly(inst.win + "\\setup.exe", inst.dir,
                    ["/S", "/LOG=" + windows_path(logs["uninstall"])], 0)
        check(reg_values(inst.record_key) is None and reg_values(apps_key, every_type=True) is None,
              "the record and the Apps list's entry are gone")
        check(not any(v["progreg"] in line for line in wine_apps_list()),
              "Wine's uninstaller no longer lists the product")
        check("exit code 0" in read_log(logs["uninstall"]), "the uninstall's log ends with 0")
        wait_until(lambda: not os.path.exists(inst.dir), 30, f"{inst.win} is removed")
        for path in logs.values():
            os.remove(path)
    except Failure:
        inst.tidy()
        raise
    finally:
        subprocess.run([RUN, "reg", "delete", apps_key, "/f"], stdin=subprocess.DEVNULL,
                       capture_output=True)
        shutil.rmtree(host_path(parent_win[:parent_win.rindex("\\")]), ignore_errors=True)


def self_extracting():
    """The package as one program, made by ozip.exe sfx: started with /S /D= it installs as
    setup.exe does, ends with setup.exe's exit code and leaves nothing in the temporary folder,
    whether the run completes or is refused; a download cut short, or with one bit changed in
    the index, installs nothing, and its exit code says the package is unusable."""
    run = Run(unique=True)
    parent_win = f"C:\\orvo-e2e-{os.getpid()}\\sfx"
    inst = Installation(run, parent_win)
    inst.check_absent()
    downloads_win = f"C:\\orvo-e2e-{os.getpid()}\\downloads"
    downloads = host_path(downloads_win)
    os.makedirs(downloads)
    temp = host_path(f"C:\\users\\{run.user}\\Temp")

    def unpack_folders():
        return {name for name in os.listdir(temp) if name.startswith("orvo-") and
                os.path.isdir(os.path.join(temp, name))}

    earlier = unpack_folders()  # another run's, not ours to judge
    try:
        program = os.path.join(downloads, "zelvik-setup.exe")
        made = subprocess.run([RUN, windows_path(os.path.join(BIN, "ozip.exe")), "sfx",
                               run.win_dir, downloads_win + "\\zelvik-setup.exe"],
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        check(made.returncode == 0, f"ozip sfx makes the program: {made.stderr!r}")
        shutil.rmtree(run.dir)  # the one file is all a user downloads
        with open(program, "rb") as f:
            bytes_before = f.read()

        # "short.txt" in the index becomes "rhort.txt": unpacked, setup.exe would install
        # without the product's shortcuts and succeed.
        name_at = bytes_before.rfind(b"short.txt")
        check(0 <= len(bytes_before) - name_at < 512, "the index at the end names short.txt")
        altered = bytearray(bytes_before)
        altered[name_at] ^= 1
        with open(os.path.join(downloads, "altered.exe"), "wb") as f:
            f.write(altered)
        run_quietly(downloads_win + "\\altered.exe", downloads,
                    ["/S"] + ("/D=" + inst.win).split(" "), 1)
        check(unpack_folders() <= earlier, "an altered program unpacks nothing")
        inst.check_absent("after the altered program")
        run_driver(downloads_win + "\\altered.exe", ["box:ok:je poškozený nebo neúplný", "exit:1"],
                   timeout=20)

        run_quietly(downloads_win + "\\zelvik-setup.exe", downloads,
                    ["/S"] + ("/D=" + inst.win).split(" "), 0)
        for rel, source in sorted(expected_files().items()):
            target = os.path.join(inst.dir, rel)
            check(os.path.isfile(target) and filecmp.cmp(source, target, shallow=False),
                  f"{inst.win}\\{rel} is installed")
        check(reg_values(inst.record_key) is not None, "the installation is recorded")
        wait_until(lambda: unpack_folders() <= earlier, 30,
                   "nothing is left in the temporary folder")
        with open(program, "rb") as f:
            check(f.read() == bytes_before, "the downloaded program stays as it was")

        # setup.exe refuses the line and keeps its package: the program takes it away.
        run_quietly(downloads_win + "\\zelvik-setup.exe", downloads, ["/S", "/BOGUS"], 6)
        check(unpack_folders() <= earlier, "a refused run leaves nothing unpacked")

        with open(os.path.join(downloads, "cut.exe"), "wb") as f:
            f.write(bytes_before[:len(bytes_before) // 2])
        run_quietly(downloads_win + "\\cut.exe", downloads, ["/S"], 1)
        check(unpack_folders() <= earlier, "a cut download unpacks nothing")

        run_quietly(inst.win + "\\setup.exe", inst.dir, ["/S"], 0)
        wait_until(lambda: not os.path.exists(inst.dir), 30, f"{inst.win} is removed")
    except Failure:
        inst.tidy()
        raise
    finally:
        shutil.rmtree(host_path(parent_win[:parent_win.rindex("\\")]), ignore_errors=True)


def packed_by_ozip():
    """ozip.exe pack makes a package of the demo product (payload/ and the demo program) with
    the demo package's texts, and with --sfx one program holding it; setup.exe /S /D= from it installs every file with its bytes and
    time (to the even second below, as the archive keeps it); /S from the installed copy
    removes it again."""
    run = Run(unique=True)
    texts, product = run.dir + "-texts", run.dir + "-product"
    os.makedirs(texts)
    for name in os.listdir(run.dir):
        if name in ("setup.ini", "license.txt", "short.txt"):
            shutil.move(os.path.join(run.dir, name), os.path.join(texts, name))
        else:
            os.remove(os.path.join(run.dir, name))
    shutil.copytree(os.path.join(SOURCE, "examples", "demo", "payload"), product)
    shutil.copy2(os.path.join(BIN, "zelvik_demo.exe"), os.path.join(product, "zelvik.exe"))
    parent_win = f"C:\\orvo-e2e-{os.getpid()}"
    inst = Installation(run, parent_win)
    inst.check_absent()
    apps_key = APPS_LIST + "\\" + run.values["progreg"]
    try:
        say(f"\n== ozip.exe pack {run.win_dir}-product {run.win_dir}")
        result = subprocess.run(
            [RUN, os.path.join(BIN, "ozip.exe"), "pack", run.win_dir + "-product", run.win_dir] +
            [word for option, name in (("--ini", "setup.ini"), ("--license", "license.txt"),
                                       ("--short", "short.txt"))
             for word in (option, f"{run.win_dir}-texts\\{name}")] +
            ["--sfx", f"{run.win_dir}-texts\\one.exe"],
            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        output = result.stdout.decode("utf-8", "replace") + result.stderr.decode("utf-8", "replace")
        say(output)
        check(result.returncode == 0 and "0 errors, 0 warnings" in output,
              f"ozip pack made a package that checks clean (exit code {result.returncode})")
        with open(os.path.join(texts, "one.exe"), "rb") as one, \
                open(os.path.join(run.dir, "orvoinst.zip"), "rb") as archive:
            check(archive.read() in one.read(), "--sfx made one program holding the archive")
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S"] + ("/D=" + inst.win).split(" "), 0)
        files = {rel: os.path.join(product, rel) for rel in installed_files(product)}
        files["setup.exe"] = os.path.join(BIN, "setup.exe")
        for rel, source in sorted(files.items()):
            target = os.path.join(inst.dir, rel)
            stamp = int(os.path.getmtime(source)) // 2 * 2
            check(os.path.isfile(target) and filecmp.cmp(source, target, shallow=False) and
                  (rel == "setup.exe" or int(os.path.getmtime(target)) == stamp),
                  f"{inst.win}\\{rel.replace(os.sep, chr(92))} is installed with its bytes and time")
        check(installed_files(inst.dir) == set(files) | {"setup.ini", "setup.lst"},
              "the folder holds exactly the product's files, setup.exe, setup.ini and the manifest")
        wait_until(lambda: not os.path.exists(run.dir), 30, "the package folder is removed")
        inst.uninstall_quietly()
    except Failure:
        inst.tidy()
        raise
    finally:
        subprocess.run([RUN, "reg", "delete", apps_key, "/f"], stdin=subprocess.DEVNULL,
                       capture_output=True)
        for folder in (texts, product, host_path(parent_win)):
            shutil.rmtree(folder, ignore_errors=True)


def ordinary_names():
    """A company ending in "s.r.o." and a two-level product folder: the package installs (the
    folder and the group made as Windows makes them, without the trailing dot), and its
    uninstall leaves nothing behind."""
    run = Run(unique=False)
    suffix = f"E2E{os.getpid()}"
    company = "Pekárna Novák s.r.o."
    run.make_unique({"company": company, "regdir": f"Firma{suffix}\\Kalkulátor"})
    v = run.values
    inst = Installation(run, program_files_folder())
    inst.group = run.shell_folder("Programs") + "\\" + company[:-1] + "\\" + v["softname"]
    company_dir = host_path(inst.group.rsplit("\\", 1)[0])
    if os.path.isdir(company_dir) and not os.listdir(company_dir):
        os.rmdir(company_dir)  # an earlier run's, which the uninstall rightly left
    inst.check_absent()
    try:
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S"], 0)
        check(os.path.isfile(os.path.join(inst.dir, v["progname"])), f"installed into {inst.win}")
        check((reg_values(inst.record_key) or {}).get("AppDir") == inst.win,
              "the record names the folder")
        for target, sub, name in run.short_lines:
            inst.check_link(inst.group + sub + "\\" + name + ".lnk", inst.win + "\\" + target)
        inst.uninstall_quietly()
        for folder in (inst.group, inst.win.rsplit("\\", 1)[0], inst.group.rsplit("\\", 1)[0]):
            check(not os.path.exists(host_path(folder)), f"{folder} is gone")
    except Failure:
        inst.tidy()
        raise


def built_in_texts():
    """Every text setup.exe has built in, as (where, text) pairs: "message N", the setup.ini
    key of an own text, "WINDOW.CONTROL" for a line of a layout's text."""
    return ([(f"message {key}", text) for key, text in FACTS["message"]] +
            FACTS["own"] + FACTS["layout"])


def english():
    """The demo package with examples/english/setup.ini: it words every text the program has a
    key for, and no window or box of an installation and an uninstall shows a built-in text."""
    run = Run(unique=False)
    ini = os.path.join(run.dir, "setup.ini")
    with open(os.path.join(SOURCE, "examples", "english", "setup.ini"), encoding="ascii") as f:
        english_text = f.read()
    with open(ini, "wb") as f:
        f.write(english_text.replace("\n", "\r\n").encode("cp1250"))
    run.make_unique()
    sections = raw_sections(ini)
    keys = {key for key, _ in sections["ALL"]}
    stored = {entry.replace(".", "_") for entry in stored_props()}
    texts = built_in_texts()
    missing = set()
    for where, _ in texts:
        if where.startswith("message "):
            key = "Memo6_Lines"
        elif where.startswith(MAIN_WINDOW + "."):
            key = next((k for k in stored if k.split("_")[0] == where.split(".")[1]), None)
        else:  # the program's own texts; the folder picker's are not stored
            key = where if where.startswith("Msg_") else None
        if key and key not in keys and "ALL." + key not in sections:
            missing.add(key)
    check(not missing, f"examples/english/setup.ini words every text ({sorted(missing)} missing)")
    # A built-in text is one the program would show untranslated when the English wording
    # does not use it too ("OK" is both).
    english_values = english_text.replace("\t", " ")
    forbidden = {text.strip() for _, text in texts
                 if len(text.strip()) >= 4 and text.strip() not in english_values}
    inst = Installation(run, program_files_folder())
    inst.group = run.shell_folder("Programs") + "\\Water Workshop Ltd\\" + run.values["softname"]
    try:
        shown = run_driver(run.win_dir + "\\setup.exe", ["box:ok:/NOICONS", "exit:0"],
                           args="/?", timeout=20)
        page = ["texts"]
        shown += run_driver(
            run.win_dir + "\\setup.exe",
            ["window", f"visible:{W.kWelcomePage}"] + page +
            [f"click:{W.kWelcomeContinue}", f"radio:{W.kAcceptLicence}"] + page +
            [f"click:{W.kLicenceContinue}", f"visible:{W.kFolderChoice}"] + page +
            [f"click:{W.kFolderContinue}", f"visible:{W.kIconChoice}"] + page +
            [f"click:{W.kIconContinue}", f"visible:{W.kSummary}"] + page +
            [f"click:{W.kFinish}", "box:ok:Zelvik", "exit:0"])
        shown += run_driver(inst.win + "\\setup.exe",
                            ["window", f"visible:{W.kUninstall}"] + page +
                            [f"click:{W.kUninstall}", "box:yes", "box:ok", "exit:0"])
        wait_until(lambda: not os.path.exists(inst.dir), 30, f"{inst.win} is removed")
    except Failure:
        inst.tidy()
        raise
    lines = [line for line in shown.splitlines() if "shows: " in line or "box \"" in line]
    check(len(lines) > 30, f"{len(lines)} texts read off the windows and boxes")
    seen = sorted({text for line in lines for text in forbidden if text in line})
    check(not seen, f"no built-in text is shown ({seen})")


class NetworkShare:
    r"""\\orvosrv\share for the length of a block. Wine serves \\server\share\... from the
    prefix's dosdevices/unc/server/share; here that is a link to a new folder of drive C:, so
    nothing outside the prefix is reached."""

    def __init__(self):
        self.win = f"C:\\orvo-e2e-{os.getpid()}\\share"
        self.dir = host_path(self.win)
        self.server = os.path.join(PREFIX, "dosdevices", "unc", "orvosrv")
        self.link = os.path.join(self.server, "share")

    def __enter__(self):
        os.makedirs(self.dir)
        os.makedirs(self.server, exist_ok=True)
        if os.path.islink(self.link):
            os.remove(self.link)  # left by a run that was killed
        os.symlink(os.path.relpath(self.dir, self.server), self.link)
        return self

    def __exit__(self, *_):
        os.remove(self.link)
        for folder in (self.server, os.path.dirname(self.server)):
            if not os.listdir(folder):
                os.rmdir(folder)
        shutil.rmtree(os.path.dirname(self.dir), ignore_errors=True)


def refusal_reason(run, folder, log):
    """setup.exe /S /D=FOLDER, refused (exit code 4) as a folder it cannot write to: the reason
    its one box gives after the folder, "" when it gives none."""
    run_quietly(run.win_dir + "\\setup.exe", run.dir,
                ["/S", "/LOG=" + windows_path(log), "/D=" + folder], 4)
    boxes = logged_boxes(log)
    opening = f"Do cílového adresáře nelze zapisovat: {folder} "
    say(f"  the log's boxes: {boxes}")
    return boxes[0][len(opening):].strip() if len(boxes) == 1 and boxes[0].startswith(opening) else ""


def read_only_folder_on(share, run, log):
    """A read-only folder on the share (a file system mounted read-only): the box gives the
    reason the command interpreter gives for a file it cannot make there."""
    cleanups = []
    try:
        mount_small_drive(os.path.join(share.dir, "cd"), "1m", cleanups)
    except Skipped as skipped:
        say(f"  SKIPPED: {skipped}")
        return
    try:
        subprocess.run(["mount", "-o", "remount,ro", os.path.join(share.dir, "cd")], check=True)
        said = subprocess.run([RUN, "cmd", "/c", "type nul > \\\\orvosrv\\share\\cd\\x.txt"],
                              capture_output=True, stdin=subprocess.DEVNULL)
        expected = (said.stdout + said.stderr).decode("cp1250").strip()  # cmd writes ANSI here
        check(expected and refusal_reason(run, "\\\\orvosrv\\share\\cd\\Zelvik", log) == expected,
              f"a read-only folder on the share is refused as the system says: {expected}")
    finally:
        for cleanup in cleanups:
            cleanup()


def network_share():
    """setup.exe /S with /D= naming a network path: a share that is not there, and a read-only
    folder on one, are refused with the system's reason and nothing written; on the share the
    product is installed, recorded under the network path with both its backslashes, and
    removed by /S from the copy there."""
    run = Run(unique=True)
    v = run.values
    target = "\\\\orvosrv\\share\\Zelvik"
    missing = "\\\\orvosrv\\nothere\\Zelvik"
    record_key = RECORD_BASE + "\\" + v["progreg"]
    apps_key = APPS_LIST + "\\" + v["progreg"]
    group = run.shell_folder("Programs") + "\\" + v["company"] + "\\" + v["softname"]
    log = scratch_log("share")
    with NetworkShare() as share:
        installed = os.path.join(share.dir, "Zelvik")
        try:
            package = package_state(run.dir)
            check(refusal_reason(run, missing, log),
                  "a share that is not there is refused with the system's reason")
            check(os.listdir(share.server) == ["share"] and not os.listdir(share.dir) and
                  reg_values(record_key) is None and package_state(run.dir) == package,
                  "nothing was written for the missing share; the package stays")
            read_only_folder_on(share, run, log)

            run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S", "/D=" + target], 0)
            for rel, source in sorted(expected_files().items()):
                path = os.path.join(installed, rel)
                check(os.path.isfile(path) and filecmp.cmp(source, path, shallow=False),
                      f"{target}\\{rel} is installed")
            check(reg_values(record_key) == {"AppDir": target, "Ver": v["sversion"],
                                             "Rel": v["srelease"],
                                             "Manifest": target + "\\setup.lst",
                                             "ManifestDigest": manifest_digest(installed)},
                  f"the record names the share: {reg_values(record_key)}")
            check(reg_values(apps_key).get("UninstallString") == f'"{target}\\setup.exe"',
                  "the Apps list's entry starts the copy on the share")
            for link_target, sub, name in run.short_lines:
                Installation.check_link(group + sub + "\\" + name + ".lnk",
                                        target + "\\" + link_target)
            wait_until(lambda: not os.path.exists(run.dir), 30, "the package folder is removed")

            run_quietly(target + "\\setup.exe", installed, ["/S"], 0)
            check(reg_values(record_key) is None and reg_values(apps_key) is None,
                  "the uninstall removed the record and the Apps list's entry")
            wait_until(lambda: not os.path.exists(installed), 30, f"{target} is removed")
        finally:
            for key in (record_key, apps_key):
                subprocess.run([RUN, "reg", "delete", key, "/f"], stdin=subprocess.DEVNULL,
                               capture_output=True)
            shutil.rmtree(host_path(group), ignore_errors=True)
            remove_empty_company(run)
            shutil.rmtree(run.dir, ignore_errors=True)

def other_product(letter):
    """The demo package under names of this run with LETTER in them: a second product of the
    run, installed beside the first."""
    run = Run(unique=True)
    run.make_unique({key: run.values[key].replace("Zelvik", "Zelvik" + letter)
                     for key in ("softname", "regdir", "progreg", "idn")})
    return run


def default_logs(run):
    """The logs that runs of RUN's product wrote to the temporary folder by default."""
    temp = host_path(f"C:\\users\\{run.user}\\Temp")
    return [os.path.join(temp, name) for name in os.listdir(temp)
            if name.startswith(run.values["softname"] + "-") and name.endswith(".log")]


def started_from_elsewhere():
    """setup.exe takes its package from the folder it is started in and removes only what is
    its own: a package downloaded among the user's files leaves them; the installed copy
    started from another package's folder installs that package and keeps its own files; the
    Apps list starts the installed copy in C:\\Windows, and it uninstalls; a log named into the
    installation's manifest goes to the temporary folder instead."""
    place_win = f"C:\\orvo-e2e-{os.getpid()}"
    a, b = Run(unique=True), other_product("B")
    downloads_win = place_win + "\\Downloads"
    shutil.copytree(a.dir, host_path(downloads_win))
    shutil.rmtree(a.dir)
    a.win_dir, a.dir = downloads_win, host_path(downloads_win)
    users = {"readme.txt": "Moje poznámky k instalaci".encode("cp1250")}
    write_files(a.dir, users)
    inst_a, inst_b = Installation(a, program_files_folder()), Installation(b, place_win)
    inst_a.check_absent()
    inst_b.check_absent()
    try:
        say("\n== a package downloaded among the user's files")
        run_quietly(a.win_dir + "\\setup.exe", a.dir, ["/S"], 0)
        wait_until(lambda: tree_state(a.dir) == users, 30,
                   "the package's files are gone, the user's readme.txt stays with its bytes")

        say("\n== the installed copy started in another package's folder")
        own = tree_state(inst_a.dir)
        run_quietly(inst_a.win + "\\setup.exe", b.dir, ["/S", "/D=" + inst_b.win], 0)
        check(tree_state(inst_a.dir) == own, f"{inst_a.win} keeps every file of its own")
        check((reg_values(inst_b.record_key) or {}).get("AppDir") == inst_b.win,
              f"the package of the working folder is installed into {inst_b.win}")

        inst_a.uninstall_quietly(host_path("C:\\windows"))

        manifest = inst_b.win + "\\setup.lst"
        inst_b.uninstall_quietly(words=["/LOG=" + manifest])
        logs = default_logs(b)
        check(any(f"the log is not written to {manifest}" in read_log(log) for log in logs),
              "a log named into the manifest goes to the temporary folder")
        for log in logs:
            os.remove(log)
    except Failure:
        inst_a.tidy()
        inst_b.tidy()
        raise
    finally:
        shutil.rmtree(host_path(place_win), ignore_errors=True)
        remove_empty_company(a)


def changed_manifest(place_win, installs):
    """Lines added to the manifest after the installation, another program's shortcut and the
    folder that held the user's file before the run: the uninstall removes nothing. With the
    manifest as written it removes the installation and leaves the user's file."""
    run = Run(unique=True)
    inst = Installation(run, place_win + "\\Vlastni")
    installs.append(inst)
    notes = {"poznamky.txt": b"the user's notes"}
    write_files(inst.dir, notes)
    desktop = run.shell_folder("Desktop")
    other = desktop + "\\Jiny program.lnk"
    write_files(host_path(desktop), {"Jiny program.lnk": b"another program's shortcut"})
    try:
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S", "/D=" + inst.win], 0)
        manifest = os.path.join(inst.dir, "setup.lst")
        with open(manifest, "rb") as f:
            written = f.read()
        with open(manifest, "ab") as f:
            f.write(f"L {other}\r\nD {inst.win}\r\n".encode())

        def state():
            return (tree_state(inst.dir), tree_state(host_path(inst.group)),
                    reg_values(inst.record_key), os.path.isfile(host_path(other)))
        before = state()
        run_quietly(inst.win + "\\setup.exe", inst.dir, ["/S"], 5)
        check(state() == before, "a changed manifest removes nothing: the folder, the group, "
                                 "the record and the other program's shortcut stay")

        with open(manifest, "wb") as f:
            f.write(written)
        run_quietly(inst.win + "\\setup.exe", inst.dir, ["/S"], 0)
        wait_until(lambda: tree_state(inst.dir) == notes, 30,
                   "the manifest as written is followed: only the user's file is left")
    finally:
        if os.path.exists(host_path(other)):
            os.remove(host_path(other))


def linked_folder(place_win, installs):
    """A folder of the installation replaced by a link to a folder of the user's: the
    uninstall removes the installation but for the link, and leaves what it leads to."""
    run = Run(unique=True)
    inst = Installation(run, program_files_folder())
    installs.append(inst)
    inst.check_absent()
    run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S"], 0)
    users_dir = host_path(place_win + "\\Moje data")
    users = {"vzorek.csv": b"the user's measurements"}
    write_files(users_dir, users)
    data = os.path.join(inst.dir, "data")
    shutil.rmtree(data)
    os.symlink(os.path.relpath(users_dir, inst.dir), data)
    run_quietly(inst.win + "\\setup.exe", inst.dir, ["/S"], 0)
    check(reg_values(inst.record_key) is None, "the uninstall removed the record")
    wait_until(lambda: os.listdir(inst.dir) == ["data"], 30,
               f"nothing but the link is left in {inst.win}")
    check(tree_state(users_dir) == users, "the user's vzorek.csv behind the link stays")


def upgrade_over_other_records(place_win, installs):
    """A record whose digest is not of the manifest in its folder, where another product is
    installed: the upgrade is refused and that product stays as it was. A record of an
    earlier release that names a folder of the user's documents: the upgrade and its uninstall
    leave the user's file. Then the other product's record loses its manifest, as the first
    releases wrote it, and its uninstall removes it all the same."""
    b = other_product("B")
    inst_b = Installation(b, place_win)
    installs.append(inst_b)
    run_quietly(b.win_dir + "\\setup.exe", b.dir, ["/S", "/D=" + inst_b.win], 0)
    a = Run(unique=True)
    inst_a = Installation(a, a.shell_folder("Personal"))
    installs.append(inst_a)
    write_record(inst_a.record_key, {
        "AppDir": inst_b.win, "Ver": "1", "Rel": "0", "Manifest": inst_b.win + "\\setup.lst",
        "ManifestDigest": hashlib.sha256(b"another manifest").hexdigest()})

    def state_b():
        return (tree_state(inst_b.dir), tree_state(host_path(inst_b.group)),
                reg_values(inst_b.record_key),
                reg_values(APPS_LIST + "\\" + b.values["progreg"], every_type=True))
    before = state_b()
    log = scratch_log("other")
    run_quietly(a.win_dir + "\\setup.exe", a.dir, ["/S", "/LOG=" + windows_path(log)], 4)
    check(any(box.startswith("V tomto adresáři je nainstalován jiný program")
              for box in logged_boxes(log)), "the box says another program is installed there")
    check(state_b() == before, f"the product in {inst_b.win} stays as it was: files, "
                               "shortcuts, record and Apps entry")

    delete_registry(inst_a.record_key)
    record_naming_documents({"documents_win": inst_a.win, "documents_dir": inst_a.dir,
                             "record_key": inst_a.record_key})
    letter = {"letter.txt": tree_state(inst_a.dir)["letter.txt"]}
    run_quietly(a.win_dir + "\\setup.exe", a.dir, ["/S"], 0)
    run_quietly(inst_a.win + "\\setup.exe", inst_a.dir, ["/S"], 0)
    wait_until(lambda: tree_state(inst_a.dir) == letter, 30,
               "the upgrade and its uninstall leave only the user's letter in the documents")

    os.remove(os.path.join(inst_b.dir, "setup.lst"))
    for value in ("Manifest", "ManifestDigest"):
        delete_registry(inst_b.record_key, value)
    check(set(reg_values(inst_b.record_key)) == {"AppDir", "Ver", "Rel"},
          "the record is as the first releases wrote it")
    inst_b.uninstall_quietly()
    check(not os.path.exists(host_path(inst_b.group)), "the shortcuts and the group are gone")


def manifests_proven():
    """The uninstall and the upgrade follow only what the record proves the installation
    made."""
    place_win = f"C:\\orvo-e2e-{os.getpid()}"
    installs = []
    try:
        changed_manifest(place_win, installs)
        linked_folder(place_win, installs)
        upgrade_over_other_records(place_win, installs)
    except Failure:
        for inst in installs:
            inst.tidy()
        raise
    finally:
        shutil.rmtree(host_path(place_win), ignore_errors=True)
        for inst in installs:
            # What is left by design: a link in place of a folder, the user's letter.
            shutil.rmtree(inst.dir, ignore_errors=True)  # takes a link, not what it leads to
            remove_empty_company(inst.run)


def foreign_apps_entry_and_held_batch():
    """The Apps list names another program under the product's name: the run is refused before
    anything is written, and the entry stays. Then the temporary folder refuses the
    self-removal batch (a folder has its name): the installation completes all the same."""
    run = Run(unique=True)
    inst = Installation(run, program_files_folder())
    inst.check_absent()
    apps_key = APPS_LIST + "\\" + run.values["progreg"]
    foreign = {apps_key: {"DisplayName": "Cizi ucetnictvi",
                          "UninstallString": "C:\\CiziFirma\\odinstalovat.exe /x"},
               apps_key + "\\Podrobnosti": {"Verze": "7"}}
    for key, values in foreign.items():
        write_record(key, values)
    batch = os.path.join(host_path(f"C:\\users\\{run.user}\\Temp"), "setup123.bat")
    log = scratch_log("foreign")
    try:
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S", "/LOG=" + windows_path(log)], 4)
        check(any(box.startswith("Seznam programů Windows už pod tímto názvem uvádí jiný program")
                  for box in logged_boxes(log)), "the box says the Apps list names another program")
        check({key: reg_values(key, every_type=True) for key in foreign} == foreign and
              reg_values(inst.record_key) is None and not os.path.exists(inst.dir),
              "the other program's entry and its subkey stay as they were; nothing is installed")

        delete_registry(apps_key)
        wait_until(lambda: not os.path.exists(batch), 30, "no earlier self-removal batch is left")
        os.mkdir(batch)
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S"], 0)
        check((reg_values(inst.record_key) or {}).get("AppDir") == inst.win and
              os.path.isfile(os.path.join(inst.dir, run.values["progname"])),
              "without the batch the installation stays complete: the record and the files")
        os.rmdir(batch)
        inst.uninstall_quietly()
    except Failure:
        inst.tidy()
        raise
    finally:
        if os.path.isdir(batch):
            os.rmdir(batch)
        delete_registry(apps_key)
        shutil.rmtree(run.dir, ignore_errors=True)
        remove_empty_company(run)


MACHINE_SHELL_FOLDERS = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
MACHINE_RECORDS = r"HKLM\Software\Orvo"
MACHINE_APPS_LIST = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def for_all_users():
    """/S /ALLUSERS: the folder under Program Files, the record and the Apps entry in the
    machine's registry, the shortcuts in the common Start menu; then the uninstall as the Apps
    list starts it, its quiet command as the machine's entry holds it, in C:\\Windows, leaves
    nothing. The user's own registry gets nothing."""
    run = Run(unique=True)
    v = run.values
    inst = Installation(run, program_files_folder())
    inst.record_key = MACHINE_RECORDS + "\\" + v["progreg"]
    common = reg_values(MACHINE_SHELL_FOLDERS)
    inst.group = common["Common Programs"] + "\\" + v["company"] + "\\" + v["softname"]
    apps_key = MACHINE_APPS_LIST + "\\" + v["progreg"]
    inst.check_absent()
    try:
        run_quietly(run.win_dir + "\\setup.exe", run.dir, ["/S", "/ALLUSERS"], 0)
        check(os.path.isfile(os.path.join(inst.dir, v["progname"])), f"installed into {inst.win}")
        record = reg_values(inst.record_key) or {}
        check(record.get("AppDir") == inst.win and record.get("Ver") == v["sversion"],
              f"the machine's record {inst.record_key}: {record}")
        check(reg_values(RECORD_BASE + "\\" + v["progreg"]) is None, "no record of the user's")
        apps = reg_values(apps_key) or {}
        check(apps.get("QuietUninstallString") == f'"{inst.win}\\setup.exe" /S /ALLUSERS',
              f"the machine's Apps entry {apps_key}: {apps.get('QuietUninstallString')}")
        display = f"{v['softname']} {v['sversion']}.{v['srelease']}"
        check(any(line.endswith("|||" + display) for line in wine_apps_list()),
              f"Wine's uninstaller lists {display}")
        for target, sub, name in run.short_lines:
            inst.check_link(inst.group + sub + "\\" + name + ".lnk", inst.win + "\\" + target)
        command = apps["QuietUninstallString"]
        program = command[1:command.index('"', 1)]
        run_quietly(program, host_path("C:\\windows"), command[command.index('"', 1) + 2:].split(),
                    0)
        check(reg_values(inst.record_key) is None and reg_values(apps_key) is None,
              "the machine's record and Apps entry are gone")
        check(not os.path.exists(host_path(inst.group)), "the common group is gone")
        wait_until(lambda: not os.path.exists(inst.dir), 30, f"{inst.win} is removed")
    except Failure:
        inst.tidy()
        delete_registry(inst.record_key)
        delete_registry(apps_key)
        raise


def passive():
    """/PASSIVE: the progress panel and no page, no question and no box; the run completes."""
    run = Run(unique=True)
    inst = Installation(run, program_files_folder())
    # Enough files that the panel stays up for the driver to see it.
    with zipfile.ZipFile(os.path.join(run.dir, "orvoinst.zip"), "a") as z:
        for i in range(1500):
            z.writestr(f"data/many/{i:04d}.txt", f"file {i}\n" * 50)
    inst.check_absent()
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", f"visible:{W.kProgressPanel}", f"hidden:{W.kPages}", "exit:0"],
                   args="/PASSIVE", timeout=60)
        check(os.path.isfile(os.path.join(inst.dir, "data", "many", "1499.txt")),
              "the run completed without anyone answering a box")
        inst.uninstall_quietly()
    except Failure:
        inst.tidy()
        raise


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    try:
        if mode == "mechanics":
            mechanics(os.path.join(os.environ["ORVO_BUILD_DIR"], "e2e-shots"))
        elif mode == "install":
            install_and_uninstall(None)
        elif mode == "cancel":
            cancel()
        elif mode == "second":
            second_instance()
        elif mode == "noconfig":
            for key in required_values():
                missing_value(key)
        elif mode == "badzip":
            bad_archive(corrupt_member, "ResultCrcError")
            bad_archive(truncate_archive, "ResultArchiveFileError")
        elif mode == "trust":
            trust()
        elif mode == "unattended":
            unattended()
        elif mode == "sfx":
            self_extracting()
        elif mode == "pack":
            packed_by_ozip()
        elif mode == "names":
            ordinary_names()
            english()
        elif mode == "share":
            network_share()
        elif mode == "ownership":
            started_from_elsewhere()
            manifests_proven()
            foreign_apps_entry_and_held_batch()
        elif mode == "fleet":
            for_all_users()
            passive()
        elif mode == "norecord":
            no_record()
        elif mode == "noicons":
            no_icons()
        elif mode == "full":
            full()
        elif mode == "demo":
            install_and_uninstall(sys.argv[2] if len(sys.argv) > 2 else "build/demo-shots")
        else:
            say(__doc__)
            return 2
    except Failure as failure:
        say(f"FAILED: {failure}")
        for run in RUNS:
            shutil.rmtree(run.dir, ignore_errors=True)
            shutil.rmtree(run.dir + "-shots", ignore_errors=True)
        return 1
    say("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
