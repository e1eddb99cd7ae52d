#include "unzip/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace unzip {
namespace {

class MemoryInput final : public InputFile {
  public:
    explicit MemoryInput(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    long ReadAt(int64_t offset, void* buffer, size_t n) override {
        if (offset < 0) return -1;
        if (static_cast<uint64_t>(offset) >= bytes_.size()) return 0;
        size_t k = std::min<uint64_t>(n, bytes_.size() - static_cast<uint64_t>(offset));
        std::memcpy(buffer, bytes_.data() + offset, k);
        return static_cast<long>(k);
    }

  private:
    const std::vector<uint8_t>& bytes_;
};

class MemoryOutput final : public OutputFile {
  public:
    MemoryOutput(MemoryFileSystem& fs, std::string path, size_t limit)
        : fs_(fs), path_(std::move(path)), limit_(limit) {}
    bool Write(const void* data, size_t n) override {
        if (n > limit_ - bytes_.size()) return false;
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + n);
        return true;
    }
    void SetDosTime(uint32_t) override {}
    bool Commit() override {
        if (fs_.IsFolder(path_)) return false;
        fs_.Put(path_, std::move(bytes_));
        return true;
    }

  private:
    MemoryFileSystem& fs_;
    std::string path_;
    std::vector<uint8_t> bytes_;
    size_t limit_;
};

class CountingOutput final : public OutputFile {
  public:
    explicit CountingOutput(uint64_t& total) : total_(total) {}
    bool Write(const void*, size_t n) override {
        total_ += n;
        return true;
    }
    void SetDosTime(uint32_t) override {}
    bool Commit() override { return true; }

  private:
    uint64_t& total_;
};

} // namespace

std::unique_ptr<OutputFile> DiscardingFileSystem::CreateBeside(const std::string&,
                                                               CreateStatus* status) {
    *status = CreateStatus::Ok;
    return std::make_unique<CountingOutput>(bytes_written_);
}

const std::vector<uint8_t>* MemoryFileSystem::Get(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

std::unique_ptr<InputFile> MemoryFileSystem::OpenRead(const std::string& path) {
    auto it = files_.find(path);
    if (it == files_.end()) return nullptr;
    return std::make_unique<MemoryInput>(it->second);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateBeside(const std::string& path,
                                                           CreateStatus* status) {
    if (folders_.count(path)) {
        *status = CreateStatus::Failed;
        return nullptr;
    }
    *status = CreateStatus::Ok;
    return std::make_unique<MemoryOutput>(*this, path, write_limit_);
}

} // namespace unzip
