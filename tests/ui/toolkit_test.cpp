// The toolkit's framework: names and properties readable from the windows alone, stacking,
// keyboard navigation by tab order, default and cancel buttons, modal windows and the one
// message service.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/bit_button.h"
#include "ui/choice_controls.h"
#include "ui/control_names.h"
#include "ui/label.h"
#include "ui/memo.h"
#include "ui/message_service.h"
#include "ui/panel.h"
#include "ui/picture.h"
#include "ui_test_support.h"

namespace {

using ui_test::PressKey;
using ui_test::Pump;
using ui_test::ShownWindow;

std::vector<HWND> ChildrenTopDown(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
}

TEST(NamesTest, NameTagAndTabOrderAreWindowProperties) {
    auto form = ShownWindow("NamesForm", 200, 100);
    auto& panel = form->Add<ui::Panel>("OuterPanel", ui::Rect::FromBounds(0, 0, 150, 80));
    auto& button = panel.Add<ui::BitButton>("DeepButton", ui::Rect::FromBounds(5, 5, 60, 20));
    button.SetTag(5);
    button.SetTabOrder(3);

    EXPECT_EQ(ui::ControlName(button.Handle()), "DeepButton");
    EXPECT_EQ(ui::ControlName(form->Handle()), "NamesForm");
    EXPECT_EQ(ui::FindControl(form->Handle(), "DeepButton"), button.Handle());
    EXPECT_EQ(ui::FindControl(form->Handle(), "OuterPanel"), panel.Handle());
    EXPECT_EQ(ui::FindControl(form->Handle(), "Nobody"), nullptr);
    EXPECT_EQ(ui::FindTopLevel("NamesForm"), form->Handle());
    EXPECT_EQ(ui::ControlTag(button.Handle()), 5);
    EXPECT_EQ(ui::ControlTabOrder(button.Handle()), 3);
    EXPECT_EQ(ui::ControlTabOrder(panel.Handle()), -1);
    button.SetTag(-2);
    EXPECT_EQ(ui::ControlTag(button.Handle()), -2);
    EXPECT_EQ(ui::Control::FromHandle(button.Handle()), &button);
    EXPECT_EQ(form->Find("DeepButton"), &button);
    EXPECT_EQ(form->FindAs<ui::Label>("DeepButton"), nullptr);
}

// The name, Tag, tab order and caption of a control in another process, through its window.
TEST(NamesTest, FoundByNameFromAnotherProcess) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring server = path;
    server = server.substr(0, server.find_last_of(L"\\/") + 1) + L"ui_named_window_server.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(server.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    HWND form = nullptr;
    for (int i = 0; i < 200 && !form; ++i) {
        Sleep(50);
        form = ui::FindTopLevel("ServedForm");
    }
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(ui::Control::FromHandle(form), nullptr); // not one of ours
    HWND button = ui::FindControl(form, "ServedButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(ui::ControlName(button), "ServedButton");
    EXPECT_EQ(ui::ControlTag(button), 7);
    EXPECT_EQ(ui::ControlTabOrder(button), 2);
    wchar_t caption[64] = {};
    SendMessageW(button, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption));
    EXPECT_STREQ(caption, L"Pokra\u010dovat");
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(NamesTest, TheNameAtomGoesWithTheWindow) {
    const wchar_t* unique = L"OnlyThisControlIsCalledSo";
    {
        auto form = ShownWindow("AtomForm", 100, 50);
        form->Add<ui::Label>("OnlyThisControlIsCalledSo", ui::Rect::FromBounds(0, 0, 10, 10));
        EXPECT_NE(GlobalFindAtomW(unique), 0);
    }
    EXPECT_EQ(GlobalFindAtomW(unique), 0);
}

TEST(StackingTest, WindowedControlsAboveDrawnOnesLaterAboveEarlier) {
    auto form = ShownWindow("StackForm", 200, 100);
    auto& label = form->Add<ui::Label>("L1", ui::Rect::FromBounds(0, 0, 50, 20));
    auto& memo = form->Add<ui::Memo>("M1", ui::Rect::FromBounds(0, 0, 50, 20));
    auto& picture = form->Add<ui::Picture>("P1", ui::Rect::FromBounds(0, 0, 50, 20));
    auto& button = form->Add<ui::BitButton>("B1", ui::Rect::FromBounds(0, 0, 50, 20));
    auto& bevel = form->Add<ui::Bevel>("V1", ui::Rect::FromBounds(0, 0, 50, 20));
    const std::vector<HWND> expected = {button.Handle(), memo.Handle(), bevel.Handle(),
                                        picture.Handle(), label.Handle()};
    EXPECT_EQ(ChildrenTopDown(form->Handle()), expected);
}

// Controls of a window not yet shown get their windows when they come into view, or earlier
// when something needs one; what was set meanwhile reaches the window, and the stacking is as
// if every window had been made in order.
TEST(DeferredWindowsTest, MadeWhenShownOrNeededWithWhatWasSetMeanwhile) {
    ui::WindowOptions options;
    options.border = ui::BorderStyle::kNone;
    options.client_size = {300, 200};
    ui::Window form("LateForm", options);
    auto& shown = form.Add<ui::Panel>("Shown", ui::Rect::FromBounds(0, 0, 300, 100));
    auto& label = shown.Add<ui::Label>("Words", ui::Rect::FromBounds(5, 5, 10, 10));
    auto& below = shown.Add<ui::BitButton>("Below", ui::Rect::FromBounds(0, 40, 60, 20));
    auto& middle = shown.Add<ui::Memo>("Middle", ui::Rect::FromBounds(0, 40, 60, 20));
    auto& above = shown.Add<ui::BitButton>("Above", ui::Rect::FromBounds(0, 40, 60, 20));
    auto& hidden = form.Add<ui::Panel>("Hidden", ui::Rect::FromBounds(0, 100, 300, 100));
    auto& inner = hidden.Add<ui::BitButton>("Inner", ui::Rect::FromBounds(5, 5, 60, 20));
    auto& combo = hidden.Add<ui::ComboBox>("Choice", ui::Rect::FromBounds(70, 5, 100, 21));
    auto& list = hidden.Add<ui::CheckListBox>("Ticks", ui::Rect::FromBounds(180, 5, 100, 40));
    hidden.Hide();
    combo.SetItems({"one", "two", "three"});
    combo.SetItemText(2, "drei");
    combo.SetItemIndex(1);
    list.SetItems({"a", "b"});
    list.SetChecked(1, true);
    EXPECT_EQ(combo.Text(), "two");
    EXPECT_TRUE(list.Checked(1));
    label.SetText("Some words");
    below.SetEnabled(false);
    above.SetTag(4);
    EXPECT_FALSE(shown.HandleAllocated());
    EXPECT_EQ(label.Text(), "Some words");
    EXPECT_GT(label.Width(), 10) << "an auto-sized label measures without its window";

    // Needed early: made (with its containers), the rest still waits.
    EXPECT_NE(middle.Handle(), nullptr);
    EXPECT_TRUE(shown.HandleAllocated());
    EXPECT_FALSE(above.HandleAllocated());

    form.Show();
    Pump();
    for (ui::Control* c : std::vector<ui::Control*>{&label, &below, &above})
        EXPECT_TRUE(c->HandleAllocated() && IsWindowVisible(c->Handle())) << c->Name();
    EXPECT_FALSE(hidden.HandleAllocated());
    EXPECT_FALSE(inner.HandleAllocated());
    EXPECT_EQ(ui::ControlName(label.Handle()), "Words");
    EXPECT_EQ(label.Text(), "Some words");
    EXPECT_EQ(label.Bounds().left, 5);
    EXPECT_FALSE(IsWindowEnabled(below.Handle()));
    EXPECT_EQ(ui::ControlTag(above.Handle()), 4);
    const std::vector<HWND> order = {above.Handle(), middle.Handle(), below.Handle(),
                                     label.Handle()};
    EXPECT_EQ(ChildrenTopDown(shown.Handle()), order);

    EXPECT_FALSE(combo.HandleAllocated() || list.HandleAllocated());
    hidden.Show();
    EXPECT_TRUE(inner.HandleAllocated() && IsWindowVisible(inner.Handle()));
    ASSERT_TRUE(combo.HandleAllocated() && list.HandleAllocated());
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo.Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(combo.Items(), (std::vector<std::string>{"one", "two", "drei"}));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SendMessageW(list.Handle(), LB_GETITEMDATA, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list.Handle(), LB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(ui::FindControl(form.Handle(), "Inner"), inner.Handle());
}

class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = ShownWindow("KeysForm", 300, 200, ui::clBtnFace, true);
        // Made in one order, tabbed in another; the panel's buttons sit at its place.
        last_ = &form_->Add<ui::BitButton>("Last", ui::Rect::FromBounds(0, 0, 50, 20));
        last_->SetTabOrder(2);
        panel_ = &form_->Add<ui::Panel>("Box", ui::Rect::FromBounds(0, 30, 200, 60));
        panel_->SetTabOrder(1);
        inner_b_ = &panel_->Add<ui::BitButton>("InnerB", ui::Rect::FromBounds(60, 5, 50, 20));
        inner_b_->SetTabOrder(1);
        inner_a_ = &panel_->Add<ui::BitButton>("InnerA", ui::Rect::FromBounds(5, 5, 50, 20));
        inner_a_->SetTabOrder(0);
        first_ = &form_->Add<ui::Memo>("First", ui::Rect::FromBounds(0, 100, 100, 40));
        first_->SetTabOrder(0);
        label_ = &form_->Add<ui::Label>("NoFocus", ui::Rect::FromBounds(0, 150, 50, 20));
        Pump();
    }

