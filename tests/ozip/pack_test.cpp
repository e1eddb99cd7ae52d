// `ozip pack` on the demo product: the package passes the check, and the installer's engine
// gives back every file byte for byte with its time, under names with diacritics too; a folder
// pack did not make is left as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "pack.h"
#include "package_check.h"
#include "platform/code_page.h"
#include "support/scratch.h"
#include "unzip/engine.h"

namespace {

namespace fs = std::filesystem;
using scratch::FsPath;

// A text of the demo package as a Czech Windows editor saves it: code page 1250, CR LF.
std::string PackageText(const std::string& name) {
    std::string text,
        utf8 = scratch::ReadFile(std::string(ORVO_SOURCE_DIR) + "/examples/demo/package/" + name);
    for (char c : utf8) {
        if (c == '\r') continue;
        if (c == '\n') text += '\r';
        text += c;
    }
    return platform::Utf8ToAnsi(text);
}

class PackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy(FsPath(std::string(ORVO_SOURCE_DIR) + "/examples/demo/payload"), FsPath(product_),
                 fs::copy_options::recursive);
        scratch::WriteFile(dir_.Path("product", "zelvik.exe"), "MZ the demo program");
        scratch::WriteFile(dir_.Path("product", "doc", "Žluťoučký kůň.txt"), "úpěl ďábelské ódy");
        fs::create_directories(FsPath(dir_.Path("product", "prázdná složka")));
        for (const char* name : {"setup.ini", "license.txt", "short.txt"})
            scratch::WriteFile(dir_.Path(name), PackageText(name));
        scratch::WriteFile(dir_.Path("setup.exe"), "MZ the installer");
        request_.source = product_;
        request_.package = package_;
        request_.settings = dir_.Path("setup.ini");
        request_.licence = dir_.Path("license.txt");
        request_.shortcuts = dir_.Path("short.txt");
        request_.setup_program = dir_.Path("setup.exe");
    }

    // Every file and folder of the product is in `out` with the same bytes, files with their
    // time as a DOS stamp keeps it (to the even second below), and nothing else is.
    void ExpectSameTree(const std::string& out) {
        size_t entries = 0;
        for (const fs::directory_entry& entry :
             fs::recursive_directory_iterator(FsPath(product_))) {
            const fs::path copy = FsPath(out) / entry.path().lexically_relative(FsPath(product_));
            SCOPED_TRACE(copy.u8string());
            ++entries;
            if (entry.is_directory()) {
                EXPECT_TRUE(fs::is_directory(copy));
                continue;
            }
            EXPECT_EQ(scratch::ReadFile(copy.u8string()),
                      scratch::ReadFile(entry.path().u8string()));
            const auto behind = entry.last_write_time() - fs::last_write_time(copy);
            EXPECT_TRUE(behind >= std::chrono::seconds(0) && behind < std::chrono::seconds(2));
        }
        size_t extracted = 0;
        for (auto it = fs::recursive_directory_iterator(FsPath(out));
             it != fs::recursive_directory_iterator(); ++it)
            ++extracted;
        EXPECT_EQ(extracted, entries);
    }

    scratch::Folder dir_;
    const std::string product_ = dir_.Path("product"), package_ = dir_.Path("package");
    ozip::PackRequest request_;
};

TEST_F(PackTest, EveryFileComesBackWithItsTime) {
    // Whole members deflated on several threads, then every file stored in pieces, then the
    // first way again over the earlier package: the same archive as the first time.
    std::string first;
    for (const uint64_t limit : {uint64_t{1} << 30, uint64_t{0}, uint64_t{1} << 30}) {
        request_.whole_member_limit = limit;
        request_.threads = 2;
        ASSERT_EQ(ozip::Pack(request_), package_);
        const ozip::PackageReport report = ozip::CheckPackage(package_, unzip::EngineOptions());
        std::string lines;
        for (const ozip::Finding& finding : report.findings)
            lines += ozip::FindingLine(finding) + "\n";
        EXPECT_EQ(report.ExitCode(), 0) << lines;
        const std::string archive = scratch::ReadFile(dir_.Path("package", "orvoinst.zip"));
        if (first.empty()) {
            first = archive;
        } else if (limit != 0) {
            EXPECT_TRUE(archive == first) << "two packs of one folder differ";
        }
        const std::string out = dir_.Path(scratch::UniqueName("out"));
        unzip::Engine engine;
        EXPECT_GT(engine.ExtractMatching(package_ + scratch::kSep + "orvoinst.zip", out, "*.*"), 0);
        ExpectSameTree(out);
    }
    EXPECT_EQ(scratch::ReadFile(dir_.Path("package", "short.txt")), PackageText("short.txt"));
}

TEST_F(PackTest, LeavesAFolderItDidNotMakeAsItWas) {
    // The user's own file; then a package made by other means.
    for (const char* name : {"notes.txt", "orvoinst.zip"}) {
        SCOPED_TRACE(name);
        fs::remove_all(FsPath(package_));
        scratch::WriteFile(dir_.Path("package", name), "PK not pack's");
        EXPECT_THROW(ozip::Pack(request_), ozip::PackError);
        EXPECT_EQ(scratch::ReadFile(dir_.Path("package", name)), "PK not pack's");
        EXPECT_EQ(std::distance(fs::directory_iterator(FsPath(package_)), fs::directory_iterator()),
                  1);
        EXPECT_EQ(
            std::distance(fs::directory_iterator(FsPath(dir_.Path())), fs::directory_iterator()), 6)
            << "a half-made package was left beside it";
    }
}

} // namespace
