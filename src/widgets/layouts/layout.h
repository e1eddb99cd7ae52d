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
    kEditable = 1u << 11, // combo boxes: a typed or pasted text besides the entries
};

enum class Cut : std::uint8_t { kNone, kLowered, kRaised };

// The font of a control; a row without one uses the window font.
struct FontRow {
    std::string_view face;
    int height; // negative: character height in pixels
    unsigned style;
    ui::Color color;
    std::uint8_t charset;
};

struct BevelRow {
    Cut inner = Cut::kNone;
    Cut outer = Cut::kRaised;
    int border_width = 0;
};

// TALProgressBar property values; the others stay at the bar's initial values.
struct ProgressRow {
    std::uint8_t direction; // widgets::TProgressDirection
    std::uint8_t color_style;
    ui::Color bar_color1;
    ui::Color bar_color2;
    ui::Color bar_color3;
    ui::Color background;
    std::string_view suffix;
    bool show_text;
    const FontRow* font; // nullptr: the bar's own
};

// TmyLabel3d relief values; the others stay at the label's initial values.
struct ReliefRow {
    std::uint8_t style; // widgets::T3DEffect
    ui::Color shade_right_bottom;
    bool shade_lt_set;
};

// The event a row's handler is bound to: click, or change for combo boxes and folder trees.
enum class Event : std::uint8_t { kClick, kChange };

constexpr ui::Color kParentColor = 0xFFFFFFFFu;

struct ControlRow {
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
    const FontRow* font = nullptr;
    ui::Color color = kParentColor;
    unsigned flags = 0;
    std::string_view
        artwork; // picture or glyph strip: an artwork role or "stock:ok"/"stock:cancel"
    std::string_view hint;
    int modal_result = 0;
    BevelRow bevel;
    const ProgressRow* progress = nullptr;
    const ReliefRow* relief = nullptr;

    ui::Rect Bounds() const { return ui::Rect::FromBounds(left, top, width, height); }
    bool Has(unsigned flag) const { return (flags & flag) != 0; }
    Event HandlerEvent() const {
        return kind == Kind::kCombo || kind == Kind::kFolderTree ? Event::kChange : Event::kClick;
    }

    // Row builders, so the tables read like the window definitions.
    template <typename T, typename V>
    constexpr ControlRow Set(T ControlRow::*field, V value) const {
        ControlRow s = *this;
        s.*field = value;
        return s;
    }
    constexpr ControlRow Text(std::string_view v) const { return Set(&ControlRow::text, v); }
    constexpr ControlRow Tab(int v) const { return Set(&ControlRow::tab_order, v); }
    constexpr ControlRow Tag(int v) const { return Set(&ControlRow::tag, v); }
    constexpr ControlRow On(std::string_view v) const { return Set(&ControlRow::handler, v); }
    constexpr ControlRow Font(const FontRow& v) const { return Set(&ControlRow::font, &v); }
    constexpr ControlRow Color(ui::Color v) const { return Set(&ControlRow::color, v); }
    constexpr ControlRow With(unsigned v) const { return Set(&ControlRow::flags, flags | v); }
    constexpr ControlRow Art(std::string_view v) const { return Set(&ControlRow::artwork, v); }
    constexpr ControlRow Hint(std::string_view v) const { return Set(&ControlRow::hint, v); }
    constexpr ControlRow Modal(int v) const { return Set(&ControlRow::modal_result, v); }
    constexpr ControlRow Bevels(Cut inner, Cut outer, int border = 0) const {
        return Set(&ControlRow::bevel, BevelRow{inner, outer, border});
    }
    constexpr ControlRow Progress(const ProgressRow& v) const {
        return Set(&ControlRow::progress, &v);
    }
    constexpr ControlRow Relief(const ReliefRow& v) const { return Set(&ControlRow::relief, &v); }
};

constexpr ControlRow Row(Kind kind, std::string_view name, std::string_view parent, int left,
                         int top, int width, int height) {
    ControlRow s;
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

struct FormTable {
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
    const ControlRow* controls;
    std::size_t control_count;

    const ControlRow* begin() const { return controls; }
    const ControlRow* end() const { return controls + control_count; }
    // The row of that name, or nullptr.
    const ControlRow* Find(std::string_view control) const {
        for (const ControlRow& row : *this) {
            if (row.name == control) return &row;
        }
        return nullptr;
    }
};

// The main window and the folder picker.
const FormTable& Form1Layout();
const FormTable& Form2Layout();

// Fonts the tables use.
extern const FontRow kWindowFont; // MS Sans Serif, height 11, regular, clWindowText

} // namespace layouts
