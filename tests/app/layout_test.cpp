// The built windows against their tables: every control is found by name through its window
// and its class, parent, bounds, texts, font, Tag, tab order, visibility, enabled state and
// stacking are read back from the window system, not from the toolkit's objects. Where a
// second source exists (the wizard's button table, the message table, the uninstall text),
// an independent transcription checks the tables themselves.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "platform/code_page.h"
#include "ui/bit_button.h"
#include "ui/canvas.h"
#include "ui/control_names.h"
#include "ui/page_control.h"
#include "ui/ui_test_support.h"
#include "widgets/layouts/form_geometry.h"
#include "widgets/layouts/layout.h"

namespace {

using C = contract::MainControl;
using contract::NameOf;
using layouts::ControlRow;
using layouts::FormTable;
using layouts::Kind;

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return platform::Narrow(name);
}

std::string TextOf(HWND window) {
    return ui_test::WindowText(window);
}

RECT BoundsInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<std::string> SplitAtNewlines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

bool IsDrawn(Kind kind) {
    return kind == Kind::kLabel || kind == Kind::kPicture || kind == Kind::kBevel ||
           kind == Kind::kRelief || kind == Kind::kProgressBar;
}

// What each kind of control is as a window: its class and the style bits that tell it apart.
void ExpectKind(HWND window, Kind kind, unsigned flags, const std::string& name) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const std::string cls = ClassOf(window);
    switch (kind) {
    case Kind::kRelief:
    case Kind::kProgressBar: EXPECT_EQ(cls, "OrvoCustom") << name; break;
    case Kind::kPageControl: EXPECT_EQ(cls, "OrvoPageControl") << name; break;
    case Kind::kPage: EXPECT_EQ(cls, "OrvoPage") << name; break;
    case Kind::kPanel: EXPECT_EQ(cls, "OrvoPanel") << name; break;
    case Kind::kBevel: EXPECT_EQ(cls, "OrvoBevel") << name; break;
    case Kind::kLabel: EXPECT_EQ(cls, "OrvoLabel") << name; break;
    case Kind::kPicture: EXPECT_EQ(cls, "OrvoPicture") << name; break;
    case Kind::kMemo:
        EXPECT_EQ(cls, "Edit") << name;
        EXPECT_TRUE(style & ES_MULTILINE) << name;
        break;
    case Kind::kButton:
        EXPECT_EQ(cls, "Button") << name;
        EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW) << name;
        break;
    case Kind::kRadio:
        EXPECT_EQ(cls, "Button") << name;
        EXPECT_EQ(style & BS_TYPEMASK, BS_RADIOBUTTON) << name;
        break;
    case Kind::kCombo:
        EXPECT_EQ(cls, "ComboBox") << name;
        EXPECT_EQ(style & 3, flags & layouts::kEditable ? CBS_DROPDOWN : CBS_DROPDOWNLIST) << name;
        break;
    case Kind::kCheckList:
        EXPECT_EQ(cls, "ListBox") << name;
        EXPECT_TRUE(style & LBS_OWNERDRAWFIXED) << name;
        break;
    case Kind::kFolderTree: EXPECT_EQ(cls, "SysTreeView32") << name; break;
    }
}

// The size a text takes in the font a window answers WM_GETFONT with.
SIZE MeasuredText(HWND window, const std::string& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const std::wstring wide = platform::Widen(text.empty() ? " " : text);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {r.right, r.bottom};
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (font) GetObjectW(font, sizeof lf, &lf);
    return lf;
}

class LayoutCheck {
  public:
    LayoutCheck(const FormTable& definition, HWND root,
                layouts::DesignScale scale = layouts::DesignScale())
        : definition_(definition), root_(root), scale_(scale) {}

