#!/usr/bin/env python3
"""Conformance run of ozip against independent ZIP readers and writers.

Every archive of the shared corpus (ORVO_TESTDATA_DIR/zip/conformance) and a set of archives
written here at run time by Info-ZIP Zip, 7-Zip and Python's zipfile is extracted with
`ozip x --report` into a fresh folder and tested with `ozip t`. For each archive:

  * both runs end in time with exit status 0, 1 or 2 and an outcome line that matches it;
  * nothing is written outside the target folder (the folders around it are checked, and
    so are the places a traversing member name would point at);
  * `ozip t` exits as `ozip x` does (a file-system refusal to create an output file is the
    one thing only extraction can meet);
  * where Info-ZIP UnZip extracts the archive cleanly and Python's zipfile reads every member
    (stored and deflated only, nothing encrypted), ozip extracts every member byte-identically
    to them, under the name the engine's decoding rules give (UTF-8 with flag bit 11, else the
    OEM code page: 437 natively, the system's under Wine), except that names leading out of
    the target folder (and, on Windows, names Windows cannot hold) fail their member and end
    the walk;
  * every generated archive extracts to exactly the tree it was made from, with UnZip too.

Run by ctest with ORVO_RUN, ORVO_BIN_DIR, ORVO_EXE_SUFFIX, ORVO_TESTDATA_DIR and ORVO_TARGET
set (cmake/OrvoTesting.cmake); by hand, e.g.
    ORVO_BIN_DIR=build/native/bin ORVO_TESTDATA_DIR=../shared/testdata \\
        tests/unzip/conformance/check_corpus.py [--only NAME] [--keep] [-j N]
Prints one line per archive and ends with "N passed, M failed"; exits 1 when M > 0."""

import argparse
import concurrent.futures
import hashlib
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile
from collections import namedtuple

# The helper module sits beside this script; no bytecode cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import generated_archives  # noqa: E402
import wine_paths  # noqa: E402

RUN_TIMEOUT = 60          # seconds for one ozip or unzip run; longer counts as a hang
NOT_ARCHIVE_FILES = {"README.md", "MANIFEST.tsv"}
OUTCOME_PREFIX = {0: "ok:", 1: "failed:", 2: "not accepted:"}
WINDOWS_DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}
WINDOWS_BAD_CHARS = set('<>"|?*') | {chr(c) for c in range(1, 32)}
S_IFLNK = 0o120000
# Nesting of the target folder inside each case folder: a member that climbs out of the
# target with `..` lands in one of these and is found there.
NEST = ("d1", "d2", "d3")


class Config:
    def __init__(self, args):
        env = os.environ
        self.target = env.get("ORVO_TARGET", "native")
        self.windows = self.target == "windows"
        suffix = env.get("ORVO_EXE_SUFFIX", ".exe" if self.windows else "")
        bin_dir = args.bin_dir or env.get("ORVO_BIN_DIR", "")
        if not bin_dir:
            here = os.path.dirname(os.path.abspath(__file__))
            bin_dir = os.path.join(here, "..", "..", "..", "build", self.target, "bin")
        self.ozip = os.path.abspath(os.path.join(bin_dir, "ozip" + suffix))
        # The scratch folder lies in the build tree, where ozip.exe reaches it under Wine.
        self.build_dir = env.get("ORVO_BUILD_DIR") or os.path.dirname(os.path.abspath(bin_dir))
        run = env.get("ORVO_RUN", "")
        if not run and self.windows:
            run = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                               "..", "..", "..", "scripts", "wine-run")
        # CMake passes a list with ';' between its items.
        if not run:
            self.run = []
        elif os.path.exists(run):
            self.run = [run]
        else:
            self.run = [item for part in run.split(";") for item in shlex.split(part)]
        testdata = args.testdata or env.get("ORVO_TESTDATA_DIR", "")
        self.corpus = os.path.join(testdata, "zip", "conformance") if testdata else ""
        # The code page of names without flag bit 11: the engine's native default is 437;
        # under the test Wine prefix (Czech locale) the system OEM code page is 852.
        self.oem = env.get("ORVO_OEM_CODEPAGE", "cp852" if self.windows else "cp437")
        cache = env.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
        self.wine_prefix = env.get("ORVO_WINEPREFIX") or os.path.join(
            env.get("ORVO_CACHE") or os.path.join(cache, "orvo"), "wineprefix")
        self.keep = args.keep
        self.jobs = args.jobs
        self.only = args.only
        self.full = args.full

    def program_path(self, host_path):
        """The path under which ozip sees a host file: under Wine, on one of the prefix's
        drives."""
        if not self.windows:
            return host_path
        return wine_paths.windows_path(host_path)


