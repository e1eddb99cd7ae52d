// The uninstaller, the self-removal batch and the cleanup at shutdown, on an installed copy
// in a scratch folder, with message boxes answered through the fake view.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "app/installer.h"
#include "app/package_removal.h"
#include "app/self_removal.h"
#include "installer_fakes.h"
#include "platform/folders.h"

namespace {

using apptest::Exists;
using apptest::kSep;
using apptest::ReadFile;
using apptest::WriteFile;

class Uninstall : public apptest::InstallerTest {
  protected:
    Uninstall() : installed_(Dir("Program Files", "Zelvik Suite")) {
        WriteFile(In("setup.exe"), "the program");
        WriteFile(In("setup.ini"), apptest::SettingsText());
        WriteFile(In("zelvik.exe"), "product");
        WriteFile(In("sub" + kSep + "data.bin"), "data");
        WriteFile(Dir("Desktop", "Zelvik.lnk"), "link");
        WriteFile(Dir("Start", "Zelvik.lnk"), "link");
        WriteFile(Dir("Start", "Programs", "Orvo", "Zelvik", "Tools", "Tool.lnk"), "link");
        WriteFile(Dir("Start", "Programs", "Orvo", "Other", "Other.lnk"), "another product");
    }

    std::string In(const std::string& name) const { return installed_ + kSep + name; }
    app::ProgramPlace Installed() const { return {installed_, In("setup.exe")}; }
    // The record of the fixture's installation and its manifest, as a completed run leaves
    // them; `folder_made` says whether the run created the installation folder.
    void WriteRecord(const std::string& folder, bool folder_made = true) {
        platform::RegistryKey key;
        ASSERT_TRUE(key.Create(platform::RegistryRoot::CurrentUser, RecordKey()));
        EXPECT_TRUE(key.WriteString("AppDir", folder));
        EXPECT_TRUE(key.WriteString("Manifest", In("setup.lst")));
        const std::string group = Dir("Start", "Programs", "Orvo", "Zelvik");
        std::string manifest = "orvo-setup manifest 1\r\n";
        if (folder_made) manifest += "D " + installed_ + "\r\n";
        for (const std::string& line :
             {"F " + In("zelvik.exe"), "D " + In("sub"), "F " + In("sub" + kSep + "data.bin"),
              "F " + In("setup.exe"), "F " + In("setup.ini"), "D " + group,
              "D " + group + kSep + "Tools", "L " + group + kSep + "Tools" + kSep + "Tool.lnk",
              "L " + Dir("Desktop", "Zelvik.lnk"), "L " + Dir("Start", "Zelvik.lnk"),
              "F " + In("setup.lst")})
            manifest += line + "\r\n";
        WriteFile(In("setup.lst"), manifest);
    }
    bool RecordExists() const {
        return platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, RecordKey());
    }
    // Everything the uninstaller would remove is still there.
    void ExpectNothingRemoved() {
        for (const std::string& path :
             {In("setup.exe"), In("zelvik.exe"), In("sub" + kSep + "data.bin"),
              Dir("Desktop", "Zelvik.lnk"), Dir("Start", "Zelvik.lnk"),
              Dir("Start", "Programs", "Orvo", "Zelvik", "Tools", "Tool.lnk")})
            EXPECT_TRUE(Exists(path)) << path;
        EXPECT_FALSE(Exists(Dir("Temp", "setup123.bat")));
    }
    // The uninstall ended with a box naming `text`, left everything and ends incomplete.
    void ExpectRefused(const app::Installer& installer, const std::vector<std::string>& log,
                       const std::string& text) {
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0].rfind("box:" + text, 0), 0u) << log[0];
        EXPECT_EQ(log[1], "close");
        ExpectNothingRemoved();
        EXPECT_EQ(installer.ExitCode(), app::kExitUninstallIncomplete);
    }

    std::string installed_;
};

