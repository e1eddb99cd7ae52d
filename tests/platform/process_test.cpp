// The platform's single-instance mutex, working folder, program path, file copy and the
// starts of a batch and a document: natively the stand-ins, under Wine the real calls.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/file_copy.h"
#include "platform/process.h"
#include "platform/single_instance.h"
#include "support/scratch.h"

namespace {

using scratch::Exists;
using scratch::FsPath;
using scratch::kSep;
using scratch::ReadFile;
using scratch::WriteFile;

TEST(NamedMutex, SecondCreateOfANameSeesTheFirst) {
    const std::string name = scratch::UniqueName("OrvoMutex");
    platform::NamedMutex first, second, other;
    EXPECT_TRUE(first.Create(name));
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(second.Create(name));
    EXPECT_TRUE(second.Held()); // kept, for Close to release
    EXPECT_TRUE(other.Create(name + "-other"));
    second.Close();
    EXPECT_FALSE(second.Held());
    first.Close();
    // Every handle closed: the name is free again.
    EXPECT_TRUE(second.Create(name));
    // Unnamed ones never meet.
    EXPECT_TRUE(first.Create(""));
    EXPECT_TRUE(other.Create(""));
}

TEST(Process, ProgramFileAndWorkingFolder) {
    const std::string program = platform::ProgramFilePath();
    EXPECT_TRUE(platform::FileExists(program)) << program;
    EXPECT_NE(program.find("platform_tests"), std::string::npos) << program;

    scratch::Folder dir;
    const std::string before = platform::CurrentFolder();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(platform::ChangeCurrentFolder(dir.Path()));
    const std::string now = platform::CurrentFolder();
    EXPECT_TRUE(platform::ChangeCurrentFolder(before));
    EXPECT_EQ(std::filesystem::equivalent(FsPath(now), FsPath(dir.Path())), true);
    EXPECT_EQ(now.back() == platform::kPathSeparator, false);
    EXPECT_FALSE(platform::ChangeCurrentFolder(dir.Path("missing")));
    EXPECT_EQ(platform::CurrentFolder(), before);
}

TEST(FileCopy, ExistsAndCopyOver) {
    scratch::Folder dir;
    WriteFile(dir.Path("a.bin"), std::string("one\0two", 7));
    EXPECT_TRUE(platform::FileExists(dir.Path("a.bin")));
    EXPECT_FALSE(platform::FileExists(dir.Path()));
    EXPECT_FALSE(platform::FileExists(dir.Path("none")));
    WriteFile(dir.Path("b.bin"), "an older and longer file");
    EXPECT_TRUE(platform::CopyFileOver(dir.Path("a.bin"), dir.Path("b.bin")));
    EXPECT_EQ(ReadFile(dir.Path("b.bin")), std::string("one\0two", 7));
    EXPECT_FALSE(platform::CopyFileOver(dir.Path("none"), dir.Path("c.bin")));
    EXPECT_FALSE(Exists(dir.Path("c.bin")));
}

#ifdef _WIN32
bool WaitFor(const std::string& path, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!Exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return Exists(path);
}

TEST(Process, BatchRunsHiddenInItsWorkingFolder) {
    scratch::Folder dir;
    const std::string batch = dir.Path("with blank", "mark it.bat");
    WriteFile(batch, "cd > \"" + dir.Path("where.txt") + "\"\r\n");
    ASSERT_TRUE(platform::RunBatchHidden(batch, dir.Path("with blank")));
    ASSERT_TRUE(WaitFor(dir.Path("where.txt"), 60));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // let it finish writing
    EXPECT_EQ(ReadFile(dir.Path("where.txt")), dir.Path("with blank") + "\r\n");
}

TEST(Process, ShellOpensADocument) {
    scratch::Folder dir;
    const std::string document = dir.Path("open me.bat");
    WriteFile(document, "echo opened> \"" + dir.Path("opened.txt") + "\"\r\n");
    ASSERT_TRUE(platform::OpenDocument(document));
    EXPECT_TRUE(WaitFor(dir.Path("opened.txt"), 60));
    EXPECT_FALSE(platform::OpenDocument(dir.Path("missing.txt")));
}
#else
TEST(Process, StandInsRecordWhatWouldStart) {
    platform::TakeStartRequests();
    EXPECT_TRUE(platform::RunBatchHidden("/tmp/x/setup123.bat", "/tmp/x"));
    EXPECT_TRUE(platform::OpenDocument("/opt/Zelvik/readme.txt"));
    const std::vector<platform::StartRequest> requests = platform::TakeStartRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].action + "|" + requests[0].file + "|" + requests[0].folder,
              "batch|/tmp/x/setup123.bat|/tmp/x");
    EXPECT_EQ(requests[1].action + "|" + requests[1].file, "open|/opt/Zelvik/readme.txt");
    EXPECT_TRUE(platform::TakeStartRequests().empty());
}
#endif

} // namespace
