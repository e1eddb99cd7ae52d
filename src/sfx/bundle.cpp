#include "sfx/bundle.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <set>

#include "unzip/byte_order.h"
#include "unzip/crc32.h"
#include "unzip/member_name.h"

namespace sfx {
namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'O', 'S', 'F', 'X', '2'};
constexpr size_t kLayoutAt = sizeof(kMagic) - 1; // the character that tells the layouts apart
// The trailer's fields up to its own CRC: data offset, index length, count, index CRC.
constexpr size_t kSealedSize = 8 + 4 + 4 + 4;
constexpr size_t kMagicAt = kSealedSize + 4;
constexpr size_t kTrailerSize = kMagicAt + sizeof(kMagic);
static_assert(kTrailerSize == 32);
// A package is a handful of files; anything far beyond is damage, not a package.
constexpr uint32_t kMaxFiles = 64;
constexpr uint32_t kMaxIndexSize = kMaxFiles * (2 + 255 + 8 + 4);
constexpr size_t kChunk = size_t{1} << 20;

uint64_t Load64(const uint8_t* p) {
    return unzip::Load32(p) | uint64_t{unzip::Load32(p + 4)} << 32;
}

void Store(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

bool ReadExactly(unzip::InputFile& in, int64_t offset, void* buffer, size_t n) {
    return in.ReadAt(offset, buffer, n) == static_cast<long>(n);
}

// One name in one folder that Windows makes as it is written: printable ASCII (so that folding
// case here folds it as Windows does), none of the characters Windows refuses, no dot or blank
// at the end (Windows drops them: "setup.ini." is "setup.ini"), no "~" (it could spell the
// short name Windows gave another file), no device.
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > 255 || name.back() == '.' || name.back() == ' ') return false;
    return !unzip::IsDeviceName(name) && std::all_of(name.begin(), name.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && std::strchr("\\/:*?\"<>|~", c) == nullptr;
    });
}

// Adds `name` to the names a folder takes; false when it is no plain file name or Windows
// would take it for one of them.
bool TakeName(const std::string& name, std::set<std::string>& taken) {
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return IsPlainFileName(name) && taken.insert(folded).second;
}

} // namespace

BundleStatus ReadBundleIndex(unzip::InputFile& program, std::vector<BundledFile>& files) {
    files.clear();
    const int64_t size = program.Size();
    if (size < 0) return BundleStatus::kReadError;
    if (static_cast<uint64_t>(size) < kTrailerSize) return BundleStatus::kNoBundle;
    uint8_t trailer[kTrailerSize];
    if (!ReadExactly(program, size - static_cast<int64_t>(kTrailerSize), trailer, kTrailerSize))
        return BundleStatus::kReadError;
    if (std::memcmp(trailer + kMagicAt, kMagic, kLayoutAt) != 0) return BundleStatus::kNoBundle;
    if (trailer[kMagicAt + kLayoutAt] != kMagic[kLayoutAt] ||
        unzip::Load32(trailer + kSealedSize) != unzip::Crc32(trailer, kSealedSize))
        return BundleStatus::kDamaged;

    const uint64_t data_start = Load64(trailer);
    const uint32_t index_size = unzip::Load32(trailer + 8);
    const uint32_t count = unzip::Load32(trailer + 12);
    const uint32_t index_crc = unzip::Load32(trailer + 16);
    const uint64_t index_end = static_cast<uint64_t>(size) - kTrailerSize;
    if (count == 0 || count > kMaxFiles || index_size > kMaxIndexSize || index_size > index_end ||
        data_start > index_end - index_size)
        return BundleStatus::kDamaged;
    const uint64_t index_start = index_end - index_size;

    std::vector<uint8_t> index(index_size);
    if (!ReadExactly(program, static_cast<int64_t>(index_start), index.data(), index.size()))
        return BundleStatus::kReadError;
    if (unzip::Crc32(index.data(), index.size()) != index_crc) return BundleStatus::kDamaged;
    std::vector<BundledFile> found; // handed out only when all of it holds
    std::set<std::string> taken;
    size_t at = 0;
    uint64_t offset = data_start;
    for (uint32_t i = 0; i < count; ++i) {
        if (index.size() - at < 2) return BundleStatus::kDamaged;
        const size_t name_size = unzip::Load16(&index[at]);
        at += 2;
        if (index.size() - at < name_size + 12) return BundleStatus::kDamaged;
        BundledFile file;
        file.name.assign(reinterpret_cast<const char*>(&index[at]), name_size);
        at += name_size;
        file.size = Load64(&index[at]);
        file.crc = unzip::Load32(&index[at + 8]);
        at += 12;
        if (!TakeName(file.name, taken) || file.size > index_start - offset)
            return BundleStatus::kDamaged;
        file.offset = offset;
        offset += file.size;
        found.push_back(std::move(file));
    }
    // The files fill the space between the stub and the index exactly.
    if (at != index.size() || offset != index_start) return BundleStatus::kDamaged;
    files = std::move(found);
    return BundleStatus::kOk;
}

