#include "platform/file_io.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "platform/code_page.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#ifdef _WIN32

namespace {

bool WriteAll(HANDLE h, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        // WriteFile takes a DWORD count; a settings file never comes near, but stay correct.
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(h, contents.data() + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

} // namespace

FileRead ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return FileRead::kAbsent;
        return error == ERROR_PATH_NOT_FOUND ? FileRead::kNoFolder : FileRead::kFailed;
    }
    char buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        contents.append(buffer, got);
    CloseHandle(h);
    if (!ok) contents.clear();
    return ok ? FileRead::kOk : FileRead::kFailed;
}

bool ReplaceWholeFile(const std::string& path, const std::string& contents) {
    const std::wstring target = Widen(path);
    if (target.empty()) return false;
    // MoveFileEx would fail on a read-only target on Windows, but Wine run as root replaces it
    // all the same; refusing here keeps the rule the same everywhere.
    DWORD attributes = GetFileAttributesW(target.c_str());
    DWORD keep = FILE_ATTRIBUTE_NORMAL;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
        // The new file takes over the attributes a user may have given the old one.
        DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept) keep = kept;
    }
    const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    DeleteFileW(temp.c_str()); // a leftover of a crashed run of ours
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, keep, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(h, contents) && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    ok = ok && MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

AppendFile::~AppendFile() {
    if (IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool AppendFile::Open(const std::string& path, bool must_be_new) {
    HANDLE h = CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           must_be_new ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool AppendFile::Append(const std::string& bytes) {
    return IsOpen() && WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
}

std::string MakeUniqueFile(const std::string& folder) {
    // The system picks a free name and creates the file in one step; the folder may be at
    // most MAX_PATH - 14 characters long.
    wchar_t path[MAX_PATH];
    if (GetTempFileNameW(Widen(folder).c_str(), L"orv", 0, path) == 0) return std::string();
    // Wine names a file even when it could not make it (on read-only media), and leaves the
    // error of that attempt set.
    const DWORD error = GetLastError();
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        SetLastError(error);
        return std::string();
    }
    return Narrow(path);
}

#else

namespace {

bool WriteAll(int fd, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        ssize_t put = write(fd, contents.data() + done, contents.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
}

// The rename is durable only once the folder itself is on disk; failing here loses nothing.
void SyncFolderOf(const std::string& path) {
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

FileRead ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOTDIR) return FileRead::kNoFolder;
        if (errno != ENOENT) return FileRead::kFailed;
        struct stat folder;
        bool has_folder = stat(FolderOf(path).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
        return has_folder ? FileRead::kAbsent : FileRead::kNoFolder;
    }
    char buffer[16384];
    bool ok = true;
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0; // a folder opens but fails to read (EISDIR)
            break;
        }
        contents.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    if (!ok) contents.clear();
    return ok ? FileRead::kOk : FileRead::kFailed;
}

bool ReplaceWholeFile(const std::string& path, const std::string& contents) {
    if (path.empty()) return false;
    struct stat old;
    bool existed = stat(path.c_str(), &old) == 0;
    if (!existed && errno != ENOENT) return false;
    // The owner's write bit is what "read-only" means here; root would otherwise replace the
    // file regardless, as rename needs only the folder to be writable.
    if (existed && (!S_ISREG(old.st_mode) || !(old.st_mode & S_IWUSR))) return false;

    const std::string temp = path + "." + std::to_string(getpid()) + ".tmp";
    unlink(temp.c_str()); // a leftover of a crashed run of ours
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existed ? 0600 : 0666);
    if (fd < 0) return false;
    bool ok = !existed || fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, contents) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

AppendFile::~AppendFile() {
    if (IsOpen()) close(static_cast<int>(handle_));
}

bool AppendFile::Open(const std::string& path, bool must_be_new) {
    const int fd = open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | (must_be_new ? O_EXCL : 0), 0666);
    if (fd < 0) return false;
    if (IsOpen()) close(static_cast<int>(handle_));
    handle_ = fd;
    return true;
}

bool AppendFile::Append(const std::string& bytes) {
    return IsOpen() && WriteAll(static_cast<int>(handle_), bytes);
}

std::string MakeUniqueFile(const std::string& folder) {
    std::string path = folder + "/orvoXXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0) return std::string();
    close(fd);
    return path;
}

#endif

} // namespace platform
