#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets that we make ourselves.

    fuzz/make_seeds.py [CORPUS_DIR]     (default: fuzz/corpus beside this script)

fuzz_archive/gen-*     ZIP archives made with Python's zipfile or byte by byte
fuzz_inflate/gen-*     one settings byte (see fuzz_inflate.cpp) and a raw deflate
                       stream, from zlib at every level and strategy or built bit by
                       bit for the cases zlib's encoder never writes
fuzz_explode/gen-*     settings, size and the data of the imploded members of the
fuzz_unshrink/gen-*    shared legacy corpus (../shared/testdata/zip/legacy) of at
                       most 4 KiB, and the first 4 KiB of some larger ones
The output is the same on every run (fixed random seeds, fixed time stamps), so
the committed files can be checked by running it again.
"""
import io
import os
import random
import struct
import sys
import warnings
import zipfile
import zlib

FIXED_TIME = (2021, 6, 15, 12, 30, 44)


def words(rng, n):
    vocab = ["setup", "install", "folder", "archive", "member", "window", "data", "the", "of",
             "and", "program", "files", "readme", "license", "uninstall", "version", "\n"]
    return " ".join(rng.choice(vocab) for _ in range(n)).encode()


# ---------------------------------------------------------------- deflate streams

def raw_deflate(data, level, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 9, strategy)
    return c.compress(data) + c.flush()


class BitWriter:
    """LSB-first bit writer, as deflate packs its fields."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def bits(self, value, count):
        self.acc |= value << self.n
        self.n += count
        while self.n >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.n -= 8

    def code(self, code, length):
        """A Huffman code, sent most significant bit first."""
        for i in range(length - 1, -1, -1):
            self.bits((code >> i) & 1, 1)

    def align(self):
        if self.n:
            self.bits(0, 8 - self.n)

    def data(self):
        self.align()
        return bytes(self.out)


def canonical(lengths):
    """Canonical codes for a list of lengths (0 = unused)."""
    count = [0] * 17
    for n in lengths:
        if n:
            count[n] += 1
    next_code = [0] * 17
    code = 0
    for n in range(1, 17):
        code = (code + count[n - 1]) << 1 if n > 1 else 0
        next_code[n] = code
    codes = []
    for n in lengths:
        if n:
            codes.append(next_code[n])
            next_code[n] += 1
        else:
            codes.append(None)
    return codes


def fixed_lit(w, sym):
    if sym < 144:
        w.code(0x30 + sym, 8)
    elif sym < 256:
        w.code(0x190 + sym - 144, 9)
    elif sym < 280:
        w.code(sym - 256, 7)
    else:
        w.code(0xC0 + sym - 280, 8)


CL_ORDER = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15]


def dynamic_block(w, final, litlen, dist, items, first_repeat=False):
    """One dynamic block. items: ('lit', byte), ('match', length_symbol, extra_bits,
    extra_count, dist_symbol, dist_extra, dist_extra_count) or ('eob',).
    first_repeat: send the first three (zero) litlen lengths as a repeat code 16."""
    w.bits(final, 1)
    w.bits(2, 2)
    w.bits(len(litlen) - 257, 5)
    w.bits(len(dist) - 1, 5)
    w.bits(19 - 4, 4)
    # A complete code-length code: 13 codes of 4 bits and 6 of 5 bits.
    cl_len = [0] * 19
    for i, sym in enumerate(CL_ORDER):
        cl_len[sym] = 4 if i < 13 else 5
    for sym in CL_ORDER:
        w.bits(cl_len[sym], 3)
    cl_code = canonical(cl_len)
    seq = list(litlen) + list(dist)
    if first_repeat:
        assert seq[:3] == [0, 0, 0]
        w.code(cl_code[16], cl_len[16])
        w.bits(0, 2)  # repeat 3 times
        seq = seq[3:]
    for n in seq:
        w.code(cl_code[n], cl_len[n])
    lit_code = canonical(litlen)
    dist_code = canonical(dist)
    for item in items:
        if item[0] == "lit":
            w.code(lit_code[item[1]], litlen[item[1]])
        elif item[0] == "eob":
            w.code(lit_code[256], litlen[256])
        else:
            _, lsym, lextra, lcount, dsym, dextra, dcount = item
            w.code(lit_code[lsym], litlen[lsym])
            w.bits(lextra, lcount)
            w.code(dist_code[dsym], dist[dsym])
            w.bits(dextra, dcount)


