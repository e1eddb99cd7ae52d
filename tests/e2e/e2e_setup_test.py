#!/usr/bin/env python3
"""Runs setup.exe under Wine from a fresh copy of the demo package inside the prefix's drive C:
and walks its wizard with e2e_driver.exe, then checks what the installer left behind.

    e2e_setup_test.py mechanics        the first page: controls found and read, a screenshot,
                                       a close that leaves the package alone
    e2e_setup_test.py install          install and uninstall under names of this run only
    e2e_setup_test.py cancel           cancel on the licence page: the package folder goes
    e2e_setup_test.py demo [SHOT_DIR]  the demo package as it is, a screenshot of every step
    e2e_setup_test.py second           a second copy started while the first is up
    e2e_setup_test.py noconfig         a required value missing from setup.ini
    e2e_setup_test.py badzip           an archive member whose data fails its CRC
    e2e_setup_test.py norecord         uninstall where no record exists
    e2e_setup_test.py noicons          "icons" 0: the shortcut page is skipped both ways

The environment is that of orvo_add_script_test: ORVO_RUN (the Wine wrapper), ORVO_BIN_DIR,
ORVO_BUILD_DIR, ORVO_SOURCE_DIR.
"""
import filecmp
import getpass
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile

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


def reg_values(key):
    """The string values of a registry key, or None when the key does not exist."""
    result = subprocess.run([RUN, "reg", "query", key], capture_output=True,
                            stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3 and parts[1] == "REG_SZ":
            values[parts[0]] = parts[2]
    return values


def lnk_target(path):
    out = subprocess.run(["lnkinfo", path], check=True, capture_output=True).stdout
    for line in out.decode("utf-8", "replace").splitlines():
        if "Local path" in line:
            return line.split(":", 1)[1].strip()
    return None


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


def run_driver(program, steps, shots=None, timeout=60, expect_failure=False):
    """Runs the driver; with shots=(handshake folder on the host, its Windows path, output
    folder) every shot:NAME step becomes OUTPUT/NAME.png taken of the whole screen."""
    args = [RUN, DRIVER, "--timeout", str(timeout)]
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


def rewrite_values(ini_path, values):
    """Sets named values of section ALL in a code page 1250 setup.ini."""
    with open(ini_path, "rb") as f:
        lines = f.read().split(b"\r\n")
    for i, line in enumerate(lines):
        key = line.split(b"=", 1)[0].decode("cp1250")
        if key in values and b"=" in line:
            lines[i] = (key + "=" + values[key]).encode("cp1250")
    with open(ini_path, "wb") as f:
        f.write(b"\r\n".join(lines))


def read_values(ini_path):
    values = {}
    with open(ini_path, "rb") as f:
        for line in f.read().decode("cp1250").splitlines():
            if line.startswith("["):
                if values:
                    break
                continue
            if "=" in line:
                key, value = line.split("=", 1)
                values[key] = value
    return values


RUNS = []  # package folders made here, removed after a failure


class Run:
    def __init__(self, unique):
        self.user = getpass.getuser()
        self.name = f"orvo-e2e-{os.getpid()}-{int(time.time())}"
        self.win_dir = f"C:\\users\\{self.user}\\Temp\\{self.name}"
        self.dir = host_path(self.win_dir)
        os.makedirs(self.dir)
        RUNS.append(self)
        for name in os.listdir(PACKAGE):
            shutil.copyfile(os.path.join(PACKAGE, name), os.path.join(self.dir, name))
        ini = os.path.join(self.dir, "setup.ini")
        if unique:
            # Names of this run only: no other run or earlier installation is touched.
            suffix = f"E2E{os.getpid()}"
            rewrite_values(ini, {"softname": "Zelvik" + suffix, "regdir": "Zelvik" + suffix,
                                 "progreg": "Zelvik" + suffix, "idn": "ZelvikSetup" + suffix})
        self.values = read_values(ini)
        with open(os.path.join(self.dir, "short.txt"), "rb") as f:
            self.short_lines = [line.split(";")[:3] for line in f.read().decode("cp1250").splitlines()]
        say(f"package copied to {self.win_dir} ({self.dir})")

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
               ["window", "visible:Portal", "text:Memo2:Vítejte", "enabled:BitBtn5",
                "disabled:BitBtn15", "hidden:RadioButtyes", "shot:portal", "close", "exit:0"],
               (shots, run.win_dir + "-shots", out_dir))
    png = os.path.join(out_dir, "portal.png")
    colours = subprocess.run(["convert", png, "-format", "%k", "info:"], check=True,
                             capture_output=True, text=True).stdout
    check(int(colours) > 50, f"the screenshot shows a painted window ({colours} colours)")
    # Closed from the first page before any step: the package stays as it was.
    check(sorted(os.listdir(run.dir)) == before, "the package folder is untouched")
    # A step that cannot succeed fails the driver, which then ends the program it started.
    out = run_driver(run.win_dir + "\\setup.exe", ["window", "visible:NoSuchControl"],
                     timeout=3, expect_failure=True)
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
    v = run.values
    shots = None
    if shot_dir:
        os.makedirs(shot_dir, exist_ok=True)
        os.makedirs(run.dir + "-shots")
        shots = (run.dir + "-shots", run.win_dir + "-shots", shot_dir)
    record_key = RECORD_BASE + "\\" + v["progreg"]
    program_files = reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"]
    install_win = program_files + "\\" + v["regdir"]
    install_dir = host_path(install_win)
    if shot_dir is None:
        check(reg_values(record_key) is None and not os.path.exists(install_dir),
              f"no record {record_key} and no folder {install_win} before the run")

    def shot(name):
        return [f"shot:{name}"] if shots else []

    try:
        walk(run, shots, shot, record_key, install_win, install_dir)
    except Failure:
        tidy(run, record_key, install_win, install_dir)
        raise


