// Win32 file layer of the engine. The engine itself is portable; this file and
// its POSIX twin are the only places where it meets the operating system.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <climits>

#include "unzip/dos_time.h"
#include "unzip/file_system.h"
#include "unzip/text_codec.h"

namespace unzip {
namespace {

// Paths longer than MAX_PATH go through the \\?\ form, which lifts
// the limit but also skips the normalisation Win32 does, so it needs a full path.
// Windows handles paths of at most 32,767 characters; a longer one comes back
// empty, which every call refuses, rather than being cut to something else.
constexpr size_t kLongestPath = 32767 - 8;
// The longest name one folder entry may have, in UTF-16 units.
constexpr size_t kLongestName = 255;

std::wstring Win32Path(const std::string& utf8) {
    std::wstring wide = Utf8ToWide(utf8);
    if (wide.size() > kLongestPath) return std::wstring();
    if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return wide;
    std::wstring full(need, L'\0');
    DWORD got = GetFullPathNameW(wide.c_str(), need, &full[0], nullptr);
    if (got == 0 || got >= need) return wide;
    if (got > kLongestPath) return std::wstring();
    full.resize(got);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Whether the last part of `path` is longer than a folder entry may be.
bool NameTooLong(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return Utf8ToWide(slash == std::string::npos ? path : path.substr(slash + 1)).size() >
           kLongestName;
}

class Win32Input final : public InputFile {
  public:
    explicit Win32Input(HANDLE h) : h_(h) {}
    ~Win32Input() override { CloseHandle(h_); }
    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
    }
    long ReadAt(int64_t offset, void* buffer, size_t n) override {
        if (offset < 0) return -1;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        // One ReadFile takes a 32-bit count, and the count read must fit the result.
        const DWORD want = static_cast<DWORD>(std::min<size_t>(n, LONG_MAX));
        DWORD got = 0;
        if (!ReadFile(h_, buffer, want, &got, &at))
            return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
        return static_cast<long>(got);
    }

  private:
    HANDLE h_;
};

// Writes all n bytes at the file pointer: WriteFile takes a 32-bit count, so a
// whole large member goes in pieces.
bool WriteAll(HANDLE h, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(n, DWORD{1} << 30));
        DWORD put = 0;
        if (!WriteFile(h, p, piece, &put, nullptr) || put != piece) return false;
        p += piece;
        n -= piece;
    }
    return true;
}

// A DOS stamp is local time under the zone's rules of its own date, which
// LocalFileTimeToFileTime ignores: it applies today's offset, an hour off for
// stamps on the other side of a daylight-saving change. A year's rules (offsets
// and change dates have varied) come from the registry, so each year's are kept;
// where there are none for a year, today's rules serve.
bool DosTimeToUtc(uint32_t dos_time, FILETIME* utc) {
    struct YearRules {
        bool looked_up, found;
        TIME_ZONE_INFORMATION zone;
    };
    static thread_local YearRules years[128] = {}; // DOS years run from 1980 to 2107
    FILETIME plain;
    SYSTEMTIME local, system;
    if (!DosDateTimeToFileTime(static_cast<WORD>(dos_time >> 16),
                               static_cast<WORD>(dos_time & 0xFFFF), &plain) ||
        !FileTimeToSystemTime(&plain, &local) || local.wYear < 1980 || local.wYear > 2107)
        return false;
    YearRules& y = years[local.wYear - 1980];
    if (!y.looked_up) {
        y.found = GetTimeZoneInformationForYear(local.wYear, nullptr, &y.zone) != 0;
        y.looked_up = true;
    }
    return TzSpecificLocalTimeToSystemTime(y.found ? &y.zone : nullptr, &local, &system) &&
           SystemTimeToFileTime(&system, utc);
}

class Win32Output final : public OutputFile {
  public:
    // Written under a temporary name; Commit renames it over the member's name.
    Win32Output(HANDLE h, std::string temporary, std::string path)
        : h_(h), temporary_(std::move(temporary)), path_(std::move(path)) {}
    ~Win32Output() override {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        if (!committed_) DeleteFileW(Win32Path(temporary_).c_str());
    }
    bool Write(const void* data, size_t n) override { return WriteAll(h_, data, n); }
    void SetDosTime(uint32_t dos_time) override {
        if (h_ == INVALID_HANDLE_VALUE) return;
        FILETIME utc;
        if (DosTimeToUtc(dos_time, &utc)) SetFileTime(h_, nullptr, nullptr, &utc);
    }
    bool Commit() override {
        const bool closed = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        committed_ = closed && MoveFileExW(Win32Path(temporary_).c_str(), Win32Path(path_).c_str(),
                                           MOVEFILE_REPLACE_EXISTING) != 0;
        return committed_;
    }

  private:
    HANDLE h_;
    std::string temporary_, path_;
    bool committed_ = false;
};

class Win32FileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        HANDLE h = CreateFileW(Win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Input>(h);
    }
    std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                             CreateStatus* status) override {
        // What could not have been created in place is refused before any work:
        // a name too long, a folder, or a file marked read-only.
        const size_t slash = path.find_last_of("\\/");
        const std::wstring wide = Win32Path(path);
        const DWORD a = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
        const DWORD error = a == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
        const bool refused = wide.empty() || NameTooLong(path) ||
                             (a != INVALID_FILE_ATTRIBUTES
                                  ? (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0
                                  : error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND);
        if (refused) {
            *status = CreateStatus::Failed;
            return nullptr;
        }
        const std::string folder =
            slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        static LONG counter = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string temporary = folder + "~orvo" + std::to_string(GetCurrentProcessId()) +
                                          "-" + std::to_string(InterlockedIncrement(&counter)) +
                                          ".tmp";
            HANDLE h = CreateFileW(Win32Path(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                *status = CreateStatus::Ok;
                return std::make_unique<Win32Output>(h, temporary, path);
            }
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            *status =
                error == ERROR_PATH_NOT_FOUND ? CreateStatus::PathNotFound : CreateStatus::Failed;
            return nullptr;
        }
        *status = CreateStatus::Failed;
        return nullptr;
    }
    CreateStatus WriteWhole(const std::string& path, const void* data, size_t n,
                            uint32_t dos_time) override {
        // A free name is made in place; CREATE_NEW guarantees the file removed
        // on failure is this one. A name too long for a folder entry is left to
        // the checks of CreateBeside.
        const std::wstring wide = Win32Path(path);
        if (wide.empty() || NameTooLong(path))
            return FileSystem::WriteWhole(path, data, n, dos_time);
        HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_PATH_NOT_FOUND) return CreateStatus::PathNotFound;
            return FileSystem::WriteWhole(path, data, n, dos_time);
        }
        bool ok = WriteAll(h, data, n);
        FILETIME utc;
        if (ok && DosTimeToUtc(dos_time, &utc)) SetFileTime(h, nullptr, nullptr, &utc);
        ok = CloseHandle(h) && ok;
        if (ok) return CreateStatus::Ok;
        DeleteFileW(wide.c_str());
        return CreateStatus::NotWritten;
    }
    bool IsFolder(const std::string& path) override {
        DWORD a = GetFileAttributesW(Win32Path(path).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Exists(const std::string& path) override {
        return GetFileAttributesW(Win32Path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool MakeFolder(const std::string& path) override {
        return CreateDirectoryW(Win32Path(path).c_str(), nullptr) != 0 ||
               (GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path));
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

} // namespace unzip

#endif
