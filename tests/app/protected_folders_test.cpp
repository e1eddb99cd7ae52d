// The folders an installation may not go into nor a removal take away, and the full-path
// resolution they are compared in: lexical natively, GetFullPathName under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/protected_folders.h"
#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/known_folders.h"

namespace {

using platform::FullPathOf;

// The tables spell Windows paths; the native build reads "C:" as its root and "\" as "/".
std::string P(const std::string& windows_path) {
#ifdef _WIN32
    return windows_path;
#else
    const bool drive =
        windows_path.size() >= 2 && (windows_path[0] | 0x20) == 'c' && windows_path[1] == ':';
    std::string path = drive ? windows_path.substr(2) : windows_path;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
#endif
}

std::string Current() {
    return FullPathOf(".").value_or("?");
}

TEST(FullPath, OneSpellingPerFolder) {
    const struct {
        std::string path;
        std::string full;
    } cases[] = {
        {P("C:\\."), P("C:\\")},
        {P("C:\\X\\.."), P("C:\\")},
        {P("C:\\..\\..\\X"), P("C:\\X")},
        {P("C:\\Windows\\..\\Windows"), P("C:\\Windows")},
        {P("C:\\Windows\\"), P("C:\\Windows")},
        {P("C:\\Windows\\\\System32\\\\\\drivers\\.\\"), P("C:\\Windows\\System32\\drivers")},
#ifdef _WIN32
        {"c:\\WINDOWS", "c:\\WINDOWS"}, // the case stays; comparisons fold it
        {"C:/Windows/System32/", "C:\\Windows\\System32"},
        {"\\\\?\\C:\\Windows\\..\\X", "C:\\X"},
        {"\\\\.\\C:\\Windows", "C:\\Windows"},
        {"\\??\\C:\\Windows", "C:\\Windows"},
        {"//?/c:/X", "c:\\X"},
        {"\\\\?\\UNC\\srv\\share\\X", "\\\\srv\\share\\X"},
        {"\\\\srv\\share\\X\\..\\Y\\", "\\\\srv\\share\\Y"},
#endif
        {P("sub\\..\\X"), Current() + platform::kPathSeparator + "X"},
        {".", Current()},
    };
    for (const auto& c : cases) EXPECT_EQ(FullPathOf(c.path).value_or("(none)"), c.full) << c.path;
    EXPECT_FALSE(FullPathOf(""));
}

TEST(FullPath, NamesCompareIgnoringCase) {
    EXPECT_TRUE(platform::SameNameIgnoringCase("Program Files", "PROGRAM files"));
    EXPECT_FALSE(platform::SameNameIgnoringCase("Program Files", "Program File"));
    EXPECT_FALSE(platform::SameNameIgnoringCase("Windows", "Windowz"));
#ifdef _WIN32
    // "Zlutoucky" with its Czech letters, in both cases.
    EXPECT_TRUE(platform::SameNameIgnoringCase("\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD",
                                               "\xC5\xBDLU\xC5\xA4OU\xC4\x8CK\xC3\x9D"));
#endif
}

TEST(ProtectedFolders, RefusesProtectedFoldersTheirHoldersAndTheWindowsTree) {
    app::ProtectedFolders folders;
    folders.AddWithContents(P("C:\\Windows"));
    folders.Add(P("C:\\Program Files"));
    folders.Add(P("C:\\Users\\eva\\Documents"));
    folders.Add(P("C:\\Users\\eva"));
    folders.Add(""); // skipped, not taken for the current folder

    const struct {
        std::string path;
        std::string conflict; // empty: free
    } cases[] = {
        {P("C:\\"), P("C:\\")},
        {P("C:\\."), P("C:\\")},
        {P("C:\\Windows"), P("C:\\Windows")},
        {P("c:\\WINDOWS\\"), P("C:\\Windows")},
        {P("C:\\Windows\\System32\\Zelvik"), P("C:\\Windows")},
        {P("C:\\Zelvik\\..\\Windows\\Temp"), P("C:\\Windows")},
        {P("C:\\Program Files"), P("C:\\Program Files")},
        {P("C:\\PROGRAM FILES\\..\\Program Files\\."), P("C:\\Program Files")},
        {P("C:\\Users"), P("C:\\Users\\eva\\Documents")},
        {P("C:\\Users\\EVA\\"), P("C:\\Users\\eva")},
        {P("C:\\Users\\eva\\Documents"), P("C:\\Users\\eva\\Documents")},
        {P("C:\\Program Files\\Zelvik"), ""},
        {P("C:\\Program Files\\Orvo\\Zelvik"), ""},
        {P("C:\\Users\\eva\\Documents\\Zelvik"), ""},
        {P("C:\\Users\\eva\\Zelvik"), ""},
        {P("C:\\Users\\adam"), ""},
        {P("C:\\Windowsy"), ""}, // a longer name, not a level below
        {P("C:\\Program Files (x86)"), ""},
        {P("C:\\Zelvik"), ""},
#ifdef _WIN32
        {"D:\\", "D:\\"}, // every drive's root, listed or not
        {"d:", "D:\\"},   // the current folder of D:, which Wine keeps at its root
        {"\\\\srv\\share", "\\\\srv\\share"}, // a share's root, as a drive's
        {"\\\\srv\\share\\Zelvik\\..\\", "\\\\srv\\share"},
        {"\\\\srv\\share\\Zelvik", ""},
        {"\\\\?\\C:\\Windows\\Zelvik", "C:\\Windows"},
        {"C:/Program Files/", "C:\\Program Files"},
#endif
    };
    for (const auto& c : cases) {
        const std::optional<std::string> conflict = folders.ConflictOf(c.path);
        // Names of existing levels come back as the disk spells them ("C:\windows" under Wine).
        EXPECT_TRUE(platform::SameNameIgnoringCase(conflict.value_or(""), c.conflict))
            << c.path << " conflicts with " << conflict.value_or("nothing");
        EXPECT_EQ(folders.RefusesInstallInto(c.path), !c.conflict.empty()) << c.path;
        EXPECT_EQ(folders.RefusesRemoval(c.path), !c.conflict.empty()) << c.path;
    }
    EXPECT_TRUE(folders.RefusesInstallInto("")); // what cannot be resolved is never used
}

TEST(ProtectedFolders, RelativePathsAreTakenFromTheCurrentFolder) {
    app::ProtectedFolders folders;
    folders.Add(".");
    EXPECT_EQ(folders.ConflictOf(Current()).value_or(""), Current());
    EXPECT_TRUE(folders.RefusesInstallInto(P("Zelvik\\..")));
    EXPECT_TRUE(folders.RefusesRemoval(".."));
    EXPECT_FALSE(folders.RefusesInstallInto("Zelvik"));
}

#ifdef _WIN32
TEST(ProtectedFolders, NonAsciiNamesFoldCase) {
    app::ProtectedFolders folders;
    folders.Add("C:\\Users\\\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD");
    EXPECT_TRUE(folders.RefusesInstallInto("c:\\users\\\xC5\xBDLU\xC5\xA4OU\xC4\x8CK\xC3\x9D"));
    EXPECT_FALSE(
        folders.RefusesInstallInto("C:\\Users\\\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD\\Zelvik"));
}
#endif

// The running system's folders: under Wine its own, natively the home and temporary folder.
TEST(ProtectedFolders, SystemListHoldsTheSystemsAndUsersFolders) {
    const app::ProtectedFolders folders = app::SystemProtectedFolders(services::SystemDirs());
    const auto variable = [](const char* name) {
        return platform::EnvironmentValue(name).value_or("");
    };
#ifdef _WIN32
    const std::string windows = platform::WindowsFolder();
    const std::string profile = variable("USERPROFILE");
    const std::string program_files = variable("ProgramFiles");
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(profile.empty());
    ASSERT_FALSE(program_files.empty());
    for (const std::string& path :
         {windows, windows + "\\system32", windows + "\\Zelvik", std::string("C:\\"),
          std::string("Z:\\"), std::string("C:\\users"), profile, profile + "\\Desktop",
          profile + "\\Documents", profile + "\\Downloads", program_files,
          std::string("C:\\Program Files (x86)"), variable("TEMP"), variable("ProgramData"),
          variable("APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs",
          variable("ProgramData") + "\\Microsoft\\Windows\\Start Menu\\Programs"})
        EXPECT_TRUE(folders.RefusesInstallInto(path)) << path;
    // Short names of existing levels are another spelling of the same folder.
    const std::string short_program_files = platform::ShortPathName(program_files);
    const std::string short_documents = platform::ShortPathName(profile + "\\Documents");
    EXPECT_NE(short_program_files, program_files);
    for (const std::string& path : {short_program_files, short_program_files + "\\.",
                                    short_documents, platform::ShortPathName(windows) + "\\Zelvik"})
        EXPECT_TRUE(folders.RefusesInstallInto(path)) << path;
    EXPECT_FALSE(folders.RefusesInstallInto(short_program_files + "\\Zelvik"));

    for (const std::string& path :
         {program_files + "\\Zelvik", profile + "\\Documents\\Zelvik", std::string("C:\\Zelvik")})
        EXPECT_FALSE(folders.RefusesInstallInto(path)) << path;
#else
    EXPECT_TRUE(folders.RefusesInstallInto("/"));
    EXPECT_TRUE(
        folders.RefusesInstallInto(variable("TMPDIR").empty() ? "/tmp" : variable("TMPDIR")));
    const std::string home = variable("HOME");
    if (!home.empty()) {
        EXPECT_TRUE(folders.RefusesInstallInto(home));
        EXPECT_FALSE(folders.RefusesInstallInto(home + "/Zelvik-not-there"));
    }
#endif
}

} // namespace
