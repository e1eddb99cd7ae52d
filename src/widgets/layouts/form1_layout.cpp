// The main window TForm1: a borderless window over the whole desktop with the relief title,
// the page control with its six pages, the progress panel, the picture panel and the hidden
// uninstall list.
#include "widgets/layouts/layout.h"

#include <iterator>

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

// widgets::T3DEffect Resit3d, TProgressDirection and TBarColorStyle values.
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

constexpr ControlRow TextMemo(std::string_view name, std::string_view page, int left, int top,
                              int width, int height) {
    return Row(Kind::kMemo, name, page, left, top, width, height)
        .Font(kMemoFont)
        .Color(ui::clBtnFace)
        .With(kVerticalScroll | kReadOnly | kCentered);
}

constexpr ControlRow Frame(std::string_view name, std::string_view page, int left, int top,
                           int width, int height) {
    return Row(Kind::kBevel, name, page, left, top, width, height);
}

constexpr ControlRow Heading(std::string_view name, std::string_view page, int left, int top,
                             int width, int height, std::string_view text) {
    return Row(Kind::kLabel, name, page, left, top, width, height)
        .Text(text)
        .Font(kHeadingFont)
        .With(kFixedSize | kCentered);
}

// The button row at the foot of a page.
constexpr ControlRow BackButton(std::string_view name, std::string_view page) {
    return Row(Kind::kButton, name, page, 172, 283, 100, 29)
        .Text("Zpět")
        .Art("glyph:back")
        .On("BitBtn5Click");
}
constexpr ControlRow ContinueButton(std::string_view name, std::string_view page) {
    return Row(Kind::kButton, name, page, 272, 283, 100, 29)
        .Text("Pokračovat")
        .Art("glyph:continue")
        .On("BitBtn5Click");
}
constexpr ControlRow CancelButton(std::string_view name, std::string_view page) {
    return Row(Kind::kButton, name, page, 384, 283, 100, 29)
        .Text("Storno")
        .Art("glyph:cancel")
        .Tag(0)
        .On("StornoClick");
}

// Every page's decorative picture sits in a panel at its left.
constexpr ControlRow SidePanel(std::string_view name, std::string_view page) {
    return Row(Kind::kPanel, name, page, 8, 8, 154, 304).Bevels(Cut::kRaised, Cut::kLowered, 2);
}
constexpr ControlRow SidePicture(std::string_view name, std::string_view panel) {
    return Row(Kind::kPicture, name, panel, 4, 4, 146, 296).Art(name).With(kStretch | kFixedSize);
}

