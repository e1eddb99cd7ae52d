// The real main window over a package in a scratch folder: built with the installer's
// start-up, shown, driven by control name as a user would, message boxes answered through the
// message service, and the results looked for on disk, in the registry and in setup.ini.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "installer_fakes.h"
#include "platform/shell_link.h"
#include "platform/window_placement.h"
#include "ui/message_service.h"
#include "ui/ui_test_support.h"
#include "unzip/zip_builder.h"

namespace {

using C = contract::MainControl;
using apptest::Exists;
using apptest::kSep;
using apptest::ReadFile;
using apptest::WriteFile;

const std::string kInstalled =
    "Instalace byla dokon\xC4\x8D"
    "ena";
const std::string kCancelled =
    "Instalace byla zru\xC5\xA1"
    "ena";

class SetupWindow : public apptest::InstallerTest {
  protected:
    SetupWindow()
        : answers_([this](const ui::MessageRequest& request) { return Answer(request); }) {
        ziptest::Archive archive;
        archive.members.push_back(ziptest::Stored("zelvik.exe", ziptest::ToBytes("the product")));
        archive.members.push_back(ziptest::Stored("doc/manual.txt", ziptest::ToBytes("manual")));
        archive.members.push_back(ziptest::Deflated("data/table.bin", ziptest::MixedData(20000, 7),
                                                    ziptest::BlockKind::Dynamic));
        WriteFile(Package("orvoinst.zip"), archive.Build());
        WriteFile(Package("license.txt"), "Licence line one\r\nLicence line two\r\n");
    }
    ~SetupWindow() override { form_.reset(); }

    // Starts the program in `place` (the package by default) and shows its window.
    app::MainWindow& Start(const app::ProgramPlace& place, bool show = true) {
        form_ = std::make_unique<app::MainWindow>(Environment(place));
        if (show) form_->Window().Show();
        return *form_;
    }
    app::MainWindow& Start() { return Start(Place()); }
    // The scratch folders, registry keys and the recording shell.
    app::StartupEnvironment Environment(const app::ProgramPlace& place) {
        app::StartupEnvironment environment;
        environment.place = place;
        environment.shell = &shell_;
        environment.dir_sources = sources_;
        environment.record_key = registry_.Path("Records");
        return environment;
    }

    // Found as the end-to-end driver finds it: the window property with the role's name.
    ui::Control& Named(C role) {
        const std::string name(contract::NameOf(role));
        ui::Control* control = form_->Window().Find(name);
        if (!control) throw std::runtime_error("no control named " + name);
        return *control;
    }
    void Click(C role) { Named(role).Click(); }
    std::string Title() {
        return form_->Controls().Relief(contract::NameOf(C::kTitle)).Label().Caption();
    }
    std::optional<app::Page> PageShown() {
        return app::PageOfTag(form_->Get<ui::PageControl>(C::kPages).ActivePageIndex());
    }
    std::vector<std::string> Summary() { return form_->Get<ui::Memo>(C::kSummary).Lines(); }

    int Answer(const ui::MessageRequest& request) {
        seen_.push_back(request.text);
        if (answers_queue_.empty()) return ui::kAnswerOk;
        const int answer = answers_queue_.front();
        answers_queue_.erase(answers_queue_.begin());
        return answer;
    }
    bool RecordExists() const {
        return platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, RecordKey());
    }
    std::string RecordValue(const std::string& name) const {
        platform::RegistryKey key;
        std::string value;
        if (key.Open(platform::RegistryRoot::CurrentUser, RecordKey()))
            value = key.ReadString(name);
        return value;
    }
    bool Shown() { return platform::IsWindowShown(form_->Window().Handle()); }

    // From the welcome page past the accepted licence to the folder page.
    void WalkToFolderPage() {
        Click(C::kWelcomeContinue);
        Click(C::kAcceptLicence);
        Click(C::kLicenceContinue);
    }
    // On to the summary with the first folder choice and both ticks.
    void WalkToSummary() {
        WalkToFolderPage();
        Click(C::kFolderContinue);
        auto& icons = dynamic_cast<ui::CheckListBox&>(Named(C::kIconChoice));
        icons.ClickCheck(0);
        icons.ClickCheck(1);
        Click(C::kIconContinue);
    }

