#include "unzip/mask.h"

namespace unzip {
namespace {

// Masks and names are compared as texts of at most 255 characters.
constexpr size_t kMaxText = 255;

std::string Upper(const std::string& s) {
    std::string u = s.substr(0, kMaxText);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

} // namespace

bool MatchMask(const std::string& mask_in, const std::string& name_in) {
    const std::string mask = Upper(mask_in);
    if (mask.empty() || mask == "*.*") return true;
    const std::string name = Upper(name_in);

    const size_t dot = name.find('.');
    if (mask.compare(0, 2, "*.") == 0) {
        const std::string extension =
            dot == std::string::npos ? std::string() : name.substr(dot + 1);
        return mask.substr(2) == extension;
    }
    if (mask.back() == '*') {
        std::string prefix = mask;
        if (prefix.size() >= 2 && prefix[prefix.size() - 2] == '.')
            prefix.resize(prefix.size() - 2);
        if (!prefix.empty() && (prefix.back() == '*' || prefix.back() == '?')) prefix.pop_back();
        const std::string base = name.substr(0, dot);
        return base.compare(0, prefix.size(), prefix) == 0;
    }
    return mask == name;
}

} // namespace unzip
