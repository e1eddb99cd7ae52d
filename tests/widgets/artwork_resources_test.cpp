// The artwork as the program carries it: every resource found by its name, with the stored size
// and depth, glyph strips on olive, and the application icon first among the icons.
#include "widgets/artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "contract/controls.h"
#include "support/icon_groups.h"

namespace {

using C = contract::MainControl;
using contract::NameOf;
using widgets::ArtworkEntry;
using widgets::ArtworkKind;

// The stored header of a BITMAP resource (windres drops the file header).
BITMAPINFOHEADER StoredHeader(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(2)); // RT_BITMAP
    BITMAPINFOHEADER header{};
    if (found == nullptr || SizeofResource(module, found) < sizeof header) return header;
    header = *static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    return header;
}

// The pixels of a bitmap as the screen would show them (COLORREF), top row first.
std::vector<COLORREF> Pixels(HBITMAP bitmap, int width, int height) {
    std::vector<COLORREF> pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

std::string Narrow(const wchar_t* wide) {
    return std::string(wide, wide + wcslen(wide));
}

TEST(ArtworkResourceTest, EveryPictureHasItsSizeAndDepth) {
    ASSERT_EQ(widgets::kArtworkCount, 17u);
    for (std::size_t i = 0; i < widgets::kArtworkCount; ++i) {
        const ArtworkEntry& entry = widgets::kArtwork[i];
        SCOPED_TRACE(Narrow(entry.name));
        switch (entry.kind) {
        case ArtworkKind::kJpeg: {
            const widgets::JpegImage image = widgets::DecodeRcJpeg(entry.name);
            EXPECT_EQ(image.width, entry.width);
            EXPECT_EQ(image.height, entry.height);
            EXPECT_EQ(image.components, 3);
            EXPECT_TRUE(image.progressive);
            break;
        }
        case ArtworkKind::kBitmap: {
            const BITMAPINFOHEADER header = StoredHeader(entry.name);
            EXPECT_EQ(header.biWidth, entry.width);
            EXPECT_EQ(header.biHeight, entry.height); // bottom-up, as Windows expects
            EXPECT_EQ(header.biBitCount, entry.bits_per_pixel);
            EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
            HBITMAP bitmap = widgets::LoadArtworkBitmap(entry.name);
            ASSERT_NE(bitmap, nullptr);
            DIBSECTION dib{};
            ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
            EXPECT_EQ(dib.dsBm.bmWidth, entry.width);
            EXPECT_EQ(dib.dsBm.bmHeight, entry.height);
            EXPECT_EQ(dib.dsBm.bmBitsPixel, entry.bits_per_pixel);
            DeleteObject(bitmap);
            break;
        }
        case ArtworkKind::kIcon: {
            // The program's icon has more sizes (setup_resources_test checks them); the one
            // the windows load is the table's.
            const std::vector<icontest::GroupIconEntry> images =
                icontest::GroupIconEntries(GetModuleHandleW(nullptr), entry.name);
            const auto icon = std::find_if(images.begin(), images.end(), [&](const auto& image) {
                return image.width == entry.width;
            });
            ASSERT_NE(icon, images.end());
            EXPECT_EQ(icon->height, entry.height);
            EXPECT_EQ(icon->colours, 16);
            EXPECT_EQ(icon->bit_count, entry.bits_per_pixel);
            HICON loaded = widgets::LoadArtworkIcon(entry.name);
            ASSERT_NE(loaded, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(loaded, &info));
            BITMAP colour{};
            GetObjectW(info.hbmColor, sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, 32);
            EXPECT_EQ(colour.bmHeight, 32);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(loaded);
            break;
        }
        }
    }
}

TEST(ArtworkResourceTest, GlyphStripsHoldTwoImagesOnOlive) {
    const COLORREF olive = RGB(128, 128, 0);
    for (const char* role :
         {"glyph:back", "glyph:continue", "glyph:cancel", "glyph:finish", "glyph:uninstall"}) {
        SCOPED_TRACE(role);
        const ArtworkEntry* entry = widgets::FindArtwork(role);
        ASSERT_NE(entry, nullptr);
        HBITMAP bitmap = widgets::LoadArtworkBitmap(entry->name);
        ASSERT_NE(bitmap, nullptr);
        const std::vector<COLORREF> pixels = Pixels(bitmap, 32, 16);
        DeleteObject(bitmap);
        EXPECT_EQ(pixels[15 * 32], olive); // bottom-left: the transparent colour
        int enabled = 0, disabled = 0, differ = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const COLORREF left = pixels[y * 32 + x];
                const COLORREF right = pixels[y * 32 + 16 + x];
                enabled += left != olive;
                disabled += right != olive;
                differ += left != right;
            }
        }
        EXPECT_GT(enabled, 40);
        EXPECT_GT(disabled, 25);
        EXPECT_GT(differ, 25);
    }
    // Left and right hands are each other's mirror images.
    HBITMAP back = widgets::LoadArtworkBitmap(L"GLYPH_BACK");
    HBITMAP next = widgets::LoadArtworkBitmap(L"GLYPH_CONTINUE");
    const std::vector<COLORREF> b = Pixels(back, 32, 16), n = Pixels(next, 32, 16);
    DeleteObject(back);
    DeleteObject(next);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) EXPECT_EQ(b[y * 32 + x], n[y * 32 + 15 - x]) << x << "," << y;
    }
}

