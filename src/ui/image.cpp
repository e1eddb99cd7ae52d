#include "ui/image.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/code_page.h"

namespace ui {
namespace {

// Bitmaps keep 0x00RRGGBB; COLORREF is 0x00BBGGRR.
Color ToColor(std::uint32_t pixel) {
    return Rgb(static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
               static_cast<std::uint8_t>(pixel));
}

class MemoryDc {
  public:
    explicit MemoryDc(void* bitmap) : dc_(CreateCompatibleDC(nullptr)) {
        old_ = SelectObject(dc_, static_cast<HBITMAP>(bitmap));
    }
    ~MemoryDc() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace

Image::Image() = default;

Image::~Image() {
    Release();
}

Image::Image(Image&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      bitmap_(std::exchange(other.bitmap_, nullptr)),
      bits_(std::exchange(other.bits_, nullptr)),
      icon_(std::exchange(other.icon_, nullptr)) {}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Release();
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        bits_ = std::exchange(other.bits_, nullptr);
        icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
}

void Image::Release() {
    if (bitmap_) DeleteObject(static_cast<HBITMAP>(bitmap_));
    if (icon_) DestroyIcon(icon_);
    bitmap_ = nullptr;
    bits_ = nullptr;
    icon_ = nullptr;
    width_ = height_ = 0;
}

void Image::Allocate(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;
    bitmap_ = bitmap;
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

Image Image::FromRgb(int width, int height, const std::uint8_t* rgb) {
    Image image;
    image.Allocate(width, height);
    if (image.Empty()) return image;
    for (int i = 0; i < width * height; ++i, rgb += 3) {
        image.bits_[i] = static_cast<std::uint32_t>(rgb[0]) << 16 |
                         static_cast<std::uint32_t>(rgb[1]) << 8 | rgb[2];
    }
    return image;
}

Image Image::FromCanvas(const Canvas& canvas) {
    Image image;
    image.Allocate(canvas.Width(), canvas.Height());
    if (image.Empty()) return image;
    MemoryDc dc(image.bitmap_);
    BitBlt(dc.get(), 0, 0, image.width_, image.height_, canvas.Dc(), 0, 0, SRCCOPY);
    return image;
}

Image Image::FromBitmapResource(const std::string& name) {
    Image image;
    const std::wstring wide = platform::Widen(name);
    auto stored = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), wide.c_str(),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!stored) return image;
    BITMAP info{};
    GetObjectW(stored, sizeof info, &info);
    image.Allocate(info.bmWidth, std::abs(info.bmHeight));
    if (!image.Empty()) {
        // Through GDI, so palettes of 16 and 256 colours become plain RGB.
        MemoryDc source(stored);
        MemoryDc target(image.bitmap_);
        BitBlt(target.get(), 0, 0, image.width_, image.height_, source.get(), 0, 0, SRCCOPY);
    }
    DeleteObject(stored);
    return image;
}

Image Image::FromIconResource(const std::string& name, int size) {
    Image image;
    const std::wstring wide = platform::Widen(name);
    image.icon_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), wide.c_str(), IMAGE_ICON, size, size, 0));
    if (image.icon_) image.width_ = image.height_ = size;
    return image;
}

Color Image::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return ToColor(bits_[static_cast<size_t>(y) * width_ + x]);
}

Image Image::Crop(const Rect& part) const {
    Image image;
    if (!bits_) return image;
    image.Allocate(part.Width(), part.Height());
    if (image.Empty()) return image;
    for (int y = 0; y < image.height_; ++y) {
        for (int x = 0; x < image.width_; ++x) {
            const int sx = part.left + x;
            const int sy = part.top + y;
            const bool inside = sx >= 0 && sy >= 0 && sx < width_ && sy < height_;
            image.bits_[y * image.width_ + x] = inside ? bits_[sy * width_ + sx] : 0;
        }
    }
    return image;
}

namespace {

// Interpolates the four pixels around a source point, channel by channel; `fx` and `fy` are
// the point's distance past the top-left one in 1/256.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, int fx,
                    int fy) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int top = static_cast<int>((a >> shift) & 0xFF) * (256 - fx) +
                        static_cast<int>((b >> shift) & 0xFF) * fx;
        const int bottom = static_cast<int>((c >> shift) & 0xFF) * (256 - fx) +
                           static_cast<int>((d >> shift) & 0xFF) * fx;
        const int value = (top * (256 - fy) + bottom * fy + (1 << 15)) >> 16;
        out |= static_cast<std::uint32_t>(value) << shift;
    }
    return out;
}

// Where the centre of target pixel `i` of `to` lies in a source of `from` pixels, in 1/256.
int SourcePosition(int i, int from, int to) {
    const long long centre = (2LL * i + 1) * from * 256 / (2LL * to) - 128;
    return static_cast<int>(std::max(0LL, std::min(centre, (from - 1) * 256LL)));
}

} // namespace

Image Image::Scaled(Size size, Resample how) && {
    if (!bits_ || (size.width == width_ && size.height == height_)) return std::move(*this);
    Image image;
    image.Allocate(size.width, size.height);
    if (image.Empty()) return image;
    for (int y = 0; y < size.height; ++y) {
        const int sy = SourcePosition(y, height_, size.height);
        const int y0 = sy >> 8;
        const int y1 = std::min(y0 + 1, height_ - 1);
        for (int x = 0; x < size.width; ++x) {
            const int sx = SourcePosition(x, width_, size.width);
            const int x0 = sx >> 8;
            std::uint32_t& out = image.bits_[static_cast<size_t>(y) * size.width + x];
            if (how == Resample::kNearest) {
                const int nx = (sx + 128) >> 8;
                const int ny = (sy + 128) >> 8;
                out = bits_[static_cast<size_t>(ny) * width_ + nx];
                continue;
            }
            const int x1 = std::min(x0 + 1, width_ - 1);
            const std::uint32_t* row0 = bits_ + static_cast<size_t>(y0) * width_;
            const std::uint32_t* row1 = bits_ + static_cast<size_t>(y1) * width_;
            out = Blend(row0[x0], row0[x1], row1[x0], row1[x1], sx & 0xFF, sy & 0xFF);
        }
    }
    return image;
}

void Image::Draw(NativeDc dc, const Rect& dest, bool transparent) const {
    if (Empty()) return;
    if (icon_) {
        DrawIconEx(dc, dest.left, dest.top, icon_, dest.Width(), dest.Height(), 0, nullptr,
                   DI_NORMAL);
        return;
    }
    MemoryDc source(bitmap_);
    if (transparent) {
        GdiTransparentBlt(dc, dest.left, dest.top, dest.Width(), dest.Height(), source.get(), 0, 0,
                          width_, height_, TransparentColor());
        return;
    }
    const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, dest.left, dest.top, dest.Width(), dest.Height(), source.get(), 0, 0, width_,
               height_, SRCCOPY);
    SetStretchBltMode(dc, old_mode);
}

void Image::DrawPart(NativeDc dc, Point at, const Rect& part, Color transparent_color) const {
    if (!bitmap_) return;
    MemoryDc source(bitmap_);
    GdiTransparentBlt(dc, at.x, at.y, part.Width(), part.Height(), source.get(), part.left,
                      part.top, part.Width(), part.Height(), transparent_color);
}

} // namespace ui
