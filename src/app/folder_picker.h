// The folder picker TForm2: a stay-on-top tool window with the folder tree, the resulting
// path under it and OK and Cancel. The wizard shows it modally and fills in its handlers.
#pragma once

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

    void FormShow(ui::Control& sender);
    void dirtreeChange(ui::Control& sender);

  private:
    static const layouts::Handler<TForm2> kHandlers[];

    layouts::MemberHandlers<TForm2> handlers_;
    layouts::BuiltForm built_;

  public:
    ui::FolderTree& dirtree;
    ui::Label& Label1;
};

} // namespace app