def small_litlen(n=257):
    """'a', 'b', end of block and length 3 (symbol 257), two bits each."""
    lengths = [0] * max(n, 258)
    for sym in (ord("a"), ord("b"), 256, 257):
        lengths[sym] = 2
    return lengths[:max(n, 258)]


ABAB = [("lit", ord("a")), ("lit", ord("b")), ("match", 257, 0, 0, 1, 0, 0), ("eob",)]


def crafted_streams():
    s = {}
    # Empty final fixed block; empty final stored block; block type 3.
    s["fixed-empty"] = bytes([0x03, 0x00])
    s["stored-empty"] = bytes([0x01, 0x00, 0x00, 0xFF, 0xFF])
    s["bad-block-type"] = bytes([0x07, 0x00])
    s["stored-bad-nlen"] = bytes([0x01, 0x03, 0x00, 0xFF, 0xFF, 0x61, 0x62, 0x63])

    # A match reaching before the start of the output: we copy zeros, zlib refuses.
    w = BitWriter()
    w.bits(1, 1); w.bits(1, 2)
    fixed_lit(w, ord("x"))
    fixed_lit(w, 257)         # length 3
    w.code(4, 5); w.bits(0, 1)  # distance 5
    fixed_lit(w, 256)
    s["fixed-distance-too-far"] = w.data()

    # Stored, then fixed with an overlapping run (distance 1, length 258).
    w = BitWriter()
    w.bits(0, 1); w.bits(0, 2); w.align()
    w.bits(4, 16); w.bits(0xFFFF ^ 4, 16)
    for c in b"data":
        w.bits(c, 8)
    w.bits(1, 1); w.bits(1, 2)
    fixed_lit(w, 285)         # length 258
    w.code(0, 5)              # distance 1
    fixed_lit(w, 256)
    s["stored-then-fixed-run"] = w.data()

    # Dynamic blocks: a plain one, one whose distance code has a single 1-bit code,
    # one with an incomplete distance code, one that opens its lengths with a
    # repeat code, one with 288 length and 32 distance codes in the header.
    w = BitWriter()
    dynamic_block(w, 1, small_litlen(), [0, 1, 1], ABAB)
    s["dynamic-abab"] = w.data()
    w = BitWriter()
    dynamic_block(w, 1, small_litlen(), [0, 1], ABAB)
    s["dynamic-single-distance"] = w.data()
    w = BitWriter()
    dynamic_block(w, 1, small_litlen(), [1, 2], [("lit", 97), ("lit", 98), ("match", 257, 0, 0, 0, 0, 0), ("eob",)])
    s["dynamic-incomplete-distance"] = w.data()
    w = BitWriter()
    dynamic_block(w, 1, small_litlen(), [0, 1, 1], ABAB, first_repeat=True)
    s["dynamic-first-repeat"] = w.data()
    w = BitWriter()
    lit288 = small_litlen() + [0] * (288 - 258)
    dynamic_block(w, 1, lit288, [0, 1, 1] + [0] * 29, ABAB)
    s["dynamic-288-32"] = w.data()

    # Two dynamic blocks, the first not final.
    w = BitWriter()
    dynamic_block(w, 0, small_litlen(), [0, 1, 1], ABAB)
    dynamic_block(w, 1, small_litlen(), [0, 1, 1], ABAB)
    s["dynamic-two-blocks"] = w.data()
    return s


