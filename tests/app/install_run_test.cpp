// The installation run on a real package: a small archive made here, extracted by a real
// engine into a scratch folder, with the window and the shell replaced by recorders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "app/installation_run.h"
#include "app/installer.h"
#include "installer_fakes.h"
#include "platform/shell_link.h"
#include "unzip/zip_builder.h"

namespace {

using apptest::Exists;
using apptest::kSep;
using apptest::ReadFile;
using apptest::WriteFile;

struct Payload {
    std::string name; // as stored, "/" between folders
    std::string content;
};

std::string Native(std::string name) {
    std::replace(name.begin(), name.end(), '/', platform::kPathSeparator);
    return name;
}

ziptest::Bytes ArchiveOf(const std::vector<Payload>& files) {
    ziptest::Archive archive;
    for (const Payload& file : files) {
        const ziptest::Bytes content = ziptest::ToBytes(file.content);
        archive.members.push_back(file.content.size() < 64 ? ziptest::Stored(file.name, content)
                                                           : ziptest::Deflated(file.name, content));
    }
    return archive.Build();
}

std::string Mixed(size_t size, uint32_t seed) {
    const ziptest::Bytes bytes = ziptest::MixedData(size, seed);
    return std::string(bytes.begin(), bytes.end());
}

// The progress panel shown, then each step's position and text as the log holds them.
std::vector<std::string> PanelSteps(const std::vector<std::pair<int, std::string>>& steps) {
    std::vector<std::string> calls = {"panel"};
    for (const auto& [position, text] : steps) {
        const std::string at = std::to_string(position);
        for (const std::string& call : {"run-bar=" + at, "vertical-run-bar=" + at, "step:" + text})
            calls.push_back(call);
    }
    return calls;
}

// The fake view's entries for the member being written and its bar, and the panel's heading
// at the end.
const std::string kMemberName = "member-name:";
const std::string kMemberBar = "member-bar=";
const std::string kFinished = "heading:Installation is finished";

// Every run begins so: the folder, then the archive.
const std::vector<std::pair<int, std::string>> kFirstSteps = {
    {0, "Creating directory"}, {10, "Prepare copy"}, {20, "Copying files"}, {30, "Copying files"}};

class Run : public apptest::InstallerTest {
  protected:
    Run()
        : files_{{"readme.txt", "Read me first."},
                 {"zelvik.exe", Mixed(3000, 1)},
                 {"bin/tool.exe", Mixed(5000, 2)},
                 {"data/big.bin", Mixed(300000, 3)}},
          home_(Dir("Program Files", "Zelvik")) {
        WriteFile(Package("setup.ini"), apptest::SettingsText());
        WriteFile(Package("orvoinst.zip"), ArchiveOf(files_));
    }

    // Start-up, one move to the summary with the folder and ticks, then the finish button.
    void Install(const app::IconChoice& icons = {}) {
        ASSERT_EQ(installer_->Start(Place()).exit_code, app::StartupResult::kKeepRunning);
        installer_->ChooseFolder(home_);
        (void)installer_->ChooseIcons(icons);
        installer_->MovePage(app::Page::kSummary);
        log_.clear();
        installer_->RunInstallation();
    }

    // The calls without what the extraction reports (member name and bar) and the pump.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const std::string& call : Calls())
            if (call.rfind(kMemberName, 0) != 0 && call.rfind(kMemberBar, 0) != 0)
                steps.push_back(call);
        return steps;
    }

    std::string Home(const std::string& name = "") const {
        return name.empty() ? home_ : home_ + kSep + Native(name);
    }
    std::string Group(const std::string& below = "") const {
        return Dir("Start", "Programs", "Orvo", "Zelvik") + below;
    }

    std::vector<Payload> files_;
    std::string home_;
};