    std::vector<std::string> Walk(int steps, bool backwards) {
        std::vector<std::string> names;
        for (int i = 0; i < steps; ++i) {
            PressKey(GetFocus(), VK_TAB, backwards);
            ui::Control* focused = ui::Control::FromHandle(GetFocus());
            names.push_back(focused ? focused->Name() : "?");
        }
        return names;
    }

    std::unique_ptr<ui::Window> form_;
    ui::BitButton* last_ = nullptr;
    ui::Panel* panel_ = nullptr;
    ui::BitButton* inner_a_ = nullptr;
    ui::BitButton* inner_b_ = nullptr;
    ui::Memo* first_ = nullptr;
    ui::Label* label_ = nullptr;
};

TEST_F(KeyboardTest, TabFollowsTabOrderThroughContainers) {
    first_->SetFocus();
    EXPECT_EQ(Walk(4, false), (std::vector<std::string>{"InnerA", "InnerB", "Last", "First"}));
    EXPECT_EQ(Walk(2, true), (std::vector<std::string>{"Last", "InnerB"}));
}

TEST_F(KeyboardTest, TabSkipsHiddenAndDisabledControls) {
    inner_b_->SetEnabled(false);
    last_->Hide();
    first_->SetFocus();
    EXPECT_EQ(Walk(2, false), (std::vector<std::string>{"InnerA", "First"}));
}

