#include "ui/color.h"

#include <windows.h>

namespace ui {

static_assert(clWindowText == (kSystemColorFlag | COLOR_WINDOWTEXT));
static_assert(clBtnFace == (kSystemColorFlag | COLOR_BTNFACE));
static_assert(clBtnShadow == (kSystemColorFlag | COLOR_BTNSHADOW));
static_assert(clGrayText == (kSystemColorFlag | COLOR_GRAYTEXT));
static_assert(clBtnHighlight == (kSystemColorFlag | COLOR_BTNHIGHLIGHT));
static_assert(Rgb(1, 2, 3) == RGB(1, 2, 3));

Color ResolveColor(Color color) {
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF)) & 0xFFFFFF;
    return color & 0xFFFFFF;
}

} // namespace ui
