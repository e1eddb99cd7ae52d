// The self-removal batch: its text for paths the command interpreter would misread, the
// writable-folder probe, and under Wine the batch as the interpreter runs it, hidden.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <thread>

#include "app/folder_probe.h"
#include "app/self_removal.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "support/scratch.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include "platform/process.h"
#endif

namespace {

using scratch::Exists;
using scratch::kSep;

// A short-form lookup that answers from a table and nothing else.
app::ShortFormLookup ShortForms(std::map<std::string, std::string> table) {
    return [table](const std::string& path) {
        const auto found = table.find(path);
        return found == table.end() ? std::string() : found->second;
    };
}

TEST(SelfRemovalBatch, WaitsBoundedDoublesPercentAndErasesItselfLast) {
    // Czech letters are in the OEM code page and stay; "%PATH%" written as it is would be
    // replaced by the variable's value.
    const std::string folder = kSep + "Želví 100%PATH%";
    const app::SelfRemovalPaths paths = {folder + kSep + "setup.exe", folder + kSep + "setup.ini",
                                         folder + kSep, kSep + "Tmp" + kSep + "setup123.bat"};
    const std::optional<std::string> text = app::SelfRemovalBatch(paths, 30, ShortForms({}));
    ASSERT_TRUE(text.has_value());
    const std::string in = "\"" + kSep +
                           "\xA6"
                           "elv\xA1 100%%PATH%%" +
                           kSep;
    EXPECT_EQ(*text,
              "@echo off\r\n"
              "setlocal EnableExtensions DisableDelayedExpansion\r\n"
              "set tries=0\r\n"
              ":wait_program\r\n"
              "Erase " +
                  in +
                  "setup.exe\"\r\n"
                  "If not exist " +
                  in +
                  "setup.exe\" Goto program_gone\r\n"
                  "set /a tries+=1\r\n"
                  "If %tries% geq 30 Goto program_gone\r\n"
                  "ping -n 2 127.0.0.1 >nul\r\n"
                  "Goto wait_program\r\n"
                  ":program_gone\r\n"
                  "set tries=0\r\n"
                  ":wait_settings\r\n"
                  "Erase " +
                  in +
                  "setup.ini\"\r\n"
                  "If not exist " +
                  in +
                  "setup.ini\" Goto settings_gone\r\n"
                  "set /a tries+=1\r\n"
                  "If %tries% geq 30 Goto settings_gone\r\n"
                  "ping -n 2 127.0.0.1 >nul\r\n"
                  "Goto wait_settings\r\n"
                  ":settings_gone\r\n"
                  "rd \"" +
                  kSep +
                  "\xA6"
                  "elv\xA1 100%%PATH%%\"\r\n"
                  "Erase \"" +
                  kSep + "Tmp" + kSep + "setup123.bat\"\r\n");
}

TEST(SelfRemovalBatch, PathsOutsideTheOemCodePageTakeShortFormsOrNoBatch) {
    // "€" is in the ANSI code page 1250 but not in the OEM code page 852.
    EXPECT_TRUE(platform::FitsOemCodePage("Želví balíček 100%"));
    for (const char* outside : {"ζ", "日本", "Cena €"})
        EXPECT_FALSE(platform::FitsOemCodePage(outside)) << outside;

    const std::string folder = kSep + "Pkg 日本";
    const std::string temp = kSep + "Temp ζ";
    const app::SelfRemovalPaths paths = {folder + kSep + "setup.exe", folder + kSep + "setup.ini",
                                         folder, temp + kSep + "setup123.bat"};
    const std::string short_folder = kSep + "PKG~1";
    // The batch is not written yet and has no short form; its folder has.
    const std::optional<std::string> text = app::SelfRemovalBatch(
        paths, 30,
        ShortForms({{folder, short_folder},
                    {folder + kSep + "setup.exe", short_folder + kSep + "SETUP.EXE"},
                    {folder + kSep + "setup.ini", short_folder + kSep + "SETUP.INI"},
                    {temp, kSep + "TEMP~1"}}));
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("Erase \"" + short_folder + kSep + "SETUP.EXE\"\r\n"), std::string::npos);
    EXPECT_NE(text->find("Erase \"" + short_folder + kSep + "SETUP.INI\"\r\n"), std::string::npos);
    EXPECT_NE(text->find("rd \"" + short_folder + "\"\r\n"), std::string::npos);
    EXPECT_NE(text->find("Erase \"" + kSep + "TEMP~1" + kSep + "setup123.bat\"\r\n"),
              std::string::npos);
    EXPECT_EQ(text->find('?'), std::string::npos) << *text;

