// The main window TForm1: built from its layout, it paints the shaded background, keeps the
// page control centred, covers the desktop and switches to the progress layout when the
// installation run starts. Given where the program runs, its creation runs the installer's
// start-up and its handlers drive the installer's logic; it is the view of that logic and the
// host of the settings component that keeps its texts and placement in setup.ini.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/installer.h"
#include "app/installer_view.h"
#include "app/system_shell.h"
#include "services/form_storage.h"
#include "services/stored_property_host.h"
#include "services/system_folders.h"
#include "ui/choice_controls.h"
#include "ui/memo.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/window.h"
#include "widgets/layouts/builder.h"

namespace app {

class TForm2;

// Where the installer runs and what it works with. The program gives its own place and the
// system's folders, registry and shell; tests give throw-away ones.
struct StartupEnvironment {
    ProgramPlace place;
    SystemShell* shell = nullptr; // the platform's when null
    services::SystemDirSources dir_sources;
    std::string record_key; // the installation record's base key; empty: the record's own
};

class TForm1 : public InstallerView, public services::StoredPropertyHost {
  public:
    // The window as its layout builds it, without the installer (pictures, layout checks).
    TForm1();
    // The program's window: its creation runs the installer's start-up in `environment`.
    explicit TForm1(const StartupEnvironment& environment);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    ui::Window& Window() { return built_.Window(); }
    layouts::BuiltForm& Controls() { return built_; }
    // Null for the window without the installer.
    Installer* Logic() { return installer_.get(); }

    // What the start-up decided: StartupResult::kKeepRunning, or the code to end with at once.
    int ExitCode() const { return exit_code_; }
    // The start-up asked to close before the window was ever shown.
    bool ClosedBeforeShown() const { return close_pending_; }

    // The folder picker the fourth folder choice opens, and how it is shown (modally unless
    // a test answers in its place); returns ui::mrOk or ui::mrCancel.
    using PickerRunner = std::function<int(TForm2& picker)>;
    void SetFolderPicker(TForm2* picker, PickerRunner runner = {});

    // Handlers named by the layout.
    void FormCreate(ui::Control& sender);
    void FormDestroy(ui::Control& sender);
    void FormPaint(ui::Control& sender, ui::Painter& painter);
    void FormResize(ui::Control& sender);
    void FormShow(ui::Control& sender);
    void StornoClick(ui::Control& sender);
    void BitBtn5Click(ui::Control& sender);
    void RadioButtyesClick(ui::Control& sender);
    void RadioButtNOClick(ui::Control& sender);
    void DirectoryChange(ui::Control& sender);
    void ProgIconClick(ui::Control& sender);
    void BitBtn4Click(ui::Control& sender);
    void BitBtn11Click(ui::Control& sender);
    void BitBtn12Click(ui::Control& sender);

    // The settings component's save run ends here.
    void FormStorage1SavePlacement(services::FormStorage& sender);

    // The last step of the start-up: the window at 0, 0 with the size of the whole desktop.
    void PlaceOnDesktop();
    // The first step of the installation run: the progress and picture panels placed and
    // shown, the pages hidden.
    void ShowProgressLayout();

    // InstallerView.
    void SetBarPosition(ProgressBar bar, int position) override;
    void SetLabelText(StatusLabel label, const std::string& text) override;
    void ShowProgressPanel() override { ShowProgressLayout(); }
    int ShowMessageBox(const MessageBoxRequest& request) override;
    void ShowMessageDialog(DialogKind kind, const std::string& text) override;
    void ShowErrorReport(const std::string& message) override;
    void ProcessMessages() override;
    void Close() override;

    // StoredPropertyHost.
    int ComponentCount() const override;
    std::string ComponentName(int component) const override;
    std::vector<services::StoredPropertyInfo> Properties(int component) const override;
    std::string Text(int component, const std::string& property) const override;
    void SetText(int component, const std::string& property, const std::string& text) override;
    std::vector<std::string> Lines(int component, const std::string& property) const override;
    void SetLines(int component, const std::string& property,
                  const std::vector<std::string>& lines) override;
    services::WindowTraits Traits() const override;
    platform::WindowPlacement Placement() const override;
    void SetPlacement(const platform::WindowPlacement& placement) override;
    platform::ScreenMetrics Screen() const override;
    void UseDesignedPosition() override;
    void SetWindowState(services::WindowState state) override;
    void Repaint() override;
    void MinimizeApplication() override;
    services::WindowEvents& Events() override { return events_; }
    void ShowErrorBox(const std::string& text) override;

  private:
    static const layouts::Handler<TForm1> kHandlers[];

    TForm1(const StartupEnvironment* environment);
    // The window's shown, close and destroyed events go through events_, where the settings
    // component puts its own in front of the window's handlers.
    void RouteWindowEvents();
    void ApplyStartup(const StartupResult& result);
    WizardChoice Choice() const;
    ui::Control& Component(int component) const;
    // Gives the status labels the texts held back since the last repaint.
    void ApplyPendingTexts();

    layouts::MemberHandlers<TForm1> handlers_;
    layouts::BuiltForm built_;

  public:
    // The controls the window's own code uses.
    ui::PageControl& pages;
    ui::Panel& Panel1;
    ui::Panel& Panel4;
    ui::Memo& Memo1;
    ui::Memo& Memo6;
    ui::Memo& Memo7;
    ui::ComboBox& Directory;
    ui::CheckListBox& ProgIcon;
    ui::Control& BitBtn15;

    services::SystemDirs sysdirs;
    services::FormStorage FormStorage1;

  private:
    services::WindowEvents events_;
    std::unique_ptr<StartupEnvironment> environment_;
    PlatformShell platform_shell_;
    std::unique_ptr<Installer> installer_;
    TForm2* picker_ = nullptr;
    PickerRunner run_picker_;
    int exit_code_ = StartupResult::kKeepRunning;
    bool close_pending_ = false;
    // The status labels' texts that wait for the next repaint, and when that may come.
    std::optional<std::string> pending_texts_[3];
    std::chrono::steady_clock::time_point next_repaint_{};
};

} // namespace app
