// The main window: a borderless window over the whole desktop with the relief title,
// the page control with its six pages, the progress panel, the picture panel and the hidden
// uninstall list.
#include "widgets/layouts/layout.h"

#include <iterator>

#include "contract/controls.h"
#include "contract/messages.h"
#include "contract/pages.h"

namespace layouts {

const FontRow kWindowFont{"MS Sans Serif", -11, 0, ui::clWindowText, 1};

namespace {

constexpr unsigned kBold = 1; // ui::kFontBold
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kEastEuropeCharset = 238;

constexpr FontRow kTitleFont{"Arial", -37, kBold, ui::clNavy, kEastEuropeCharset};
constexpr FontRow kMemoFont{"MS Sans Serif", -12, 0, ui::clWindowText, kDefaultCharset};
constexpr FontRow kHeadingFont{"MS Sans Serif", -12, kBold, ui::clWindowText, kDefaultCharset};
constexpr FontRow kUninstallHeadingFont{"MS Sans Serif", -12, kBold, ui::clMaroon, kDefaultCharset};
constexpr FontRow kPercentFont{"MS Sans Serif", -12, 0, ui::clYellow, kDefaultCharset};

// widgets::T3DEffect Engraved3d, TProgressDirection and TBarColorStyle values.
constexpr std::uint8_t kEngraved = 1;
constexpr std::uint8_t kLeftToRight = 0;
constexpr std::uint8_t kBottomToTop = 2;
constexpr std::uint8_t kTwoColors = 1;

constexpr ReliefRow kTitleRelief{kEngraved, ui::clOlive, false};
// The bars' third colour is unused by two-colour bars; the vertical ones keep the initial one.
constexpr ProgressRow kVerticalBar{kBottomToTop,  kTwoColors, ui::clRed, ui::clBlack, ui::clRed,
                                   ui::clBtnFace, "%",        false,     nullptr};
constexpr ProgressRow kHorizontalBar{kLeftToRight, kTwoColors,  ui::clRed,
                                     ui::clBlack,  ui::clBlack, ui::clBtnFace,
                                     "%",          true,        &kPercentFont};

constexpr std::string_view kBackHint = "Návrat na předchozí sekci";
constexpr std::string_view kContinueHint = "Pokračovat v instalaci";
constexpr std::string_view kCancelHint = "Ukončit bez instalace";

using C = contract::MainControl;
using contract::NameOf;
using contract::Page;
using contract::TagOf;

// A row of the main window named by its role, under its parent or, without one, the window.
constexpr ControlRow Row(Kind kind, C name, C parent, int left, int top, int width, int height) {
    return layouts::Row(kind, NameOf(name), NameOf(parent), left, top, width, height);
}
constexpr ControlRow Row(Kind kind, C name, int left, int top, int width, int height) {
    return layouts::Row(kind, NameOf(name), "", left, top, width, height);
}

constexpr ControlRow TextMemo(C name, C page, int left, int top, int width, int height) {
    return Row(Kind::kMemo, name, page, left, top, width, height)
        .Font(kMemoFont)
        .Color(ui::clBtnFace)
        .With(kVerticalScroll | kReadOnly | kCentered);
}

constexpr ControlRow Frame(C name, C page, int left, int top, int width, int height) {
    return Row(Kind::kBevel, name, page, left, top, width, height);
}

constexpr ControlRow Heading(C name, C page, int left, int top, int width, int height,
                             std::string_view text) {
    return Row(Kind::kLabel, name, page, left, top, width, height)
        .Text(text)
        .Font(kHeadingFont)
        .With(kFixedSize | kCentered);
}

// The button row at the foot of a page: Enter presses the page's way forward, Esc its Storno.
constexpr ControlRow BackButton(C name, C page) {
    return Row(Kind::kButton, name, page, 172, 283, 100, 29)
        .Text("Zpět")
        .Art("glyph:back")
        .On("MovePage");
}
constexpr ControlRow ContinueButton(C name, C page) {
    return Row(Kind::kButton, name, page, 272, 283, 100, 29)
        .Text("Pokračovat")
        .Art("glyph:continue")
        .With(kDefault)
        .On("MovePage");
}
constexpr ControlRow CancelButton(C name, C page) {
    return Row(Kind::kButton, name, page, 384, 283, 100, 29)
        .Text("Storno")
        .Art("glyph:cancel")
        .With(kCancel)
        .Tag(0)
        .On("CancelWizard");
}

// Every page's decorative picture sits in a panel at its left.
constexpr ControlRow SidePanel(C name, C page) {
    return Row(Kind::kPanel, name, page, 8, 8, 154, 304).Bevels(Cut::kRaised, Cut::kLowered, 2);
}
constexpr ControlRow SidePicture(C name, C panel) {
    return Row(Kind::kPicture, name, panel, 4, 4, 146, 296)
        .Art(NameOf(name))
        .With(kStretch | kFixedSize);
}

constexpr std::string_view kUninstallText =
    "Stisknutím tlačítka \"Odinstalovat\" zahájíte \n"
    "odinstalaci programu Zelvik.\n"
    " \n"
    " \n"
    "Budou odstraněny všechny soubory, složky a \n"
    "položky v registru vytvořené při instalaci.\n"
    "\n"
    "  \n"
    "Odinstalaci můžete zrušit tlačítkem \"Storno\"";

constexpr ControlRow kControls[] = {
    Row(Kind::kRelief, C::kTitle, 8, 8, 251, 44)
        .Text("Programname")
        .Font(kTitleFont)
        .With(kTransparent)
        .Relief(kTitleRelief),
    Row(Kind::kPageControl, C::kPages, 36, 60, 495, 333).Tab(0),

    // Page 0: welcome.
    Row(Kind::kPage, C::kWelcomePage, C::kPages, 0, 0, 0, 0),
    Frame(C::kWelcomeFrame, C::kWelcomePage, 172, 8, 309, 237),
    TextMemo(C::kWelcomeText, C::kWelcomePage, 184, 16, 289, 221).Tab(0),
    CancelButton(C::kWelcomeCancel, C::kWelcomePage).Hint(kCancelHint).Tab(1),
    ContinueButton(C::kWelcomeContinue, C::kWelcomePage)
        .Hint(kContinueHint)
        .Tab(2)
        .Tag(TagOf(Page::kLicence)),
    SidePanel(C::kWelcomeSidePanel, C::kWelcomePage).Tab(3),
    SidePicture(C::kWelcomePicture, C::kWelcomeSidePanel),

    // Page 1: licence.
    Row(Kind::kPage, C::kLicencePage, C::kPages, 0, 0, 0, 0),
    Frame(C::kLicenceFrame, C::kLicencePage, 172, 8, 309, 225),
    TextMemo(C::kLicenceText, C::kLicencePage, 180, 16, 293, 209).Tab(0),
    CancelButton(C::kLicenceCancel, C::kLicencePage).Hint(kCancelHint).Tab(1),
    Row(Kind::kMemo, C::kMessages, C::kLicencePage, 16, 164, 445, 25)
        .Text(contract::kBuiltInMessages)
        .With(kHidden)
        .Tab(2),
    Row(Kind::kRadio, C::kAcceptLicence, C::kLicencePage, 172, 244, 309, 17)
        .Text("Ano, souhlasím s licenčním ujednáním")
        .Tab(3)
        .On("AcceptLicence"),
    Row(Kind::kRadio, C::kRefuseLicence, C::kLicencePage, 172, 260, 309, 17)
        .Text("Ne, nesouhlasím s licenčním ujednáním")
        .Tab(4)
        .On("RefuseLicence"),
    BackButton(C::kLicenceBack, C::kLicencePage).Hint(kBackHint).Tab(5).Tag(TagOf(Page::kPortal)),
    ContinueButton(C::kLicenceContinue, C::kLicencePage)
        .Hint(kContinueHint)
        .With(kDisabled)
        .Tab(6)
        .Tag(TagOf(Page::kDirectory)),
    SidePanel(C::kLicenceSidePanel, C::kLicencePage).Tab(7),
    SidePicture(C::kLicencePicture, C::kLicenceSidePanel),

    // Page 2: installation folder.
    Row(Kind::kPage, C::kFolderPage, C::kPages, 0, 0, 0, 0),
    Frame(C::kFolderFrame, C::kFolderPage, 172, 8, 309, 237),
    Heading(C::kFolderHeading, C::kFolderPage, 176, 25, 305, 13, "Umístění programu")
        .With(kTransparent),
    Row(Kind::kPicture, C::kFolderIcon, C::kFolderPage, 184, 16, 34, 29)
        .Art("Image3")
        .With(kTransparent),
    Row(Kind::kCombo, C::kFolderChoice, C::kFolderPage, 172, 252, 309, 21)
        .With(kEditable)
        .Tab(0)
        .On("ChooseFolder"),
    TextMemo(C::kFolderText, C::kFolderPage, 184, 48, 289, 189).Tab(1),
    BackButton(C::kFolderBack, C::kFolderPage).Hint(kBackHint).Tab(2).Tag(TagOf(Page::kLicence)),
    ContinueButton(C::kFolderContinue, C::kFolderPage)
        .Hint(kContinueHint)
        .Tab(3)
        .Tag(TagOf(Page::kIcons)),
    CancelButton(C::kFolderCancel, C::kFolderPage).Hint(kCancelHint).Tab(4),
    SidePanel(C::kFolderSidePanel, C::kFolderPage).Tab(5),
    SidePicture(C::kFolderPicture, C::kFolderSidePanel),

    // Page 3: shortcuts.
    Row(Kind::kPage, C::kIconPage, C::kPages, 0, 0, 0, 0),
    Frame(C::kIconFrame, C::kIconPage, 172, 8, 309, 221),
    Heading(C::kIconHeading, C::kIconPage, 176, 24, 305, 13, "Umístění ikon"),
    Row(Kind::kLabel, C::kIconPrompt, C::kIconPage, 172, 233, 72, 13)
        .Text("Umístit ikony ...")
        .With(kCentered | kTransparent),
    Row(Kind::kPicture, C::kIconPageIcon, C::kIconPage, 180, 12, 32, 32).Art("Image1"),
    Row(Kind::kCheckList, C::kIconChoice, C::kIconPage, 172, 248, 309, 30)
        .Text("Na plochu\nDo hlavní nabídky START")
        .Tab(0)
        .On("ChooseIcons"),
    BackButton(C::kIconBack, C::kIconPage).Tab(1).Tag(TagOf(Page::kDirectory)),
    ContinueButton(C::kIconContinue, C::kIconPage).Tab(2).Tag(TagOf(Page::kSummary)),
    CancelButton(C::kIconCancel, C::kIconPage).Tab(3),
    TextMemo(C::kIconText, C::kIconPage, 180, 48, 293, 173).Tab(4),
    SidePanel(C::kIconSidePanel, C::kIconPage).Tab(5),
    SidePicture(C::kIconPicture, C::kIconSidePanel),

    // Page 4: summary.
    Row(Kind::kPage, C::kSummaryPage, C::kPages, 0, 0, 0, 0),
    Row(Kind::kMemo, C::kSummary, C::kSummaryPage, 172, 8, 305, 265)
        .Font(kMemoFont)
        .Color(ui::clBtnFace)
        .With(kVerticalScroll)
        .Tab(0),
    BackButton(C::kSummaryBack, C::kSummaryPage).Hint(kBackHint).Tab(1).Tag(TagOf(Page::kIcons)),
    Row(Kind::kButton, C::kFinish, C::kSummaryPage, 272, 283, 100, 29)
        .Text("Dokončit....")
        .Art("glyph:finish")
        .With(kDefault)
        .Hint(kContinueHint)
        .Tab(2)
        .Tag(TagOf(Page::kSummary) + 1) // one past the last wizard page: the run leaves the pages
        .On("RunInstallation"),
    CancelButton(C::kSummaryCancel, C::kSummaryPage).Hint(kCancelHint).Tab(3),
    SidePanel(C::kSummarySidePanel, C::kSummaryPage).Tab(4),
    SidePicture(C::kSummaryPicture, C::kSummarySidePanel),

    // Page 5: uninstall.
    Row(Kind::kPage, C::kUninstallPage, C::kPages, 0, 0, 0, 0),
    Frame(C::kUninstallFrame, C::kUninstallPage, 172, 8, 305, 261),
    Heading(C::kUninstallHeading, C::kUninstallPage, 176, 16, 297, 17, "--- Uninstall  ---")
        .Font(kUninstallHeadingFont),
    Heading(C::kUninstallSubheading, C::kUninstallPage, 176, 32, 297, 17,
            "odstranění programu Zelvik z počítače.")
        .Font(kUninstallHeadingFont),
    Row(Kind::kButton, C::kUninstall, C::kUninstallPage, 332, 284, 105, 25)
        .Text("Odinstalovat...")
        .Art("glyph:uninstall")
        .Tab(0)
        .Tag(0)
        .On("Uninstall"),
    Row(Kind::kButton, C::kUninstallCancel, C::kUninstallPage, 220, 284, 105, 25)
        .Text("Storno")
        .Art("glyph:cancel")
        .With(kDefault | kCancel) // Enter does not remove the program: it keeps it
        .Tab(1)
        .Tag(0)
        .On("CancelUninstall"),
    TextMemo(C::kUninstallText, C::kUninstallPage, 180, 48, 289, 213).Text(kUninstallText).Tab(2),
    SidePanel(C::kUninstallSidePanel, C::kUninstallPage).Tab(3),
    SidePicture(C::kUninstallPicture, C::kUninstallSidePanel),

    // The progress panel of the installation run.
    Row(Kind::kPanel, C::kProgressPanel, 100, 396, 450, 70)
        .Bevels(Cut::kLowered, Cut::kRaised)
        .With(kHidden)
        .Tab(1),
    Row(Kind::kPanel, C::kBarPanel, C::kProgressPanel, 2, 2, 41, 66).Tab(0),
    Row(Kind::kProgressBar, C::kMemberBar, C::kBarPanel, 24, 20, 11, 43).Progress(kVerticalBar),
    Row(Kind::kProgressBar, C::kRunBarVertical, C::kBarPanel, 8, 20, 11, 43).Progress(kVerticalBar),
    Row(Kind::kPicture, C::kMemberBarIcon, C::kBarPanel, 24, 3, 16, 16)
        .Art("Image4")
        .With(kTransparent),
    Row(Kind::kPicture, C::kRunBarIcon, C::kBarPanel, 7, 3, 16, 16)
        .Art("Image2")
        .With(kTransparent),
    Row(Kind::kPanel, C::kStatusPanel, C::kProgressPanel, 43, 2, 405, 66).Tab(1),
    Row(Kind::kProgressBar, C::kRunBar, C::kStatusPanel, 7, 46, 390, 13).Progress(kHorizontalBar),
    Row(Kind::kLabel, C::kProgressHeading, C::kStatusPanel, 10, 20, 129, 13)
        .Text("Probíhá instalace programu"),
    Row(Kind::kLabel, C::kMemberName, C::kStatusPanel, 10, 33, 38, 13).Text("Label10"),
    Row(Kind::kLabel, C::kStepText, C::kStatusPanel, 10, 7, 25, 13).Text("Mess"),

    // The picture panel: its only picture stays hidden.
    Row(Kind::kPanel, C::kPicturePanel, 206, 196, 354, 104)
        .Bevels(Cut::kRaised, Cut::kRaised)
        .With(kHidden)
        .Tab(2),
    Row(Kind::kPicture, C::kPanelPicture, C::kPicturePanel, 2, 2, 350, 100)
        .Art("Image5")
        .With(kHidden),

    Row(Kind::kMemo, C::kUninstallList, 12, 476, 557, 57).With(kHidden | kBothScrollBars).Tab(3),
};

// clang-format off
constexpr FormTable kForm1{
    contract::kMainWindowName,
    FormBorder::kNone,
    "",            // no caption text
    575, 483,      // client size until the start-up covers the desktop
    ui::clBtnFace,
    false,         // not on top of other windows
    false,         // placed by the start-up, not centred
    "StartUp", "ShutDown", "PaintBackground", "CentrePages", "ShowMaximized",
    kControls, std::size(kControls),
};
// clang-format on

} // namespace

const FormTable& Form1Layout() {
    return kForm1;
}

} // namespace layouts
