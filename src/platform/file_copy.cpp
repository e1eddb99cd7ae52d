#include "platform/file_copy.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/file_io.h"
#endif

namespace platform {

#ifdef _WIN32

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != 0;
}

bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != 0;
}

std::optional<uint64_t> FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<uint64_t> FreeBytesAt(const std::string& folder) {
    if (folder.empty()) return std::nullopt; // not "\", the current drive's root
    // A share's root is taken only with its trailing separator; any other folder takes one too.
    std::wstring path = Widen(folder);
    if (path.back() != L'\\') path += L'\\';
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

#else

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    // The files copied are small (the program and its settings), so one read suffices.
    std::string contents;
    return ReadWholeFile(from, contents) == FileRead::kOk && ReplaceWholeFile(to, contents);
}

bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

std::optional<uint64_t> FileSizeOf(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

std::optional<uint64_t> FreeBytesAt(const std::string& folder) {
    struct statvfs vfs;
    if (statvfs(folder.c_str(), &vfs) != 0) return std::nullopt;
    return uint64_t{vfs.f_bavail} * vfs.f_frsize;
}

#endif

} // namespace platform