TEST_F(Uninstall, ConfirmedRemovesProductAndStartsTheBatch) {
    WriteRecord(installed_);
    const std::string short_folder = platform::ShortPathName(installed_);
    ASSERT_FALSE(short_folder.empty());
    ASSERT_EQ(installer_->Start(Installed()).page, app::Page::kUninstall);
    view_.answers = {app::kAnswerYes};
    installer_->Uninstall();

    const std::string question =
        "V\xC5\xA1"
        "echny soubory v adres\xC3\xA1\xC5\x99i " +
        installed_ + " budou smaz\xC3\xA1ny !!\rOpravdu chcete program Zelvik odinstalovat?";
    const std::string batch = Dir("Temp", "setup123.bat");
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "box:" + question, "batch:" + batch + " in " + Dir("Temp") + kSep,
                           "box:Program Zelvik byl odinstalov\xC3\xA1n", "close"}));
    ASSERT_EQ(view_.boxes.size(), 2u);
    EXPECT_EQ(view_.boxes[0].caption, "");
    EXPECT_EQ(view_.boxes[0].flags, 0x34u);
    EXPECT_EQ(view_.boxes[0].owner, app::BoxOwner::Application);
    EXPECT_EQ(view_.boxes[1].caption, "Zelvik Setup");
    EXPECT_EQ(view_.boxes[1].flags, 0x40u);

    EXPECT_FALSE(Exists(Dir("Desktop", "Zelvik.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Zelvik.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Programs", "Orvo", "Zelvik")));
    EXPECT_TRUE(Exists(Dir("Start", "Programs", "Orvo", "Other", "Other.lnk")));
    EXPECT_FALSE(RecordExists());
    EXPECT_FALSE(Exists(installed_)); // nothing here is in use, so all of it went
    EXPECT_FALSE(apptest::GuardHeld(*installer_));

    // The folder in its short form, quoted all the same; the program's own two files by name;
    // last the pending uninstall, which stays until the batch is done.
    const std::string pending = Dir("AppData", "Orvo", "Zelvik", "pending-run");
    EXPECT_TRUE(Exists(pending));
    EXPECT_EQ(ReadFile(batch),
              app::SelfRemovalBatch(
                  {In("setup.exe"), In("setup.ini"), short_folder, batch, {}, pending}));
}

TEST_F(Uninstall, DeclinedLeavesEverythingAndThePage) {
    WriteRecord(installed_);
    installer_->Start(Installed());
    view_.answers = {app::kAnswerNo};
    installer_->Uninstall();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].rfind("box:", 0), 0u);
    ExpectNothingRemoved();
    EXPECT_TRUE(RecordExists());
    EXPECT_TRUE(apptest::GuardHeld(*installer_));
}

// No record, and a record that names no folder, both mean there is nothing to uninstall.
TEST_F(Uninstall, NoRecordOrNoFolderInItRemovesNothing) {
    struct Case {
        const char* what;
        bool record;
        std::string folder;
    };
    for (const Case& c : {Case{"no record", false, ""}, Case{"empty folder", true, ""},
                          Case{"blank folder", true, "  "}}) {
        SCOPED_TRACE(c.what);
        if (c.record) WriteRecord(c.folder);
        const auto session = NewSession();
        session->installer.Start(Installed());
        session->view.answers = {app::kAnswerYes, app::kAnswerYes};
        session->installer.Uninstall();

        EXPECT_EQ(session->log, (std::vector<std::string>{"box:Uninstal\xC3\xA1tor nena\xC5\xA1"
                                                          "el informace programu Zelvik!",
                                                          "close"}));
        const std::vector<app::MessageBoxRequest>& boxes = session->view.boxes;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Zelvik Setup");
        EXPECT_EQ(boxes[0].flags, 0x10u);
        ExpectNothingRemoved();
        EXPECT_EQ(RecordExists(), c.record);
        ASSERT_TRUE(platform::DeleteRegistryTree(platform::RegistryRoot::CurrentUser, RecordKey()));
    }
}

