#include "services/form_storage.h"

#include <cstdint>
#include <optional>

namespace services {
namespace {

int DigitValue(char c, int base) {
    int value = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
    return value < base ? value : -1;
}

// A signed whole number: an optional sign, then decimal digits or "$" and hexadecimal digits.
// Decimal must lie in the 32-bit range; hexadecimal fills the 32 bits as they are (so
// $FFFFFFFF is -1) and a minus sign negates that.
std::optional<int32_t> ParseInteger(const std::string& text) {
    size_t at = 0;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    }
    if (at == text.size()) return std::nullopt;
    const uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        int digit = DigitValue(text[at], base);
        if (digit < 0) return std::nullopt;
        value = value * base + static_cast<uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

} // namespace

template <typename Access>
auto FormStorage::WithFile(Access access) const {
    if (run_file_) return access(*run_file_);
    SettingsFile own(ini_file_name_);
    return access(own);
}

std::string FormStorage::ProtectQuotes(const std::string& text) {
    if (!text.empty() && text.front() == text.back() &&
        (text.front() == '"' || text.front() == '\''))
        return '"' + text + '"';
    return text;
}

std::string FormStorage::ReadString(const std::string& section, const std::string& key,
                                    const std::string& default_value) const {
    return WithFile(
        [&](SettingsFile& file) { return file.ReadString(section, key, default_value); });
}

void FormStorage::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    WithFile([&](SettingsFile& file) { file.WriteString(section, key, ProtectQuotes(value)); });
}

int FormStorage::ReadInteger(const std::string& section, const std::string& key,
                             int default_value) const {
    std::string text = ReadString(section, key, "");
    // "0x1A" is the C spelling of "$1A"; "0x" alone is no number at all.
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    std::optional<int32_t> value = ParseInteger(text);
    return value ? *value : default_value;
}

void FormStorage::WriteInteger(const std::string& section, const std::string& key, int value) {
    WithFile([&](SettingsFile& file) { file.WriteString(section, key, std::to_string(value)); });
}

void FormStorage::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

void FormStorage::EraseSection(const std::string& section) {
    WithFile([&](SettingsFile& file) { file.EraseSection(section); });
}

std::string FormStorage::ReadNamedString(const std::string& key,
                                         const std::string& default_value) const {
    return ReadString(ini_section_, key, default_value);
}

void FormStorage::WriteNamedString(const std::string& key, const std::string& value) {
    WriteString(ini_section_, key, value);
}

int FormStorage::ReadNamedInteger(const std::string& key, int default_value) const {
    return ReadInteger(ini_section_, key, default_value);
}

void FormStorage::WriteNamedInteger(const std::string& key, int value) {
    WriteInteger(ini_section_, key, value);
}

} // namespace services
