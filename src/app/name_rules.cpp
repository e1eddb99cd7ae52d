#include "app/name_rules.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "app/paths.h"
#include "platform/folders.h"

namespace app {
namespace {

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Windows opens a device for these names whatever extension follows, and drops the spaces
// before that extension.
bool IsDeviceName(const std::string& value) {
    std::string base = AsciiUpper(value.substr(0, value.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device) return true;
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) return false;
    const std::string number = base.substr(std::min<size_t>(3, base.size()));
    // The superscript digits 1, 2 and 3 (UTF-8) count as well.
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// A path of "\"-separated levels, each of which must be a usable name.
std::string LevelsProblem(const std::string& path, const std::string& what, bool may_be_empty) {
    bool any_level = false;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string level = path.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        any_level = true;
        const std::string problem = FolderNameProblem(level);
        if (!problem.empty()) return what + ": " + problem;
    }
    return any_level || may_be_empty ? std::string() : what + ": prázdná hodnota";
}

} // namespace

std::string FolderNameProblem(const std::string& value) {
    if (value.find_first_not_of(' ') == std::string::npos) return "prázdná hodnota";
    for (const char c : value) {
        if (static_cast<unsigned char>(c) < 0x20) return "řídicí znak";
        if (c == '\\' || c == '/') return "oddělovač cesty";
        if (std::string_view(":*?\"<>|").find(c) != std::string_view::npos)
            return std::string("znak \"") + c + "\"";
    }
    if (value.find_first_not_of('.') == std::string::npos) return "jen tečky";
    if (value.back() == '.' || value.back() == ' ') return "tečka nebo mezera na konci";
    if (value.front() == ' ') return "mezera na začátku";
    if (IsDeviceName(value)) return "vyhrazený název zařízení";
    if (SystemLength(value) > 255) return "delší než 255 znaků";
    return std::string();
}

std::string FolderPathProblem(const std::string& path) {
    const char sep = platform::kPathSeparator;
    size_t levels = std::string::npos; // where the folder names begin
#ifdef _WIN32
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && path[2] == sep;
    if (drive) {
        levels = 3;
    } else if (path.rfind(std::string(2, sep), 0) == 0) {
        // \\server\share\: both names must be there.
        const size_t server_end = path.find(sep, 2);
        const size_t share_end =
            server_end == std::string::npos ? server_end : path.find(sep, server_end + 1);
        if (server_end > 2 && share_end != std::string::npos && share_end > server_end + 1)
            levels = share_end + 1;
    }
#else
    if (!path.empty() && path[0] == sep) levels = 1;
#endif
    if (levels == std::string::npos) return "není úplná cesta";
    for (size_t start = levels; start < path.size();) {
        size_t end = path.find(sep, start);
        if (end == std::string::npos) end = path.size();
        const std::string level = path.substr(start, end - start);
        start = end + 1;
        if (level.empty() && start >= path.size()) break; // a trailing separator
        // Steps within the path, resolved with it before the protected folders are asked.
        if (level == "." || level == "..") continue;
        const std::string problem = FolderNameProblem(level);
        if (!problem.empty()) return level + ": " + problem;
    }
    return std::string();
}

std::string ShortcutLineProblem(const ShortcutLine& line) {
    const std::string name = FolderNameProblem(line.name);
    if (!name.empty()) return "název zástupce: " + name;
    const std::string subfolder = LevelsProblem(line.subfolder, "podadresář", true);
    if (!subfolder.empty()) return subfolder;
    return LevelsProblem(line.target, "cíl", false);
}

std::vector<NamedValueProblem> FolderNameProblems(const Configuration& config) {
    std::vector<NamedValueProblem> problems;
    for (const auto& [key, value] :
         {std::pair{"softname", &config.softname}, std::pair{"company", &config.company},
          std::pair{"regdir", &config.regdir}}) {
        std::string problem = FolderNameProblem(*value);
        if (!problem.empty()) problems.push_back({key, *value, std::move(problem)});
    }
    return problems;
}

} // namespace app