TEST_F(Run, StepsInOrderWithTheirPositionsAndTexts) {
    Install();
    auto steps = kFirstSteps;
    steps.insert(steps.end(), {{50, "Copying files"},
                               {80, "Creating directory START/Programy"},
                               {90, "Z\xC3\xA1pis do registru"}});
    std::vector<std::string> expected = PanelSteps(steps);
    expected.insert(
        expected.end(),
        {"cd:" + home_, "run-bar=100", "vertical-run-bar=100", kFinished,
         "info-dialog:Instalace byla dokon\xC4\x8D"
         "ena",
         "open:" + Home("readme.txt"),
         "batch:" + Dir("Temp", "setup123.bat") + " in " + Dir("Temp") + kSep, "close"});
    EXPECT_EQ(Steps(), expected);

    // The member bar goes to 100 with the two others at the end.
    const std::vector<std::string> calls = Calls();
    const auto end = std::find(calls.begin(), calls.end(), kFinished);
    ASSERT_GE(end - calls.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(end - 3, end),
              (std::vector<std::string>{"member-bar=100", "run-bar=100", "vertical-run-bar=100"}));
}

TEST_F(Run, ExtractsEveryMemberReportingEachOnTheProgressPanel) {
    Install();
    for (const Payload& file : files_) EXPECT_EQ(ReadFile(Home(file.name)), file.content);

    // The member label names each member while it is written; its bar follows the compressed
    // input.
    std::vector<std::string> named;
    std::vector<int> big_bar;
    std::string current;
    bool pumped_after_each_report = true;
    const std::vector<std::string>& log = log_;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind(kMemberName, 0) == 0) {
            current = log[i].substr(kMemberName.size());
            if (named.empty() || named.back() != current) named.push_back(current);
            // The bar (when the size is known) and then the pump follow every report.
            size_t next = i + 1;
            if (next < log.size() && log[next].rfind(kMemberBar, 0) == 0) {
                if (current == Home("data/big.bin"))
                    big_bar.push_back(std::stoi(log[next].substr(kMemberBar.size())));
                ++next;
            }
            if (next >= log.size() || log[next] != "pump") pumped_after_each_report = false;
        }
    }
    EXPECT_TRUE(pumped_after_each_report);
    std::vector<std::string> members;
    for (const Payload& file : files_) members.push_back(Home(file.name));
    EXPECT_EQ(named, members);
    // 300,000 bytes flush in several windows: the bar rises and ends full.
    ASSERT_GE(big_bar.size(), 3u);
    EXPECT_TRUE(std::is_sorted(big_bar.begin(), big_bar.end()));
    EXPECT_GT(big_bar.front(), 0);
    EXPECT_LT(big_bar.front(), 100);
    EXPECT_EQ(big_bar.back(), 100);
}

TEST_F(Run, MakesTheFolderCopiesSetupAndWritesTheRecord) {
    Install();
    EXPECT_TRUE(std::filesystem::is_directory(apptest::FsPath(home_)));
    for (const Payload& file : files_) EXPECT_EQ(ReadFile(Home(file.name)), file.content);
    EXPECT_EQ(ReadFile(Home("setup.exe")), "the program");
    EXPECT_EQ(ReadFile(Home("setup.ini")).substr(0, 7), "[ALL]\r\n");
    platform::RegistryKey record;
    ASSERT_TRUE(record.Open(platform::RegistryRoot::CurrentUser, RecordKey()));
    EXPECT_EQ(record.ReadString("AppDir"), home_);
    EXPECT_EQ(record.ReadString("Ver"), "2");
    EXPECT_EQ(record.ReadString("Rel"), "10");
    platform::RegistryKey apps_entry;
    ASSERT_TRUE(apps_entry.Open(platform::RegistryRoot::CurrentUser,
                                registry_.Path("Records") + "\\Apps\\Zelvik"));
    EXPECT_EQ(apps_entry.ReadString("DisplayName"), "Zelvik 2.10");
    EXPECT_EQ(apps_entry.ReadString("QuietUninstallString"), "\"" + Home("setup.exe") + "\" /S");
    EXPECT_FALSE(installer_->State().CleanupDue());
    EXPECT_EQ(installer_->ExitCode(), app::kExitCompleted);
    // The manifest the record names lists what the run made, the folder first.
    EXPECT_EQ(record.ReadString("Manifest"), Home("setup.lst"));
    std::vector<app::Journal::Entry> manifest;
    ASSERT_TRUE(app::Journal::ParseManifest(ReadFile(Home("setup.lst")), manifest));
    std::set<std::string> listed;
    for (const app::Journal::Entry& entry : manifest) listed.insert(entry.path);
    EXPECT_EQ(manifest.front().path, home_);
    for (const char* name :
         {"readme.txt", "zelvik.exe", "bin", "bin/tool.exe", "setup.exe", "setup.ini", "setup.lst"})
        EXPECT_EQ(listed.count(Home(name)), 1u) << name;

    // The package folder held only the package: it is gone, and shutdown does nothing more.
    EXPECT_FALSE(Exists(Package()));
    const size_t calls = log_.size();
    installer_->ShutDown();
    EXPECT_EQ(log_.size(), calls);
    EXPECT_FALSE(apptest::GuardHeld(*installer_));
}

