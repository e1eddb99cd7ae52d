// The folder picker TForm2: a small stay-on-top tool window with the folder tree, the chosen
// path under it and the toolkit's OK and Cancel buttons.
#include <iterator>

#include "widgets/layouts/layout.h"

namespace layouts {
namespace {

constexpr FontRow kPathFont{"MS Sans Serif", -11, 0, ui::clYellow, 1};

constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

constexpr ControlRow kControls[] = {
    Row(Kind::kBevel, "Bevel1", "", 4, 228, 341, 21),
    Row(Kind::kLabel, "Label1", "", 7, 232, 334, 13)
        .Text("C:")
        .Font(kPathFont)
        .With(kFixedSize | kCentered | kTransparent),
    Row(Kind::kFolderTree, "dirtree", "", 4, 4, 341, 217).Tab(0).On("dirtreeChange"),
    Row(Kind::kButton, "BitBtn1", "", 66, 256, 100, 25)
        .Text("Cancel")
        .Art("stock:cancel")
        .Modal(kModalCancel)
        .With(kCancel)
        .Tab(1),
    Row(Kind::kButton, "BitBtn2", "", 182, 256, 100, 25)
        .Text("OK")
        .Art("stock:ok")
        .Modal(kModalOk)
        .With(kDefault)
        .Tab(2),
};

// clang-format off
constexpr FormTable kForm2{
    "Form2",
    FormBorder::kToolWindow,
    "Setup",
    348, 286,      // client size
    ui::clBlack,
    true,          // stays on top
    true,          // centred on the screen each time it is shown
    "", "", "", "", "FormShow",
    kControls, std::size(kControls),
};
// clang-format on

} // namespace

const FormTable& Form2Layout() {
    return kForm2;
}

} // namespace layouts
