// The main window TForm1: built from its layout, it paints the shaded background, keeps the
// page control centred, covers the desktop and switches to the progress layout when the
// installation run starts. The wizard, the run and the uninstall fill in the handlers.
#pragma once

#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/window.h"
#include "widgets/layouts/builder.h"

namespace app {

class TForm1 {
  public:
    TForm1();
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    ui::Window& Window() { return built_.Window(); }
    layouts::BuiltForm& Controls() { return built_; }

    // Handlers named by the layout.
    void FormCreate(ui::Control& sender);
    void FormDestroy(ui::Control& sender);
    void FormPaint(ui::Control& sender, ui::Painter& painter);
    void FormResize(ui::Control& sender);
    void FormShow(ui::Control& sender);
    void StornoClick(ui::Control& sender);
    void BitBtn5Click(ui::Control& sender);
    void RadioButtyesClick(ui::Control& sender);
    void RadioButtNOClick(ui::Control& sender);
    void DirectoryChange(ui::Control& sender);
    void ProgIconClick(ui::Control& sender);
    void BitBtn4Click(ui::Control& sender);
    void BitBtn11Click(ui::Control& sender);
    void BitBtn12Click(ui::Control& sender);

    // The last step of the start-up: the window at 0, 0 with the size of the whole desktop.
    void PlaceOnDesktop();
    // The first step of the installation run: the progress and picture panels placed and
    // shown, the pages hidden.
    void ShowProgressLayout();

  private:
    static const layouts::Handler<TForm1> kHandlers[];

    layouts::MemberHandlers<TForm1> handlers_;
    layouts::BuiltForm built_;

  public:
    // The controls the window's own code uses.
    ui::PageControl& pages;
    ui::Panel& Panel1;
    ui::Panel& Panel4;
};

} // namespace app