class Run:
    def __init__(self, rc, out, err, timed_out, seconds):
        self.rc, self.out, self.err, self.timed_out, self.seconds = rc, out, err, timed_out, seconds
        # ozip.exe writes its lines in text mode: CR LF under Wine.
        text = out.decode("utf-8", "replace").replace("\r\n", "\n")
        lines = text.rstrip("\n").split("\n") if text.strip() else []
        self.last = lines[-1] if lines else ""
        self.member_starts = len(re.findall(rb"^report -?\d+ StatusMemberStart ", out, re.M))


def run_command(cmd, cwd, timeout=None, stdin=subprocess.DEVNULL):
    timeout = timeout or RUN_TIMEOUT
    start = time.monotonic()
    # A session of its own, so that a hang can be ended with everything it started.
    p = subprocess.Popen(cmd, cwd=cwd, stdin=stdin, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, start_new_session=True)
    try:
        out, err = p.communicate(timeout=timeout)
        timed_out = False
    except subprocess.TimeoutExpired:
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        out, err = p.communicate()
        timed_out = True
    return Run(p.returncode, out, err, timed_out, time.monotonic() - start)


def run_ozip(cfg, args, cwd):
    return run_command(cfg.run + [cfg.ozip] + args, cwd)


def digest(data):
    return hashlib.sha256(data).hexdigest()


# --- names ----------------------------------------------------------------------------------

def raw_names(data):
    """Names of every central and local header found by scanning the bytes, damaged or not:
    the places a traversing name could lead to are checked for all of them."""
    names = set()
    for signature, length_at, fixed in ((b"PK\x01\x02", 28, 46), (b"PK\x03\x04", 26, 30)):
        at = data.find(signature)
        while at >= 0:
            if at + fixed <= len(data):
                n = int.from_bytes(data[at + length_at:at + length_at + 2], "little")
                names.add(data[at + fixed:at + fixed + n])
            at = data.find(signature, at + 4)
    return names


def escape_targets(cfg, case_dir, out_dir, names):
    """Host paths where a member name that leaves the target folder (`..` parts, a rooted or
    drive-qualified name) would put a file; checked before and after each run."""
    paths = set()
    ancestors = []
    d = out_dir
    while True:
        d = os.path.dirname(d)
        ancestors.append(d)
        if d == os.path.dirname(d):
            break
    roots = list(ancestors)
    # Under Wine a rooted name starts at the root of a drive: C: or one of the host's.
    drive_roots = []
    if cfg.windows:
        drive_roots = [os.path.join(cfg.wine_prefix, "drive_c")]
        drive_roots += [folder for _, folder in wine_paths.drives()]
        roots += drive_roots
    for raw in names:
        raw = raw.split(b"\0")[0]
        parts = [p for p in re.split(rb"[/\\]", raw) if p]
        leaves = (raw[:1] in (b"/", b"\\") or raw[1:2] == b":" or b".." in parts)
        if not leaves or not parts:
            continue
        texts = {raw.decode("utf-8", "replace"), raw.decode("cp437"), raw.decode(cfg.oem)}
        for text in texts:
            pieces = [p for p in re.split(r"[/\\]", text) if p not in ("", ".")]
            if len(text) >= 2 and text[1] == ":":
                pieces = [p for p in re.split(r"[/\\]", text[2:]) if p not in ("", ".")]
            leaf = pieces[-1] if pieces else ""
            if leaf and leaf != "..":
                for root in roots:
                    paths.add(os.path.join(root, leaf))
            # The path the name spells out, taken from the target folder and from the root.
            relative = "/".join(pieces)
            paths.add(os.path.normpath(os.path.join(out_dir, relative)))
            paths.add(os.path.normpath("/" + relative))
            for root in drive_roots:
                paths.add(os.path.normpath(os.path.join(root, relative)))
    # Inside the case folder the structural check already covers everything.
    return {p for p in paths if not (p + "/").startswith(case_dir + "/")}


