// The archive object: opening, the end record search, the one pass over the
// central directory with its checks, and the reads of local headers.
#include "unzip/archive.h"

#include <algorithm>
#include <cstring>

#include "unzip/byte_order.h"
#include "unzip/zip64_extra.h"
#include "unzip/zip_format.h"

namespace unzip {
namespace {

// The end record is searched backwards in 4,096-byte blocks that overlap by
// the record's fixed 22 bytes, so a signature is never split between blocks.
constexpr int64_t kSearchBlock = 4096;
// A directory of this many bytes or more is read through a window of this size.
constexpr uint32_t kLargeDirectory = 64000;

struct FoundEnd {
    int64_t position = -1; // archive offset of the PK 05 06 signature
    EndRecord record;
};

bool ReadAll(InputFile& f, int64_t offset, uint8_t* buffer, size_t n) {
    return f.ReadAt(offset, buffer, n) == static_cast<long>(n);
}

// Looks for a record whose comment reaches exactly to the end of the file, so a
// PK 05 06 that merely lies inside a comment is not taken for the record. Such
// a record lies within the last 22 + 65,535 bytes.
int32_t FindExactEndRecord(InputFile& f, int64_t size, FoundEnd* found) {
    int64_t span = std::min<int64_t>(size, kEndRecordSize + 0xFFFF);
    std::vector<uint8_t> tail(static_cast<size_t>(span));
    if (!ReadAll(f, size - span, tail.data(), tail.size())) return ResultArchiveFileError;
    for (int64_t i = span - kEndRecordSize; i >= 0; --i) {
        const uint8_t* p = tail.data() + i;
        if (Load32(p) != kEndSignature) continue;
        int64_t position = size - span + i;
        const EndRecord record = ParseEndRecord(p);
        if (position + kEndRecordSize + record.comment_length != size) continue;
        if (record.directory_offset > static_cast<uint64_t>(position) &&
            record.directory_offset != kZip64Mark)
            continue; // its directory would start after it: not a real record
        found->position = position;
        found->record = record;
        return ResultOk;
    }
    return ResultNoMoreMembers;
}

// Archives with bytes after the end record: the signature nearest the end wins.
int32_t FindNearestEndRecord(InputFile& f, int64_t size, FoundEnd* found) {
    int64_t block = std::min(size, kSearchBlock);
    std::vector<uint8_t> buffer(static_cast<size_t>(block));
    int64_t start = size - block;
    for (;;) {
        if (!ReadAll(f, start, buffer.data(), buffer.size())) return ResultArchiveFileError;
        for (int64_t i = block - kEndRecordSize; i >= 0; --i) {
            if (Load32(buffer.data() + i) != kEndSignature) continue;
            found->position = start + i;
            found->record = ParseEndRecord(buffer.data() + i);
            return ResultOk;
        }
        if (start == 0) return ResultArchiveFileError;
        start = std::max<int64_t>(0, start - (block - kEndRecordSize));
    }
}

// The Zip64 end record, through its locator right before the end record at
// `end`: true, with *record and *position, when both are there and sound.
bool ReadZip64End(InputFile& f, int64_t end, uint16_t comment_length, EndRecord* record,
                  int64_t* position) {
    if (end < kZip64LocatorSize + kZip64EndSize) return false;
    uint8_t locator[kZip64LocatorSize];
    if (!ReadAll(f, end - kZip64LocatorSize, locator, sizeof locator) ||
        Load32(locator) != kZip64LocatorSignature)
        return false;
    // The record lies whole before its locator.
    const uint64_t at = Load64(locator + zip64_locator_field::kEndOffset);
    if (at > static_cast<uint64_t>(end - kZip64LocatorSize - kZip64EndSize)) return false;
    uint8_t fixed[kZip64EndSize];
    if (!ReadAll(f, static_cast<int64_t>(at), fixed, sizeof fixed) ||
        Load32(fixed) != kZip64EndSignature ||
        Load64(fixed + zip64_end_field::kRecordSize) <
            static_cast<uint64_t>(kZip64EndSize - zip64_end_field::kVersionMadeBy))
        return false;
    *record = ParseZip64End(fixed, comment_length);
    *position = static_cast<int64_t>(at);
    return true;
}

// Whether every field of the end record that is not a Zip64 mark says what the
// Zip64 end record says: two readers must not find two different directories.
bool Zip64EndAgrees(const EndRecord& end, const EndRecord& wide) {
    return (end.entries == 0xFFFF || end.entries == (wide.entries & 0xFFFF)) &&
           (end.directory_size == kZip64Mark || end.directory_size == wide.directory_size) &&
           (end.directory_offset == kZip64Mark || end.directory_offset == wide.directory_offset);
}

// Appends a stored name to the pool: names stop at a NUL as they would in any
// C string. An empty name may come without bytes (name null).
void AddName(Directory& directory, DirectoryEntry& entry, const uint8_t* name, size_t length) {
    const void* nul = length ? std::memchr(name, 0, length) : nullptr;
    if (nul) length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - name);
    entry.name_at = static_cast<uint32_t>(directory.names.size());
    entry.name_size = static_cast<uint16_t>(length);
    if (length) directory.names.append(reinterpret_cast<const char*>(name), length);
}

// Where the end records put the central directory.
struct DirectoryPlace {
    int64_t start = 0;  // archive offset of the first entry
    int64_t length = 0; // bytes from there to the record after it, that record's signature included
    int64_t end = -1;   // where the declared size ends it; -1: no size, it ends at the end record
    uint64_t entries = 0; // as the end record declares them
    bool zip64 = false;
};

// Ends the directory with a failure; false, for the reader to return.
bool EndWith(Directory& d, int32_t code, std::string sentence) {
    d.end = code;
    d.end_sentence = std::move(sentence);
    return false;
}

// A directory that cannot be read whole must not pass for a shorter one:
// the members after the damage would be silently missing.
bool EndDamaged(Directory& d, const std::string& why) {
    return EndWith(d, ResultArchiveFileError, "the central directory is damaged: " + why);
}

// Finds the end record, and the Zip64 end record where there is one, and where they put the
// directory; false, with the failure in d, when they cannot be trusted.
bool LocateDirectory(InputFile& f, int64_t size, Directory& d, DirectoryPlace* place) {
    if (size <= 0) return EndWith(d, ResultArchiveFileError, "the archive is empty");
    FoundEnd end;
    int32_t rc = size >= kEndRecordSize ? FindExactEndRecord(f, size, &end) : ResultNoMoreMembers;
    if (rc == ResultNoMoreMembers) rc = FindNearestEndRecord(f, size, &end);
    if (rc != ResultOk)
        return EndWith(d, ResultArchiveFileError, "no end of central directory record");

    // A Zip64 end record, where there is one, gives the count, size and offset at
    // full width, and the directory ends where it starts. Without one, a size of
    // all ones is a mark the walk passes over: it ends at the end record.
    EndRecord record = end.record;
    int64_t limit = end.position; // where the record after the directory starts
    place->zip64 = ReadZip64End(f, end.position, end.record.comment_length, &record, &limit);
    if (place->zip64 && !Zip64EndAgrees(end.record, record))
        return EndWith(d, ResultArchiveFileError,
                       "the Zip64 end record contradicts the end record");
    if (!place->zip64 && end.record.directory_offset == kZip64Mark)
        return EndWith(d, ResultArchiveFileError, "the Zip64 end record is missing");
    place->entries = record.entries;
    d.declared_empty = record.entries == 0 && record.directory_size == 0;
    if (end.position < kCentralHeaderSize)
        return EndWith(d, ResultNoDirectory, "the end record leaves no room for a directory");

    if (record.directory_offset > static_cast<uint64_t>(limit))
        return EndWith(d, ResultArchiveFileError, "the directory offset lies past the end record");
    place->start = static_cast<int64_t>(record.directory_offset);
    place->length = limit - place->start + 4; // includes the next record's signature
    const bool sized = place->zip64 || record.directory_size != kZip64Mark;
    if (sized && record.directory_size > static_cast<uint64_t>(limit - place->start))
        return EndWith(d, ResultArchiveFileError,
                       "the directory's size reaches past the end record");
    place->end = sized ? place->start + static_cast<int64_t>(record.directory_size) : -1;
    return true;
}

// The directory's bytes as its entries are read: all of them in one buffer, or from
// kLargeDirectory bytes on, a window of that size that is refilled as the entries are read.
class DirectoryBytes {
  public:
    DirectoryBytes(InputFile& f, const DirectoryPlace& place)
        : f_(f),
          windowed_(place.length >= kLargeDirectory),
          buffer_(windowed_ ? kLargeDirectory : static_cast<uint32_t>(place.length)),
          size_(static_cast<uint32_t>(buffer_.size())),
          origin_(place.start) {}

