// The Zip64 extended information extra field: a header whose size, compressed
// size, local header offset or disk number holds the Zip64 mark keeps the real
// value there, at full width, in that order, and only the marked ones.
#pragma once

#include <cstddef>
#include <cstdint>

namespace unzip {

// The values a header may defer to its Zip64 field, as the header gives them.
// A local header has no offset or disk: those stay 0, which is no mark.
struct WideValues {
    uint64_t size = 0;
    uint64_t compressed_size = 0;
    uint64_t header_offset = 0;
    uint32_t disk = 0;
};

enum class WideningResult {
    kDone,       // every marked value replaced (or none was marked)
    kNoField,    // values are marked, but the extra field holds no Zip64 block
    kShortField, // the Zip64 block ends before the last marked value
    kTooLarge,   // a value beyond what a signed 64-bit offset holds
};

// Replaces each marked value by the one in the `length` bytes of extra field at
// `extra`.
WideningResult WidenFromExtra(const uint8_t* extra, size_t length, WideValues* values);

// What went wrong, as the end of a diagnostic sentence ("" for kDone).
const char* WideningProblem(WideningResult result);

} // namespace unzip
