#include "unzip/huffman.h"

namespace unzip {

CodeShape CheckCodeLengths(const uint16_t* lengths, unsigned n, CodeLengthCounts* counts) {
    *counts = CodeLengthCounts();
    for (unsigned i = 0; i < n; ++i) {
        if (lengths[i] > kMaxCodeLength) return CodeInvalid;
        ++counts->count[lengths[i]];
    }
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        if (counts->count[len]) {
            if (!counts->shortest) counts->shortest = len;
            counts->longest = len;
        }
    if (counts->longest == 0) return CodeComplete; // no codes at all: an empty table
    // Walk the code space length by length: each length doubles the room left,
    // and its codes take their share of it.
    int32_t left = 1;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        left <<= 1;
        left -= counts->count[len];
        if (left < 0) return CodeInvalid;
    }
    // A lone code of length 1 leaves half the space unused but is taken as complete:
    // encoders emit it for a distance code with one symbol.
    return left > 0 && counts->longest != 1 ? CodeIncomplete : CodeComplete;
}

} // namespace unzip
