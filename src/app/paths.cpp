#include "app/paths.h"

#include "services/path_text.h"

namespace app {

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

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    const size_t slash = path.find_last_of(kSep);
    const size_t dot = path.rfind('.');
    const bool has_extension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_extension ? path.substr(0, dot) : path) + extension;
}

} // namespace app