TEST_F(Run, SecondArchiveShortcutListAndBothShortcuts) {
    const std::vector<Payload> more = {{"extra/more.txt", "More."}};
    WriteFile(Package("all.zip"), ArchiveOf(more));
    WriteFile(Package("short.txt"),
              "bin\\tool.exe;\\Tools;Tool;\r\n"
              "x.exe;Tools;X;\r\n"
              "zelvik.exe;;Zelvik;\r\n"
              "readme.txt;\\Docs;Read me\r\n"
              "..\\..\\evil.exe;\\..\\..;Out;\r\n");
    Install({true, true});

    auto steps = kFirstSteps;
    steps.insert(steps.end(), {{50, "Copying files"},
                               {60, ""},
                               {70, ""},
                               {80, "Creating directory START/Programy"},
                               {90, "Z\xC3\xA1pis do registru"},
                               {95, "Create desktop link"},
                               {100, "Create START link"}});
    const std::vector<std::string> expected = PanelSteps(steps);
    const std::vector<std::string> calls = Steps();
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(ReadFile(Home("extra/more.txt")), "More.");

    // Each short.txt line gets the group's levels and its own subfolder, then its link.
    for (const std::string& folder :
         {Dir("Start", "Programs", "Orvo"), Group(), Group(kSep + "Tools")})
        EXPECT_TRUE(std::filesystem::is_directory(apptest::FsPath(folder))) << folder;
    // A last field without its ";" is the name meant; a line leading out of the group or the
    // folder is not made but named in a warning before the completion.
    EXPECT_TRUE(Exists(Group(kSep + "Docs" + kSep + "Read me.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Out.lnk")));
    ASSERT_EQ(view_.boxes.size(), 1u);
    const std::string& warning = view_.boxes[0].text;
    EXPECT_EQ(warning.rfind("\xC5\x98\xC3\xA1"
                            "dek souboru short.txt byl vynech\xC3\xA1n:\r..\\..\\evil.exe;",
                            0),
              0u)
        << warning;

    struct Link {
        std::string file, target;
    };
    const Link links[] = {
        {Group(kSep + "Tools" + kSep + "Tool.lnk"), Home("bin/tool.exe")},
        {Group(kSep + "Zelvik.lnk"), Home("zelvik.exe")},
        {Group(kSep + "Tools" + kSep + "X.lnk"), Home("x.exe")}, // always below the group
        {Dir("Desktop", "Zelvik.lnk"), Home("zelvik.exe")},
        {Dir("Start", "Zelvik.lnk"), Home("zelvik.exe")},
    };
    for (const Link& link : links) {
        const auto fields = platform::LoadShellLink(link.file);
        ASSERT_TRUE(fields.has_value()) << link.file;
        EXPECT_EQ(fields->target, link.target);
        EXPECT_EQ(fields->working_folder, link.target.substr(0, link.target.rfind(kSep) + 1));
    }
    EXPECT_FALSE(Exists(Group("Tools")));
}

