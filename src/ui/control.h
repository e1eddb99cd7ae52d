// The base of every control of the toolkit: one Win32 window with a name, a Tag, bounds
// relative to its parent's client area, text, font, visibility, enabled state, tab order and
// events. A control owns its children; destroying it destroys them and their windows.
//
// Finding controls: every control's window carries its name as the window property
// "OrvoName", whose value is a global atom (GlobalGetAtomNameW gives the name back), so a
// driver in another process finds a control with EnumChildWindows and GetPropW alone; see
// ui/control_names.h. The properties "OrvoTag" and "OrvoTabOrder" (tab order + 1, 0 for none)
// carry the Tag and the tab order the same way.
//
// Stacking: windowed controls (memos, buttons, lists, panels) lie above the drawn ones
// (labels, pictures, frames); within each group a later control lies above an earlier one.
// Tab order is kept separately (TabOrder) and used by the keyboard navigation of ui/window.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/geometry.h"
#include "ui/paint_surface.h"

namespace ui {

class Control;
class Painter;
class Window;

using Notify = std::function<void(Control& sender)>;
using PaintHandler = std::function<void(Control& sender, Painter& painter)>;

enum class Alignment : std::uint8_t { kLeft, kCenter, kRight };

// One window message as the controls see it.
struct Message {
    unsigned id = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
    std::intptr_t result = 0;
};

// Fills and frames on a device context that someone else owns: the window's paint DC, or an
// off-screen canvas when a picture is composed or tested.
class Painter {
  public:
    explicit Painter(NativeDc dc) : dc_(dc) {}
    NativeDc Dc() const { return dc_; }
    void FillRect(const Rect& rect, Color color);
    // A one-pixel rectangle outline inside `rect`.
    void FrameRect(const Rect& rect, Color color);
    // The top and left edges in `light`, the bottom and right ones in `dark`, `width` pixels
    // deep, inside `rect`; returns the rectangle inside the edges.
    Rect Frame3d(const Rect& rect, Color light, Color dark, int width);
    // The bounds of what drawing can still change, in the DC's logical coordinates: the part
    // of the window being painted, or the control's rectangle when a parent paints beneath it.
    Rect ClipBox() const;

  private:
    NativeDc dc_;
};

class Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Creates a control as the newest child of this one (above its earlier siblings of the
    // same group) and returns it; the child lives as long as this control.
    template <typename T, typename... Args>
    T& Add(std::string name, const Rect& bounds, Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *child;
        child->Attach(this, std::move(name), bounds);
        children_.push_back(std::move(child));
        ref.Created();
        return ref;
    }

    const std::string& Name() const { return name_; }
    Control* Parent() const { return parent_; }
    // The control's window. A control inside a window that has not been shown yet gets its
    // window only when it comes into view, or here, when something needs it: making dozens of
    // windows for pages nobody has opened yet was most of the program's start-up.
    NativeWindow Handle() const;
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Makes the windows of this control and of everything in it, shown or not.
    void CreateHandles();
    // The top-level window this control belongs to (itself for a window).
    Window* Form();
    const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }

    // This control or a descendant with that name, depth first; nullptr when none.
    Control* Find(std::string_view name);
    template <typename T>
    T* FindAs(std::string_view name) {
        return dynamic_cast<T*>(Find(name));
    }
    // The control a window of this process belongs to, or nullptr.
    static Control* FromHandle(NativeWindow window);

    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag);

    // Bounds in the parent's client area (for a window: on the screen).
    Rect Bounds() const;
    void SetBounds(const Rect& bounds);
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const { return Bounds().Width(); }
    int Height() const { return Bounds().Height(); }
    void SetLeft(int left);
    void SetTop(int top);
    Size ClientSize() const;

    virtual std::string Text() const;
    virtual void SetText(const std::string& text);

    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    // The background: what the control fills its client area with.
    Color BackgroundColor() const { return color_; }
    void SetBackgroundColor(Color color);

    // The control's own flag; it shows on screen only while its parents are visible too.
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Order among the focusable siblings; -1: takes no focus.
    int TabOrder() const { return tab_order_; }
    void SetTabOrder(int order);
    // Whether the keyboard can move the focus here (and it is visible and enabled).
    bool CanFocus() const;
    void SetFocus();
    bool Focused() const;

    // Stored with the control; the toolkit never displays it.
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint) { hint_ = std::move(hint); }

    // Asks for a repaint in the next paint cycle; Repaint paints at once.
    void Invalidate();
    void Repaint();

    // Fires on_click as a user's click would (buttons also close a modal window).
    virtual void Click();

    Notify on_click;
    Notify on_change;
    Notify on_show;
    Notify on_resize;
    Notify on_create;
    Notify on_destroy;
    // After the control's own drawing, on the same device context (drawn controls and windows).
    PaintHandler on_paint;

    // Drawn controls (labels, pictures, frames) and containers draw themselves here; the
    // device context's origin is this control's top-left corner. Transparent controls show
    // their parent's background and the drawn siblings beneath them through this.
    virtual void PaintContent(Painter& painter);
    // Whether this control is drawn into the backdrop of a transparent sibling above it.
    virtual bool IsGraphic() const { return false; }
    // The parent's background and the drawn siblings beneath this control, into `dc` whose
    // origin is this control's top-left corner.
    void PaintBackdrop(NativeDc dc);

  protected:
    Control();

    struct CreateParams {
        const wchar_t* class_name = nullptr; // a system class, or one of the toolkit's own
        bool own_class = false;              // drawn by the toolkit (registered on first use)
        unsigned long style = 0;
        unsigned long ex_style = 0;
    };
    virtual CreateParams GetCreateParams() const = 0;
    // The parameters of one of the toolkit's own drawn classes.
    static CreateParams OwnClass(const wchar_t* class_name, unsigned long style = 0) {
        return {class_name, true, style, 0};
    }
    // The parameters of a system control class.
    static CreateParams SystemClass(const wchar_t* class_name, unsigned long style,
                                    unsigned long ex_style = 0) {
        return {class_name, false, style, ex_style};
    }
    // Stores a drawing property and asks for a repaint.
    template <typename T>
    void SetAndRepaint(T& field, const T& value) {
        field = value;
        Invalidate();
    }
    // Runs once the window exists, before on_create.
    virtual void AfterCreate() {}

    // Messages to the control's own window. Return true when handled (result set).
    virtual bool HandleMessage(Message& message);
    // Notifications the parent received about this control (WM_COMMAND, WM_NOTIFY,
    // WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*). Return true when handled.
    virtual bool HandleNotification(Message& message);
    // The default processing of a message (the original window procedure).
    std::intptr_t DefaultProcessing(const Message& message);
    // The control's own drawing and then on_paint.
    void PaintWhole(Painter& painter);
    // Own drawn classes: whether the parent's background shows through (see PaintBackdrop).
    virtual bool Transparent() const { return false; }
    // Own drawn classes: whether WM_PAINT composes off-screen first (no flicker), or draws
    // straight onto the window (containers, whose children cover most of them).
    virtual bool ComposesOffscreen() const { return IsGraphic(); }
    // Whether the background colour follows the parent's (labels, buttons, panels).
    virtual bool UsesParentColor() const { return true; }

    // Called after the text changed through SetText; drawn controls repaint or resize.
    virtual void TextChanged() {}
    // Called after SetFont; by default as a change of the text.
    virtual void FontChanged() { TextChanged(); }
    // A font object for the current font (remade when the font changes).
    NativeFont FontObject() const { return font_handle_.get(); }
    // A brush of the background colour, kept for WM_CTLCOLOR answers.
    void* BackgroundBrush();
    bool IsOwnClass() const { return own_class_; }

    // Makes the window; a top-level window calls it from its constructor.
    void CreateWindowNow(const Rect& bounds);
    // Destroys the window (on_destroy fires) while the object lives on.
    void DestroyHandle();
    // The bounds the window was made with.
    const Rect& CreationBounds() const { return creation_bounds_; }

    Control* parent_ = nullptr;
    std::string name_;

  private:
    friend class Window;
    friend struct ControlAccess;
    void Attach(Control* parent, std::string name, const Rect& bounds);
    void Created();
    // Visible, and so are all its containers, each with its window.
    bool Showing() const;
    void HandleNeeded();
    void MakeHandle();
    // Makes the missing windows of this control and its visible descendants.
    void CreateShowingHandles();
    void SetIdentity();
    void PlaceInStack();
    std::intptr_t Dispatch(Message& message);
    bool RouteToChild(Message& message);
    void PaintOwn();
    void Detach();

    NativeWindow handle_ = nullptr;
    void* original_proc_ = nullptr; // for subclassed standard controls
    bool own_class_ = false;
    Rect creation_bounds_;
    // Until the window exists (deferred_), its bounds and text are kept here.
    bool deferred_ = false;
    Rect bounds_;
    std::string text_;
    std::intptr_t tag_ = 0;
    Font font_;
    FontHandle font_handle_;
    Color color_ = clBtnFace;
    Color brush_color_ = 0xFFFFFFFFu; // resolved colour of brush_, none yet
    void* brush_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    int tab_order_ = -1;
    std::string hint_;
    std::vector<std::unique_ptr<Control>> children_;
};

} // namespace ui
