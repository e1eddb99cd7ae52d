// ExtractMatching as a caller sees it: the exact sequence of reports, how a
// failing member ends the walk, the question callback, the early returns and
// the callback slots.
#include <cmath>

#include "engine_fixture.h"
#include "unzip/result.h"

namespace {

using namespace ziptest;
using unzip::StatusArchiveEnd;
using unzip::StatusArchiveStart;
using unzip::StatusMemberDone;
using unzip::StatusMemberFailed;
using unzip::StatusMemberStart;
using unzip::StatusProgress;

class ExtractReports : public EngineTest {
  protected:
    int32_t csize(size_t i) const { return static_cast<int32_t>(archive.members[i].data.size()); }
    int32_t size(size_t i) const { return static_cast<int32_t>(archive.members[i].content.size()); }
    Report Start(size_t i, const std::string& path) const {
        const Member& m = archive.members[i];
        return {StatusMemberStart, StatusMemberStart, m.method, size(i), csize(i), Out(path)};
    }
    Report Progress(size_t i, const std::string& path, int32_t bytes) const {
        Report r = Start(i, path);
        r.code = bytes;
        r.status = StatusProgress;
        return r;
    }
    Report Done(size_t i, const std::string& path) const {
        Report r = Start(i, path);
        r.code = r.status = StatusMemberDone;
        return r;
    }
    Report Failed(size_t i, const std::string& path, int32_t code) const {
        Report r = Start(i, path);
        r.code = code;
        r.status = code == unzip::ResultSerious ? unzip::StatusSerious : StatusMemberFailed;
        return r;
    }
    Report ArchiveReport(int32_t status, int32_t total, int32_t total_compressed) const {
        return {status, status, 0, total, total_compressed, kArchive};
    }

