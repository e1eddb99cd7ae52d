#include "ui/canvas.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "ui/control.h"

namespace ui {

static_assert(kTextLeft == DT_LEFT && kTextCenter == DT_CENTER && kTextRight == DT_RIGHT);
static_assert(kTextWordBreak == DT_WORDBREAK && kTextExpandTabs == DT_EXPANDTABS);
static_assert(kTextNoPrefix == DT_NOPREFIX);

namespace {

RECT ToRect(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// A pen or brush for one drawing call, deselected and deleted afterwards.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        SelectObject(dc_, previous_);
        DeleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_;
};

} // namespace

Canvas::Canvas() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) {
        // Text never paints a background box; only the glyphs are drawn.
        SetBkMode(dc_, TRANSPARENT);
        original_bitmap_ = GetCurrentObject(dc_, OBJ_BITMAP);
    }
}

Canvas::Canvas(int width, int height) : Canvas() {
    SetSize(width, height);
}

Canvas::~Canvas() {
    Release();
}

Canvas::Canvas(Canvas&& other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)),
      bitmap_(std::exchange(other.bitmap_, nullptr)),
      original_bitmap_(std::exchange(other.original_bitmap_, nullptr)),
      bits_(std::exchange(other.bits_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      font_(std::move(other.font_)),
      font_handle_(std::move(other.font_handle_)) {}

Canvas& Canvas::operator=(Canvas&& other) noexcept {
    if (this != &other) {
        Release();
        dc_ = std::exchange(other.dc_, nullptr);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        original_bitmap_ = std::exchange(other.original_bitmap_, nullptr);
        bits_ = std::exchange(other.bits_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        font_ = std::move(other.font_);
        font_handle_ = std::move(other.font_handle_);
    }
    return *this;
}

void Canvas::Release() {
    if (!dc_) return;
    // Nothing may be deleted while it is still selected into the DC.
    SelectObject(dc_, original_bitmap_);
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    if (bitmap_) DeleteObject(bitmap_);
    font_handle_ = FontHandle();
    DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

void Canvas::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) width = height = 0;
    if (!dc_ || (width == width_ && height == height_)) return;
    SelectObject(dc_, original_bitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    if (width == 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return; // out of memory: stays empty, drawing does nothing
    SelectObject(dc_, bitmap);
    bitmap_ = bitmap;
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

void Canvas::Assign(const Canvas& source) {
    if (&source == this) return;
    SetSize(source.width_, source.height_);
    Draw({0, 0}, source);
}

// As the painter fills: a gradient is built of one fill per line, so no brush per call.
void Canvas::Fill(const Rect& rect, Color color) {
    if (!Empty()) Painter(dc_).FillRect(rect, color);
}

void Canvas::PutPixel(Point at, Color color) {
    if (!Empty()) SetPixelV(dc_, at.x, at.y, ResolveColor(color));
}

void Canvas::Line(Point from, Point to, Color color) {
    Polyline({from, to}, color);
}

void Canvas::Polyline(std::initializer_list<Point> points, Color color) {
    if (Empty() || points.size() < 2) return;
    std::vector<POINT> pts;
    pts.reserve(points.size());
    for (Point p : points) pts.push_back({p.x, p.y});
    SelectedObject pen(dc_, CreatePen(PS_SOLID, 1, ResolveColor(color)));
    ::Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
}

void Canvas::UseFont(const Font& font) const {
    if (!font_handle_.get() || font != font_) {
        FontHandle fresh(font);
        // Select the new font before the old one is deleted with the handle it replaces.
        SelectObject(dc_, fresh.get() ? static_cast<HGDIOBJ>(fresh.get())
                                      : GetStockObject(DEFAULT_GUI_FONT));
        font_handle_ = std::move(fresh);
        font_ = font;
        return;
    }
    SelectObject(dc_, font_handle_.get());
}

Size Canvas::TextSize(const std::string& text, const Font& font) const {
    if (!dc_) return {};
    UseFont(font);
    const std::wstring wide = platform::Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return {size.cx, size.cy};
}

void Canvas::PrintText(Point at, const std::string& text, const Font& font) {
    if (Empty()) return;
    UseFont(font);
    SetTextColor(dc_, ResolveColor(font.color));
    const std::wstring wide = platform::Widen(text);
    TextOutW(dc_, at.x, at.y, wide.c_str(), static_cast<int>(wide.size()));
}

void Canvas::PrintTextIn(const Rect& rect, const std::string& text, const Font& font, Color color,
                         unsigned format) {
    if (Empty() || text.empty()) return;
    UseFont(font);
    SetTextColor(dc_, ResolveColor(color));
    const std::wstring wide = platform::Widen(text);
    RECT r = ToRect(rect);
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, format & ~DT_CALCRECT);
}

Rect Canvas::MeasureTextIn(const Rect& rect, const std::string& text, const Font& font,
                           unsigned format) const {
    if (!dc_) return {rect.left, rect.top, rect.left, rect.top};
    UseFont(font);
    const std::wstring wide = platform::Widen(text);
    RECT r = ToRect(rect);
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, format | DT_CALCRECT);
    return {r.left, r.top, r.right, r.bottom};
}

void Canvas::Draw(Point at, const Canvas& source) {
    if (Empty() || source.Empty()) return;
    BitBlt(dc_, at.x, at.y, source.width_, source.height_, source.dc_, 0, 0, SRCCOPY);
}

void Canvas::DrawTiled(const Canvas& picture) {
    if (Empty() || picture.Empty()) return;
    const int w = picture.width_;
    const int h = picture.height_;
    for (int row = 0; row <= height_ / h; ++row) {
        for (int column = 0; column <= width_ / w; ++column) Draw({column * w, row * h}, picture);
    }
}

void Canvas::CopyTo(NativeDc target, Point at) const {
    if (Empty() || !target) return;
    BitBlt(target, at.x, at.y, width_, height_, dc_, 0, 0, SRCCOPY);
}

Color Canvas::Pixel(int x, int y) const {
    if (Empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush(); // GDI may batch drawing calls; the bits must hold all of them
    const std::uint32_t v =
        bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    // A 32-bit DIB pixel is blue, green, red, unused in memory order.
    return Rgb(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
               static_cast<std::uint8_t>(v));
}

Canvas::ClipScope::ClipScope(Canvas& canvas, const Rect& rect) : canvas_(canvas) {
    HDC dc = canvas_.dc_;
    if (!dc) return;
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    if (saved && GetClipRgn(dc, saved) != 1) {
        DeleteObject(saved); // no clip region before: restoring means removing ours
        saved = nullptr;
    }
    saved_ = saved;
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

Canvas::ClipScope::~ClipScope() {
    if (!canvas_.dc_) return;
    HRGN saved = static_cast<HRGN>(saved_);
    SelectClipRgn(canvas_.dc_, saved);
    if (saved) DeleteObject(saved);
}

} // namespace ui
