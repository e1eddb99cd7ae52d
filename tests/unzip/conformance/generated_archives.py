"""Archives made at test time by independent writers, each with the tree it must extract to.

Every builder returns a list of GeneratedArchive: the archive's path and the expected output
as {relative path: bytes for a file, None for a folder}. Nothing here depends on ozip; the
writers are Info-ZIP Zip, 7-Zip and Python's zipfile, plus a few deflate streams put into a
ZIP by hand so that their block layout is known (stored blocks, flushes)."""

import io
import os
import random
import struct
import subprocess
import zipfile
import zlib
from dataclasses import dataclass

DATE = (2024, 1, 2, 3, 4, 6)
# Any writer that needs longer than this is broken, not slow.
TOOL_TIMEOUT = 120


@dataclass
class GeneratedArchive:
    name: str       # short label, also the archive's file name
    path: str       # where it was written
    expected: dict  # relative path ('/'-separated) -> bytes, or None for a folder
    note: str = ""  # what it exercises


class GenerationError(Exception):
    """A writer failed or wrote something other than what was asked for."""


def _words(rng, n):
    vocabulary = ("orvo setup archive member folder deflate stored window length distance "
                  "literal block huffman code tree ratio extract install product readme "
                  "license payload shortcut registry value").split()
    return " ".join(rng.choice(vocabulary) for _ in range(n))


def source_tree_contents():
    """The input tree for the tool-made archives: text and binary files of sizes around and
    well beyond the 32 KiB window, empty files and empty folders."""
    rng = random.Random(20240102)
    text = "\n".join(_words(rng, rng.randint(3, 18)) for _ in range(8000)).encode()
    mixed = bytearray()
    while len(mixed) < 100_000:
        if rng.random() < 0.5:
            mixed += rng.randbytes(rng.randint(1, 400))
        else:
            start = max(0, len(mixed) - rng.randint(1, 32768))
            chunk = bytes(mixed[start:start + rng.randint(3, 600)]) or b"seed"
            mixed += chunk
    return {
        "empty.txt": b"",
        "one.txt": b"x",
        "text.txt": text,
        "random.bin": rng.randbytes(70_000),
        "zeros.bin": bytes(300_000),
        "emptydir": None,
        "sub": None,
        "sub/small.txt": b"hello, world\n",
        "sub/deeper": None,
        "sub/deeper/mixed.bin": bytes(mixed),
        "sub/deeper/empty.dat": b"",
        "sub/deeper/emptydir2": None,
    }


