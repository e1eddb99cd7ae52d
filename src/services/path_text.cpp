#include "services/path_text.h"

#include "platform/folders.h"

namespace services {

std::string CollapseBackslashes(const std::string& text) {
    std::string out = text.rfind("\\\\", 0) == 0 ? "\\\\" : "";
    out.reserve(text.size());
    for (char c : text)
        if (c != '\\' || out.empty() || out.back() != '\\') out.push_back(c);
    return out;
}

std::string FolderPartOf(const std::string& path) {
#ifdef _WIN32
    const char* stops = "\\:";
#else
    const char stops[] = {platform::kPathSeparator, '\0'};
#endif
    const size_t end = path.find_last_of(stops);
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

} // namespace services
