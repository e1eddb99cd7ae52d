// The folder picker TForm2: a stay-on-top tool window with the folder tree, the resulting
// path under it and OK and Cancel. The wizard hands it the product's folder name and shows it
// modally; the label shows where the product would go for the folder selected.
#pragma once

#include <string>
#include <utility>

#include "ui/folder_tree.h"
#include "ui/label.h"
#include "ui/window.h"
#include "widgets/layouts/builder.h"

namespace app {

class TForm2 {
  public:
    TForm2();
    ~TForm2();
    TForm2(const TForm2&) = delete;
    TForm2& operator=(const TForm2&) = delete;

    ui::Window& Window() { return built_.Window(); }
    layouts::BuiltForm& Controls() { return built_; }
    // ui::mrOk or ui::mrCancel.
    int ShowModal() { return Window().ShowModal(); }
    // The product's folder name ("regdir"), set before each showing.
    void SetProductFolder(std::string folder) { product_folder_ = std::move(folder); }
    const std::string& ProductFolder() const { return product_folder_; }

    void FormShow(ui::Control& sender);
    void dirtreeChange(ui::Control& sender);

  private:
    static const layouts::Handler<TForm2> kHandlers[];

    void ShowProductPlace();

    layouts::MemberHandlers<TForm2> handlers_;
    layouts::BuiltForm built_;
    std::string product_folder_;

  public:
    ui::FolderTree& dirtree;
    ui::Label& Label1;
};

} // namespace app