def snapshot(paths):
    """What is at each watched path: a file made or rewritten there shows as a change."""
    state = {}
    for p in paths:
        try:
            st = os.lstat(p)
            state[p] = (st.st_ino, st.st_size, st.st_mtime_ns, st.st_ctime_ns)
        except OSError:
            pass
    return state


def changed(before, paths):
    after = snapshot(paths)
    return sorted(p for p in after if before.get(p) != after[p])


def decoded_name(cfg, raw, utf8):
    """The member name as the engine decodes it: UTF-8 with flag bit 11 or for plain ASCII,
    else the OEM code page."""
    ascii_only = all(b < 0x80 for b in raw)
    if cfg.windows:
        return raw.decode("utf-8", "replace") if utf8 or ascii_only else raw.decode(cfg.oem)
    # Natively the bytes become the file name unchanged when no conversion applies.
    return raw.decode("utf-8", "surrogateescape") if utf8 or ascii_only else raw.decode("cp437")


def is_windows_device(part):
    base = part.split(".")[0].rstrip(" ").upper()
    if base in WINDOWS_DEVICES:
        return True
    return len(base) == 4 and base[:3] in ("COM", "LPT") and base[3] in "123456789"


def plan_name(cfg, name):
    """(path parts, is a folder, reason it cannot be extracted or None)."""
    folder = name.endswith(("/", "\\"))
    if name[:1] in ("/", "\\"):
        return [], folder, "rooted name"
    if name.encode("utf-8", "surrogateescape")[1:2] == b":":
        return [], folder, "drive-qualified name"
    parts = []
    for part in re.split(r"[/\\]", name):
        if part in ("", "."):
            continue
        if part == "..":
            return [], folder, "'..' part"
        if cfg.windows:
            if ":" in part:
                return [], folder, "':' in a part (drive or stream)"
            if is_windows_device(part):
                return [], folder, "Windows device name"
            if any(c in WINDOWS_BAD_CHARS for c in part):
                return [], folder, "character Windows file names cannot hold"
            # Windows drops trailing dots and blanks of every part.
            part = part.rstrip(". ")
            if not part:
                return [], folder, "part made of dots and blanks"
        parts.append(part)
    if not parts:
        folder = True  # the target folder itself
    return parts, folder, None


def tree_key(cfg, parts):
    key = "/".join(parts)
    # Windows finds an existing file or folder whatever the case of the name asked for.
    return key.upper() if cfg.windows else key


def read_tree(cfg, root):
    """{key: bytes} for files, {key} for folders, [problems] of what is on disk under root."""
    files, folders, problems = {}, set(), []
    if not os.path.isdir(root):
        return files, folders, problems
    broot = os.fsencode(root)
    for dirpath, dirnames, filenames in os.walk(broot):
        rel = os.path.relpath(dirpath, broot)
        base = [] if rel == b"." else [p.decode("utf-8", "surrogateescape") for p in rel.split(b"/")]
        for n in list(dirnames):
            full = os.path.join(dirpath, n)
            key = tree_key(cfg, base + [n.decode("utf-8", "surrogateescape")])
            if os.path.islink(full):
                problems.append(f"symbolic link created: {full!r}")
                dirnames.remove(n)
                continue
            folders.add(key)
        for n in filenames:
            full = os.path.join(dirpath, n)
            key = tree_key(cfg, base + [n.decode("utf-8", "surrogateescape")])
            if os.path.islink(full):
                problems.append(f"symbolic link created: {full!r}")
                continue
            if key in files:
                problems.append(f"two files under one name: {key!r}")
            with open(full, "rb") as f:
                files[key] = f.read()
    return files, folders, problems