    std::vector<int> answers_queue_;
    std::vector<std::string> seen_;
    ui::ScopedMessageAnswerer answers_;
    std::unique_ptr<app::MainWindow> form_;
};

TEST_F(SetupWindow, OpensOnTheWelcomePageWithTheTitleLicenceAndFolders) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    app::MainWindow& form = Start();
    EXPECT_EQ(form.ExitCode(), app::StartupResult::kKeepRunning);
    EXPECT_EQ(PageShown(), app::Page::kPortal);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Title(), "Zelvik v.2.10");
    EXPECT_EQ(form.Get<ui::Memo>(C::kLicenceText).Lines(),
              (std::vector<std::string>{"Licence line one", "Licence line two"}));
    const std::vector<std::string> folders = form.Get<ui::ComboBox>(C::kFolderChoice).Items();
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(folders[0], Dir("Program Files", "Zelvik"));
    EXPECT_EQ(folders[2], Dir("Desktop") + kSep + "Zelvik");
    EXPECT_EQ(form.Get<ui::ComboBox>(C::kFolderChoice).Text(), folders[0]);
    EXPECT_FALSE(Named(C::kLicenceContinue).Enabled());
    EXPECT_TRUE(seen_.empty());
}

// The page's built-in wording names the package's product.
TEST_F(SetupWindow, WithoutTheArchiveItOpensOnTheUninstallPage) {
    std::string settings = apptest::SettingsText();
    settings.replace(settings.find("softname=Zelvik"), 15, "softname=Krtek");
    WriteFile(Package("setup.ini"), settings);
    std::filesystem::remove(apptest::FsPath(Package("orvoinst.zip")));
    Start();
    EXPECT_EQ(PageShown(), app::Page::kUninstall);
    EXPECT_NE(Named(C::kUninstallSubheading).Text().find("programu Krtek z"), std::string::npos);
    const std::vector<std::string> text = form_->Get<ui::Memo>(C::kUninstallText).Lines();
    EXPECT_EQ(text.at(1), "odinstalaci programu Krtek.");
}

TEST_F(SetupWindow, ASecondCopyEndsWithCodeThreeAndShowsNothing) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    const app::StartupEnvironment environment = Environment(Place());
    app::MainWindow first(environment);
    app::MainWindow second(environment);
    EXPECT_EQ(first.ExitCode(), app::StartupResult::kKeepRunning);
    EXPECT_EQ(second.ExitCode(), app::kExitSecondInstance);
    EXPECT_EQ(seen_, std::vector<std::string>{"Instalace byla u\xC5\xBE spu\xC5\xA1t\xC4\x9Bna!"});
    EXPECT_FALSE(platform::IsWindowShown(second.Window().Handle()));
}

TEST_F(SetupWindow, MissingValuesEndBeforeTheWindowIsShown) {
    WriteFile(Package("setup.ini"), "[ALL]\r\nsoftname=Zelvik\r\n");
    app::MainWindow& form = Start(Place(), false);
    EXPECT_EQ(form.ExitCode(), app::kExitConfiguration);
    EXPECT_FALSE(platform::IsWindowShown(form.Window().Handle()));
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].rfind("Nebyly nalezeny d\xC5\xAFle\xC5\xBEit\xC3\xA9 informace", 0), 0u);
}