TEST_F(Run, NoTicksAndNoReadmeEndAtNinetyAndOpenNothing) {
    files_.erase(files_.begin()); // readme.txt
    WriteFile(Package("orvoinst.zip"), ArchiveOf(files_));
    Install();
    const std::vector<std::string> steps = Steps();
    const auto finish = std::find(steps.begin(), steps.end(), kFinished);
    ASSERT_GE(finish - steps.begin(), 6);
    EXPECT_EQ(std::vector<std::string>(finish - 6, finish),
              (std::vector<std::string>{"run-bar=90", "vertical-run-bar=90",
                                        "step:Z\xC3\xA1pis do registru", "cd:" + home_,
                                        "run-bar=100", "vertical-run-bar=100"}));
    for (const std::string& call : steps) EXPECT_NE(call.rfind("open:", 0), 0u) << call;
    EXPECT_FALSE(Exists(Dir("Desktop", "Zelvik.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Zelvik.lnk")));
}

// A step that fails after the archives (here: changing into the folder) takes back the whole
// run, the copies and shortcuts included, and ends with the run's exit code.
TEST_F(Run, LateStepFailureTakesBackEverythingAndKeepsThePackage) {
    shell_.change_folder_works = false;
    Install({true, true});
    const std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "cd:" + home_);
    EXPECT_EQ(calls[calls.size() - 2],
              "box:" + apptest::RunFailedText("Nelze p\xC5\x99"
                                              "ej\xC3\xADt do adres\xC3\xA1\xC5\x99"
                                              "e: " +
                                              home_));
    EXPECT_EQ(calls.back(), "close");
    EXPECT_FALSE(platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, RecordKey()));
    EXPECT_FALSE(Exists(home_));
    EXPECT_FALSE(Exists(Dir("Desktop", "Zelvik.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Zelvik.lnk")));
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
    EXPECT_EQ(installer_->ExitCode(), app::kExitRunFailed);
}

// A folder no installation may use, or a user who declines to mix the product with files that
// are there: a box, nothing written, and the wizard stays for another choice.
TEST_F(Run, RefusedTargetWritesNothingAndTheWizardStays) {
    WriteFile(Home("notes.txt"), "mine");
    app::ProtectedFolders guarded;
    guarded.Add(Dir("Guarded"));
    installer_->SetProtectedFolders(guarded);
    std::vector<std::string> texts;
    // A protected folder however spelt; a path too long to start a program from; a folder
    // that holds the user's files, where the user answers No.
    for (const std::string& folder : {Dir("Guarded"), Dir("Guarded", "..", "Guarded"),
                                      Dir(std::string(200, 'x'), std::string(50, 'y')), home_}) {
        SCOPED_TRACE(folder);
        ASSERT_EQ(installer_->Start(Place()).exit_code, app::StartupResult::kKeepRunning);
        installer_->ChooseFolder(folder);
        (void)installer_->ChooseIcons({true, true});
        installer_->MovePage(app::Page::kSummary);
        log_.clear();
        view_.boxes.clear();
        view_.answers = {app::kAnswerNo};
        installer_->RunInstallation();
        ASSERT_EQ(Calls().size(), 1u);
        EXPECT_EQ(Calls()[0].rfind("box:", 0), 0u);
        EXPECT_FALSE(installer_->Running());
        EXPECT_EQ(installer_->ExitCode(), app::kExitCancelled);
        texts.push_back(view_.boxes.at(0).text);
    }
    const std::string refused = "Do tohoto adres\xC3\xA1\xC5\x99";
    EXPECT_EQ(texts.at(0).rfind(refused, 0), 0u) << texts[0];
    EXPECT_EQ(texts.at(1).rfind(refused, 0), 0u) << texts[1];
    EXPECT_EQ(texts.at(2).rfind("Cesta instalovan\xC3\xA9ho souboru", 0), 0u) << texts[2];
    EXPECT_EQ(view_.boxes[0].text.rfind("C\xC3\xADlov\xC3\xBD adres\xC3\xA1\xC5\x99 ji\xC5\xBE", 0),
              0u);
    EXPECT_FALSE(Exists(Dir("Guarded")));
    EXPECT_FALSE(Exists(Dir(std::string(200, 'x'))));
    EXPECT_EQ(ReadFile(Home("notes.txt")), "mine");
    EXPECT_FALSE(Exists(Home("zelvik.exe")));
    EXPECT_FALSE(Exists(Dir("Desktop", "Zelvik.lnk")));
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
}

