// A member's data as the archive keeps it: deflated with libdeflate, or stored when deflating
// does not make it smaller.
#pragma once

#include <cstdint>

#include "zip_writer.h"

struct libdeflate_compressor;

namespace ozip {

// Levels of libdeflate: 0 stores every member, 12 compresses hardest.
constexpr int kFastestLevel = 0;
constexpr int kHardestLevel = 12;

struct PackedData {
    uint16_t method = 0;
    uint32_t crc = 0;
    Bytes data; // as stored
};

// One compressor per thread: libdeflate's state may not be shared by threads running at once.
class MemberCompressor {
  public:
    explicit MemberCompressor(int level);
    ~MemberCompressor();
    MemberCompressor(const MemberCompressor&) = delete;
    MemberCompressor& operator=(const MemberCompressor&) = delete;

    PackedData Pack(Bytes content) const;

  private:
    libdeflate_compressor* compressor_ = nullptr; // none at level 0
};

// The CRC-32 of the ZIP format, continued from `crc` (0 to start).
uint32_t Crc32(uint32_t crc, const void* data, size_t size);

} // namespace ozip
