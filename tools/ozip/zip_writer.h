// Writing a ZIP archive member by member, front to back: a local header before each member's
// data, the central directory and the end records after the last. Zip64 records are written
// only where a size, an offset or the member count does not fit the classic fields.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace ozip {

using Bytes = std::vector<uint8_t>;

// One member as its headers describe it.
struct MemberRecord {
    std::string name;  // as stored: "/" between levels, a folder's ends in "/"
    bool utf8 = false; // the name holds characters beyond ASCII, stored as UTF-8 (flag bit 11)
    uint16_t method = 0;
    uint32_t dos_time = 0; // DOS date (high half) and time
    uint32_t crc = 0;
    uint64_t compressed_size = 0;
    uint64_t size = 0;
    uint64_t header_offset = 0; // where the local header starts
    bool folder = false;
};

// The bytes of the records, with Zip64 fields where the classic ones cannot hold the values.
Bytes LocalHeaderBytes(const MemberRecord& member);
Bytes CentralEntryBytes(const MemberRecord& member);
// The end of the archive: the Zip64 end record and its locator when needed, then the end
// record with the comment.
Bytes EndRecordsBytes(uint64_t entries, uint64_t directory_offset, uint64_t directory_size,
                      const std::string& comment);

// Appends members to a new file; throws std::runtime_error when the file cannot be written.
class ZipWriter {
  public:
    explicit ZipWriter(const std::string& path);

    // A member whose data is `data` (compressed with `member.method`); the offset is filled in.
    void Add(MemberRecord member, const Bytes& data);
    // A member whose data follows in pieces through Append, `member.compressed_size` bytes.
    void Begin(MemberRecord member);
    void Append(const void* data, size_t size);
    // Writes the central directory and the end records and closes the file.
    void Finish(const std::string& comment);

  private:
    void Write(const Bytes& bytes) { Append(bytes.data(), bytes.size()); }

    std::string path_;
    std::ofstream out_;
    std::vector<char> buffer_;
    uint64_t offset_ = 0;
    std::vector<MemberRecord> members_;
};

} // namespace ozip