    void Run() {
        int first_page = -1;
        for (const ControlRow& row : definition_) {
            SCOPED_TRACE(std::string(row.name));
            HWND window = ui::FindControl(root_, row.name);
            ASSERT_NE(window, nullptr);
            const std::string parent =
                row.parent.empty() ? std::string(definition_.name) : std::string(row.parent);
            EXPECT_EQ(ui::ControlName(GetParent(window)), parent);
            ExpectKind(window, row.kind, row.flags, std::string(row.name));
            ExpectBounds(window, row);
            ExpectText(window, row);
            EXPECT_EQ(ui::ControlTag(window), row.tag);
            EXPECT_EQ(ui::ControlTabOrder(window), row.tab_order);
            const bool shown = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
            if (row.kind == Kind::kPage) {
                // The first page is the active one until the start-up picks another.
                EXPECT_EQ(shown, first_page < 0);
                if (first_page < 0) first_page = 1;
            } else {
                EXPECT_EQ(shown, !row.Has(layouts::kHidden));
            }
            EXPECT_EQ(IsWindowEnabled(window) != FALSE, !row.Has(layouts::kDisabled));
            if (row.kind != Kind::kPage) ExpectFont(window, row);
        }
        // Nothing named that the table does not have.
        EXPECT_EQ(ui::NamedDescendants(root_).size(), definition_.control_count);
    }

  private:
    void ExpectBounds(HWND window, const ControlRow& row) {
        const RECT r = BoundsInParent(window);
        const LONG width = r.right - r.left;
        const LONG height = r.bottom - r.top;
        if (row.kind == Kind::kPage) {
            const ControlRow* control = definition_.Find(row.parent);
            ASSERT_NE(control, nullptr);
            const int inset = ui::PageControl::kFrameInset;
            EXPECT_EQ(r.left, inset);
            EXPECT_EQ(r.top, inset);
            const ui::Rect pages = scale_.Bounds(control->Bounds());
            EXPECT_EQ(width, pages.Width() - 2 * inset);
            EXPECT_EQ(height, pages.Height() - 2 * inset);
            return;
        }
        const ui::Rect designed = scale_.Bounds(row.Bounds());
        if (row.kind == Kind::kPageControl && definition_.name == contract::kMainWindowName) {
            // Kept centred in the window (FormResize), at its designed size.
            RECT outer;
            GetWindowRect(root_, &outer);
            const ui::Point centred = layouts::CentredPlace(
                {outer.right - outer.left, outer.bottom - outer.top}, {row.width, row.height});
            EXPECT_EQ(r.left, centred.x);
            EXPECT_EQ(r.top, centred.y);
        } else {
            EXPECT_EQ(r.left, designed.left);
            EXPECT_EQ(r.top, designed.top);
        }
        const bool sized_to_text = (row.kind == Kind::kLabel || row.kind == Kind::kRelief) &&
                                   !row.Has(layouts::kFixedSize);
        if (sized_to_text) {
            const SIZE text = MeasuredText(window, std::string(row.text));
            EXPECT_EQ(width, text.cx);
            EXPECT_EQ(height, text.cy);
        } else {
            EXPECT_EQ(width, designed.Width());
            EXPECT_EQ(height, designed.Height());
        }
    }

    void ExpectText(HWND window, const ControlRow& row) {
        switch (row.kind) {
        case Kind::kMemo: {
            std::string expected;
            for (const std::string& line : SplitAtNewlines(row.text)) expected += line + "\r\n";
            EXPECT_EQ(TextOf(window), expected);
            break;
        }
        case Kind::kCheckList: {
            std::vector<std::string> items;
            const LRESULT count = SendMessageW(window, LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                wchar_t buffer[256] = {};
                SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(buffer));
                items.push_back(platform::Narrow(buffer));
                EXPECT_EQ(SendMessageW(window, LB_GETITEMDATA, static_cast<WPARAM>(i), 0), 0);
            }
            EXPECT_EQ(items, SplitAtNewlines(row.text));
            EXPECT_EQ(SendMessageW(window, LB_GETITEMHEIGHT, 0, 0), scale_.Length(13));
            break;
        }
        case Kind::kCombo: EXPECT_EQ(SendMessageW(window, CB_GETCOUNT, 0, 0), 0); break;
        case Kind::kRadio:
            EXPECT_EQ(TextOf(window), row.text);
            EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_UNCHECKED);
            break;
        default: EXPECT_EQ(TextOf(window), row.text); // captions; empty for the others
        }
    }

    void ExpectFont(HWND window, const ControlRow& row) {
        const layouts::FontRow& font = row.font ? *row.font : layouts::kWindowFont;
        const LOGFONTW lf = FontOf(window);
        EXPECT_EQ(platform::Narrow(lf.lfFaceName), font.face);
        EXPECT_EQ(lf.lfHeight, scale_.Length(font.height));
        EXPECT_EQ(lf.lfWeight, (font.style & 1) ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(lf.lfCharSet, font.charset);
    }

    const FormTable& definition_;
    HWND root_;
    layouts::DesignScale scale_;
};

