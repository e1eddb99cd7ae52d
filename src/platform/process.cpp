#include "platform/process.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "platform/code_page.h"
#include "platform/shell_link.h"
#include "platform/system_library.h"
#else
#include <unistd.h>

#include <climits>
#include <mutex>
#endif

namespace platform {

#ifdef _WIN32

std::string ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        // A path that filled the buffer may have been cut: try again with more room.
        if (n < path.size()) {
            path.resize(n);
            // Wine gives a program started from a network share as "UNC\server\share\...",
            // where Windows gives "\\server\share\...": a module's path is never relative.
            if (path.compare(0, 4, L"UNC\\") == 0) path.replace(0, 3, L"\\");
            return Narrow(path);
        }
        path.assign(path.size() * 2, L'\0');
    }
}

std::string CommandLineArguments() {
    const wchar_t* line = GetCommandLineW();
    // The name ends at its closing quote, or at the first blank when it is not quoted.
    if (*line == L'"') {
        for (++line; *line && *line != L'"'; ++line) {}
        if (*line) ++line;
    }
    while (*line && *line != L' ' && *line != L'\t') ++line;
    while (*line == L' ' || *line == L'\t') ++line;
    return Narrow(line);
}

std::string CurrentFolder() {
    const DWORD need = GetCurrentDirectoryW(0, nullptr);
    if (need == 0) return std::string();
    std::wstring folder(need, L'\0');
    const DWORD n = GetCurrentDirectoryW(need, &folder[0]);
    folder.resize(n < need ? n : 0);
    return Narrow(folder);
}

bool ChangeCurrentFolder(const std::string& folder) {
    return SetCurrentDirectoryW(Widen(folder).c_str()) != 0;
}

bool RunBatchHidden(const std::string& batch_file, const std::string& working_folder) {
    wchar_t system_folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system_folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    const std::wstring interpreter = std::wstring(system_folder) + L"\\cmd.exe";
    // The interpreter drops the outer pair of quotes after /c and keeps the inner pair, so a
    // path with blanks stays one word.
    std::wstring command = L"cmd.exe /c \"\"" + Widen(batch_file) + L"\"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    const std::wstring folder = Widen(working_folder);
    if (!CreateProcessW(interpreter.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::optional<unsigned long> RunProgramAndWait(const std::string& program,
                                               const std::string& arguments,
                                               const std::string& working_folder) {
    const std::wstring path = Widen(program);
    std::wstring command = L"\"" + path + L"\"";
    if (!arguments.empty()) command += L" " + Widen(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const std::wstring folder = Widen(working_folder);
    if (!CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (!ended) return std::nullopt;
    return code;
}

std::optional<unsigned long> RunElevatedAndWait(const std::string& program,
                                                const std::string& arguments,
                                                const std::string& working_folder) {
    EnsureThreadApartment();
    static auto* const execute =
        SystemFunctionAs<decltype(ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (!execute) return std::nullopt;
    const std::wstring file = Widen(program), parameters = Widen(arguments),
                       folder = Widen(working_folder);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!execute(&info) || !info.hProcess) return std::nullopt;
    DWORD code = 0;
    const bool ended = WaitForSingleObject(info.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    if (!ended) return std::nullopt;
    return code;
}

namespace {

// Whether the process's token counts as the well-known group or account.
bool TokenIs(WELL_KNOWN_SID_TYPE type) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    BOOL member = FALSE;
    return CreateWellKnownSid(type, nullptr, sid, &size) &&
           CheckTokenMembership(nullptr, sid, &member) && member;
}

} // namespace

bool HasAdministratorRights() {
    return TokenIs(WinBuiltinAdministratorsSid);
}

bool RunsAsSystemAccount() {
    return TokenIs(WinLocalSystemSid);
}

bool OpenDocument(const std::string& path) {
    // The shell may hand the document over through COM.
    EnsureThreadApartment();
    static auto* const execute =
        SystemFunctionAs<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!execute) return false;
    const HINSTANCE result = execute(nullptr, L"open", Widen(path).c_str(), L"", L"", SW_SHOW);
    // Values above 32 mean success; the type is HINSTANCE only for old callers' sake.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

#else

namespace {

struct Recorder {
    std::mutex lock;
    std::vector<StartRequest> requests;
};

Recorder& Requests() {
    static Recorder recorder;
    return recorder;
}

void Record(StartRequest request) {
    Recorder& recorder = Requests();
    std::lock_guard<std::mutex> hold(recorder.lock);
    recorder.requests.push_back(std::move(request));
}

} // namespace

std::string ProgramFilePath() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return n > 0 && static_cast<size_t>(n) < sizeof path ? std::string(path, n) : std::string();
}

std::string CommandLineArguments() {
    return std::string();
}

std::string CurrentFolder() {
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) ? std::string(folder) : std::string();
}

bool ChangeCurrentFolder(const std::string& folder) {
    return chdir(folder.c_str()) == 0;
}

bool RunBatchHidden(const std::string& batch_file, const std::string& working_folder) {
    Record({"batch", batch_file, working_folder});
    return true;
}

bool OpenDocument(const std::string& path) {
    Record({"open", path, std::string()});
    return true;
}

bool HasAdministratorRights() {
    return true;
}

bool RunsAsSystemAccount() {
    return false;
}

std::vector<StartRequest> TakeStartRequests() {
    Recorder& recorder = Requests();
    std::lock_guard<std::mutex> hold(recorder.lock);
    std::vector<StartRequest> taken;
    taken.swap(recorder.requests);
    return taken;
}

#endif

} // namespace platform
