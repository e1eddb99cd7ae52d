#include "app/folder_picker.h"

#include "app/wizard_text.h"
#include "contract/controls.h"

namespace app {

using contract::NameOf;
using contract::PickerControl;

const layouts::Handler<FolderPicker> FolderPicker::kHandlers[] = {
    {"ShowProductPlace", &FolderPicker::ShowProductPlace},
};

FolderPicker::FolderPicker()
    : handlers_(*this, kHandlers),
      built_(layouts::Form2Layout(), handlers_),
      tree_(built_.Get<ui::FolderTree>(NameOf(PickerControl::kTree))),
      path_(built_.Get<ui::Label>(NameOf(PickerControl::kPath))) {
    // The tree shows its selection in the label before its change handler runs.
    tree_.SetPathLabel(&path_);
    built_.FireCreate();
}

FolderPicker::~FolderPicker() {
    Window().Destroy();
}

void FolderPicker::ShowProductPlace(ui::Control&) {
    path_.SetText(PickerLabel(tree_.SelectedPath(), product_folder_));
}

} // namespace app
