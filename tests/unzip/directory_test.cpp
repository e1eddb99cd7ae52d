// Finding the end record and walking the central directory: comments, large
// directories read through a window, entries longer than that window, and the
// archives FirstMember refuses.
#include <cstdio>

#include "engine_fixture.h"
#include "unzip/archive.h"
#include "unzip/result.h"

namespace {

using namespace ziptest;

class Directory : public EngineTest {
  protected:
    // Names from a whole walk; *first gets FirstMember's code.
    std::vector<std::string> List(int32_t* first = nullptr) {
        std::vector<std::string> names;
        unzip::MemberEntry entry;
        int32_t rc = engine.FirstMember(kArchive, entry);
        if (first) *first = rc;
        for (; rc == unzip::ResultOk; rc = engine.NextMember(entry)) names.push_back(entry.name);
        EXPECT_FALSE(entry.walking()) << "a walk that ended must be closed";
        return names;
    }
    static std::vector<std::string> Names(const Archive& a) {
        std::vector<std::string> names;
        for (const Member& m : a.members) names.push_back(m.name);
        return names;
    }
    static Archive Small() {
        Archive a;
        a.members = {Stored("one.txt", ToBytes("1")), Deflated("two.txt", MixedData(3000, 30)),
                     Stored("three.txt", ToBytes("333"))};
        return a;
    }
};

TEST_F(Directory, EndRecordBehindCommentsAndTrailingBytes) {
    Bytes fake_end = {'P', 'K', 5, 6, 0, 0, 0, 0, 9, 0, 9, 0, 46, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const struct {
        const char* what;
        void (*change)(Archive&, const Bytes&);
    } rows[] = {
        {"no comment", [](Archive&, const Bytes&) {}},
        {"comment of 5,000 bytes",
         [](Archive& a, const Bytes&) { a.comment = MixedData(5000, 31); }},
        {"comment of 65,535 bytes",
         [](Archive& a, const Bytes&) { a.comment = MixedData(65535, 32); }},
        {"an end record inside the comment",
         [](Archive& a, const Bytes& fake) {
             a.comment = MixedData(3000, 33);
             a.comment.insert(a.comment.begin() + 1000, fake.begin(), fake.end());
         }},
        {"bytes after the end record",
         [](Archive& a, const Bytes&) { a.trailing = MixedData(700, 34); }},
        {"comment length past the end of the file",
         [](Archive& a, const Bytes&) {
             a.comment = ToBytes("short");
             a.comment_length = 40;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Archive a = Small();
        row.change(a, fake_end);
        fs.Put(kArchive, a.Build());
        EXPECT_EQ(List(), Names(a));
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 3);
        EXPECT_EQ(fs.Text(Out("three.txt")), "333");
    }
}

// Members with short names whose directory entries add up to `directory_size`
// bytes, the last entry's comment making up the rest.
Archive ArchiveWithDirectoryOf(uint32_t directory_size, size_t members) {
    Archive a;
    char name[16];
    for (size_t i = 0; i < members; ++i) {
        std::snprintf(name, sizeof name, "m%05zu.txt", i);
        a.members.push_back(Stored(name, ToBytes(name)));
    }
    const uint32_t used = static_cast<uint32_t>(members * (46 + 10));
    a.members.back().comment = Bytes(directory_size - used, 'c');
    return a;
}

TEST_F(Directory, DirectoryOf64000BytesIsReadThroughTheWindow) {
    // The directory length counts the end record's signature: 63,996 bytes of
    // entries make 64,000, the first length read through the window.
    for (uint32_t entries_size : {63995u, 63996u, 63997u}) {
        SCOPED_TRACE(entries_size);
        Archive a = ArchiveWithDirectoryOf(entries_size, 1000);
        fs = LoggingFileSystem();
        fs.Put(kArchive, a.Build(&layout));
        ASSERT_EQ(layout.directory_size, entries_size);

        unzip::MemberEntry entry;
        ASSERT_EQ(engine.FirstMember(kArchive, entry), unzip::ResultOk);
        ASSERT_TRUE(entry.walking());
        EXPECT_EQ(entry.archive->directory().windowed, entries_size + 4 >= 64000)
            << "large-directory mode";
        engine.CloseMemberWalk(entry);
        EXPECT_EQ(List(), Names(a));
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 1000);
        EXPECT_EQ(fs.Text(Out("m00999.txt")), "m00999.txt");
    }
}

TEST_F(Directory, LargeDirectoryWithEntriesAcrossRefills) {
    Archive a;
    for (int i = 0; i < 3000; ++i) {
        std::string name =
            "dir" + std::to_string(i % 7) + "/file" + std::to_string(i) + std::string(i % 13, 'x');
        a.members.push_back(
            Stored(name, MixedData(static_cast<size_t>(i % 50), static_cast<uint32_t>(i))));
        a.members.back().comment = Bytes(static_cast<size_t>(i * 31 % 97), 'k');
        a.members.back().central_extra = Bytes(static_cast<size_t>(i % 5) * 4, 0);
    }
    fs.Put(kArchive, a.Build(&layout));
    ASSERT_GT(layout.directory_size, 4 * 64000u);

    unzip::MemberEntry entry;
    size_t i = 0;
    for (int32_t rc = engine.FirstMember(kArchive, entry); rc == unzip::ResultOk;
         rc = engine.NextMember(entry), ++i) {
        ASSERT_LT(i, a.members.size());
        EXPECT_EQ(entry.raw_name, a.members[i].name);
        EXPECT_EQ(entry.size, static_cast<int32_t>(a.members[i].content.size()));
        EXPECT_EQ(entry.header_offset, static_cast<int32_t>(layout.local_offsets[i]));
        EXPECT_EQ(entry.crc, ReferenceCrc32(a.members[i].content));
    }
    EXPECT_EQ(i, a.members.size());
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 3000);
    EXPECT_TRUE(*fs.Get(Out(a.members[2999].name)) == a.members[2999].content);
}

TEST_F(Directory, EntryLongerThanTheWindowDoesNotEndTheWalk) {
    for (size_t long_one : {0u, 1u, 3u}) {
        for (bool in_extra : {false, true}) {
            SCOPED_TRACE("long entry " + std::to_string(long_one) +
                         (in_extra ? " (extra field)" : " (comment)"));
            Archive a;
            for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"})
                a.members.push_back(Stored(n, ToBytes(n)));
            (in_extra ? a.members[long_one].central_extra : a.members[long_one].comment) =
                Bytes(65000, 'L');
            fs = LoggingFileSystem();
            fs.Put(kArchive, a.Build());
            EXPECT_EQ(List(), Names(a));
            EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 4);
            EXPECT_EQ(fs.Text(Out("d.txt")), "d.txt");
        }
    }
    // A long entry without a name: there is no name to read from the archive.
    Archive a;
    a.members = {Stored("a.txt", ToBytes("a")), Stored("", {}), Stored("c.txt", ToBytes("c"))};
    a.members[1].comment = Bytes(65000, 'L');
    fs = LoggingFileSystem();
    fs.Put(kArchive, a.Build());
    EXPECT_EQ(List(), (std::vector<std::string>{"a.txt", "", "c.txt"}));
}

