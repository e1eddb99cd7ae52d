// What the package tools need to know of UTF-8 text: whether bytes are well-formed UTF-8, and
// the characters they hold.
#pragma once

#include <string>

namespace ozip {

// The character that begins at `at`, and the number of bytes it takes; 0 (and `code_point` left
// alone) where no well-formed one begins: a sequence cut short, a stray continuation byte, an
// overlong form, a surrogate or a value beyond U+10FFFF.
inline size_t DecodeUtf8(const std::string& text, size_t at, char32_t& code_point) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xF0 && lead < 0xF5 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = value << 6 | (next & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || (value >= 0xD800 && value < 0xE000) || value > 0x10FFFF)
        return 0;
    code_point = value;
    return length;
}

// True when the whole text is well-formed UTF-8; `beyond_ascii` (if given) tells whether it
// holds a character beyond ASCII.
inline bool IsWellFormedUtf8(const std::string& text, bool* beyond_ascii = nullptr) {
    bool beyond = false;
    char32_t code_point;
    for (size_t i = 0, length; i < text.size(); i += length) {
        length = DecodeUtf8(text, i, code_point);
        if (length == 0) return false;
        beyond = beyond || length > 1;
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
