#include "widgets/layouts/builder.h"

#include "platform/code_page.h"
#include "ui/bit_button.h"
#include "ui/choice_controls.h"
#include "ui/folder_tree.h"
#include "ui/label.h"
#include "ui/memo.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/picture.h"
#include "widgets/artwork.h"

namespace layouts {
namespace {

ui::BevelCut ToCut(Cut cut) {
    switch (cut) {
    case Cut::kLowered: return ui::BevelCut::kLowered;
    case Cut::kRaised: return ui::BevelCut::kRaised;
    case Cut::kNone: break;
    }
    return ui::BevelCut::kNone;
}

ui::WindowOptions ToOptions(const FormTable& definition) {
    ui::WindowOptions options;
    options.border = definition.border == FormBorder::kNone ? ui::BorderStyle::kNone
                                                            : ui::BorderStyle::kToolWindow;
    options.stay_on_top = definition.stay_on_top;
    options.position = definition.centred_when_shown ? ui::WindowPosition::kScreenCenter
                                                     : ui::WindowPosition::kDesigned;
    options.client_size = {definition.client_width, definition.client_height};
    options.caption = std::string(definition.caption);
    options.color = definition.color;
    return options;
}

ui::Alignment ToAlignment(const ControlRow& row) {
    return row.Has(kCentered) ? ui::Alignment::kCenter : ui::Alignment::kLeft;
}

std::vector<std::string> Lines(std::string_view text) {
    if (text.empty()) return {};
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// Each setter paints; with the bar layer left out until the last one, the gradient is built
// once, by the first paint the window asks for, instead of once per setter.
void ApplyProgress(widgets::ProgressBar& bar, const ProgressRow& definition) {
    bar.SetLoading(true);
    bar.SetDirection(static_cast<widgets::TProgressDirection>(definition.direction));
    bar.SetBarColorStyle(static_cast<widgets::TBarColorStyle>(definition.color_style));
    bar.SetBarColor1(definition.bar_color1);
    bar.SetBarColor2(definition.bar_color2);
    bar.SetBarColor3(definition.bar_color3);
    bar.SetBackgroundColor(definition.background);
    bar.SetPosTextSuffix(std::string(definition.suffix));
    bar.SetShowPosText(definition.show_text);
    if (definition.font) bar.SetFont(ToFont(*definition.font));
    bar.SetLoading(false);
}

void ApplyRelief(widgets::Label3d& label, const ControlRow& row) {
    label.SetFont(ToFont(row.font ? *row.font : kWindowFont));
    label.SetTransparent(row.Has(kTransparent));
    if (row.relief) {
        label.SetAStyle3D(static_cast<widgets::T3DEffect>(row.relief->style));
        label.SetAShadeRightBottom(row.relief->shade_right_bottom);
        label.SetAShadeLTSet(row.relief->shade_lt_set);
    }
    label.SetCaption(std::string(row.text));
}

} // namespace

ui::Font ToFont(const FontRow& definition) {
    ui::Font font;
    font.face = std::string(definition.face);
    font.height = definition.height;
    font.style = definition.style;
    font.color = definition.color;
    font.charset = definition.charset;
    return font;
}

ui::Image LoadArtwork(std::string_view role) {
    if (role == "stock:ok") return ui::BitButton::MakeStockGlyph(ui::StockGlyph::kOk);
    if (role == "stock:cancel") return ui::BitButton::MakeStockGlyph(ui::StockGlyph::kCancel);
    const widgets::ArtworkEntry* entry = widgets::FindArtwork(role);
    if (!entry) throw LayoutError("no artwork named " + std::string(role));
    const std::string name = platform::Narrow(entry->name);
    switch (entry->kind) {
    case widgets::ArtworkKind::kJpeg: {
        const widgets::JpegImage jpeg = widgets::DecodeRcJpeg(entry->name);
        return ui::Image::FromRgb(jpeg.width, jpeg.height, jpeg.rgb.data());
    }
    case widgets::ArtworkKind::kBitmap: return ui::Image::FromBitmapResource(name);
    case widgets::ArtworkKind::kIcon: return ui::Image::FromIconResource(name, entry->width);
    }
    return {};
}

BuiltForm::BuiltForm(const FormTable& definition, HandlerResolver& handlers)
    : definition_(definition),
      window_(std::make_unique<ui::Window>(std::string(definition.name), ToOptions(definition))) {
    window_->SetFont(ToFont(kWindowFont));
    for (const ControlRow& row : definition) Build(row, handlers);
    // The window's own events last, so none fires on a half-built window.
    if (!definition.on_create.empty()) on_create_ = handlers.Notify(definition.on_create);
    if (!definition.on_destroy.empty())
        window_->on_destroy = handlers.Notify(definition.on_destroy);
    if (!definition.on_paint.empty()) window_->on_paint = handlers.Paint(definition.on_paint);
    if (!definition.on_resize.empty()) window_->on_resize = handlers.Notify(definition.on_resize);
    if (!definition.on_show.empty()) window_->on_show = handlers.Notify(definition.on_show);
}

BuiltForm::~BuiltForm() {
    bars_.clear();
    reliefs_.clear();
    window_.reset();
}

void BuiltForm::FireCreate() {
    if (on_create_) on_create_(*window_);
}

void BuiltForm::Build(const ControlRow& row, HandlerResolver& handlers) {
    ui::Control& parent = row.parent.empty() ? *window_ : Control(row.parent);
    const std::string name(row.name);
    const ui::Rect bounds = row.Bounds();
    ui::Control* made = nullptr;
    switch (row.kind) {
    case Kind::kRelief: {
        auto& host = parent.Add<ui::CustomControl>(name, bounds);
        auto relief = std::make_unique<widgets::Label3dControl>(host);
        ApplyRelief(relief->Label(), row);
        reliefs_[name] = std::move(relief);
        made = &host;
        break;
    }
    case Kind::kPageControl: made = &parent.Add<ui::PageControl>(name, bounds); break;
    case Kind::kPage: {
        auto* pages = dynamic_cast<ui::PageControl*>(&parent);
        if (!pages) throw LayoutError(name + ": a page needs a page control as its parent");
        made = &pages->AddPage(name);
        break;
    }
    case Kind::kPanel: {
        auto& panel = parent.Add<ui::Panel>(name, bounds);
        panel.SetBevels(ToCut(row.bevel.inner), ToCut(row.bevel.outer), row.bevel.border_width);
        made = &panel;
        break;
    }
    case Kind::kMemo: {
        ui::MemoOptions options;
        options.read_only = row.Has(kReadOnly);
        options.alignment = ToAlignment(row);
        options.scroll_bars = row.Has(kBothScrollBars)   ? ui::ScrollBars::kBoth
                              : row.Has(kVerticalScroll) ? ui::ScrollBars::kVertical
                                                         : ui::ScrollBars::kNone;
        options.word_wrap = !row.Has(kBothScrollBars);
        made = &parent.Add<ui::Memo>(name, bounds, options);
        break;
    }
    case Kind::kBevel: {
        auto& bevel = parent.Add<ui::Bevel>(name, bounds);
        bevel.SetShape(ui::BevelShape::kFrame, ui::BevelCut::kLowered);
        made = &bevel;
        break;
    }
    case Kind::kLabel: {
        auto& label = parent.Add<ui::Label>(name, bounds);
        label.SetAutoSize(!row.Has(kFixedSize));
        label.SetAlignment(ToAlignment(row));
        label.SetTransparent(row.Has(kTransparent));
        made = &label;
        break;
    }
    case Kind::kPicture: {
        auto& picture = parent.Add<ui::Picture>(name, bounds);
        picture.SetAutoSize(!row.Has(kFixedSize));
        picture.SetStretch(row.Has(kStretch));
        picture.SetTransparent(row.Has(kTransparent));
        if (!widgets::FindArtwork(row.artwork))
            throw LayoutError("no artwork named " + std::string(row.artwork));
        picture.SetImageSource([role = row.artwork] { return LoadArtwork(role); });
        made = &picture;
        break;
    }
    case Kind::kButton: {
        auto& button = parent.Add<ui::BitButton>(name, bounds);
        if (!row.artwork.empty()) button.SetGlyph(LoadArtwork(row.artwork), 2);
        button.SetDefault(row.Has(kDefault));
        button.SetCancel(row.Has(kCancel));
        button.SetModalResult(row.modal_result);
        made = &button;
        break;
    }
    case Kind::kRadio: made = &parent.Add<ui::RadioButton>(name, bounds); break;
    case Kind::kCombo: made = &parent.Add<ui::ComboBox>(name, bounds); break;
    case Kind::kCheckList: {
        auto& list = parent.Add<ui::CheckListBox>(name, bounds, 13);
        list.SetItems(Lines(row.text));
        made = &list;
        break;
    }
    case Kind::kProgressBar: {
        auto& host = parent.Add<ui::CustomControl>(name, bounds);
        auto bar = std::make_unique<widgets::ProgressBarControl>(host);
        if (row.progress) ApplyProgress(bar->Bar(), *row.progress);
        bars_[name] = std::move(bar);
        made = &host;
        break;
    }
    case Kind::kFolderTree: made = &parent.Add<ui::FolderTree>(name, bounds); break;
    }
    controls_[name] = made;

    // Each setter repaints or re-measures its control and tells the window system; a control
    // that starts with the value as designed is left alone, which shortens the start-up.
    if (row.kind != Kind::kPage) {
        const ui::Font font = ToFont(row.font ? *row.font : kWindowFont);
        if (!(made->GetFont() == font)) made->SetFont(font);
    }
    if (row.color != kParentColor && made->BackgroundColor() != row.color)
        made->SetBackgroundColor(row.color);
    if (row.kind == Kind::kMemo) {
        if (!row.text.empty()) static_cast<ui::Memo*>(made)->SetLines(Lines(row.text));
    } else if (row.kind != Kind::kCheckList && row.kind != Kind::kRelief && !row.text.empty()) {
        made->SetText(std::string(row.text));
    }
    if (made->Tag() != row.tag) made->SetTag(row.tag);
    if (made->TabOrder() != row.tab_order) made->SetTabOrder(row.tab_order);
    made->SetHint(std::string(row.hint));
    if (row.Has(kHidden)) made->Hide();
    if (row.Has(kDisabled)) made->SetEnabled(false);
    if (!row.handler.empty()) {
        ui::Notify handler = handlers.Notify(row.handler);
        if (row.HandlerEvent() == Event::kChange) {
            made->on_change = std::move(handler);
        } else {
            made->on_click = std::move(handler);
        }
    }
}

} // namespace layouts
