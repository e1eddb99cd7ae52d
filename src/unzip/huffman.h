// Checking of canonical Huffman code lengths, shared by every table builder.
#pragma once

#include <cstdint>

namespace unzip {

// Outcome of a code-length check, with the numbers the table builders return.
enum CodeShape : int {
    CodeComplete = 0,   // the code fills its code space (or is empty, or one code of length 1)
    CodeIncomplete = 1, // part of the code space is unused
    CodeInvalid = 2,    // over-subscribed, or a length above 16
    CodeNoMemory = 3,   // (builders only) a table could not be allocated
};

constexpr unsigned kMaxCodeLength = 16;

struct CodeLengthCounts {
    uint16_t count[kMaxCodeLength + 1] = {}; // codes of each length (count[0] = unused symbols)
    unsigned shortest = 0;                   // shortest non-zero length, 0 when none
    unsigned longest = 0;                    // longest length
};

// Counts the lengths of n symbols and classifies the code they describe.
CodeShape CheckCodeLengths(const uint16_t* lengths, unsigned n, CodeLengthCounts* counts);

// Reverses the low n bits of code: codes are sent most significant bit first,
// while tables are indexed by the bits as they arrive, least significant first.
inline uint32_t ReverseBits(uint32_t code, unsigned n) {
    uint32_t r = 0;
    for (unsigned i = 0; i < n; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
}

} // namespace unzip