def compare_tree(cfg, root, expected_files, expected_folders):
    """Differences between what is under root and the expected files and folders."""
    files, folders, problems = read_tree(cfg, root)
    for key, data in expected_files.items():
        if key not in files:
            problems.append(f"missing file {key!r}")
        elif files[key] != data:
            got = files[key]
            at = next((i for i in range(min(len(got), len(data))) if got[i] != data[i]),
                      min(len(got), len(data)))
            problems.append(f"{key!r}: {len(got)} bytes, expected {len(data)}; first difference "
                            f"at offset {at}")
    for key in files:
        if key not in expected_files:
            problems.append(f"unexpected file {key!r}")
    for key in expected_folders:
        if key not in folders:
            problems.append(f"missing folder {key!r}")
    for key in folders:
        if key not in expected_folders:
            problems.append(f"unexpected folder {key!r}")
    return problems


def expected_tree(cfg, members):
    """Files and folders the given (parts, is folder, data) produce, later members winning."""
    files, folders = {}, set()
    for parts, folder, data in members:
        for i in range(1, len(parts) + (1 if folder else 0)):
            folders.add(tree_key(cfg, parts[:i]))
        if folder:
            continue
        files[tree_key(cfg, parts)] = data
    return files, folders


# --- one case -------------------------------------------------------------------------------

class Case:
    """One archive's runs and findings."""

    def __init__(self, label, path):
        self.label, self.path = label, path
        self.problems = []
        self.notes = []
        self.summary = ""

    def fail(self, text):
        if text not in self.problems:
            self.problems.append(text)


def make_case_dirs(scratch, index):
    case_dir = os.path.join(scratch, f"c{index:04d}")
    parent = os.path.join(case_dir, *NEST)
    os.makedirs(parent)
    return case_dir, parent, os.path.join(parent, "out")


def check_case_dir(case, case_dir, out_dir):
    """Everything under the case folder must be the nesting folders or inside out/."""
    nest_dirs = {os.path.join(case_dir, *NEST[:i]) for i in range(1, len(NEST) + 1)}
    for dirpath, dirnames, filenames in os.walk(case_dir):
        if dirpath == out_dir or dirpath.startswith(out_dir + os.sep):
            continue
        for n in dirnames + filenames:
            full = os.path.join(dirpath, n)
            if full not in nest_dirs and full != out_dir:
                case.fail(f"written outside the target folder: {full}")
        dirnames[:] = [n for n in dirnames if os.path.join(dirpath, n) != out_dir]


def describe(run):
    if run.timed_out:
        return f"hung (killed after {RUN_TIMEOUT} s)"
    return f"exit {run.rc}, '{run.last[:160]}'"


def check_clear_outcome(case, what, run):
    if run.timed_out:
        case.fail(f"{what}: no result within {RUN_TIMEOUT} s (hang)")
        return False
    if run.rc not in OUTCOME_PREFIX:
        err = run.err.decode("utf-8", "replace").strip()[-300:]
        case.fail(f"{what}: crashed or unexpected exit status {run.rc} "
                  f"(stderr: {err!r}, last line {run.last[:160]!r})")
        return False
    if not run.last.startswith(OUTCOME_PREFIX[run.rc]):
        case.fail(f"{what}: exit {run.rc} but the last line does not start with "
                  f"'{OUTCOME_PREFIX[run.rc]}': {run.last[:200]!r}")
    return True


def file_creation_refused(run):
    """An extraction failure that a test run cannot meet: the file system refused the file."""
    return run.rc == 1 and ("(the output file cannot be created)" in run.last or
                            "(the folder cannot be created)" in run.last)


