// Signatures, record layouts and flag bits of the ZIP format, and the one place
// each fixed record is read into a struct.
#pragma once

#include <cstdint>

#include "unzip/byte_order.h"

namespace unzip {

constexpr uint32_t kLocalSignature = 0x04034B50;        // PK 03 04
constexpr uint32_t kCentralSignature = 0x02014B50;      // PK 01 02
constexpr uint32_t kEndSignature = 0x06054B50;          // PK 05 06
constexpr uint32_t kDescriptorSignature = 0x08074B50;   // PK 07 08
constexpr uint32_t kZip64EndSignature = 0x06064B50;     // PK 06 06
constexpr uint32_t kZip64LocatorSignature = 0x07064B50; // PK 06 07

constexpr int64_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr int64_t kEndRecordSize = 22;
constexpr int64_t kZip64LocatorSize = 20;
constexpr int64_t kZip64EndSize = 56; // the fixed part; extensible data may follow

// Field offsets within each fixed record; all fields are little-endian.
namespace local_field {
constexpr int kSignature = 0;
constexpr int kVersionNeeded = 4;
constexpr int kFlags = 6;
constexpr int kMethod = 8;
constexpr int kTime = 10; // DOS time, then DOS date: read as one 32-bit value, date high
constexpr int kCrc = 14;
constexpr int kCompressedSize = 18;
constexpr int kSize = 22;
constexpr int kNameLength = 26;
constexpr int kExtraLength = 28;
static_assert(kExtraLength + 2 == kLocalHeaderSize, "the name follows the fixed part");
} // namespace local_field

namespace central_field {
constexpr int kSignature = 0;
constexpr int kVersionMadeBy = 4;
constexpr int kMadeByHost = 5; // high byte of the version made by: 0 is MS-DOS
constexpr int kVersionNeeded = 6;
constexpr int kFlags = 8;
constexpr int kMethod = 10;
constexpr int kTime = 12;
constexpr int kCrc = 16;
constexpr int kCompressedSize = 20;
constexpr int kSize = 24;
constexpr int kNameLength = 28;
constexpr int kExtraLength = 30;
constexpr int kCommentLength = 32;
constexpr int kDiskStart = 34;
constexpr int kInternalAttributes = 36;
constexpr int kExternalAttributes = 38; // the low byte holds the DOS attributes
constexpr int kLocalHeaderOffset = 42;
static_assert(kLocalHeaderOffset + 4 == kCentralHeaderSize, "the name follows the fixed part");
} // namespace central_field

namespace end_field {
constexpr int kSignature = 0;
constexpr int kDisk = 4;
constexpr int kDirectoryDisk = 6;
constexpr int kDiskEntries = 8;
constexpr int kEntries = 10;
constexpr int kDirectorySize = 12;
constexpr int kDirectoryOffset = 16;
constexpr int kCommentLength = 20;
static_assert(kCommentLength + 2 == kEndRecordSize, "the comment follows the fixed part");
} // namespace end_field

// The Zip64 end locator stands right before the end record of a Zip64 archive.
namespace zip64_locator_field {
constexpr int kSignature = 0;
constexpr int kEndDisk = 4;
constexpr int kEndOffset = 8; // 64 bits: where the Zip64 end record starts
constexpr int kDisks = 16;
static_assert(kDisks + 4 == kZip64LocatorSize, "the locator has no variable part");
} // namespace zip64_locator_field

// The Zip64 end record holds the end record's counts, size and offset at full width.
namespace zip64_end_field {
constexpr int kSignature = 0;
constexpr int kRecordSize = 4; // 64 bits: the bytes after this field, extensible data included
constexpr int kVersionMadeBy = 12;
constexpr int kEntries = 32; // 64 bits each from here on
constexpr int kDirectorySize = 40;
constexpr int kDirectoryOffset = 48;
static_assert(kDirectoryOffset + 8 == kZip64EndSize, "extensible data follows the fixed part");
} // namespace zip64_end_field

// A 32-bit size or offset of all ones: the real value is in a Zip64 record.
constexpr uint32_t kZip64Mark = 0xFFFFFFFFu;
constexpr uint16_t kZip64DiskMark = 0xFFFF; // the same for a 16-bit disk number
// The extra field block that holds a header's marked values at full width.
constexpr uint16_t kZip64ExtraId = 0x0001;

constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr uint16_t kFlagDescriptor = 1 << 3; // sizes and CRC follow the data
constexpr uint16_t kFlagUtf8 = 1 << 11;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodShrunk = 1;
constexpr uint16_t kMethodImploded = 6;
constexpr uint16_t kMethodDeflated = 8;
// Not a method of an archive: what a report carries for a member whose file the question kept.
constexpr uint16_t kMethodSkipped = 9;

// The fixed part of a local header (the signature is the caller's to check).
struct LocalHeader {
    uint16_t flags;
    uint16_t method;
    uint32_t time; // DOS date (high half) and time
    uint32_t crc;
    uint32_t compressed_size;
    uint32_t size;
    uint16_t name_length;
    uint16_t extra_length;
};

// Reads the kLocalHeaderSize bytes at p.
inline LocalHeader ParseLocalHeader(const uint8_t* p) {
    using namespace local_field;
    LocalHeader h;
    h.flags = static_cast<uint16_t>(Load16(p + kFlags));
    h.method = static_cast<uint16_t>(Load16(p + kMethod));
    h.time = Load32(p + kTime);
    h.crc = Load32(p + kCrc);
    h.compressed_size = Load32(p + kCompressedSize);
    h.size = Load32(p + kSize);
    h.name_length = static_cast<uint16_t>(Load16(p + kNameLength));
    h.extra_length = static_cast<uint16_t>(Load16(p + kExtraLength));
    return h;
}

// The fixed part of a central directory entry.
struct CentralEntry {
    uint8_t made_by_host;
    uint16_t flags;
    uint16_t method;
    uint32_t time;
    uint32_t crc;
    uint32_t compressed_size;
    uint32_t size;
    uint16_t name_length;
    uint16_t extra_length;
    uint16_t comment_length;
    uint16_t disk_start;
    uint8_t dos_attributes; // low byte of the external attributes
    uint32_t header_offset; // of the member's local header
    // The whole entry: fixed part, name, extra field and comment.
    uint32_t length() const {
        return kCentralHeaderSize + name_length + extra_length + comment_length;
    }
};

// Reads the kCentralHeaderSize bytes at p.
inline CentralEntry ParseCentralEntry(const uint8_t* p) {
    using namespace central_field;
    CentralEntry e;
    e.made_by_host = p[kMadeByHost];
    e.flags = static_cast<uint16_t>(Load16(p + kFlags));
    e.method = static_cast<uint16_t>(Load16(p + kMethod));
    e.time = Load32(p + kTime);
    e.crc = Load32(p + kCrc);
    e.compressed_size = Load32(p + kCompressedSize);
    e.size = Load32(p + kSize);
    e.name_length = static_cast<uint16_t>(Load16(p + kNameLength));
    e.extra_length = static_cast<uint16_t>(Load16(p + kExtraLength));
    e.comment_length = static_cast<uint16_t>(Load16(p + kCommentLength));
    e.disk_start = static_cast<uint16_t>(Load16(p + kDiskStart));
    e.dos_attributes = p[kExternalAttributes];
    e.header_offset = Load32(p + kLocalHeaderOffset);
    return e;
}

// The fixed part of the end of central directory record (and the fields the
// Zip64 end record widens). Multi-disk fields are not kept: the engine reads
// single-file archives only.
struct EndRecord {
    uint64_t entries; // 0xFFFF in the end record: more than the field holds (Zip64)
    uint64_t directory_size;
    uint64_t directory_offset;
    uint16_t comment_length;
};

// Reads the kEndRecordSize bytes at p.
inline EndRecord ParseEndRecord(const uint8_t* p) {
    using namespace end_field;
    EndRecord r;
    r.entries = static_cast<uint16_t>(Load16(p + kEntries));
    r.directory_size = Load32(p + kDirectorySize);
    r.directory_offset = Load32(p + kDirectoryOffset);
    r.comment_length = static_cast<uint16_t>(Load16(p + kCommentLength));
    return r;
}

// Reads the kZip64EndSize bytes at p; the comment length stays the end record's.
inline EndRecord ParseZip64End(const uint8_t* p, uint16_t comment_length) {
    using namespace zip64_end_field;
    EndRecord r;
    r.entries = Load64(p + kEntries);
    r.directory_size = Load64(p + kDirectorySize);
    r.directory_offset = Load64(p + kDirectoryOffset);
    r.comment_length = comment_length;
    return r;
}

} // namespace unzip

// What a writer of archives needs beyond the reader's constants above.
namespace unzip {

constexpr uint16_t kVersionDeflate = 20; // needed to extract deflated members and folders
constexpr uint16_t kVersionZip64 = 45;   // needed to read Zip64 records
constexpr uint8_t kDosFolderAttribute = 0x10;

} // namespace unzip