def tidy(run, record_key, install_win, install_dir):
    """After a failure: whatever the run left must not disturb the next one."""
    say("tidying up after the failure")
    if os.path.isfile(os.path.join(install_dir, "setup.exe")):
        subprocess.run([RUN, DRIVER, "--timeout", "20", install_win + "\\setup.exe", "window",
                        "click:BitBtn11", "box:yes", "box:ok", "exit"],
                       stdin=subprocess.DEVNULL, capture_output=True)
    subprocess.run([RUN, "reg", "delete", record_key, "/f"], stdin=subprocess.DEVNULL,
                   capture_output=True)
    for folder in (run.dir, run.dir + "-shots", install_dir):
        shutil.rmtree(folder, ignore_errors=True)


def walk(run, shots, shot, record_key, install_win, install_dir):
    v = run.values

    say(f"\n== installing {v['softname']} into {install_win}")
    run_driver(run.win_dir + "\\setup.exe",
               ["window", "visible:Portal", "text:Memo2:Vítejte"] + shot("1-welcome") +
               ["click:BitBtn5", "visible:RadioButtyes", "text:Memo7:LICENČNÍ UJEDNÁNÍ",
                "disabled:BitBtn15", "radio:RadioButtyes", "enabled:BitBtn15"] +
               shot("2-licence") +
               ["click:BitBtn15", "visible:Directory", f"text:Directory:{install_win}"] +
               shot("3-folder") +
               ["click:BitBtn2", "visible:ProgIcon", "tick:ProgIcon:0", "tick:ProgIcon:1"] +
               shot("4-icons") +
               ["click:BitBtn8", "visible:Memo1", f"text:Memo1:{install_win}"] +
               shot("5-summary") +
               ["click:BitBtn4", "boxshown"] + shot("6-finished") +
               ["box:ok:Instalace programu Želvík byla dokončena"] +
               ["exit:0"], shots)

    say("\n== checking the installation")
    files = expected_files()
    for rel, source in sorted(files.items()):
        target = os.path.join(install_dir, rel)
        shown = os.path.relpath(source, SOURCE) if source.startswith(SOURCE) else source
        check(os.path.isfile(target) and filecmp.cmp(source, target, shallow=False),
              f"{install_win}\\{rel.replace(os.sep, chr(92))} equals {shown}")
    installed = set()
    for folder, _, names in os.walk(install_dir):
        installed.update(os.path.relpath(os.path.join(folder, n), install_dir) for n in names)
    check(installed == set(files) | {"setup.ini"},
          f"the folder holds exactly the payload, setup.exe and setup.ini ({len(installed)} files)")
    check(read_values(os.path.join(install_dir, "setup.ini"))["progreg"] == v["progreg"],
          "the installed setup.ini names the product's record")
    record = reg_values(record_key)
    check(record == {"AppDir": install_win, "Ver": v["sversion"], "Rel": v["srelease"]},
          f"record {record_key}: {record}")
    desktop = run.shell_folder("Desktop")
    start_menu = run.shell_folder("Start Menu")
    group = run.shell_folder("Programs") + "\\" + v["company"] + "\\" + v["softname"]
    links = {
        desktop + "\\" + v["softname"] + ".lnk": install_win + "\\" + v["progname"],
        start_menu + "\\" + v["softname"] + ".lnk": install_win + "\\" + v["progname"],
    }
    for target, sub, name in run.short_lines:
        links[group + sub + "\\" + name + ".lnk"] = install_win + "\\" + target
    for link, target in links.items():
        path = host_path(link)
        check(os.path.isfile(path) and lnk_target(path) == target, f"{link} -> {target}")
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed", failures)

    say(f"\n== uninstalling with {install_win}\\setup.exe")
    run_driver(install_win + "\\setup.exe",
               ["window", "visible:BitBtn11", "text:Memo5:odebere"] + shot("7-uninstall") +
               ["click:BitBtn11", "boxshown"] + shot("8-confirm") + [f"box:yes:{install_win}",
                "boxshown"] + shot("9-uninstalled") +
               ["box:ok:Program Želvík byl odinstalován", "exit:0"], shots)
    say("\n== checking the removal")
    check(reg_values(record_key) is None, f"record {record_key} is gone")
    for link in links:
        check(not os.path.exists(host_path(link)), f"{link} is gone")
    check(not os.path.exists(host_path(group)), f"the group folder {group} is gone")
    wait_until(lambda: not os.path.exists(install_dir), 30, f"{install_win} is removed",
               failures)
    company = host_path(run.shell_folder("Programs") + "\\" + v["company"])
    if os.path.isdir(company) and not os.listdir(company):
        os.rmdir(company)  # the company level outlives its products by design; tidy up
    if shots:
        shutil.rmtree(shots[0])
    if failures:
        raise Failure("; ".join(failures))


