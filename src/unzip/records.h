// The records the engine hands to its callers: the report record passed to
// every report callback, what the directory says about a member and the state
// of one central-directory walk.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace unzip {

// Marks a size the local header does not give (flag bit 3 without a directory).
// No member's size reaches it: Zip64 values from it on are refused.
constexpr int64_t UnknownSize = INT64_MAX;

// What a report callback sees. Sizes are 64-bit, as Zip64 fields fill them;
// totals that would not fit are held at INT64_MAX.
struct ReportRecord {
    std::string name;  // archive path (archive-wide reports) or member output path
    uint32_t time = 0; // DOS date (high half) and time; 0 at the start, all ones at the end
    int64_t size = 0;  // uncompressed size, or a total
    int64_t compressed_size = 0;
    uint32_t attributes = 0; // DOS attribute byte; 0 at the start, all ones at the end
    uint16_t method = 0;     // compression method; 9 for a skipped member
    uint8_t ratio = 0;       // 100 - 100 * compressed / size, wrapped into one byte
    int32_t status = 0;      // a ReportStatus
};

// Called for every report; cannot stop the extraction.
using ReportCallback = std::function<void(int32_t code, ReportRecord& record)>;
// Asked before an existing file is overwritten; true means overwrite.
using QuestionCallback = std::function<bool(ReportRecord& record)>;

class Archive;

// What the central directory says about one member.
struct MemberInfo {
    uint32_t time = 0;
    int64_t size = 0;
    int64_t compressed_size = 0;
    int64_t header_offset = 0;
    std::string name; // decoded to UTF-8, folders joined by the platform separator
    uint16_t method = 0;
    uint8_t attributes = 0;   // DOS attributes when made on MS-DOS, else 0
    uint16_t flags = 0;       // general-purpose flags as the directory gives them
    uint32_t crc = 0;         // CRC-32 as the directory gives it
    std::string raw_name;     // the name bytes as stored
    uint16_t name_length = 0; // length of the stored name field
};

// One directory walk and the member it last read.
struct MemberEntry : MemberInfo {
    // The walked archive, open while the walk lasts, and the index of the next
    // entry in its directory.
    std::shared_ptr<Archive> archive;
    size_t next_entry = 0;

    bool walking() const { return archive != nullptr; }
};

} // namespace unzip
