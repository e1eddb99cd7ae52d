// Little-endian field access for ZIP headers.
#pragma once

#include <cstdint>

namespace unzip {

inline uint32_t Load16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

inline uint32_t Load32(const uint8_t* p) {
    return Load16(p) | Load16(p + 2) << 16;
}

inline uint64_t Load64(const uint8_t* p) {
    return Load32(p) | static_cast<uint64_t>(Load32(p + 4)) << 32;
}

} // namespace unzip