TEST_F(KeyboardTest, EnterPressesTheDefaultButtonEscTheCancelButton) {
    int defaults = 0;
    int cancels = 0;
    inner_a_->SetDefault(true);
    inner_a_->on_click = [&defaults](ui::Control&) { ++defaults; };
    last_->SetCancel(true);
    last_->on_click = [&cancels](ui::Control&) { ++cancels; };
    SetFocus(form_->Handle());
    PressKey(form_->Handle(), VK_RETURN);
    PressKey(form_->Handle(), VK_ESCAPE);
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(cancels, 1);
    // A disabled default button is not pressed.
    inner_a_->SetEnabled(false);
    PressKey(form_->Handle(), VK_RETURN);
    EXPECT_EQ(defaults, 1);
}

TEST_F(KeyboardTest, AMultiLineMemoKeepsEnterAFocusedButtonTakesIt) {
    int defaults = 0;
    int focused_clicks = 0;
    inner_a_->SetDefault(true);
    inner_a_->on_click = [&defaults](ui::Control&) { ++defaults; };
    inner_b_->on_click = [&focused_clicks](ui::Control&) { ++focused_clicks; };
    first_->SetFocus();
    PressKey(first_->Handle(), VK_RETURN);
    Pump();
    EXPECT_EQ(defaults, 0);
    EXPECT_EQ(first_->Text(), "\r\n");
    inner_b_->SetFocus();
    PressKey(inner_b_->Handle(), VK_RETURN);
    EXPECT_EQ(focused_clicks, 1);
    EXPECT_EQ(defaults, 0);
}