#ifdef _WIN32
// A target no file can be written to (here on a drive that is not there): the box names it
// and says in the system's words why, and nothing is written.
TEST_F(Run, UnwritableTargetIsRefusedWithTheSystemsReason) {
    const std::string target = "Q:\\Zelvik";
    ASSERT_FALSE(platform::IsFolder("Q:"));
    const std::string reason = app::SystemErrorText(platform::LastErrorCode());
    ASSERT_FALSE(reason.empty());
    ASSERT_EQ(installer_->Start(Place()).exit_code, app::StartupResult::kKeepRunning);
    installer_->ChooseFolder(target);
    (void)installer_->ChooseIcons({});
    installer_->MovePage(app::Page::kSummary);
    view_.boxes.clear();
    installer_->RunInstallation();
    ASSERT_EQ(view_.boxes.size(), 1u);
    EXPECT_EQ(view_.boxes[0].text,
              app::MessageTable().Text(app::kMsgNotWritable) + "\r" + target + "\r" + reason);
    EXPECT_FALSE(installer_->Running());
    EXPECT_EQ(installer_->ExitCode(), app::kExitCancelled);
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
}
#endif

// A package that lands in a folder holding other things loses only its own files.
TEST_F(Run, PackageFolderKeepsEverythingThatIsNotThePackage) {
    WriteFile(Package("holiday.jpg"), "photo");
    WriteFile(Package("docs" + kSep + "letter.txt"), "letter");
    WriteFile(Package("license.txt"), "");
    WriteFile(Package("all.zip"), ArchiveOf({{"more.txt", "More."}}));
    WriteFile(Package("short.txt"), "zelvik.exe;;Zelvik;\r\n");
    // The product's readme.txt comes in the archive: one beside the package is the user's.
    WriteFile(Package("readme.txt"), "my notes");
    Install();
    EXPECT_EQ(ReadFile(Package("holiday.jpg")), "photo");
    EXPECT_EQ(ReadFile(Package("docs" + kSep + "letter.txt")), "letter");
    EXPECT_EQ(ReadFile(Package("readme.txt")), "my notes");
    for (const char* name :
         {"setup.exe", "setup.ini", "orvoinst.zip", "all.zip", "short.txt", "license.txt"})
        EXPECT_FALSE(Exists(Package(name))) << name;
    const std::string batch = ReadFile(Dir("Temp", "setup123.bat"));
    EXPECT_NE(batch.find("\r\nrd \"" + Package() + "\"\r\n"), std::string::npos) << batch;
}

// --- Upgrades ------------------------------------------------------------------------------

class Upgrade : public Run {
  protected:
    // Version 2 with a file the next version no longer has, then version VERSION of the package.
    void InstallFirstThenPackage(const std::string& version) {
        files_.push_back({"old/only.txt", "only in version 2"});
        WriteFile(Package("orvoinst.zip"), ArchiveOf(files_));
        Install();
        ASSERT_EQ(installer_->ExitCode(), app::kExitCompleted);
        files_.pop_back();
        files_[0].content = "Read me, version " + version + ".";
        std::string settings = apptest::SettingsText();
        settings.replace(settings.find("sversion=2"), 10, "sversion=" + version);
        WriteFile(Package("setup.ini"), settings);
        WriteFile(Package("setup.exe"), "the program");
        WriteFile(Package("orvoinst.zip"), ArchiveOf(files_));
    }
};