def inflate_seeds(rng):
    text = words(rng, 1200)
    samples = {
        "text": text,
        "short": b"abc",
        "empty": b"",
        "random": bytes(rng.getrandbits(8) for _ in range(3000)),
        "zeros": bytes(40000),
        "period2": b"ab" * 2000,
        "period7": b"abcdefg" * 700,
        "text-70k": words(random.Random(7), 14000)[:70000],
    }
    seeds = {}
    settings = 0
    for level in range(10):
        seeds[f"text-level{level}"] = (settings, raw_deflate(text, level))
        settings = (settings + 1) % 16
    for name, data in samples.items():
        if name == "text":
            continue
        # Level 0 of the long sample: stored blocks that fill the window.
        for level in (0, 1, 6, 9) if name == "text-70k" else (1, 6, 9):
            seeds[f"{name}-level{level}"] = (settings, raw_deflate(data, level))
            settings = (settings + 1) % 16
    for strategy, label in ((zlib.Z_HUFFMAN_ONLY, "huffman"), (zlib.Z_RLE, "rle"), (zlib.Z_FIXED, "fixed")):
        seeds[f"text-{label}"] = (settings, raw_deflate(text, 6, strategy))
        settings = (settings + 1) % 16
    # Cut short: the careful loop runs into the end of the input.
    full = raw_deflate(text, 6)
    seeds["text-truncated"] = (1, full[: len(full) // 2])
    for name, stream in crafted_streams().items():
        seeds[name] = (settings, stream)
        settings = (settings + 1) % 16
    return {f"gen-{name}": bytes([s]) + stream for name, (s, stream) in seeds.items()}


# ---------------------------------------------------------------- archives

def zinfo(name, method=zipfile.ZIP_DEFLATED, **kw):
    info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
    info.compress_type = method
    for k, v in kw.items():
        setattr(info, k, v)
    return info


def archive_bytes(members, comment=b"", stream=False):
    """members: (ZipInfo, bytes). stream: write to an unseekable stream, so every
    member gets flag bit 3 and a data descriptor."""

    class Unseekable(io.RawIOBase):
        def __init__(self):
            self.buf = bytearray()

        def writable(self):
            return True

        def write(self, b):
            self.buf += b
            return len(b)

    out = Unseekable() if stream else io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        z.comment = comment
        for info, data in members:
            z.writestr(info, data)
    return bytes(out.buf) if stream else out.getvalue()


def descriptor_without_signature():
    """One deflated member with flag bit 3 whose descriptor has no signature,
    built byte by byte (zipfile always writes the signature)."""
    data = b"hello, hello, hello descriptor\n"
    comp = raw_deflate(data, 6)
    crc = zlib.crc32(data)
    name = b"hello.txt"
    dostime, dosdate = (12 << 11) | (30 << 5) | 22, ((2021 - 1980) << 9) | (6 << 5) | 15
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 8, 8, dostime, dosdate, 0, 0, 0, len(name), 0) + name
    body = local + comp + struct.pack("<III", crc, len(comp), len(data))
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 8, 8, dostime, dosdate, crc, len(comp),
                          len(data), len(name), 0, 0, 0, 0, 0, 0) + name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(body), 0)
    return body + central + end


def zip64_everywhere(members):
    """An archive with every size and offset in Zip64 fields and its end in the Zip64 end
    record: zipfile writes them for what passes its limit, lowered here for the while."""
    limit = zipfile.ZIP64_LIMIT
    zipfile.ZIP64_LIMIT = -1
    try:
        return archive_bytes(members)
    finally:
        zipfile.ZIP64_LIMIT = limit


