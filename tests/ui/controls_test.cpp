// The controls one by one: memo lines, the drop-down list, the check list, radio groups, the
// page control, labels' automatic size, and the folder tree with its drive filter.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "support/scratch.h"
#include "ui/choice_controls.h"
#include "ui/folder_tree.h"
#include "ui/label.h"
#include "ui/memo.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui_test_support.h"

namespace {

using ui_test::Pump;
using ui_test::ShownWindow;
using ui_test::WindowText;

TEST(MemoTest, LinesRoundTripWithBlankAndEmptyLines) {
    auto form = ShownWindow("MemoForm", 300, 200);
    ui::MemoOptions options;
    options.read_only = true;
    options.alignment = ui::Alignment::kCenter;
    options.scroll_bars = ui::ScrollBars::kVertical;
    auto& memo = form->Add<ui::Memo>("Memo", ui::Rect::FromBounds(0, 0, 200, 100), options);
    const std::vector<std::string> lines = {"Stisknutím tlačítka ", " ", "", "  ", "konec"};
    memo.SetLines(lines);
    EXPECT_EQ(memo.Lines(), lines);
    EXPECT_EQ(WindowText(memo.Handle()), "Stisknutím tlačítka \r\n \r\n\r\n  \r\nkonec\r\n");
    memo.AddLine("další");
    EXPECT_EQ(memo.Lines().back(), "další");
    EXPECT_EQ(memo.Lines().size(), 6u);
    memo.Clear();
    EXPECT_TRUE(memo.Lines().empty());
    memo.AddLine("");
    EXPECT_EQ(memo.Lines(), std::vector<std::string>{""});
    const LONG style = GetWindowLongW(memo.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
}

TEST(MemoTest, ChangeEventsFollowTheText) {
    auto form = ShownWindow("MemoEvents", 300, 200);
    auto& memo = form->Add<ui::Memo>("Memo", ui::Rect::FromBounds(0, 0, 200, 100));
    int changes = 0;
    memo.on_change = [&changes](ui::Control&) { ++changes; };
    memo.SetLines({"a"});
    EXPECT_GE(changes, 1);
}

TEST(ComboBoxTest, ClosedHeightIsTheTablesAndEntriesCanBeReplaced) {
    auto form = ShownWindow("ComboForm", 400, 200);
    auto& combo = form->Add<ui::ComboBox>("Directory", ui::Rect::FromBounds(10, 10, 309, 21));
    EXPECT_EQ(combo.Bounds(), ui::Rect::FromBounds(10, 10, 309, 21));
    EXPECT_TRUE((GetWindowLongW(combo.Handle(), GWL_STYLE) & 3) == CBS_DROPDOWNLIST);
    int changes = 0;
    combo.on_change = [&changes](ui::Control&) { ++changes; };
    combo.SetItems({"C:\\Program Files\\Zelvik", "C:\\Zelvik", "D:\\x", ".... Další adresář ...."});
    combo.SetItemIndex(3);
    EXPECT_EQ(changes, 0);
    combo.SetItemText(3, "D:\\Apps\\Zelvik");
    EXPECT_EQ(combo.ItemIndex(), 3);
    EXPECT_EQ(combo.Text(), "D:\\Apps\\Zelvik");
    EXPECT_EQ(combo.Items()[3], "D:\\Apps\\Zelvik");
    EXPECT_EQ(WindowText(combo.Handle()), "D:\\Apps\\Zelvik");
    combo.SetText("C:\\Zelvik");
    EXPECT_EQ(combo.ItemIndex(), 1);
    combo.Pick(0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.Text(), "C:\\Program Files\\Zelvik");
}

class CheckListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = ShownWindow("CheckForm", 400, 100);
        list_ =
            &form_->Add<ui::CheckListBox>("ProgIcon", ui::Rect::FromBounds(10, 10, 309, 30), 13);
        list_->SetItems({"Na plochu", "Do hlavní nabídky START"});
        list_->on_click = [this](ui::Control&) {
            clicks_.push_back({list_->Checked(0), list_->Checked(1)});
        };
        Pump();
    }
    void ClickAt(int x, int y) {
        SendMessageW(list_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    std::unique_ptr<ui::Window> form_;
    ui::CheckListBox* list_ = nullptr;
    std::vector<std::pair<bool, bool>> clicks_;
};

TEST_F(CheckListTest, TwoWholeRowsOfThirteenPixels) {
    EXPECT_EQ(SendMessageW(list_->Handle(), LB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_EQ(list_->Bounds(), ui::Rect::FromBounds(10, 10, 309, 30));
    EXPECT_EQ(list_->ClientSize().height, 26);
    EXPECT_EQ(list_->Items(), (std::vector<std::string>{"Na plochu", "Do hlavní nabídky START"}));
    EXPECT_FALSE(list_->Checked(0));
    EXPECT_FALSE(list_->Checked(1));
}

TEST_F(CheckListTest, TheCheckBoxTogglesTheTextOnlySelects) {
    ClickAt(5, 13 + 5); // check box of the second item
    ClickAt(100, 5);    // text of the first
    ClickAt(5, 13 + 5); // second again
    const std::vector<std::pair<bool, bool>> expected = {
        {false, true}, {false, true}, {false, false}};
    EXPECT_EQ(clicks_, expected);
    EXPECT_EQ(list_->ItemIndex(), 1);
    // The state is in the item data, where another process can read it.
    list_->SetChecked(0, true);
    EXPECT_EQ(SendMessageW(list_->Handle(), LB_GETITEMDATA, 0, 0), 1);
}

TEST_F(CheckListTest, SpaceTogglesTheSelectedItem) {
    SendMessageW(list_->Handle(), LB_SETCURSEL, 0, 0);
    SendMessageW(list_->Handle(), WM_CHAR, L' ', 0);
    EXPECT_TRUE(list_->Checked(0));
    ASSERT_EQ(clicks_.size(), 1u);
    EXPECT_TRUE(clicks_[0].first);
}

TEST(RadioButtonTest, OneCheckedPerParent) {
    auto form = ShownWindow("RadioForm", 400, 200);
    auto& yes = form->Add<ui::RadioButton>("Yes", ui::Rect::FromBounds(0, 0, 300, 17));
    auto& no = form->Add<ui::RadioButton>("No", ui::Rect::FromBounds(0, 16, 300, 17));
    auto& panel = form->Add<ui::Panel>("Other", ui::Rect::FromBounds(0, 50, 300, 40));
    auto& elsewhere = panel.Add<ui::RadioButton>("Elsewhere", ui::Rect::FromBounds(0, 0, 100, 17));
    elsewhere.SetChecked(true);
    EXPECT_FALSE(yes.Checked());
    EXPECT_FALSE(no.Checked());
    std::vector<std::string> clicked;
    yes.on_click = [&](ui::Control& c) {
        clicked.push_back(c.Name() + (yes.Checked() ? "+" : "-"));
    };
    no.on_click = [&](ui::Control& c) { clicked.push_back(c.Name() + (no.Checked() ? "+" : "-")); };
    SendMessageW(yes.Handle(), BM_CLICK, 0, 0);
    SendMessageW(no.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Yes+", "No+"}));
    EXPECT_FALSE(yes.Checked());
    EXPECT_TRUE(no.Checked());
    EXPECT_TRUE(elsewhere.Checked());
}

TEST(PageControlTest, OnePageVisibleInsideTheFrame) {
    auto form = ShownWindow("PagesForm", 600, 400);
    auto& pages = form->Add<ui::PageControl>("pages", ui::Rect::FromBounds(36, 60, 495, 333));
    for (const char* name : {"Portal", "Licence", "DirPage"}) pages.AddPage(name);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages.PageAt(i).Bounds(), ui::Rect::FromBounds(4, 4, 487, 325));
        EXPECT_EQ(pages.PageAt(i).PageIndex(), i);
    }
    pages.SetActivePageIndex(2);
    pages.SetActivePageIndex(7);
    EXPECT_EQ(pages.ActivePageIndex(), 2);
    EXPECT_EQ(pages.ActivePage(), &pages.PageAt(2));
    std::vector<bool> shown;
    for (int i = 0; i < 3; ++i) shown.push_back(IsWindowVisible(pages.PageAt(i).Handle()));
    EXPECT_EQ(shown, (std::vector<bool>{false, false, true}));
}

// The size a text takes in a window's font, measured here for comparison.
ui::Size Extent(HWND window, const std::string& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const std::wstring wide = platform::Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {size.cx, size.cy};
}

TEST(LabelTest, AutoSizedLabelsFollowTheirTextFixedOnesKeepTheirSize) {
    auto form = ShownWindow("LabelForm", 400, 100);
    auto& grows = form->Add<ui::Label>("Label8", ui::Rect::FromBounds(10, 20, 129, 13));
    grows.SetText("Probíhá instalace programu");
    auto& fixed = form->Add<ui::Label>("Label1", ui::Rect::FromBounds(176, 25, 105, 13));
    fixed.SetAutoSize(false);
    fixed.SetText("Umístění programu a ještě mnohem delší text");
    const ui::Size extent = Extent(grows.Handle(), "Probíhá instalace programu");
    EXPECT_EQ(grows.Bounds(), ui::Rect::FromBounds(10, 20, extent.width, extent.height));
    EXPECT_EQ(fixed.Bounds(), ui::Rect::FromBounds(176, 25, 105, 13));
    grows.SetText("C:\\Program Files\\Zelvik\\a\\much\\longer\\path.txt");
    EXPECT_EQ(grows.Left(), 10);
    EXPECT_GT(grows.Width(), extent.width);
    EXPECT_EQ(WindowText(grows.Handle()), "C:\\Program Files\\Zelvik\\a\\much\\longer\\path.txt");
}

// A tree over made-up drives and folders.
std::vector<ui::DriveEntry> AllKinds() {
    return {{'A', ui::DriveKind::kRemovable}, {'B', ui::DriveKind::kNoRootDir},
            {'C', ui::DriveKind::kFixed},     {'D', ui::DriveKind::kCdRom},
            {'E', ui::DriveKind::kRemote},    {'F', ui::DriveKind::kRamDisk},
            {'G', ui::DriveKind::kUnknown}};
}

std::vector<std::string> FakeFolders(const std::string& path) {
    static const std::map<std::string, std::vector<std::string>> tree = {
        {"C:", {"Apps", "Program Files"}}, {"C:\\Apps", {"Zelvik"}}, {"E:", {"share"}}};
    const auto it = tree.find(path);
    return it == tree.end() ? std::vector<std::string>{} : it->second;
}

TEST(FolderTreeTest, ListsOnlyFixedNetworkAndUnknownDrives) {
    auto form = ShownWindow("TreeForm", 400, 300);
    auto& tree = form->Add<ui::FolderTree>("dirtree", ui::Rect::FromBounds(4, 4, 341, 217),
                                           &AllKinds, &FakeFolders);
    EXPECT_EQ(tree.DriveTexts(), (std::vector<std::string>{"C:", "E:", "G:"}));
    EXPECT_EQ(tree.SelectedPath(), "C:");
    EXPECT_EQ(SendMessageW(tree.Handle(), TVM_GETINDENT, 0, 0), 19);
    EXPECT_TRUE(GetWindowLongW(tree.Handle(), GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(GetWindowLongW(tree.Handle(), GWL_STYLE) & TVS_SHOWSELALWAYS);
}

TEST(FolderTreeTest, TheSystemsDrivesThroughTheSameFilter) {
    auto form = ShownWindow("TreeForm2", 400, 300);
    auto& tree = form->Add<ui::FolderTree>("dirtree", ui::Rect::FromBounds(4, 4, 341, 217));
    std::vector<std::string> expected;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        if (!(mask & (1u << i))) continue;
        const UINT type = GetDriveTypeW(root);
        if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_UNKNOWN) {
            expected.push_back(std::string(1, static_cast<char>('A' + i)) + ":");
        }
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(tree.DriveTexts(), expected);
}

TEST(FolderTreeTest, SelectionGoesToThePathLabelBeforeTheChangeEvent) {
    auto form = ShownWindow("TreeForm3", 400, 300);
    auto& tree = form->Add<ui::FolderTree>("dirtree", ui::Rect::FromBounds(4, 4, 341, 217),
                                           &AllKinds, &FakeFolders);
    auto& label = form->Add<ui::Label>("Label1", ui::Rect::FromBounds(7, 232, 334, 13));
    tree.SetPathLabel(&label);
    std::vector<std::string> seen;
    tree.on_change = [&](ui::Control&) { seen.push_back(label.Text()); };
    EXPECT_TRUE(tree.SetSelectedPath("C:\\Apps\\Zelvik\\"));
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\Zelvik");
    EXPECT_TRUE(tree.SetSelectedPath("e:\\SHARE"));
    EXPECT_EQ(tree.SelectedPath(), "E:\\share");
    EXPECT_FALSE(tree.SetSelectedPath("D:\\"));
    EXPECT_FALSE(tree.SetSelectedPath("C:\\Nowhere"));
    EXPECT_EQ(seen, (std::vector<std::string>{"C:\\Apps\\Zelvik", "E:\\share"}));
}

TVITEMW ItemOf(HWND tree, HTREEITEM node) {
    TVITEMW item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = node;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

// Only a folder that holds a folder gets an expand mark, known before it is opened; files in
// it are no reason for one.
TEST(FolderTreeTest, ExpandMarksOnlyOnFoldersThatHoldFolders) {
    scratch::Folder dir;
    std::filesystem::create_directories(scratch::FsPath(dir.Path("full", "inner")));
    scratch::WriteFile(dir.Path("files", "note.txt"), "a file, no folder");
    std::filesystem::create_directories(scratch::FsPath(dir.Path("empty")));
    EXPECT_TRUE(ui::FolderTree::SystemHasSubfolders(dir.Path()));
    EXPECT_TRUE(ui::FolderTree::SystemHasSubfolders(dir.Path("full")));
    EXPECT_FALSE(ui::FolderTree::SystemHasSubfolders(dir.Path("files")));
    EXPECT_FALSE(ui::FolderTree::SystemHasSubfolders(dir.Path("empty")));

    auto form = ShownWindow("TreeForm4", 400, 300);
    auto& tree = form->Add<ui::FolderTree>("dirtree", ui::Rect::FromBounds(4, 4, 341, 217),
                                           &AllKinds, &FakeFolders);
    HWND window = tree.Handle();
    std::vector<int> drives; // C:, E:, G:
    for (HTREEITEM node = TreeView_GetRoot(window); node;
         node = TreeView_GetNextSibling(window, node))
        drives.push_back(ItemOf(window, node).cChildren);
    EXPECT_EQ(drives, (std::vector<int>{1, 1, 0}));
    ASSERT_TRUE(tree.SetSelectedPath("C:\\Program Files"));
    const HTREEITEM program_files = TreeView_GetSelection(window);
    EXPECT_EQ(ItemOf(window, TreeView_GetPrevSibling(window, program_files)).cChildren, 1);
    EXPECT_EQ(ItemOf(window, program_files).cChildren, 0);
}

} // namespace
