// The system folders from keys and a variable the test prepares (system_oracle.py
// compares the real ones with `wine reg query`).
#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/error.h"
#include "services/system_folders.h"
#include "support/scratch.h"

namespace {

using services::SystemDir;
constexpr auto kUser = platform::RegistryRoot::CurrentUser;

class SystemFolders : public ::testing::Test {
  protected:
    SystemFolders() {
        sources_.temp_variable = scratch::UniqueName("ORVO_TEST_TEMP");
        sources_.user_root = sources_.machine_root = kUser;
        sources_.user_key = registry_.Path("Shell Folders");
        sources_.machine_key = registry_.Path("Machine");
        EXPECT_TRUE(user_.Create(kUser, sources_.user_key));
        EXPECT_TRUE(machine_.Create(kUser, sources_.machine_key));
    }
    ~SystemFolders() override { (void)platform::SetEnvironmentValue(sources_.temp_variable, {}); }

    scratch::RegistryKey registry_;
    services::SystemDirSources sources_;
    platform::RegistryKey user_, machine_;
};

TEST_F(SystemFolders, ReadsEveryValueOnce) {
    ASSERT_TRUE(
        platform::SetEnvironmentValue(sources_.temp_variable, std::string("C:\\Temp \xC4\x8D")));
    EXPECT_TRUE(user_.WriteString("Desktop", "C:\\Desk"));
    EXPECT_TRUE(user_.WriteString("Fonts", "%WINDIR%\\Fonts", true));
    EXPECT_TRUE(user_.WriteString("Start Menu", "C:\\Start"));
    EXPECT_TRUE(user_.WriteString("Programs", "C:\\Start\\Programy"));
    EXPECT_TRUE(user_.WriteString("StartUp", ""));
    EXPECT_TRUE(machine_.WriteString("ProgramFilesDir", "C:\\Program Files"));

    services::SystemDirs dirs(sources_);
    const std::pair<SystemDir, std::string> expected[] = {
        {SystemDir::WindowsDir, ""}, // missing value
        {SystemDir::ProgramFilesDir, "C:\\Program Files"},
        {SystemDir::DeskTopDir, "C:\\Desk"},
        {SystemDir::FontsDir, "%WINDIR%\\Fonts"}, // not expanded
        {SystemDir::StartMenuDir, "C:\\Start"},
        {SystemDir::StartMenuProgramsDir, "C:\\Start\\Programy"},
        {SystemDir::RecentDir, ""},
        {SystemDir::StartMenuStartUp, ""},
        {SystemDir::TempDir, "C:\\Temp \xC4\x8D"},
    };
    EXPECT_TRUE(user_.WriteString("Desktop", "C:\\Later")); // looked up once: not seen
    for (const auto& [dir, value] : expected) {
        dirs.Set(dir, "assigned"); // lands in the discard field
        EXPECT_EQ(dirs.Get(dir), value) << static_cast<int>(dir);
    }
    EXPECT_EQ(dirs.DeskTopDir() + "|" + dirs.TempDir(), "C:\\Desk|C:\\Temp \xC4\x8D");

    // No keys and no variable: everything empty, no error.
    ASSERT_TRUE(platform::DeleteRegistryTree(kUser, registry_.Path()));
    ASSERT_TRUE(platform::SetEnvironmentValue(sources_.temp_variable, std::nullopt));
    services::SystemDirs empty(sources_);
    for (const auto& entry : expected) EXPECT_EQ(empty.Get(entry.first), "");
}

TEST_F(SystemFolders, OtherValueTypesRaise) {
    for (auto* key : {&user_, &machine_}) {
        const std::string name = key == &user_ ? "Programs" : "ProgramFilesDir";
        ASSERT_TRUE(key->WriteDword(name, 1));
        try {
            services::SystemDirs dirs(sources_);
            ADD_FAILURE() << "no error for " << name;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.what(), "Invalid data type for '" + name + "'");
        }
        EXPECT_TRUE(key->WriteString(name, "text again"));
    }
}

TEST(SystemFoldersDefault, NoTempVariable) {
    const std::optional<std::string> saved = platform::EnvironmentValue("TEMP");
    ASSERT_TRUE(platform::SetEnvironmentValue("TEMP", std::nullopt));
    const std::string temp = services::SystemDirs().TempDir();
    if (saved) {
        EXPECT_TRUE(platform::SetEnvironmentValue("TEMP", saved));
    }
    EXPECT_EQ(temp, "");
    EXPECT_EQ(services::SystemDirs().TempDir(), saved.value_or(""));
}

} // namespace