def archive_seeds(rng):
    text = words(rng, 800)
    seeds = {}
    seeds["gen-methods-mix.zip"] = archive_bytes([
        (zinfo("stored.txt", zipfile.ZIP_STORED), b"stored member\n"),
        (zinfo("deflated.txt"), text),
        (zinfo("empty.txt"), b""),
        (zinfo("folder/", zipfile.ZIP_STORED, external_attr=0x10), b""),
        (zinfo("folder/inner/deep.txt"), b"deep\n" * 20),
        (zinfo("\u017elu\u0165ou\u010dk\u00fd.txt", flag_bits=0x800), b"utf-8 name\n"),
        (zinfo("README.TXT", zipfile.ZIP_STORED, create_system=0, external_attr=0x21), b"read only\n"),
        (zinfo("extra.bin", extra=struct.pack("<HHBI", 0x5455, 5, 1, 1623760244)), bytes(range(256))),
    ], comment=b"archive comment")
    seeds["gen-descriptors-stream.zip"] = archive_bytes([
        (zinfo("a.txt"), text[:2000]),
        (zinfo("b.txt", zipfile.ZIP_STORED), b"stored with descriptor\n"),
        (zinfo("c.txt"), b"c" * 5000),
    ], stream=True)
    seeds["gen-descriptor-no-signature.zip"] = descriptor_without_signature()
    seeds["gen-zip64.zip"] = zip64_everywhere([
        (zinfo("stored.txt", zipfile.ZIP_STORED), b"stored member\n"),
        (zinfo("deflated.txt"), text[:3000]),
        (zinfo("folder/", zipfile.ZIP_STORED, external_attr=0x10), b""),
    ])
    # Over the fuzz target's 4 MB cap per output file.
    seeds["gen-zeros-5mb.zip"] = archive_bytes([(zinfo("zeros.bin"), bytes(5 << 20))])
    # Output spanning several 32 KiB windows, deflated and stored.
    seeds["gen-multi-window.zip"] = archive_bytes([
        (zinfo("big.txt"), words(random.Random(3), 14000)[:70000]),
        (zinfo("big-stored.bin", zipfile.ZIP_STORED), bytes(rng.getrandbits(8) for _ in range(40000))),
    ])
    seeds["gen-repeated-names.zip"] = archive_bytes([
        (zinfo("same.txt"), b"first\n"),
        (zinfo("same.txt", date_time=(2021, 6, 15, 12, 30, 45)), b"second\n"),
        (zinfo("SAME.txt"), b"third\n"),
    ])
    # A directory of more than 64,000 bytes (read through a window), with one
    # entry whose comment alone is longer than the window.
    members = [(zinfo(f"d/{i:04d}.txt", zipfile.ZIP_STORED), b"") for i in range(1300)]
    members[700][0].comment = b"c" * 65000
    seeds["gen-large-directory.zip"] = archive_bytes(members)
    return seeds


# ---------------------------------------------------------------- legacy methods

def legacy_members(testdata):
    """(archive, member name, method, flags, size, raw data) of every shrunk or imploded
    member of the shared legacy corpus."""
    folder = os.path.join(testdata, "zip", "legacy")
    for archive in sorted(os.listdir(folder)):
        if not archive.endswith(".zip"):
            continue
        path = os.path.join(folder, archive)
        with open(path, "rb") as f:
            blob = f.read()
        with zipfile.ZipFile(path) as zf:
            for info in zf.infolist():
                if info.compress_type not in (1, 6):
                    continue
                at = info.header_offset
                name_len, extra_len = struct.unpack_from("<HH", blob, at + 26)
                start = at + 30 + name_len + extra_len
                yield (archive, info.filename, info.compress_type, info.flag_bits,
                       info.file_size, blob[start:start + info.compress_size])


def legacy_seeds(testdata):
    explode, unshrink = {}, {}
    per_archive = {}
    for archive, name, method, flags, size, data in legacy_members(testdata):
        # A few of each archive: the 135 members of the largest add little.
        per_archive[archive] = per_archive.get(archive, 0) + 1
        if per_archive[archive] > 6:
            continue
        base = "gen-" + archive[:-4] + "-" + os.path.basename(name)
        if len(data) > 4096:
            # Only the start of a large member: the decoder runs out of input.
            data = data[:4096]
            base += "-start"
        if method == 6:
            explode[base] = bytes([flags & 6, 0]) + struct.pack("<H", min(size, 0xFFFF)) + data
        else:
            unshrink[base] = bytes([0]) + data
    return explode, unshrink


def main():
    # gen-repeated-names.zip repeats a name on purpose.
    warnings.filterwarnings("ignore", "Duplicate name", UserWarning)
    here = os.path.dirname(os.path.abspath(__file__))
    corpus = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus")
    testdata = os.path.join(here, "..", "..", "shared", "testdata")
    explode, unshrink = legacy_seeds(testdata)
    for target, seeds in (("fuzz_inflate", inflate_seeds(random.Random(1))),
                          ("fuzz_archive", archive_seeds(random.Random(2))),
                          ("fuzz_explode", explode), ("fuzz_unshrink", unshrink)):
        folder = os.path.join(corpus, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in sorted(seeds.items()):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        print(f"{target}: {len(seeds)} seeds, {sum(map(len, seeds.values()))} bytes")


if __name__ == "__main__":
    main()