// What only the earlier version had goes, the user's own file stays, and one record and one
// manifest describe the whole, the folder still counting as the installation's own.
TEST_F(Upgrade, InPlaceRemovesWhatOnlyTheEarlierVersionHad) {
    InstallFirstThenPackage("3");
    WriteFile(Home("notes.txt"), "the user's");
    auto next = NewSession();
    ASSERT_EQ(next->installer.Start(Place()).folder_choices.at(0), Home());
    next->installer.ChooseFolder(Home());
    (void)next->installer.ChooseIcons({});
    const std::vector<std::string> summary = next->installer.MovePage(app::Page::kSummary);
    EXPECT_NE(std::find(summary.begin(), summary.end(),
                        "Nainstalovan\xC3\xA1 verze 2.10 bude nahrazena verz\xC3\xAD 3.10"),
              summary.end());
    next->installer.RunInstallation();
    EXPECT_EQ(next->installer.ExitCode(), app::kExitCompleted);
    EXPECT_TRUE(next->view.boxes.empty()) << next->view.boxes.front().text; // no question
    EXPECT_FALSE(Exists(Home("old")));
    EXPECT_EQ(ReadFile(Home("notes.txt")), "the user's");
    EXPECT_EQ(ReadFile(Home("readme.txt")), "Read me, version 3.");
    std::vector<app::Journal::Entry> manifest;
    ASSERT_TRUE(app::Journal::ParseManifest(ReadFile(Home("setup.lst")), manifest));
    EXPECT_EQ(manifest.front().path, home_);
    // The earlier version's folders stay listed (gone now, or holding the user's files).
    for (const app::Journal::Entry& entry : manifest)
        EXPECT_TRUE(entry.kind == app::Journal::Kind::Folder ||
                    entry.path.find(Home("old")) == std::string::npos)
            << entry.path;
    platform::RegistryKey record;
    ASSERT_TRUE(record.Open(platform::RegistryRoot::CurrentUser, RecordKey()));
    EXPECT_EQ(record.ReadString("Ver"), "3");
}

// An older package asks first (No being the default); unattended, it is refused unless allowed.
TEST_F(Upgrade, OlderPackageAsksAndAnUnattendedRunRefuses) {
    InstallFirstThenPackage("1");
    auto asked = NewSession();
    asked->installer.Start(Place());
    asked->view.answers.push_back(app::kAnswerNo);
    asked->installer.RunInstallation();
    ASSERT_EQ(asked->view.boxes.size(), 1u);
    EXPECT_TRUE(asked->view.boxes[0].flags & app::kDefaultSecondButton);
    EXPECT_TRUE(Exists(Home("old" + kSep + "only.txt")));
    asked->installer.ShutDown();
    for (const bool allowed : {false, true}) {
        auto quiet = NewSession();
        quiet->installer.SetOptions(app::ParseCommandLine(allowed ? "/S /ALLOWDOWNGRADE" : "/S"));
        quiet->installer.Start(Place());
        quiet->installer.RunInstallation();
        EXPECT_EQ(quiet->installer.ExitCode(),
                  allowed ? app::kExitCompleted : app::kExitDowngradeRefused);
        EXPECT_EQ(Exists(Home("old" + kSep + "only.txt")), !allowed);
        quiet->installer.ShutDown();
    }
}

// --- Levels of a folder -------------------------------------------------------------------

class Levels : public Run {
  protected:
    app::InstallerContext context_{view_, shell_, *sysdirs_};
    app::InstallState state_;
    app::InstallationRun run_{context_, engine_, state_, {}};
};