BundleStatus UnpackBundle(unzip::InputFile& program, const std::vector<BundledFile>& files,
                          unzip::FileSystem& fs, const std::string& folder,
                          std::string* failed_name) {
    std::vector<uint8_t> buffer(kChunk);
    for (const BundledFile& file : files) {
        if (failed_name) *failed_name = file.name;
        unzip::CreateStatus created;
        std::unique_ptr<unzip::OutputFile> out =
            fs.CreateBeside(folder + unzip::kPathSeparator + file.name, &created);
        if (!out) return BundleStatus::kWriteError;
        uint32_t crc = 0xFFFFFFFFu;
        for (uint64_t done = 0; done < file.size;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, file.size - done));
            if (!ReadExactly(program, static_cast<int64_t>(file.offset + done), buffer.data(), n))
                return BundleStatus::kReadError;
            crc = unzip::Crc32Update(crc, buffer.data(), n);
            if (!out->Write(buffer.data(), n)) return BundleStatus::kWriteError;
            done += n;
        }
        if (~crc != file.crc) return BundleStatus::kCrcError;
        if (!out->Commit()) return BundleStatus::kWriteError;
    }
    if (failed_name) failed_name->clear();
    return BundleStatus::kOk;
}

std::string BundleTail(const std::vector<BundledFile>& files, uint64_t data_start) {
    std::string index;
    for (const BundledFile& file : files) {
        Store(index, file.name.size(), 2);
        index += file.name;
        Store(index, file.size, 8);
        Store(index, file.crc, 4);
    }
    std::string trailer;
    Store(trailer, data_start, 8);
    Store(trailer, index.size(), 4);
    Store(trailer, files.size(), 4);
    Store(trailer, unzip::Crc32(index.data(), index.size()), 4);
    Store(trailer, unzip::Crc32(trailer.data(), trailer.size()), 4);
    trailer.append(kMagic, sizeof(kMagic));
    return index + trailer;
}

std::string WriteBundle(unzip::FileSystem& fs, const std::string& stub_path,
                        const std::vector<FileToBundle>& files, const std::string& output) {
    if (files.empty() || files.size() > kMaxFiles) return "a package of 1 to 64 files";
    std::set<std::string> taken;
    for (const FileToBundle& file : files)
        if (!TakeName(file.name, taken))
            return "the package cannot hold a file named \"" + file.name +
                   "\": Windows would not make that name, or would take it for another's";
    unzip::CreateStatus created;
    std::unique_ptr<unzip::OutputFile> out = fs.CreateBeside(output, &created);
    if (!out) return "cannot create " + output;
    std::vector<uint8_t> buffer(kChunk);
    // Copies a whole file to the output; its CRC and size come back for the index.
    auto append = [&](const std::string& path, uint32_t& crc, uint64_t& size) -> std::string {
        std::unique_ptr<unzip::InputFile> in = fs.OpenRead(path);
        if (!in) return "cannot open " + path;
        const int64_t total = in->Size();
        if (total < 0) return "cannot read " + path;
        uint32_t reg = 0xFFFFFFFFu;
        for (int64_t done = 0; done < total;) {
            const size_t n = static_cast<size_t>(std::min<int64_t>(kChunk, total - done));
            if (!ReadExactly(*in, done, buffer.data(), n)) return "cannot read " + path;
            reg = unzip::Crc32Update(reg, buffer.data(), n);
            if (!out->Write(buffer.data(), n)) return "cannot write " + output;
            done += static_cast<int64_t>(n);
        }
        crc = ~reg;
        size = static_cast<uint64_t>(total);
        return {};
    };

    uint32_t stub_crc = 0;
    uint64_t data_start = 0;
    if (std::string error = append(stub_path, stub_crc, data_start); !error.empty()) return error;
    std::vector<BundledFile> bundled;
    for (const FileToBundle& file : files) {
        BundledFile entry;
        entry.name = file.name;
        if (std::string error = append(file.path, entry.crc, entry.size); !error.empty())
            return error;
        bundled.push_back(std::move(entry));
    }
    const std::string tail = BundleTail(bundled, data_start);
    if (!out->Write(tail.data(), tail.size()) || !out->Commit()) return "cannot write " + output;
    return {};
}

} // namespace sfx
