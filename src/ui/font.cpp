#include "ui/font.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/code_page.h"

namespace ui {

FontHandle::FontHandle(const Font& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.height;
    lf.lfWeight = (font.style & kFontBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.style & kFontItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.style & kFontUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.style & kFontStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = font.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = static_cast<BYTE>(font.quality);
    // A missing face (MS Sans Serif, Arial) is then replaced by a sans-serif one.
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = platform::Widen(font.face);
    const size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(face.begin(), n, lf.lfFaceName);
    handle_ = CreateFontIndirectW(&lf);
}

FontHandle::~FontHandle() {
    if (handle_) DeleteObject(handle_);
}

FontHandle::FontHandle(FontHandle&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

FontHandle& FontHandle::operator=(FontHandle&& other) noexcept {
    if (this != &other) {
        if (handle_) DeleteObject(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

} // namespace ui
