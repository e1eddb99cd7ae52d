#include "unzip/member_name.h"

#include <cctype>

#include "unzip/file_system.h"

namespace unzip {
namespace {

bool EqualsIgnoreCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && !b[i];
}

} // namespace

bool IsDeviceName(const std::string& part) {
    // Windows takes the part before the first dot, less trailing blanks, as the device.
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (EqualsIgnoreCase(base, device)) return true;
    // COM and LPT followed by any digit, 0 included, or by a superscript one,
    // two or three (UTF-8 C2 B9, C2 B2, C2 B3), which Windows takes for the digits.
    if (base.size() < 4) return false;
    const std::string stem = base.substr(0, 3), number = base.substr(3);
    if (!EqualsIgnoreCase(stem, "COM") && !EqualsIgnoreCase(stem, "LPT")) return false;
    return (number.size() == 1 && std::isdigit(static_cast<unsigned char>(number[0]))) ||
           number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

bool MakeSafeMemberPath(const std::string& name, std::string* path) {
    path->clear();
    if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return false;
    if (name.size() >= 2 && name[1] == ':') return false;
    const bool folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") return false;
#ifdef _WIN32
        if (part.find(':') != std::string::npos || IsDeviceName(part)) return false;
        // Windows drops trailing dots and blanks; a part made only of them would
        // name its parent.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty()) return false;
#endif
        if (!path->empty()) *path += kPathSeparator;
        *path += part;
    }
    if (folder && !path->empty()) *path += kPathSeparator;
    return true;
}

} // namespace unzip
