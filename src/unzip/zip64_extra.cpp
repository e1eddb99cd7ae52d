#include "unzip/zip64_extra.h"

#include <algorithm>
#include <limits>

#include "unzip/byte_order.h"
#include "unzip/zip_format.h"

namespace unzip {

WideningResult WidenFromExtra(const uint8_t* extra, size_t length, WideValues* values) {
    uint64_t* const wide[] = {&values->size, &values->compressed_size, &values->header_offset};
    const bool disk_marked = values->disk == kZip64DiskMark;
    size_t need = disk_marked ? 4 : 0;
    for (uint64_t* v : wide) need += *v == kZip64Mark ? 8 : 0;
    if (need == 0) return WideningResult::kDone;

    // Blocks of id, data length and data; one whose length runs past the field
    // ends the search, as nothing after it can be told apart.
    size_t at = 0;
    while (at + 4 <= length) {
        const uint32_t id = Load16(extra + at);
        const size_t block = Load16(extra + at + 2);
        const uint8_t* data = extra + at + 4;
        const size_t room = length - at - 4;
        if (id == kZip64ExtraId) {
            if (std::min(block, room) < need) return WideningResult::kShortField;
            for (uint64_t* v : wide) {
                if (*v != kZip64Mark) continue;
                *v = Load64(data);
                data += 8;
                // Offsets and sizes go into signed 64-bit arithmetic; the largest
                // value is kept free to mark an unknown size.
                if (*v >= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
                    return WideningResult::kTooLarge;
            }
            if (disk_marked) values->disk = Load32(data);
            return WideningResult::kDone;
        }
        if (block > room) break;
        at += 4 + block;
    }
    return WideningResult::kNoField;
}

const char* WideningProblem(WideningResult result) {
    switch (result) {
    case WideningResult::kDone: return "";
    case WideningResult::kNoField: return "Zip64 values are marked but missing";
    case WideningResult::kShortField: return "the Zip64 extra field is too short";
    case WideningResult::kTooLarge: return "a Zip64 size or offset is out of range";
    }
    return "";
}

} // namespace unzip