    Archive archive;
};

TEST_F(ExtractReports, SequenceForASmallArchive) {
    const Bytes readme = MixedData(100, 20), big = MixedData(40000, 21),
                stored = MixedData(70000, 24);
    archive.members = {Stored("readme.txt", readme),  Folder("data/"),
                       Deflated("data/big.bin", big), Stored("empty.txt", {}),
                       Deflated("empty.dfl", {}),     Deflated("tiny.txt", ToBytes("abc")),
                       Stored("stored.bin", stored)};
    std::vector<int32_t> compressed_during_progress;
    std::vector<int64_t> read_during_progress;
    int32_t total = 0, total_c = 0;
    for (size_t i = 0; i < archive.members.size(); ++i) total += size(i), total_c += csize(i);

    fs.Put(kArchive, archive.Build());
    auto record = recorder.callback();
    const int32_t n =
        engine.ExtractMatching(kArchive, kTarget, "*.*", [&](int32_t code, unzip::ReportRecord& r) {
            if (r.status == StatusProgress) {
                compressed_during_progress.push_back(engine.member_compressed_size());
                read_during_progress.push_back(engine.member_bytes_read());
            }
            record(code, r);
        });

    EXPECT_EQ(n, 7);
    const std::vector<Report> expected = {
        ArchiveReport(StatusArchiveStart, total, total_c),
        Start(0, "readme.txt"),
        Progress(0, "readme.txt", 100),
        Done(0, "readme.txt"),
        Start(1, "data/"),
        Done(1, "data/"),
        Start(2, "data/big.bin"),
        Progress(2, "data/big.bin", 32768),
        Progress(2, "data/big.bin", 7232),
        Done(2, "data/big.bin"),
        Start(3, "empty.txt"),
        Done(3, "empty.txt"),
        Start(4, "empty.dfl"),
        Progress(4, "empty.dfl", 0),
        Done(4, "empty.dfl"),
        Start(5, "tiny.txt"),
        Progress(5, "tiny.txt", 3),
        Done(5, "tiny.txt"),
        Start(6, "stored.bin"),
        Progress(6, "stored.bin", 32768),
        Progress(6, "stored.bin", 32768),
        Progress(6, "stored.bin", 4464),
        Done(6, "stored.bin"),
        ArchiveReport(StatusArchiveEnd, total, total_c),
    };
    EXPECT_EQ(recorder.reports, expected);
    EXPECT_EQ(compressed_during_progress,
              (std::vector<int32_t>{csize(0), csize(2), csize(2), csize(4), csize(5), csize(6),
                                    csize(6), csize(6)}));
    // stored.bin's reports wait while tiny.txt's file is made, and still tell what had been
    // read when each was made.
    EXPECT_EQ(std::vector<int64_t>(read_during_progress.end() - 3, read_during_progress.end()),
              (std::vector<int64_t>{0, 32768, 65536}));

    // The fields the sequence leaves out.
    ASSERT_EQ(recorder.records.size(), expected.size());
    const auto& first = recorder.records.front();
    const auto& last = recorder.records.back();
    EXPECT_EQ(first.time, 0u);
    EXPECT_EQ(first.attributes, 0u);
    EXPECT_EQ(last.time, 0xFFFFFFFFu);
    EXPECT_EQ(last.attributes, 0xFFFFFFFFu);
    EXPECT_EQ(last.ratio, static_cast<uint8_t>(100 - std::lround(100.0 * total_c / total)));
    EXPECT_EQ(recorder.records[1].time, archive.members[0].dos_time);
    EXPECT_EQ(recorder.records[1].attributes, 0x20u);
    EXPECT_EQ(recorder.records[1].ratio, 0);          // stored: nothing saved
    EXPECT_EQ(recorder.records[4].attributes, 0x10u); // the folder entry
    EXPECT_EQ(recorder.records[10].ratio, 0);         // empty: no ratio
    EXPECT_EQ(recorder.records[15].ratio, 189); // "abc" grew from 3 to 5 bytes: 100 - 167 wraps

    EXPECT_EQ(fs.Text(Out("readme.txt")), std::string(readme.begin(), readme.end()));
    EXPECT_TRUE(*fs.Get(Out("data/big.bin")) == big);
    EXPECT_EQ(fs.Text(Out("empty.txt")), "");
    EXPECT_EQ(fs.Text(Out("empty.dfl")), "");
    EXPECT_EQ(fs.Text(Out("tiny.txt")), "abc");
    EXPECT_TRUE(*fs.Get(Out("stored.bin")) == stored);
    EXPECT_TRUE(fs.IsFolder(Out("data")));
}

TEST_F(ExtractReports, CrcFailureEndsTheWalkAndDeletesTheOutput) {
    archive.members = {Stored("a.txt", ToBytes("first")), Deflated("b.bin", MixedData(50000, 22)),
                       Stored("c.txt", ToBytes("third"))};
    archive.members[1].crc = ReferenceCrc32(archive.members[1].content) ^ 1;
    int32_t total = size(0) + size(1) + size(2), total_c = csize(0) + csize(1) + csize(2);

    EXPECT_EQ(Extract(archive), 1);
    const std::vector<Report> expected = {
        ArchiveReport(StatusArchiveStart, total, total_c),
        Start(0, "a.txt"),
        Progress(0, "a.txt", 5),
        Done(0, "a.txt"),
        Start(1, "b.bin"),
        Progress(1, "b.bin", 32768),
        Progress(1, "b.bin", 17232),
        Failed(1, "b.bin", unzip::ResultCrcError),
        ArchiveReport(StatusArchiveEnd, size(0) + size(1), csize(0) + csize(1)), // matched so far
    };
    EXPECT_EQ(recorder.reports, expected);
    EXPECT_EQ(fs.Text(Out("a.txt")), "first");
    EXPECT_EQ(fs.Get(Out("b.bin")), nullptr);
    EXPECT_EQ(fs.Get(Out("c.txt")), nullptr);
}

TEST_F(ExtractReports, MemberFailuresBeforeTheData) {
    const struct {
        const char* what;
        void (*spoil)(Member&);
        int32_t code;
    } rows[] = {
        {"method 12", [](Member& m) { m.method = 12; }, unzip::ResultUnsupported},
        {"method 2 (reduce)", [](Member& m) { m.method = 2; }, unzip::ResultUnsupported},
        {"encrypted, method 99: the method counts first",
         [](Member& m) { m.method = 99, m.flags = 1; }, unzip::ResultUnsupported},
        {"encrypted stored", [](Member& m) { m.flags = 1; }, unzip::ResultEncrypted},
        {"encrypted deflated",
         [](Member& m) { m.method = 8, m.data = Deflate(m.content), m.flags = 1; },
         unzip::ResultEncrypted},
        {"bad local signature", [](Member& m) { m.local_signature = 0x04034B51; },
         unzip::ResultSerious},
        {"local header past the end of the file", [](Member& m) { m.central_offset = 0x7FFFFF00; },
         unzip::ResultSerious},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        recorder = Recorder();
        archive.members = {Stored("ok.txt", ToBytes("fine")), Stored("bad.txt", ToBytes("spoilt")),
                           Stored("later.txt", ToBytes("never"))};
        row.spoil(archive.members[1]);
        const int32_t total = size(0) + size(1) + size(2), total_c = csize(0) + csize(1) + csize(2);
        const bool serious = row.code == unzip::ResultSerious;

        EXPECT_EQ(Extract(archive), serious ? unzip::ResultSerious : 1);
        std::vector<Report> expected = {
            ArchiveReport(StatusArchiveStart, total, total_c),
            Start(0, "ok.txt"),
            Progress(0, "ok.txt", 4),
            Done(0, "ok.txt"),
            Start(1, "bad.txt"),
            Failed(1, "bad.txt", row.code),
        };
        if (!serious)
            expected.push_back(
                ArchiveReport(StatusArchiveEnd, size(0) + size(1), csize(0) + csize(1)));
        EXPECT_EQ(recorder.reports, expected);
        EXPECT_EQ(fs.Text(Out("ok.txt")), "fine");
        EXPECT_EQ(fs.created, std::vector<std::string>{Out("ok.txt")})
            << "nothing else may be created";
    }
}

TEST_F(ExtractReports, QuestionCallbackSkipsOrOverwritesExistingFiles) {
    archive.members = {Stored("a.txt", ToBytes("A")), Stored("b.txt", ToBytes("new b")),
                       Stored("c.txt", ToBytes("new c"))};
    fs.Put(kArchive, archive.Build());
    fs.Put(Out("b.txt"), ToBytes("old b"));
    fs.Put(Out("c.txt"), ToBytes("old c"));
    std::vector<std::string> asked;
    auto question = [&asked, this](unzip::ReportRecord& r) {
        asked.push_back(r.name);
        return r.name == Out("c.txt");
    };

    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", recorder.callback(), question), 3);
    EXPECT_EQ(asked, (std::vector<std::string>{Out("b.txt"), Out("c.txt")}))
        << "asked only for existing files";
    const int32_t skipped_total = csize(0) + csize(1); // matched compressed bytes so far
    const std::vector<Report> expected = {
        ArchiveReport(StatusArchiveStart, 11, 11),
        Start(0, "a.txt"),
        Progress(0, "a.txt", 1),
        Done(0, "a.txt"),
        Start(1, "b.txt"),
        {skipped_total, StatusProgress, 9, skipped_total, csize(1), Out("b.txt")},
        {StatusMemberDone, StatusMemberDone, 9, skipped_total, csize(1), Out("b.txt")},
        Start(2, "c.txt"),
        Progress(2, "c.txt", 5),
        Done(2, "c.txt"),
        ArchiveReport(StatusArchiveEnd, 11, 11),
    };
    EXPECT_EQ(recorder.reports, expected);
    EXPECT_EQ(fs.Text(Out("b.txt")), "old b");
    EXPECT_EQ(fs.Text(Out("c.txt")), "new c");
}

TEST_F(ExtractReports, WithoutCallbacksTheExtractionRunsSilently) {
    archive.members = {Stored("a.txt", ToBytes("A")), Deflated("d/b.txt", MixedData(70000, 23))};
    fs.Put(kArchive, archive.Build());
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), 2);
    EXPECT_EQ(fs.Text(Out("a.txt")), "A");
    EXPECT_TRUE(*fs.Get(Out("d/b.txt")) == archive.members[1].content);
    // A mask narrows the members; the count is of those extracted.
    fs = LoggingFileSystem();
    fs.Put(kArchive, archive.Build());
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.TXT"), 2);
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "A*"), 1);
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.bin"), 0);
}

