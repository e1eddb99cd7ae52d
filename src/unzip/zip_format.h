// Signatures, record sizes and flag bits of the ZIP format.
#pragma once

#include <cstdint>

namespace unzip {

constexpr uint32_t kLocalSignature = 0x04034B50;      // PK 03 04
constexpr uint32_t kCentralSignature = 0x02014B50;    // PK 01 02
constexpr uint32_t kEndSignature = 0x06054B50;        // PK 05 06
constexpr uint32_t kDescriptorSignature = 0x08074B50; // PK 07 08
constexpr uint32_t kZip64EndSignature = 0x06064B50;   // PK 06 06

constexpr int64_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr int64_t kEndRecordSize = 22;

constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr uint16_t kFlagDescriptor = 1 << 3; // sizes and CRC follow the data
constexpr uint16_t kFlagUtf8 = 1 << 11;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodShrunk = 1;
constexpr uint16_t kMethodImploded = 6;
constexpr uint16_t kMethodDeflated = 8;

} // namespace unzip