TEST_F(SetupWindow, ForwardAndBackThroughThePagesWithTheLicenceGate) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    Start();
    Click(C::kWelcomeContinue);
    EXPECT_EQ(PageShown(), app::Page::kLicence);
    Click(C::kAcceptLicence);
    EXPECT_TRUE(Named(C::kLicenceContinue).Enabled());
    Click(C::kRefuseLicence);
    EXPECT_FALSE(Named(C::kLicenceContinue).Enabled());
    Click(C::kLicenceBack);
    EXPECT_EQ(PageShown(), app::Page::kPortal);
    WalkToFolderPage();
    EXPECT_EQ(PageShown(), app::Page::kDirectory);
    Click(C::kFolderContinue);
    EXPECT_EQ(PageShown(), app::Page::kIcons);
    Click(C::kIconContinue);
    EXPECT_EQ(PageShown(), app::Page::kSummary);
    Click(C::kSummaryBack);
    EXPECT_EQ(PageShown(), app::Page::kIcons);
    Click(C::kIconBack);
    EXPECT_EQ(PageShown(), app::Page::kDirectory);
    Click(C::kFolderBack);
    EXPECT_EQ(PageShown(), app::Page::kLicence);
}

// The wizard by keyboard alone: Enter is the page's way forward, also from the read-only text
// that has the focus; each new page gives its first control the focus; Tab reaches the
// licence's answer, Space ticks it; Esc is the Storno button.
TEST_F(SetupWindow, TheKeyboardAloneWalksTheWizard) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    Start();
    const auto focused = [] {
        // An editable combo box gives the focus to its edit field, a window of its own.
        HWND focus = GetFocus();
        if (!ui::Control::FromHandle(focus)) focus = GetParent(focus);
        ui::Control* control = ui::Control::FromHandle(focus);
        return control ? control->Name() : std::string("?");
    };
    EXPECT_EQ(focused(), contract::NameOf(C::kWelcomeText));
    ui_test::TapKey(VK_RETURN);
    EXPECT_EQ(PageShown(), app::Page::kLicence);
    EXPECT_EQ(focused(), contract::NameOf(C::kLicenceText));
    ui_test::TapKey(VK_RETURN); // the licence is not accepted yet
    EXPECT_EQ(PageShown(), app::Page::kLicence);
    ui_test::TapKey(VK_TAB);
    ui_test::TapKey(VK_TAB);
    EXPECT_EQ(focused(), contract::NameOf(C::kAcceptLicence));
    ui_test::TapKey(VK_SPACE);
    EXPECT_TRUE(Named(C::kLicenceContinue).Enabled());
    ui_test::TapKey(VK_RETURN);
    EXPECT_EQ(PageShown(), app::Page::kDirectory);
    EXPECT_EQ(focused(), contract::NameOf(C::kFolderChoice));
    ui_test::TapKey(VK_RETURN);
    EXPECT_EQ(PageShown(), app::Page::kIcons);
    ui_test::TapKey(VK_RETURN);
    EXPECT_EQ(PageShown(), app::Page::kSummary);
    EXPECT_TRUE(seen_.empty());
    ui_test::TapKey(VK_ESCAPE);
    EXPECT_EQ(seen_, std::vector<std::string>{kCancelled});
    EXPECT_EQ(form_->FinalExitCode(), app::kExitCancelled);
}

TEST_F(SetupWindow, WithoutTheIconPageBothDirectionsSkipIt) {
    std::string settings = apptest::SettingsText();
    settings.replace(settings.find("icons=1"), 7, "icons=0");
    WriteFile(Package("setup.ini"), settings);
    Start();
    WalkToFolderPage();
    Click(C::kFolderContinue);
    EXPECT_EQ(PageShown(), app::Page::kSummary);
    Click(C::kSummaryBack);
    EXPECT_EQ(PageShown(), app::Page::kDirectory);
}

TEST_F(SetupWindow, TheSummaryShowsTheFolderAndTheTickedShortcuts) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    Start();
    WalkToSummary();
    EXPECT_EQ(PageShown(), app::Page::kSummary);
    const std::string home = Dir("Program Files", "Zelvik");
    EXPECT_EQ(Summary(), (std::vector<std::string>{
                             "Installation of  Zelvik", "Program place: -" + home, "",
                             "Icon place:", "- START/PROGRAMY/Zelvik", "- Desktop", "- START", "",
                             "When you press Finish Installation will be start", ""}));
    // A click in the list rebuilds it at once.
    dynamic_cast<ui::CheckListBox&>(Named(C::kIconChoice)).ClickCheck(0);
    const std::vector<std::string> lines = Summary();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "- Desktop"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "- START"), 1);
}

