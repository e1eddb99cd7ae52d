// CRC-32 of ZIP archives (reflected polynomial EDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

namespace unzip {

// Advances a running CRC register (start with 0xFFFFFFFF, complement at the end).
uint32_t Crc32Update(uint32_t reg, const uint8_t* data, size_t n);

// The finished CRC-32 of a buffer.
inline uint32_t Crc32(const void* data, size_t n) {
    return ~Crc32Update(0xFFFFFFFFu, static_cast<const uint8_t*>(data), n);
}

} // namespace unzip