    // No short form, or one that still has the letters (8.3 names switched off on the volume):
    // no batch, rather than one that names another file or none.
    EXPECT_FALSE(app::SelfRemovalBatch(paths, 30, ShortForms({})).has_value());
    EXPECT_FALSE(
        app::SelfRemovalBatch(paths, 30, [](const std::string& path) { return path; }).has_value());
}

TEST(SelfRemovalFolder, WritableOnlyWhereAFileCanBeMade) {
    scratch::Folder dir;
    scratch::WriteFile(dir.Path("file.txt"), "a file, not a folder");
    EXPECT_TRUE(app::FolderIsWritable(dir.Path()));
    // The probe file is gone again.
    const std::filesystem::directory_iterator entries(scratch::FsPath(dir.Path()));
    EXPECT_EQ(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)), 1);
    EXPECT_FALSE(app::FolderIsWritable(dir.Path("missing")));
    EXPECT_FALSE(app::FolderIsWritable(dir.Path("file.txt")));
}

#ifdef _WIN32
// The command interpreters this test program started that still run.
int RunningChildInterpreters() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    int running = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            _wcsicmp(entry.szExeFile, L"cmd.exe") == 0)
            ++running;
    CloseHandle(snapshot);
    return running;
}

// Writes the batch, runs it hidden as setup does and waits for the interpreter to end; false
// when it still runs after `seconds`.
bool RunToEnd(const app::SelfRemovalPaths& paths, int tries, int seconds) {
    const std::optional<std::string> text = app::SelfRemovalBatch(paths, tries);
    if (!text || !platform::ReplaceWholeFile(paths.batch_file, *text)) {
        ADD_FAILURE() << "no batch for " << paths.program_file;
        return false;
    }
    const std::string folder = paths.batch_file.substr(0, paths.batch_file.rfind('\\'));
    if (!platform::RunBatchHidden(paths.batch_file, folder)) return false;
    EXPECT_EQ(RunningChildInterpreters(), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (RunningChildInterpreters() != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return RunningChildInterpreters() == 0;
}

// A folder with "%" and Czech letters, written as it is; files with letters the OEM code
// page lacks, written in the short forms Wine gives them; the batch in such a folder.
TEST(SelfRemovalRun, PercentAndNonOemPathsAreRemoved) {
    scratch::Folder dir;
    const std::string folder = dir.Path("balíček 100%PATH%");
    const app::SelfRemovalPaths paths = {folder + "\\setup 日本.exe", folder + "\\setup 日本.ini",
                                         folder + "\\", dir.Path("Temp ζ", "setup123.bat")};
    scratch::WriteFile(paths.program_file, "program");
    scratch::WriteFile(paths.settings_file, "settings");
    ASSERT_TRUE(platform::MakeFolder(dir.Path("Temp ζ")));
    ASSERT_TRUE(RunToEnd(paths, app::kSelfRemovalTries, 60));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(paths.batch_file));
}

// A program file that never goes (held open here) is given up after the tries, a second
// apart; the rest goes as usual and the interpreter ends.
TEST(SelfRemovalRun, KeptFileIsGivenUpAfterTheTries) {
    scratch::Folder dir;
    const std::string folder = dir.Path("Pkg");
    const app::SelfRemovalPaths paths = {folder + "\\setup.exe", folder + "\\setup.ini", folder,
                                         dir.Path("setup123.bat")};
    scratch::WriteFile(paths.program_file, "program");
    scratch::WriteFile(paths.settings_file, "settings");
    std::ifstream running(scratch::FsPath(paths.program_file));
    ASSERT_TRUE(running.is_open());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunToEnd(paths, 3, 30));
    // Three tries make two pauses: a pause that does not pause would end it at once.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(Exists(paths.program_file));
    EXPECT_FALSE(Exists(paths.settings_file));
    EXPECT_TRUE(Exists(folder));
    EXPECT_FALSE(Exists(paths.batch_file));
}
#endif

} // namespace
