#include "platform/code_page.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace platform {
namespace {

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

} // namespace

#ifdef _WIN32

namespace {

std::wstring ToWide(UINT code_page, const std::string& s) {
    const int size = static_cast<int>(s.size());
    int n = MultiByteToWideChar(code_page, 0, s.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(code_page, 0, s.data(), size, &wide[0], n);
    return wide;
}

std::string FromWide(UINT code_page, const std::wstring& wide) {
    const int size = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(code_page, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(code_page, 0, wide.data(), size, &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace

std::wstring Widen(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}
std::string Narrow(const std::wstring& wide) {
    return FromWide(CP_UTF8, wide);
}
std::string AnsiToUtf8(const std::string& ansi) {
    return IsAscii(ansi) ? ansi : FromWide(CP_UTF8, ToWide(CP_ACP, ansi));
}
std::string Utf8ToAnsi(const std::string& utf8) {
    return IsAscii(utf8) ? utf8 : FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
}
std::string Utf8ToOem(const std::string& utf8) {
    return IsAscii(utf8) ? utf8 : FromWide(CP_OEMCP, ToWide(CP_UTF8, utf8));
}
namespace {

bool Fits(UINT code_page, const std::string& utf8) {
    if (IsAscii(utf8)) return true;
    // Without WC_NO_BEST_FIT_CHARS a missing letter could turn into a similar one silently.
    const std::wstring wide = ToWide(CP_UTF8, utf8);
    BOOL used_default = FALSE;
    const int n =
        WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), nullptr, 0, nullptr, &used_default);
    return n > 0 && !used_default;
}

} // namespace

bool FitsOemCodePage(const std::string& utf8) {
    return Fits(CP_OEMCP, utf8);
}
bool FitsCodePage(const std::string& utf8, int code_page) {
    return Fits(static_cast<UINT>(code_page), utf8);
}

#else

namespace {

int g_code_page = 1250;

// Converts with iconv; unconvertible input is replaced by `replacement` (or
// copied as it is when replacement is 0) and conversion goes on after it.
std::string Convert(const char* to, const char* from, const std::string& in, char replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    char buffer[256];
    char* in_p = const_cast<char*>(in.data());
    size_t in_left = in.size();
    while (in_left > 0) {
        char* out_p = buffer;
        size_t out_left = sizeof buffer;
        size_t rc = iconv(cd, &in_p, &in_left, &out_p, &out_left);
        out.append(buffer, sizeof buffer - out_left);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Skip one unconvertible byte (or one UTF-8 sequence).
            size_t skip = 1;
            if (!replacement) {
                out.push_back(*in_p);
            } else {
                out.push_back(replacement);
                while (skip < in_left && (static_cast<unsigned char>(in_p[skip]) & 0xC0) == 0x80)
                    ++skip;
            }
            in_p += skip;
            in_left -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

std::string CodePageName() {
    return "CP" + std::to_string(g_code_page);
}

} // namespace

void SetAnsiCodePage(int code_page) {
    g_code_page = code_page;
}
int AnsiCodePage() {
    return g_code_page;
}
std::string AnsiToUtf8(const std::string& ansi) {
    return IsAscii(ansi) ? ansi : Convert("UTF-8", CodePageName().c_str(), ansi, 0);
}
std::string Utf8ToAnsi(const std::string& utf8) {
    return IsAscii(utf8) ? utf8 : Convert(CodePageName().c_str(), "UTF-8", utf8, '?');
}
std::string Utf8ToOem(const std::string& utf8) {
    return IsAscii(utf8) ? utf8 : Convert("CP852", "UTF-8", utf8, '?');
}
namespace {

bool Fits(const std::string& code_page_name, const std::string& utf8) {
    if (IsAscii(utf8)) return true;
    iconv_t cd = iconv_open(code_page_name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char* in_p = const_cast<char*>(utf8.data());
    size_t in_left = utf8.size();
    bool fits = true;
    while (fits && in_left > 0) {
        char buffer[256];
        char* out_p = buffer;
        size_t out_left = sizeof buffer;
        // Without //TRANSLIT, iconv stops at the first character the code page lacks.
        if (iconv(cd, &in_p, &in_left, &out_p, &out_left) == static_cast<size_t>(-1) &&
            errno != E2BIG)
            fits = false;
    }
    iconv_close(cd);
    return fits;
}

} // namespace

bool FitsOemCodePage(const std::string& utf8) {
    return Fits("CP852", utf8);
}
bool FitsCodePage(const std::string& utf8, int code_page) {
    return Fits("CP" + std::to_string(code_page), utf8);
}

#endif

} // namespace platform
