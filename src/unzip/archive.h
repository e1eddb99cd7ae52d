// One archive as the engine works on it: opened once through the file system,
// its size taken once, its end record found and its central directory read and
// checked once, and its member data read from the same open file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "unzip/file_system.h"
#include "unzip/result.h"

namespace unzip {

// One central-directory entry as it is kept: the fields a walk hands out, with
// the stored name left in the directory's name pool until a walk decodes it.
struct DirectoryEntry {
    uint32_t time;
    uint32_t crc;
    int64_t compressed_size; // at full width (Zip64), each below UnknownSize
    int64_t size;
    int64_t header_offset;
    uint32_t name_at;     // where the stored name starts in Directory::names
    uint16_t name_size;   // bytes of the stored name before any NUL
    uint16_t name_length; // length of the whole stored name field
    uint16_t flags;
    uint16_t method;
    uint8_t attributes; // DOS attributes when made on MS-DOS, else 0
};

// The central directory as read to its end, or up to the point where it could
// not be read further: a walk hands out the entries, then meets `end`.
struct Directory {
    std::vector<DirectoryEntry> entries; // in directory order
    std::string names;                   // the entries' stored names, one after another
    // What the walk meets after the last entry: ResultNoMoreMembers for a
    // directory read whole, else the failure, with its diagnostic sentence.
    int32_t end = ResultNoMoreMembers;
    std::string end_sentence; // "" for a clean end
    // The end record declares no entries and no directory bytes: a clean empty
    // archive, although there is no directory to read (ResultNoDirectory).
    bool declared_empty = false;
    bool windowed = false; // a large directory, read through a 64,000-byte window
};

class Archive {
  public:
    // Opens `path`; null when it cannot be opened.
    static std::unique_ptr<Archive> Open(FileSystem& fs, const std::string& path);

    // Bytes in the file as it was when opened; -1 when unknown.
    int64_t size() const { return size_; }

    // Whether the file begins with a local header, as every archive the engine
    // takes does (self-extracting and other prefixed archives do not).
    bool StartsWithLocalHeader();

    // The central directory, found, read and checked on the first call.
    const Directory& directory();

    // Member data. The file itself serves the decoders' bit input.
    InputFile& file() { return *file_; }
    long ReadAt(int64_t offset, void* buffer, size_t n) { return file_->ReadAt(offset, buffer, n); }

    // The bytes from `offset` on, for a local header and the start of the data
    // behind it: up to `n` of them read at once, or taken from the last such
    // read when it holds a whole local header at `offset` (members mostly follow
    // each other, so the next header is usually in what the last read brought).
    // Sets *bytes and returns how many there are, -1 on a read error. They stay
    // valid until the next call.
    long ReadHead(int64_t offset, size_t n, const uint8_t** bytes);

  private:
    explicit Archive(std::unique_ptr<InputFile> file);
    void ReadDirectory(Directory& directory);

    std::unique_ptr<InputFile> file_;
    int64_t size_ = -1;
    std::unique_ptr<Directory> directory_; // read on first use
    std::vector<uint8_t> head_;            // the last ReadHead's bytes
    int64_t head_offset_ = -1;             // where they were read from; -1: none
    long head_got_ = 0;                    // how many were read
};

} // namespace unzip
