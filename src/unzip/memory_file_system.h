// File systems that keep the disk out of it: one reads archives from memory,
// one reads through another file system but throws all output away. Used to
// test archives without writing files, by tests and by the fuzzers.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "unzip/file_system.h"

namespace unzip {

// Reads through `base`; every created file is discarded, folders always exist.
class DiscardingFileSystem : public FileSystem {
  public:
    explicit DiscardingFileSystem(FileSystem& base) : base_(base) {}
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        return base_.OpenRead(path);
    }
    std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                             CreateStatus* status) override;
    bool IsFolder(const std::string& path) override { return base_.IsFolder(path); }
    bool Exists(const std::string&) override { return false; }
    bool MakeFolder(const std::string&) override { return true; }

    uint64_t bytes_written() const { return bytes_written_; }

  private:
    FileSystem& base_;
    uint64_t bytes_written_ = 0;
};

// Files held in memory by path; folders are implied by the files and made ones.
class MemoryFileSystem : public FileSystem {
  public:
    void Put(const std::string& path, std::vector<uint8_t> bytes) {
        files_[path] = std::move(bytes);
    }
    const std::vector<uint8_t>* Get(const std::string& path) const;
    size_t file_count() const { return files_.size(); }
    // Output files stop growing at this size (a write past it fails).
    void set_write_limit(size_t limit) { write_limit_ = limit; }

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    // The output is held apart until it is committed; a folder of that name refuses it.
    std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                             CreateStatus* status) override;
    bool IsFolder(const std::string& path) override { return folders_.count(path) > 0; }
    bool Exists(const std::string& path) override {
        return files_.count(path) || folders_.count(path);
    }
    bool MakeFolder(const std::string& path) override {
        folders_.insert(path);
        return true;
    }

  private:
    std::map<std::string, std::vector<uint8_t>> files_;
    std::set<std::string> folders_;
    size_t write_limit_ = static_cast<size_t>(-1);
};

} // namespace unzip