TEST_F(Directory, NameOf65535Bytes) {
    const std::string long_name(65535, 'n');
    Archive a;
    a.members = {Stored("first.txt", ToBytes("1")), Stored(long_name, ToBytes("long")),
                 Stored("after.txt", ToBytes("2"))};
    fs.Put(kArchive, a.Build());
    std::vector<std::string> names = List();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[1], long_name);
    EXPECT_EQ(names[2], "after.txt");
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 3);
    EXPECT_EQ(fs.Text(Out(long_name)), "long");
}

TEST_F(Directory, ArchivesWithoutAUsableDirectory) {
    Archive small = Small();
    Layout lay;
    const Bytes good = small.Build(&lay);
    auto with = [&good](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    Bytes local_then_end = ToBytes(std::string("PK\3\4") + std::string(26, '\0'));
    const Bytes end_only = Archive().Build();
    local_then_end.insert(local_then_end.end(), end_only.begin(), end_only.end());
    Bytes no_end = good;
    no_end.resize(lay.end_offset);
    const uint32_t past = lay.end_offset + 10;
    const struct {
        const char* what;
        Bytes bytes;
        int32_t first;
        bool empty = false; // a clean empty archive to ExtractMatching
    } rows[] = {
        {"empty file", {}, unzip::ResultArchiveFileError},
        {"no end record (a truncated archive)", no_end, unzip::ResultArchiveFileError},
        {"end record only", end_only, unzip::ResultNoDirectory},
        {"end record 30 bytes into the file, declaring no entries", local_then_end,
         unzip::ResultNoDirectory, true},
        {"directory offset past the end record",
         with(lay.end_offset + 16, {uint8_t(past), uint8_t(past >> 8), uint8_t(past >> 16), 0}),
         unzip::ResultArchiveFileError},
        {"directory size past the end record", with(lay.end_offset + 12, {0xFF, 0xFF, 0, 0}),
         unzip::ResultArchiveFileError},
        {"directory offset 0xFFFFFFFF without a Zip64 end record",
         with(lay.end_offset + 16, {0xFF, 0xFF, 0xFF, 0xFF}), unzip::ResultArchiveFileError},
        {"first entry without its signature", with(lay.directory_offset, {'P', 'K', 1, 9}),
         unzip::ResultArchiveFileError},
        {"first entry's name runs past the directory",
         with(lay.directory_offset + 28, {0xF0, 0x00}), unzip::ResultArchiveFileError},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        fs.Put(kArchive, row.bytes);
        int32_t first = 0;
        EXPECT_TRUE(List(&first).empty());
        EXPECT_EQ(first, row.first);

        // ExtractMatching: nothing extracted; for a readable start, a failure report
        // unless the end record declares an empty archive, then the end report.
        Recorder r;
        const bool zip_start = row.bytes.size() >= 4 && row.bytes[2] == 3;
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", r.callback()),
                  zip_start ? 0 : unzip::ResultNotArchive);
        EXPECT_TRUE(fs.created.empty());
        if (!zip_start) continue;
        ASSERT_GE(r.reports.size(), 2u);
        EXPECT_EQ(r.reports.back().status, unzip::StatusArchiveEnd);
        if (row.empty) {
            EXPECT_EQ(r.reports.size(), 2u);
        } else {
            ASSERT_EQ(r.reports.size(), 3u);
            EXPECT_EQ(r.reports[1],
                      (Report{row.first, unzip::StatusMemberFailed, 0, 0, 0, kArchive}));
        }
    }
    fs = LoggingFileSystem();
    int32_t first = 0;
    EXPECT_TRUE(List(&first).empty());
    EXPECT_EQ(first, unzip::ResultArchiveFileError) << "missing file";
}

