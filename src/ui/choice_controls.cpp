#include "ui/choice_controls.h"

#include <windows.h>
#include <windowsx.h>

#include "platform/code_page.h"

namespace ui {
namespace {

std::string ItemText(HWND window, UINT length_message, UINT text_message, int index) {
    const LRESULT length = SendMessageW(window, length_message, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, text_message, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return platform::Narrow(text);
}

// Every item's text of a list or combo box.
std::vector<std::string> AllItems(HWND window, UINT count_message, UINT length_message,
                                  UINT text_message) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(window, count_message, 0, 0);
    for (int i = 0; i < count; ++i) {
        items.push_back(ItemText(window, length_message, text_message, i));
    }
    return items;
}

} // namespace

// RadioButton -------------------------------------------------------------------------------

Control::CreateParams RadioButton::GetCreateParams() const {
    return SystemClass(L"Button", BS_RADIOBUTTON | WS_TABSTOP);
}

bool RadioButton::Checked() const {
    return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!checked || !Parent()) return;
    for (const auto& sibling : Parent()->Children()) {
        auto* radio = dynamic_cast<RadioButton*>(sibling.get());
        if (radio && radio != this) {
            SendMessageW(radio->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void RadioButton::Click() {
    SetChecked(true);
    Control::Click();
}

bool RadioButton::HandleNotification(Message& m) {
    if (m.id != WM_COMMAND || HIWORD(m.wparam) != BN_CLICKED) return false;
    Click();
    return true;
}

// ComboBox ----------------------------------------------------------------------------------

ComboBox::ComboBox(bool editable) : editable_(editable) {
    SetBackgroundColor(SystemColor(COLOR_WINDOW));
}

Control::CreateParams ComboBox::GetCreateParams() const {
    return SystemClass(L"ComboBox",
                       (editable_ ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) |
                           CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP);
}

// The window is made with the closed height; the list below it needs room for eight entries.
void ComboBox::AfterCreate() {
    const LRESULT list_item = SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0);
    SetWindowPos(Handle(), nullptr, 0, 0, CreationBounds().Width(),
                 CreationBounds().Height() + 8 * static_cast<int>(list_item) + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitClosedHeight();
    const std::vector<std::string> items = std::move(pending_items_);
    pending_items_.clear();
    for (const std::string& item : items) AddItem(item);
    if (pending_index_ >= 0) SetItemIndex(pending_index_);
}

// The closed height follows the selection field's item height, which the font sets; it is
// brought back to the height the control was made with. The system may add a margin to the
// height it is given, so the request is corrected until the result fits.
void ComboBox::FitClosedHeight() {
    const int wanted = CreationBounds().Height();
    LRESULT request = SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 4 && request > 0; ++attempt) {
        RECT r;
        GetWindowRect(Handle(), &r);
        const int off = wanted - (r.bottom - r.top);
        if (off == 0) return;
        request += off;
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

// Until the window exists the entries are kept here: a combo box on a page nobody has opened
// yet need not be made to be filled.
std::vector<std::string> ComboBox::Items() const {
    if (!HandleAllocated()) return pending_items_;
    return AllItems(Handle(), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void ComboBox::SetItems(const std::vector<std::string>& items) {
    ClearItems();
    for (const std::string& item : items) AddItem(item);
}

void ComboBox::AddItem(const std::string& item) {
    if (!HandleAllocated()) {
        pending_items_.push_back(item);
        return;
    }
    const std::wstring wide = platform::Widen(item);
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ComboBox::ClearItems() {
    if (!HandleAllocated()) {
        pending_items_.clear();
        pending_index_ = -1;
        return;
    }
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

void ComboBox::SetItemText(int index, const std::string& text) {
    if (index < 0 || index >= ItemCount()) return;
    if (!HandleAllocated()) {
        pending_items_[static_cast<size_t>(index)] = text;
        return;
    }
    const int selected = ItemIndex();
    const std::wstring wide = platform::Widen(text);
    SendMessageW(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(wide.c_str()));
    SetItemIndex(selected);
}

int ComboBox::ItemCount() const {
    if (!HandleAllocated()) return static_cast<int>(pending_items_.size());
    return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

int ComboBox::ItemIndex() const {
    if (!HandleAllocated()) return pending_index_;
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int index) {
    if (!HandleAllocated()) {
        // As the list does: an index outside it selects nothing.
        pending_index_ = index >= 0 && index < ItemCount() ? index : -1;
        typed_ = false;
        return;
    }
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    typed_ = false;
}

std::string ComboBox::Text() const {
    if (editable_ && HandleAllocated()) return Control::Text();
    const int index = ItemIndex();
    if (index < 0) return {};
    if (!HandleAllocated()) return pending_items_[static_cast<size_t>(index)];
    return ItemText(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

void ComboBox::SetText(const std::string& text) {
    const std::vector<std::string> items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            SetItemIndex(static_cast<int>(i));
            return;
        }
    }
}

void ComboBox::Pick(int index) {
    SetItemIndex(index);
    if (on_change) on_change(*this);
}

std::string ComboBox::Chosen() const {
    const int index = ItemIndex();
    if (typed_ || index < 0) return Text();
    if (!HandleAllocated()) return pending_items_[static_cast<size_t>(index)];
    return ItemText(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

bool ComboBox::HandleNotification(Message& m) {
    if (m.id != WM_COMMAND) return false;
    const WORD code = HIWORD(m.wparam);
    if (code != CBN_SELCHANGE && code != CBN_EDITCHANGE) return false;
    typed_ = code == CBN_EDITCHANGE;
    if (on_change) on_change(*this);
    return true;
}

// CheckListBox ------------------------------------------------------------------------------

CheckListBox::CheckListBox(int item_height) : item_height_(item_height) {
    SetBackgroundColor(SystemColor(COLOR_WINDOW));
}

Control::CreateParams CheckListBox::GetCreateParams() const {
    return SystemClass(L"ListBox",
                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE);
}

void CheckListBox::AfterCreate() {
    const std::vector<std::string> items = std::move(pending_items_);
    const std::vector<bool> checks = std::move(pending_checks_);
    pending_items_.clear();
    pending_checks_.clear();
    SetItems(items);
    for (size_t i = 0; i < checks.size(); ++i)
        if (checks[i]) SetChecked(static_cast<int>(i), true);
}

std::vector<std::string> CheckListBox::Items() const {
    if (!HandleAllocated()) return pending_items_;
    return AllItems(Handle(), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

void CheckListBox::SetItems(const std::vector<std::string>& items) {
    if (!HandleAllocated()) {
        pending_items_ = items;
        pending_checks_.assign(items.size(), false);
        return;
    }
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::wstring wide = platform::Widen(item);
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

int CheckListBox::ItemCount() const {
    if (!HandleAllocated()) return static_cast<int>(pending_items_.size());
    return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

// The check state is the item's data, so another process can read it with LB_GETITEMDATA.
bool CheckListBox::Checked(int index) const {
    if (!HandleAllocated())
        return index >= 0 && index < ItemCount() && pending_checks_[static_cast<size_t>(index)];
    const LRESULT data = SendMessageW(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data != LB_ERR && data != 0;
}

void CheckListBox::SetChecked(int index, bool checked) {
    if (index < 0 || index >= ItemCount()) return;
    if (!HandleAllocated()) {
        pending_checks_[static_cast<size_t>(index)] = checked;
        return;
    }
    SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    RECT r;
    if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
        InvalidateRect(Handle(), &r, FALSE);
    }
}

void CheckListBox::ClickCheck(int index) {
    if (index < 0 || index >= ItemCount()) return;
    SetChecked(index, !Checked(index));
    Click();
}

int CheckListBox::ItemIndex() const {
    return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

bool CheckListBox::HandleMessage(Message& m) {
    switch (m.id) {
    case WM_LBUTTONUP: // the list reports the new selection here; the click has fired already
        in_mouse_down_ = true;
        m.result = DefaultProcessing(m);
        in_mouse_down_ = false;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int x = GET_X_LPARAM(m.lparam);
        const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, m.lparam);
        const int index = LOWORD(hit);
        const bool on_item = HIWORD(hit) == 0 && index < ItemCount();
        in_mouse_down_ = true;
        m.result = DefaultProcessing(m);
        in_mouse_down_ = false;
        if (on_item && x < CheckWidth()) SetChecked(index, !Checked(index));
        Click();
        return true;
    }
    case WM_CHAR:
        if (m.wparam == L' ') {
            ClickCheck(ItemIndex());
            m.result = 0;
            return true;
        }
        return false;
    default: return Control::HandleMessage(m);
    }
}

bool CheckListBox::HandleNotification(Message& m) {
    switch (m.id) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(m.lparam)->itemHeight =
            static_cast<UINT>(item_height_);
        m.result = TRUE;
        return true;
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<const void*>(m.lparam));
        m.result = TRUE;
        return true;
    case WM_COMMAND:
        if (HIWORD(m.wparam) != LBN_SELCHANGE) return false;
        if (!in_mouse_down_) Click();
        return true;
    default: return false;
    }
}

void CheckListBox::DrawItem(const void* raw) {
    const auto& item = *static_cast<const DRAWITEMSTRUCT*>(raw);
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const int index = static_cast<int>(item.itemID);
    Painter painter(dc);
    const Rect check_area{r.left, r.top, r.left + CheckWidth(), r.bottom};
    painter.FillRect(check_area, BackgroundColor());
    RECT box{r.left + 1, r.top, r.left + 1 + item_height_, r.top + item_height_};
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (Checked(index) ? DFCS_CHECKED : 0u));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT text{r.left + CheckWidth(), r.top, r.right, r.bottom};
    painter.FillRect({text.left, text.top, text.right, text.bottom},
                     selected ? SystemColor(COLOR_HIGHLIGHT) : BackgroundColor());
    const std::wstring wide = platform::Widen(ItemText(Handle(), LB_GETTEXTLEN, LB_GETTEXT, index));
    HGDIOBJ old = SelectObject(dc, FontObject());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(selected ? SystemColor(COLOR_HIGHLIGHTTEXT) : GetFont().color));
    RECT inner{text.left + 2, text.top, text.right, text.bottom};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

} // namespace ui
