#include "ui/memo.h"

#include <windows.h>

#include "platform/code_page.h"

namespace ui {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

Memo::Memo(const MemoOptions& options) : options_(options) {
    SetBackgroundColor(SystemColor(COLOR_WINDOW));
}

Control::CreateParams Memo::GetCreateParams() const {
    CreateParams p = SystemClass(L"Edit", ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_TABSTOP,
                                 WS_EX_CLIENTEDGE);
    if (options_.read_only) p.style |= ES_READONLY;
    if (options_.alignment == Alignment::kCenter) p.style |= ES_CENTER;
    if (options_.alignment == Alignment::kRight) p.style |= ES_RIGHT;
    if (options_.scroll_bars != ScrollBars::kNone) p.style |= WS_VSCROLL;
    if (options_.scroll_bars == ScrollBars::kBoth) p.style |= WS_HSCROLL;
    if (!options_.word_wrap || options_.scroll_bars == ScrollBars::kBoth) p.style |= ES_AUTOHSCROLL;
    return p;
}

void Memo::AfterCreate() {
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0); // as much text as the system allows
}

std::vector<std::string> Memo::Lines() const {
    return SplitLines(Text());
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    SetText(JoinLines(lines));
}

void Memo::TextChanged() {
    if (on_change) on_change(*this);
}

void Memo::AddLine(const std::string& line) {
    const std::wstring wide = platform::Widen(line + "\r\n");
    const LRESULT length = SendMessageW(Handle(), WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Memo::Clear() {
    SetText({});
}

bool Memo::HandleNotification(Message& m) {
    switch (m.id) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        // Read-only edits ask with WM_CTLCOLORSTATIC; both get our colours.
        HDC dc = reinterpret_cast<HDC>(m.wparam);
        SetTextColor(dc, ResolveColor(GetFont().color));
        SetBkColor(dc, ResolveColor(BackgroundColor()));
        m.result = reinterpret_cast<std::intptr_t>(BackgroundBrush());
        return true;
    }
    case WM_COMMAND:
        if (HIWORD(m.wparam) == EN_CHANGE && on_change) on_change(*this);
        return HIWORD(m.wparam) == EN_CHANGE;
    default: return false;
    }
}

} // namespace ui
