// Table building in canonical order: symbols sorted by code length, then by
// symbol, receive codes that simply count upwards, so codes sharing their first
// top-level bits are neighbours and each run of them gets one sub-table, sized
// by walking the lengths until the run's code space is used up.
#include "unzip/decode_table.h"

#include <algorithm>
#include <cstring>

#include "unzip/huffman.h"

namespace unzip {
namespace {

constexpr unsigned kMaxSymbols = 320;

// Kind and value of a symbol's entry, and the extra bits that follow its code.
uint32_t LeafEntry(unsigned symbol, unsigned simple, const uint16_t* base, const uint8_t* extra,
                   unsigned* extra_bits) {
    *extra_bits = 0;
    if (symbol < simple) return symbol == 256 ? kEntryEndOfBlock : kEntryLiteral | symbol << 16;
    if (extra[symbol - simple] == kNotASymbol) return kEntryInvalid;
    *extra_bits = extra[symbol - simple];
    return uint32_t(base[symbol - simple]) << 16;
}

// A leaf for a code with `len` bits at its level. Invalid symbols keep their
// length, so a decoder can tell a bad code from one cut off by the end of input.
inline uint32_t Leaf(uint32_t kind_and_value, unsigned len, unsigned extra_bits) {
    return kind_and_value | len << 8 | (len + extra_bits);
}

// Bit reversal of 16-bit codes through a byte table.
struct ReverseTable {
    uint8_t r[256];
};
constexpr ReverseTable MakeReverseTable() {
    ReverseTable t{};
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned b = 0; b < 8; ++b)
            if (i & (1u << b)) t.r[i] |= static_cast<uint8_t>(0x80u >> b);
    return t;
}
constexpr ReverseTable kReverse = MakeReverseTable();

inline uint32_t Reverse(uint32_t code, unsigned len) {
    uint32_t r16 = uint32_t(kReverse.r[code & 0xFF]) << 8 | kReverse.r[(code >> 8) & 0xFF];
    return r16 >> (16 - len);
}

} // namespace

int BuildDecodeTable(const uint16_t* lengths, unsigned n, unsigned simple, const uint16_t* base,
                     const uint8_t* extra, uint32_t* table, unsigned* table_bits) {
    if (n > kMaxSymbols) return CodeInvalid;
    CodeLengthCounts counts;
    CodeShape shape = CheckCodeLengths(lengths, n, &counts);
    if (shape == CodeInvalid) return shape;
    // A top level no wider than the longest code: short codes (small blocks)
    // then fill a smaller table.
    const unsigned top_bits = std::max(1u, std::min(*table_bits, counts.longest));
    *table_bits = top_bits;

    const uint32_t top_size = 1u << top_bits;
    // Only a code that leaves space unused has entries no code reaches; a lone
    // code of length 1 counts as complete but fills half its space.
    const bool gaps = shape != CodeComplete || counts.longest == 0 ||
                      (counts.longest == 1 && counts.count[1] == 1);
    // Unused codes count as codes of the longest length, as if the code went on.
    auto gap = [](unsigned len) { return kEntryInvalid | len << 8 | len; };
    if (gaps)
        for (uint32_t i = 0; i < top_size; ++i) table[i] = gap(std::min(counts.longest, top_bits));

    // Counting sort of the symbols by length.
    uint16_t offset[kMaxCodeLength + 2] = {};
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        offset[len + 1] = offset[len] + counts.count[len];
    uint16_t sorted[kMaxSymbols];
    for (unsigned s = 0; s < n; ++s)
        if (lengths[s]) sorted[offset[lengths[s]]++] = static_cast<uint16_t>(s);
    const unsigned used_symbols = n - counts.count[0];

    uint16_t remaining[kMaxCodeLength + 1];
    std::memcpy(remaining, counts.count, sizeof remaining);
    uint32_t code = 0; // canonical code, most significant bit first
    unsigned code_len = counts.shortest;
    uint32_t sub_prefix = ~0u; // top-level index of the open sub-table
    uint32_t* sub = nullptr;
    uint32_t sub_size = 0;
    uint32_t used = top_size;
    for (unsigned i = 0; i < used_symbols; ++i) {
        const unsigned sym = sorted[i];
        const unsigned len = lengths[sym];
        code <<= len - code_len;
        code_len = len;
        unsigned extra_bits;
        const uint32_t kind_and_value = LeafEntry(sym, simple, base, extra, &extra_bits);
        const uint32_t reversed = Reverse(code, len);
        if (len <= top_bits) {
            const uint32_t leaf = Leaf(kind_and_value, len, extra_bits);
            for (uint32_t j = reversed; j < top_size; j += 1u << len) table[j] = leaf;
        } else {
            const uint32_t prefix = reversed & (top_size - 1);
            if (prefix != sub_prefix) {
                unsigned bits = len - top_bits;
                int32_t left = (1 << bits) - remaining[len];
                for (unsigned l = len; left > 0 && l < counts.longest;) {
                    ++l;
                    ++bits;
                    left = (left << 1) - remaining[l];
                }
                sub_prefix = prefix;
                sub = table + used;
                sub_size = 1u << bits;
                table[prefix] = kEntrySubTable | used << 16 | uint32_t(bits) << 8 | top_bits;
                used += sub_size;
                if (gaps) {
                    const uint32_t unused = gap(std::min(counts.longest - top_bits, bits));
                    for (uint32_t j = 0; j < sub_size; ++j) sub[j] = unused;
                }
            }
            const uint32_t leaf = Leaf(kind_and_value, len - top_bits, extra_bits);
            for (uint32_t j = reversed >> top_bits; j < sub_size; j += 1u << (len - top_bits))
                sub[j] = leaf;
        }
        --remaining[len];
        ++code;
    }
    return shape;
}

} // namespace unzip
