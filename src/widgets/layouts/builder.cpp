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

ui::WindowOptions ToOptions(const FormTable& definition, const DesignScale& scale) {
    ui::WindowOptions options;
    options.border = definition.border == FormBorder::kNone ? ui::BorderStyle::kNone
                                                            : ui::BorderStyle::kToolWindow;
    options.stay_on_top = definition.stay_on_top;
    options.position = definition.centred_when_shown ? ui::WindowPosition::kScreenCenter
                                                     : ui::WindowPosition::kDesigned;
    options.client_size = scale.Size({definition.client_width, definition.client_height});
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
void ApplyProgress(widgets::ProgressBar& bar, const ProgressRow& definition,
                   const DesignScale& scale) {
    bar.SetLoading(true);
    bar.SetDirection(static_cast<widgets::TProgressDirection>(definition.direction));
    bar.SetBarColorStyle(static_cast<widgets::TBarColorStyle>(definition.color_style));
    bar.SetBarColor1(definition.bar_color1);
    bar.SetBarColor2(definition.bar_color2);
    bar.SetBarColor3(definition.bar_color3);
    bar.SetBackgroundColor(definition.background);
    bar.SetPosTextSuffix(std::string(definition.suffix));
    bar.SetShowPosText(definition.show_text);
    if (definition.font) bar.SetFont(ToFont(*definition.font, scale));
    bar.SetLoading(false);
}

void ApplyRelief(widgets::Label3d& label, const ControlRow& row, const DesignScale& scale) {
    label.SetFont(ToFont(row.font ? *row.font : kWindowFont, scale));
    label.SetReliefDepth(scale.Length(1));
    label.SetTransparent(row.Has(kTransparent));
    if (row.relief) {
        label.SetAStyle3D(static_cast<widgets::T3DEffect>(row.relief->style));
        label.SetAShadeRightBottom(row.relief->shade_right_bottom);
        label.SetAShadeLTSet(row.relief->shade_lt_set);
    }
    label.SetCaption(std::string(row.text));
}

} // namespace

ui::Font ToFont(const FontRow& definition, const DesignScale& scale) {
    ui::Font font;
    font.face = std::string(definition.face);
    font.height = scale.Length(definition.height);
    font.style = definition.style;
    font.color = definition.color;
    font.charset = definition.charset;
    return font;
}

// Glyphs and bitmaps are drawn with a transparent colour and keep their pixels' colours;
// the photographs are blended. An icon is drawn by the system at the size asked for.
ui::Image LoadArtwork(std::string_view role, const DesignScale& scale) {
    using Resample = ui::Image::Resample;
    const auto scaled = [&scale](ui::Image image, Resample how) {
        const ui::Size size = scale.Size({image.Width(), image.Height()});
        return std::move(image).Scaled(size, how);
    };
    if (role == "stock:ok")
        return scaled(ui::BitButton::MakeStockGlyph(ui::StockGlyph::kOk), Resample::kNearest);
    if (role == "stock:cancel")
        return scaled(ui::BitButton::MakeStockGlyph(ui::StockGlyph::kCancel), Resample::kNearest);
    const widgets::ArtworkEntry* entry = widgets::FindArtwork(role);
    if (!entry) throw LayoutError("no artwork named " + std::string(role));
    const std::string name = platform::Narrow(entry->name);
    switch (entry->kind) {
    case widgets::ArtworkKind::kJpeg: {
        const widgets::JpegImage jpeg = widgets::DecodeRcJpeg(entry->name);
        return scaled(ui::Image::FromRgb(jpeg.width, jpeg.height, jpeg.rgb.data()),
                      Resample::kSmooth);
    }
    case widgets::ArtworkKind::kBitmap:
        return scaled(ui::Image::FromBitmapResource(name), Resample::kNearest);
    case widgets::ArtworkKind::kIcon:
        return ui::Image::FromIconResource(name, scale.Length(entry->width));
    }
    return {};
}

BuiltForm::BuiltForm(const FormTable& definition, HandlerResolver& handlers)
    : BuiltForm(definition, handlers, DesignScale(ui::Application::ScreenDpi())) {}

BuiltForm::BuiltForm(const FormTable& definition, HandlerResolver& handlers, DesignScale scale)
    : definition_(definition),
      scale_(scale),
      window_(std::make_unique<ui::Window>(std::string(definition.name),
                                           ToOptions(definition, scale))) {
    window_->SetFont(ToFont(kWindowFont, scale_));
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
    const ui::Rect bounds = scale_.Bounds(row.Bounds());
    ui::Control* made = nullptr;
    switch (row.kind) {
    case Kind::kRelief: {
        auto& host = parent.Add<ui::CustomControl>(name, bounds);
        auto relief = std::make_unique<widgets::Label3dControl>(host);
        ApplyRelief(relief->Label(), row, scale_);
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
        panel.SetBevels(ToCut(row.bevel.inner), ToCut(row.bevel.outer),
                        scale_.Length(row.bevel.border_width));
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
        picture.SetImageSource(
            [role = row.artwork, scale = scale_] { return LoadArtwork(role, scale); });
        made = &picture;
        break;
    }
    case Kind::kButton: {
        auto& button = parent.Add<ui::BitButton>(name, bounds);
        if (!row.artwork.empty()) button.SetGlyph(LoadArtwork(row.artwork, scale_), 2);
        button.SetSpacing(scale_.Length(ui::BitButton::kSpacing));
        button.SetDefault(row.Has(kDefault));
        button.SetCancel(row.Has(kCancel));
        button.SetModalResult(row.modal_result);
        made = &button;
        break;
    }
    case Kind::kRadio: made = &parent.Add<ui::RadioButton>(name, bounds); break;
    case Kind::kCombo:
        made = &parent.Add<ui::ComboBox>(name, bounds, (row.flags & kEditable) != 0);
        break;
    case Kind::kCheckList: {
        auto& list = parent.Add<ui::CheckListBox>(name, bounds, scale_.Length(13));
        list.SetItems(Lines(row.text));
        made = &list;
        break;
    }
    case Kind::kProgressBar: {
        auto& host = parent.Add<ui::CustomControl>(name, bounds);
        auto bar = std::make_unique<widgets::ProgressBarControl>(host);
        if (row.progress) ApplyProgress(bar->Bar(), *row.progress, scale_);
        bars_[name] = std::move(bar);
        made = &host;
        break;
    }
    case Kind::kFolderTree: {
        auto& tree = parent.Add<ui::FolderTree>(name, bounds);
        tree.SetIndent(scale_.Length(ui::FolderTree::kIndent));
        made = &tree;
        break;
    }
    }
    controls_[name] = made;

    // Each setter repaints or re-measures its control and tells the window system; a control
    // that starts with the value as designed is left alone, which shortens the start-up.
    if (row.kind != Kind::kPage) {
        const ui::Font font = ToFont(row.font ? *row.font : kWindowFont, scale_);
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
