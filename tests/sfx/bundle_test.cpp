#include "sfx/bundle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "unzip/memory_file_system.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

const char kSep = unzip::kPathSeparator;

class BundleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs_.Put("stub.exe", Bytes("MZ stub code"));
        fs_.Put("pkg/setup.exe", Bytes("MZ setup"));
        fs_.Put("pkg/setup.ini", Bytes("[Setup]\r\nsoftname=Zelvik\r\n"));
        fs_.Put("pkg/orvoinst.zip", std::vector<uint8_t>(3 << 20, 0x5A)); // spans several chunks
        ASSERT_EQ(sfx::WriteBundle(fs_, "stub.exe",
                                   {{"setup.exe", "pkg/setup.exe"},
                                    {"setup.ini", "pkg/setup.ini"},
                                    {"orvoinst.zip", "pkg/orvoinst.zip"}},
                                   "out.exe"),
                  "");
        program_ = *fs_.Get("out.exe");
    }

    sfx::BundleStatus Read(const std::vector<uint8_t>& program,
                           std::vector<sfx::BundledFile>& files) {
        fs_.Put("program.exe", program);
        return sfx::ReadBundleIndex(*fs_.OpenRead("program.exe"), files);
    }

    unzip::MemoryFileSystem fs_;
    std::vector<uint8_t> program_;
};

TEST_F(BundleTest, UnpacksEachFileAsItWasBundled) {
    std::vector<sfx::BundledFile> files;
    ASSERT_EQ(Read(program_, files), sfx::BundleStatus::kOk);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].offset, 12u); // right after the stub
    ASSERT_EQ(sfx::UnpackBundle(*fs_.OpenRead("program.exe"), files, fs_, "tmp"),
              sfx::BundleStatus::kOk);
    for (const char* name : {"setup.exe", "setup.ini", "orvoinst.zip"}) {
        ASSERT_NE(fs_.Get(std::string("tmp") + kSep + name), nullptr) << name;
        EXPECT_EQ(*fs_.Get(std::string("tmp") + kSep + name), *fs_.Get(std::string("pkg/") + name));
    }
}

// A download cut short, a stray byte, an index that would write outside the folder: none may
// start an installation.
TEST_F(BundleTest, RefusesDamagedPrograms) {
    std::vector<sfx::BundledFile> files;
    std::vector<uint8_t> cut(program_.begin(), program_.end() - 100);
    EXPECT_EQ(Read(cut, files), sfx::BundleStatus::kNoBundle);
    EXPECT_EQ(Read(Bytes("MZ stub code"), files), sfx::BundleStatus::kNoBundle);

    std::vector<uint8_t> flipped = program_;
    flipped[12 + 8 + 30 + 1000] ^= 1; // inside orvoinst.zip
    ASSERT_EQ(Read(flipped, files), sfx::BundleStatus::kOk);
    std::string failed;
    EXPECT_EQ(sfx::UnpackBundle(*fs_.OpenRead("program.exe"), files, fs_, "tmp", &failed),
              sfx::BundleStatus::kCrcError);
    EXPECT_EQ(failed, "orvoinst.zip");
    EXPECT_EQ(fs_.Get(std::string("tmp") + kSep + "orvoinst.zip"), nullptr);

    // "setup.ini" renamed in the index to "..\up.ini" (same length).
    std::vector<uint8_t> escaping = program_;
    const std::string name = "setup.ini";
    auto at =
        std::search(escaping.begin() + 12 + (3 << 20), escaping.end(), name.begin(), name.end());
    ASSERT_NE(at, escaping.end());
    const std::string evil = "..\\up.ini";
    std::copy(evil.begin(), evil.end(), at);
    EXPECT_EQ(Read(escaping, files), sfx::BundleStatus::kDamaged);

    // A stub that grew by a byte after the bundle was written: the sizes no longer add up.
    std::vector<uint8_t> shifted = program_;
    shifted.insert(shifted.begin(), 'X');
    EXPECT_EQ(Read(shifted, files), sfx::BundleStatus::kDamaged);
}

} // namespace
