// The start-up sequence and the wizard's handlers: the mode, the configuration check, the
// single-instance guard, the record, the licence, the folder choices, navigation and cancel.
#include <gtest/gtest.h>

#include "app/installer.h"
#include "app/paths.h"
#include "installer_fakes.h"
#include "platform/single_instance.h"

namespace {

using apptest::kSep;
using apptest::WriteFile;

class Startup : public apptest::InstallerTest {
  protected:
    void Package(const std::string& settings) {
        WriteFile(InstallerTest::Package("setup.ini"), settings);
        WriteFile(InstallerTest::Package("orvoinst.zip"), "archive");
    }
    void WriteRecord(const std::string& folder) {
        platform::RegistryKey key;
        ASSERT_TRUE(key.Create(platform::RegistryRoot::CurrentUser, RecordKey()));
        EXPECT_TRUE(key.WriteString("AppDir", folder));
        EXPECT_TRUE(key.WriteString("Ver", "1"));
        EXPECT_TRUE(key.WriteString("Rel", "old"));
    }
    // What a run completed now would write.
    app::InstallRecord Completed() const {
        app::InstallRecord key;
        key.base_key = registry_.Path("Records");
        key.product_key = installer_->Config().progreg;
        return app::CompletedRecord(installer_->State(), installer_->Config(), key);
    }
};

TEST_F(Startup, ArchiveInTheWorkingFolderMeansInstallMode) {
    Package(apptest::SettingsText());
    // ANSI (1250) bytes: "Licenční ujednání"
    WriteFile(InstallerTest::Package("license.txt"), "Licen\xE8n\xED\r\nujedn\xE1n\xED\r\n");
    const app::StartupResult result = installer_->Start(Place());

    EXPECT_EQ(result.exit_code, app::StartupResult::kKeepRunning);
    EXPECT_EQ(result.page, app::Page::kPortal);
    EXPECT_TRUE(installer_->InstallMode());
    EXPECT_EQ(installer_->PackageFolder(), InstallerTest::Package() + kSep);
    EXPECT_EQ(storage_.IniFileName(), InstallerTest::Package("setup.ini"));
    EXPECT_EQ(result.title, "Zelvik v.2.10");
    EXPECT_EQ(result.tags.folder_continue, app::Page::kIcons);
    EXPECT_EQ(result.tags.summary_back, app::Page::kIcons);
    EXPECT_EQ(result.licence_lines,
              (std::vector<std::string>{"Licen\xC4\x8Dn\xC3\xAD", "ujedn\xC3\xA1n\xC3\xAD"}));
    ASSERT_EQ(result.folder_choices.size(), 4u);
    EXPECT_EQ(result.folder_choices[0], Dir("Program Files", "Zelvik"));
    EXPECT_TRUE(apptest::GuardHeld(*installer_));
    EXPECT_FALSE(installer_->State().CleanupDue());
    EXPECT_TRUE(Calls().empty()); // nothing shown, nothing closed

    EXPECT_EQ(installer_->State().CurrentPage(), app::Page::kPortal);

    // The folder offered first is the state's until the user chooses another.
    EXPECT_EQ(installer_->State().Folder(), Dir("Program Files", "Zelvik"));
    const app::InstallRecord record = Completed();
    EXPECT_EQ(record.product_key, "Zelvik");
    EXPECT_EQ(record.folder, Dir("Program Files", "Zelvik"));
    EXPECT_EQ(record.version, "2");
    EXPECT_EQ(record.release, "10");
}

TEST_F(Startup, NoArchiveMeansUninstallModeEvenWithOneBesideTheProgram) {
    WriteFile(InstallerTest::Package("setup.ini"), apptest::SettingsText());
    WriteFile(Dir("Elsewhere", "orvoinst.zip"), "archive");
    const app::StartupResult result =
        installer_->Start({InstallerTest::Package(), Dir("Elsewhere", "setup.exe")});
    EXPECT_EQ(result.page, app::Page::kUninstall);
    EXPECT_FALSE(installer_->InstallMode());
    EXPECT_EQ(result.exit_code, app::StartupResult::kKeepRunning);
}

// The Apps list starts the installed copy with the working folder C:\Windows.
TEST_F(Startup, WithoutSettingsInTheWorkingFolderTheProgramsOwnFolderIsThePackage) {
    WriteFile(Dir("Installed", "setup.ini"), apptest::SettingsText());
    WriteFile(Dir("Windows", "notepad.exe"), "another program");
    const app::StartupResult result =
        installer_->Start({Dir("Windows"), Dir("Installed", "setup.exe")});
    EXPECT_EQ(result.exit_code, app::StartupResult::kKeepRunning);
    EXPECT_EQ(storage_.IniFileName(), Dir("Installed", "setup.ini"));
    EXPECT_EQ(result.page, app::Page::kUninstall);
}

TEST_F(Startup, LicenceComesFromThePackagesFolder) {
    Package(apptest::SettingsText());
    WriteFile(InstallerTest::Package("license.txt"), "in the package");
    WriteFile(Dir("Program", "license.txt"), "beside the program");
    const app::StartupResult result =
        installer_->Start({InstallerTest::Package(), Dir("Program", "setup.exe")});
    EXPECT_EQ(result.licence_lines, std::vector<std::string>{"in the package"});
}

TEST_F(Startup, MissingLicenceShowsTheMessageInstead) {
    Package(apptest::SettingsText());
    const app::StartupResult result = installer_->Start(Place());
    EXPECT_EQ(result.licence_lines,
              std::vector<std::string>{"Licen\xC4\x8Dn\xC3\xAD soubor nebyl nalezen"});
}

TEST_F(Startup, EarlierRecordLendsItsFolderButThisPackagesVersion) {
    Package(apptest::SettingsText());
    WriteRecord(Dir("Old", "Zelvik"));
    installer_->Start(Place());
    const app::InstallRecord record = Completed();
    EXPECT_EQ(record.folder, Dir("Old", "Zelvik"));
    EXPECT_EQ(record.version, "2");
    EXPECT_EQ(record.release, "10");
}

// The folder page offers the folder of /D= first, else the earlier installation's.
TEST_F(Startup, FolderOfferedFirstIsTheAdministratorsThenTheEarlierOne) {
    Package(apptest::SettingsText());
    WriteRecord(Dir("Old", "Zelvik"));
    EXPECT_EQ(installer_->Start(Place()).folder_choices.at(0), Dir("Old", "Zelvik"));
    installer_->ShutDown();
    installer_->SetOptions(app::ParseCommandLine("/D=" + Dir("New place", "Zelvik")));
    EXPECT_EQ(installer_->Start(Place()).folder_choices.at(0), Dir("New place", "Zelvik"));
    EXPECT_EQ(Completed().folder, Dir("New place", "Zelvik"));
}

// Without the right to write to Program Files, the user's own programs folder comes first.
TEST_F(Startup, UnwritableProgramFilesOffersTheUsersProgramsFolder) {
    Package(apptest::SettingsText());
    platform::RegistryKey user;
    ASSERT_TRUE(user.Open(sources_.user_root, sources_.user_key, true));
    EXPECT_TRUE(user.WriteString("Local AppData", Dir("Local")));
    const services::SystemDirs dirs(sources_); // read again, with Local AppData
    auto session = NewSession(&dirs);
    session->installer.SetWritableProbe([](const std::string&) { return false; });
    const app::StartupResult result = session->installer.Start(Place());
    ASSERT_EQ(result.folder_choices.size(), 4u);
    EXPECT_EQ(result.folder_choices[0], Dir("Local", "Programs", "Zelvik"));
    EXPECT_EQ(result.folder_choices[1], app::kDriveRoot + "Zelvik"); // the others stay
    session->installer.ShutDown();
    EXPECT_EQ(installer_->Start(Place()).folder_choices[0], Dir("Program Files", "Zelvik"));
}

// A value missing, or one that would not stay a single folder name: the error, then the end
// before anything is shown or written, with the package as it was.
TEST_F(Startup, EachMissingOrUnusableValueEndsTheProgramKeepingThePackage) {
    const std::string missing =
        "Nebyly nalezeny d\xC5\xAFle\xC5\xBEit\xC3\xA9 informace o projektu, prosim "
        "kontaktujte v\xC3\xBDrobce Va\xC5\xA1"
        "eho programu.";
    for (const char* key : {"softname", "company", "progreg", "regdir", "idn", "progname"}) {
        SCOPED_TRACE(key);
        std::string settings = apptest::SettingsText();
        const size_t at = settings.find(std::string(key) + "=");
        settings.erase(at, settings.find("\r\n", at) + 2 - at);
        Package(settings);

        const auto session = NewSession();
        app::Installer& installer = session->installer;
        const app::StartupResult result = installer.Start(Place());

        EXPECT_EQ(session->log, (std::vector<std::string>{"error-dialog:" + missing}));
        EXPECT_EQ(result.exit_code, app::kExitConfiguration);
        installer.ShutDown();
        EXPECT_TRUE(apptest::Exists(InstallerTest::Package("orvoinst.zip")));
    }
    for (const char* value : {"regdir=..\\..\\Windows", "company=C:", "softname=NUL"}) {
        SCOPED_TRACE(value);
        std::string settings = apptest::SettingsText();
        const std::string key = std::string(value).substr(0, std::string(value).find('=') + 1);
        const size_t at = settings.find(key);
        settings.replace(at, settings.find("\r\n", at) - at, value);
        Package(settings);
        const auto session = NewSession();
        EXPECT_EQ(session->installer.Start(Place()).exit_code, app::kExitConfiguration);
        ASSERT_EQ(session->log.size(), 1u);
        EXPECT_EQ(session->log[0].rfind("error-dialog:Hodnotu ze setup.ini", 0), 0u);
        EXPECT_NE(session->log[0].find(value), std::string::npos) << session->log[0];
    }
}

TEST_F(Startup, AbsentNumbersAndReleaseTakeTheirDefaults) {
    std::string settings = apptest::SettingsText();
    for (const char* key : {"sversion=2\r\n", "srelease=10\r\n", "icons=1\r\n"})
        settings.erase(settings.find(key), std::string(key).size());
    Package(settings + "icons=0\r\n");
    const app::StartupResult result = installer_->Start(Place());
    EXPECT_EQ(result.title, "Zelvik v.1.");
    EXPECT_EQ(result.tags.folder_continue, app::Page::kSummary);
    EXPECT_EQ(result.tags.summary_back, app::Page::kDirectory);
    EXPECT_TRUE(Calls().empty()); // the release is not required
}

// For all users: asked with /ALLUSERS, or found as the product's installation when this user has
// none of their own. Without the administrator's rights the start-up hands over before it
// holds anything.
TEST_F(Startup, AnInstallationForAllUsersNeedsTheAdministratorsRights) {
    Package(apptest::SettingsText());
    installer_->SetRightsProbe([] { return false; });
    app::CommandLine all;
    all.all_users = true;
    installer_->SetOptions(all);
    EXPECT_EQ(installer_->Start(Place()).exit_code, app::StartupResult::kNeedsElevation);
    EXPECT_FALSE(apptest::GuardHeld(*installer_));

    platform::RegistryKey machine;
    ASSERT_TRUE(machine.Create(platform::RegistryRoot::LocalMachine, RecordKey()));
    EXPECT_TRUE(machine.WriteString("AppDir", Dir("Program Files", "Zelvik")));
    const auto found = NewSession();
    found->installer.SetRightsProbe([] { return false; });
    EXPECT_EQ(found->installer.Start(Place()).exit_code, app::StartupResult::kNeedsElevation);
    const auto administrator = NewSession();
    const app::StartupResult result = administrator->installer.Start(Place());
    EXPECT_EQ(result.exit_code, app::StartupResult::kKeepRunning);
    EXPECT_EQ(result.folder_choices[0], Dir("Program Files", "Zelvik")); // the installation's
    administrator->installer.ShutDown();
    // This user's own installation comes first.
    WriteRecord(Dir("Mine", "Zelvik"));
    const auto own = NewSession();
    own->installer.SetRightsProbe([] { return false; });
    const app::StartupResult mine = own->installer.Start(Place());
    ASSERT_EQ(mine.exit_code, app::StartupResult::kKeepRunning);
    EXPECT_EQ(mine.folder_choices[0], Dir("Mine", "Zelvik"));
    EXPECT_TRUE(platform::DeleteRegistryTree(platform::RegistryRoot::LocalMachine, RecordKey()));
}

TEST_F(Startup, SecondInstanceIsRefusedBeforeTheRecordIsRead) {
    const std::string settings = apptest::SettingsText();
    Package(settings);
    WriteRecord(Dir("Old", "Zelvik"));
    const size_t at = settings.find("idn=") + 4;
    platform::NamedMutex first;
    ASSERT_TRUE(first.Create(settings.substr(at, settings.find("\r\n", at) - at)));

    const app::StartupResult result = installer_->Start(Place());
    EXPECT_EQ(result.exit_code, 3);
    ASSERT_EQ(view_.boxes.size(), 1u);
    EXPECT_EQ(view_.boxes[0].owner, app::BoxOwner::None);
    EXPECT_EQ(view_.boxes[0].text, "Instalace byla u\xC5\xBE spu\xC5\xA1t\xC4\x9Bna!");
    EXPECT_EQ(view_.boxes[0].caption, "Zelvik Setup");
    EXPECT_EQ(view_.boxes[0].flags, 0x10u);
    EXPECT_TRUE(result.folder_choices.empty()); // the record not read
    EXPECT_TRUE(result.licence_lines.empty());

    // Once the first copy is gone, the refused start holds nothing, and a new start goes ahead.
    first.Close();
    EXPECT_FALSE(apptest::GuardHeld(*installer_));
    const auto session = NewSession();
    app::Installer& again = session->installer;
    EXPECT_EQ(again.Start(Place()).exit_code, app::StartupResult::kKeepRunning);
    EXPECT_TRUE(apptest::GuardHeld(again));
}

TEST_F(Startup, SavePlacementWritesTheValuesReadAtStartUp) {
    Package("[ALL]\r\nsoftname=Zelvik\r\n");
    installer_->Start(Place());
    // The file changes meanwhile; what is written is what was read.
    WriteFile(InstallerTest::Package("setup.ini"), "[ALL]\r\nsoftname=Other\r\nicons=7\r\n");
    installer_->SaveNamedValues(storage_);
    EXPECT_EQ(apptest::ReadFile(InstallerTest::Package("setup.ini")),
              "[ALL]\r\nsoftname=Zelvik\r\nicons=1\r\ncompany=\r\nsversion=1\r\nsrelease=\r\n"
              "progreg=\r\nregdir=\r\nidn=\r\nprogname=\r\n");
}

TEST_F(Startup, NavigationTakesTheFolderAndMarksTheWizardAbandonedOnExit) {
    Package(apptest::SettingsText());
    installer_->Start(Place());
    const std::string folder = Dir("Program Files", "Zelvik");
    installer_->ChooseFolder(folder);
    (void)installer_->ChooseIcons({true, false});
    const std::vector<std::string> summary = installer_->MovePage(app::Page::kIcons);
    EXPECT_EQ(installer_->State().Folder(), folder);
    EXPECT_EQ(installer_->State().CurrentPage(), app::Page::kIcons);
    EXPECT_TRUE(installer_->State().CleanupDue());
    ASSERT_GE(summary.size(), 6u);
    EXPECT_EQ(summary[1], "Program place: -" + folder);
    EXPECT_EQ(summary[5], "- Desktop");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(installer_->Summary(), summary); // reading it changes nothing

    // A click in the shortcut list rebuilds the summary but abandons nothing by itself.
    const auto session = NewSession();
    app::Installer& fresh = session->installer;
    fresh.ChooseFolder(folder);
    (void)fresh.ChooseIcons({});
    EXPECT_FALSE(fresh.State().CleanupDue());
    EXPECT_EQ(fresh.State().Folder(), folder);
}

TEST_F(Startup, StornoTellsAndClosesAndTheUninstallPageOnlyCloses) {
    Package(apptest::SettingsText());
    installer_->Start(Place());
    installer_->CancelUninstall();
    EXPECT_FALSE(installer_->State().CleanupDue());
    installer_->CancelWizard();
    EXPECT_TRUE(installer_->State().CleanupDue());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"close",
                                                 "info-dialog:Instalace byla zru\xC5\xA1"
                                                 "ena",
                                                 "close"}));
}

} // namespace