def run_both(cfg, case, scratch, index, archive_names):
    """Runs `ozip x --report` and `ozip t`, with the safety and consistency checks every
    archive gets. Returns (x run or None when it is unusable, target folder, case folder)."""
    case_dir, parent, out_dir = make_case_dirs(scratch, index)
    watch = escape_targets(cfg, case_dir, out_dir, archive_names)
    before = snapshot(watch)
    archive = cfg.program_path(case.path)
    x = run_ozip(cfg, ["x", "--report", archive, cfg.program_path(out_dir)], parent)
    usable = check_clear_outcome(case, "ozip x", x)
    check_case_dir(case, case_dir, out_dir)
    for p in changed(before, watch):
        case.fail(f"written outside the target folder: {p}")
    _, _, problems = read_tree(cfg, out_dir)
    for p in problems:
        if p.startswith("symbolic link"):
            case.fail(p)

    t = run_ozip(cfg, ["t", archive], parent)
    if check_clear_outcome(case, "ozip t", t) and usable and t.rc != x.rc:
        if file_creation_refused(x):
            case.notes.append(f"t exit {t.rc}: only extraction meets the file system's refusal")
        else:
            case.fail(f"ozip t exits {t.rc} ('{t.last[:160]}') but ozip x exits {x.rc} "
                      f"('{x.last[:160]}')")
    check_case_dir(case, case_dir, out_dir)
    for p in changed(before, watch):
        case.fail(f"written outside the target folder: {p}")
    case.summary = f"x {describe(x)} in {x.seconds:.1f} s"
    return (x if usable else None), out_dir, case_dir


def unzip_oracle(cfg, case, scratch_dir, path):
    """Runs Info-ZIP UnZip into a folder of its own; returns (exit status, folder)."""
    folder = os.path.join(scratch_dir, "unzip-out")
    r = run_command(["unzip", "-o", "-qq", "-d", folder, path], scratch_dir)
    if r.timed_out:
        case.notes.append("unzip hung")
        return None, folder
    return r.rc, folder


def unzip_contents(folder):
    """Digests of every file UnZip wrote, symbolic links by their link text."""
    out = set()
    for dirpath, dirnames, filenames in os.walk(os.fsencode(folder)):
        for n in dirnames + filenames:
            full = os.path.join(dirpath, n)
            if os.path.islink(full):
                out.add(digest(os.readlink(full)))
            elif os.path.isfile(full):
                with open(full, "rb") as f:
                    out.add(digest(f.read()))
    return out


def uses_zip64(data, infos):
    end = data.rfind(b"PK\x05\x06")
    if end >= 20 and data[end - 20:end - 16] == b"PK\x06\x07":
        return True
    if end >= 0 and len(data) >= end + 22:
        fields = data[end + 4:end + 20]
        if b"\xff\xff\xff\xff" in fields[8:16] or fields[4:8] == b"\xff\xff\xff\xff":
            return True
    for info in infos:
        extra, at = info.extra, 0
        while at + 4 <= len(extra):
            tag = int.from_bytes(extra[at:at + 2], "little")
            size = int.from_bytes(extra[at + 2:at + 4], "little")
            if tag == 0x0001:
                return True
            at += 4 + size
    return False


# A member as Python's zipfile reads it: the raw name (cut at a NUL, as the engine cuts it), the
# name the engine decodes from it, whether the engine takes it for a folder, the data (None for
# a folder; the link text for a symbolic link, which the engine writes as a plain file), and
# zipfile's entry.
Member = namedtuple("Member", "raw name folder data info link")


def oracle_members(cfg, path):
    """([Member], uses Zip64) when the archive qualifies for the byte-for-byte comparison (all
    members stored or deflated, none encrypted, all readable by zipfile); else (None, reason)."""
    try:
        with zipfile.ZipFile(path) as zf:
            infos = zf.infolist()
            for info in infos:
                if info.compress_type not in (0, 8):
                    return None, f"method {info.compress_type}"
                if info.flag_bits & 1:
                    return None, "encrypted member"
            members = []
            for info in infos:
                utf8 = bool(info.flag_bits & 0x800)
                raw = info.orig_filename.encode("utf-8" if utf8 else "cp437").split(b"\0")[0]
                name = decoded_name(cfg, raw, utf8)
                folder = name.endswith(("/", "\\"))
                data = None if folder else zf.read(info)
                link = info.create_system == 3 and (info.external_attr >> 16) & 0o170000 == S_IFLNK
                members.append(Member(raw, name, folder, data, info, link))
    except Exception as e:  # zipfile's refusal of a damaged archive takes many forms
        return None, f"zipfile cannot read it ({type(e).__name__}: {str(e)[:80]})"
    with open(path, "rb") as f:
        zip64 = uses_zip64(f.read(), infos)
    return members, zip64


