// Trimming, deletion by mask and of whole trees, short paths and folder creation, on
// the real file system (natively POSIX, under Wine the Win32 calls).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/error.h"
#include "platform/folders.h"
#include "services/file_utils.h"
#include "support/scratch.h"

namespace {

namespace fs = std::filesystem;
using services::FolderExists;
const std::string kSep(1, platform::kPathSeparator);

bool Exists(const std::string& path) {
    return fs::exists(fs::u8path(path));
}
void Touch(const std::string& path) {
    std::ofstream(fs::u8path(path)) << "x";
}

TEST(TrimBlanks, Table) {
    const struct {
        const char *in, *left, *right, *both;
    } cases[] = {
        {" ", " ", " ", " "},
        {"\t", "\t", "\t", "\t"},
        {"   ", " ", " ", " "},
        {"\t inner text \t", "inner text \t", "\t inner text", "inner text"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        std::string left = c.in, right = c.in, both = c.in;
        services::TrimBlanksLeft(left);
        services::TrimBlanksRight(right);
        services::TrimBlanks(both);
        EXPECT_EQ(left + "|" + right + "|" + both,
                  std::string(c.left) + "|" + c.right + "|" + c.both);
    }
}

class FileUtils : public ::testing::Test {
  protected:
    void SetUp() override {
        services::DeleteReport = [this](const std::string& text) { reports_.push_back(text); };
    }
    void TearDown() override {
        services::DeleteReport = [](const std::string&) {};
    }

    scratch::Folder dir_;
    std::vector<std::string> reports_;
};

TEST_F(FileUtils, DeleteFilesByMask) {
    for (const char* name : {"a.txt", "b.dat"}) Touch(dir_.Path(name));
    ASSERT_TRUE(services::CreateFolder(dir_.Path("sub.txt")));

    // Blanks around the folder and a trailing separator make no difference.
    services::DeleteFilesByMask(" \t" + dir_.Path() + kSep + " ", "*.txt");
    EXPECT_FALSE(Exists(dir_.Path("a.txt")));
    EXPECT_TRUE(Exists(dir_.Path("b.dat")));
    EXPECT_TRUE(FolderExists(dir_.Path("sub.txt")));
    std::sort(reports_.begin(), reports_.end());
    EXPECT_EQ(reports_,
              (std::vector<std::string>{"Delete file: " + dir_.Path("a.txt") + " > OK",
                                        "Delete file: " + dir_.Path("sub.txt") + " >Error"}));

    reports_.clear();
    services::DeleteFilesByMask(dir_.Path("missing"), "*.*");
#ifdef _WIN32
    // A drive is refused: a damaged installation record must not empty C:\.
    const std::string name = scratch::UniqueName("orvo-drive-guard") + ".tmp";
    Touch("C:\\" + name);
    services::DeleteFilesByMask("C:\\", name);
    EXPECT_TRUE(Exists("C:\\" + name));
    fs::remove(fs::u8path("C:\\" + name));
#endif
    EXPECT_TRUE(reports_.empty());
}

TEST_F(FileUtils, DeleteFolderTreeKeepsWhatResists) {
    const std::string locked = dir_.Path("tree", "d1", "d2", "locked");
    ASSERT_TRUE(services::CreateFolderChain(dir_.Path("tree", "d1", "d2")));
    ASSERT_TRUE(services::CreateFolderChain(dir_.Path("tree", "d3", "d4")));
    for (const auto& file : {dir_.Path("tree", "f1"), dir_.Path("tree", "d1", "f2"),
                             dir_.Path("tree", "d3", "d4", "f4"), locked})
        Touch(file);
    // The read-only attribute on Windows; natively the missing write permission, which the
    // native layer treats alike (Wine refuses the deletion even to root).
    fs::permissions(fs::u8path(locked),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    services::DeleteFolderTree(dir_.Path("tree") + kSep);
    EXPECT_TRUE(Exists(locked));
    for (const auto& gone :
         {dir_.Path("tree", "f1"), dir_.Path("tree", "d1", "f2"), dir_.Path("tree", "d3")})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_NE(std::find(reports_.begin(), reports_.end(), "Delete file: " + locked + " >Error"),
              reports_.end());

    fs::permissions(fs::u8path(locked), fs::perms::owner_write, fs::perm_options::add);
    services::DeleteFolderTree(dir_.Path("tree"));
    EXPECT_FALSE(Exists(dir_.Path("tree")));
}

TEST_F(FileUtils, DeleteFolderTreeStaysInsideTheTree) {
    // A link inside the tree to a folder elsewhere: the walk must not follow it.
    ASSERT_TRUE(services::CreateFolderChain(dir_.Path("elsewhere")));
    ASSERT_TRUE(services::CreateFolderChain(dir_.Path("tree")));
    Touch(dir_.Path("elsewhere", "keep"));
#ifdef _WIN32
    if (!CreateSymbolicLinkW(fs::u8path(dir_.Path("tree", "link")).c_str(),
                             fs::u8path(dir_.Path("elsewhere")).c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "this system makes no folder links (error " << GetLastError() << ")";
#else
    fs::create_directory_symlink(fs::u8path(dir_.Path("elsewhere")),
                                 fs::u8path(dir_.Path("tree", "link")));
#endif
    services::DeleteFolderTree(dir_.Path("tree"));
    EXPECT_TRUE(Exists(dir_.Path("elsewhere", "keep")));
}

TEST_F(FileUtils, CreateAndRemoveFolders) {
    const std::string deepest = dir_.Path("A", "B", "C");
    EXPECT_TRUE(services::CreateFolderChain(deepest + kSep));
    EXPECT_TRUE(FolderExists(dir_.Path("A")) && FolderExists(dir_.Path("A", "B")));
    EXPECT_TRUE(services::CreateFolderChain(deepest)); // already there

    EXPECT_FALSE(services::CreateFolder(deepest));
    EXPECT_EQ(platform::LastErrorCode(), platform::kErrorAlreadyExists);
    EXPECT_FALSE(services::RemoveFolder(dir_.Path("A"))); // not empty
    EXPECT_TRUE(services::RemoveFolder(deepest));
    EXPECT_FALSE(FolderExists(deepest));

    Touch(dir_.Path("file")); // a file in the way stops the chain
    EXPECT_FALSE(services::CreateFolderChain(dir_.Path("file", "X", "Y")));
    for (const char* path : {"", "single-level"}) {
        try {
            (void)services::CreateFolderChain(path);
            ADD_FAILURE() << "no error for '" << path << "'";
        } catch (const platform::Error& e) {
            EXPECT_STREQ(e.what(), "Unable to create directory");
        }
    }
}

TEST_F(FileUtils, ShortPathOf) {
    const std::string missing = dir_.Path("No Such Long Folder Name");
    EXPECT_EQ(services::ShortPathOf(missing), missing);
    const std::string existing = dir_.Path("A Long Folder Name", "another long name.text");
    ASSERT_TRUE(services::CreateFolderChain(existing));
    const std::string shorter = services::ShortPathOf(existing);
    EXPECT_TRUE(FolderExists(shorter)) << shorter;
#ifdef _WIN32
    // Wine's short names are hashed: the text is the system's, only its shape is ours.
    EXPECT_EQ(shorter, platform::ShortPathName(existing));
    const std::string last = shorter.substr(shorter.rfind('\\') + 1);
    EXPECT_TRUE(last.size() <= 12 && last.find('~') != std::string::npos) << shorter;
#else
    EXPECT_EQ(shorter, existing);
#endif
}

} // namespace
