// What the package tools need to know of UTF-8 text: whether bytes are well-formed UTF-8.
#pragma once

#include <string>

namespace ozip {

// True when the whole text is well-formed UTF-8; `beyond_ascii` (if given) tells whether it
// holds a character beyond ASCII.
inline bool IsWellFormedUtf8(const std::string& text, bool* beyond_ascii = nullptr) {
    bool beyond = false;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        beyond = beyond || length > 1;
        i += length;
    }
    if (beyond_ascii) *beyond_ascii = beyond;
    return true;
}

// True when the whole text is well-formed UTF-8 and holds at least one character beyond ASCII.
inline bool IsUtf8BeyondAscii(const std::string& text) {
    bool beyond = false;
    return IsWellFormedUtf8(text, &beyond) && beyond;
}

} // namespace ozip
