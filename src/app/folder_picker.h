// The folder picker: a stay-on-top tool window with the folder tree, the resulting
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

class FolderPicker {
  public:
    FolderPicker();
    ~FolderPicker();
    FolderPicker(const FolderPicker&) = delete;
    FolderPicker& operator=(const FolderPicker&) = delete;

    ui::Window& Window() { return built_.Window(); }
    layouts::BuiltForm& Controls() { return built_; }
    ui::FolderTree& Tree() { return tree_; }
    const ui::Label& Path() const { return path_; }
    // ui::mrOk or ui::mrCancel.
    int ShowModal() { return Window().ShowModal(); }
    // The product's folder name ("regdir"), set before each showing.
    void SetProductFolder(std::string folder) { product_folder_ = std::move(folder); }
    const std::string& ProductFolder() const { return product_folder_; }
    // The folder selected in the tree, without a trailing separator.
    std::string SelectedPath() const { return tree_.SelectedPath(); }

  private:
    static const layouts::Handler<FolderPicker> kHandlers[];

    // Shown and on every change of the tree's selection: where the product would go.
    void ShowProductPlace(ui::Control& sender);

    layouts::MemberHandlers<FolderPicker> handlers_;
    layouts::BuiltForm built_;
    std::string product_folder_;
    ui::FolderTree& tree_;
    ui::Label& path_;
};

} // namespace app
