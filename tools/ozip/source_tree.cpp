#include "source_tree.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <ctime>
#endif

namespace ozip {
namespace fs = std::filesystem;
namespace {

uint32_t DosStamp(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) return (1u << 21) | (1u << 16); // 1980-01-01 00:00:00
    if (year > 2107) year = 2107;
    return static_cast<uint32_t>(year - 1980) << 25 | static_cast<uint32_t>(month) << 21 |
           static_cast<uint32_t>(day) << 16 | static_cast<uint32_t>(hour) << 11 |
           static_cast<uint32_t>(minute) << 5 | static_cast<uint32_t>(second / 2);
}

[[noreturn]] void Fail(const std::string& what, const fs::path& path) {
    throw std::runtime_error(what + ": " + path.u8string());
}

} // namespace

uint32_t DosTimeOf(const std::string& path) {
#ifdef _WIN32
    // The engine turns a stamp into UTC with the rules of the stamp's year; the same rules
    // turn it back here.
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME utc, local;
    TIME_ZONE_INFORMATION zone;
    if (!GetFileAttributesExW(fs::u8path(path).c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc))
        Fail("cannot read the time of", fs::u8path(path));
    const bool rules = GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) != 0;
    if (!SystemTimeToTzSpecificLocalTime(rules ? &zone : nullptr, &utc, &local))
        Fail("cannot read the time of", fs::u8path(path));
    return DosStamp(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                    local.wSecond);
#else
    struct stat st;
    struct tm local;
    if (stat(path.c_str(), &st) != 0 || !localtime_r(&st.st_mtime, &local))
        Fail("cannot read the time of", path);
    return DosStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
#endif
}

std::vector<SourceEntry> ListSourceTree(const std::string& root) {
    const fs::path base = fs::u8path(root);
    std::error_code error;
    if (!fs::is_directory(base, error)) Fail("not a folder", base);
    std::vector<SourceEntry> entries;
    fs::recursive_directory_iterator it(base, error), end;
    for (; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        const fs::file_status link = it->symlink_status(error);
        if (error) break;
        SourceEntry entry;
        entry.path = path.u8string();
        entry.name = path.lexically_relative(base).generic_u8string();
        if (fs::is_directory(link)) {
            if (!fs::is_empty(path, error)) continue;
            entry.folder = true;
            entry.name += '/';
        } else if (fs::is_regular_file(it->status(error))) {
            entry.size = fs::file_size(path, error);
        } else {
            Fail("neither a file nor a folder", path);
        }
        if (error) break;
        entry.dos_time = DosTimeOf(entry.path);
        entries.push_back(std::move(entry));
    }
    if (error) Fail("cannot read (" + error.message() + ")", it == end ? base : it->path());
    std::sort(entries.begin(), entries.end(),
              [](const SourceEntry& a, const SourceEntry& b) { return a.name < b.name; });
    return entries;
}

} // namespace ozip