def write_tree(root, contents):
    os.makedirs(root)
    stamp = 1704164646  # 2024-01-02 03:04:06 UTC: fixed dates keep the archives alike
    for rel in sorted(contents):
        path = os.path.join(root, rel)
        if contents[rel] is None:
            os.makedirs(path, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(contents[rel])
    for dirpath, dirnames, filenames in os.walk(root, topdown=False):
        for n in filenames + dirnames:
            os.utime(os.path.join(dirpath, n), (stamp, stamp))


def _tool(cmd, cwd, stdin=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, input=stdin, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=TOOL_TIMEOUT)
    except FileNotFoundError:
        raise GenerationError(f"{cmd[0]} is not installed (scripts/bootstrap installs it)")
    except subprocess.TimeoutExpired:
        raise GenerationError(f"{' '.join(cmd)} did not finish in {TOOL_TIMEOUT} s")
    if p.returncode != 0:
        raise GenerationError(f"{' '.join(cmd)} exited with {p.returncode}: "
                              f"{p.stderr.decode(errors='replace').strip()[:300]}")
    return p.stdout


# --- Info-ZIP Zip -------------------------------------------------------------------------

def infozip_archives(out_dir, tree_root, contents, full=True):
    top = sorted(os.listdir(tree_root))
    made = []
    levels = range(10) if full else (0, 6, 9)
    for level in levels:
        path = os.path.join(out_dir, f"infozip-L{level}.zip")
        _tool(["zip", "-r", "-q", f"-{level}", path] + top, tree_root)
        made.append(GeneratedArchive(os.path.basename(path), path, contents,
                                     f"zip -r -{level}"))
    variants = [("infozip-fd.zip", ["-fd"], "zip -fd: data descriptors on a seekable file"),
                ("infozip-fz.zip", ["-fz"], "zip -fz: Zip64 forced (end record, extra fields)")]
    if full:
        variants.append(("infozip-fz-.zip", ["-fz-"], "zip -fz-: Zip64 never forced"))
    for name, options, note in variants:
        path = os.path.join(out_dir, name)
        _tool(["zip", "-r", "-q"] + options + [path] + top, tree_root)
        made.append(GeneratedArchive(name, path, contents, note))

    # Writing to a pipe leaves Zip no way back to the local headers: it streams, with
    # signed data descriptors after every member.
    path = os.path.join(out_dir, "infozip-stdout.zip")
    data = _tool(["zip", "-r", "-q", "-"] + top, tree_root)
    with open(path, "wb") as f:
        f.write(data)
    made.append(GeneratedArchive("infozip-stdout.zip", path, contents,
                                 "zip - (archive to a pipe: streamed, descriptors)"))

    # Input from stdin as well: the member is named "-".
    path = os.path.join(out_dir, "infozip-stdin.zip")
    payload = contents["text.txt"][:90_000] + contents["sub/deeper/mixed.bin"][:20_000]
    data = _tool(["zip", "-q", "-", "-"], tree_root, stdin=payload)
    with open(path, "wb") as f:
        f.write(data)
    made.append(GeneratedArchive("infozip-stdin.zip", path, {"-": payload},
                                 "zip - - (stdin to a pipe)"))

    # Zip64 forced on input from stdin into a file. (Zip 3.0 with -fz into a pipe, or with -fd,
    # writes archives UnZip itself refuses: a marked directory offset without a Zip64 end
    # record, or overlapping members.)
    path = os.path.join(out_dir, "infozip-fz-stdin.zip")
    _tool(["zip", "-q", "-fz", path, "-"], tree_root, stdin=payload)
    made.append(GeneratedArchive("infozip-fz-stdin.zip", path, {"-": payload},
                                 "zip -fz file - (stdin, Zip64 forced)"))
    return made


# --- 7-Zip ---------------------------------------------------------------------------------

def sevenzip_archives(out_dir, tree_root, contents, full=True):
    made = []
    variants = [("7z-mx0.zip", ["-mx=0"]), ("7z-mx1.zip", ["-mx=1"]), ("7z-mx5.zip", ["-mx=5"]),
                ("7z-mx9.zip", ["-mx=9"]), ("7z-deflate.zip", ["-mm=Deflate", "-mx=7"])]
    if not full:
        variants = [variants[0], variants[3], variants[4]]
    for name, options in variants:
        path = os.path.join(out_dir, name)
        _tool(["7zz", "a", "-tzip", "-bso0", "-bsp0"] + options + [path, "."], tree_root)
        made.append(GeneratedArchive(name, path, contents, "7zz a -tzip " + " ".join(options)))

    # 7-Zip has no switch that forces Zip64; input of unknown size (stdin) gets local headers
    # whose sizes are in Zip64 fields. Only members beyond 4 GiB bring the other Zip64 records.
    payload = contents["text.txt"] + contents["random.bin"]
    for level in (("0", "1") if full else ("1",)):
        name = f"7z-stdin-mx{level}.zip"
        path = os.path.join(out_dir, name)
        _tool(["7zz", "a", "-tzip", "-bso0", "-bsp0", f"-mx={level}", "-sistdin.bin", path],
              tree_root, stdin=payload)
        made.append(GeneratedArchive(name, path, {"stdin.bin": payload},
                                     f"7zz a -tzip -mx={level} -si (Zip64 sizes in local headers)"))
    return made


# --- Python's zipfile ----------------------------------------------------------------------

def _info(name, method, comment=b""):
    zi = zipfile.ZipInfo(name, date_time=DATE)
    zi.compress_type = method
    zi.create_system = 3
    zi.external_attr = ((0o40755 << 16) | 0x10) if name.endswith("/") else (0o100644 << 16)
    zi.comment = comment
    return zi


def _entries_for(contents):
    """(name, data) pairs in zipfile's terms: folders end with '/' and come before their files."""
    out = []
    for rel in sorted(contents):
        if contents[rel] is None:
            out.append((rel + "/", b""))
        else:
            out.append((rel, contents[rel]))
    return out


def _write_python_zip(path, contents, method, level=None, comment=b"", member_comment=b""):
    with zipfile.ZipFile(path, "w") as zf:
        for name, data in _entries_for(contents):
            zi = _info(name, method if not name.endswith("/") else zipfile.ZIP_STORED,
                       member_comment if name == "text.txt" else b"")
            zf.writestr(zi, data, compresslevel=level)
        zf.comment = comment


def _central_directory_length(path):
    """Bytes from the first central header to the end record's signature included, which is
    what a reader that loads the directory with the signature sees."""
    with open(path, "rb") as f:
        data = f.read()
    end = data.rfind(b"PK\x05\x06")
    size, offset = struct.unpack_from("<II", data, end + 12)
    if offset + size != end:
        raise GenerationError(f"{path}: directory of {size} bytes at {offset} does not reach "
                              f"the end record at {end}")
    return size + 4


def _directory_sized(path, total):
    """An archive whose directory, with the end record's signature, is exactly `total` bytes:
    every central header is 46 bytes plus its name (zipfile writes no extra field or comment
    for small members), so the names are padded to add up."""
    count = 900
    name_bytes = total - 4 - 46 * count
    base, extra = divmod(name_bytes, count)
    contents = {}
    for i in range(count):
        stem = f"cd/n{i:04d}-"
        length = base + (1 if i < extra else 0)
        name = stem + "x" * (length - len(stem) - 4) + ".txt"
        contents[name] = f"member {i} of a directory of {total} bytes\n".encode() * (1 + i % 3)
    with zipfile.ZipFile(path, "w") as zf:
        for name in sorted(contents):
            zf.writestr(_info(name, zipfile.ZIP_DEFLATED), contents[name])
    got = _central_directory_length(path)
    if got != total:
        raise GenerationError(f"{path}: directory came out at {got} bytes, not {total}")
    contents["cd"] = None
    return contents


class _NoSeek(io.RawIOBase):
    """A write-only sink without tell or seek, as a pipe would be: zipfile then streams every
    member with flag bit 3 and a signed data descriptor."""

    def __init__(self):
        self.buffer = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.buffer += b
        return len(b)


def _write_streamed(path, contents, method, zip64=False):
    sink = _NoSeek()
    with zipfile.ZipFile(sink, "w", compression=method) as zf:
        for name, data in _entries_for(contents):
            if name.endswith("/"):
                zf.writestr(_info(name, zipfile.ZIP_STORED), b"")
            else:
                with zf.open(_info(name, method), "w", force_zip64=zip64) as w:
                    for i in range(0, len(data), 10_000):
                        w.write(data[i:i + 10_000])
    with open(path, "wb") as f:
        f.write(bytes(sink.buffer))
    with zipfile.ZipFile(path) as zf:
        if not any(i.flag_bits & 0x08 for i in zf.infolist()):
            raise GenerationError(f"{path}: zipfile did not stream (no member has flag bit 3)")


def python_archives(out_dir, contents, full=True):
    made = []
    path = os.path.join(out_dir, "py-stored.zip")
    _write_python_zip(path, contents, zipfile.ZIP_STORED, member_comment=b"a member comment")
    made.append(GeneratedArchive("py-stored.zip", path, contents,
                                 "zipfile ZIP_STORED, folder entries, empty members, member comment"))
    for level in (range(10) if full else (0, 1, 9)):
        name = f"py-deflate-L{level}.zip"
        path = os.path.join(out_dir, name)
        _write_python_zip(path, contents, zipfile.ZIP_DEFLATED, level,
                          member_comment=b"comment of text.txt")
        made.append(GeneratedArchive(name, path, contents, f"zipfile ZIP_DEFLATED level {level}"))

    path = os.path.join(out_dir, "py-comment-60000.zip")
    rng = random.Random(60000)
    comment = _words(rng, 12000).encode()[:60_000].ljust(60_000, b".")
    _write_python_zip(path, contents, zipfile.ZIP_DEFLATED, 6, comment=comment)
    made.append(GeneratedArchive("py-comment-60000.zip", path, contents,
                                 "archive comment of 60,000 bytes"))

    for total in (63_999, 64_000, 64_001):
        name = f"py-cd-{total}.zip"
        path = os.path.join(out_dir, name)
        made.append(GeneratedArchive(name, path, _directory_sized(path, total),
                                     f"central directory of {total} bytes with the end signature"))

    path = os.path.join(out_dir, "py-3000.zip")
    many = {}
    for i in range(3000):
        folder = f"many/d{i // 100:02d}"
        many[folder] = None
        many[f"{folder}/f{i:04d}.txt"] = (f"file {i}\n" * (i % 7)).encode()
    many["many"] = None
    with zipfile.ZipFile(path, "w") as zf:
        for i in range(3000):
            rel = f"many/d{i // 100:02d}/f{i:04d}.txt"
            zf.writestr(_info(rel, zipfile.ZIP_DEFLATED if i % 2 else zipfile.ZIP_STORED), many[rel])
    made.append(GeneratedArchive("py-3000.zip", path, many, "3,000 members"))

    for method, label in ((zipfile.ZIP_DEFLATED, "deflate"), (zipfile.ZIP_STORED, "stored")):
        name = f"py-streamed-{label}.zip"
        path = os.path.join(out_dir, name)
        _write_streamed(path, contents, method)
        made.append(GeneratedArchive(name, path, contents,
                                     f"zipfile to a non-seekable sink: {label} + bit 3 + signed descriptor"))
    path = os.path.join(out_dir, "py-streamed-zip64.zip")
    _write_streamed(path, contents, zipfile.ZIP_DEFLATED, zip64=True)
    made.append(GeneratedArchive("py-streamed-zip64.zip", path, contents,
                                 "zipfile streamed with force_zip64: 24-byte Zip64 descriptors"))
    return made


# --- deflate streams with known block layout, zipped by hand -----------------------------------

def _raw_deflate(level, pieces, flush_modes):
    """Compresses `pieces` into one raw deflate stream, flushing after each piece with the
    mode taken in turn from `flush_modes`."""
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 9)
    out = bytearray()
    for i, piece in enumerate(pieces):
        out += c.compress(piece)
        mode = flush_modes[i % len(flush_modes)] if flush_modes else None
        if mode is not None:
            out += c.flush(mode)
    out += c.flush(zlib.Z_FINISH)
    return bytes(out)


