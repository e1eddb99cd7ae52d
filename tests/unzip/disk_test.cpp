// The engine on the real file system of the platform, in a temporary folder:
// folder creation, date stamps, outputs that cannot be created, long paths.
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "engine_fixture.h"
#include "unzip/result.h"

namespace {

using namespace ziptest;
namespace fs = std::filesystem;

class Disk : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ =
            fs::temp_directory_path() / ("orvo-unzip-test-" + std::to_string(stamp % 1000000007) +
                                         "-" + std::to_string(++counter));
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root_, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }

    std::string Path(const std::string& relative) const {
        return (root_ / fs::u8path(relative)).u8string();
    }
    std::string WriteArchive(const Archive& a) {
        const std::string path = Path("archive.zip");
        const Bytes bytes = a.Build();
        std::ofstream(fs::u8path(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(fs::u8path(path), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("<missing>");
    }

    fs::path root_;
    unzip::Engine engine{unzip::PlatformFileSystem()};
    Recorder recorder;
};

// Whether the file can be opened for writing (without changing it).
bool Writable(const fs::path& p) {
    std::ofstream probe(p, std::ios::app);
    return probe.is_open();
}

// Sets or clears the Linux immutable flag, which stops root as well as others.
void SetImmutable(const fs::path& p, bool on) {
#ifdef __linux__
    int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
#else
    (void)p, (void)on;
#endif
}

// The local time a file shows, to the second.
std::tm LocalModificationTime(const fs::path& p) {
    using namespace std::chrono;
    const auto file_time = fs::last_write_time(p);
    const auto system_time =
        system_clock::now() +
        duration_cast<system_clock::duration>(file_time - fs::file_time_type::clock::now());
    const std::time_t t = system_clock::to_time_t(system_time + milliseconds(500));
    return *std::localtime(&t);
}

TEST_F(Disk, FoldersAreCreatedAndDatesSet) {
    Archive a;
    a.members = {Stored("sub/deeper/file.txt", ToBytes("deep")), Folder("e/f/"),
                 Stored("top.txt", ToBytes("top"))};
    a.members[0].dos_time = DosTime(2021, 6, 15, 12, 30, 10);
    a.members[2].dos_time = DosTime(1999, 12, 31, 23, 59, 58);
    const std::string target = Path("target/not/yet/there");
    EXPECT_EQ(engine.ExtractMatching(WriteArchive(a), target, "*.*", recorder.callback()), 3);

    EXPECT_EQ(Read(Below(target, "sub/deeper/file.txt")), "deep");
    EXPECT_EQ(Read(Below(target, "top.txt")), "top");
    EXPECT_TRUE(fs::is_directory(fs::u8path(Below(target, "e/f"))));
    // The folders the extraction made, parents first: the missing part of the
    // target, then those for the members' files and the folder entry.
    auto cut = [&target](size_t n) { return target.substr(0, target.size() - n); };
    EXPECT_EQ(engine.created_folders(),
              (std::vector<std::string>{cut(std::strlen("/not/yet/there")),
                                        cut(std::strlen("/yet/there")), cut(std::strlen("/there")),
                                        target, Below(target, "sub"), Below(target, "sub/deeper"),
                                        Below(target, "e"), Below(target, "e/f")}));

    const struct {
        std::string file;
        int year, month, day, hour, minute, second;
    } stamps[] = {{"sub/deeper/file.txt", 2021, 6, 15, 12, 30, 10},
                  {"top.txt", 1999, 12, 31, 23, 59, 58}};
    for (const auto& s : stamps) {
        const std::tm t = LocalModificationTime(fs::u8path(Below(target, s.file)));
        EXPECT_EQ(t.tm_year + 1900, s.year) << s.file;
        EXPECT_EQ(t.tm_mon + 1, s.month) << s.file;
        EXPECT_EQ(t.tm_mday, s.day) << s.file;
        EXPECT_EQ(t.tm_hour, s.hour) << s.file;
        EXPECT_EQ(t.tm_min, s.minute) << s.file;
        EXPECT_EQ(t.tm_sec, s.second) << s.file;
    }
    EXPECT_EQ(engine.ExtractMatching(WriteArchive(a), target, "*.*"), 3);
    EXPECT_TRUE(engine.created_folders().empty()) << "all of them were there the second time";
}

// Small members are held in memory and written once they have proved good;
// larger ones are decoded into an output beside their name. Both ways must keep
// what was there.
class DiskOutput : public Disk, public ::testing::WithParamInterface<size_t> {
  protected:
    void SetUp() override {
        Disk::SetUp();
        engine.options().hold_size = GetParam();
    }
    const Report& Failure() const { return recorder.reports[recorder.reports.size() - 2]; }
};
INSTANTIATE_TEST_SUITE_P(Ways, DiskOutput,
                         ::testing::Values(unzip::EngineOptions().hold_size, size_t{0}),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(info.param ? "Held" : "Streamed");
                         });

TEST_P(DiskOutput, OutputThatCannotBeCreatedGivesWriteError) {
    Archive a;
    a.members = {Stored("ok.txt", ToBytes("ok")), Stored("blocked.txt", ToBytes("new")),
                 Stored("later.txt", ToBytes("later"))};
    const std::string archive = WriteArchive(a);
    const std::string target = Path("target");

    // A folder where the file should go.
    fs::create_directories(fs::u8path(Below(target, "blocked.txt")));
    EXPECT_EQ(engine.ExtractMatching(archive, target, "*.*", recorder.callback()), 1);
    ASSERT_GE(recorder.reports.size(), 2u);
    EXPECT_EQ(Failure().code, unzip::ResultWriteError);
    // The failure is the blocked member's, though the next one was decoded while its file was
    // being made; the walk ends there, as it does when each file is made in turn.
    EXPECT_EQ(Failure().name, Below(target, "blocked.txt"));
    for (const Report& report : recorder.reports)
        EXPECT_NE(report.name, Below(target, "later.txt")) << report.status;
    EXPECT_TRUE(fs::is_directory(fs::u8path(Below(target, "blocked.txt"))));
    EXPECT_FALSE(fs::exists(fs::u8path(Below(target, "later.txt"))));
}

TEST_F(Disk, FolderEntryThatCannotBeMadeFails) {
    Archive a;
    a.members = {Folder("blocked/sub/"), Stored("later.txt", ToBytes("later"))};
    const std::string archive = WriteArchive(a);
    const std::string target = Path("target");
    fs::create_directories(fs::u8path(target));
    std::ofstream(fs::u8path(Below(target, "blocked"))) << "a file";
    EXPECT_EQ(engine.ExtractMatching(archive, target, "*.*", recorder.callback()), 0);
    ASSERT_EQ(recorder.reports.size(), 4u);
    EXPECT_EQ(recorder.reports[2], (Report{unzip::ResultWriteError, unzip::StatusMemberFailed, 0, 0,
                                           0, Below(target, "blocked/sub/")}));
    EXPECT_EQ(Read(Below(target, "blocked")), "a file");
    EXPECT_FALSE(fs::exists(fs::u8path(Below(target, "later.txt"))));
}

TEST_P(DiskOutput, FileNamedLikeAFolderTheRunMadeIsRefused) {
    Archive a;
    a.members = {Folder("a/b/"), Stored("a/b", ToBytes("x"))};
    const std::string target = Path("target");
    EXPECT_EQ(engine.ExtractMatching(WriteArchive(a), target, "*.*", recorder.callback()), 1);
    EXPECT_EQ(Failure().code, unzip::ResultWriteError);
    EXPECT_EQ(engine.diagnostic(), "the output file cannot be created");
    EXPECT_TRUE(fs::is_directory(fs::u8path(Below(target, "a/b"))));
}

TEST_P(DiskOutput, ExistingFileIsReplacedOnlyByAGoodMember) {
    const std::string target = Path("target");
    fs::create_directories(fs::u8path(target));
    std::ofstream(fs::u8path(Below(target, "f.txt"))) << "old";
    auto extract = [&](uint32_t crc) {
        Archive a;
        a.members = {Deflated("f.txt", MixedData(100000, 47))};
        a.members[0].crc = crc;
        recorder = Recorder();
        return engine.ExtractMatching(WriteArchive(a), target, "*.*", recorder.callback());
    };
    EXPECT_EQ(extract(0x12345678), 0);
    EXPECT_EQ(Failure().code, unzip::ResultCrcError);
    EXPECT_EQ(Read(Below(target, "f.txt")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::u8path(target)), {}), 1)
        << "no temporary file is left";

    EXPECT_EQ(extract(ReferenceCrc32(MixedData(100000, 47))), 1);
    const Bytes expected = MixedData(100000, 47);
    EXPECT_EQ(Read(Below(target, "f.txt")), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::u8path(target)), {}), 1);
}

