#include "ui/folder_tree.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <string_view>

#include "platform/code_page.h"
#include "platform/system_library.h"

namespace ui {
namespace {

HTREEITEM Node(void* node) {
    return static_cast<HTREEITEM>(node);
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

} // namespace

namespace {

// Folders a test gives are probed by listing them; the system's by a search that stops at the
// first sub-folder.
FolderTree::SubfolderProbe ProbeFor(const FolderTree::FolderLister& given) {
    if (!given) return &FolderTree::SystemHasSubfolders;
    return [given](const std::string& path) { return !given(path).empty(); };
}

} // namespace

FolderTree::FolderTree(DriveLister drives, FolderLister folders, SubfolderProbe has_subfolders)
    : drives_(drives ? std::move(drives) : DriveLister(&FolderTree::SystemDrives)),
      folders_(folders ? folders : FolderLister(&FolderTree::SystemFolders)),
      has_subfolders_(has_subfolders ? std::move(has_subfolders) : ProbeFor(folders)) {
    SetBackgroundColor(SystemColor(COLOR_WINDOW));
}

bool FolderTree::ListsDrive(DriveKind kind) {
    return kind == DriveKind::kFixed || kind == DriveKind::kRemote || kind == DriveKind::kUnknown;
}

std::vector<DriveEntry> FolderTree::SystemDrives() {
    std::vector<DriveEntry> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        drives.push_back({static_cast<char>('A' + i), static_cast<DriveKind>(GetDriveTypeW(root))});
    }
    return drives;
}

namespace {

bool IsSubfolder(const WIN32_FIND_DATAW& data) {
    const std::wstring_view name = data.cFileName;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..";
}

// Calls `found` with each sub-folder of `path` until it returns false. Limiting the search to
// folders is only a hint to the file system: files come too and are skipped here.
template <typename Found>
void ForEachSubfolder(const std::string& path, Found found) {
    WIN32_FIND_DATAW data;
    const std::wstring pattern = platform::Widen(path) + L"\\*";
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data,
                                   FindExSearchLimitToDirectories, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (IsSubfolder(data) && !found(data)) break;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

bool FolderTree::SystemHasSubfolders(const std::string& path) {
    bool any = false;
    ForEachSubfolder(path, [&any](const WIN32_FIND_DATAW&) {
        any = true;
        return false;
    });
    return any;
}

std::vector<std::string> FolderTree::SystemFolders(const std::string& path) {
    std::vector<std::wstring> names;
    ForEachSubfolder(path, [&names](const WIN32_FIND_DATAW& data) {
        names.emplace_back(data.cFileName);
        return true;
    });
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
    std::vector<std::string> result;
    for (const std::wstring& name : names) result.push_back(platform::Narrow(name));
    return result;
}

namespace {

// The tree view's class comes with the common controls, loaded when the first tree is made.
void RegisterTreeViewClass() {
    static const bool registered = [] {
        auto* init = platform::SystemFunctionAs<decltype(InitCommonControlsEx)>(
            L"comctl32.dll", "InitCommonControlsEx");
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        return init && init(&classes);
    }();
    (void)registered;
}

} // namespace

Control::CreateParams FolderTree::GetCreateParams() const {
    RegisterTreeViewClass();
    return SystemClass(WC_TREEVIEWW,
                       TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                           WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
                       WS_EX_STATICEDGE);
}

void FolderTree::SetIndent(int pixels) {
    indent_ = pixels;
    if (HandleAllocated()) SendMessageW(Handle(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
}

void FolderTree::AfterCreate() {
    SendMessageW(Handle(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
    Refresh();
}

void* FolderTree::InsertNode(void* parent, const std::string& text, const std::string& path) {
    const std::wstring wide = platform::Widen(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? Node(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(wide.c_str());
    insert.item.lParam = static_cast<LPARAM>(paths_.size());
    insert.item.cChildren = has_subfolders_(path) ? 1 : 0;
    paths_.push_back(path);
    read_.push_back(false);
    return reinterpret_cast<void*>(
        SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FolderTree::Refresh() {
    filling_ = true;
    SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    paths_.clear();
    read_.clear();
    void* first = nullptr;
    for (const DriveEntry& drive : drives_()) {
        if (!ListsDrive(drive.kind)) continue;
        const std::string root = std::string(1, drive.letter) + ":";
        void* node = InsertNode(nullptr, root, root);
        if (!first) first = node;
    }
    if (first) SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
    filling_ = false;
}

std::vector<std::string> FolderTree::DriveTexts() const {
    std::vector<std::string> texts;
    auto node = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (node) {
        wchar_t buffer[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = node;
        item.pszText = buffer;
        item.cchTextMax = MAX_PATH;
        SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        texts.push_back(platform::Narrow(buffer));
        node = reinterpret_cast<HTREEITEM>(
            SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
    }
    return texts;
}

void FolderTree::Expand(void* node) {
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = Node(node);
    if (!SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return;
    const auto index = static_cast<size_t>(item.lParam);
    if (index >= read_.size() || read_[index]) return;
    read_[index] = true;
    const std::string path = paths_[index];
    const std::vector<std::string> names = folders_(path);
    for (const std::string& name : names) InsertNode(node, name, path + "\\" + name);
    if (names.empty()) {
        item.mask = TVIF_CHILDREN;
        item.cChildren = 0;
        SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

std::string FolderTree::SelectedPath() const {
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem =
        reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item.hItem || !SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return {};
    }
    const auto index = static_cast<size_t>(item.lParam);
    return index < paths_.size() ? paths_[index] : std::string();
}

bool FolderTree::SetSelectedPath(const std::string& path) {
    std::string want = path;
    while (want.size() > 2 && want.back() == '\\') want.pop_back();
    const std::wstring wanted = Lower(platform::Widen(want));
    auto node = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (node) {
        TVITEMW item{};
        item.mask = TVIF_PARAM;
        item.hItem = node;
        SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const std::wstring here = Lower(platform::Widen(paths_[static_cast<size_t>(item.lParam)]));
        if (here == wanted) {
            SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
            SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
            return true;
        }
        if (wanted.compare(0, here.size() + 1, here + L"\\") == 0) {
            Expand(node);
            SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
            node = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CHILD,
                                                            reinterpret_cast<LPARAM>(node)));
        } else {
            node = reinterpret_cast<HTREEITEM>(
                SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
        }
    }
    return false;
}

void FolderTree::SelectionChanged() {
    if (filling_) return;
    if (path_label_) path_label_->SetText(SelectedPath());
    if (on_change) on_change(*this);
}

// While the tree lacks the focus the selected folder is drawn plainly and outlined.
std::intptr_t FolderTree::CustomDraw(void* raw) {
    auto& draw = *static_cast<NMTVCUSTOMDRAW*>(raw);
    const bool unfocused_selection =
        GetFocus() != Handle() &&
        draw.nmcd.dwItemSpec ==
            static_cast<DWORD_PTR>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        if (!unfocused_selection) return CDRF_DODEFAULT;
        draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
        draw.clrTextBk = GetSysColor(COLOR_WINDOW);
        draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
        return CDRF_NOTIFYPOSTPAINT | CDRF_NEWFONT;
    case CDDS_ITEMPOSTPAINT: {
        // TVM_GETITEMRECT takes the item in the rectangle's place.
        RECT r{};
        const auto item = static_cast<HTREEITEM>(reinterpret_cast<void*>(draw.nmcd.dwItemSpec));
        static_assert(sizeof item <= sizeof r);
        std::memcpy(&r, &item, sizeof item);
        if (SendMessageW(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) {
            Painter painter(draw.nmcd.hdc);
            painter.FrameRect({r.left, r.top, r.right, r.bottom}, clBtnShadow);
        }
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}

bool FolderTree::HandleNotification(Message& m) {
    if (m.id != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(m.lparam);
    switch (header->code) {
    case TVN_ITEMEXPANDINGW: {
        const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(m.lparam);
        if (tree->action & TVE_EXPAND) Expand(tree->itemNew.hItem);
        m.result = FALSE;
        return true;
    }
    case TVN_SELCHANGEDW: SelectionChanged(); return true;
    case NM_CUSTOMDRAW: m.result = CustomDraw(reinterpret_cast<void*>(m.lparam)); return true;
    default: return false;
    }
}

} // namespace ui
