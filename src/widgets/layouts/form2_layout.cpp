// The folder picker: a small stay-on-top tool window with the folder tree, the chosen
// path under it and the toolkit's OK and Cancel buttons.
#include <iterator>

#include "contract/controls.h"
#include "widgets/layouts/layout.h"

namespace layouts {
namespace {

constexpr FontRow kPathFont{"MS Sans Serif", -11, 0, ui::clYellow, 1};

constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

using C = contract::PickerControl;
using contract::NameOf;

// A control of the picker, named by its role, on the window itself.
constexpr ControlRow Row(Kind kind, C name, int left, int top, int width, int height) {
    return layouts::Row(kind, NameOf(name), "", left, top, width, height);
}

constexpr ControlRow kControls[] = {
    Row(Kind::kBevel, C::kPathFrame, 4, 228, 341, 21),
    Row(Kind::kLabel, C::kPath, 7, 232, 334, 13)
        .Text("C:")
        .Font(kPathFont)
        .With(kFixedSize | kCentered | kTransparent),
    Row(Kind::kFolderTree, C::kTree, 4, 4, 341, 217).Tab(0).On("ShowProductPlace"),
    Row(Kind::kButton, C::kCancel, 66, 256, 100, 25)
        .Text("Cancel")
        .Art("stock:cancel")
        .Modal(kModalCancel)
        .With(kCancel)
        .Tab(1),
    Row(Kind::kButton, C::kOk, 182, 256, 100, 25)
        .Text("OK")
        .Art("stock:ok")
        .Modal(kModalOk)
        .With(kDefault)
        .Tab(2),
};

// clang-format off
constexpr FormTable kForm2{
    contract::kFolderPickerName,
    FormBorder::kToolWindow,
    "Setup",
    348, 286,      // client size
    ui::clBlack,
    true,          // stays on top
    true,          // centred on the screen each time it is shown
    "", "", "", "", "ShowProductPlace",
    kControls, std::size(kControls),
};
// clang-format on

} // namespace

const FormTable& Form2Layout() {
    return kForm2;
}

} // namespace layouts