// The record and the manifest are trusted only together and only from the installed copy: a
// record naming another folder (the user's documents, the Windows folder), a copy started
// elsewhere, a missing or altered manifest: nothing is removed, and the box says why.
TEST_F(Uninstall, RecordThatDoesNotLeadHereRemovesNothing) {
    const std::string elsewhere = Dir("Documents");
    WriteFile(elsewhere + kSep + "letter.txt", "the user's");
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string box;
    };
    const std::string no_manifest =
        "Seznam nainstalovan\xC3\xBD"
        "ch soubor\xC5\xAF chyb\xC3\xAD";
    const Case cases[] = {
        {"another folder", [&] { WriteRecord(elsewhere); },
         "Odinstalaci lze spustit jen z nainstalovan\xC3\xA9ho programu"},
        {"no manifest",
         [&] {
             WriteRecord(installed_);
             std::filesystem::remove(apptest::FsPath(In("setup.lst")));
         },
         no_manifest},
        {"manifest named elsewhere",
         [&] {
             WriteRecord(installed_);
             platform::RegistryKey key;
             ASSERT_TRUE(key.Create(platform::RegistryRoot::CurrentUser, RecordKey()));
             EXPECT_TRUE(key.WriteString("Manifest", elsewhere + kSep + "setup.lst"));
         },
         no_manifest},
        {"not a manifest",
         [&] {
             WriteRecord(installed_);
             WriteFile(In("setup.lst"), "F " + elsewhere + kSep + "letter.txt\r\n");
         },
         no_manifest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        const auto session = NewSession();
        session->installer.Start(Installed());
        session->view.answers = {app::kAnswerYes};
        session->installer.Uninstall();
        ExpectRefused(session->installer, session->log, c.box);
        EXPECT_EQ(ReadFile(elsewhere + kSep + "letter.txt"), "the user's");
        EXPECT_TRUE(RecordExists());
    }
}

// Installed into a folder that was there: only what the manifest lists goes; lines naming
// places no installation writes to are passed over.
TEST_F(Uninstall, FolderThatWasThereKeepsTheUsersFiles) {
    WriteRecord(installed_, false);
    WriteFile(In("notes.txt"), "the user's");
    WriteFile(Dir("Documents", "letter.txt"), "the user's");
    WriteFile(In("setup.lst"), ReadFile(In("setup.lst")) + "F " + Dir("Documents", "letter.txt") +
                                   "\r\nL " + Dir("Documents", "letter.txt") + "\r\n");
    installer_->Start(Installed());
    view_.answers = {app::kAnswerYes};
    installer_->Uninstall();
    EXPECT_EQ(installer_->ExitCode(), app::kExitCompleted);
    EXPECT_EQ(ReadFile(In("notes.txt")), "the user's");
    EXPECT_EQ(ReadFile(Dir("Documents", "letter.txt")), "the user's");
    EXPECT_FALSE(Exists(In("zelvik.exe")));
    EXPECT_FALSE(Exists(In("sub")));
    EXPECT_FALSE(Exists(In("setup.lst")));
    EXPECT_FALSE(Exists(Dir("Start", "Programs", "Orvo", "Zelvik")));
    EXPECT_TRUE(Exists(Dir("Start", "Programs", "Orvo", "Other", "Other.lnk")));
    EXPECT_FALSE(RecordExists());
}

