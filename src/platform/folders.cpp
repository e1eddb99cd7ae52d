#include "platform/folders.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "platform/code_page.h"
#else
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#ifdef _WIN32

bool EraseFile(const std::string& path) {
    return DeleteFileW(Widen(path).c_str()) != 0;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool RemoveEmptyFolder(const std::string& path) {
    return RemoveDirectoryW(Widen(path).c_str()) != 0;
}

std::vector<std::string> FindEntries(const std::string& folder, const std::string& mask,
                                     SearchFilter filter) {
    // 8 is the volume-label bit of the old DOS attribute byte; Win32 has no name for it.
    // Junctions and links are skipped as well: a walk through one would reach outside.
    const DWORD skipped =
        filter == SearchFilter::SkipHiddenSystem
            ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT | 8
            : 0;
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(Widen(folder + '\\' + mask).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & skipped)) names.push_back(Narrow(entry.cFileName));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

std::string ShortPathName(const std::string& path) {
    const std::wstring wide = Widen(path);
    DWORD need = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (need == 0) return std::string();
    std::wstring shorter(need, L'\0');
    const DWORD got = GetShortPathNameW(wide.c_str(), &shorter[0], need);
    if (got == 0 || got >= need) return std::string();
    shorter.resize(got);
    return Narrow(shorter);
}

namespace {

// "\\?\C:\x", "\\.\C:\x" and "\??\C:\x" open C:\x, and "\\?\UNC\srv\x" opens \\srv\x;
// GetFullPathName leaves such prefixes in place (and "\\?\" paths unresolved).
std::wstring WithoutDevicePrefix(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    for (const wchar_t* prefix : {L"\\\\?\\", L"\\\\.\\", L"\\??\\"}) {
        if (path.compare(0, 4, prefix) != 0) continue;
        const std::wstring rest = path.substr(4);
        if (rest.size() >= 2 && rest[1] == L':') return rest;
        if (rest.size() >= 4 &&
            CompareStringOrdinal(rest.c_str(), 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL)
            return L"\\" + rest.substr(3);
    }
    return path;
}

} // namespace

std::optional<std::string> FullPathOf(const std::string& path) {
    const std::wstring wide = WithoutDevicePrefix(Widen(path));
    if (wide.empty()) return std::nullopt;
    const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return std::nullopt;
    std::wstring full(need, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), need, &full[0], nullptr);
    if (got == 0 || got >= need) return std::nullopt;
    full.resize(got);
    // "C:\" keeps its separator; any other folder loses it.
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return Narrow(full);
}

namespace {

// The final path of an existing file or folder, without the "\\?\" the system puts first.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::wstring final(MAX_PATH, L'\0');
    DWORD got = GetFinalPathNameByHandleW(handle, &final[0], static_cast<DWORD>(final.size()), 0);
    if (got >= final.size()) {
        final.resize(got + 1);
        got = GetFinalPathNameByHandleW(handle, &final[0], static_cast<DWORD>(final.size()), 0);
    }
    CloseHandle(handle);
    if (got == 0 || got >= final.size()) return std::nullopt;
    final.resize(got);
    return WithoutDevicePrefix(final);
}

} // namespace

std::optional<std::string> ResolvedPathOf(const std::string& path) {
    const std::optional<std::string> full = FullPathOf(path);
    if (!full) return std::nullopt;
    const std::wstring wide = Widen(*full);
    // The deepest existing level is resolved; the levels below it are not there to follow.
    for (size_t end = wide.size(); end != std::wstring::npos && end > 0;
         end = wide.find_last_of(L'\\', end - 1)) {
        const std::wstring head = wide.substr(0, end);
        const std::optional<std::wstring> final =
            FinalPath(head.back() == L':' ? head + L'\\' : head);
        if (!final) continue;
        std::wstring resolved = *final;
        // "C:\" keeps its separator unless levels follow, which bring their own.
        if (!resolved.empty() && resolved.back() == L'\\' &&
            (end < wide.size() || resolved.size() > 3))
            resolved.pop_back();
        return Narrow(resolved + wide.substr(end));
    }
    return std::nullopt;
}

