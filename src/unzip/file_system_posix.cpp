// POSIX file layer of the engine (native builds).
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_set>

#include "unzip/dos_time.h"
#include "unzip/file_system.h"

namespace unzip {
namespace {

static_assert(sizeof(off_t) >= 8, "archives and members beyond 4 GiB need 64-bit file offsets");

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

bool WriteAll(int fd, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::write(fd, p, n);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        p += put;
        n -= static_cast<size_t>(put);
    }
    return true;
}

// Stamps an open file with a DOS date and time; best effort.
void Stamp(int fd, uint32_t dos_time) {
    // mktime consults the time zone files on every call; members mostly share
    // a few stamps, so the last conversion is kept.
    static thread_local uint32_t last_dos = 0;
    static thread_local time_t last_unix = 0;
    if (dos_time != last_dos || last_unix == 0) {
        last_dos = dos_time;
        last_unix = DosTimeToUnix(dos_time);
    }
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = last_unix;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    futimens(fd, times);
}

class PosixFileSystem;

// A member's output: an unnamed file in the target folder (O_TMPFILE) that
// Commit links under its name, or, where the file system has no unnamed
// files, a temporary name that Commit renames.
class PosixOutput final : public OutputFile {
  public:
    PosixOutput(int fd, PosixFileSystem& fs, std::string path, std::string temporary)
        : fd_(fd), fs_(fs), path_(std::move(path)), temporary_(std::move(temporary)) {}
    ~PosixOutput() override {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
    }
    bool Write(const void* data, size_t n) override { return WriteAll(fd_, data, n); }
    void SetDosTime(uint32_t dos_time) override {
        if (fd_ >= 0) Stamp(fd_, dos_time);
    }
    bool Commit() override;