def check_oracle(cfg, case, x, out_dir, members, zip64, unzip_folder):
    # The two oracles must agree before they can judge: every member zipfile reads that is not
    # replaced by a later one of the same name is among UnZip's files, and UnZip wrote nothing
    # zipfile does not know.
    theirs = unzip_contents(unzip_folder)
    last_of_name = {m.info.filename: i for i, m in enumerate(members)}
    all_digests = {digest(m.data) for m in members if m.data is not None and not m.info.is_dir()}
    final = {digest(members[i].data) for i in last_of_name.values()
             if members[i].data is not None and not members[i].info.is_dir()}
    if not final <= theirs or not theirs <= all_digests:
        case.fail("UnZip and zipfile disagree about the contents; cannot judge "
                  f"({len(final - theirs)} zipfile members not in UnZip's output, "
                  f"{len(theirs - all_digests)} UnZip files unknown to zipfile)")
        return

    plans = []
    stop = len(members)
    for i, m in enumerate(members):
        parts, is_folder, reason = plan_name(cfg, m.name)
        if reason and stop == len(members):
            stop = i
            case.notes.append(f"member {i + 1} {m.name!r} must fail: {reason}")
        plans.append((parts, is_folder or m.folder, m.data))

    expect_rc = 0 if stop == len(members) else 1
    walked = stop
    if x.rc != expect_rc:
        case.fail(f"ozip x exits {x.rc}, expected {expect_rc} "
                  f"(UnZip and zipfile read all {len(members)} members): {x.last[:200]!r}")
        return
    elif expect_rc == 0:
        want = f"ok: {len(members)} members extracted"
        if x.last != want:
            case.fail(f"last line {x.last[:160]!r}, expected {want!r}")
    else:
        if x.member_starts != stop + 1:
            case.fail(f"the walk started {x.member_starts} members, expected {stop + 1} "
                      f"(up to the refused member {stop + 1})")
        if "outside the target folder" not in x.last and "cannot be created" not in x.last:
            case.notes.append(f"refusal reads {x.last[:120]!r}")

    files, folders = expected_tree(cfg, plans[:walked])
    for p in compare_tree(cfg, out_dir, files, folders):
        case.fail(p)
    if not case.problems:
        links = sum(1 for m in members[:walked] if m.link)
        case.summary += (f"; {walked} of {len(members)} members identical to UnZip and zipfile"
                         + (f" ({links} symbolic links as their link text)" if links else "")
                         + (" (Zip64)" if zip64 else ""))


def refused_by_design(path, data):
    """Why the engine declines the archive before reading it, or None. The installer only takes
    plain archives: the path needs a '.' and must not hold '.exe' anywhere, and the file must
    begin with a local header (self-extracting and other prefixed archives are not archives
    to it)."""
    if "." not in path:
        return "no '.' in the path"
    if ".exe" in path:
        return "the path holds '.exe'"
    if not data.startswith(b"PK\x03\x04"):
        return "the file does not begin with a local header"
    return None


def check_corpus_archive(cfg, scratch, index, path):
    case = Case("corpus/" + os.path.basename(path), path)
    with open(path, "rb") as f:
        data = f.read()
    x, out_dir, case_dir = run_both(cfg, case, scratch, index, raw_names(data))
    if x is None:
        return case
    refusal = refused_by_design(path, data)
    if refusal:
        if x.rc != 2:
            case.fail(f"expected 'not accepted' ({refusal}), got exit {x.rc}: {x.last[:160]!r}")
        case.summary += f"; not accepted by design: {refusal}"
        return case
    members, zip64_or_reason = oracle_members(cfg, path)
    if members is None:
        case.summary += f"; no oracle comparison: {zip64_or_reason}"
        return case
    rc, unzip_folder = unzip_oracle(cfg, case, case_dir, path)
    if rc != 0:
        case.summary += f"; no oracle comparison: UnZip exits {rc}"
        return case
    check_oracle(cfg, case, x, out_dir, members, zip64_or_reason, unzip_folder)
    return case


