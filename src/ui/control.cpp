#include "ui/control.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "platform/code_page.h"
#include "ui/canvas.h"
#include "ui/control_names.h"
#include "ui/window.h"

namespace ui {
namespace {

// The control of each of the program's windows. A window property would do, but under Wine
// every read of one is a round trip to the server, and it was read for every message: a quarter
// of the server calls of the start-up. Windows are made, used and destroyed on the one window
// thread.
std::unordered_map<HWND, Control*>& Owners() {
    static std::unordered_map<HWND, Control*> owners;
    return owners;
}

Control* OwnerOf(HWND window) {
    const auto& owners = Owners();
    const auto found = owners.find(window);
    return found == owners.end() ? nullptr : found->second;
}

// The control whose window CreateWindowExW is making: messages sent during creation
// (WM_MEASUREITEM of an owner-drawn list) reach the parent before the child's handle is known.
thread_local Control* g_creating = nullptr;

RECT ToRect(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT id, WPARAM wparam, LPARAM lparam);

const wchar_t* RegisterOwnClass(const wchar_t* name) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &existing)) return name;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    const std::wstring icon = platform::Widen(Window::ApplicationIconResource());
    if (!icon.empty()) {
        wc.hIcon = static_cast<HICON>(LoadImageW(instance, icon.c_str(), IMAGE_ICON, 32, 32, 0));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, icon.c_str(), IMAGE_ICON, 16, 16, 0));
    }
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register a window class");
    return name;
}

} // namespace

struct ControlAccess {
    static std::intptr_t Dispatch(Control& control, Message& message) {
        return control.Dispatch(message);
    }
    static void Adopt(Control& control, HWND window) { control.handle_ = window; }
};

namespace {

LRESULT CALLBACK ControlWindowProc(HWND window, UINT id, WPARAM wparam, LPARAM lparam) {
    Control* control = OwnerOf(window);
    if (!control && id == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        control = static_cast<Control*>(cs->lpCreateParams);
        if (control) {
            Owners()[window] = control;
            ControlAccess::Adopt(*control, window);
        }
    }
    if (!control) return DefWindowProcW(window, id, wparam, lparam);
    Message message{id, wparam, lparam, 0};
    return ControlAccess::Dispatch(*control, message);
}

} // namespace

// Painter ----------------------------------------------------------------------------------

