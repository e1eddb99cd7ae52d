// The two windows as data: one row per control with its parent, kind, bounds, texts, font,
// colours, initial state, tab order, Tag and handler, in creation order. form1_layout.cpp and
// form2_layout.cpp hold the tables; builder.h turns them into windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/color.h"
#include "ui/geometry.h"

namespace layouts {

enum class Kind : std::uint8_t {
    kRelief,      // the relief caption label (widgets::Label3d)
    kPageControl, // page control with hidden tabs
    kPage,        // one page of it, in index order
    kPanel,
    kMemo,
    kBevel, // drawn as a frame
    kLabel,
    kPicture,
    kButton, // bitmap button
    kRadio,
    kCombo,     // drop-down list
    kCheckList, // check list box
    kProgressBar,
    kFolderTree,
};

enum Flag : unsigned {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kTransparent = 1u << 2,
    kFixedSize = 1u << 3, // labels: not sized to the text; pictures: not sized to the picture
    kCentered = 1u << 4,
    kReadOnly = 1u << 5,
    kStretch = 1u << 6,
    kDefault = 1u << 7, // Enter presses the button
    kCancel = 1u << 8,  // Esc presses the button
    kVerticalScroll = 1u << 9,
    kBothScrollBars = 1u << 10,
};

enum class Cut : std::uint8_t { kNone, kLowered, kRaised };

// The font of a control; a row without one uses the window font.
struct FontSpec {
    std::string_view face;
    int height; // negative: character height in pixels
    unsigned style;
    ui::Color color;
    std::uint8_t charset;
};

struct BevelSpec {
    Cut inner = Cut::kNone;
    Cut outer = Cut::kRaised;
    int border_width = 0;
};

// TALProgressBar property values; the others stay at the bar's initial values.
struct ProgressSpec {
    std::uint8_t direction; // widgets::TProgressDirection
    std::uint8_t color_style;
    ui::Color bar_color1;
    ui::Color bar_color2;
    ui::Color bar_color3;
    ui::Color background;
    std::string_view suffix;
    bool show_text;
    const FontSpec* font; // nullptr: the bar's own
};

// TmyLabel3d relief values; the others stay at the label's initial values.
struct ReliefSpec {
    std::uint8_t style; // widgets::T3DEffect
    ui::Color shade_right_bottom;
    bool shade_lt_set;
};

// The event a row's handler is bound to: click, or change for combo boxes and folder trees.
enum class Event : std::uint8_t { kClick, kChange };

constexpr ui::Color kParentColor = 0xFFFFFFFFu;

struct ControlSpec {
    std::string_view name;
    std::string_view parent; // empty: the window
    Kind kind = Kind::kPanel;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // A caption, or lines separated by '\n' (memo lines, list items).
    std::string_view text;
    int tab_order = -1;
    int tag = 0;
    std::string_view handler;
    const FontSpec* font = nullptr;
    ui::Color color = kParentColor;
    unsigned flags = 0;
    std::string_view
        artwork; // picture or glyph strip: an artwork role or "stock:ok"/"stock:cancel"
    std::string_view hint;
    int modal_result = 0;
    BevelSpec bevel;
    const ProgressSpec* progress = nullptr;
    const ReliefSpec* relief = nullptr;

    ui::Rect Bounds() const { return ui::Rect::FromBounds(left, top, width, height); }
    bool Has(unsigned flag) const { return (flags & flag) != 0; }
    Event HandlerEvent() const {
        return kind == Kind::kCombo || kind == Kind::kFolderTree ? Event::kChange : Event::kClick;
    }

    // Row builders, so the tables read like the window definitions.
    template <typename T, typename V>
    constexpr ControlSpec Set(T ControlSpec::*field, V value) const {
        ControlSpec s = *this;
        s.*field = value;
        return s;
    }
    constexpr ControlSpec Text(std::string_view v) const { return Set(&ControlSpec::text, v); }
    constexpr ControlSpec Tab(int v) const { return Set(&ControlSpec::tab_order, v); }
    constexpr ControlSpec Tag(int v) const { return Set(&ControlSpec::tag, v); }
    constexpr ControlSpec On(std::string_view v) const { return Set(&ControlSpec::handler, v); }
    constexpr ControlSpec Font(const FontSpec& v) const { return Set(&ControlSpec::font, &v); }
    constexpr ControlSpec Color(ui::Color v) const { return Set(&ControlSpec::color, v); }
    constexpr ControlSpec With(unsigned v) const { return Set(&ControlSpec::flags, flags | v); }
    constexpr ControlSpec Art(std::string_view v) const { return Set(&ControlSpec::artwork, v); }
    constexpr ControlSpec Hint(std::string_view v) const { return Set(&ControlSpec::hint, v); }
    constexpr ControlSpec Modal(int v) const { return Set(&ControlSpec::modal_result, v); }
    constexpr ControlSpec Bevels(Cut inner, Cut outer, int border = 0) const {
        return Set(&ControlSpec::bevel, BevelSpec{inner, outer, border});
    }
    constexpr ControlSpec Progress(const ProgressSpec& v) const {
        return Set(&ControlSpec::progress, &v);
    }
    constexpr ControlSpec Relief(const ReliefSpec& v) const {
        return Set(&ControlSpec::relief, &v);
    }
};

constexpr ControlSpec Row(Kind kind, std::string_view name, std::string_view parent, int left,
                          int top, int width, int height) {
    ControlSpec s;
    s.kind = kind;
    s.name = name;
    s.parent = parent;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    return s;
}

enum class FormBorder : std::uint8_t { kNone, kToolWindow };

struct FormSpec {
    std::string_view name;
    FormBorder border;
    std::string_view caption;
    int client_width;
    int client_height;
    ui::Color color;
    bool stay_on_top;
    bool centred_when_shown;
    // Handler names of the window's own events; empty: none.
    std::string_view on_create;
    std::string_view on_destroy;
    std::string_view on_paint;
    std::string_view on_resize;
    std::string_view on_show;
    const ControlSpec* controls;
    std::size_t control_count;

    const ControlSpec* begin() const { return controls; }
    const ControlSpec* end() const { return controls + control_count; }
    // The row of that name, or nullptr.
    const ControlSpec* Find(std::string_view control) const {
        for (const ControlSpec& row : *this) {
            if (row.name == control) return &row;
        }
        return nullptr;
    }
};

// The main window (TForm1) and the folder picker (TForm2).
const FormSpec& Form1Layout();
const FormSpec& Form2Layout();

// Fonts the tables use.
extern const FontSpec kWindowFont; // MS Sans Serif, height 11, regular, clWindowText

} // namespace layouts
