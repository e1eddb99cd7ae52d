#!/usr/bin/env python3
"""Makes benchmark archives with one large shrunk or imploded member, which no
tool at hand writes any more.

usage: make_legacy.py PAYLOAD_DIR OUT_DIR [--mb 4]

The member's content is the payload's files concatenated in path order, cut at
--mb MB. Writes OUT_DIR/shrunk-big.zip (method 1: LZW, code size raised as
needed, partial clears whenever the table is full) and OUT_DIR/imploded-big.zip
(method 6: 8 KiB window, three trees, greedy matching, Huffman code lengths
limited to 16). Plain Python and slow: a few MB take a minute or two.
"""
import argparse
import collections
import heapq
import os
import struct
import sys
import zlib

# The fuzz seed maker's bit writer packs fields the same way (least significant first).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz"))
from make_seeds import BitWriter  # noqa: E402


def shrink(data):
    """LZW as the decoder expects it: the code size is raised when a code needs it,
    and a full table is partially cleared (every string that is no other's prefix
    is freed, lowest first) before the next string is added."""
    w = BitWriter()
    size, upper = 9, 257
    table, key_of, free = {}, {}, collections.deque()

    def put(code):
        nonlocal size
        while code >= 1 << size:
            w.bits(256, size)
            w.bits(1, size)
            size += 1
        w.bits(code, size)

    prefix = data[0]
    for b in data[1:]:
        key = (prefix << 8) | b
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        put(prefix)
        if not free and upper > 8191:
            w.bits(256, size)
            w.bits(2, size)
            parents = {k >> 8 for k in key_of.values() if k >> 8 > 256}
            for c in sorted(c for c in key_of if c not in parents):
                del table[key_of.pop(c)]
                free.append(c)
        if free or upper <= 8191:
            if free:
                code = free.popleft()
            else:
                code, upper = upper, upper + 1
            table[key] = code
            key_of[code] = key
        prefix = b
    put(prefix)
    return w.data()


def code_lengths(freq, limit=16):
    """Huffman code lengths for every symbol (each counted at least once), at most limit."""
    freq = [f + 1 for f in freq]
    while True:
        heap = [(f, i, [i]) for i, f in enumerate(freq)]
        heapq.heapify(heap)
        lengths = [0] * len(freq)
        tie = len(freq)
        while len(heap) > 1:
            f1, _, s1 = heapq.heappop(heap)
            f2, _, s2 = heapq.heappop(heap)
            for s in s1 + s2:
                lengths[s] += 1
            heapq.heappush(heap, (f1 + f2, tie, s1 + s2))
            tie += 1
        if max(lengths) <= limit:
            return lengths
        freq = [(f + 1) // 2 for f in freq]


def canonical_codes(lengths):
    codes, code = [0] * len(lengths), 0
    for length in range(1, 17):
        for s in range(len(lengths)):
            if lengths[s] == length:
                codes[s] = code
                code += 1
        code <<= 1
    return codes


def tree_bytes(lengths):
    runs = []
    for length in lengths:
        if runs and runs[-1][1] == length and runs[-1][0] < 16:
            runs[-1][0] += 1
        else:
            runs.append([1, length])
    return bytes([len(runs) - 1] + [(n - 1) << 4 | (length - 1) for n, length in runs])


def implode(data):
    """8 KiB window, three trees."""
    steps, last = [], {}
    i, n = 0, len(data)
    while i < n:
        best_len = best_dist = 0
        if i + 3 <= n:
            key = data[i:i + 3]
            j = last.get(key)
            last[key] = i
            if j is not None and i - j <= 8192:
                limit = min(321, n - i)
                length = 3
                while length < limit and data[j + length] == data[i + length]:
                    length += 1
                best_len, best_dist = length, i - j
        if best_len >= 3:
            steps.append((best_len, best_dist))
            for k in range(i + 1, min(i + best_len, n - 2)):
                last[data[k:k + 3]] = k
            i += best_len
        else:
            steps.append((0, data[i]))
            i += 1
    lit_freq, len_freq, dist_freq = [0] * 256, [0] * 64, [0] * 64
    for length, value in steps:
        if length:
            len_freq[min(length - 3, 63)] += 1
            dist_freq[(value - 1) >> 7] += 1
        else:
            lit_freq[value] += 1
    trees = [code_lengths(f) for f in (lit_freq, len_freq, dist_freq)]
    codes = [canonical_codes(t) for t in trees]
    w = BitWriter()
    for t in trees:
        for b in tree_bytes(t):
            w.bits(b, 8)

    def put(tree, symbol):
        length, code = trees[tree][symbol], codes[tree][symbol]
        for k in range(length - 1, -1, -1):  # most significant first, complemented
            w.bits(((code >> k) & 1) ^ 1, 1)

    for length, value in steps:
        if not length:
            w.bits(1, 1)
            put(0, value)
            continue
        w.bits(0, 1)
        w.bits((value - 1) & 127, 7)
        put(2, (value - 1) >> 7)
        put(1, min(length - 3, 63))
        if length - 3 >= 63:
            w.bits(length - 3 - 63, 8)
    return w.data()


def zip_one(name, method, flags, content, data):
    crc = zlib.crc32(content) & 0xFFFFFFFF
    raw = name.encode()
    fields = struct.pack("<HHHHHIIIHH", 20, flags, method, 0x6000, 0x58C1, crc, len(data),
                         len(content), len(raw), 0)
    local = b"PK\x03\x04" + fields + raw + data
    central = (b"PK\x01\x02" + struct.pack("<H", 20) + fields +
               struct.pack("<HHHII", 0, 0, 0, 0x20, 0) + raw)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, 1, 1, len(central), len(local), 0)
    return local + central + end


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("payload")
    ap.add_argument("out")
    ap.add_argument("--mb", type=float, default=4)
    args = ap.parse_args()
    want = int(args.mb * 1024 * 1024)
    content = bytearray()
    for folder, dirs, names in os.walk(args.payload):
        dirs.sort()
        for name in sorted(names):
            with open(os.path.join(folder, name), "rb") as f:
                content += f.read(want - len(content))
            if len(content) >= want:
                break
        if len(content) >= want:
            break
    content = bytes(content)
    os.makedirs(args.out, exist_ok=True)
    for name, method, flags, encode in (("shrunk-big", 1, 0, shrink),
                                        ("imploded-big", 6, 6, implode)):
        data = encode(content)
        with open(os.path.join(args.out, name + ".zip"), "wb") as f:
            f.write(zip_one(name + ".bin", method, flags, content, data))
        print(f"{name}.zip: {len(content)} bytes as {len(data)}")


if __name__ == "__main__":
    main()
