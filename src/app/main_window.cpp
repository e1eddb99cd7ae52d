#include "app/main_window.h"

#include "app/folder_picker.h"
#include "platform/process.h"
#include "platform/window_placement.h"
#include "services/stored_properties.h"
#include "ui/message_service.h"
#include "unzip/engine.h"
#include "widgets/layouts/form_geometry.h"

namespace app {

namespace {

constexpr const char* kCaption = "Caption";
constexpr const char* kLines = "Lines";
constexpr const char* kItems = "Items";

using C = contract::MainControl;

// The controls of ProgressBar and StatusLabel, in their order.
constexpr C kBarControls[] = {C::kMemberBar, C::kRunBar, C::kRunBarVertical};
constexpr C kLabelControls[] = {C::kProgressHeading, C::kMemberName, C::kStepText};

// The engine reports every member and every block it writes, tens of thousands of times in a
// large package; a new text and a message pump for each report took several times as long as
// the extraction itself. The window is brought up to date this often instead, which is still
// smoother than the eye follows.
constexpr std::chrono::milliseconds kRepaintInterval{40};

// The property of a layout row that the settings file may hold, or none (pictures, frames).
const char* StoredPropertyOf(layouts::Kind kind) {
    switch (kind) {
    case layouts::Kind::kRelief:
    case layouts::Kind::kLabel:
    case layouts::Kind::kButton:
    case layouts::Kind::kRadio:
    case layouts::Kind::kPanel: return kCaption;
    case layouts::Kind::kMemo: return kLines;
    case layouts::Kind::kCombo:
    case layouts::Kind::kCheckList: return kItems;
    default: return nullptr;
    }
}

ui::WindowState ToUiState(services::WindowState state) {
    switch (state) {
    case services::WindowState::kMaximized: return ui::WindowState::kMaximized;
    case services::WindowState::kMinimized: return ui::WindowState::kMinimized;
    default: return ui::WindowState::kNormal;
    }
}

} // namespace

const layouts::Handler<MainWindow> MainWindow::kHandlers[] = {
    {"StartUp", &MainWindow::StartUp},
    {"ShutDown", &MainWindow::ShutDown},
    {"PaintBackground", nullptr, &MainWindow::PaintBackground},
    {"CentrePages", &MainWindow::CentrePages},
    {"ShowMaximized", &MainWindow::ShowMaximized},
    {"CancelWizard", &MainWindow::CancelWizard},
    {"MovePage", &MainWindow::MovePage},
    {"AcceptLicence", &MainWindow::AcceptLicence},
    {"RefuseLicence", &MainWindow::RefuseLicence},
    {"ChooseFolder", &MainWindow::ChooseFolder},
    {"ChooseIcons", &MainWindow::ChooseIcons},
    {"RunInstallation", &MainWindow::RunInstallation},
    {"Uninstall", &MainWindow::Uninstall},
    {"CancelUninstall", &MainWindow::CancelUninstall},
};

MainWindow::MainWindow() : MainWindow(nullptr) {}

MainWindow::MainWindow(const StartupEnvironment& environment) : MainWindow(&environment) {}

MainWindow::MainWindow(const StartupEnvironment* environment)
    : handlers_(*this, kHandlers),
      built_(layouts::Form1Layout(), handlers_),
      sysdirs_(environment ? environment->dir_sources : services::SystemDirSources()) {
    RouteWindowEvents();
    if (environment) {
        environment_ = std::make_unique<StartupEnvironment>(*environment);
        SystemShell& shell = environment->shell ? *environment->shell : platform_shell_;
        InstallerView* view = this;
        if (environment->options.passive) {
            passive_view_ = std::make_unique<PassiveView>(*this);
            view = passive_view_.get();
        }
        if (environment->log) {
            logged_view_ = std::make_unique<LoggedView>(*view, *environment->log);
            view = logged_view_.get();
        }
        installer_ =
            std::make_unique<Installer>(*view, shell, sysdirs_, storage_, unzip::DefaultEngine());
        if (!environment->record_key.empty()) installer_->SetRecordBaseKey(environment->record_key);
        installer_->SetOptions(environment->options);
        if (environment->log) installer_->SetLog(*environment->log);
        storage_.SetStoredProps(contract::MainWindowStoredProps());
        if (environment->options.passive)
            Window().on_shown = [this](ui::Control& sender) { RunPassively(sender); };
        storage_.SetOnSavePlacement(
            [this](services::FormStorage& sender) { SaveNamedValues(sender); });
        // The window's own handlers are in events_ by now; the component keeps them.
        storage_.Attach(*this);
    }
    built_.FireCreate();
}

// The window goes while every handler's object still exists; the settings component saves
// from its destroyed event, so it lets go of the window only afterwards.
MainWindow::~MainWindow() {
    Window().Destroy();
    storage_.Detach();
}

void MainWindow::RouteWindowEvents() {
    ui::Window& window = Window();
    if (window.on_show) events_.shown = [this, own = window.on_show] { own(Window()); };
    if (window.on_destroy) events_.destroyed = [this, own = window.on_destroy] { own(Window()); };
    window.on_show = [this](ui::Control&) {
        if (events_.shown) events_.shown();
    };
    window.on_destroy = [this](ui::Control&) {
        if (events_.destroyed) events_.destroyed();
    };
    // While the installation runs, the user's close request is refused: hiding the window
    // would let the run go on unseen, and stopping it halfway is what the journal undoes only
    // for a failure.
    window.may_close = [this](ui::Control&) { return !(installer_ && installer_->Running()); };
    // The settings component's close query cannot refuse; its answer is only passed along.
    window.on_close = [this](ui::Control&) {
        ApplyPendingTexts(); // the settings component saves the texts as shown last
        bool can_close = true;
        if (events_.close_requested) events_.close_requested(can_close);
    };
}

void MainWindow::SetFolderPicker(FolderPicker* picker, PickerRunner runner) {
    picker_ = picker;
    run_picker_ = std::move(runner);
}

void MainWindow::StartUp(ui::Control&) {
    if (installer_) {
        const StartupResult result = installer_->Start(environment_->place);
        if (result.exit_code != StartupResult::kKeepRunning) {
            exit_code_ = result.exit_code;
            return;
        }
        ApplyStartup(result);
    }
    PlaceOnDesktop();
}

void MainWindow::ApplyStartup(const StartupResult& result) {
    Get<ui::PageControl>(C::kPages).SetActivePageIndex(TagOf(result.page));
    built_.Relief(contract::NameOf(C::kTitle)).Label().SetCaption(result.title);
    Get<ui::Control>(C::kFolderContinue).SetTag(TagOf(result.tags.folder_continue));
    Get<ui::Control>(C::kSummaryBack).SetTag(TagOf(result.tags.summary_back));
    Get<ui::Memo>(C::kLicenceText).SetLines(result.licence_lines);
    Get<ui::ComboBox>(C::kFolderChoice).SetItems(result.folder_choices);
    Get<ui::ComboBox>(C::kFolderChoice).SetItemIndex(0);
    NameTheProduct(result.product);
}

// The built-in wording names the product the layouts were drawn for; a package that replaces
// none of it still shows its own name. setup.ini's texts are restored later and win.
void MainWindow::NameTheProduct(const std::string& product) {
    if (product.empty()) return;
    for (C role : {C::kMessages, C::kUninstallText}) {
        ui::Memo& memo = Get<ui::Memo>(role);
        std::vector<std::string> lines = memo.Lines();
        for (std::string& line : lines) line = WithProductName(line, product);
        memo.SetLines(lines);
    }
    ui::Control& subheading = Get<ui::Control>(C::kUninstallSubheading);
    subheading.SetText(WithProductName(subheading.Text(), product));
}

void MainWindow::ShutDown(ui::Control&) {
    if (installer_) installer_->ShutDown();
}

// Straight onto the window, band by band; the client width is read for every band. Only the
// bands within the clip box: each transparent control paints the window beneath itself, and
// would otherwise fill all 256 bands for its own few rows.
void MainWindow::PaintBackground(ui::Control&, ui::Painter& painter) {
    ui::Window& window = Window();
    const ui::Rect clip = painter.ClipBox();
    layouts::PaintBands(
        window.ClientSize().height, clip.top, clip.bottom,
        [&window] { return window.ClientSize().width; },
        [&painter](const ui::Rect& band, ui::Color color) { painter.FillRect(band, color); });
}

void MainWindow::CentrePages(ui::Control&) {
    ui::Window& window = Window();
    window.Repaint();
    ui::PageControl& pages = Get<ui::PageControl>(C::kPages);
    const ui::Rect outer = window.Bounds();
    const ui::Point place =
        layouts::CentredPlace({outer.Width(), outer.Height()}, {pages.Width(), pages.Height()});
    pages.SetBounds(ui::Rect::FromBounds(place.x, place.y, pages.Width(), pages.Height()));
}

// Runs after the settings component restored the stored texts, the message table among them.
void MainWindow::ShowMaximized(ui::Control&) {
    if (environment_ && environment_->log)
        for (const std::string& problem : storage_.RestoreProblems())
            environment_->log->Line("setup.ini: a stored text is passed over: " + problem);
    if (installer_) {
        const Installer::ComposedTexts texts =
            installer_->TakeMessages(Get<ui::Memo>(C::kMessages).Lines());
        ui::ComboBox& folders = Get<ui::ComboBox>(C::kFolderChoice);
        if (folders.ItemCount() > kChoiceOther)
            folders.SetItemText(kChoiceOther, texts.other_folder);
        if (texts.licence_lines) Get<ui::Memo>(C::kLicenceText).SetLines(*texts.licence_lines);
    }
    // Wine undoes a maximize that comes before the creation's messages are handled.
    ui::Application::ProcessMessages();
    Window().SetWindowState(ui::WindowState::kMaximized);
}

// /PASSIVE shows no page: the run (or the uninstall) starts as soon as the window is up, and
// the window closes after it whatever it says.
void MainWindow::RunPassively(ui::Control&) {
    if (installer_->InstallMode())
        installer_->RunInstallation();
    else
        installer_->Uninstall();
    Window().Close();
}

void MainWindow::SaveNamedValues(services::FormStorage& sender) {
    if (installer_) installer_->SaveNamedValues(sender);
}

void MainWindow::PlaceOnDesktop() {
    const ui::Size desktop = ui::Application::ScreenSize();
    Window().SetBounds(ui::Rect::FromBounds(0, 0, desktop.width, desktop.height));
}

void MainWindow::ShowProgressLayout() {
    ui::Panel& progress = Get<ui::Panel>(C::kProgressPanel);
    ui::Panel& picture = Get<ui::Panel>(C::kPicturePanel);
    const layouts::ProgressPlaces places =
        layouts::PlaceProgressPanels(Window().ClientSize(), {progress.Width(), progress.Height()},
                                     {picture.Width(), picture.Height()}, built_.Scale());
    progress.SetBounds(ui::Rect::FromBounds(places.progress_panel.x, places.progress_panel.y,
                                            progress.Width(), progress.Height()));
    picture.SetBounds(ui::Rect::FromBounds(places.picture_panel.x, places.picture_panel.y,
                                           picture.Width(), picture.Height()));
    progress.Show();
    picture.Show();
    Get<ui::PageControl>(C::kPages).Hide();
}

IconChoice MainWindow::Ticks() const {
    const ui::CheckListBox& icons = Get<ui::CheckListBox>(C::kIconChoice);
    const int items = icons.ItemCount();
    IconChoice ticks;
    ticks.desktop = items > 0 && icons.Checked(0);
    ticks.start_menu = items > 1 && icons.Checked(1);
    return ticks;
}

// --- The wizard ---------------------------------------------------------------------------

void MainWindow::CancelWizard(ui::Control&) {
    if (installer_) installer_->CancelWizard();
}

void MainWindow::MovePage(ui::Control& sender) {
    if (!installer_) return;
    const std::optional<Page> page = PageOfTag(static_cast<int>(sender.Tag()));
    if (!page) return;
    Get<ui::Memo>(C::kSummary).SetLines(installer_->MovePage(*page));
    Get<ui::PageControl>(C::kPages).SetActivePageIndex(TagOf(installer_->State().CurrentPage()));
}

void MainWindow::AcceptLicence(ui::Control&) {
    Get<ui::Control>(C::kLicenceContinue).SetEnabled(true);
}

void MainWindow::RefuseLicence(ui::Control&) {
    Get<ui::Control>(C::kLicenceContinue).SetEnabled(false);
}

// Another entry chosen or a folder typed: the state takes it. The last entry opens the picker.
void MainWindow::ChooseFolder(ui::Control&) {
    if (!installer_) return;
    ui::ComboBox& folders = Get<ui::ComboBox>(C::kFolderChoice);
    if (!folders.LastChangeTyped() && folders.ItemIndex() == kChoiceOther && picker_) {
        const std::string& regdir = installer_->Names().regdir;
        picker_->SetProductFolder(regdir);
        const int answer = run_picker_ ? run_picker_(*picker_) : picker_->ShowModal();
        if (answer == ui::mrOk) {
            folders.SetItemText(kChoiceOther, PickedFolder(picker_->SelectedPath(), regdir));
            folders.SetItemIndex(kChoiceOther);
        } else {
            folders.SetItemIndex(kChoiceProgramFiles);
        }
        folders.Repaint();
    }
    installer_->ChooseFolder(folders.Chosen());
}

void MainWindow::ChooseIcons(ui::Control&) {
    if (installer_) Get<ui::Memo>(C::kSummary).SetLines(installer_->ChooseIcons(Ticks()));
}

void MainWindow::RunInstallation(ui::Control&) {
    if (installer_) installer_->RunInstallation();
}

void MainWindow::Uninstall(ui::Control&) {
    if (installer_) installer_->Uninstall();
}

void MainWindow::CancelUninstall(ui::Control&) {
    if (installer_) installer_->CancelUninstall();
}

// --- The installer's view -----------------------------------------------------------------

void MainWindow::SetBarPosition(ProgressBar bar, int position) {
    built_.ProgressBar(contract::NameOf(kBarControls[static_cast<int>(bar)]))
        .Bar()
        .SetPosition(position);
}

// Between two repaints only the last text of a label counts; it waits for the next one.
void MainWindow::SetLabelText(StatusLabel label, const std::string& text) {
    pending_texts_[static_cast<int>(label)] = text;
    if (std::chrono::steady_clock::now() >= next_repaint_) ApplyPendingTexts();
}

void MainWindow::ApplyPendingTexts() {
    for (int label = 0; label < 3; ++label) {
        std::optional<std::string>& text = pending_texts_[label];
        if (!text) continue;
        ui::Control& control = Get<ui::Control>(kLabelControls[label]);
        // The labels size themselves to their text: an unchanged one is left alone.
        if (control.Text() != *text) control.SetText(*text);
        text.reset();
    }
}

int MainWindow::ShowMessageBox(const MessageBoxRequest& request) {
    ApplyPendingTexts();
    if (request.owner == BoxOwner::None)
        return ui::MessageService::Box(nullptr, request.text, request.caption, request.flags);
    return ui::MessageService::ApplicationBox(request.text, request.caption, request.flags);
}

void MainWindow::ShowMessageDialog(DialogKind kind, const std::string& text) {
    ApplyPendingTexts();
    ui::MessageService::Dialog(
        kind == DialogKind::Error ? ui::DialogKind::kError : ui::DialogKind::kInformation, text);
}

void MainWindow::ShowErrorReport(const std::string& message) {
    ApplyPendingTexts();
    ui::MessageService::ErrorReport(services::ErrorBoxText(message));
}

void MainWindow::ProcessMessages() {
    if (std::chrono::steady_clock::now() < next_repaint_) return;
    ApplyPendingTexts();
    ui::Application::ProcessMessages();
    next_repaint_ = std::chrono::steady_clock::now() + kRepaintInterval;
}

// A close asked for during the creation waits: the window that was never shown ends the
// program before its message loop starts.
void MainWindow::Close() {
    ApplyPendingTexts();
    if (!platform::IsWindowShown(Window().Handle())) {
        close_pending_ = true;
        return;
    }
    Window().Close();
}

// --- The settings component's host ----------------------------------------------------------

int MainWindow::ComponentCount() const {
    return static_cast<int>(built_.Definition().control_count);
}

std::string MainWindow::ComponentName(int component) const {
    return std::string(built_.Definition().controls[component].name);
}

ui::Control& MainWindow::Component(int component) {
    return built_.Control(built_.Definition().controls[component].name);
}

const ui::Control& MainWindow::Component(int component) const {
    return built_.Control(built_.Definition().controls[component].name);
}

std::vector<services::StoredPropertyInfo> MainWindow::Properties(int component) const {
    const char* property = StoredPropertyOf(built_.Definition().controls[component].kind);
    if (!property) return {};
    const bool list = property != std::string(kCaption);
    return {{property,
             list ? services::StoredPropertyKind::kList : services::StoredPropertyKind::kText}};
}

std::string MainWindow::Text(int component, const std::string&) const {
    const layouts::ControlRow& row = built_.Definition().controls[component];
    if (row.kind == layouts::Kind::kRelief) return built_.Relief(row.name).Label().Caption();
    return Component(component).Text();
}

void MainWindow::SetText(int component, const std::string&, const std::string& text) {
    const layouts::ControlRow& row = built_.Definition().controls[component];
    if (row.kind == layouts::Kind::kRelief) {
        built_.Relief(row.name).Label().SetCaption(text);
        return;
    }
    Component(component).SetText(text);
}

std::vector<std::string> MainWindow::Lines(int component, const std::string&) const {
    const ui::Control& control = Component(component);
    if (auto* memo = dynamic_cast<const ui::Memo*>(&control)) return memo->Lines();
    if (auto* list = dynamic_cast<const ui::CheckListBox*>(&control)) return list->Items();
    if (auto* combo = dynamic_cast<const ui::ComboBox*>(&control)) return combo->Items();
    return {};
}

void MainWindow::SetLines(int component, const std::string&,
                          const std::vector<std::string>& lines) {
    ui::Control& control = Component(component);
    if (auto* memo = dynamic_cast<ui::Memo*>(&control)) {
        memo->SetLines(lines);
    } else if (auto* list = dynamic_cast<ui::CheckListBox*>(&control)) {
        list->SetItems(lines);
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(&control)) {
        combo->SetItems(lines);
    }
}

services::WindowTraits MainWindow::Traits() const {
    const ui::Window& window = Window();
    services::WindowTraits traits;
    traits.has_handle = window.Handle() != nullptr;
    traits.visible = traits.has_handle && platform::IsWindowShown(window.Handle());
    switch (window.State()) {
    case ui::WindowState::kMaximized: traits.state = services::WindowState::kMaximized; break;
    case ui::WindowState::kMinimized: traits.state = services::WindowState::kMinimized; break;
    default: traits.state = services::WindowState::kNormal; break;
    }
    traits.position = window.Position() == ui::WindowPosition::kScreenCenter
                          ? services::WindowPosition::kScreenCenter
                          : services::WindowPosition::kDesigned;
    traits.borderless = window.Border() == ui::BorderStyle::kNone;
    traits.resizable = false; // no border of the toolkit lets the user resize
    const ui::Rect bounds = window.Bounds();
    traits.left = bounds.left;
    traits.top = bounds.top;
    traits.width = bounds.Width();
    traits.height = bounds.Height();
    traits.frame = platform::WindowFrameSize(traits.resizable);
    return traits;
}

platform::WindowPlacement MainWindow::Placement() const {
    platform::WindowPlacement placement;
    if (!platform::ReadWindowPlacement(Window().Handle(), placement))
        throw platform::Error(Text(kMsgCannotReadPlacement));
    return placement;
}

void MainWindow::SetPlacement(const platform::WindowPlacement& placement) {
    if (!platform::ApplyWindowPlacement(Window().Handle(), placement))
        throw platform::Error(Text(kMsgCannotPlaceWindow));
}

std::string MainWindow::Text(MessageId id) const {
    return installer_ ? installer_->Text(id) : MessageTable().Text(id);
}

platform::ScreenMetrics MainWindow::Screen() const {
    return platform::CurrentScreen();
}

void MainWindow::UseDesignedPosition() {
    Window().SetPosition(ui::WindowPosition::kDesigned);
}

void MainWindow::SetWindowState(services::WindowState state) {
    Window().SetWindowState(ToUiState(state));
}

void MainWindow::Repaint() {
    Window().Repaint();
}

void MainWindow::MinimizeApplication() {
    Window().SetWindowState(ui::WindowState::kMinimized);
}

void MainWindow::ShowErrorBox(const std::string& text) {
    ui::MessageService::ErrorReport(text);
}

} // namespace app