TEST(Form1LayoutTest, EveryControlAsTabled) {
    app::MainWindow form;
    form.Window().CreateHandles();
    LayoutCheck(layouts::Form1Layout(), form.Window().Handle()).Run();
    HWND window = form.Window().Handle();
    EXPECT_EQ(ui::ControlName(window), "Form1");
    EXPECT_EQ(TextOf(window), "");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
}

TEST(Form2LayoutTest, EveryControlAsTabled) {
    app::FolderPicker form;
    form.Window().CreateHandles();
    LayoutCheck(layouts::Form2Layout(), form.Window().Handle()).Run();
    HWND window = form.Window().Handle();
    EXPECT_EQ(TextOf(window), "Setup");
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 348);
    EXPECT_EQ(client.bottom, 286);
    EXPECT_FALSE(IsWindowVisible(window));
}

// Siblings stack as the tables say: drawn controls beneath windowed ones, and within each
// group a later control above an earlier one.
void ExpectStacking(const FormTable& definition, HWND root) {
    std::map<HWND, int> depth; // 0 is the top of its siblings
    for (const ControlRow& row : definition) {
        HWND window = ui::FindControl(root, row.name);
        int d = 0;
        for (HWND w = GetWindow(window, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) ++d;
        depth[window] = d;
    }
    for (size_t a = 0; a < definition.control_count; ++a) {
        for (size_t b = a + 1; b < definition.control_count; ++b) {
            const ControlRow& early = definition.controls[a];
            const ControlRow& late = definition.controls[b];
            if (early.parent != late.parent || late.kind == Kind::kPage) continue;
            const HWND e = ui::FindControl(root, early.name);
            const HWND l = ui::FindControl(root, late.name);
            const bool late_on_top = !(IsDrawn(late.kind) && !IsDrawn(early.kind));
            EXPECT_EQ(depth[l] < depth[e], late_on_top) << early.name << " / " << late.name;
        }
    }
}

TEST(StackingTest, BothWindows) {
    app::MainWindow form1;
    form1.Window().CreateHandles();
    ExpectStacking(layouts::Form1Layout(), form1.Window().Handle());
    app::FolderPicker form2;
    form2.Window().CreateHandles();
    ExpectStacking(layouts::Form2Layout(), form2.Window().Handle());
}

// The wizard's own table of buttons, written down a second time: caption, Tag, handler.
struct Button {
    const char* name;
    const char* caption;
    int tag;
    const char* handler;
    bool enabled;
};
const Button kButtons[] = {
    {"BitBtn5", "Pokračovat", 1, "MovePage", true},
    {"Storno", "Storno", 0, "CancelWizard", true},
    {"BitBtn13", "Zpět", 0, "MovePage", true},
    {"BitBtn15", "Pokračovat", 2, "MovePage", false},
    {"BitBtn14", "Storno", 0, "CancelWizard", true},
    {"BitBtn1", "Zpět", 1, "MovePage", true},
    {"BitBtn2", "Pokračovat", 3, "MovePage", true},
    {"BitBtn3", "Storno", 0, "CancelWizard", true},
    {"BitBtn7", "Zpět", 2, "MovePage", true},
    {"BitBtn8", "Pokračovat", 4, "MovePage", true},
    {"BitBtn9", "Storno", 0, "CancelWizard", true},
    {"BitBtn10", "Zpět", 3, "MovePage", true},
    {"BitBtn4", "Dokončit....", 5, "RunInstallation", true},
    {"BitBtn6", "Storno", 0, "CancelWizard", true},
    {"BitBtn12", "Storno", 0, "CancelUninstall", true},
    {"BitBtn11", "Odinstalovat...", 0, "Uninstall", true},
};

TEST(Form1LayoutTest, ButtonsAsTheWizardTableHasThem) {
    app::MainWindow form;
    form.Window().CreateHandles();
    HWND root = form.Window().Handle();
    for (const Button& b : kButtons) {
        SCOPED_TRACE(b.name);
        HWND window = ui::FindControl(root, b.name);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(TextOf(window), b.caption);
        EXPECT_EQ(ui::ControlTag(window), b.tag);
        EXPECT_EQ(IsWindowEnabled(window) != FALSE, b.enabled);
        const ControlRow* row = layouts::Form1Layout().Find(b.name);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->handler, b.handler);
    }
}