def check_generated_archive(cfg, scratch, index, made):
    case = Case("generated/" + made.name, made.path)
    with open(made.path, "rb") as f:
        data = f.read()
    x, out_dir, case_dir = run_both(cfg, case, scratch, index, raw_names(data))
    expected_files, expected_folders = {}, set()
    for rel, content in made.expected.items():
        parts = rel.split("/")
        if content is None:
            expected_folders.add(tree_key(cfg, parts))
        else:
            expected_files[tree_key(cfg, parts)] = content
        for i in range(1, len(parts)):
            expected_folders.add(tree_key(cfg, parts[:i]))

    rc, unzip_folder = unzip_oracle(cfg, case, case_dir, made.path)
    if rc != 0:
        case.fail(f"UnZip exits {rc} on an archive written by a correct writer")
    else:
        for p in compare_tree(cfg, unzip_folder, expected_files, expected_folders):
            case.fail("UnZip: " + p)
    if x is None:
        return case
    if x.rc != 0:
        case.fail(f"ozip x exits {x.rc}: {x.last[:200]!r}")
    else:
        count = len(zipfile.ZipFile(made.path).infolist())
        want = f"ok: {count} members extracted"
        if x.last != want:
            case.fail(f"last line {x.last[:160]!r}, expected {want!r}")
        for p in compare_tree(cfg, out_dir, expected_files, expected_folders):
            case.fail(p)
    if not case.problems:
        case.summary += f"; identical to the source tree ({made.note})"
    return case


# --- main -----------------------------------------------------------------------------------

def corpus_archives(cfg):
    names = sorted(n for n in os.listdir(cfg.corpus)
                   if n not in NOT_ARCHIVE_FILES and os.path.isfile(os.path.join(cfg.corpus, n)))
    return [os.path.join(cfg.corpus, n) for n in names]


