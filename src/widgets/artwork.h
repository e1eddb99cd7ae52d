// The installer's pictures, glyph strips and icons, compiled into the program as resources
// (artwork.rc, drawn at build time by tools/artwork/make_artwork.py). This finds them by name;
// the UI turns them into pictures. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "widgets/jpeg_image.h"

namespace widgets {

enum class ArtworkKind {
    kJpeg,   // RCDATA holding a JPEG file (the side pictures)
    kBitmap, // BITMAP
    kIcon,   // ICON
};

struct ArtworkEntry {
    std::string_view role; // the layouts' name: "Image1" to "Image11", "glyph:back", "app"
    const wchar_t* name;   // the resource's name
    ArtworkKind kind;
    int width;
    int height;
    int bits_per_pixel; // as stored (JPEG: 24 once decoded)
};

// Every picture of the windows; the application icon is also the program file's first icon.
extern const ArtworkEntry kArtwork[];
extern const std::size_t kArtworkCount;

// The entry for a layout name, or nullptr.
const ArtworkEntry* FindArtwork(std::string_view role);

struct ResourceBytes {
    const std::uint8_t* data = nullptr; // valid as long as the program runs
    std::size_t size = 0;
};

// The bytes of an RCDATA resource of the program; empty when there is none.
ResourceBytes FindRcData(const wchar_t* name);

// A side picture decoded to RGB. Throws JpegError when it is missing or damaged.
JpegImage DecodeRcJpeg(const wchar_t* name);

// A BITMAP resource as a DIB section with its stored depth and palette (a plain LoadBitmap
// would convert it to the screen's format); nullptr when missing. Free with DeleteObject.
HBITMAP LoadArtworkBitmap(const wchar_t* name);

// An ICON resource at 32 x 32; nullptr when missing. Free with DestroyIcon.
HICON LoadArtworkIcon(const wchar_t* name);

} // namespace widgets
