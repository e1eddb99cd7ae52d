#include "sfx/bundle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unzip/crc32.h"
#include "unzip/memory_file_system.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

const char kSep = unzip::kPathSeparator;
const std::string kStub = "MZ stub code";

// A program whose index holds `names` as they are, each over one byte of data, with every CRC
// right: what only the rules for names can refuse.
std::vector<uint8_t> SealedProgram(const std::vector<std::string>& names) {
    std::string program = kStub;
    std::vector<sfx::BundledFile> files;
    for (const std::string& name : names) {
        files.push_back({name, 0, 1, unzip::Crc32("x", 1)});
        program += 'x';
    }
    return Bytes(program + sfx::BundleTail(files, kStub.size()));
}

class BundleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs_.Put("stub.exe", Bytes(kStub));
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
    EXPECT_EQ(Read(Bytes(kStub), files), sfx::BundleStatus::kNoBundle);

    std::vector<uint8_t> flipped = program_;
    flipped[12 + 8 + 30 + 1000] ^= 1; // inside orvoinst.zip
    ASSERT_EQ(Read(flipped, files), sfx::BundleStatus::kOk);
    std::string failed;
    EXPECT_EQ(sfx::UnpackBundle(*fs_.OpenRead("program.exe"), files, fs_, "tmp", &failed),
              sfx::BundleStatus::kCrcError);
    EXPECT_EQ(failed, "orvoinst.zip");
    EXPECT_EQ(fs_.Get(std::string("tmp") + kSep + "orvoinst.zip"), nullptr);

    // A stub that grew by a byte after the bundle was written: the sizes no longer add up.
    std::vector<uint8_t> shifted = program_;
    shifted.insert(shifted.begin(), 'X');
    EXPECT_EQ(Read(shifted, files), sfx::BundleStatus::kDamaged);
}

// One bit changed anywhere after the data, in a name, a size, a CRC or a trailer field, is
// damage; so is the trailer of another layout.
TEST_F(BundleTest, RefusesAnyChangeToTheIndexOrTrailer) {
    ASSERT_EQ(sfx::WriteBundle(fs_, "stub.exe",
                               {{"setup.exe", "pkg/setup.exe"}, {"setup.ini", "pkg/setup.ini"}},
                               "small.exe"),
              "");
    const std::vector<uint8_t> program = *fs_.Get("small.exe");
    const size_t tail =
        kStub.size() + fs_.Get("pkg/setup.exe")->size() + fs_.Get("pkg/setup.ini")->size();
    const size_t family = program.size() - 8; // "ORVOSFX": without it there is no package at all
    std::vector<sfx::BundledFile> files;
    ASSERT_EQ(Read(program, files), sfx::BundleStatus::kOk);
    for (size_t at = tail; at < program.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<uint8_t> changed = program;
            changed[at] ^= static_cast<uint8_t>(1 << bit);
            const bool in_family = at >= family && at < family + 7;
            EXPECT_EQ(Read(changed, files),
                      in_family ? sfx::BundleStatus::kNoBundle : sfx::BundleStatus::kDamaged)
                << "byte " << at - tail << " after the data, bit " << bit;
            EXPECT_TRUE(files.empty());
        }
    }
    std::vector<uint8_t> earlier = program;
    earlier.back() = '1';
    EXPECT_EQ(Read(earlier, files), sfx::BundleStatus::kDamaged);
}

// Names that would leave the folder, or that Windows takes for one file (it drops a dot or
// blank at the end, ignores case, and answers to the short name it gives a long one), are not
// written, and are refused when read even with every CRC right.
TEST_F(BundleTest, RefusesNamesWindowsWouldNotKeepApart) {
    std::vector<sfx::BundledFile> read;
    ASSERT_EQ(Read(SealedProgram({"setup.ini", "setup.inj"}), read), sfx::BundleStatus::kOk);
    const std::vector<std::vector<std::string>> refused = {
        {"..\\up.ini"},
        {"con.ini"},
        {"setup.ini", "setup.ini."},
        {"setup.ini", "setup.ini "},
        {"setup.ini", "Setup.INI"},
        {"\xC4\x8Dtete.txt", "\xC4\x8Ctete.txt"}, // "čtete", "Čtete"
        {"readme-first.txt", "README~1.TXT"},
    };
    for (const std::vector<std::string>& names : refused) {
        std::vector<sfx::FileToBundle> files;
        for (const std::string& name : names) files.push_back({name, "pkg/setup.ini"});
        EXPECT_NE(sfx::WriteBundle(fs_, "stub.exe", files, "refused.exe"), "") << names.back();
        EXPECT_EQ(fs_.Get("refused.exe"), nullptr) << names.back();
        EXPECT_EQ(Read(SealedProgram(names), read), sfx::BundleStatus::kDamaged) << names.back();
    }
}

} // namespace