// A file that resists is named; the record and a manifest of what is left stay, no batch is
// started, and a second uninstall finishes the work.
TEST_F(Uninstall, FileThatResistsIsNamedAndASecondRunFinishes) {
    WriteRecord(installed_);
    std::filesystem::permissions(apptest::FsPath(In("sub" + kSep + "data.bin")),
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    installer_->Start(Installed());
    view_.answers = {app::kAnswerYes};
    installer_->Uninstall();
    EXPECT_EQ(installer_->ExitCode(), app::kExitUninstallIncomplete);
    ASSERT_EQ(view_.boxes.size(), 2u);
    EXPECT_NE(view_.boxes[1].text.find("\r" + In("sub" + kSep + "data.bin")), std::string::npos)
        << view_.boxes[1].text;
    EXPECT_TRUE(RecordExists());
    EXPECT_FALSE(Exists(In("zelvik.exe")));
    EXPECT_TRUE(Exists(In("setup.exe")));
    for (const std::string& call : log_) EXPECT_NE(call.rfind("batch:", 0), 0u) << call;
    const std::string left = ReadFile(In("setup.lst"));
    EXPECT_NE(left.find("F " + In("sub" + kSep + "data.bin")), std::string::npos) << left;
    EXPECT_EQ(left.find("zelvik.exe"), std::string::npos) << left;

    std::filesystem::permissions(apptest::FsPath(In("sub" + kSep + "data.bin")),
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    const auto again = NewSession();
    again->installer.Start(Installed());
    again->view.answers = {app::kAnswerYes};
    again->installer.Uninstall();
    EXPECT_EQ(again->installer.ExitCode(), app::kExitCompleted);
    EXPECT_FALSE(RecordExists());
    EXPECT_FALSE(Exists(In("sub")));
}

TEST_F(Uninstall, UnwritableBatchIsReportedAndEndsTheHandler) {
    WriteRecord(installed_);
    ASSERT_TRUE(platform::SetEnvironmentValue(sources_.temp_variable, Dir("Temp", "missing")));
    const services::SystemDirs dirs(sources_);
    const auto session = NewSession(&dirs);
    app::Installer& installer = session->installer;
    const std::vector<std::string>& log = session->log;
    installer.Start(Installed());
    session->view.answers = {app::kAnswerYes};
    installer.Uninstall();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].rfind("error-report:Nelze zapsat d\xC3\xA1vku", 0), 0u) << log[1];
    EXPECT_FALSE(RecordExists()); // the steps before it were done
    EXPECT_TRUE(apptest::GuardHeld(installer));
}

// A program that cannot be removed (read-only media) starts no batch that would wait in vain.
TEST_F(Uninstall, ProgramInAFolderThatCannotBeWrittenStartsNoBatch) {
    const services::SystemDirs& dirs = *sysdirs_;
    app::InstallerContext context(view_, shell_, dirs);
    context.program_file = Dir("Unreachable", "setup.exe"); // no such folder
    app::RemoveFolderAndSelf(context, {installed_, app::FolderRemoval::ProgramOnly});
    for (const std::string& call : Calls()) EXPECT_NE(call.rfind("batch:", 0), 0u) << call;
}

// --- Shutdown -----------------------------------------------------------------------------

class Shutdown : public apptest::InstallerTest {
  protected:
    // A package unpacked into the temporary folder: the one an early end removes.
    Shutdown() {
        EXPECT_TRUE(platform::SetEnvironmentValue(sources_.temp_variable, Dir()));
        sysdirs_ = std::make_unique<services::SystemDirs>(sources_);
        installer_ = std::make_unique<app::Installer>(view_, shell_, *sysdirs_, storage_, engine_);
        installer_->SetRecordBaseKey(registry_.Path("Records"));
        WriteFile(Package("setup.ini"), apptest::SettingsText());
        for (const char* name :
             {"orvoinst.zip", "all.zip", "short.txt", "license.txt", "readme.txt"})
            WriteFile(Package(name), name);
    }
    void WriteEarlierRecord() {
        platform::RegistryKey key;
        ASSERT_TRUE(key.Create(platform::RegistryRoot::CurrentUser, RecordKey()));
        EXPECT_TRUE(key.WriteString("AppDir", Dir("Earlier", "Zelvik")));
    }
    std::string EarlierFolder() const {
        platform::RegistryKey key;
        if (!key.Open(platform::RegistryRoot::CurrentUser, RecordKey())) return "(no record)";
        return key.ReadString("AppDir");
    }
};