TEST_F(ExtractReports, EarlyReturnsMakeNoReport) {
    const Bytes zip = [] {
        Archive a;
        a.members = {Stored("a.txt", ToBytes("A"))};
        return a.Build();
    }();
    Bytes prefixed = ToBytes("MZ..");
    prefixed.insert(prefixed.end(), zip.begin(), zip.end());
    fs.Put("archive", zip);
    fs.Put("setup.exe", zip);
    fs.Put("data.exe.zip", zip);
    fs.Put("UPPER.EXE", zip); // the ".exe" test is case-sensitive
    fs.Put("prefixed.zip", prefixed);
    fs.Put("empty.zip", Archive().Build()); // begins with the end record
    fs.Put("good.zip", zip);
    fs.MakeFolder("folder.zip");
    const std::string folder_with_separator = std::string("folder.zip") + unzip::kPathSeparator;
    const struct {
        std::string archive, folder;
        int32_t result;
    } rows[] = {
        {"", kTarget, unzip::ResultMissingParameter},
        {"good.zip", "", unzip::ResultMissingParameter},
        {"archive", kTarget, unzip::ResultNotArchive},
        {"setup.exe", kTarget, unzip::ResultNotArchive},
        {"data.exe.zip", kTarget, unzip::ResultNotArchive},
        {"folder.zip", kTarget, unzip::ResultNotArchive},
        {folder_with_separator, kTarget, unzip::ResultNotArchive},
        {"missing.zip", kTarget, unzip::ResultNotArchive},
        {"prefixed.zip", kTarget, unzip::ResultNotArchive},
        {"empty.zip", kTarget, unzip::ResultNotArchive},
        {"UPPER.EXE", kTarget, 1},
        {"good.zip", kTarget, 1},
    };
    for (const auto& row : rows) {
        Recorder r;
        EXPECT_EQ(engine.ExtractMatching(row.archive, row.folder, "*.*", r.callback()), row.result)
            << '"' << row.archive << "\" into \"" << row.folder << '"';
        EXPECT_EQ(r.reports.empty(), row.result < 0) << row.archive;
        EXPECT_EQ(engine.IsZipArchive(row.archive), row.result >= 0 || row.folder.empty())
            << row.archive;
    }
}

