// Shortcut files: names and places, and the target and working folder read back through
// the shell link object (natively the stand-in file). system_oracle.py checks the real
// files with lnkinfo.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/error.h"
#include "platform/folders.h"
#include "platform/shell_link.h"
#include "services/shell_shortcut.h"
#include "support/scratch.h"

namespace {

const std::string kSep(1, platform::kPathSeparator);

TEST(ShortcutFilePath, NameAndFolderRules) {
    const std::pair<const char*, const char*> cases[] = {
        {"Readme", "Readme.lnk"},
        {"Readme.lnk", "Readme.lnk"},
        {"Read.lnk.me", "Read.lnk.me"}, // contains ".lnk": nothing appended
        {"Readme.LNK", "Readme.LNK.lnk"},
    };
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(services::ShortcutFilePath(name, "Menu"), "Menu" + kSep + file);
        EXPECT_EQ(services::ShortcutFilePath(name, "Menu" + kSep), "Menu" + kSep + file);
    }
}

class Shortcut : public ::testing::Test {
  protected:
    bool Exists(const std::string& path) {
        return std::filesystem::exists(std::filesystem::u8path(path));
    }

    platform::ComApartment com_;
    scratch::Folder dir_;
};

TEST_F(Shortcut, WritesTargetAndWorkingFolderAndOverwrites) {
    ASSERT_TRUE(com_.Initialize());
    for (const auto& target : {dir_.Path("Prog", "run.exe"), dir_.Path("Other", "tool.exe")}) {
        ASSERT_TRUE(services::CreateLink(target, "Run", dir_.Path()));
        const auto link = platform::LoadShellLink(dir_.Path("Run.lnk"));
        ASSERT_TRUE(link.has_value());
        EXPECT_EQ(link->target, target);
        EXPECT_EQ(link->working_folder, target.substr(0, target.rfind(kSep) + 1));
    }
}

TEST_F(Shortcut, MissingOrEmptyFolderGivesNoFileAndFails) {
    EXPECT_FALSE(services::CreateLink(dir_.Path("run.exe"), "Run", dir_.Path("missing")));
    EXPECT_FALSE(services::CreateLink(dir_.Path("run.exe"), "Run", ""));
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::u8path(dir_.Path())));
}

#ifdef _WIN32
// A thread without COM cannot make the shell link object: the failure is raised with the
// system's text for the code or, where it has none (as in Wine), with the code itself.
TEST_F(Shortcut, NoApartmentRaises) {
    std::string message = "<none>";
    std::thread([&] {
        try {
            (void)services::CreateLink(dir_.Path("run.exe"), "Run", dir_.Path()); // raises
        } catch (const platform::Error& e) {
            message = e.what();
        }
    }).join();
    const std::string system_text = platform::SystemErrorText(0x800401F0); // CO_E_NOTINITIALIZED
    EXPECT_EQ(message, system_text.empty() ? "OLE error 800401f0" : system_text);
    EXPECT_FALSE(Exists(dir_.Path("Run.lnk")));
}
#endif

} // namespace