TEST(ArtworkResourceTest, TransparentPicturesHaveABackgroundCornerAndAMotif) {
    for (C role : {C::kRunBarIcon, C::kFolderIcon, C::kMemberBarIcon}) {
        SCOPED_TRACE(NameOf(role));
        const ArtworkEntry* entry = widgets::FindArtwork(NameOf(role));
        ASSERT_NE(entry, nullptr);
        HBITMAP bitmap = widgets::LoadArtworkBitmap(entry->name);
        ASSERT_NE(bitmap, nullptr);
        const std::vector<COLORREF> pixels = Pixels(bitmap, entry->width, entry->height);
        DeleteObject(bitmap);
        const COLORREF key = pixels[static_cast<std::size_t>((entry->height - 1) * entry->width)];
        int drawn = 0;
        for (COLORREF p : pixels) drawn += p != key;
        EXPECT_GT(drawn, static_cast<int>(pixels.size()) / 3);
        EXPECT_LT(drawn, static_cast<int>(pixels.size()));
    }
}

TEST(ArtworkResourceTest, ApplicationIconComesFirst) {
    const std::wstring first = icontest::FirstIconGroup(GetModuleHandleW(nullptr));
    EXPECT_EQ(first, std::wstring(widgets::FindArtwork("app")->name));
}

TEST(ArtworkResourceTest, MissingNamesAreReportedNotGuessed) {
    EXPECT_EQ(widgets::FindArtwork("Image12"), nullptr);
    EXPECT_EQ(widgets::FindRcData(L"NO_SUCH_PICTURE").data, nullptr);
    EXPECT_THROW(widgets::DecodeRcJpeg(L"NO_SUCH_PICTURE"), widgets::JpegError);
    EXPECT_EQ(widgets::LoadArtworkBitmap(L"NO_SUCH_PICTURE"), nullptr);
    EXPECT_EQ(widgets::LoadArtworkIcon(L"NO_SUCH_PICTURE"), nullptr);
    // Every role of the layouts is in the table.
    for (C role : {C::kIconPageIcon, C::kRunBarIcon, C::kFolderIcon, C::kMemberBarIcon,
                   C::kPanelPicture, C::kWelcomePicture, C::kLicencePicture, C::kFolderPicture,
                   C::kIconPicture, C::kSummaryPicture, C::kUninstallPicture}) {
        EXPECT_NE(widgets::FindArtwork(NameOf(role)), nullptr) << NameOf(role);
    }
}

} // namespace
