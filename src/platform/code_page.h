// Conversions between the UTF-8 the program works in, the system's 8-bit ANSI
// code page of the product's text files (setup.ini, license.txt, short.txt,
// readme.txt) and, on Windows, the UTF-16 of the W functions.
#pragma once

#include <string>

namespace platform {

// ANSI bytes to UTF-8. Bytes the code page does not define are kept as they are.
std::string AnsiToUtf8(const std::string& ansi);

// UTF-8 to ANSI bytes. Characters the code page cannot hold become '?'.
std::string Utf8ToAnsi(const std::string& utf8);

// UTF-8 to the OEM code page, in which the command interpreter reads batch files
// (852 with the Czech ANSI 1250; the native build uses 852).
std::string Utf8ToOem(const std::string& utf8);

// True when Utf8ToOem keeps every character: none becomes '?' or a look-alike.
bool FitsOemCodePage(const std::string& utf8);

// True when every character has a place in the given code page (1250, ...), none replaced or
// taken for a look-alike.
bool FitsCodePage(const std::string& utf8, int code_page);

#ifdef _WIN32
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
#else
// The native build has no system ANSI code page; it reads and writes 1250, the
// code page of the built-in Czech texts, unless told otherwise.
void SetAnsiCodePage(int code_page);
int AnsiCodePage();
#endif

} // namespace platform