def main():
    global RUN_TIMEOUT
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", help="check only archives whose name contains this")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    parser.add_argument("-j", "--jobs", type=int, default=min(4, os.cpu_count() or 1))
    parser.add_argument("--bin-dir", help="folder holding ozip (default: ORVO_BIN_DIR)")
    parser.add_argument("--testdata", help="shared test data folder (default: ORVO_TESTDATA_DIR)")
    parser.add_argument("--quick", dest="full", action="store_false",
                        help="fewer generated variants (every level is the default)")
    parser.add_argument("--timeout", type=float, default=RUN_TIMEOUT,
                        help=f"seconds one ozip or unzip run may take (default {RUN_TIMEOUT})")
    args = parser.parse_args()
    RUN_TIMEOUT = args.timeout
    cfg = Config(args)

    started = time.monotonic()
    if not os.path.isfile(cfg.ozip):
        print(f"ozip not found at {cfg.ozip}")
        print("0 passed, 1 failed")
        return 1
    if not shutil.which("unzip"):
        # Zip and 7-Zip only write archives (a missing one fails its own line below); UnZip
        # is the judge of every comparison.
        print("unzip is not installed: it is the oracle here (scripts/bootstrap installs it)")
        print("0 passed, 1 failed")
        return 1

    scratch = tempfile.mkdtemp(prefix="ozip-conformance-", dir=wine_paths.scratch(cfg.build_dir))
    if ".exe" in scratch:
        # The engine refuses archive paths holding ".exe": that would test the folder name.
        print(f"scratch folder {scratch} contains '.exe'; use a build folder without it")
        print("0 passed, 1 failed")
        return 1
    print(f"ozip: {cfg.ozip} ({cfg.target}{', via ' + ' '.join(cfg.run) if cfg.run else ''}); "
          f"names without flag bit 11 decoded as {cfg.oem}; scratch {scratch}")
    # The first Wine start may have to make the prefix: not a hang of ozip, so it gets its own
    # run (ozip without arguments shows its usage) and a generous limit.
    warm = run_command(cfg.run + [cfg.ozip], scratch, timeout=max(600, RUN_TIMEOUT))
    if warm.timed_out or warm.rc not in OUTCOME_PREFIX:
        print(f"ozip does not start: {describe(warm)}; stderr "
              f"{warm.err.decode('utf-8', 'replace').strip()[-300:]!r}")
        shutil.rmtree(scratch, ignore_errors=True)
        print("0 passed, 1 failed")
        return 1

    jobs = []  # (kind, argument) in printing order
    if not cfg.corpus or not os.path.isdir(cfg.corpus):
        print(f"corpus folder {cfg.corpus or '(ORVO_TESTDATA_DIR not set)'} is absent: "
              "corpus checks skipped")
    else:
        jobs += [("corpus", p) for p in corpus_archives(cfg)]

    generation_failures = []
    work = os.path.join(scratch, "generated")
    os.makedirs(work)
    contents = generated_archives.source_tree_contents()
    tree_root = os.path.join(work, "tree")
    generated_archives.write_tree(tree_root, contents)
    archive_dir = os.path.join(work, "archives")
    os.makedirs(archive_dir)
    builders = [
        ("Info-ZIP Zip", lambda: generated_archives.infozip_archives(archive_dir, tree_root,
                                                                      contents, cfg.full)),
        ("7-Zip", lambda: generated_archives.sevenzip_archives(archive_dir, tree_root,
                                                               contents, cfg.full)),
        ("Python zipfile", lambda: generated_archives.python_archives(archive_dir, contents,
                                                                      cfg.full)),
        ("hand-made deflate", lambda: generated_archives.stored_block_archives(archive_dir,
                                                                               contents)),
    ]
    for label, build in builders:
        try:
            jobs += [("generated", made) for made in build()]
        except Exception as e:  # GenerationError, or a writer's own failure
            generation_failures.append(f"FAIL generated ({label}): {type(e).__name__}: {e}")

    if cfg.only:
        jobs = [(k, a) for k, a in jobs
                if cfg.only in (os.path.basename(a) if k == "corpus" else a.name)]

    def work_on(item):
        index, (kind, argument) = item
        try:
            if kind == "corpus":
                return check_corpus_archive(cfg, scratch, index, argument)
            return check_generated_archive(cfg, scratch, index, argument)
        except Exception as e:  # a fault in this script must show, not end the run
            label = os.path.basename(argument) if kind == "corpus" else argument.name
            case = Case(f"{kind}/{label}", "")
            case.fail(f"checker error: {type(e).__name__}: {e}")
            return case

    passed = failed = 0
    for line in generation_failures:
        print(line)
        failed += 1
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, cfg.jobs)) as pool:
        for case in pool.map(work_on, enumerate(jobs)):
            if case.problems:
                failed += 1
                print(f"FAIL {case.label}: {case.summary}")
                for p in case.problems:
                    print(f"       - {p}")
            else:
                passed += 1
                print(f"ok   {case.label}: {case.summary}")
            for n in case.notes:
                print(f"       note: {n}")
            sys.stdout.flush()

    # Every case has a folder of its own; anything else beside them came from a member that
    # climbed further than the names of its own archive suggested.
    for n in sorted(os.listdir(scratch)):
        if n != "generated" and not re.fullmatch(r"c\d{4}", n):
            print(f"FAIL scratch folder: written outside every target folder: "
                  f"{os.path.join(scratch, n)}")
            failed += 1
    if cfg.keep or failed:
        print(f"scratch folder kept: {scratch}" if cfg.keep else
              f"scratch folder removed (use --keep to look at the outputs)")
    if not cfg.keep:
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"run took {time.monotonic() - started:.1f} s")
    if not jobs and not generation_failures:
        print("skipped")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
