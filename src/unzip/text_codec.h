// Conversion of stored member names to the UTF-8 the engine works in.
#pragma once

#include <string>

namespace unzip {

// The system's OEM code page on Windows; 437 elsewhere.
constexpr int kSystemOemCodePage = 0;

// Decodes a member name: UTF-8 when the archive says so (flag bit 11), else the
// given OEM code page (kSystemOemCodePage for the platform default). Bytes that
// cannot be decoded are kept as they are natively and become U+FFFD on Windows.
std::string DecodeMemberName(const std::string& raw, bool utf8, int oem_code_page);

// True when the code page is usable for DecodeMemberName on this platform.
bool CodePageAvailable(int code_page);

#ifdef _WIN32
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);
#endif

} // namespace unzip
