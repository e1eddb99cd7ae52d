// The engine's view of files: just enough to read archives and write members.
// The platform implementation talks to the real file system; the in-memory one
// serves fuzzing and tests that must not touch the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace unzip {

class InputFile {
  public:
    virtual ~InputFile() = default;
    virtual int64_t Size() = 0; // -1 when unknown
    // Reads up to n bytes at an absolute offset: fewer only at the end of the
    // file. Returns the bytes read, 0 at the end, -1 on error. Positioned reads
    // save a seek per member.
    virtual long ReadAt(int64_t offset, void* buffer, size_t n) = 0;
};

class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual bool Write(const void* data, size_t n) = 0; // true when all n bytes were written
    // Stamps the file with a DOS date and time (date in the high half); best effort.
    virtual void SetDosTime(uint32_t dos_time) = 0;
    // Closes the file and gives it the name it was made for, replacing a file of
    // that name. An output destroyed without Commit is discarded, and whatever
    // stood under its name stays as it was.
    virtual bool Commit() = 0;
};

// Failed: the file could not be made; NotWritten: it was made but could not
// be written or put in place, and nothing of it stays.
enum class CreateStatus { Ok, PathNotFound, Failed, NotWritten };

// Paths are UTF-8 and use the platform's separator (see kPathSeparator).
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    // Makes the output of a member that is to become `path` once it has proved
    // good (OutputFile::Commit), so a failed member never harms a file of that
    // name that was already there, and a run cut short leaves no half-written
    // file under it. Refuses (Failed) when `path` is a file that may not be
    // written over or a folder, as creating it in place would have been.
    virtual std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                                     CreateStatus* status) = 0;
    // Writes a member's whole output, which has proved good, under `path` and
    // stamps it: replaces a file of that name as CreateBeside's output would.
    // A file system may make a free name in place, as one write: a run cut
    // short in that write can leave the file short, but never a file that was
    // there before.
    virtual CreateStatus WriteWhole(const std::string& path, const void* data, size_t n,
                                    uint32_t dos_time) {
        CreateStatus status;
        std::unique_ptr<OutputFile> out = CreateBeside(path, &status);
        if (!out) return status;
        if (!out->Write(data, n)) return CreateStatus::NotWritten;
        out->SetDosTime(dos_time);
        return out->Commit() ? CreateStatus::Ok : CreateStatus::NotWritten;
    }
    virtual bool IsFolder(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Creates one folder; true when it exists afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Bracket one extraction; in between a file system may keep folders open
    // to spare path lookups. Batches nest.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
};

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The real file system of the platform the engine runs on.
FileSystem& PlatformFileSystem();

} // namespace unzip
