#include "app/main_form.h"

#include "app/folder_picker.h"
#include "platform/process.h"
#include "platform/window_placement.h"
#include "services/stored_properties.h"
#include "ui/message_service.h"
#include "unzip/unzip.h"
#include "widgets/layouts/form_geometry.h"

namespace app {

namespace {

constexpr const char* kCaption = "Caption";
constexpr const char* kLines = "Lines";
constexpr const char* kItems = "Items";

const char* const kBarNames[] = {"ALProgressBar1", "ALProgressBar2", "ALProgressBar3"};
const char* const kLabelNames[] = {"Label8", "Label10", "Mess"};

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

const layouts::Handler<TForm1> TForm1::kHandlers[] = {
    {"FormCreate", &TForm1::FormCreate},
    {"FormDestroy", &TForm1::FormDestroy},
    {"FormPaint", nullptr, &TForm1::FormPaint},
    {"FormResize", &TForm1::FormResize},
    {"FormShow", &TForm1::FormShow},
    {"StornoClick", &TForm1::StornoClick},
    {"BitBtn5Click", &TForm1::BitBtn5Click},
    {"RadioButtyesClick", &TForm1::RadioButtyesClick},
    {"RadioButtNOClick", &TForm1::RadioButtNOClick},
    {"DirectoryChange", &TForm1::DirectoryChange},
    {"ProgIconClick", &TForm1::ProgIconClick},
    {"BitBtn4Click", &TForm1::BitBtn4Click},
    {"BitBtn11Click", &TForm1::BitBtn11Click},
    {"BitBtn12Click", &TForm1::BitBtn12Click},
};

TForm1::TForm1() : TForm1(nullptr) {}

TForm1::TForm1(const StartupEnvironment& environment) : TForm1(&environment) {}

TForm1::TForm1(const StartupEnvironment* environment)
    : handlers_(*this, kHandlers),
      built_(layouts::Form1Layout(), handlers_),
      pages(built_.Get<ui::PageControl>("pages")),
      Panel1(built_.Get<ui::Panel>("Panel1")),
      Panel4(built_.Get<ui::Panel>("Panel4")),
      Memo1(built_.Get<ui::Memo>("Memo1")),
      Memo6(built_.Get<ui::Memo>("Memo6")),
      Memo7(built_.Get<ui::Memo>("Memo7")),
      Directory(built_.Get<ui::ComboBox>("Directory")),
      ProgIcon(built_.Get<ui::CheckListBox>("ProgIcon")),
      BitBtn15(built_.Control("BitBtn15")),
      sysdirs(environment ? environment->dir_sources : services::SystemDirSources()) {
    RouteWindowEvents();
    if (environment) {
        environment_ = std::make_unique<StartupEnvironment>(*environment);
        SystemShell& shell = environment->shell ? *environment->shell : platform_shell_;
        installer_ = std::make_unique<Installer>(*this, shell, sysdirs, FormStorage1,
                                                 unzip::DefaultEngine());
        if (!environment->record_key.empty()) installer_->Record().RKey = environment->record_key;
        FormStorage1.SetStoredProps(services::MainWindowStoredProps());
        FormStorage1.SetOnSavePlacement(
            [this](services::FormStorage& sender) { FormStorage1SavePlacement(sender); });
        // The window's own handlers are in events_ by now; the component keeps them.
        FormStorage1.Attach(*this);
    }
    built_.FireCreate();
}

// The window goes while every handler's object still exists; the settings component saves
// from its destroyed event, so it lets go of the window only afterwards.
TForm1::~TForm1() {
    Window().Destroy();
    FormStorage1.Detach();
}

void TForm1::RouteWindowEvents() {
    ui::Window& window = Window();
    if (window.on_show) events_.shown = [this, own = window.on_show] { own(Window()); };
    if (window.on_destroy) events_.destroyed = [this, own = window.on_destroy] { own(Window()); };
    window.on_show = [this](ui::Control&) {
        if (events_.shown) events_.shown();
    };
    window.on_destroy = [this](ui::Control&) {
        if (events_.destroyed) events_.destroyed();
    };
    // The toolkit's windows cannot refuse to close; the answer is only passed along.
    window.on_close = [this](ui::Control&) {
        ApplyPendingTexts(); // the settings component saves the texts as shown last
        bool can_close = true;
        if (events_.close_requested) events_.close_requested(can_close);
    };
}

void TForm1::SetFolderPicker(TForm2* picker, PickerRunner runner) {
    picker_ = picker;
    run_picker_ = std::move(runner);
}

void TForm1::FormCreate(ui::Control&) {
    if (installer_) {
        const StartupResult result = installer_->FormCreate(environment_->place);
        if (result.exit_code != StartupResult::kKeepRunning) {
            exit_code_ = result.exit_code;
            return;
        }
        ApplyStartup(result);
    }
    PlaceOnDesktop();
}

void TForm1::ApplyStartup(const StartupResult& result) {
    pages.SetActivePageIndex(result.page);
    built_.Relief("Programname").Label().SetCaption(result.title);
    built_.Control("BitBtn2").SetTag(result.tags.BitBtn2);
    built_.Control("BitBtn10").SetTag(result.tags.BitBtn10);
    Memo7.SetLines(result.licence_lines);
    Directory.SetItems(result.folder_choices);
    Directory.SetItemIndex(0);
}

void TForm1::FormDestroy(ui::Control&) {
    if (installer_) installer_->FormDestroy();
}

// Straight onto the window, band by band; the client width is read for every band. Only the
// bands within the clip box: each transparent control paints the window beneath itself, and
// would otherwise fill all 256 bands for its own few rows.
void TForm1::FormPaint(ui::Control&, ui::Painter& painter) {
    ui::Window& window = Window();
    const ui::Rect clip = painter.ClipBox();
    layouts::PaintBands(
        window.ClientSize().height, clip.top, clip.bottom,
        [&window] { return window.ClientSize().width; },
        [&painter](const ui::Rect& band, ui::Color color) { painter.FillRect(band, color); });
}

void TForm1::FormResize(ui::Control&) {
    ui::Window& window = Window();
    window.Repaint();
    const ui::Rect outer = window.Bounds();
    const ui::Point place =
        layouts::CentredPlace({outer.Width(), outer.Height()}, {pages.Width(), pages.Height()});
    pages.SetBounds(ui::Rect::FromBounds(place.x, place.y, pages.Width(), pages.Height()));
}

// Runs after the settings component restored the stored texts, the message table among them.
void TForm1::FormShow(ui::Control&) {
    if (installer_) installer_->Messages().Replace(Memo6.Lines());
    // Wine undoes a maximize that comes before the creation's messages are handled.
    ui::Application::ProcessMessages();
    Window().SetWindowState(ui::WindowState::kMaximized);
}

void TForm1::FormStorage1SavePlacement(services::FormStorage& sender) {
    if (installer_) installer_->FormStorage1SavePlacement(sender);
}

void TForm1::PlaceOnDesktop() {
    const ui::Size desktop = ui::Application::ScreenSize();
    Window().SetBounds(ui::Rect::FromBounds(0, 0, desktop.width, desktop.height));
}

void TForm1::ShowProgressLayout() {
    const layouts::ProgressPlaces places =
        layouts::PlaceProgressPanels(Window().ClientSize(), {Panel1.Width(), Panel1.Height()},
                                     {Panel4.Width(), Panel4.Height()});
    Panel1.SetBounds(ui::Rect::FromBounds(places.progress_panel.x, places.progress_panel.y,
                                          Panel1.Width(), Panel1.Height()));
    Panel4.SetBounds(ui::Rect::FromBounds(places.picture_panel.x, places.picture_panel.y,
                                          Panel4.Width(), Panel4.Height()));
    Panel1.Show();
    Panel4.Show();
    pages.Hide();
}

WizardChoice TForm1::Choice() const {
    WizardChoice choice;
    choice.directory = Directory.Text();
    const int items = ProgIcon.ItemCount();
    choice.icons.desktop = items > 0 && ProgIcon.Checked(0);
    choice.icons.start_menu = items > 1 && ProgIcon.Checked(1);
    return choice;
}

// --- The wizard ---------------------------------------------------------------------------

void TForm1::StornoClick(ui::Control&) {
    if (installer_) installer_->StornoClick();
}

void TForm1::BitBtn5Click(ui::Control& sender) {
    if (!installer_) return;
    Memo1.SetLines(installer_->BitBtn5Click(Choice()));
    pages.SetActivePageIndex(static_cast<int>(sender.Tag()));
}

void TForm1::RadioButtyesClick(ui::Control&) {
    BitBtn15.SetEnabled(true);
}

void TForm1::RadioButtNOClick(ui::Control&) {
    BitBtn15.SetEnabled(false);
}

void TForm1::DirectoryChange(ui::Control&) {
    if (!installer_ || Directory.ItemIndex() != kChoiceOther || !picker_) return;
    const std::string& regdir = installer_->Config().regdir;
    picker_->SetProductFolder(regdir);
    const int answer = run_picker_ ? run_picker_(*picker_) : picker_->ShowModal();
    if (answer == ui::mrOk) {
        const std::string path = PickedFolder(picker_->dirtree.SelectedPath(), regdir);
        Directory.SetItemText(kChoiceOther, path);
        Directory.SetItemIndex(kChoiceOther);
    } else {
        Directory.SetItemIndex(kChoiceProgramFiles);
    }
    Directory.Repaint();
}

void TForm1::ProgIconClick(ui::Control&) {
    if (installer_) Memo1.SetLines(installer_->BuildSummary(Choice()));
}

void TForm1::BitBtn4Click(ui::Control&) {
    if (installer_) installer_->BitBtn4Click(Choice().icons);
}

void TForm1::BitBtn11Click(ui::Control&) {
    if (installer_) installer_->BitBtn11Click();
}

void TForm1::BitBtn12Click(ui::Control&) {
    if (installer_) installer_->BitBtn12Click();
}

// --- The installer's view -----------------------------------------------------------------

void TForm1::SetBarPosition(ProgressBar bar, int position) {
    built_.ProgressBar(kBarNames[static_cast<int>(bar)]).Bar().SetPosition(position);
}

// Between two repaints only the last text of a label counts; it waits for the next one.
void TForm1::SetLabelText(StatusLabel label, const std::string& text) {
    pending_texts_[static_cast<int>(label)] = text;
    if (std::chrono::steady_clock::now() >= next_repaint_) ApplyPendingTexts();
}

void TForm1::ApplyPendingTexts() {
    for (int label = 0; label < 3; ++label) {
        std::optional<std::string>& text = pending_texts_[label];
        if (!text) continue;
        ui::Control& control = built_.Control(kLabelNames[label]);
        // The labels size themselves to their text: an unchanged one is left alone.
        if (control.Text() != *text) control.SetText(*text);
        text.reset();
    }
}

int TForm1::ShowMessageBox(const MessageBoxRequest& request) {
    ApplyPendingTexts();
    if (request.owner == BoxOwner::None)
        return ui::MessageService::Box(nullptr, request.text, request.caption, request.flags);
    return ui::MessageService::ApplicationBox(request.text, request.caption, request.flags);
}

void TForm1::ShowMessageDialog(DialogKind kind, const std::string& text) {
    ApplyPendingTexts();
    ui::MessageService::Dialog(
        kind == DialogKind::Error ? ui::DialogKind::kError : ui::DialogKind::kInformation, text);
}

void TForm1::ShowErrorReport(const std::string& message) {
    ApplyPendingTexts();
    ui::MessageService::ErrorReport(services::ErrorBoxText(message));
}

void TForm1::ProcessMessages() {
    if (std::chrono::steady_clock::now() < next_repaint_) return;
    ApplyPendingTexts();
    ui::Application::ProcessMessages();
    next_repaint_ = std::chrono::steady_clock::now() + kRepaintInterval;
}

// A close asked for during the creation waits: the window that was never shown ends the
// program before its message loop starts.
void TForm1::Close() {
    ApplyPendingTexts();
    if (!platform::IsWindowShown(Window().Handle())) {
        close_pending_ = true;
        return;
    }
    Window().Close();
}

// --- The settings component's host ----------------------------------------------------------

int TForm1::ComponentCount() const {
    return static_cast<int>(built_.Definition().control_count);
}

std::string TForm1::ComponentName(int component) const {
    return std::string(built_.Definition().controls[component].name);
}

ui::Control& TForm1::Component(int component) const {
    return built_.Control(built_.Definition().controls[component].name);
}

std::vector<services::StoredPropertyInfo> TForm1::Properties(int component) const {
    const char* property = StoredPropertyOf(built_.Definition().controls[component].kind);
    if (!property) return {};
    const bool list = property != std::string(kCaption);
    return {{property,
             list ? services::StoredPropertyKind::kList : services::StoredPropertyKind::kText}};
}

std::string TForm1::Text(int component, const std::string&) const {
    const layouts::ControlRow& row = built_.Definition().controls[component];
    if (row.kind == layouts::Kind::kRelief) return built_.Relief(row.name).Label().Caption();
    return Component(component).Text();
}

void TForm1::SetText(int component, const std::string&, const std::string& text) {
    const layouts::ControlRow& row = built_.Definition().controls[component];
    if (row.kind == layouts::Kind::kRelief) {
        built_.Relief(row.name).Label().SetCaption(text);
        return;
    }
    Component(component).SetText(text);
}

std::vector<std::string> TForm1::Lines(int component, const std::string&) const {
    ui::Control& control = Component(component);
    if (auto* memo = dynamic_cast<ui::Memo*>(&control)) return memo->Lines();
    if (auto* list = dynamic_cast<ui::CheckListBox*>(&control)) return list->Items();
    if (auto* combo = dynamic_cast<ui::ComboBox*>(&control)) return combo->Items();
    return {};
}

void TForm1::SetLines(int component, const std::string&, const std::vector<std::string>& lines) {
    ui::Control& control = Component(component);
    if (auto* memo = dynamic_cast<ui::Memo*>(&control)) {
        memo->SetLines(lines);
    } else if (auto* list = dynamic_cast<ui::CheckListBox*>(&control)) {
        list->SetItems(lines);
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(&control)) {
        combo->SetItems(lines);
    }
}

services::WindowTraits TForm1::Traits() const {
    ui::Window& window = const_cast<layouts::BuiltForm&>(built_).Window();
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

platform::WindowPlacement TForm1::Placement() const {
    platform::WindowPlacement placement;
    if (!platform::ReadWindowPlacement(const_cast<layouts::BuiltForm&>(built_).Window().Handle(),
                                       placement))
        throw platform::Error("Cannot read the window's placement");
    return placement;
}

void TForm1::SetPlacement(const platform::WindowPlacement& placement) {
    if (!platform::ApplyWindowPlacement(Window().Handle(), placement))
        throw platform::Error("Cannot place the window");
}

platform::ScreenMetrics TForm1::Screen() const {
    return platform::CurrentScreen();
}

void TForm1::UseDesignedPosition() {
    Window().SetPosition(ui::WindowPosition::kDesigned);
}

void TForm1::SetWindowState(services::WindowState state) {
    Window().SetWindowState(ToUiState(state));
}

void TForm1::Repaint() {
    Window().Repaint();
}

void TForm1::MinimizeApplication() {
    Window().SetWindowState(ui::WindowState::kMinimized);
}

void TForm1::ShowErrorBox(const std::string& text) {
    ui::MessageService::ErrorReport(text);
}

} // namespace app
