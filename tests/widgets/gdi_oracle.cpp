#include "gdi_oracle.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/code_page.h"

namespace widgets_test {

GdiImage::GdiImage(int width, int height, ui::Color fill) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    old_bitmap_ = SelectObject(dc_, bitmap_);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Set(x, y, fill);
}

GdiImage::GdiImage(const ui::Canvas& source) : GdiImage(source.Width(), source.Height(), 0) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) Set(x, y, source.Pixel(x, y));
}

GdiImage::~GdiImage() {
    SelectObject(dc_, old_bitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

ui::Color GdiImage::At(int x, int y) const {
    GdiFlush();
    const std::uint32_t v = bits_[y * width_ + x];
    return ui::Rgb(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                   static_cast<std::uint8_t>(v));
}

void GdiImage::Set(int x, int y, ui::Color rgb) {
    GdiFlush();
    bits_[y * width_ + x] = static_cast<std::uint32_t>(ui::RedOf(rgb)) << 16 |
                            static_cast<std::uint32_t>(ui::GreenOf(rgb)) << 8 | ui::BlueOf(rgb);
}

GdiFont::GdiFont(const ui::Font& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.height;
    lf.lfWeight = (font.style & ui::kFontBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.style & ui::kFontItalic) != 0;
    lf.lfUnderline = (font.style & ui::kFontUnderline) != 0;
    lf.lfStrikeOut = (font.style & ui::kFontStrikeOut) != 0;
    lf.lfCharSet = font.charset;
    lf.lfQuality = static_cast<BYTE>(font.quality);
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = platform::Widen(font.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&lf);
}

std::vector<bool> TextMask(int width, int height, const std::string& text, const ui::Font& font,
                           RECT rect, UINT format) {
    const ui::Color white = ui::Rgb(255, 255, 255);
    GdiImage image(width, height, white);
    GdiFont gdi_font(font);
    HGDIOBJ old = SelectObject(image.dc(), gdi_font.get());
    SetBkMode(image.dc(), TRANSPARENT);
    SetTextColor(image.dc(), RGB(0, 0, 0));
    const std::wstring wide = platform::Widen(text);
    DrawTextW(image.dc(), wide.c_str(), static_cast<int>(wide.size()), &rect, format);
    SelectObject(image.dc(), old);
    std::vector<bool> mask(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) mask[y * width + x] = image.At(x, y) != white;
    return mask;
}

SIZE GdiTextSize(const std::string& text, const ui::Font& font) {
    HDC dc = CreateCompatibleDC(nullptr);
    GdiFont gdi_font(font);
    HGDIOBJ old = SelectObject(dc, gdi_font.get());
    const std::wstring wide = platform::Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

ui::Color SystemRgb(int index) {
    return GetSysColor(index) & 0xFFFFFF;
}

testing::AssertionResult SamePixels(const ui::Canvas& actual, const GdiImage& expected) {
    if (actual.Width() != expected.width() || actual.Height() != expected.height()) {
        return testing::AssertionFailure()
               << "size " << actual.Width() << "x" << actual.Height() << ", expected "
               << expected.width() << "x" << expected.height();
    }
    int mismatches = 0;
    char first[160] = "";
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const ui::Color a = actual.Pixel(x, y);
            const ui::Color e = expected.At(x, y);
            if (a == e) continue;
            if (mismatches++ == 0) {
                std::snprintf(first, sizeof first, "first at (%d,%d): 0x%06X, expected 0x%06X", x,
                              y, static_cast<unsigned>(a), static_cast<unsigned>(e));
            }
        }
    }
    if (mismatches == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << mismatches << " pixels differ; " << first;
}

void SavePicture(const ui::Canvas& canvas, const std::string& name) {
    const char* folder = std::getenv("ORVO_WIDGETS_PICTURES");
    if (!folder || canvas.Empty()) return;
    const int w = canvas.Width();
    const int h = canvas.Height();
    const int row = (w * 3 + 3) & ~3;
    const std::uint32_t image_size = static_cast<std::uint32_t>(row * h);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + image_size;
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h; // bottom-up rows, as BMP readers expect
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = image_size;
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    std::string line(static_cast<size_t>(row), '\0');
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const ui::Color c = canvas.Pixel(x, y);
            line[x * 3] = static_cast<char>(ui::BlueOf(c));
            line[x * 3 + 1] = static_cast<char>(ui::GreenOf(c));
            line[x * 3 + 2] = static_cast<char>(ui::RedOf(c));
        }
        out.write(line.data(), row);
    }
}

} // namespace widgets_test