// The message table: 36 lines, addressed by position.
constexpr std::string_view kMessageTable =
    "Installation of  Zelvik\n"
    "Program place: -\n"
    "Icon place:\n"
    "- START/PROGRAMY/Zelvik\n"
    "- Desktop\n"
    "- START\n"
    "When you press Finish Installation will be start\n"
    "I can`t create directory\n"
    "Program Setup will be abort !\n"
    "Creating directory\n"
    "Copying files\n"
    "Create dir:\n"
    "Prepare copy\n"
    "Extract files\n"
    "- Sources\n"
    "Zápis do registru\n"
    "Create desktop link\n"
    "Link to desktop\n"
    "Create START link\n"
    "Link to START\n"
    "Creating directory START/Programy\n"
    "Update menu START\n"
    "Installation is finished\n"
    "Uninstall\n"
    "Instalace byla zrušena\n"
    "Instalace byla dokončena\n"
    "Všechny soubory v adresáři\n"
    "budou smazány !!\n"
    "Opravdu chcete program Zelvik odinstalovat?\n"
    "Program Zelvik byl odinstalován\n"
    "Uninstalátor nenašel informace programu Zelvik!\n"
    "Instalace byla už spuštěna!\n"
    "Licenční soubor nebyl nalezen\n"
    "Další adresář\n"
    "Nebyly nalezeny důležité informace o projektu, prosim kontaktujte výrobce Vašeho \n"
    "programu.";

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
    Row(Kind::kRelief, "Programname", "", 8, 8, 251, 44)
        .Text("Programname")
        .Font(kTitleFont)
        .With(kTransparent)
        .Relief(kTitleRelief),
    Row(Kind::kPageControl, "pages", "", 36, 60, 495, 333).Tab(0),

    // Page 0: welcome.
    Row(Kind::kPage, "Portal", "pages", 0, 0, 0, 0),
    Frame("Bevel2", "Portal", 172, 8, 309, 237),
    TextMemo("Memo2", "Portal", 184, 16, 289, 221).Tab(0),
    CancelButton("Storno", "Portal").Hint(kCancelHint).Tab(1),
    ContinueButton("BitBtn5", "Portal").Hint(kContinueHint).Tab(2).Tag(1),
    SidePanel("Panel5", "Portal").Tab(3),
    SidePicture("Image6", "Panel5"),

    // Page 1: licence.
    Row(Kind::kPage, "Licence", "pages", 0, 0, 0, 0),
    Frame("Bevel4", "Licence", 172, 8, 309, 225),
    TextMemo("Memo7", "Licence", 180, 16, 293, 209).Tab(0),
    CancelButton("BitBtn14", "Licence").Hint(kCancelHint).Tab(1),
    Row(Kind::kMemo, "Memo6", "Licence", 16, 164, 445, 25).Text(kMessageTable).With(kHidden).Tab(2),
    Row(Kind::kRadio, "RadioButtyes", "Licence", 172, 244, 309, 17)
        .Text("Ano, souhlasím s licenčním ujednáním")
        .Tab(3)
        .On("RadioButtyesClick"),
    Row(Kind::kRadio, "RadioButtNO", "Licence", 172, 260, 309, 17)
        .Text("Ne, nesouhlasím s licenčním ujednáním")
        .Tab(4)
        .On("RadioButtNOClick"),
    BackButton("BitBtn13", "Licence").Hint(kBackHint).Tab(5).Tag(0),
    ContinueButton("BitBtn15", "Licence").Hint(kContinueHint).With(kDisabled).Tab(6).Tag(2),
    SidePanel("Panel6", "Licence").Tab(7),
    SidePicture("Image7", "Panel6"),

    // Page 2: installation folder.
    Row(Kind::kPage, "DirPage", "pages", 0, 0, 0, 0),
    Frame("Bevel1", "DirPage", 172, 8, 309, 237),
    Heading("Label1", "DirPage", 176, 25, 305, 13, "Umístění programu").With(kTransparent),
    Row(Kind::kPicture, "Image3", "DirPage", 184, 16, 34, 29).Art("Image3").With(kTransparent),
    Row(Kind::kCombo, "Directory", "DirPage", 172, 252, 309, 21).Tab(0).On("DirectoryChange"),
    TextMemo("Memo3", "DirPage", 184, 48, 289, 189).Tab(1),
    BackButton("BitBtn1", "DirPage").Hint(kBackHint).Tab(2).Tag(1),
    ContinueButton("BitBtn2", "DirPage").Hint(kContinueHint).Tab(3).Tag(3),
    CancelButton("BitBtn3", "DirPage").Hint(kCancelHint).Tab(4),
    SidePanel("Panel7", "DirPage").Tab(5),
    SidePicture("Image8", "Panel7"),

    // Page 3: shortcuts.
    Row(Kind::kPage, "IconPage", "pages", 0, 0, 0, 0),
    Frame("Bevel3", "IconPage", 172, 8, 309, 221),
    Heading("Label6", "IconPage", 176, 24, 305, 13, "Umístění ikon"),
    Row(Kind::kLabel, "Label2", "IconPage", 172, 233, 72, 13)
        .Text("Umístit ikony ...")
        .With(kCentered | kTransparent),
    Row(Kind::kPicture, "Image1", "IconPage", 180, 12, 32, 32).Art("Image1"),
    Row(Kind::kCheckList, "ProgIcon", "IconPage", 172, 248, 309, 30)
        .Text("Na plochu\nDo hlavní nabídky START")
        .Tab(0)
        .On("ProgIconClick"),
    BackButton("BitBtn7", "IconPage").Tab(1).Tag(2),
    ContinueButton("BitBtn8", "IconPage").Tab(2).Tag(4),
    CancelButton("BitBtn9", "IconPage").Tab(3),
    TextMemo("Memo4", "IconPage", 180, 48, 293, 173).Tab(4),
    SidePanel("Panel8", "IconPage").Tab(5),
    SidePicture("Image9", "Panel8"),

    // Page 4: summary.
    Row(Kind::kPage, "Installpage", "pages", 0, 0, 0, 0),
    Row(Kind::kMemo, "Memo1", "Installpage", 172, 8, 305, 265)
        .Font(kMemoFont)
        .Color(ui::clBtnFace)
        .With(kVerticalScroll)
        .Tab(0),
    BackButton("BitBtn10", "Installpage").Hint(kBackHint).Tab(1).Tag(3),
    Row(Kind::kButton, "BitBtn4", "Installpage", 272, 283, 100, 29)
        .Text("Dokončit....")
        .Art("glyph:finish")
        .Hint(kContinueHint)
        .Tab(2)
        .Tag(5)
        .On("BitBtn4Click"),
    CancelButton("BitBtn6", "Installpage").Hint(kCancelHint).Tab(3),
    SidePanel("Panel9", "Installpage").Tab(4),
    SidePicture("Image10", "Panel9"),

    // Page 5: uninstall.
    Row(Kind::kPage, "TabSheet2", "pages", 0, 0, 0, 0),
    Frame("Bevel5", "TabSheet2", 172, 8, 305, 261),
    Heading("Label9", "TabSheet2", 176, 16, 297, 17, "--- Uninstall  ---")
        .Font(kUninstallHeadingFont),
    Heading("Label3", "TabSheet2", 176, 32, 297, 17, "odstranění programu Zelvik z počítače.")
        .Font(kUninstallHeadingFont),
    Row(Kind::kButton, "BitBtn11", "TabSheet2", 332, 284, 105, 25)
        .Text("Odinstalovat...")
        .Art("glyph:uninstall")
        .Tab(0)
        .Tag(0)
        .On("BitBtn11Click"),
    Row(Kind::kButton, "BitBtn12", "TabSheet2", 220, 284, 105, 25)
        .Text("Storno")
        .Art("glyph:cancel")
        .With(kDefault)
        .Tab(1)
        .Tag(0)
        .On("BitBtn12Click"),
    TextMemo("Memo5", "TabSheet2", 180, 48, 289, 213).Text(kUninstallText).Tab(2),
    SidePanel("Panel10", "TabSheet2").Tab(3),
    SidePicture("Image11", "Panel10"),

    // The progress panel of the installation run.
    Row(Kind::kPanel, "Panel1", "", 100, 396, 450, 70)
        .Bevels(Cut::kLowered, Cut::kRaised)
        .With(kHidden)
        .Tab(1),
    Row(Kind::kPanel, "Panel2", "Panel1", 2, 2, 41, 66).Tab(0),
    Row(Kind::kProgressBar, "ALProgressBar1", "Panel2", 24, 20, 11, 43).Progress(kVerticalBar),
    Row(Kind::kProgressBar, "ALProgressBar3", "Panel2", 8, 20, 11, 43).Progress(kVerticalBar),
    Row(Kind::kPicture, "Image4", "Panel2", 24, 3, 16, 16).Art("Image4").With(kTransparent),
    Row(Kind::kPicture, "Image2", "Panel2", 7, 3, 16, 16).Art("Image2").With(kTransparent),
    Row(Kind::kPanel, "Panel3", "Panel1", 43, 2, 405, 66).Tab(1),
    Row(Kind::kProgressBar, "ALProgressBar2", "Panel3", 7, 46, 390, 13).Progress(kHorizontalBar),
    Row(Kind::kLabel, "Label8", "Panel3", 10, 20, 129, 13).Text("Probíhá instalace programu"),
    Row(Kind::kLabel, "Label10", "Panel3", 10, 33, 38, 13).Text("Label10"),
    Row(Kind::kLabel, "Mess", "Panel3", 10, 7, 25, 13).Text("Mess"),

    // The picture panel: its only picture stays hidden.
    Row(Kind::kPanel, "Panel4", "", 206, 196, 354, 104)
        .Bevels(Cut::kRaised, Cut::kRaised)
        .With(kHidden)
        .Tab(2),
    Row(Kind::kPicture, "Image5", "Panel4", 2, 2, 350, 100).Art("Image5").With(kHidden),

    Row(Kind::kMemo, "uninstallfiles", "", 12, 476, 557, 57).With(kHidden | kBothScrollBars).Tab(3),
};

// clang-format off
constexpr FormTable kForm1{
    "Form1",
    FormBorder::kNone,
    "",            // no caption text
    575, 483,      // client size until the start-up covers the desktop
    ui::clBtnFace,
    false,         // not on top of other windows
    false,         // placed by the start-up, not centred
    "FormCreate", "FormDestroy", "FormPaint", "FormResize", "FormShow",
    kControls, std::size(kControls),
};
// clang-format on

} // namespace

const FormTable& Form1Layout() {
    return kForm1;
}

} // namespace layouts
