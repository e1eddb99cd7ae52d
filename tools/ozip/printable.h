// Names from archives and package files as ozip prints them, one item a line.
#pragma once

#include <cstdio>
#include <string>

namespace ozip {

// Control characters in stored names would break the one-line-per-item output.
inline std::string Printable(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace ozip
