#include "platform/file_copy.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#else
#include <sys/stat.h>

#include "platform/file_io.h"
#endif

namespace platform {

#ifdef _WIN32

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != 0;
}

#else

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    // The files copied are small (the program and its settings), so one read suffices.
    std::string contents;
    return ReadWholeFile(from, contents) == FileRead::kOk && ReplaceWholeFile(to, contents);
}

#endif

} // namespace platform
