// Builds a window from its table: the window itself, then every control in table order under
// its parent, with its texts, font, colours, state, tab order, Tag, artwork, and its handler
// bound by name to a member function of the window class. Every length of the table (bounds,
// font heights, pictures, list items) is scaled here, and only here, from the table's 96 DPI
// to the screen's.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/control.h"
#include "ui/image.h"
#include "ui/window.h"
#include "widgets/hosted_controls.h"
#include "widgets/layouts/design_scale.h"
#include "widgets/layouts/layout.h"

namespace layouts {

// A handler name the window class does not have, a parent that is not in the table before its
// child, an unknown picture: mistakes in a table, found when the window is built.
class LayoutError : public std::logic_error {
  public:
    explicit LayoutError(const std::string& message) : std::logic_error(message) {}
};

class HandlerResolver {
  public:
    virtual ~HandlerResolver() = default;
    // Throw LayoutError when there is no such handler.
    virtual ui::Notify Notify(std::string_view name) = 0;
    virtual ui::PaintHandler Paint(std::string_view name) = 0;
};

// One entry of a window class's handler table: its name and the member function.
template <typename Form>
struct Handler {
    std::string_view name;
    void (Form::*notify)(ui::Control& sender) = nullptr;
    void (Form::*paint)(ui::Control& sender, ui::Painter& painter) = nullptr;
};

template <typename Form>
class MemberHandlers : public HandlerResolver {
  public:
    template <std::size_t N>
    MemberHandlers(Form& form, const Handler<Form> (&table)[N])
        : form_(form), table_(table), count_(N) {}

    ui::Notify Notify(std::string_view name) override {
        auto method = Find(name).notify;
        if (!method) throw LayoutError("handler " + std::string(name) + " is not an event handler");
        Form* form = &form_;
        return [form, method](ui::Control& sender) { (form->*method)(sender); };
    }
    ui::PaintHandler Paint(std::string_view name) override {
        auto method = Find(name).paint;
        if (!method) throw LayoutError("handler " + std::string(name) + " is not a paint handler");
        Form* form = &form_;
        return [form, method](ui::Control& sender, ui::Painter& painter) {
            (form->*method)(sender, painter);
        };
    }

  private:
    const Handler<Form>& Find(std::string_view name) const {
        for (std::size_t i = 0; i < count_; ++i) {
            if (table_[i].name == name) return table_[i];
        }
        throw LayoutError("no handler named " + std::string(name));
    }

    Form& form_;
    const Handler<Form>* table_;
    std::size_t count_;
};

class BuiltForm {
    // The entry of that name in one of the maps below; LayoutError when there is none.
    template <typename Map>
    static auto& Find(const Map& map, std::string_view name, const char* what) {
        const auto it = map.find(name);
        if (it == map.end())
            throw LayoutError("no " + std::string(what) + " named " + std::string(name));
        return *it->second;
    }
    template <typename T, typename C>
    static T& As(C& control, std::string_view name) {
        if (T* typed = dynamic_cast<T*>(&control)) return *typed;
        throw LayoutError(std::string(name) + " is not of the kind asked for");
    }

  public:
    // At the screen's DPI unless a scale is given.
    BuiltForm(const FormTable& definition, HandlerResolver& handlers);
    BuiltForm(const FormTable& definition, HandlerResolver& handlers, DesignScale scale);
    ~BuiltForm();
    BuiltForm(const BuiltForm&) = delete;
    BuiltForm& operator=(const BuiltForm&) = delete;

    const FormTable& Definition() const { return definition_; }
    const DesignScale& Scale() const { return scale_; }
    ui::Window& Window() { return *window_; }
    const ui::Window& Window() const { return *window_; }

    // The control of that name; LayoutError when there is none of that kind.
    ui::Control& Control(std::string_view name) { return Find(controls_, name, "control"); }
    const ui::Control& Control(std::string_view name) const {
        return Find(controls_, name, "control");
    }
    template <typename T>
    T& Get(std::string_view name) {
        return As<T>(Control(name), name);
    }
    template <typename T>
    const T& Get(std::string_view name) const {
        return As<const T>(Control(name), name);
    }
    widgets::ProgressBarControl& ProgressBar(std::string_view name) {
        return Find(bars_, name, "progress bar");
    }
    const widgets::ProgressBarControl& ProgressBar(std::string_view name) const {
        return Find(bars_, name, "progress bar");
    }
    widgets::Label3dControl& Relief(std::string_view name) {
        return Find(reliefs_, name, "relief label");
    }
    const widgets::Label3dControl& Relief(std::string_view name) const {
        return Find(reliefs_, name, "relief label");
    }

    // Runs the window's creation handler (the owner calls it once it is ready for it).
    void FireCreate();

  private:
    void Build(const ControlRow& row, HandlerResolver& handlers);

    const FormTable& definition_;
    DesignScale scale_;
    std::unique_ptr<ui::Window> window_;
    std::map<std::string, ui::Control*, std::less<>> controls_;
    // After the window: destroyed first, while the hosts they draw into still exist.
    std::map<std::string, std::unique_ptr<widgets::ProgressBarControl>, std::less<>> bars_;
    std::map<std::string, std::unique_ptr<widgets::Label3dControl>, std::less<>> reliefs_;
    ui::Notify on_create_;
};

// The picture of an artwork role ("Image6", "glyph:back") or a stock glyph ("stock:ok"), at
// the scale's size.
ui::Image LoadArtwork(std::string_view role, const DesignScale& scale);

// A font row of a table as the toolkit's font, its height at the scale.
ui::Font ToFont(const FontRow& definition, const DesignScale& scale);

} // namespace layouts
