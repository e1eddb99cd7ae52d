// write_files: the floor of an installation under Wine. It makes the folders and writes the files
// of a list, each with its size, and nothing else: no archive, no decoding, no times or
// attributes, so its run time is what creating and writing those files costs by itself.
//
//   write_files.exe LIST TARGET
//
// LIST is UTF-8 text, one entry a line, paths relative to TARGET with backslashes, every folder
// before what it holds:
//   d<TAB>FOLDER
//   f<TAB>SIZE<TAB>FILE
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Large writes, as an installer writes a decoded member: the call count stays out of the figure.
constexpr DWORD kChunk = 1 << 20;

int Fail(const std::wstring& what, const std::wstring& path) {
    std::fwprintf(stderr, L"write_files: %ls %ls: error %lu\n", what.c_str(), path.c_str(),
                  GetLastError());
    return 1;
}

int BadLine(const std::wstring& line) {
    std::fwprintf(stderr, L"write_files: not an entry of the list: %ls\n", line.c_str());
    return 1;
}

bool ReadList(const std::wstring& path, std::wstring& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    std::string bytes;
    DWORD got = 0;
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
             got == bytes.size();
    }
    CloseHandle(file);
    if (!ok || bytes.empty()) return ok;
    const int count = static_cast<int>(bytes.size());
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, nullptr, 0));
    return MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, text.data(),
                               static_cast<int>(text.size())) > 0;
}

bool WriteSized(const std::wstring& path, unsigned long long size, const std::vector<char>& chunk) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    while (ok && size > 0) {
        const DWORD part = size < kChunk ? static_cast<DWORD>(size) : kChunk;
        DWORD written = 0;
        ok = WriteFile(file, chunk.data(), part, &written, nullptr) && written == part;
        size -= part;
    }
    return CloseHandle(file) && ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputws(L"usage: write_files.exe LIST TARGET\n", stderr);
        return 2;
    }
    std::wstring list;
    if (!ReadList(argv[1], list)) return Fail(L"cannot read", argv[1]);
    const std::wstring target = argv[2];
    if (!CreateDirectoryW(target.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Fail(L"cannot make", target);
    // Not zeros: a file system may treat pages of zeros as holes.
    std::vector<char> chunk(kChunk);
    for (DWORD i = 0; i < kChunk; ++i) chunk[i] = static_cast<char>('a' + i % 26);

    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L'\n', start);
        if (end == std::wstring::npos) end = list.size();
        const std::wstring line = list.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        if (line.size() < 2 || line[1] != L'\t') return BadLine(line);
        if (line[0] == L'd') {
            const std::wstring path = target + L"\\" + line.substr(2);
            if (!CreateDirectoryW(path.c_str(), nullptr)) return Fail(L"cannot make", path);
        } else if (line[0] == L'f') {
            const size_t tab = line.find(L'\t', 2);
            if (tab == std::wstring::npos) return BadLine(line);
            const unsigned long long size = std::wcstoull(line.c_str() + 2, nullptr, 10);
            const std::wstring path = target + L"\\" + line.substr(tab + 1);
            if (!WriteSized(path, size, chunk)) return Fail(L"cannot write", path);
        } else {
            return BadLine(line);
        }
    }
    return 0;
}
