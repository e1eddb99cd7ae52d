#include "unzip/text_codec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace unzip {
namespace {

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

} // namespace

#ifdef _WIN32

std::wstring Utf8ToWide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n,
                        nullptr, nullptr);
    return utf8;
}

bool CodePageAvailable(int code_page) {
    return code_page == kSystemOemCodePage || IsValidCodePage(static_cast<UINT>(code_page));
}

std::string DecodeMemberName(const std::string& raw, bool utf8, int oem_code_page) {
    if (IsAscii(raw)) return raw;
    if (utf8) return WideToUtf8(Utf8ToWide(raw)); // invalid sequences become U+FFFD
    UINT cp = oem_code_page == kSystemOemCodePage ? CP_OEMCP : static_cast<UINT>(oem_code_page);
    int n = MultiByteToWideChar(cp, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
    if (n <= 0) return raw;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, raw.data(), static_cast<int>(raw.size()), &wide[0], n);
    return WideToUtf8(wide);
}

#else

namespace {

std::string IconvName(int code_page) {
    return "CP" + std::to_string(code_page == kSystemOemCodePage ? 437 : code_page);
}

} // namespace

bool CodePageAvailable(int code_page) {
    iconv_t cd = iconv_open("UTF-8", IconvName(code_page).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}

std::string DecodeMemberName(const std::string& raw, bool utf8, int oem_code_page) {
    if (utf8 || IsAscii(raw)) return raw;
    iconv_t cd = iconv_open("UTF-8", IconvName(oem_code_page).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return raw;
    std::string out(raw.size() * 4, '\0');
    char* in_p = const_cast<char*>(raw.data());
    size_t in_left = raw.size();
    char* out_p = &out[0];
    size_t out_left = out.size();
    size_t rc = iconv(cd, &in_p, &in_left, &out_p, &out_left);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return raw;
    out.resize(out.size() - out_left);
    return out;
}

#endif

} // namespace unzip