namespace {

// FillRect or FrameRect with the DC's own brush set to the colour: the same solid fill as a
// brush made for the call, without creating and deleting one for every fill.
// Nothing else here draws with the DC brush, so its colour is not put back.
void WithBrush(HDC dc, const Rect& rect, Color color, int (*draw)(HDC, const RECT*, HBRUSH)) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const RECT r = ToRect(rect);
    SetDCBrushColor(dc, ResolveColor(color));
    draw(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

void Painter::FillRect(const Rect& rect, Color color) {
    WithBrush(dc_, rect, color, &::FillRect);
}

void Painter::FrameRect(const Rect& rect, Color color) {
    WithBrush(dc_, rect, color, &::FrameRect);
}

Rect Painter::ClipBox() const {
    RECT r{};
    GetClipBox(dc_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Rect Painter::Frame3d(const Rect& rect, Color light, Color dark, int width) {
    Rect r = rect;
    for (int i = 0; i < width && r.Width() > 0 && r.Height() > 0; ++i) {
        FillRect({r.left, r.top, r.right - 1, r.top + 1}, light);
        FillRect({r.left, r.top + 1, r.left + 1, r.bottom - 1}, light);
        FillRect({r.right - 1, r.top, r.right, r.bottom}, dark);
        FillRect({r.left, r.bottom - 1, r.right - 1, r.bottom}, dark);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    return r;
}

// Control ----------------------------------------------------------------------------------

Control::Control() = default;

Control::~Control() {
    children_.clear();
    if (handle_) {
        // Quietly: the object is going, so no event may reach it any more.
        HWND window = handle_;
        Detach();
        DestroyWindow(window);
    }
    if (brush_) DeleteObject(static_cast<HBRUSH>(brush_));
}

void Control::Attach(Control* parent, std::string name, const Rect& bounds) {
    parent_ = parent;
    name_ = std::move(name);
    if (parent_ && UsesParentColor()) color_ = parent_->color_;
    bounds_ = bounds;
    if (parent_ && !parent_->Showing()) {
        deferred_ = true;
        font_handle_ = FontHandle(font_); // measuring text needs it before the window
        return;
    }
    CreateWindowNow(bounds);
}

NativeWindow Control::Handle() const {
    if (deferred_) const_cast<Control*>(this)->HandleNeeded();
    return handle_;
}

bool Control::Showing() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (!c->visible_ || !c->handle_) return false;
    }
    return true;
}

void Control::HandleNeeded() {
    if (!deferred_) return;
    if (parent_) parent_->HandleNeeded();
    // A window cannot go into a container whose window has already gone.
    if (parent_ && !parent_->handle_) return;
    MakeHandle();
    if (Showing()) CreateShowingHandles();
}

void Control::MakeHandle() {
    deferred_ = false;
    CreateWindowNow(bounds_);
    AfterCreate();
    PlaceInStack();
}

void Control::CreateShowingHandles() {
    if (!visible_) return;
    if (deferred_) MakeHandle();
    for (const auto& child : children_) child->CreateShowingHandles();
}

void Control::CreateHandles() {
    HandleNeeded();
    for (const auto& child : children_) child->CreateHandles();
}

void Control::CreateWindowNow(const Rect& bounds) {
    const CreateParams params = GetCreateParams();
    creation_bounds_ = bounds;
    own_class_ = params.own_class;
    const wchar_t* class_name =
        own_class_ ? RegisterOwnClass(params.class_name) : params.class_name;
    HWND parent = parent_ ? parent_->handle_ : nullptr;
    DWORD style = params.style;
    if (parent) style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (!enabled_) style |= WS_DISABLED;
    static int next_id = 1000;
    HMENU id = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(next_id++)) : nullptr;
    Control* outer = g_creating;
    g_creating = this;
    const std::wstring text = platform::Widen(text_);
    HWND window = CreateWindowExW(params.ex_style, class_name, text.c_str(), style, bounds.left,
                                  bounds.top, bounds.Width(), bounds.Height(), parent, id,
                                  GetModuleHandleW(nullptr), own_class_ ? this : nullptr);
    g_creating = outer;
    if (!window) throw std::runtime_error("cannot create the window of " + name_);
    handle_ = window;
    if (!own_class_) {
        Owners()[window] = this;
        original_proc_ = reinterpret_cast<void*>(SetWindowLongPtrW(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
    }
    SetIdentity();
    font_handle_ = FontHandle(font_);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_handle_.get()), FALSE);
}

void Control::Created() {
    if (handle_) {
        AfterCreate();
        PlaceInStack();
    }
    if (on_create) on_create(*this);
}

namespace {

// A missing property reads as 0, which is what the tag 0 and "no tab order" are stored as:
// most controls need only their name, and under Wine every property set is a server call.
void SetNumberProperty(HWND window, const wchar_t* property, INT_PTR value) {
    if (value)
        SetPropW(window, property, reinterpret_cast<HANDLE>(value));
    else
        RemovePropW(window, property);
}

} // namespace

void Control::SetIdentity() {
    const ATOM atom = GlobalAddAtomW(platform::Widen(name_).c_str());
    SetPropW(handle_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
    if (tag_) SetNumberProperty(handle_, kTagProperty, tag_);
    if (tab_order_ != -1) SetNumberProperty(handle_, kTabOrderProperty, tab_order_ + 1);
}

// Windowed controls go on top of all siblings; drawn ones above the other drawn siblings but
// beneath every windowed one. Nothing else changes the order of a parent's windows, so it
// follows from the order the children were made in: the lowest windowed one is the oldest.
// Worked out from the list, not by walking the windows, each step of which is a server call
// under Wine; and a visible control is shown by the same call that places it, for the same
// reason.
void Control::PlaceInStack() {
    if (!parent_) {
        if (visible_) ShowWindow(handle_, SW_SHOWNA);
        return;
    }
    // Windows made later than their siblings (when they came into view, or were needed) go
    // straight beneath the lowest of the windows that belong above them.
    const auto& siblings = parent_->children_;
    auto rank = [&siblings](size_t index) {
        return std::make_pair(siblings[index]->IsGraphic() ? 0 : 1, index);
    };
    size_t own = 0;
    while (siblings[own].get() != this) ++own;
    const auto mine = rank(own);
    const Control* next_above = nullptr;
    std::pair<int, size_t> next_rank;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (i == own || !siblings[i]->handle_) continue;
        const auto r = rank(i);
        if (r > mine && (!next_above || r < next_rank)) {
            next_above = siblings[i].get();
            next_rank = r;
        }
    }
    HWND after = next_above ? next_above->handle_ : HWND_TOP;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (visible_) flags |= SWP_SHOWWINDOW;
    SetWindowPos(handle_, after, 0, 0, 0, 0, flags);
}

void Control::Detach() {
    if (!handle_) return;
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(handle_, kNameProperty)));
    if (atom) GlobalDeleteAtom(atom);
    if (tag_) RemovePropW(handle_, kTagProperty);
    if (tab_order_ != -1) RemovePropW(handle_, kTabOrderProperty);
    if (original_proc_) {
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_proc_));
        original_proc_ = nullptr;
    }
    Owners().erase(handle_);
    handle_ = nullptr;
}

