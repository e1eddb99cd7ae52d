#include "widgets/artwork.h"

namespace widgets {

const ArtworkEntry kArtwork[] = {
    {"Image6", L"SIDE_PORTAL", ArtworkKind::kJpeg, 150, 300, 24},
    {"Image7", L"SIDE_LICENCE", ArtworkKind::kJpeg, 150, 300, 24},
    {"Image8", L"SIDE_DIRPAGE", ArtworkKind::kJpeg, 150, 300, 24},
    {"Image9", L"SIDE_ICONPAGE", ArtworkKind::kJpeg, 150, 300, 24},
    {"Image10", L"SIDE_INSTALL", ArtworkKind::kJpeg, 150, 300, 24},
    {"Image11", L"SIDE_UNINSTALL", ArtworkKind::kJpeg, 150, 299, 24},
    {"Image1", L"PIC_SHORTCUT", ArtworkKind::kIcon, 32, 32, 4},
    {"Image2", L"PIC_RUN", ArtworkKind::kBitmap, 16, 16, 24},
    {"Image3", L"PIC_FOLDER", ArtworkKind::kBitmap, 34, 29, 24},
    {"Image4", L"PIC_MEMBER", ArtworkKind::kBitmap, 16, 16, 4},
    {"Image5", L"PIC_LOGO", ArtworkKind::kBitmap, 350, 100, 8},
    {"glyph:back", L"GLYPH_BACK", ArtworkKind::kBitmap, 32, 16, 4},
    {"glyph:continue", L"GLYPH_CONTINUE", ArtworkKind::kBitmap, 32, 16, 4},
    {"glyph:cancel", L"GLYPH_CANCEL", ArtworkKind::kBitmap, 32, 16, 4},
    {"glyph:finish", L"GLYPH_FINISH", ArtworkKind::kBitmap, 32, 16, 4},
    {"glyph:uninstall", L"GLYPH_UNINSTALL", ArtworkKind::kBitmap, 32, 16, 4},
    {"app", L"APP_ICON", ArtworkKind::kIcon, 32, 32, 4},
};
const std::size_t kArtworkCount = sizeof kArtwork / sizeof kArtwork[0];

const ArtworkEntry* FindArtwork(std::string_view role) {
    for (const ArtworkEntry& entry : kArtwork) {
        if (entry.role == role) return &entry;
    }
    return nullptr;
}

ResourceBytes FindRcData(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    // Resources are mapped with the program; LockResource only hands out the address.
    return {static_cast<const std::uint8_t*>(LockResource(loaded)),
            static_cast<std::size_t>(SizeofResource(module, found))};
}

JpegImage DecodeRcJpeg(const wchar_t* name) {
    ResourceBytes bytes = FindRcData(name);
    if (bytes.data == nullptr) throw JpegError("picture resource missing");
    return DecodeJpeg(bytes.data, bytes.size);
}

HBITMAP LoadArtworkBitmap(const wchar_t* name) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HICON LoadArtworkIcon(const wchar_t* name) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
}

} // namespace widgets
