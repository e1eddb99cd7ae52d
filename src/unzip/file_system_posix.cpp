// POSIX file layer of the engine (native builds).
#ifndef _WIN32

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unzip/dos_time.h"
#include "unzip/file_system.h"

namespace unzip {
namespace {

class PosixInput final : public InputFile {
  public:
    explicit PosixInput(int fd) : fd_(fd) {}
    ~PosixInput() override { ::close(fd_); }
    int64_t Size() override {
        struct stat st;
        return fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }
    long ReadAt(int64_t offset, void* buffer, size_t n) override {
        if (offset < 0) return -1;
        size_t done = 0;
        while (done < n) {
            ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + done, n - done,
                                  static_cast<off_t>(offset + static_cast<int64_t>(done)));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return done ? static_cast<long>(done) : -1;
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        return static_cast<long>(done);
    }

  private:
    int fd_;
};

class PosixOutput final : public OutputFile {
  public:
    explicit PosixOutput(int fd) : fd_(fd) {}
    ~PosixOutput() override { Close(); }
    bool Write(const void* data, size_t n) override {
        const char* p = static_cast<const char*>(data);
        while (n > 0) {
            ssize_t put = ::write(fd_, p, n);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            p += put;
            n -= static_cast<size_t>(put);
        }
        return true;
    }
    void SetDosTime(uint32_t dos_time) override {
        if (fd_ < 0) return;
        struct timespec times[2];
        // mktime consults the time zone files on every call; members mostly
        // share a few stamps, so the last conversion is kept.
        static thread_local uint32_t last_dos = 0;
        static thread_local time_t last_unix = 0;
        if (dos_time != last_dos || last_unix == 0) {
            last_dos = dos_time;
            last_unix = DosTimeToUnix(dos_time);
        }
        times[0].tv_sec = times[1].tv_sec = last_unix;
        times[0].tv_nsec = times[1].tv_nsec = 0;
        futimens(fd_, times);
    }
    bool Close() override {
        if (fd_ < 0) return true;
        int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0;
    }

  private:
    int fd_;
};

class PosixFileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixInput>(fd);
    }
    std::unique_ptr<OutputFile> Create(const std::string& path, CreateStatus* status) override {
        // O_NOFOLLOW: a symbolic link planted in the target is not followed out of it.
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            *status = errno == ENOENT ? CreateStatus::PathNotFound : CreateStatus::Failed;
            return nullptr;
        }
        *status = CreateStatus::Ok;
        return std::make_unique<PosixOutput>(fd);
    }
    bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    bool IsFolder(const std::string& path) override {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool Exists(const std::string& path) override {
        struct stat st;
        return lstat(path.c_str(), &st) == 0;
    }
    bool MakeFolder(const std::string& path) override {
        return ::mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && IsFolder(path));
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace unzip

#endif