TEST_F(SetupWindow, TheFourthChoiceTakesTheFolderFromThePicker) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    const std::string picked = Dir("Picked");
    std::filesystem::create_directories(apptest::FsPath(picked));
    app::MainWindow& form = Start();
    app::FolderPicker picker;
    std::string label;
    int answer = ui::mrOk;
    form.SetFolderPicker(&picker, [&](app::FolderPicker& shown) {
        EXPECT_TRUE(shown.Tree().SetSelectedPath(picked));
        label = shown.Path().Text();
        return answer;
    });
    auto& folders = dynamic_cast<ui::ComboBox&>(Named(C::kFolderChoice));
    folders.Pick(app::kChoiceOther);
    EXPECT_EQ(label, picked + kSep + "Zelvik");
    EXPECT_EQ(folders.ItemIndex(), app::kChoiceOther);
    EXPECT_EQ(folders.Text(), picked + kSep + "Zelvik");
    answer = ui::mrCancel;
    folders.Pick(app::kChoiceDesktop);
    folders.Pick(app::kChoiceOther);
    EXPECT_EQ(folders.ItemIndex(), app::kChoiceProgramFiles);
}

TEST_F(SetupWindow, StornoShowsTheMessageClosesAndKeepsAPackageOutsideTheTemporaryFolder) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    Start();
    Click(C::kWelcomeContinue);
    Click(C::kLicenceCancel);
    EXPECT_EQ(seen_, std::vector<std::string>{kCancelled});
    EXPECT_FALSE(Shown());
    EXPECT_EQ(form_->FinalExitCode(), app::kExitCancelled);
    form_.reset();
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
    EXPECT_FALSE(Exists(Dir("Temp", "setup123.bat")));
}

TEST_F(SetupWindow, InstallsThenUninstallsFromTheInstalledCopy) {
    WriteFile(Package("setup.ini"), apptest::SettingsText());
    Start();
    WalkToSummary();
    {
        // Open, as the running program's file is: the package's removal leaves it and so the
        // folder, where closing writes setup.ini again.
        std::ifstream running(apptest::FsPath(Package("setup.exe")));
        Click(C::kFinish);
    }
    const std::string home = Dir("Program Files", "Zelvik");
    EXPECT_EQ(seen_, std::vector<std::string>{kInstalled});
    EXPECT_EQ(ReadFile(home + kSep + "zelvik.exe"), "the product");
    EXPECT_EQ(ReadFile(home + kSep + "doc" + kSep + "manual.txt"), "manual");
    const ziptest::Bytes table = ziptest::MixedData(20000, 7);
    EXPECT_EQ(ReadFile(home + kSep + "data" + kSep + "table.bin"),
              std::string(table.begin(), table.end()));
    EXPECT_TRUE(Exists(home + kSep + "setup.exe"));
    EXPECT_TRUE(Exists(home + kSep + "setup.ini"));
    EXPECT_EQ(RecordValue("AppDir"), home);
    EXPECT_EQ(RecordValue("Ver"), "2");
    EXPECT_EQ(RecordValue("Rel"), "10");
    for (const std::string& link : {Dir("Desktop", "Zelvik.lnk"), Dir("Start", "Zelvik.lnk")}) {
        const auto fields = platform::LoadShellLink(link);
        ASSERT_TRUE(fields) << link;
        EXPECT_EQ(fields->target, home + kSep + "zelvik.exe");
    }
    EXPECT_FALSE(Exists(Package("orvoinst.zip")));
    EXPECT_FALSE(Exists(Package("license.txt")));
    EXPECT_TRUE(Exists(Package("setup.ini"))); // written back at the close
    EXPECT_TRUE(Named(C::kProgressPanel).Visible());
    EXPECT_FALSE(form_->Get<ui::PageControl>(C::kPages).Visible());
    EXPECT_EQ(Named(C::kProgressHeading).Text(), "Installation is finished");
    EXPECT_FALSE(Shown());
    form_.reset();
    EXPECT_TRUE(RecordExists()); // a completed run cleans up nothing more at shutdown

    // The copy in the installation folder has no archive beside it.
    std::filesystem::remove(apptest::FsPath(Dir("Temp", "setup123.bat")));
    seen_.clear();
    answers_queue_ = {ui::kAnswerNo};
    Start({home, home + kSep + "setup.exe"});
    EXPECT_EQ(PageShown(), app::Page::kUninstall);
    Click(C::kUninstall);
    EXPECT_EQ(seen_.size(), 1u);
    EXPECT_TRUE(Exists(home + kSep + "zelvik.exe"));
    EXPECT_TRUE(Shown());
    answers_queue_ = {ui::kAnswerYes};
    {
        std::ifstream running(apptest::FsPath(home + kSep + "setup.exe"));
        Click(C::kUninstall);
    }
    ASSERT_EQ(seen_.size(), 3u) << testing::PrintToString(seen_);
    EXPECT_EQ(seen_[2], "Program Zelvik byl odinstalov\xC3\xA1n");
    EXPECT_FALSE(RecordExists());
    EXPECT_FALSE(Exists(home + kSep + "zelvik.exe"));
    EXPECT_FALSE(Exists(home + kSep + "doc"));
    EXPECT_TRUE(Exists(home + kSep + "setup.exe")); // the batch's part
    EXPECT_FALSE(Exists(Dir("Desktop", "Zelvik.lnk")));
    EXPECT_FALSE(Exists(Dir("Start", "Zelvik.lnk")));
    const std::string batch = ReadFile(Dir("Temp", "setup123.bat"));
    EXPECT_NE(batch.find("Erase \"" + home + kSep + "setup.exe\""), std::string::npos) << batch;
    EXPECT_FALSE(Shown());
}