std::string LongPathName(const std::string& full) {
    const std::wstring wide = Widen(full);
    // The longest leading part that exists gets its long form; the rest follows as it stands.
    for (size_t end = wide.size(); end != std::wstring::npos && end > 0;
         end = wide.find_last_of(L'\\', end - 1)) {
        const std::wstring head = wide.substr(0, end);
        if (head.back() == L':') break; // "C:" alone is the current folder of C:
        const DWORD need = GetLongPathNameW(head.c_str(), nullptr, 0);
        if (need == 0) continue;
        std::wstring longer(need, L'\0');
        const DWORD got = GetLongPathNameW(head.c_str(), &longer[0], need);
        if (got == 0 || got >= need) break;
        longer.resize(got);
        return Narrow(longer + wide.substr(end));
    }
    return full;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    const std::wstring wide_a = Widen(a), wide_b = Widen(b);
    return CompareStringOrdinal(wide_a.c_str(), static_cast<int>(wide_a.size()), wide_b.c_str(),
                                static_cast<int>(wide_b.size()), TRUE) == CSTR_EQUAL;
}

unsigned long LastErrorCode() {
    return GetLastError();
}

std::string SystemErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    if (text) LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Narrow(message);
}

#else

namespace {

// Windows codes for the errno values callers tell apart.
struct CodePair {
    int error_number;
    unsigned long windows_code;
};
constexpr CodePair kCodes[] = {
    {EEXIST, kErrorAlreadyExists}, {ENOENT, 3}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5}};
constexpr unsigned long kGeneralFailure = 31;

} // namespace

bool EraseFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
        errno = EACCES;
        return false;
    }
    return unlink(path.c_str()) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0;
}

bool RemoveEmptyFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

std::vector<std::string> FindEntries(const std::string& folder, const std::string& mask,
                                     SearchFilter filter) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    const std::string pattern = mask == "*.*" ? "*" : mask;
    while (const dirent* entry = readdir(dir)) {
        if (fnmatch(pattern.c_str(), entry->d_name, FNM_NOESCAPE | FNM_CASEFOLD) != 0) continue;
        // POSIX has no hidden or system entries; symbolic links are skipped like
        // Windows junctions, so a walk never leaves the tree.
        struct stat st;
        if (filter == SearchFilter::SkipHiddenSystem &&
            lstat((folder + '/' + entry->d_name).c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            continue;
        names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

std::string ShortPathName(const std::string& path) {
    return access(path.c_str(), F_OK) == 0 ? path : std::string();
}

std::optional<std::string> ResolvedPathOf(const std::string& path) {
    const std::optional<std::string> full = FullPathOf(path);
    if (!full) return std::nullopt;
    for (size_t end = full->size(); end != std::string::npos; end = full->rfind('/', end - 1)) {
        const std::string head = end == 0 ? "/" : full->substr(0, end);
        char* real = realpath(head.c_str(), nullptr);
        if (!real) {
            if (end == 0) break;
            continue;
        }
        std::string resolved = real;
        free(real);
        if (resolved == "/" && end < full->size()) resolved.clear();
        return resolved + full->substr(end);
    }
    return std::nullopt;
}

std::optional<std::string> FullPathOf(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::string whole = path;
    if (path[0] != '/') {
        char* current = getcwd(nullptr, 0);
        if (!current) return std::nullopt;
        whole = std::string(current) + '/' + path;
        free(current);
    }
    // Lexical, as Windows resolves: "a/link/.." is "a" whatever the link leads to.
    std::vector<std::string> levels;
    for (size_t start = 0; start <= whole.size();) {
        size_t end = whole.find('/', start);
        if (end == std::string::npos) end = whole.size();
        const std::string level = whole.substr(start, end - start);
        if (level == "..") {
            if (!levels.empty()) levels.pop_back();
        } else if (!level.empty() && level != ".") {
            levels.push_back(level);
        }
        start = end + 1;
    }
    std::string full;
    for (const std::string& level : levels) full += '/' + level;
    return full.empty() ? "/" : full;
}

std::string LongPathName(const std::string& full) {
    return full;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

unsigned long LastErrorCode() {
    if (errno == 0) return 0;
    for (const CodePair& pair : kCodes)
        if (pair.error_number == errno) return pair.windows_code;
    return kGeneralFailure;
}

std::string SystemErrorText(unsigned long code) {
    for (const CodePair& pair : kCodes)
        if (pair.windows_code == code) return std::strerror(pair.error_number);
    return std::string();
}

#endif

} // namespace platform