TEST_F(ExtractReports, CallbackSlots) {
    int calls_a = 0, calls_b = 0, asked_q = 0;
    unzip::ReportCallback a = [&calls_a](int32_t, unzip::ReportRecord&) { ++calls_a; };
    unzip::ReportCallback b = [&calls_b](int32_t, unzip::ReportRecord&) { ++calls_b; };
    EXPECT_FALSE(engine.SetReportCallback(a));
    unzip::ReportCallback previous = engine.SetReportCallback(b);
    ASSERT_TRUE(previous);
    unzip::ReportRecord record;
    previous(0, record);
    EXPECT_EQ(calls_a, 1) << "SetReportCallback returns the one installed before";
    int asked_slot = 0;
    EXPECT_FALSE(
        engine.SetQuestionCallback([&asked_q](unzip::ReportRecord&) { return ++asked_q > 0; }));
    unzip::QuestionCallback previous_q = engine.SetQuestionCallback(
        [&asked_slot](unzip::ReportRecord&) { return ++asked_slot < 0; });
    ASSERT_TRUE(previous_q);
    EXPECT_TRUE(previous_q(record));
    EXPECT_EQ(asked_q, 1) << "SetQuestionCallback returns the one installed before";

    // ExtractMember, called by itself, reports through the slot.
    archive.members = {Stored("a.txt", ToBytes("A"))};
    fs.Put(kArchive, archive.Build(&layout));
    unzip::MemberLocation where;
    where.header_offset = layout.local_offsets[0];
    EXPECT_EQ(engine.ExtractMember(kArchive, Out("single.txt"), where), unzip::ResultOk);
    EXPECT_EQ(calls_b, 1) << "one progress report for the one-byte member";
    EXPECT_EQ(fs.Text(Out("single.txt")), "A");

    // ExtractMatching reports to its argument, asks only the question it is
    // given (none here: the existing file is overwritten) and leaves both slots empty.
    fs.Put(Out("a.txt"), ToBytes("old"));
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", recorder.callback()), 1);
    EXPECT_EQ(calls_b, 1);
    EXPECT_EQ(asked_slot, 0);
    EXPECT_EQ(fs.Text(Out("a.txt")), "A");
    EXPECT_FALSE(engine.SetReportCallback(nullptr));
    EXPECT_FALSE(engine.SetQuestionCallback(nullptr));
}

TEST_F(ExtractReports, ExtractionFromInsideAReportIsRefused) {
    // A callback that pumps window messages may start another extraction, between
    // members or during one; it is refused and the running one goes on unharmed.
    archive.members = {Stored("a.txt", ToBytes("A")), Stored("b.txt", ToBytes("B"))};
    fs.Put(kArchive, archive.Build(&layout));
    std::vector<int32_t> nested;
    auto report = [&](int32_t, unzip::ReportRecord& r) {
        if (r.status != StatusProgress && r.status != StatusMemberStart) return;
        unzip::MemberLocation where;
        where.header_offset = layout.local_offsets[1];
        const std::string before = engine.diagnostic();
        nested.push_back(engine.ExtractMember(kArchive, Out("nested.txt"), where));
        nested.push_back(engine.ExtractMatching(kArchive, "elsewhere", "*.*",
                                                [](int32_t, unzip::ReportRecord&) {}));
        EXPECT_EQ(engine.diagnostic(), before) << "the refusal is not the running extraction's";
    };
    EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", report), 2);
    EXPECT_EQ(nested, std::vector<int32_t>(8, unzip::ResultBusy));
    EXPECT_EQ(fs.Get(Out("nested.txt")), nullptr);
    EXPECT_EQ(fs.file_count(), 3u);
    EXPECT_EQ(fs.Text(Out("b.txt")), "B");
}

TEST_F(ExtractReports, FailedMemberLeavesTheFileThereAlone) {
    // The member is decoded beside the old file and replaces it only when good.
    archive.members = {Stored("keep.txt", ToBytes("new")), Stored("keep.txt", ToBytes("newer"))};
    archive.members[1].crc = 0x12345678;
    fs.Put(Out("keep.txt"), ToBytes("old"));
    EXPECT_EQ(Extract(archive), 1);
    EXPECT_EQ(recorder.reports[recorder.reports.size() - 2].code, unzip::ResultCrcError);
    EXPECT_EQ(fs.Text(Out("keep.txt")), "new");
    EXPECT_EQ(fs.file_count(), 2u) << "no temporary file is left";
}

} // namespace
