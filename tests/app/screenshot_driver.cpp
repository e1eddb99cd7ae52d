// Puts the installer's windows into each state worth a picture and waits, in each, until the
// screenshot script has taken it: the driver writes <folder>\<name>.ready and goes on when
// <folder>\<name>.done appears. The texts filled in here are samples that stand in for what
// setup.ini and the wizard supply later; Czech letters among them show whether they render.
//   app_screenshot_driver.exe FOLDER
#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "app/folder_picker.h"
#include "app/main_window.h"
#include "platform/shell_link.h"
#include "ui/choice_controls.h"
#include "ui/label.h"
#include "ui/memo.h"
#include "ui/window.h"

namespace {

using C = contract::MainControl;
using contract::NameOf;

bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

// Lets the windows settle, announces the state and waits for the picture.
bool Shot(const std::string& folder, const std::string& name) {
    using Clock = std::chrono::steady_clock;
    const auto settle = Clock::now() + std::chrono::milliseconds(700);
    while (Clock::now() < settle) {
        ui::Application::ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ofstream(folder + "\\" + name + ".ready") << name << "\n";
    const auto give_up = Clock::now() + std::chrono::seconds(60);
    while (!Exists(folder + "\\" + name + ".done")) {
        if (Clock::now() > give_up) {
            std::cerr << "no screenshot of " << name << " within 60 s\n";
            return false;
        }
        ui::Application::ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void FillSamples(app::MainWindow& form) {
    form.Controls().Relief(NameOf(C::kTitle)).Label().SetCaption("Zelvik v.2.10");
    const std::vector<std::string> pangram = {"Vítejte v instalaci programu Zelvik.", "",
                                              "Příliš žluťoučký kůň úpěl ďábelské ódy.",
                                              "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY."};
    form.Get<ui::Memo>(C::kWelcomeText).SetLines(pangram);
    form.Get<ui::Memo>(C::kFolderText)
        .SetLines({"Zvolte složku, do které se program nainstaluje."});
    form.Get<ui::Memo>(C::kIconText).SetLines({"Zvolte, kam se mají umístit ikony programu."});
    form.Get<ui::Memo>(C::kLicenceText).SetLines({"Licenční soubor nebyl nalezen"});
    auto& directory = form.Get<ui::ComboBox>(C::kFolderChoice);
    directory.SetItems({"C:\\Program Files\\Zelvik", "C:\\Zelvik",
                        "C:\\users\\Public\\Desktop\\Zelvik", ".... Další adresář ...."});
    directory.SetItemIndex(0);
    form.Get<ui::Memo>(C::kSummary)
        .SetLines({"Installation of  Zelvik", "Program place: -C:\\Program Files\\Zelvik", "",
                   "Icon place:", "- START/PROGRAMY/Zelvik", "- Desktop", "",
                   "When you press Finish Installation will be start", ""});
    form.Get<ui::CheckListBox>(C::kIconChoice).SetChecked(0, true);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: app_screenshot_driver FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    platform::ComApartment com;
    ui::Window::SetApplicationIconResource("APP_ICON");
    app::MainWindow form1;
    app::FolderPicker form2;
    FillSamples(form1);
    ui::Application::SetMainWindow(&form1.Window());
    form1.Window().Show();

    const char* const pages[] = {"page0-portal",   "page1-licence",     "page2-dirpage",
                                 "page3-iconpage", "page4-installpage", "page5-uninstall"};
    for (int i = 0; i < 6; ++i) {
        form1.Get<ui::PageControl>(C::kPages).SetActivePageIndex(i);
        if (!Shot(folder, pages[i])) return 1;
    }

    form1.Get<ui::PageControl>(C::kPages).SetActivePageIndex(4);
    form1.ShowProgressLayout();
    layouts::BuiltForm& c = form1.Controls();
    form1.Get<ui::Label>(C::kStepText).SetText("Copying files");
    form1.Get<ui::Label>(C::kMemberName).SetText("C:\\Program Files\\Zelvik\\data\\příklad.dat");
    c.ProgressBar(NameOf(C::kMemberBar)).Bar().SetPosition(70);
    c.ProgressBar(NameOf(C::kRunBar)).Bar().SetPosition(50);
    c.ProgressBar(NameOf(C::kRunBarVertical)).Bar().SetPosition(50);
    if (!Shot(folder, "progress")) return 1;

    form2.Tree().SetSelectedPath("C:\\windows");
    form2.Window().Show();
    if (!Shot(folder, "folder-picker")) return 1;
    return 0;
}
