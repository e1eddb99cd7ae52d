#include "zip_writer.h"

#include <filesystem>
#include <stdexcept>

#include "unzip/zip_format.h"

namespace ozip {
namespace {

using unzip::kZip64Mark;

// Appends the low `width` bytes of `value`, least significant first.
template <int width>
void Put(Bytes& out, uint64_t value) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
constexpr auto Put16 = Put<2>;
constexpr auto Put32 = Put<4>;
constexpr auto Put64 = Put<8>;

// A value for a 32-bit field: the value itself, or the mark that sends the reader to the Zip64
// extra field (all ones is the mark, so it cannot stand for itself).
uint32_t Field32(uint64_t value) {
    return value >= kZip64Mark ? kZip64Mark : static_cast<uint32_t>(value);
}

// The Zip64 extra field holding `values`; empty for none.
Bytes Zip64Extra(const std::vector<uint64_t>& values) {
    if (values.empty()) return Bytes();
    Bytes extra;
    Put16(extra, unzip::kZip64ExtraId);
    Put16(extra, static_cast<uint32_t>(values.size() * 8));
    for (uint64_t value : values) Put64(extra, value);
    return extra;
}

uint16_t Flags(const MemberRecord& member) {
    return member.utf8 ? unzip::kFlagUtf8 : 0;
}

uint16_t VersionNeeded(const Bytes& zip64_extra) {
    return zip64_extra.empty() ? unzip::kVersionDeflate : unzip::kVersionZip64;
}

void PutName(Bytes& out, const MemberRecord& member, const Bytes& extra) {
    out.insert(out.end(), member.name.begin(), member.name.end());
    out.insert(out.end(), extra.begin(), extra.end());
}

} // namespace

Bytes LocalHeaderBytes(const MemberRecord& member) {
    // A local header that needs Zip64 carries both sizes in it.
    const bool large = member.size >= kZip64Mark || member.compressed_size >= kZip64Mark;
    const Bytes extra =
        Zip64Extra(large ? std::vector<uint64_t>{member.size, member.compressed_size}
                         : std::vector<uint64_t>());
    Bytes out;
    Put32(out, unzip::kLocalSignature);
    Put16(out, VersionNeeded(extra));
    Put16(out, Flags(member));
    Put16(out, member.method);
    Put32(out, member.dos_time);
    Put32(out, member.crc);
    Put32(out, large ? kZip64Mark : static_cast<uint32_t>(member.compressed_size));
    Put32(out, large ? kZip64Mark : static_cast<uint32_t>(member.size));
    Put16(out, static_cast<uint32_t>(member.name.size()));
    Put16(out, static_cast<uint32_t>(extra.size()));
    PutName(out, member, extra);
    return out;
}

Bytes CentralEntryBytes(const MemberRecord& member) {
    // Only the values whose fields carry the mark, in the order the format fixes.
    std::vector<uint64_t> large;
    for (uint64_t value : {member.size, member.compressed_size, member.header_offset})
        if (value >= kZip64Mark) large.push_back(value);
    const Bytes extra = Zip64Extra(large);
    Bytes out;
    Put32(out, unzip::kCentralSignature);
    Put16(out, VersionNeeded(extra)); // made by MS-DOS (0), so the attributes are DOS ones
    Put16(out, VersionNeeded(extra));
    Put16(out, Flags(member));
    Put16(out, member.method);
    Put32(out, member.dos_time);
    Put32(out, member.crc);
    Put32(out, Field32(member.compressed_size));
    Put32(out, Field32(member.size));
    Put16(out, static_cast<uint32_t>(member.name.size()));
    Put16(out, static_cast<uint32_t>(extra.size()));
    Put16(out, 0); // comment
    Put16(out, 0); // disk
    Put16(out, 0); // internal attributes
    Put32(out, member.folder ? unzip::kDosFolderAttribute : 0);
    Put32(out, Field32(member.header_offset));
    PutName(out, member, extra);
    return out;
}

Bytes EndRecordsBytes(uint64_t entries, uint64_t directory_offset, uint64_t directory_size,
                      const std::string& comment) {
    constexpr uint64_t kMostEntries = 0xFFFF; // all ones: the count is in the Zip64 record
    Bytes out;
    if (entries >= kMostEntries || directory_offset >= kZip64Mark || directory_size >= kZip64Mark) {
        Put32(out, unzip::kZip64EndSignature);
        Put64(out, unzip::kZip64EndSize - 12); // the size counts what follows it
        Put16(out, unzip::kVersionZip64);
        Put16(out, unzip::kVersionZip64);
        Put32(out, 0); // this disk
        Put32(out, 0); // the directory's disk
        Put64(out, entries);
        Put64(out, entries);
        Put64(out, directory_size);
        Put64(out, directory_offset);
        Put32(out, unzip::kZip64LocatorSignature);
        Put32(out, 0);
        Put64(out, directory_offset + directory_size);
        Put32(out, 1); // disks
    }
    Put32(out, unzip::kEndSignature);
    Put16(out, 0);
    Put16(out, 0);
    const uint32_t count = static_cast<uint32_t>(entries < kMostEntries ? entries : kMostEntries);
    Put16(out, count);
    Put16(out, count);
    Put32(out, Field32(directory_size));
    Put32(out, Field32(directory_offset));
    Put16(out, static_cast<uint32_t>(comment.size()));
    out.insert(out.end(), comment.begin(), comment.end());
    return out;
}

ZipWriter::ZipWriter(const std::string& path) : path_(path), buffer_(1 << 20) {
    out_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    out_.open(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    if (!out_) throw std::runtime_error("cannot create " + path);
}

void ZipWriter::Add(MemberRecord member, const Bytes& data) {
    member.compressed_size = data.size();
    Begin(std::move(member));
    Write(data);
}

void ZipWriter::Begin(MemberRecord member) {
    member.header_offset = offset_;
    Write(LocalHeaderBytes(member));
    members_.push_back(std::move(member));
}

void ZipWriter::Append(const void* data, size_t size) {
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out_) throw std::runtime_error("cannot write " + path_);
    offset_ += size;
}

void ZipWriter::Finish(const std::string& comment) {
    const uint64_t directory_offset = offset_;
    for (const MemberRecord& member : members_) Write(CentralEntryBytes(member));
    Write(EndRecordsBytes(members_.size(), directory_offset, offset_ - directory_offset, comment));
    out_.close();
    if (!out_) throw std::runtime_error("cannot write " + path_);
}

} // namespace ozip