TEST_P(DiskOutput, ExistingReadOnlyFileIsKept) {
    Archive a;
    a.members = {Stored("ro.txt", ToBytes("new")), Stored("later.txt", ToBytes("later"))};
    const std::string archive = WriteArchive(a);
    const std::string target = Path("target");
    fs::create_directories(fs::u8path(target));
    const fs::path ro = fs::u8path(Below(target, "ro.txt"));
    std::ofstream(ro) << "keep";
    fs::permissions(ro, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (Writable(ro)) SetImmutable(ro, true); // root writes to read-only files
    const bool unwritable = !Writable(ro);
    if (!unwritable)
        GTEST_SKIP() << "cannot make a file this process may not write (root under Wine?)";
    EXPECT_EQ(engine.ExtractMatching(archive, target, "*.*", recorder.callback()), 0);
    EXPECT_EQ(Failure().code, unzip::ResultWriteError);
    EXPECT_EQ(Failure().name, ro.u8string());
    EXPECT_EQ(Read(ro.u8string()), "keep");
    EXPECT_FALSE(fs::exists(fs::u8path(Below(target, "later.txt"))));
    SetImmutable(ro, false);
}

TEST_F(Disk, PathsLongerThan259Characters) {
    std::string name;
    for (int i = 0; i < 30; ++i) name += "folder" + std::to_string(1000 + i) + "/";
    name += "file.txt";
    Archive a;
    a.members = {Stored(name, ToBytes("far down")), Stored("near.txt", ToBytes("near"))};
    const std::string target = Path("target");
    const std::string output = Below(target, name);
    ASSERT_GT(output.size(), 300u);
    EXPECT_EQ(engine.ExtractMatching(WriteArchive(a), target, "*.*", recorder.callback()), 2);
    EXPECT_EQ(Read(output), "far down");
    EXPECT_EQ(Read(Below(target, "near.txt")), "near");

    // Clean up from the bottom: std::filesystem cannot walk these paths on Windows,
    // but removes single entries given in the \\?\ form.
    std::vector<fs::path> chain;
    for (fs::path p = fs::absolute(fs::u8path(output)); p != fs::absolute(fs::u8path(target));
         p = p.parent_path()) {
#ifdef _WIN32
        chain.push_back(fs::path(L"\\\\?\\" + p.wstring()));
#else
        chain.push_back(p);
#endif
    }
    for (const fs::path& p : chain) EXPECT_TRUE(fs::remove(p)) << p.u8string();
}

class LongName : public Disk {
  protected:
    // A member name of 65,535 bytes is refused by the file system: report(-2),
    // and no file anywhere, not even in place of the target folder.
    void ExpectRefused(const std::string& name) {
        ASSERT_EQ(name.size(), 65535u);
        Archive a;
        a.members = {Stored(name, ToBytes("x"))};
        const std::string target = Path("target");
        EXPECT_EQ(engine.ExtractMatching(WriteArchive(a), target, "*.*", recorder.callback()), 0);
        ASSERT_EQ(recorder.reports.size(), 5u);
        EXPECT_EQ(recorder.reports[3].code, unzip::ResultWriteError);
        EXPECT_EQ(recorder.reports[3].status, unzip::StatusMemberFailed);
        EXPECT_FALSE(fs::is_regular_file(fs::u8path(target)))
            << "the output went to the target's path";
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root_, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec))
            EXPECT_FALSE(it->is_regular_file() && it->path().filename() != "archive.zip")
                << "a file was written: " << it->path().u8string().substr(0, 200);
    }
};