TEST_F(SetupWindow, TextsFromTheSettingsFileReplaceCaptionsAndMessagesAtFirstShow) {
    WriteFile(Package("setup.ini"),
              apptest::SettingsText("BitBtn5_Caption=Dale\r\nLabel1_Caption=Vitejte\r\n"
                                    "[ALL.Memo6_Lines]\r\nCount=2\r\nItem0=Instalace produktu\r\n"
                                    "Item1=Cil:\r\n"));
    app::MainWindow& form = Start(Place(), false);
    EXPECT_EQ(Named(C::kWelcomeContinue).Text(), "Pokra\xC4\x8Dovat");
    form.Window().Show();
    EXPECT_EQ(Named(C::kWelcomeContinue).Text(), "Dale");
    EXPECT_EQ(Named(C::kFolderHeading).Text(), "Vitejte");
    WalkToSummary();
    const std::vector<std::string> lines = Summary();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Instalace produktu");
    EXPECT_EQ(lines[1], "Cil:" + Dir("Program Files", "Zelvik"));
    EXPECT_EQ(lines[3], ""); // the table has no entry 2 any more
}

TEST_F(SetupWindow, ClosingWritesTheSettingsBack) {
    // No version and no "icons": both come back with their defaults.
    WriteFile(Package("setup.ini"),
              "[ALL]\r\nsoftname=Zelvik\r\ncompany=Orvo\r\nsrelease=10\r\nprogreg=Zelvik\r\n"
              "regdir=Zelvik\r\nidn=" +
                  scratch::UniqueName("ZelvikSetup") + "\r\nprogname=zelvik.exe\r\n");
    app::MainWindow& form = Start();
    EXPECT_EQ(Title(), "Zelvik v.1.10");
    form.Window().Close(); // the system's close: no navigation, nothing cleaned up
    const std::string written = ReadFile(Package("setup.ini"));
    for (const char* line :
         {"FormVersion=0", "sversion=1", "icons=1", "softname=Zelvik", "progname=zelvik.exe",
          "BitBtn5_Caption=Pokra", "[ALL.Memo6_Lines]", "Count=36"}) {
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
    }
    form_.reset();
    EXPECT_TRUE(Exists(Package("orvoinst.zip")));
    EXPECT_FALSE(Exists(Dir("Temp", "setup123.bat")));
}

} // namespace