TEST(Form1LayoutTest, MessageTableAndUninstallText) {
    app::MainWindow form;
    form.Window().CreateHandles();
    HWND root = form.Window().Handle();
    std::vector<std::string> messages;
    const std::string table = TextOf(ui::FindControl(root, NameOf(C::kMessages)));
    for (size_t at = 0, end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2) {
        messages.push_back(table.substr(at, end - at));
    }
    ASSERT_EQ(messages.size(), 36u);
    EXPECT_EQ(messages[0], "Installation of  Zelvik");
    EXPECT_EQ(messages[9], "Creating directory");
    EXPECT_EQ(messages[22], "Installation is finished");
    EXPECT_EQ(messages[24], "Instalace byla zrušena");
    EXPECT_EQ(messages[31], "Instalace byla už spuštěna!");
    EXPECT_EQ(messages[33], "Další adresář");
    EXPECT_EQ(messages[34],
              "Nebyly nalezeny důležité informace o projektu, prosim kontaktujte výrobce Vašeho ");
    EXPECT_EQ(messages[35], "programu.");
    EXPECT_EQ(TextOf(ui::FindControl(root, NameOf(C::kUninstallText))),
              "Stisknutím tlačítka \"Odinstalovat\" zahájíte \r\n"
              "odinstalaci programu Zelvik.\r\n"
              " \r\n"
              " \r\n"
              "Budou odstraněny všechny soubory, složky a \r\n"
              "položky v registru vytvořené při instalaci.\r\n"
              "\r\n"
              "  \r\n"
              "Odinstalaci můžete zrušit tlačítkem \"Storno\"\r\n");
    EXPECT_EQ(TextOf(ui::FindControl(root, NameOf(C::kUninstallHeading))), "--- Uninstall  ---");
    for (C empty : {C::kSummary, C::kWelcomeText, C::kFolderText, C::kIconText, C::kLicenceText,
                    C::kUninstallList}) {
        EXPECT_EQ(TextOf(ui::FindControl(root, NameOf(empty))), "") << NameOf(empty);
    }
}

// The page order is the index the buttons' Tags name.
TEST(Form1LayoutTest, PagesInIndexOrder) {
    app::MainWindow form;
    const char* const names[] = {"Portal",   "Licence",     "DirPage",
                                 "IconPage", "Installpage", "TabSheet2"};
    ASSERT_EQ(form.Get<ui::PageControl>(C::kPages).PageCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.Get<ui::PageControl>(C::kPages).PageAt(i).Name(), names[i]);
}

// A resolver that records which handler each event reaches, instead of the window class.
class Recorder : public layouts::HandlerResolver {
  public:
    ui::Notify Notify(std::string_view name) override {
        const std::string handler(name);
        return [this, handler](ui::Control& sender) {
            calls.push_back(sender.Name() + ":" + handler);
        };
    }
    ui::PaintHandler Paint(std::string_view name) override {
        const std::string handler(name);
        return [this, handler](ui::Control& sender, ui::Painter&) {
            calls.push_back(sender.Name() + ":" + handler);
        };
    }
    std::vector<std::string> calls;
};