TEST_F(Directory, DirectoryThatCannotBeReadWholeIsAFailure) {
    // Damage after the first entries: the members before it are extracted, then
    // the walk's failure is reported, never an archive that merely ends early.
    Layout lay;
    const Bytes good = Small().Build(&lay);
    auto with = [&good](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    const uint32_t third = lay.directory_offset + 2 * 46 + 7 + 7; // "one.txt", "two.txt"
    const struct {
        const char* what;
        Bytes bytes;
        size_t extracted;
    } rows[] = {
        {"third entry without its signature", with(third, {'P', 'K', 1, 9}), 2},
        {"third entry runs past the directory", with(third + 28, {0x40, 0x00}), 2},
        {"end record counts two entries", with(lay.end_offset + 10, {2, 0}), 3},
        {"end record counts four entries", with(lay.end_offset + 10, {4, 0}), 3},
        {"directory size one byte short",
         with(lay.end_offset + 12, {uint8_t(lay.directory_size - 1)}), 2},
        {"directory size one byte long",
         with(lay.end_offset + 12, {uint8_t(lay.directory_size + 1)}), 0},
    };
    ASSERT_LT(lay.directory_size, 255u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        fs.Put(kArchive, row.bytes);
        int32_t first = 0;
        const std::vector<std::string> names = List(&first);
        EXPECT_EQ(names.size(), row.extracted);
        Recorder r;
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", r.callback()),
                  static_cast<int32_t>(row.extracted));
        ASSERT_GE(r.reports.size(), 2u);
        EXPECT_EQ(
            r.reports[r.reports.size() - 2],
            (Report{unzip::ResultArchiveFileError, unzip::StatusMemberFailed, 0, 0, 0, kArchive}));
        EXPECT_FALSE(engine.diagnostic().empty());
    }
}

