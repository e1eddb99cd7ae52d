// A view and a shell for the installer's logic that record every call, in order, in one log,
// and answer message boxes from a queue. And a package on disk to run it on: a package
// folder, the system folders, a temporary folder and registry keys, all thrown away after.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/installer.h"
#include "platform/environment.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/single_instance.h"
#include "services/form_storage.h"
#include "services/system_folders.h"
#include "support/scratch.h"
#include "unzip/engine.h"

namespace apptest {

using scratch::Exists;
using scratch::FsPath;
using scratch::kSep;
using scratch::ReadFile;
using scratch::WriteFile;

class FakeView : public app::InstallerView {
  public:
    explicit FakeView(std::vector<std::string>& log) : log_(log) {}

    // Bars and labels by what they show, in the order of ProgressBar and StatusLabel.
    void SetBarPosition(app::ProgressBar bar, int position) override {
        static const char* const kNames[] = {"member-bar=", "run-bar=", "vertical-run-bar="};
        log_.push_back(kNames[static_cast<int>(bar)] + std::to_string(position));
    }
    void SetLabelText(app::StatusLabel label, const std::string& text) override {
        static const char* const kNames[] = {"heading:", "member-name:", "step:"};
        log_.push_back(kNames[static_cast<int>(label)] + text);
    }
    void ShowProgressPanel() override { log_.push_back("panel"); }
    int ShowMessageBox(const app::MessageBoxRequest& request) override {
        boxes.push_back(request);
        log_.push_back("box:" + request.text);
        if (answers.empty()) return app::kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessageDialog(app::DialogKind kind, const std::string& text) override {
        log_.push_back(
            std::string(kind == app::DialogKind::Error ? "error-dialog:" : "info-dialog:") + text);
    }
    void ShowErrorReport(const std::string& message) override {
        log_.push_back("error-report:" + message);
    }
    void ProcessMessages() override { log_.push_back("pump"); }
    void Close() override { log_.push_back("close"); }

    std::vector<app::MessageBoxRequest> boxes;
    std::deque<int> answers; // then kAnswerOk

  private:
    std::vector<std::string>& log_;
};

class FakeShell : public app::SystemShell {
  public:
    explicit FakeShell(std::vector<std::string>& log) : log_(log) {}

    bool ChangeCurrentFolder(const std::string& folder) override {
        log_.push_back("cd:" + folder);
        return change_folder_works;
    }
    bool RunBatchHidden(const std::string& batch_file, const std::string& working_folder) override {
        log_.push_back("batch:" + batch_file + " in " + working_folder);
        return true;
    }
    bool OpenDocument(const std::string& path) override {
        log_.push_back("open:" + path);
        return true;
    }

    bool change_folder_works = true;

  private:
    std::vector<std::string>& log_;
};

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// The nine values of a package whose product is Zelvik by the maker Orvo.
inline std::string SettingsText(const std::string& extra_lines = "") {
    return "[ALL]\r\nsoftname=Zelvik\r\ncompany=Orvo\r\nsversion=2\r\nsrelease=10\r\nicons=1\r\n"
           "progreg=Zelvik\r\nregdir=Zelvik\r\nidn=" +
           scratch::UniqueName("ZelvikSetup") + "\r\nprogname=zelvik.exe\r\n" + extra_lines;
}

// The box of a failed run: what failed, and that the run was taken back.
inline std::string RunFailedText(const std::string& failure) {
    return "Instalace se nezda\xC5\x99ila:\r" + failure +
           "\r\rV\xC5\xA1"
           "echny zm\xC4\x9Bny proveden\xC3\xA9 instalac\xC3\xAD byly vr\xC3\xA1"
           "ceny zp\xC4\x9Bt.";
}

// Another start of the program beside the fixture's installer, with a log of its own.
struct Session {
    Session(const services::SystemDirs& dirs, unzip::Engine& engine, const std::string& records)
        : installer(view, shell, dirs, storage, engine) {
        installer.SetRecordBaseKey(records);
    }

    std::vector<std::string> log;
    FakeView view{log};
    FakeShell shell{log};
    services::FormStorage storage;
    app::Installer installer;
};

// Whether another copy would find the installer's single-instance guard held.
inline bool GuardHeld(const app::Installer& installer) {
    platform::NamedMutex probe;
    const bool free = probe.Create(installer.Config().idn);
    probe.Close();
    return !free;
}

// A package folder, system folders that point into the scratch folder, the installation
// record's base key in a scratch key, and the installer over fakes.
class InstallerTest : public ::testing::Test {
  protected:
    InstallerTest() {
        sources_.temp_variable = scratch::UniqueName("ORVO_TEST_TEMP");
        sources_.user_root = sources_.machine_root = platform::RegistryRoot::CurrentUser;
        sources_.user_key = registry_.Path("Shell Folders");
        sources_.machine_key = registry_.Path("Machine");
        platform::RegistryKey user, machine;
        EXPECT_TRUE(user.Create(sources_.user_root, sources_.user_key));
        EXPECT_TRUE(machine.Create(sources_.machine_root, sources_.machine_key));
        EXPECT_TRUE(user.WriteString("Desktop", Dir("Desktop")));
        EXPECT_TRUE(user.WriteString("Start Menu", Dir("Start")));
        EXPECT_TRUE(user.WriteString("Programs", Dir("Start", "Programs")));
        EXPECT_TRUE(user.WriteString("Local AppData", Dir("AppData")));
        EXPECT_TRUE(machine.WriteString("ProgramFilesDir", Dir("Program Files")));
        EXPECT_TRUE(platform::SetEnvironmentValue(sources_.temp_variable, Dir("Temp")));
        for (const char* folder : {"Desktop", "Program Files", "Temp", "Package"})
            std::filesystem::create_directories(FsPath(Dir(folder)));
        std::filesystem::create_directories(FsPath(Dir("Start", "Programs")));
        sysdirs_ = std::make_unique<services::SystemDirs>(sources_);
        installer_ = std::make_unique<app::Installer>(view_, shell_, *sysdirs_, storage_, engine_);
        installer_->SetRecordBaseKey(registry_.Path("Records"));
        WriteFile(Package("setup.exe"), "the program");
    }
    ~InstallerTest() override { (void)platform::SetEnvironmentValue(sources_.temp_variable, {}); }

    template <class... Parts>
    std::string Dir(const Parts&... parts) const {
        return root_.Path(parts...);
    }
    std::string Package(const std::string& name = "") const {
        return name.empty() ? Dir("Package") : Dir("Package", name);
    }
    app::ProgramPlace Place() const { return {Package(), Package("setup.exe")}; }
    std::string RecordKey() const { return registry_.Path("Records") + "\\Zelvik"; }

    std::unique_ptr<Session> NewSession(const services::SystemDirs* dirs = nullptr) {
        return std::make_unique<Session>(dirs ? *dirs : *sysdirs_, engine_,
                                         registry_.Path("Records"));
    }

    // The log without the message pump's entries.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (const std::string& entry : log_)
            if (entry != "pump") calls.push_back(entry);
        return calls;
    }

    platform::ComApartment com_; // shortcuts need it on Windows
    scratch::Folder root_;
    scratch::RegistryKey registry_;
    services::SystemDirSources sources_;
    std::unique_ptr<services::SystemDirs> sysdirs_;
    std::vector<std::string> log_;
    FakeView view_{log_};
    FakeShell shell_{log_};
    services::FormStorage storage_;
    unzip::Engine engine_;
    std::unique_ptr<app::Installer> installer_;
};

} // namespace apptest
