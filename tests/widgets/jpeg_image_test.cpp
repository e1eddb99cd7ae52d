// The JPEG decoder on the real side pictures, checked against ImageMagick's decoding of the same
// files (PPM made at build time), and on damaged and unsupported streams.
#include "widgets/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open " << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Artwork(const std::string& name) {
    return std::string(ORVO_ARTWORK_DIR "/") + name;
}
std::string Reference(const std::string& name) {
    return std::string(ORVO_JPEG_REFERENCE_DIR "/") + name;
}

struct Ppm {
    int width = 0;
    int height = 0;
    Bytes rgb;
};

// Binary PPM (P6, maxval 255) as ImageMagick writes it.
Ppm ReadPpm(const std::string& path) {
    Bytes bytes = ReadAll(path);
    std::string text(bytes.begin(), bytes.end());
    std::istringstream in(text);
    std::string magic;
    int maxval = 0;
    Ppm ppm;
    in >> magic >> ppm.width >> ppm.height >> maxval;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxval, 255);
    const std::size_t start = static_cast<std::size_t>(in.tellg()) + 1; // one whitespace byte
    ppm.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
    return ppm;
}

struct Side {
    const char* name;
    int height;
};

class SidePictureTest : public testing::TestWithParam<Side> {};

TEST_P(SidePictureTest, DecodesLikeAnIndependentDecoder) {
    const Side side = GetParam();
    const Bytes jpeg = ReadAll(Artwork(std::string(side.name) + ".jpg"));
    ASSERT_FALSE(jpeg.empty());
    const widgets::JpegImage image = widgets::DecodeJpeg(jpeg.data(), jpeg.size());
    EXPECT_EQ(image.width, 150);
    EXPECT_EQ(image.height, side.height);
    EXPECT_EQ(image.components, 3);
    EXPECT_TRUE(image.progressive);
    ASSERT_EQ(image.rgb.size(), std::size_t{150} * static_cast<std::size_t>(side.height) * 3);

    const Ppm reference = ReadPpm(Reference(std::string(side.name) + ".ppm"));
    ASSERT_EQ(reference.width, image.width);
    ASSERT_EQ(reference.height, image.height);
    ASSERT_EQ(reference.rgb.size(), image.rgb.size());
    // Same accurate integer IDCT on both sides; libjpeg builds with and without SIMD may round
    // the colour conversion differently by one.
    int worst = 0;
    long total = 0;
    for (std::size_t i = 0; i < image.rgb.size(); ++i) {
        const int diff = std::abs(int{image.rgb[i]} - int{reference.rgb[i]});
        worst = std::max(worst, diff);
        total += diff;
    }
    EXPECT_LE(worst, 1);
    EXPECT_LE(static_cast<double>(total) / static_cast<double>(image.rgb.size()), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Artwork, SidePictureTest,
                         testing::Values(Side{"side_portal", 300}, Side{"side_licence", 300},
                                         Side{"side_dirpage", 300}, Side{"side_iconpage", 300},
                                         Side{"side_install", 300}, Side{"side_uninstall", 299}),
                         [](const testing::TestParamInfo<Side>& info) {
                             return std::string(info.param.name);
                         });

TEST(JpegImageTest, GreyPictureBecomesRgbWithEqualChannels) {
    const Bytes jpeg = ReadAll(Reference("grey.jpg"));
    const widgets::JpegImage image = widgets::DecodeJpeg(jpeg.data(), jpeg.size());
    EXPECT_EQ(image.components, 1);
    ASSERT_EQ(image.rgb.size(), std::size_t(image.width) * std::size_t(image.height) * 3);
    std::size_t unequal = 0;
    bool varied = false;
    for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
        if (image.rgb[i] != image.rgb[i + 1] || image.rgb[i] != image.rgb[i + 2]) ++unequal;
        if (image.rgb[i] != image.rgb[0]) varied = true;
    }
    EXPECT_EQ(unequal, 0u);
    EXPECT_TRUE(varied);
}

void ExpectCleanError(const Bytes& data, const char* what) {
    SCOPED_TRACE(what);
    try {
        widgets::DecodeJpeg(data.data(), data.size());
        ADD_FAILURE() << "decoded without an error";
    } catch (const widgets::JpegError& e) {
        EXPECT_STRNE(e.what(), "");
    }
}

TEST(JpegImageTest, DamagedStreamsGiveCleanErrors) {
    const Bytes good = ReadAll(Artwork("side_portal.jpg"));
    ASSERT_GT(good.size(), 1000u);
    ExpectCleanError(Bytes{}, "empty");
    ExpectCleanError(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}, "not a JPEG");
    for (std::size_t keep : {std::size_t{2}, std::size_t{100}, good.size() / 8, good.size() / 2,
                             good.size() * 7 / 8, good.size() - 2}) {
        ExpectCleanError(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep)),
                         ("truncated to " + std::to_string(keep) + " bytes").c_str());
    }
    // An end marker in the middle of the scans.
    Bytes cut = good;
    cut[cut.size() / 2] = 0xFF;
    cut[cut.size() / 2 + 1] = 0xD9;
    ExpectCleanError(cut, "early end marker");
    // The frame header's width set to 0. Segments are walked by their lengths from the start
    // marker; the frame header's payload is length, precision, height, width.
    Bytes zero = good;
    bool found = false;
    for (std::size_t i = 2; i + 9 < zero.size() && zero[i] == 0xFF;
         i += 2 + (std::size_t{zero[i + 2]} << 8 | zero[i + 3])) {
        if (zero[i + 1] >= 0xC0 && zero[i + 1] <= 0xC2) {
            zero[i + 7] = 0;
            zero[i + 8] = 0;
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    ExpectCleanError(zero, "zero width");
}

TEST(JpegImageTest, UnsupportedColourSpaceIsAnError) {
    ExpectCleanError(ReadAll(Reference("cmyk.jpg")), "CMYK");
}

TEST(JpegImageTest, DecodesAgainAfterAnError) {
    const Bytes good = ReadAll(Artwork("side_uninstall.jpg"));
    ExpectCleanError(Bytes(good.begin(), good.begin() + 600), "truncated");
    const widgets::JpegImage image = widgets::DecodeJpeg(good.data(), good.size());
    EXPECT_EQ(image.height, 299);
}

} // namespace