void Control::DestroyHandle() {
    if (handle_) DestroyWindow(handle_);
}

Window* Control::Form() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<Window*>(c);
}

Control* Control::Find(std::string_view name) {
    if (name_ == name) return this;
    for (auto& child : children_) {
        if (Control* found = child->Find(name)) return found;
    }
    return nullptr;
}

Control* Control::FromHandle(NativeWindow window) {
    if (!window) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    return OwnerOf(window);
}

void Control::SetTag(std::intptr_t tag) {
    tag_ = tag;
    if (handle_) SetNumberProperty(handle_, kTagProperty, tag);
}

Rect Control::Bounds() const {
    if (!handle_) return bounds_;
    RECT r;
    GetWindowRect(handle_, &r);
    if (parent_) MapWindowPoints(HWND_DESKTOP, parent_->handle_, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

void Control::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    if (!handle_) return;
    SetWindowPos(handle_, nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetLeft(int left) {
    const Rect b = Bounds();
    SetBounds(b.Moved(left - b.left, 0));
}

void Control::SetTop(int top) {
    const Rect b = Bounds();
    SetBounds(b.Moved(0, top - b.top));
}

Size Control::ClientSize() const {
    if (deferred_) {
        // A window without a frame has its whole size as client area; one with a frame is
        // made now, so the system may measure it.
        const CreateParams params = GetCreateParams();
        const unsigned long frame =
            WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL;
        const unsigned long ex_frame =
            WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
        if (!(params.style & frame) && !(params.ex_style & ex_frame))
            return {bounds_.Width(), bounds_.Height()};
    }
    RECT r{};
    if (Handle()) GetClientRect(handle_, &r);
    return {r.right, r.bottom};
}

std::string Control::Text() const {
    if (!handle_) return text_;
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return platform::Narrow(text);
}

void Control::SetText(const std::string& text) {
    if (handle_) {
        SetWindowTextW(handle_, platform::Widen(text).c_str());
    } else if (deferred_) {
        text_ = text;
    } else {
        return;
    }
    TextChanged();
}

void Control::SetFont(const Font& font) {
    font_ = font;
    font_handle_ = FontHandle(font_);
    if (handle_) {
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_handle_.get()), TRUE);
    } else if (!deferred_) {
        return;
    }
    FontChanged();
}

void Control::SetBackgroundColor(Color color) {
    color_ = color;
    Invalidate();
}

void* Control::BackgroundBrush() {
    const Color rgb = ResolveColor(color_);
    if (!brush_ || brush_color_ != rgb) {
        if (brush_) DeleteObject(static_cast<HBRUSH>(brush_));
        brush_ = CreateSolidBrush(rgb);
        brush_color_ = rgb;
    }
    return brush_;
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (visible && deferred_ && parent_ && parent_->Showing()) {
        CreateShowingHandles(); // made visible
        return;
    }
    if (handle_) {
        // Its children that never were in view come into view with it.
        if (visible && Showing()) CreateShowingHandles();
        ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void Control::SetTabOrder(int order) {
    tab_order_ = order;
    if (handle_) SetNumberProperty(handle_, kTabOrderProperty, order + 1);
}

bool Control::CanFocus() const {
    return handle_ && tab_order_ >= 0 && IsWindowVisible(handle_) && IsWindowEnabled(handle_) &&
           !IsOwnClass();
}

void Control::SetFocus() {
    if (handle_) ::SetFocus(handle_);
}

bool Control::Focused() const {
    return handle_ && GetFocus() == handle_;
}

// A hidden window, or one in a hidden window, is painted whole when it comes into view, so
// marking it now would change nothing but costs a server call under Wine: the setters of a
// window being built ask for a repaint dozens of times before it is first shown.
void Control::Invalidate() {
    if (handle_ && IsWindowVisible(handle_)) InvalidateRect(handle_, nullptr, TRUE);
}

void Control::Repaint() {
    if (handle_ && IsWindowVisible(handle_)) {
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void Control::Click() {
    if (on_click) on_click(*this);
}

void Control::PaintContent(Painter& painter) {
    const Size size = ClientSize();
    painter.FillRect({0, 0, size.width, size.height}, color_);
}

void Control::PaintWhole(Painter& painter) {
    PaintContent(painter);
    if (on_paint) on_paint(*this, painter);
}

void Control::PaintBackdrop(NativeDc dc) {
    if (!parent_ || !handle_) return;
    const Rect mine = Bounds();
    const int saved = SaveDC(dc);
    // From here on the parent's client coordinates map onto this control's DC.
    OffsetViewportOrgEx(dc, -mine.left, -mine.top, nullptr);
    Painter painter(dc);
    parent_->PaintWhole(painter);
    // The drawn siblings beneath this one, the lowest first: all of them beneath a windowed
    // control, the older ones beneath a drawn one (see PlaceInStack).
    std::vector<Control*> beneath;
    for (const auto& sibling : parent_->children_) {
        if (sibling.get() == this) {
            if (IsGraphic()) break;
            continue;
        }
        if (sibling->handle_ && sibling->IsGraphic() && IsWindowVisible(sibling->handle_))
            beneath.push_back(sibling.get());
    }
    for (Control* sibling : beneath) {
        const Rect b = sibling->Bounds();
        if (b.right <= mine.left || b.left >= mine.right || b.bottom <= mine.top ||
            b.top >= mine.bottom) {
            continue;
        }
        const int inner = SaveDC(dc);
        OffsetViewportOrgEx(dc, b.left, b.top, nullptr);
        IntersectClipRect(dc, 0, 0, b.Width(), b.Height());
        sibling->PaintWhole(painter);
        RestoreDC(dc, inner);
    }
    RestoreDC(dc, saved);
}

void Control::PaintOwn() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    const Size size = ClientSize();
    if (ComposesOffscreen()) {
        Canvas canvas(size.width, size.height);
        if (!canvas.Empty()) {
            if (Transparent()) PaintBackdrop(canvas.Dc());
            SetBkMode(canvas.Dc(), TRANSPARENT);
            Painter painter(canvas.Dc());
            PaintWhole(painter);
            canvas.CopyTo(dc, {0, 0});
        }
    } else {
        Painter painter(dc);
        PaintWhole(painter);
    }
    EndPaint(handle_, &ps);
}

std::intptr_t Control::DefaultProcessing(const Message& m) {
    if (original_proc_) {
        return CallWindowProcW(reinterpret_cast<WNDPROC>(original_proc_), handle_, m.id, m.wparam,
                               m.lparam);
    }
    return DefWindowProcW(handle_, m.id, m.wparam, m.lparam);
}

std::intptr_t Control::Dispatch(Message& message) {
    if (message.id == WM_NCDESTROY) {
        HWND window = handle_;
        void* proc = original_proc_;
        Detach();
        return proc ? CallWindowProcW(reinterpret_cast<WNDPROC>(proc), window, message.id,
                                      message.wparam, message.lparam)
                    : DefWindowProcW(window, message.id, message.wparam, message.lparam);
    }
    if (HandleMessage(message)) return message.result;
    return DefaultProcessing(message);
}

bool Control::RouteToChild(Message& m) {
    HWND child = nullptr;
    switch (m.id) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(m.lparam); break;
    case WM_NOTIFY: child = reinterpret_cast<const NMHDR*>(m.lparam)->hwndFrom; break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam);
        if (item->CtlType != ODT_MENU) child = item->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.lparam);
        if (item->CtlType == ODT_MENU) return false;
        child = GetDlgItem(handle_, static_cast<int>(item->CtlID));
        Control* target = FromHandle(child);
        // Sent while the child's window is being made, before we know its handle.
        if (!target) target = g_creating;
        return target && target != this && target->HandleNotification(m);
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: child = reinterpret_cast<HWND>(m.lparam); break;
    default: return false;
    }
    Control* target = FromHandle(child);
    return target && target != this && target->HandleNotification(m);
}

bool Control::HandleMessage(Message& m) {
    if (RouteToChild(m)) return true;
    switch (m.id) {
    case WM_SIZE:
        if (on_resize) on_resize(*this);
        return false;
    case WM_SHOWWINDOW:
        if (m.wparam && on_show) on_show(*this);
        return false;
    case WM_DESTROY:
        if (on_destroy) on_destroy(*this);
        return false;
    default: break;
    }
    if (!own_class_) return false;
    switch (m.id) {
    case WM_ERASEBKGND: m.result = 1; return true;
    case WM_GETFONT: m.result = reinterpret_cast<std::intptr_t>(FontObject()); return true;
    case WM_SETFONT: return true; // the control keeps its font object itself
    case WM_PAINT: PaintOwn(); return true;
    case WM_PRINTCLIENT: {
        Painter painter(reinterpret_cast<HDC>(m.wparam));
        PaintWhole(painter);
        return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Children without colours of their own (radio buttons) show ours.
        HDC dc = reinterpret_cast<HDC>(m.wparam);
        SetBkColor(dc, ResolveColor(color_));
        m.result = reinterpret_cast<std::intptr_t>(BackgroundBrush());
        return true;
    }
    default: return false;
    }
}

bool Control::HandleNotification(Message&) {
    return false;
}

} // namespace ui