def _split(data, sizes):
    pieces, at, i = [], 0, 0
    while at < len(data):
        n = sizes[i % len(sizes)]
        pieces.append(data[at:at + n])
        at += n
        i += 1
    return pieces


def _hand_zip(path, members, descriptor):
    """members: (name, data, raw deflate stream). descriptor: None, 'signed' or 'unsigned'."""
    dos_time = ((DATE[0] - 1980) << 25 | DATE[1] << 21 | DATE[2] << 16
                | DATE[3] << 11 | DATE[4] << 5 | DATE[5] // 2)
    out = bytearray()
    central = bytearray()
    for name, data, stream in members:
        raw_name = name.encode()
        crc = zlib.crc32(data)
        flags = 0x08 if descriptor else 0
        offset = len(out)
        local_crc, local_c, local_u = (0, 0, 0) if descriptor else (crc, len(stream), len(data))
        out += struct.pack("<IHHHIIIIHH", 0x04034B50, 20, flags, 8, dos_time,
                           local_crc, local_c, local_u, len(raw_name), 0)
        out += raw_name + stream
        if descriptor == "signed":
            out += struct.pack("<IIII", 0x08074B50, crc, len(stream), len(data))
        elif descriptor == "unsigned":
            out += struct.pack("<III", crc, len(stream), len(data))
        central += struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 0x031E, 20, flags, 8, dos_time,
                               crc, len(stream), len(data), len(raw_name), 0, 0, 0, 0,
                               0o100644 << 16, offset)
        central += raw_name
    start = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(members), len(members),
                       len(central), start, 0)
    with open(path, "wb") as f:
        f.write(out)