TEST_F(LongName, OnePartOf65535Bytes) {
    ExpectRefused(std::string(65535, 'n'));
}

TEST_F(LongName, FoldersOf200BytesMaking65535) {
    std::string name;
    while (name.size() < 65535 - 201) name += std::string(200, 'd') + "/";
    name += std::string(65535 - name.size(), 'f');
    ExpectRefused(name);
}

TEST_F(Disk, FolderNamedLikeAnArchiveIsNotOne) {
    fs::create_directories(root_ / "folder.zip");
    EXPECT_EQ(engine.ExtractMatching(Path("folder.zip"), Path("target"), "*.*"),
              unzip::ResultNotArchive);
    EXPECT_FALSE(engine.IsZipArchive(Path("folder.zip") + unzip::kPathSeparator));
}

} // namespace

TEST_F(Disk, ReadsBeyond4GiB) {
    // The platform's reads at offsets past 4 GiB, in a sparse file: the 5 GiB
    // member's zeros are never written.
    Layout lay;
    const Bytes bytes = AfterHole(uint64_t{5} << 30).Build(&lay);
    const std::string path = Path("big.zip");
    {
        std::ofstream out(fs::u8path(path), std::ios::binary);
        size_t written = 0;
        for (const auto& hole : lay.holes) {
            out.write(reinterpret_cast<const char*>(bytes.data() + written),
                      static_cast<std::streamsize>(hole.first - written));
            out.seekp(static_cast<std::streamoff>(hole.second), std::ios::cur);
            written = hole.first;
        }
        out.write(reinterpret_cast<const char*>(bytes.data() + written),
                  static_cast<std::streamsize>(bytes.size() - written));
        ASSERT_TRUE(out.good());
    }
    EXPECT_EQ(engine.ExtractMatching(path, Path("out"), "small.txt", recorder.callback()), 1)
        << engine.diagnostic();
    EXPECT_EQ(Read(Path("out/small.txt")), "beyond the hole");
}