    bool windowed() const { return windowed_; }
    bool Load() { return ReadAll(f_, origin_, buffer_.data(), size_); }
    int64_t position() const { return origin_ + next_; } // archive offset of the next entry
    const uint8_t* next() const { return buffer_.data() + next_; }
    uint32_t remaining() const { return size_ - next_; }

    // In a window that does not hold the next entry whole, moves the unread rest to the front
    // and refills behind it; false when the read fails.
    bool Refill() {
        if (!windowed_ || (remaining() >= kCentralHeaderSize &&
                           remaining() >= ParseCentralEntry(next()).length()))
            return true;
        const uint32_t keep = remaining();
        std::memmove(buffer_.data(), next(), keep);
        origin_ += next_;
        next_ = 0;
        const long got = f_.ReadAt(origin_ + keep, buffer_.data() + keep, kLargeDirectory - keep);
        if (got < 0) return false;
        size_ = keep + static_cast<uint32_t>(got);
        return true;
    }

    // Passes the next entry, `length` bytes; one longer than the window leaves it empty, to be
    // refilled from after the entry.
    void Pass(uint32_t length) {
        if (remaining() >= length) {
            next_ += length;
            return;
        }
        origin_ += next_ + length;
        next_ = 0;
        size_ = 0;
    }

  private:
    InputFile& f_;
    const bool windowed_;
    std::vector<uint8_t> buffer_;
    uint32_t size_;     // valid bytes in the buffer
    uint32_t next_ = 0; // offset in the buffer of the next entry
    int64_t origin_;    // archive offset of the buffer's first byte
};

// Appends the entry `central`, whose name and extra field lie at `name`, with its values
// widened by its Zip64 extra field.
WideningResult AddEntry(Directory& d, const CentralEntry& central, const uint8_t* name) {
    WideValues wide;
    wide.size = central.size;
    wide.compressed_size = central.compressed_size;
    wide.header_offset = central.header_offset;
    wide.disk = central.disk_start;
    const uint8_t* extra = central.extra_length ? name + central.name_length : nullptr;
    const WideningResult widened = WidenFromExtra(extra, central.extra_length, &wide);
    if (widened != WideningResult::kDone) return widened;
    DirectoryEntry entry;
    AddName(d, entry, name, central.name_length);
    entry.time = central.time;
    entry.crc = central.crc;
    entry.compressed_size = static_cast<int64_t>(wide.compressed_size);
    entry.size = static_cast<int64_t>(wide.size);
    entry.header_offset = static_cast<int64_t>(wide.header_offset);
    entry.name_length = central.name_length;
    entry.flags = central.flags;
    entry.method = central.method;
    entry.attributes = central.made_by_host == 0 ? central.dos_attributes : 0;
    d.entries.push_back(entry);
    return WideningResult::kDone;
}

// Reads the entries to the directory's end; false, with the failure in d, at damage.
bool ReadEntries(InputFile& f, const DirectoryPlace& place, Directory& d) {
    DirectoryBytes bytes(f, place);
    d.windowed = bytes.windowed();
    if (!bytes.Load())
        return EndWith(d, ResultArchiveFileError, "the central directory cannot be read");
    d.entries.reserve(static_cast<size_t>(std::min<uint64_t>(
        place.entries, static_cast<uint64_t>(place.length / kCentralHeaderSize))));
    std::vector<uint8_t> long_entry; // a name and extra field read straight from the archive
    for (;;) {
        const int64_t position = bytes.position();
        if (position == place.end) return true;
        if (!bytes.Refill()) return EndDamaged(d, "it cannot be read");
        if (place.end < 0 && bytes.remaining() >= 4) {
            // No size to go by: the walk ends at the (Zip64) end record.
            const uint32_t signature = Load32(bytes.next());
            if (signature == kEndSignature || signature == kZip64EndSignature) return true;
        }
        if (bytes.remaining() < kCentralHeaderSize) return EndDamaged(d, "an entry is cut short");
        const uint8_t* p = bytes.next();
        if (Load32(p) != kCentralSignature) return EndDamaged(d, "an entry has no signature");

        const CentralEntry central = ParseCentralEntry(p);
        const uint32_t entry_length = central.length();
        if (place.end >= 0 && position + entry_length > place.end)
            return EndDamaged(d, "an entry runs past the directory's end");
        const uint8_t* name;
        if (bytes.remaining() >= entry_length) {
            name = p + kCentralHeaderSize;
        } else if (bytes.windowed()) {
            // An entry longer than the window (a long name, extra field or comment):
            // read its name and extra field straight from the archive and resume
            // the walk after it.
            long_entry.resize(size_t{central.name_length} + central.extra_length);
            if (!long_entry.empty() &&
                !ReadAll(f, position + kCentralHeaderSize, long_entry.data(), long_entry.size()))
                return EndDamaged(d, "an entry cannot be read");
            name = long_entry.data();
        } else {
            return EndDamaged(d, "an entry runs past the end record");
        }
        const WideningResult widened = AddEntry(d, central, name);
        if (widened != WideningResult::kDone) return EndDamaged(d, WideningProblem(widened));
        bytes.Pass(entry_length);
    }
}

} // namespace