TEST_F(Shutdown, AbandonedWizardRemovesOnlyThePackageAndKeepsAnEarlierRecord) {
    WriteEarlierRecord();
    WriteFile(Package("holiday.jpg"), "photo");
    WriteFile(Package("downloads" + kSep + "other.zip"), "not ours");
    installer_->Start(Place());
    installer_->ChooseFolder(Dir("Program Files", "Zelvik"));
    (void)installer_->ChooseIcons({});
    installer_->MovePage(app::Page::kLicence);
    installer_->CancelWizard();
    log_.clear();
    installer_->ShutDown();

    EXPECT_EQ(EarlierFolder(), Dir("Earlier", "Zelvik"));
    for (const char* name :
         {"setup.exe", "setup.ini", "orvoinst.zip", "all.zip", "short.txt", "license.txt"})
        EXPECT_FALSE(Exists(Package(name))) << name;
    EXPECT_EQ(ReadFile(Package("holiday.jpg")), "photo");
    EXPECT_EQ(ReadFile(Package("downloads" + kSep + "other.zip")), "not ours");
    const std::string batch = Dir("setup123.bat");
    EXPECT_EQ(Calls(), std::vector<std::string>{"batch:" + batch + " in " + Dir() + kSep});
    EXPECT_NE(ReadFile(batch).find("\r\nrd \"" + Package() + "\"\r\n"), std::string::npos);
    EXPECT_FALSE(apptest::GuardHeld(*installer_));
}

// From a download folder, a USB stick or a CD, a cancelled wizard leaves the package.
TEST_F(Shutdown, PackageOutsideTheTemporaryFolderStays) {
    EXPECT_TRUE(platform::SetEnvironmentValue(sources_.temp_variable, Dir("Temp")));
    const services::SystemDirs dirs(sources_);
    const auto session = NewSession(&dirs);
    session->installer.Start(Place());
    session->installer.ChooseFolder(Dir("Program Files", "Zelvik"));
    (void)session->installer.ChooseIcons({});
    session->installer.MovePage(app::Page::kLicence);
    session->installer.CancelWizard();
    session->installer.ShutDown();
    EXPECT_EQ(session->installer.ExitCode(), app::kExitCancelled);
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
    EXPECT_TRUE(Exists(Package("setup.exe")));
}

TEST_F(Shutdown, ClosedBeforeAnyMoveLeavesEverything) {
    WriteEarlierRecord();
    installer_->Start(Place());
    installer_->ShutDown();
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
    EXPECT_TRUE(Exists(Package("setup.exe")));
    EXPECT_EQ(EarlierFolder(), Dir("Earlier", "Zelvik"));
    EXPECT_FALSE(apptest::GuardHeld(*installer_));
}

TEST_F(Shutdown, UninstallModeHasNoPackageToRemove) {
    std::filesystem::remove(apptest::FsPath(Package("orvoinst.zip")));
    installer_->Start(Place());
    installer_->CancelWizard(); // sets the flag, but there is no program folder
    log_.clear();
    installer_->ShutDown();
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Exists(Package("setup.exe")));
}

#ifdef _WIN32
// The batch as the command interpreter runs it. An open handle stands in for the running
// program: the batch waits until it is closed, then erases the two files, removes the
// folder, blanks and Czech letters and all, and itself.
TEST_F(Shutdown, BatchWaitsForTheProgramThenRemovesTheFolderAndItself) {
    const std::string folder = Dir("Želví balíček");
    WriteFile(folder + kSep + "setup.exe", "program");
    WriteFile(folder + kSep + "setup.ini", "settings");
    auto running = std::make_unique<std::ifstream>(apptest::FsPath(folder + kSep + "setup.exe"));
    ASSERT_TRUE(running->is_open());
    app::PlatformShell shell;
    app::InstallerContext context(view_, shell, *sysdirs_);
    context.program_file = folder + kSep + "setup.exe";
    app::RemoveFolderAndSelf(context, {folder + kSep});
    EXPECT_TRUE(Exists(folder + kSep + "setup.exe"));
    EXPECT_FALSE(Exists(folder + kSep + "setup.ini"));

    auto wait_until_gone = [&](const std::string& path, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (Exists(path) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return !Exists(path);
    };
    EXPECT_FALSE(wait_until_gone(folder, 3)); // still waiting for the program
    running.reset();
    EXPECT_TRUE(wait_until_gone(folder, 60));
    EXPECT_TRUE(wait_until_gone(Dir("Temp", "setup123.bat"), 30));
}
#endif

} // namespace