def cancel():
    """Storno after one step: the cancel message, then the package folder goes, and no
    installation or record is left."""
    run = Run(unique=True)
    record_key = RECORD_BASE + "\\" + run.values["progreg"]
    run_driver(run.win_dir + "\\setup.exe",
               ["window", "click:BitBtn5", "visible:RadioButtyes", "click:BitBtn14",
                "box:ok:Instalace programu Želvík byla zrušena", "exit:0"])
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed", failures)
    check(reg_values(record_key) is None, f"no record {record_key}")
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
            elif section == "ALL.Memo6_Lines" and line.startswith(f"Item{number}="):
                text = line.split("=", 1)[1]
                if len(text) >= 2 and text[0] == text[-1] == '"':
                    text = text[1:-1]
                return text
    raise Failure(f"setup.ini gives no message {number}")


def built_in_message(number):
    """Entry NUMBER of the program's own message table, read from its source. The texts of
    setup.ini take over only when the window is first shown, so a box shown while the window
    is being created (messages 31 to 35) has the built-in wording."""
    with open(os.path.join(SOURCE, "src", "app", "message_table.cpp"), encoding="utf-8") as f:
        source = f.read()
    start = source.index("texts = {")
    body = source[start:source.index("};", start)]
    texts = re.findall(r'^\s*"((?:[^"\\]|\\.)*)",?\s*$', body, re.M)
    if len(texts) != 36:
        raise Failure(f"src/app/message_table.cpp: {len(texts)} built-in messages, not 36")
    return texts[number]