std::unique_ptr<Archive> Archive::Open(FileSystem& fs, const std::string& path) {
    std::unique_ptr<InputFile> file = fs.OpenRead(path);
    if (!file) return nullptr;
    return std::unique_ptr<Archive>(new Archive(std::move(file)));
}

Archive::Archive(std::unique_ptr<InputFile> file) : file_(std::move(file)) {
    size_ = file_->Size();
}

bool Archive::StartsWithLocalHeader() {
    uint8_t signature[4];
    return file_->ReadAt(0, signature, 4) == 4 && Load32(signature) == kLocalSignature;
}

const Directory& Archive::directory() {
    if (!directory_) {
        directory_.reset(new Directory);
        ReadDirectory(*directory_);
    }
    return *directory_;
}

long Archive::ReadHead(int64_t offset, size_t n, const uint8_t** bytes) {
    int64_t into = offset - head_offset_;
    if (head_offset_ < 0 || into < 0 || into + kLocalHeaderSize > head_got_) {
        head_.resize(n);
        const long read = file_->ReadAt(offset, head_.data(), head_.size());
        head_offset_ = read > 0 ? offset : -1;
        head_got_ = read;
        into = 0;
    }
    *bytes = head_.data() + into;
    return static_cast<long>(head_got_ - into);
}

void Archive::ReadDirectory(Directory& d) {
    DirectoryPlace place;
    if (!LocateDirectory(*file_, size_, d, &place) || !ReadEntries(*file_, place, d)) return;
    // An end record that counts more than 65,535 entries holds all ones (the
    // real count is in the Zip64 record); old writers kept the low 16 bits.
    const size_t read = d.entries.size();
    const bool agrees = place.zip64 ? place.entries == read
                                    : place.entries == (read & 0xFFFF) ||
                                          (place.entries == 0xFFFF && read >= 0xFFFF);
    if (!agrees)
        EndWith(d, ResultArchiveFileError,
                "the central directory holds " + std::to_string(read) +
                    " entries where the end record declares " + std::to_string(place.entries));
}

} // namespace unzip
