// Deflate decoding (RFC 1951).
//
// Table format. Each code is looked up with the next TABLE_BITS bits of input
// (11 for literal/length codes, 8 for distances, 7 for code lengths). An entry is
// 32 bits:
//     bits  0-7   bits to drop: the code's bits at this level plus the extra
//                 bits of a length or distance, so one shift consumes both
//     bits  8-11  the code's bits at this level (the extra bits follow them),
//                 or the index bits of the sub-table an entry points to
//     bits 12-15  kind: literal, end of block, sub-table, invalid (or none: a base)
//     bits 16-31  literal byte, length or distance base, or sub-table offset
// Codes longer than the top level continue in a sub-table reached through the
// top entry; unused codes of an incomplete code are marked invalid.
//
// Fast loop. While at least 16 input bytes and 274 bytes of window room remain,
// each step tops the bit buffer up to 56 bits in one load, which covers the
// longest length/distance pair (15 + 5 + 15 + 13 = 48 bits), and matches are
// copied in 8-byte words, two per round (258 + 16 bytes of room covers the
// overshoot of at most 15). The next literal/length entry is looked up before
// the refill and before the match copy: the low bits it needs are already
// there, so the lookup waits for neither. Near the end of the input or the
// window the careful loop takes over: it fetches one byte at a time, checks for
// exhausted input after every code and flushes the window exactly when it fills.
#include "unzip/inflate.h"

#include <algorithm>
#include <cstring>

#include "unzip/decode_table.h"
#include "unzip/huffman.h"
#include "unzip/result.h"

namespace unzip {
namespace {

// Short names for the entry kinds and fields within the decoder.
constexpr uint32_t kLiteral = kEntryLiteral;
constexpr uint32_t kEndOfBlock = kEntryEndOfBlock;
constexpr uint32_t kSubTable = kEntrySubTable;
constexpr uint32_t kInvalid = kEntryInvalid;
inline unsigned Drop(uint32_t e) {
    return EntryDrop(e);
}
inline unsigned CodeBits(uint32_t e) {
    return EntryCodeBits(e);
}
inline uint32_t Value(uint32_t e) {
    return EntryValue(e);
}

constexpr unsigned kLitLenBits = 11;
constexpr unsigned kDistBits = 8;
constexpr unsigned kCodeLenBits = 7;
constexpr unsigned kMaxLitLen = 288;
constexpr unsigned kMaxDist = 32;

constexpr unsigned kLitLenEntries = DecodeTableSize(kMaxLitLen, kLitLenBits);
constexpr unsigned kDistEntries = DecodeTableSize(kMaxDist, kDistBits);

// Base values and extra bits of the literal/length symbols from 257 and of the
// distance symbols (RFC 1951, 3.2.5); symbols 286, 287 and distances 30, 31
// may have codes but stand for nothing.
constexpr uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                      17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                      99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0,           1,          1, 1,
                                      1, 2, 2, 2, 2, 3, 3, 3,           3,          4, 4,
                                      4, 4, 5, 5, 5, 5, 0, kNotASymbol, kNotASymbol};
constexpr uint16_t kDistBase[32] = {
    1,   2,   3,   4,   5,    7,    9,    13,   17,   25,   33,   49,    65,    97,    129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 0,   0};
constexpr uint8_t kDistExtra[32] = {0,  0,  0,  0,  1,  1,  2,  2,  3,           3,          4,
                                    4,  5,  5,  6,  6,  7,  7,  8,  8,           9,          9,
                                    10, 10, 11, 11, 12, 12, 13, 13, kNotASymbol, kNotASymbol};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

// The code an invalid entry stands for is malformed data when its bits are all
// real input, and missing input when they reach into the filler. A symbol that
// is no symbol (286, 287, distances 30, 31) has a length; an unused code of an
// incomplete code has none, so the bits looked up (`width`) decide for it.
int32_t InvalidCode(BitInput& in, uint32_t e, unsigned width) {
    if (!Drop(e)) return in.Real(width) ? ResultArchiveError : ResultReadError;
    in.Drop(Drop(e));
    return in.Exhausted() ? ResultReadError : ResultArchiveError;
}

inline uint32_t ExtraValue(uint32_t e, uint64_t before) {
    return EntryExtra(e, before);
}

} // namespace

struct Inflater::Tables {
    uint32_t litlen[kLitLenEntries];
    uint32_t dist[kDistEntries];
    uint32_t codelen[1u << kCodeLenBits];
    uint32_t fixed_litlen[kLitLenEntries];
    uint32_t fixed_dist[kDistEntries];
    unsigned litlen_bits, dist_bits, fixed_litlen_bits, fixed_dist_bits; // top-level widths
};

