#include "platform/known_folders.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/code_page.h"
#include "platform/system_library.h"
#else
#include "platform/environment.h"
#endif

namespace platform {

#ifdef _WIN32

namespace {

const KNOWNFOLDERID* const kKnownFolders[] = {
    &FOLDERID_System,
    &FOLDERID_SystemX86,
    &FOLDERID_ProgramFiles,
    &FOLDERID_ProgramFilesX86,
    &FOLDERID_ProgramFilesX64,
    &FOLDERID_ProgramFilesCommon,
    &FOLDERID_ProgramFilesCommonX86,
    &FOLDERID_ProgramFilesCommonX64,
    &FOLDERID_ProgramData,
    &FOLDERID_UserProfiles,
    &FOLDERID_Public,
    &FOLDERID_PublicDesktop,
    &FOLDERID_Profile,
    &FOLDERID_Desktop,
    &FOLDERID_Documents,
    &FOLDERID_Downloads,
    &FOLDERID_RoamingAppData,
    &FOLDERID_LocalAppData,
    &FOLDERID_StartMenu,
    &FOLDERID_Programs,
    &FOLDERID_Startup,
    &FOLDERID_CommonStartMenu,
    &FOLDERID_CommonPrograms,
    &FOLDERID_CommonStartup,
};

// The path of a known folder, whether it exists or not; empty when the system has none.
std::string KnownFolderPath(const KNOWNFOLDERID& id) {
    static auto* const get =
        SystemFunctionAs<decltype(SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    static auto* const release =
        SystemFunctionAs<decltype(CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (!get || !release) return std::string();
    wchar_t* path = nullptr;
    const HRESULT result = get(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    const std::string text = SUCCEEDED(result) && path ? Narrow(path) : std::string();
    release(path);
    return text;
}

// A folder the system writes into a buffer and returns the length of (0 on failure).
template <class Call>
std::string FolderFrom(Call call) {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = call(buffer, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? Narrow(std::wstring(buffer, n)) : std::string();
}

} // namespace

std::string WindowsFolder() {
    return FolderFrom(
        [](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); });
}

std::vector<std::string> SystemAndUserFolders() {
    std::vector<std::string> folders = {
        FolderFrom([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); }),
        FolderFrom(
            [](wchar_t* buffer, UINT size) { return GetSystemWow64DirectoryW(buffer, size); }),
        FolderFrom([](wchar_t* buffer, UINT size) -> UINT { return GetTempPathW(size, buffer); }),
    };
    for (const KNOWNFOLDERID* id : kKnownFolders) folders.push_back(KnownFolderPath(*id));
    folders.erase(std::remove(folders.begin(), folders.end(), std::string()), folders.end());
    return folders;
}

#else

std::string WindowsFolder() {
    return std::string();
}

std::vector<std::string> SystemAndUserFolders() {
    std::vector<std::string> folders;
    if (const auto home = EnvironmentValue("HOME")) folders.push_back(*home);
    folders.push_back(EnvironmentValue("TMPDIR").value_or("/tmp"));
    return folders;
}

#endif

} // namespace platform