TEST(ModalTest, AButtonWithAModalResultEndsTheModalWindow) {
    auto owner = ShownWindow("ModalOwner", 200, 100);
    ui::WindowOptions options;
    options.border = ui::BorderStyle::kToolWindow;
    options.position = ui::WindowPosition::kScreenCenter;
    options.client_size = {160, 80};
    ui::Window dialog("ModalDialog", options);
    auto& ok = dialog.Add<ui::BitButton>("Ok", ui::Rect::FromBounds(10, 10, 60, 25));
    ok.SetModalResult(ui::mrOk);
    bool owner_enabled_meanwhile = true;
    ok.on_click = [&](ui::Control&) {
        owner_enabled_meanwhile = IsWindowEnabled(owner->Handle()) != FALSE;
    };
    PostMessageW(ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
    EXPECT_FALSE(owner_enabled_meanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

    // Centred on the screen when shown.
    PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);
    const ui::Rect b = dialog.Bounds();
    const ui::Size screen = ui::Application::ScreenSize();
    EXPECT_LE(std::abs(b.left + b.right - screen.width), 1);
    EXPECT_LE(std::abs(b.top + b.bottom - screen.height), 1);
}

// The user's close request is asked first; the program's own Close() is not.
TEST(CloseTest, TheUsersCloseRequestCanBeRefused) {
    auto window = ShownWindow("Busy", 200, 100);
    bool busy = true;
    int asked = 0;
    window->may_close = [&](ui::Control&) {
        ++asked;
        return !busy;
    };
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    busy = false;
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
    window->Show();
    busy = true;
    window->Close();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
}

TEST(ModalTest, ToolWindowsAndStayOnTopAsAsked) {
    ui::WindowOptions options;
    options.border = ui::BorderStyle::kToolWindow;
    options.stay_on_top = true;
    options.client_size = {348, 286};
    options.caption = "Setup";
    ui::Window window("ToolForm", options);
    const LONG_PTR ex = GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_EQ(window.ClientSize(), (ui::Size{348, 286}));
    EXPECT_EQ(window.Text(), "Setup");
    ui::WindowOptions plain;
    plain.border = ui::BorderStyle::kNone;
    ui::Window borderless("Borderless", plain);
    EXPECT_FALSE(GetWindowLongPtrW(borderless.Handle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(borderless.Bounds().Width(), borderless.ClientSize().width);
}

TEST(MessageServiceTest, AnswererSeesEveryBoxAndDialog) {
    auto main = ShownWindow("MessageMain", 100, 50);
    ui::Application::SetMainWindow(main.get());
    ui::Application::SetTitle("Zelvik Setup");
    {
        ui::ScopedMessageAnswerer answers(ui::kAnswerYes);
        EXPECT_EQ(ui::MessageService::Box(nullptr, "Instalace byla už spuštěna!", "Zelvik Setup",
                                          ui::kButtonsOk | ui::kIconError),
                  ui::kAnswerYes);
        ui::MessageService::Dialog(ui::DialogKind::kError, "chyba");
        ui::MessageService::Dialog(ui::DialogKind::kInformation, "Instalace byla zrušena");
        ui::MessageService::ApplicationBox("dotaz", "", 0x34);
        ui::MessageService::ErrorReport("Unable to write to x");
        const auto& r = answers.Requests();
        ASSERT_EQ(r.size(), 5u);
        EXPECT_EQ(r[0].owner, nullptr);
        EXPECT_EQ(r[0].text, "Instalace byla už spuštěna!");
        EXPECT_EQ(r[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(r[1].caption, "Error");
        EXPECT_EQ(r[1].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(r[2].caption, "Information");
        EXPECT_EQ(r[2].text, "Instalace byla zrušena");
        EXPECT_EQ(r[2].flags, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
        EXPECT_EQ(r[3].owner, main->Handle());
        EXPECT_EQ(r[3].flags, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
        EXPECT_EQ(r[4].caption, "Zelvik Setup");
        EXPECT_EQ(r[4].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    }
    ui::Application::SetMainWindow(nullptr);
}

TEST(MessageServiceTest, AnswerersNestAndComeOffAgain) {
    ui::ScopedMessageAnswerer outer(ui::kAnswerNo);
    {
        ui::ScopedMessageAnswerer inner(ui::kAnswerCancel);
        EXPECT_EQ(ui::MessageService::Box(nullptr, "a", "b", ui::kButtonsOkCancel),
                  ui::kAnswerCancel);
        EXPECT_EQ(inner.Requests().size(), 1u);
    }
    EXPECT_EQ(ui::MessageService::Box(nullptr, "a", "b", ui::kButtonsYesNo), ui::kAnswerNo);
    EXPECT_EQ(outer.Requests().size(), 1u);
}

} // namespace