def result_text(name):
    """The text that unzip::ResultText gives for the result NAME, read from its table."""
    with open(os.path.join(SOURCE, "src", "unzip", "result.cpp"), encoding="utf-8") as f:
        source = f.read()
    table = source[source.index("ResultText("):]
    match = re.search(r"case " + name + r': return "([^"]*)";', table)
    if not match:
        raise Failure(f"no text for {name} in src/unzip/result.cpp")
    return match.group(1)


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
         "window", "visible:Portal", "shot:first-up", "text:Memo2:Vítejte", "click:BitBtn5",
         "visible:RadioButtyes", "click:BitBtn14", f"box:ok:{cancelled}", "exit:0"],
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
    run = Run(unique=True)
    ini = os.path.join(run.dir, "setup.ini")
    remove_value(ini, key)
    text = built_in_message(34) + built_in_message(35)
    replaced = message(ini, 34) + message(ini, 35)
    check(replaced != text, "setup.ini gives messages 34 and 35 a wording of their own")
    record_key = RECORD_BASE + "\\" + run.values["progreg"]
    out = run_driver(run.win_dir + "\\setup.exe",
                     ["nowindow", f"box:ok:{text}", "nowindow", "exit:0"], timeout=20)
    check(replaced not in out, "the box has the built-in wording, not setup.ini's")
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed at shutdown", failures)
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


def bad_archive():
    """A member failing its CRC: the error box with the result text, the run taken back (no
    installation folder, no record), the package folder kept whole."""
    run = Run(unique=True)
    v = run.values
    corrupt_member(os.path.join(run.dir, "orvoinst.zip"))
    before = package_state(run.dir)
    text = result_text("ResultCrcError") + ": orvoinst.zip"
    record_key = RECORD_BASE + "\\" + v["progreg"]
    program_files = reg_values(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"]
    install_win = program_files + "\\" + v["regdir"]
    install_dir = host_path(install_win)
    check(reg_values(record_key) is None and not os.path.exists(install_dir),
          f"no record {record_key} and no folder {install_win} before the run")
    try:
        run_driver(run.win_dir + "\\setup.exe",
                   ["window", "click:BitBtn5", "radio:RadioButtyes", "click:BitBtn15",
                    "visible:Directory", f"text:Directory:{install_win}", "click:BitBtn2",
                    "visible:ProgIcon", "click:BitBtn8", "visible:Memo1", "click:BitBtn4",
                    f"box:ok:{text}", "exit:0"], timeout=30)
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
                   ["window", "visible:BitBtn11", "hidden:Portal", "click:BitBtn11",
                    f"box:ok:{text}", "exit:0"], timeout=20)
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
               ["window", "click:BitBtn5", "radio:RadioButtyes", "click:BitBtn15",
                "visible:Directory", "click:BitBtn2", "visible:Memo1", "visible:BitBtn4",
                "hidden:ProgIcon", "hidden:Directory", "click:BitBtn10", "visible:Directory",
                "hidden:Memo1", "hidden:ProgIcon", "click:BitBtn2", "visible:Memo1",
                "hidden:ProgIcon", "click:BitBtn6", f"box:ok:{cancelled}", "exit:0"],
               timeout=20)
    failures = []
    wait_until(lambda: not os.path.exists(run.dir), 30,
               f"the package folder {run.win_dir} is removed after the cancel", failures)
    shutil.rmtree(run.dir, ignore_errors=True)
    if failures:
        raise Failure("; ".join(failures))


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
            missing_value("progname")
        elif mode == "badzip":
            bad_archive()
        elif mode == "norecord":
            no_record()
        elif mode == "noicons":
            no_icons()
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