TEST_F(Levels, MissingLevelsAreMadeAndNotedAndABlockedOneRaisesNamingIt) {
    std::filesystem::create_directories(apptest::FsPath(Dir("A", "there")));
    run_.CreateFolderLevels(Dir("A", "there", "one", "two"));
    EXPECT_TRUE(std::filesystem::is_directory(apptest::FsPath(Dir("A", "there", "one", "two"))));
    std::vector<std::string> noted;
    for (const app::Journal::Entry& entry : run_.RunJournal().Entries())
        noted.push_back(entry.path);
    EXPECT_EQ(noted, (std::vector<std::string>{Dir("A", "there", "one"),
                                               Dir("A", "there", "one", "two")}));

    WriteFile(Dir("B", "blocker"), "a file where a folder should be");
    try {
        run_.CreateFolderLevels(Dir("B", "blocker", "Zelvik"));
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(
            std::string(error.what())
                .rfind("Nelze vytvo\xC5\x99it adres\xC3\xA1\xC5\x99: " + Dir("B", "blocker"), 0),
            0u)
            << error.what();
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(apptest::FsPath(Dir("B", "blocker"))));
    EXPECT_EQ(run_.RunJournal().Entries().size(), 2u);
    EXPECT_TRUE(Calls().empty());
}

// --- Failed extractions -----------------------------------------------------------------

class FailedRun : public Run {
  protected:
    std::vector<std::string> PackageNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(apptest::FsPath(Package())))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The run stopped at the box and took back all it had made; the package is as it was.
    void ExpectTakenBack(const std::string& box_text, const std::vector<std::string>& package) {
        const std::vector<std::string> steps = Steps();
        ASSERT_GE(steps.size(), 2u);
        EXPECT_EQ(steps[steps.size() - 2], "box:" + box_text);
        EXPECT_EQ(steps.back(), "close");
        ASSERT_EQ(view_.boxes.size(), 1u);
        EXPECT_EQ(view_.boxes[0].caption, "Zelvik Setup");
        EXPECT_EQ(view_.boxes[0].flags, 0x10u);
        EXPECT_FALSE(Exists(home_));
        EXPECT_TRUE(std::filesystem::is_directory(apptest::FsPath(Dir("Program Files"))));
        EXPECT_FALSE(
            platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, RecordKey()));
        EXPECT_FALSE(installer_->State().CleanupDue());
        EXPECT_EQ(PackageNames(), package);
        // Shutdown leaves the package for another try.
        const size_t calls = log_.size();
        installer_->ShutDown();
        EXPECT_EQ(log_.size(), calls);
        EXPECT_EQ(PackageNames(), package);
    }
};

TEST_F(FailedRun, BadMainArchiveIsReportedAndTakenBack) {
    struct Case {
        const char* what;
        std::function<ziptest::Bytes()> archive;
        std::string box;
    };
    const Case cases[] = {
        {"crc",
         [] {
             ziptest::Archive archive;
             archive.members.push_back(ziptest::Stored("readme.txt", ziptest::ToBytes("ok")));
             archive.members.push_back(
                 ziptest::Deflated("bin/tool.exe", ziptest::MixedData(5000, 4)));
             archive.members.back().crc = 0x12345678;
             archive.members.push_back(ziptest::Stored("later.txt", ziptest::ToBytes("never")));
             return archive.Build();
         },
         apptest::RunFailedText("CRC-Error!: orvoinst.zip")},
        {"encrypted",
         [] {
             ziptest::Archive archive;
             archive.members.push_back(ziptest::Stored("data/a.txt", ziptest::ToBytes("ok")));
             archive.members.push_back(ziptest::Stored("secret.txt", ziptest::ToBytes("x")));
             archive.members.back().flags = 1;
             return archive.Build();
         },
         apptest::RunFailedText("File encrypted, skipped!: orvoinst.zip")},
        // Found before anything is written: nothing to take back, and the box says no more.
        {"not an archive", [] { return ziptest::ToBytes("not a zip at all"); },
         "Instalace se nezda\xC5\x99ila:\rFile error : orvoinst.zip"},
        {"cut short",
         [] {
             ziptest::Bytes bytes = ArchiveOf({{"a.txt", "text"}, {"b.bin", Mixed(5000, 5)}});
             bytes.resize(bytes.size() - 30);
             return bytes;
         },
         "Instalace se nezda\xC5\x99ila:\rFile error : orvoinst.zip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Package("orvoinst.zip"), c.archive());
        const auto session = NewSession();
        app::Installer& installer = session->installer;
        const std::vector<std::string>& log = session->log;
        installer.Start(Place());
        installer.ChooseFolder(home_);
        (void)installer.ChooseIcons({true, true});
        installer.MovePage(app::Page::kSummary);
        installer.RunInstallation();
        ASSERT_EQ(session->view.boxes.size(), 1u);
        EXPECT_EQ(session->view.boxes[0].text, c.box);
        EXPECT_EQ(log.back(), "close");
        EXPECT_FALSE(Exists(home_));
        EXPECT_FALSE(installer.State().CleanupDue());
        EXPECT_EQ(installer.ExitCode(), app::kExitRunFailed);
        EXPECT_TRUE(Exists(Package("orvoinst.zip")));
        EXPECT_FALSE(
            platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, RecordKey()));
        for (const std::string& call : log)
            EXPECT_EQ(call.rfind("info-dialog:", 0), std::string::npos);
    }
}