def stored_block_archives(out_dir, contents):
    text = contents["text.txt"]
    mixed = contents["sub/deeper/mixed.bin"]
    blob = text[:70_000] + contents["random.bin"][:40_000] + text[70_000:150_000]
    members = [
        # Level 0 writes nothing but stored blocks, each at most 65,535 bytes.
        ("level0.bin", blob, _raw_deflate(0, [blob], [])),
        # Sync flushes at level 0: many short stored blocks and the empty ones the flush adds.
        ("level0-sync.txt", text[:40_000],
         _raw_deflate(0, _split(text[:40_000], [1000, 1, 4099, 0, 77]), [zlib.Z_SYNC_FLUSH])),
        # Full flushes between compressed pieces: the history is cut at each flush and an empty
        # stored block sits at a bit position that is not byte-aligned before it.
        ("fullflush.txt", text[:120_000],
         _raw_deflate(6, _split(text[:120_000], [30_000, 7, 12_345]), [zlib.Z_FULL_FLUSH])),
        # Block and partial flushes: blocks that end mid-byte, empty fixed-code blocks.
        ("blockflush.bin", mixed,
         _raw_deflate(1, _split(mixed, [5000, 333, 17]),
                      [zlib.Z_BLOCK, zlib.Z_PARTIAL_FLUSH, zlib.Z_SYNC_FLUSH])),
        # An empty member at level 0: one empty final stored block.
        ("empty-level0.dat", b"", _raw_deflate(0, [], [])),
        # Compressible data at level 9 with sync flushes: dynamic blocks then stored markers.
        ("level9-sync.txt", text, _raw_deflate(9, _split(text, [65_536, 100]), [zlib.Z_SYNC_FLUSH])),
    ]
    for name, data, stream in members:
        if zlib.decompress(stream, -15) != data:
            raise GenerationError(f"deflate stream for {name} does not round-trip in zlib")
    expected = {name: data for name, data, _ in members}
    made = []
    for descriptor, name, note in ((None, "hand-storedblocks.zip", "stored blocks and flushes in deflate"),
                                   ("unsigned", "hand-storedblocks-dd.zip",
                                    "the same with unsigned data descriptors"),
                                   ("signed", "hand-storedblocks-sigdd.zip",
                                    "the same with signed data descriptors")):
        path = os.path.join(out_dir, name)
        _hand_zip(path, members, descriptor)
        made.append(GeneratedArchive(name, path, expected, note))
    return made


def build_all(work_dir, full=True):
    """Writes the input tree and every archive under work_dir; returns the archives."""
    contents = source_tree_contents()
    tree_root = os.path.join(work_dir, "tree")
    write_tree(tree_root, contents)
    out_dir = os.path.join(work_dir, "archives")
    os.makedirs(out_dir)
    made = []
    made += infozip_archives(out_dir, tree_root, contents, full)
    made += sevenzip_archives(out_dir, tree_root, contents, full)
    made += python_archives(out_dir, contents, full)
    made += stored_block_archives(out_dir, contents)
    return made