Inflater::Inflater() : tables_(new Tables) {
    uint16_t lengths[kMaxLitLen];
    for (unsigned s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    tables_->fixed_litlen_bits = kLitLenBits;
    BuildDecodeTable(lengths, 288, 257, kLengthBase, kLengthExtra, tables_->fixed_litlen,
                     &tables_->fixed_litlen_bits);
    // All 32 five-bit codes: 30 and 31 are codes, but no distances.
    for (unsigned s = 0; s < 32; ++s) lengths[s] = 5;
    tables_->fixed_dist_bits = kDistBits;
    BuildDecodeTable(lengths, 32, 0, kDistBase, kDistExtra, tables_->fixed_dist,
                     &tables_->fixed_dist_bits);
}

Inflater::~Inflater() = default;

int32_t Inflater::Run(BitInput& in, Window& window, OutputSink& sink) {
    uint8_t* out = window.begin();
    for (;;) {
        unsigned last = in.Take(1);
        unsigned type = in.Take(2);
        if (in.Exhausted()) return ResultReadError;
        int32_t rc;
        switch (type) {
        case 0: rc = StoredBlock(in, window, sink, out); break;
        case 1:
            rc = Codes(in, window, sink, out, {tables_->fixed_litlen, tables_->fixed_litlen_bits},
                       {tables_->fixed_dist, tables_->fixed_dist_bits});
            break;
        case 2:
            rc = DynamicTables(in);
            if (rc == ResultOk)
                rc = Codes(in, window, sink, out, {tables_->litlen, tables_->litlen_bits},
                           {tables_->dist, tables_->dist_bits});
            break;
        default: return ResultArchiveError;
        }
        if (rc != ResultOk) return rc;
        if (last) break;
    }
    // The final flush is made even when nothing is left, so that every stream
    // ends with one progress report.
    return sink.Flush(window.begin(), static_cast<size_t>(out - window.begin())) ? ResultOk
                                                                                 : ResultWriteError;
}

int32_t Inflater::StoredBlock(BitInput& in, Window& window, OutputSink& sink, uint8_t*& out) {
    in.AlignToByte();
    uint32_t len = in.Take(16);
    uint32_t nlen = in.Take(16);
    if (in.Exhausted()) return ResultReadError;
    if (len != (~nlen & 0xFFFF)) return ResultArchiveError;
    while (len > 0) {
        size_t room = static_cast<size_t>(window.end() - out);
        size_t k = len < room ? len : room;
        if (!in.CopyBytes(out, k)) return ResultReadError;
        out += k;
        len -= static_cast<uint32_t>(k);
        if (out == window.end()) {
            if (!window.Slide(sink)) return ResultWriteError;
            out = window.begin();
        }
    }
    return ResultOk;
}

int32_t Inflater::DynamicTables(BitInput& in) {
    in.Ensure(14);
    unsigned hlit = in.Take(5) + 257;
    unsigned hdist = in.Take(5) + 1;
    unsigned hclen = in.Take(4) + 4;
    if (hlit > kMaxLitLen || hdist > kMaxDist) return ResultArchiveError;

    uint16_t lengths[kMaxLitLen + kMaxDist] = {};
    in.Ensure(3 * 19);
    for (unsigned i = 0; i < hclen; ++i)
        lengths[kCodeLengthOrder[i]] = static_cast<uint16_t>(in.Take(3));
    if (in.Exhausted()) return ResultReadError;
    uint32_t* codelen = tables_->codelen;
    unsigned codelen_bits = kCodeLenBits;
    if (BuildDecodeTable(lengths, 19, 19, nullptr, nullptr, codelen, &codelen_bits) != CodeComplete)
        return ResultArchiveError;

    // A repeat of the previous length before any length repeats 0.
    const unsigned total = hlit + hdist;
    unsigned prev = 0;
    for (unsigned i = 0; i < total;) {
        in.Ensure(codelen_bits + 7); // a code and the longest repeat count
        uint32_t e = codelen[in.Peek(codelen_bits)];
        if (e & kInvalid) return InvalidCode(in, e, codelen_bits);
        in.Drop(Drop(e));
        unsigned sym = Value(e);
        unsigned value = 0, repeat;
        if (sym < 16) {
            value = prev = sym;
            repeat = 1;
        } else if (sym == 16) {
            value = prev;
            repeat = 3 + in.Take(2);
        } else if (sym == 17) {
            repeat = 3 + in.Take(3);
            prev = 0;
        } else {
            repeat = 11 + in.Take(7);
            prev = 0;
        }
        if (in.Exhausted()) return ResultReadError;
        if (i + repeat > total) return ResultArchiveError;
        while (repeat--) lengths[i++] = static_cast<uint16_t>(value);
    }
    tables_->litlen_bits = kLitLenBits;
    if (BuildDecodeTable(lengths, hlit, 257, kLengthBase, kLengthExtra, tables_->litlen,
                         &tables_->litlen_bits) != CodeComplete)
        return ResultArchiveError;
    tables_->dist_bits = kDistBits;
    int shape = BuildDecodeTable(lengths + hlit, hdist, 0, kDistBase, kDistExtra, tables_->dist,
                                 &tables_->dist_bits);
    if (shape != CodeComplete && shape != CodeIncomplete) return ResultArchiveError;
    return ResultOk;
}

int32_t Inflater::Codes(BitInput& in, Window& window, OutputSink& sink, uint8_t*& out_ref,
                        CodeTable litlen_table, CodeTable dist_table) {
    const uint32_t* const litlen = litlen_table.entries;
    const uint32_t* const dist = dist_table.entries;
    const uint32_t lit_mask = (1u << litlen_table.bits) - 1;
    const uint32_t dist_mask = (1u << dist_table.bits) - 1;
    constexpr size_t kFastInput = 16;
    constexpr size_t kFastRoom = 258 + 16;
    uint8_t* out = out_ref;

    for (;;) {
        // Fast loop: bit state in locals, no end checks inside a step.
        if (in.available() >= kFastInput &&
            window.end() - out >= static_cast<ptrdiff_t>(kFastRoom)) {
            uint64_t bits = in.bits_;
            unsigned count = in.count_;
            const uint8_t* next = in.next_;
            const uint8_t* const in_limit = in.end_ - kFastInput;
            uint8_t* const out_limit = window.end() - kFastRoom;
            auto refill = [&] { RefillWord(bits, count, next); };
            auto drop = [&](uint32_t e) {
                bits >>= Drop(e);
                count -= Drop(e);
            };
            int32_t rc = ResultOk;
            bool done = false;
            refill();
            uint32_t e = litlen[bits & lit_mask];
            do {
                // Here at least 56 bits are held and e is the entry for them.
                if (e & kLiteral) {
                    // Up to three literals per refill (3 * 11 bits at most at the top level).
                    drop(e);
                    *out++ = static_cast<uint8_t>(Value(e));
                    e = litlen[bits & lit_mask];
                    if (e & kLiteral) {
                        drop(e);
                        *out++ = static_cast<uint8_t>(Value(e));
                        e = litlen[bits & lit_mask];
                        if (e & kLiteral) {
                            drop(e);
                            *out++ = static_cast<uint8_t>(Value(e));
                            e = litlen[bits & lit_mask];
                        }
                    }
                    refill();
                    continue;
                }
                if (e & kSubTable) {
                    drop(e);
                    e = litlen[Value(e) + (bits & ((1u << CodeBits(e)) - 1))];
                }
                uint64_t before = bits;
                drop(e);
                if (e & kLiteral) {
                    *out++ = static_cast<uint8_t>(Value(e));
                    refill();
                    e = litlen[bits & lit_mask];
                    continue;
                }
                if (e & (kEndOfBlock | kInvalid)) {
                    done = true;
                    rc = (e & kInvalid) ? ResultArchiveError : ResultOk;
                    break;
                }
                const uint32_t length = Value(e) + ExtraValue(e, before);

                uint32_t d = dist[bits & dist_mask];
                if (d & kSubTable) {
                    drop(d);
                    d = dist[Value(d) + (bits & ((1u << CodeBits(d)) - 1))];
                }
                if (d & kInvalid) {
                    done = true;
                    rc = ResultArchiveError;
                    break;
                }
                before = bits;
                drop(d);
                const uint32_t distance = Value(d) + ExtraValue(d, before);
                refill();
                e = litlen[bits & lit_mask];

                out = CopyMatch(out, distance, length);
            } while (next < in_limit && out < out_limit);
            // Hand back the bit state; stale bits above count are copies of the
            // bytes at next and harmless (see bit_input.h).
            in.bits_ = bits;
            in.count_ = count;
            in.next_ = next;
            if (done) {
                out_ref = out;
                return rc;
            }
        }

        // Careful path: one code per round, exact window ends.
        if (in.Exhausted()) return ResultReadError;
        if (in.available() < kFastInput) in.Fill();
        in.Ensure(15 + 5);
        unsigned width = litlen_table.bits;
        uint32_t e = litlen[in.Peek(width)];
        if (e & kSubTable) {
            in.Drop(width);
            width = CodeBits(e);
            e = litlen[Value(e) + in.Peek(width)];
        }
        if (e & kInvalid) return InvalidCode(in, e, width);
        uint64_t before = in.Peek(Drop(e));
        in.Drop(Drop(e));
        if (in.Exhausted()) return ResultReadError;
        if (e & kLiteral) {
            if (!PutByte(window, sink, out, static_cast<uint8_t>(Value(e))))
                return ResultWriteError;
            continue;
        }
        if (e & kEndOfBlock) {
            out_ref = out;
            return ResultOk;
        }
        uint32_t length = Value(e) + ExtraValue(e, before);
        in.Ensure(15 + 13);
        width = dist_table.bits;
        e = dist[in.Peek(width)];
        if (e & kSubTable) {
            in.Drop(width);
            width = CodeBits(e);
            e = dist[Value(e) + in.Peek(width)];
        }
        if (e & kInvalid) return InvalidCode(in, e, width);
        before = in.Peek(Drop(e));
        in.Drop(Drop(e));
        uint32_t distance = Value(e) + ExtraValue(e, before);
        if (in.Exhausted()) return ResultReadError;
        if (!CopyMatchCarefully(window, sink, out, distance, length)) return ResultWriteError;
    }
}

} // namespace unzip