  private:
    int fd_;
    PosixFileSystem& fs_;
    std::string path_;
    std::string temporary_; // empty for an unnamed file
    bool committed_ = false;
};

class PosixFileSystem final : public FileSystem {
  public:
    void BeginBatch() override { ++Folder().depth; }
    void EndBatch() override {
        OpenFolder& f = Folder();
        if (f.depth > 0 && --f.depth == 0) {
            f.Close();
            f.made.clear();
        }
    }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixInput>(fd);
    }
    std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                             CreateStatus* status) override {
        const size_t slash = path.rfind('/');
        const std::string folder =
            slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        const int at = FolderOf(path);
        // What could not have been created in place is refused before any work:
        // a name too long, a folder, a link, or a file this process may not write.
        // A folder this batch made holds only what the batch put there: at
        // most a folder the batch made too.
        struct stat st;
        const char* name = at == AT_FDCWD ? path.c_str() : path.c_str() + slash + 1;
        const bool ours = slash != std::string::npos && Folder().made.count(path.substr(0, slash));
        const bool found = !ours && fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (ours    ? name[0] == '\0' || std::strlen(name) > NAME_MAX || Folder().made.count(path)
            : found ? !S_ISREG(st.st_mode) || faccessat(at, name, W_OK, AT_EACCESS) != 0
                    : errno != ENOENT) {
            *status = CreateStatus::Failed;
            return nullptr;
        }
        // An unnamed file in the folder: nothing of it stays if the run is cut short.
        const std::string folder_path = slash == std::string::npos ? "." : path.substr(0, slash);
        int fd = at == AT_FDCWD ? ::open(folder_path.empty() ? "/" : folder_path.c_str(),
                                         O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644)
                                : ::openat(at, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            *status = CreateStatus::Ok;
            return std::make_unique<PosixOutput>(fd, *this, path, std::string());
        }
        if (errno == ENOENT || errno == ENOTDIR) {
            *status = errno == ENOENT ? CreateStatus::PathNotFound : CreateStatus::Failed;
            return nullptr;
        }
        std::string temporary;
        fd = CreateTemporary(folder, &temporary);
        if (fd < 0) {
            *status = errno == ENOENT ? CreateStatus::PathNotFound : CreateStatus::Failed;
            return nullptr;
        }
        *status = CreateStatus::Ok;
        return std::make_unique<PosixOutput>(fd, *this, path, temporary);
    }
    CreateStatus WriteWhole(const std::string& path, const void* data, size_t n,
                            uint32_t dos_time) override {
        // A free name is made in place; O_EXCL (which also refuses a link of
        // that name) guarantees the file removed on failure is this one.
        const int at = FolderOf(path);
        const char* name = at == AT_FDCWD ? path.c_str() : path.c_str() + path.rfind('/') + 1;
        const int fd =
            ::openat(at, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) return FileSystem::WriteWhole(path, data, n, dos_time);
            return errno == ENOENT ? CreateStatus::PathNotFound : CreateStatus::Failed;
        }
        bool ok = WriteAll(fd, data, n);
        if (ok) Stamp(fd, dos_time);
        ok = ::close(fd) == 0 && ok;
        if (ok) return CreateStatus::Ok;
        ::unlinkat(at, name, 0);
        return CreateStatus::NotWritten;
    }
    // Gives the output its name: links an unnamed file, renames a named one.
    // Where a file of that name is there, the output is linked under a
    // temporary name first and renamed over it.
    bool Place(int fd, const std::string& temporary, const std::string& path) {
        const int at = FolderOf(path);
        const size_t slash = path.rfind('/');
        const char* name = at == AT_FDCWD ? path.c_str() : path.c_str() + slash + 1;
        if (!temporary.empty()) return RenameInto(temporary, at, name, path);
        if (Link(fd, at, name)) return true;
        if (errno != EEXIST) return false;
        const std::string folder =
            slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string candidate = TemporaryName(folder);
            const char* candidate_name =
                at == AT_FDCWD ? candidate.c_str() : candidate.c_str() + folder.size();
            if (Link(fd, at, candidate_name)) {
                if (RenameInto(candidate, at, name, path)) return true;
                ::unlinkat(at, candidate_name, 0);
                return false;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }
    bool IsFolder(const std::string& path) override {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool Exists(const std::string& path) override {
        struct stat st;
        return lstat(path.c_str(), &st) == 0;
    }
    bool MakeFolder(const std::string& path) override {
        if (::mkdir(path.c_str(), 0755) == 0) {
            if (Folder().depth > 0) Folder().made.insert(path);
            return true;
        }
        return errno == EEXIST && IsFolder(path);
    }

  private:
    // The open folder of `path` during a batch, else AT_FDCWD (then the whole
    // path is used).
    int FolderOf(const std::string& path) {
        size_t slash = path.rfind('/');
        OpenFolder& folder = Folder();
        if (folder.depth > 0 && slash != std::string::npos && slash > 0 &&
            folder.Open(path.substr(0, slash)))
            return folder.fd;
        return AT_FDCWD;
    }
    static std::string TemporaryName(const std::string& folder) {
        static std::atomic<unsigned> counter{0};
        static const std::string prefix = ".orvo-" + std::to_string(::getpid()) + "-";
        return folder + prefix + std::to_string(++counter) + ".tmp";
    }
    // Creates a file under a temporary name in `folder` (ending in '/' or empty).
    int CreateTemporary(const std::string& folder, std::string* temporary) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            *temporary = TemporaryName(folder);
            const int at = FolderOf(*temporary);
            const char* name =
                at == AT_FDCWD ? temporary->c_str() : temporary->c_str() + folder.size();
            const int fd =
                ::openat(at, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (fd >= 0 || errno != EEXIST) return fd;
        }
        return -1;
    }
    // Links an unnamed file; without the right to link by descriptor, through /proc.
    static bool Link(int fd, int at, const char* name) {
        if (::linkat(fd, "", at, name, AT_EMPTY_PATH) == 0) return true;
        if (errno != ENOENT && errno != EPERM) return false;
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        return ::linkat(AT_FDCWD, self.c_str(), at, name, AT_SYMLINK_FOLLOW) == 0;
    }
    static bool RenameInto(const std::string& temporary, int at, const char* name,
                           const std::string& path) {
        if (at == AT_FDCWD) return ::rename(temporary.c_str(), path.c_str()) == 0;
        return ::renameat(at, temporary.c_str() + temporary.rfind('/') + 1, at, name) == 0;
    }

    // During a batch the folder of the last file created stays open and the
    // next file beside it is created relative to it: members mostly follow
    // others of their folder, and each create then skips the walk down the
    // path. Per thread, so engines on different threads do not share it.
    struct OpenFolder {
        int depth = 0;
        int fd = -1;
        std::string path;
        std::unordered_set<std::string> made; // folders made during the batch
        bool Open(const std::string& folder) {
            if (fd >= 0 && folder == path) return true;
            Close();
            fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd >= 0) path = folder;
            return fd >= 0;
        }
        void Close() {
            if (fd >= 0) ::close(fd);
            fd = -1;
            path.clear();
        }
    };
    static OpenFolder& Folder() {
        static thread_local OpenFolder folder;
        return folder;
    }
};

bool PosixOutput::Commit() {
    const bool placed = fs_.Place(fd_, temporary_, path_);
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    committed_ = placed;
    return placed && closed;
}

} // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace unzip

#endif
