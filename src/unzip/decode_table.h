// Decoding tables for canonical Huffman codes, shared by the decoders.
//
// A code is looked up with the next `bits` bits of input, taken from the low end
// of the bit buffer (codes arrive most significant bit first, so table indexes
// are bit-reversed codes). An entry is 32 bits:
//     bits  0-7   bits to drop: the code's bits at this level plus the extra
//                 bits of a length or distance, so one shift consumes both
//     bits  8-11  the code's bits at this level (the extra bits follow them),
//                 or the index bits of the sub-table an entry points to
//     bits 12-15  kind: literal, end of block, sub-table, invalid (or none: a base)
//     bits 16-31  symbol or literal byte, base value, or sub-table offset
// Codes longer than the top level continue in one sub-table reached through
// their top-level entry. Unused codes of an incomplete code are invalid entries
// as long as the longest code, so a decoder can still tell a bad code from one
// cut off by the end of its input.
#pragma once

#include <cstdint>

namespace unzip {

enum : uint32_t {
    kEntryLiteral = 1u << 12,    // a simple symbol: the value is the symbol
    kEntryEndOfBlock = 1u << 13, // simple symbol 256
    kEntrySubTable = 1u << 14,
    kEntryInvalid = 1u << 15,
};

// An extra-bit count that marks a symbol as no symbol at all (deflate's
// literal/length symbols 286 and 287, distances 30 and 31).
constexpr uint8_t kNotASymbol = 99;

inline unsigned EntryDrop(uint32_t e) {
    return e & 0xFF;
}
inline unsigned EntryCodeBits(uint32_t e) {
    return (e >> 8) & 15;
}
inline uint32_t EntryValue(uint32_t e) {
    return e >> 16;
}
// The extra bits of a length or distance, from the bit buffer as it was before
// the entry was dropped.
inline uint32_t EntryExtra(uint32_t e, uint64_t before) {
    return static_cast<uint32_t>((before & ((uint64_t(1) << EntryDrop(e)) - 1)) >>
                                 EntryCodeBits(e));
}

// Entries a table of n symbols needs with a top level of at most top_bits bits:
// every sub-table belongs to at least one symbol and holds codes of at most
// 16 - top_bits further bits.
constexpr unsigned DecodeTableSize(unsigned n, unsigned top_bits) {
    return (1u << top_bits) + n * (1u << (16 - top_bits));
}

// Builds the table of n code lengths into `table` (DecodeTableSize entries).
// Symbols below `simple` stand for themselves (256 is the end of a block);
// symbol s from `simple` up takes base[s - simple] and extra[s - simple] extra
// bits. *lookup_bits is the widest top level wanted; the width used, narrowed to
// the longest code, is stored back. Returns a CodeShape: CodeComplete,
// CodeIncomplete, or CodeInvalid (over-subscribed, or a length above 16, in
// which case the table is not built).
int BuildDecodeTable(const uint16_t* lengths, unsigned n, unsigned simple, const uint16_t* base,
                     const uint8_t* extra, uint32_t* table, unsigned* lookup_bits);

} // namespace unzip
