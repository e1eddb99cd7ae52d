// The main window: built from its layout, it paints the shaded background, keeps the
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
#include "app/logged_view.h"
#include "app/system_shell.h"
#include "contract/controls.h"
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

class FolderPicker;

// Where the installer runs and what it works with. The program gives its own place and the
// system's folders, registry and shell; tests give throw-away ones.
struct StartupEnvironment {
    ProgramPlace place;
    SystemShell* shell = nullptr; // the platform's when null
    services::SystemDirSources dir_sources;
    std::string record_key; // the installation record's base key; empty: the record's own
    CommandLine options;    // the administrator's options
    RunLog* log = nullptr;  // the run's log; none when null
};

class MainWindow : public InstallerView, public services::StoredPropertyHost {
  public:
    // The window as its layout builds it, without the installer (pictures, layout checks).
    MainWindow();
    // The program's window: its creation runs the installer's start-up in `environment`.
    explicit MainWindow(const StartupEnvironment& environment);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    ui::Window& Window() { return built_.Window(); }
    const ui::Window& Window() const { return built_.Window(); }
    layouts::BuiltForm& Controls() { return built_; }
    const layouts::BuiltForm& Controls() const { return built_; }
    // The control of that role; LayoutError when it is not a T.
    template <typename T>
    T& Get(contract::MainControl role) {
        return built_.Get<T>(contract::NameOf(role));
    }
    template <typename T>
    const T& Get(contract::MainControl role) const {
        return built_.Get<T>(contract::NameOf(role));
    }
    // Null for the window without the installer.
    Installer* Logic() { return installer_.get(); }

    // What the start-up decided: StartupResult::kKeepRunning, or the code to end with at once.
    int ExitCode() const { return exit_code_; }
    // The program's exit code once the window has closed.
    int FinalExitCode() const { return installer_ ? installer_->ExitCode() : exit_code_; }
    // The start-up asked to close before the window was ever shown.
    bool ClosedBeforeShown() const { return close_pending_; }

    // The folder picker the fourth folder choice opens, and how it is shown (modally unless
    // a test answers in its place); returns ui::mrOk or ui::mrCancel.
    using PickerRunner = std::function<int(FolderPicker& picker)>;
    void SetFolderPicker(FolderPicker* picker, PickerRunner runner = {});

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
    static const layouts::Handler<MainWindow> kHandlers[];

    MainWindow(const StartupEnvironment* environment);

    // Handlers named by the layout.
    void StartUp(ui::Control& sender);
    void ShutDown(ui::Control& sender);
    void PaintBackground(ui::Control& sender, ui::Painter& painter);
    void CentrePages(ui::Control& sender);
    void ShowMaximized(ui::Control& sender);
    void CancelWizard(ui::Control& sender);
    void MovePage(ui::Control& sender);
    void AcceptLicence(ui::Control& sender);
    void RefuseLicence(ui::Control& sender);
    void ChooseFolder(ui::Control& sender);
    void ChooseIcons(ui::Control& sender);
    void RunInstallation(ui::Control& sender);
    void Uninstall(ui::Control& sender);
    void CancelUninstall(ui::Control& sender);
    // The settings component's save run ends here.
    void SaveNamedValues(services::FormStorage& sender);

    // The window's shown, close and destroyed events go through events_, where the settings
    // component puts its own in front of the window's handlers.
    void RouteWindowEvents();
    void ApplyStartup(const StartupResult& result);
    void NameTheProduct(const std::string& product);
    // A message in the package's wording, or the built-in one without an installer.
    std::string Text(MessageId id) const;
    void RunPassively(ui::Control& sender);
    // The shortcut list's ticks.
    IconChoice Ticks() const;
    ui::Control& Component(int component);
    const ui::Control& Component(int component) const;
    // Gives the status labels the texts held back since the last repaint.
    void ApplyPendingTexts();

    layouts::MemberHandlers<MainWindow> handlers_;
    layouts::BuiltForm built_;
    services::SystemDirs sysdirs_;
    services::FormStorage storage_;
    services::WindowEvents events_;
    std::unique_ptr<StartupEnvironment> environment_;
    PlatformShell platform_shell_;
    std::unique_ptr<PassiveView> passive_view_; // /PASSIVE: the window's progress only
    std::unique_ptr<LoggedView> logged_view_;   // the window seen through the log
    std::unique_ptr<Installer> installer_;
    FolderPicker* picker_ = nullptr;
    PickerRunner run_picker_;
    int exit_code_ = StartupResult::kKeepRunning;
    bool close_pending_ = false;
    // The status labels' texts that wait for the next repaint, and when that may come.
    std::optional<std::string> pending_texts_[3];
    std::chrono::steady_clock::time_point next_repaint_{};
};

} // namespace app
