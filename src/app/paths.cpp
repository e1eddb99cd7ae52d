#include "app/paths.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "services/path_text.h"

namespace app {

size_t SystemLength(const std::string& utf8) {
    size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++units; // each character's first byte
        if (c >= 0xF0) ++units;          // outside the basic plane: a surrogate pair
    }
    return units;
}

std::string CollapsePath(const std::string& text) {
#ifdef _WIN32
    return services::CollapseBackslashes(text);
#else
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\') c = '/';
        if (c != '/' || out.empty() || out.back() != '/') out.push_back(c);
    }
    return out;
#endif
}

std::string WithoutTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() == platform::kPathSeparator) path.pop_back();
    return path;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of(kSep);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

size_t NetworkRootLength(const std::string& path) {
    if (path.rfind(kSep + kSep, 0) != 0) return 0;
    const size_t server_end = path.find(platform::kPathSeparator, 2);
    if (server_end == std::string::npos || server_end == 2) return 0;
    const size_t share_end =
        std::min(path.find(platform::kPathSeparator, server_end + 1), path.size());
    return share_end > server_end + 1 ? share_end : 0;
}

std::vector<std::string> PathLevels(const std::string& full) {
    std::vector<std::string> levels;
    for (size_t start = 0; start <= full.size();) {
        size_t end = full.find(platform::kPathSeparator, start);
        if (end == std::string::npos) end = full.size();
        levels.push_back(full.substr(start, end - start));
        start = end + 1;
    }
    if (levels.size() > 1 && levels.back().empty()) levels.pop_back();
    return levels;
}

bool LevelsHold(const std::vector<std::string>& outer, const std::vector<std::string>& inner) {
    if (outer.size() > inner.size()) return false;
    for (size_t i = 0; i < outer.size(); ++i)
        if (!platform::SameNameIgnoringCase(outer[i], inner[i])) return false;
    return true;
}

namespace {

// The levels of a path's full form; nothing when it cannot be resolved.
std::optional<std::vector<std::string>> FullLevels(const std::string& path) {
    const std::optional<std::string> full = platform::FullPathOf(path);
    if (!full) return std::nullopt;
    return PathLevels(*full);
}

} // namespace

bool SamePath(const std::string& a, const std::string& b) {
    const auto first = FullLevels(a);
    const auto second = FullLevels(b);
    return first && second && first->size() == second->size() && LevelsHold(*second, *first);
}

std::string NameGroupKey(const std::string& name) {
    std::string key;
    for (const char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            if ((c & 0xC0) != 0x80) key += '?';
        } else if (c == '/' || c == '\\') {
            key += '\\';
        } else {
            key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
    return key;
}

bool PathWithin(const std::string& path, const std::string& folder) {
    const auto inner = FullLevels(path);
    const auto outer = FullLevels(folder);
    return inner && outer && inner->size() > outer->size() && LevelsHold(*outer, *inner);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    const size_t slash = path.find_last_of(kSep);
    const size_t dot = path.rfind('.');
    const bool has_extension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_extension ? path.substr(0, dot) : path) + extension;
}

} // namespace app