TEST(HandlerBindingTest, EveryEventReachesTheNamedHandler) {
    for (const FormTable* definition : {&layouts::Form1Layout(), &layouts::Form2Layout()}) {
        Recorder recorder;
        layouts::BuiltForm built(*definition, recorder);
        for (const ControlRow& row : *definition) {
            if (row.handler.empty()) continue;
            ui::Control& control = built.Control(row.name);
            recorder.calls.clear();
            if (row.HandlerEvent() == layouts::Event::kChange) {
                ASSERT_TRUE(control.on_change) << row.name;
                EXPECT_FALSE(control.on_click) << row.name;
                control.on_change(control);
            } else {
                control.Click();
            }
            EXPECT_EQ(recorder.calls, std::vector<std::string>{std::string(row.name) + ":" +
                                                               std::string(row.handler)});
        }
        // The window's own events.
        recorder.calls.clear();
        std::vector<std::string> expected;
        const std::string form(definition->name);
        built.FireCreate();
        if (!definition->on_create.empty())
            expected.push_back(form + ":" + std::string(definition->on_create));
        ui::Canvas canvas(50, 50);
        built.Window().PaintClientTo(canvas.Dc());
        if (!definition->on_paint.empty())
            expected.push_back(form + ":" + std::string(definition->on_paint));
        built.Window().SetBounds(ui::Rect::FromBounds(0, 0, 300, 200));
        if (!definition->on_resize.empty())
            expected.push_back(form + ":" + std::string(definition->on_resize));
        built.Window().Show();
        if (!definition->on_show.empty())
            expected.push_back(form + ":" + std::string(definition->on_show));
        built.Window().Destroy();
        if (!definition->on_destroy.empty())
            expected.push_back(form + ":" + std::string(definition->on_destroy));
        // Showing and resizing may repaint; each event counts once here.
        std::vector<std::string> seen;
        for (const std::string& call : recorder.calls) {
            if (std::find(seen.begin(), seen.end(), call) == seen.end()) seen.push_back(call);
        }
        EXPECT_EQ(seen, expected);
    }
}

// Every handler name of the tables exists in the window classes: a missing one makes the
// window's construction throw.
TEST(HandlerBindingTest, TheWindowClassesHaveEveryHandler) {
    EXPECT_NO_THROW(app::MainWindow());
    EXPECT_NO_THROW(app::FolderPicker());
}

TEST(HandlerBindingTest, AnUnknownHandlerIsAnError) {
    static constexpr ControlRow kRows[] = {
        layouts::Row(Kind::kButton, "B", "", 0, 0, 10, 10).On("NoSuchHandler")};
    static constexpr FormTable kDefinition{"Broken", layouts::FormBorder::kNone,
                                           "",       50,
                                           50,       ui::clBtnFace,
                                           false,    false,
                                           "",       "",
                                           "",       "",
                                           "",       kRows,
                                           1};
    struct Empty {};
    const layouts::Handler<Empty> none[] = {{"Other"}};
    Empty empty;
    layouts::MemberHandlers<Empty> handlers(empty, none);
    EXPECT_THROW(layouts::BuiltForm(kDefinition, handlers), layouts::LayoutError);
}

// On a screen of 144 pixels per inch every length of the table is half as large again: places,
// sizes and fonts, and the glyphs and the tree's indent with them.
TEST(Form2LayoutTest, ScaledToTheScreensDpi) {
    const layouts::DesignScale scale(144);
    Recorder recorder;
    layouts::BuiltForm built(layouts::Form2Layout(), recorder, scale);
    built.Window().CreateHandles();
    LayoutCheck(layouts::Form2Layout(), built.Window().Handle(), scale).Run();
    RECT client;
    GetClientRect(built.Window().Handle(), &client);
    EXPECT_EQ(client.right, 522);
    EXPECT_EQ(client.bottom, 429);
    const ui::Image& glyph = built.Get<ui::BitButton>(NameOf(contract::PickerControl::kOk)).Glyph();
    EXPECT_EQ(glyph.Width(), 48);
    EXPECT_EQ(glyph.Height(), 24);
    HWND tree = built.Control(NameOf(contract::PickerControl::kTree)).Handle();
    EXPECT_EQ(SendMessageW(tree, TVM_GETINDENT, 0, 0), 29);
}

} // namespace