TEST_F(Directory, EachOperationOpensTheArchiveOnce) {
    // The check, the totals, the walk and every member's data come from one open
    // file, whose directory is read once.
    fs.Put(kArchive, Small().Build());
    Recorder r;
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", r.callback(),
                                     [](unzip::ReportRecord&) { return true; }),
              3);
    EXPECT_EQ(r.reports.front().size, 1 + 3000 + 3) << "the totals";
    EXPECT_EQ(fs.opens, 1) << "ExtractMatching";
    fs.opens = 0;
    EXPECT_EQ(List().size(), 3u);
    EXPECT_EQ(fs.opens, 1) << "a walk";
    fs.opens = 0;
    unzip::MemberEntry entry;
    ASSERT_EQ(engine.FirstMember(kArchive, entry), unzip::ResultOk);
    EXPECT_EQ(engine.ExtractMember(kArchive, Out("again.txt"), unzip::LocationOf(entry)),
              unzip::ResultOk);
    engine.CloseMemberWalk(entry);
    EXPECT_EQ(fs.opens, 2) << "a walk, then one member";
}

TEST_F(Directory, Zip64LocatorBeforeAUsableEndRecord) {
    // A Zip64 end locator with a valid 32-bit directory offset in the end record
    // (written by tools for the entry count alone): the directory is read as usual.
    Archive a = Small();
    a.zip64_locator = true;
    fs.Put(kArchive, a.Build());
    EXPECT_EQ(List(), Names(a));
}

TEST_F(Directory, LargeThirtyTwoBitValuesAreUnsigned) {
    // 32-bit sizes and offsets from 2^31 up are taken as the large values they
    // are, which this small archive cannot hold: the member fails, saying so.
    const struct {
        const char* what;
        void (*change)(Member&);
        const char* diagnostic;
    } rows[] = {
        {"compressed size 2^31", [](Member& m) { m.compressed_size = 0x80000000u; },
         "reaches past the end of the archive"},
        {"size 2^31", [](Member& m) { m.size = 0x80000000u; }, "where 2147483648 are declared"},
        {"header offset 2^31", [](Member& m) { m.central_offset = 0x80000000u; },
         "no local header"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Archive a = Small();
        row.change(a.members[1]);
        fs = LoggingFileSystem();
        recorder = Recorder();
        EXPECT_EQ(Extract(a), unzip::ResultSerious);
        EXPECT_NE(engine.diagnostic().find(row.diagnostic), std::string::npos)
            << engine.diagnostic();
        EXPECT_EQ(fs.Text(Out("one.txt")), "1");
        EXPECT_EQ(fs.Get(Out("two.txt")), nullptr);
    }
}

TEST_F(Directory, ArchiveTotals) {
    Archive a = Small();
    fs.Put(kArchive, a.Build());
    int64_t compressed = -1;
    EXPECT_EQ(engine.ArchiveTotals(kArchive, &compressed), 1 + 3000 + 3);
    EXPECT_EQ(compressed, static_cast<int64_t>(1 + a.members[1].data.size() + 3));
    // Not an archive: both totals are the file's size.
    fs.Put("notes.txt", ToBytes("just text"));
    EXPECT_EQ(engine.ArchiveTotals("notes.txt", &compressed), 9);
    EXPECT_EQ(compressed, 9);
    EXPECT_EQ(engine.ArchiveTotals("missing.zip", &compressed), 0);
    EXPECT_EQ(compressed, 0);
}

} // namespace
