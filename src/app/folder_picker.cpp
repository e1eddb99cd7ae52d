#include "app/folder_picker.h"

#include "app/wizard_text.h"

namespace app {

const layouts::Handler<TForm2> TForm2::kHandlers[] = {
    {"FormShow", &TForm2::FormShow},
    {"dirtreeChange", &TForm2::dirtreeChange},
};

TForm2::TForm2()
    : handlers_(*this, kHandlers),
      built_(layouts::Form2Layout(), handlers_),
      dirtree(built_.Get<ui::FolderTree>("dirtree")),
      Label1(built_.Get<ui::Label>("Label1")) {
    // The tree shows its selection in the label before its change handler runs.
    dirtree.SetPathLabel(&Label1);
    built_.FireCreate();
}

TForm2::~TForm2() {
    Window().Destroy();
}

void TForm2::FormShow(ui::Control&) {
    ShowProductPlace();
}

void TForm2::dirtreeChange(ui::Control&) {
    ShowProductPlace();
}

void TForm2::ShowProductPlace() {
    Label1.SetText(PickerLabel(dirtree.SelectedPath(), product_folder_));
}

} // namespace app