TEST_F(FailedRun, StepsUpToTheFailure) {
    ziptest::Archive archive;
    archive.members.push_back(ziptest::Deflated("bin/tool.exe", ziptest::MixedData(5000, 4)));
    archive.members.back().crc = 0x12345678;
    WriteFile(Package("orvoinst.zip"), archive.Build());
    const std::vector<std::string> package = PackageNames();
    Install();
    std::vector<std::string> expected = PanelSteps(kFirstSteps);
    expected.push_back("box:" + apptest::RunFailedText("CRC-Error!: orvoinst.zip"));
    expected.push_back("close");
    EXPECT_EQ(Steps(), expected);
    ExpectTakenBack(apptest::RunFailedText("CRC-Error!: orvoinst.zip"), package);
}

TEST_F(FailedRun, SecondArchiveFailureTakesBackTheFirstAndTheCopies) {
    ziptest::Archive archive;
    archive.members.push_back(ziptest::Stored("more.txt", ziptest::ToBytes("more")));
    archive.members.back().crc = 1;
    WriteFile(Package("all.zip"), archive.Build());
    const std::vector<std::string> package = PackageNames();
    Install();
    // It got as far as the copies and the second archive.
    const std::vector<std::string> steps = Steps();
    EXPECT_NE(std::find(steps.begin(), steps.end(), "run-bar=60"), steps.end());
    ExpectTakenBack(apptest::RunFailedText("CRC-Error!: all.zip"), package);
}

// The user agreed to install into a folder that holds files; the run fails: the folder holds
// exactly what it held, a file the package had replaced included.
TEST_F(FailedRun, FolderThatWasThereKeepsWhatItHeld) {
    WriteFile(Home("notes.txt"), "mine");
    WriteFile(Home("bin" + kSep + "old.dll"), "mine too");
    ziptest::Archive archive;
    archive.members.push_back(ziptest::Stored("notes.txt", ziptest::ToBytes("the package's")));
    archive.members.push_back(ziptest::Stored("bin/new.dll", ziptest::ToBytes("new")));
    archive.members.push_back(ziptest::Stored("lib/deep/x.dll", ziptest::ToBytes("new")));
    archive.members.push_back(ziptest::Stored("bad.bin", ziptest::ToBytes("bad")));
    archive.members.back().crc = 7;
    WriteFile(Package("orvoinst.zip"), archive.Build());
    view_.answers = {app::kAnswerYes};
    Install();
    ASSERT_EQ(view_.boxes.size(), 2u);
    EXPECT_EQ(view_.boxes[0].flags, 0x134u); // Yes/No, No the default
    EXPECT_EQ(view_.boxes[1].text, apptest::RunFailedText("CRC-Error!: orvoinst.zip"));
    EXPECT_EQ(ReadFile(Home("notes.txt")), "mine");
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(apptest::FsPath(home_)))
        left.insert(entry.path().u8string());
    EXPECT_EQ(left, (std::set<std::string>{Home("notes.txt"), Home("bin"), Home("bin/old.dll")}));
}

} // namespace
