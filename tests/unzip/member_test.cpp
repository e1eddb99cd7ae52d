// One member at a time: names that must not leave the target folder, name
// decoding, sizes and CRC behind the data (flag bit 3), truncated data and
// failing writes.
#include "engine_fixture.h"
#include "unzip/result.h"
#include "unzip/text_codec.h"

namespace {

using namespace ziptest;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

class Members : public EngineTest {};

TEST_F(Members, NamesThatWouldLeaveTheTargetAreRefused) {
    // Expected path below the target natively and on Windows; nullptr: refused.
    const struct {
        std::string name;
        const char* native;
        const char* windows;
    } rows[] = {
        {"../x", nullptr, nullptr},
        {"a/../../x", nullptr, nullptr},
        {"a/..", nullptr, nullptr},
        {"..\\x", nullptr, nullptr},
        {"/abs", nullptr, nullptr},
        {"\\abs", nullptr, nullptr},
        {"//server/share/x", nullptr, nullptr},
        {"C:/x", nullptr, nullptr},
        {"C:x", nullptr, nullptr},
        {"c:\\x", nullptr, nullptr},
        {"CON", "CON", nullptr},
        {"aux.txt", "aux.txt", nullptr},
        {"com1.log", "com1.log", nullptr},
        {"LPT9", "LPT9", nullptr},
        {"dir/nul.txt", "dir/nul.txt", nullptr},
        {"con .txt", "con .txt", nullptr},
        {"a:b", nullptr, nullptr},         // "a:" reads as a drive everywhere
        {"dir/ab:c", "dir/ab:c", nullptr}, // a stream name on Windows
        {"a/.../b", "a/.../b", nullptr},
        // Accepted, and where they land.
        {"a/./b", "a/b", "a/b"},
        {"a//b", "a/b", "a/b"},
        {"./x", "x", "x"},
        {"a\\b", "a/b", "a/b"},
        {"..x", "..x", "..x"},
        {"COM0", "COM0", nullptr},
        {"lpt0.txt", "lpt0.txt", nullptr},
        {"COM\xC2\xB9", "COM\xC2\xB9", nullptr}, // superscript one
        {"lpt\xC2\xB3.log", "lpt\xC2\xB3.log", nullptr},
        {"COM\xC2\xB4", "COM\xC2\xB4", "COM\xC2\xB4"}, // an accent, no digit
        {"com10", "com10", "com10"},
        {"CONSOLE.txt", "CONSOLE.txt", "CONSOLE.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const char* expected = kWindows ? row.windows : row.native;
        fs = LoggingFileSystem();
        recorder = Recorder();
        Archive a;
        a.members = {Stored(row.name, ToBytes("x"))};
        a.members[0].flags |= 1 << 11; // names are UTF-8
        if (!expected) {
            EXPECT_EQ(Extract(a), 0);
            ASSERT_EQ(recorder.reports.size(), 4u);
            EXPECT_EQ(recorder.reports[2].code, unzip::ResultWriteError);
            EXPECT_EQ(recorder.reports[2].status, unzip::StatusMemberFailed);
            EXPECT_TRUE(fs.created.empty()) << "created " << fs.created.front();
            EXPECT_TRUE(fs.folders.empty()) << "made folder " << fs.folders.front();
        } else {
            EXPECT_EQ(Extract(a), 1);
            EXPECT_EQ(fs.created, std::vector<std::string>{Out(expected)});
            EXPECT_EQ(fs.Text(Out(expected)), "x");
        }
    }
}

TEST_F(Members, NameDecoding) {
    const std::string cp437_ce = "\x87\x82.txt";
    const struct {
        std::string raw;
        uint16_t flags;
        int code_page;
        std::string expected;
    } rows[] = {
        {cp437_ce, 0, 437, "\xC3\xA7\xC3\xA9.txt"},           // çé.txt
        {"\x85", 0, 437, "\xC3\xA0"},                         // à
        {"\x85", 0, 852, "\xC5\xAF"},                         // ů
        {"\xC3\xA7.txt", 0x800, 437, "\xC3\xA7.txt"},         // UTF-8 flag: kept
        {"\xC3\xA7.txt", 0, 437, "\xE2\x94\x9C\xC2\xBA.txt"}, // the same bytes as CP437: ├º
        {"plain/ascii.txt", 0, 852, std::string("plain") + unzip::kPathSeparator + "ascii.txt"},
#ifndef _WIN32
        {cp437_ce, 0, unzip::kSystemOemCodePage, "\xC3\xA7\xC3\xA9.txt"}, // natively 437
#endif
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected + " from code page " + std::to_string(row.code_page));
        if (!unzip::CodePageAvailable(row.code_page)) {
            ADD_FAILURE() << "code page " << row.code_page << " is not available";
            continue;
        }
        LoggingFileSystem mfs;
        unzip::EngineOptions options;
        options.oem_code_page = row.code_page;
        unzip::Engine e(mfs, options);
        Archive a;
        a.members = {Stored(row.raw, ToBytes("n"))};
        a.members[0].flags = row.flags;
        mfs.Put(kArchive, a.Build());
        unzip::MemberEntry entry;
        ASSERT_EQ(e.FirstMember(kArchive, entry), unzip::ResultOk);
        EXPECT_EQ(entry.name, row.expected);
        EXPECT_EQ(entry.raw_name, row.raw);
        e.CloseMemberWalk(entry);
        EXPECT_EQ(e.ExtractMatching(kArchive, kTarget, "*.*"), 1);
        EXPECT_EQ(mfs.Text(std::string(kTarget) + unzip::kPathSeparator + row.expected), "n");
    }
}

TEST_F(Members, SizesAndCrcBehindTheDataComeFromTheDirectory) {
    const Bytes content = MixedData(45000, 40);
    const struct {
        const char* what;
        void (*change)(Member&);
        int32_t result;
    } rows[] = {
        {"deflated, descriptor with signature",
         [](Member& m) { m.flags = 8, m.descriptor = Descriptor::Signed; }, unzip::ResultOk},
        {"deflated, descriptor without signature",
         [](Member& m) { m.flags = 8, m.descriptor = Descriptor::Unsigned; }, unzip::ResultOk},
        {"deflated, no descriptor at all", [](Member& m) { m.flags = 8; }, unzip::ResultOk},
        {"stored, descriptor with signature",
         [](Member& m) {
             m.method = 0, m.data = m.content, m.flags = 8, m.descriptor = Descriptor::Signed;
         },
         unzip::ResultOk},
        {"stored, no descriptor", [](Member& m) { m.method = 0, m.data = m.content, m.flags = 8; },
         unzip::ResultOk},
        {"descriptor CRC wrong, directory CRC right",
         [](Member& m) {
             m.flags = 8, m.descriptor = Descriptor::Signed, m.descriptor_crc = 0x12345678;
         },
         unzip::ResultOk},
        {"directory CRC wrong",
         [](Member& m) {
             m.flags = 8, m.descriptor = Descriptor::Signed, m.crc = 0x12345678;
             m.descriptor_crc = ReferenceCrc32(m.content);
         },
         unzip::ResultCrcError},
        {"Zip64 marks for the sizes in the local header",
         [](Member& m) { m.local_compressed_size = m.local_size = 0xFFFFFFFFu; }, unzip::ResultOk},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        recorder = Recorder();
        Archive a;
        a.members = {Deflated("m.bin", content), Stored("after.txt", ToBytes("after"))};
        row.change(a.members[0]);
        const bool ok = row.result == unzip::ResultOk;
        EXPECT_EQ(Extract(a), ok ? 2 : 0);
        if (ok) {
            ASSERT_NE(fs.Get(Out("m.bin")), nullptr);
            EXPECT_TRUE(*fs.Get(Out("m.bin")) == content);
            EXPECT_EQ(fs.Text(Out("after.txt")), "after");
        } else {
            EXPECT_EQ(recorder.reports[recorder.reports.size() - 2].code, row.result);
            EXPECT_EQ(fs.Get(Out("m.bin")), nullptr);
        }
    }
}

TEST_F(Members, WithoutTheDirectoryTheCrcIsReadAfterTheData) {
    const Bytes content = MixedData(45000, 41);
    const struct {
        const char* what;
        uint16_t method;
        Descriptor descriptor;
        uint32_t crc_xor;
        int32_t result;
    } rows[] = {
        {"deflated, descriptor with signature", 8, Descriptor::Signed, 0, unzip::ResultOk},
        {"deflated, descriptor without signature", 8, Descriptor::Unsigned, 0, unzip::ResultOk},
        {"deflated, descriptor with a wrong CRC", 8, Descriptor::Signed, 1, unzip::ResultCrcError},
        {"stored: cannot be delimited", 0, Descriptor::Signed, 0, unzip::ResultUnsupported},
    };
    for (const auto& row : rows) {
        for (size_t refill : {1, 7, 31, 4096}) {
            SCOPED_TRACE(std::string(row.what) + ", refill " + std::to_string(refill));
            LoggingFileSystem mfs;
            unzip::EngineOptions options;
            options.refill_size = refill;
            unzip::Engine e(mfs, options);
            Archive a;
            a.members = {Deflated("m.bin", content), Stored("next.txt", ToBytes("next"))};
            Member& m = a.members[0];
            m.method = row.method;
            if (row.method == 0) m.data = m.content;
            m.flags = 8;
            m.descriptor = row.descriptor;
            m.descriptor_crc = ReferenceCrc32(content) ^ row.crc_xor;
            Layout lay;
            mfs.Put(kArchive, a.Build(&lay));
            unzip::MemberLocation where;
            where.header_offset = lay.local_offsets[0];
            EXPECT_EQ(e.ExtractMember(kArchive, Out("m.bin"), where), row.result);
            const std::vector<uint8_t>* out = mfs.Get(Out("m.bin"));
            EXPECT_EQ(out != nullptr, row.result == unzip::ResultOk);
            if (out) {
                EXPECT_TRUE(*out == content);
            }
        }
    }
}

TEST_F(Members, TruncatedDataIsASeriousFailureWithoutOutput) {
    const Bytes big = MixedData(100000, 42);
    const struct {
        const char* what;
        Member member;
    } rows[] = {
        {"stored member longer than the file",
         [&] {
             Member m = Stored("t.bin", big);
             m.compressed_size = m.size = 1000000; // runs past the directory and the end
             return m;
         }()},
        {"deflated member cut in half",
         [&] {
             Member m = Deflated("t.bin", big);
             m.data.resize(m.data.size() / 2);
             return m;
         }()},
        {"deflated member without its last byte",
         [&] {
             Member m = Deflated("t.bin", big);
             m.data.pop_back();
             return m;
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        recorder = Recorder();
        Archive a;
        a.members = {Stored("first.txt", ToBytes("1")), row.member,
                     Stored("last.txt", ToBytes("3"))};
        EXPECT_EQ(Extract(a), unzip::ResultSerious);
        ASSERT_FALSE(recorder.reports.empty());
        EXPECT_EQ(recorder.reports.back().code, unzip::ResultSerious)
            << "no end report after a serious failure";
        EXPECT_EQ(recorder.reports.back().status, unzip::StatusSerious);
        EXPECT_EQ(recorder.reports.back().name, Out("t.bin"));
        EXPECT_EQ(fs.Get(Out("t.bin")), nullptr);
        EXPECT_EQ(fs.Text(Out("first.txt")), "1");
        EXPECT_EQ(fs.Get(Out("last.txt")), nullptr);
    }

    // Called by itself, ExtractMember says what went wrong.
    Archive a;
    a.members = {Stored("cut.bin", big)};
    Layout lay;
    Bytes bytes = a.Build(&lay);
    bytes.resize(lay.local_offsets[0] + 30 + 7 + 50000);
    fs.Put("cut.zip", bytes);
    unzip::MemberLocation where;
    EXPECT_EQ(engine.ExtractMember("cut.zip", Out("cut.bin"), where), unzip::ResultReadError);
    EXPECT_EQ(fs.Get(Out("cut.bin")), nullptr);
    EXPECT_EQ(engine.ExtractMember("missing.zip", Out("cut.bin"), where), unzip::ResultReadError);
}

// Archives shaped to make a few bytes into much more, or to hide where the data
// lies: each is refused at its second member, which leaves no file.
TEST_F(Members, HostileShapesAreRefusedWithoutOutput) {
    const Bytes zeros(51200, 0);
    Archive shared;
    shared.members = {Deflated("a.bin", zeros), Deflated("b.bin", zeros), Deflated("c.bin", zeros)};
    Layout lay;
    shared.Build(&lay);
    for (Member& m : shared.members) m.central_offset = lay.local_offsets[0];
    auto patched = [](Archive a, size_t at, uint8_t value) {
        Layout l;
        Bytes b = a.Build(&l);
        b[l.local_offsets[1] + at] = value;
        return b;
    };
    Archive plain;
    plain.members = {Stored("a.bin", ToBytes("1")), Deflated("b.bin", zeros),
                     Stored("c.bin", ToBytes("3"))};
    auto with_second = [&plain](void (*change)(Member&)) {
        Archive a = plain;
        change(a.members[1]);
        return a.Build();
    };
    const struct {
        const char* what;
        Bytes bytes;
        const char* why; // a part of the diagnostic
    } rows[] = {
        {"deflate declaring 10 bytes of its 51,200", with_second([](Member& m) { m.size = 10; }),
         "more than the 10 bytes"},
        {"deflate declaring more than it holds", with_second([](Member& m) { m.size = 51201; }),
         "51200 bytes where 51201"},
        {"stored, declaring fewer bytes than it stores", with_second([](Member& m) {
             m = Stored("b.bin", ToBytes("stored"));
             m.size = 3;
         }),
         "more than the 3 bytes"},
        {"compressed size past the end of the archive",
         with_second([](Member& m) { m.compressed_size = 20000000; }),
         "past the end of the archive"},
        {"three entries sharing one local header", shared.Build(), "overlaps"},
        {"local name longer than the directory's", patched(plain, 26, 6), "contradicts"},
        {"local compressed size other than the directory's", patched(plain, 18, 1), "contradicts"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        recorder = Recorder();
        fs.Put(kArchive, row.bytes);
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*", recorder.callback()),
                  unzip::ResultSerious);
        EXPECT_EQ(fs.Text(Out("a.bin")),
                  row.bytes == shared.Build() ? std::string(51200, '\0') : "1");
        EXPECT_EQ(fs.Get(Out("b.bin")), nullptr);
        EXPECT_EQ(fs.file_count(), 2u) << "the archive and the first member only";
        EXPECT_EQ(recorder.reports.back().status, unzip::StatusSerious);
        EXPECT_NE(engine.diagnostic().find(row.why), std::string::npos) << engine.diagnostic();
    }
}

TEST_F(Members, WriteFailureEndsTheWalkWithoutOutput) {
    const struct {
        const char* what;
        Member member;
        size_t limit;
    } rows[] = {
        {"stored, first chunk", Stored("w.bin", MixedData(5000, 43)), 1000},
        {"stored, second chunk", Stored("w.bin", MixedData(70000, 44)), 40000},
        {"deflated, first window", Deflated("w.bin", MixedData(70000, 45)), 1000},
        {"deflated, final flush", Deflated("w.bin", MixedData(70000, 46)), 69999},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        recorder = Recorder();
        fs.set_write_limit(row.limit);
        Archive a;
        a.members = {Stored("first.txt", ToBytes("1")), row.member,
                     Stored("last.txt", ToBytes("3"))};
        EXPECT_EQ(Extract(a), 1);
        ASSERT_GE(recorder.reports.size(), 3u);
        const Report& failed = recorder.reports[recorder.reports.size() - 2];
        EXPECT_EQ(failed.code, unzip::ResultWriteError);
        EXPECT_EQ(failed.status, unzip::StatusMemberFailed);
        EXPECT_EQ(recorder.reports.back().status, unzip::StatusArchiveEnd);
        EXPECT_EQ(fs.Get(Out("w.bin")), nullptr);
        EXPECT_EQ(fs.Get(Out("last.txt")), nullptr);
    }
}

TEST_F(Members, RefillSizesGiveTheSameResults) {
    Archive a;
    a.members = {Deflated("fixed.bin", MixedData(100000, 47)),
                 Deflated("dynamic.bin", MixedData(90000, 48), BlockKind::Dynamic),
                 Stored("stored.bin", MixedData(40000, 49)), Deflated("one.txt", ToBytes("1")),
                 Deflated("bit3.bin", MixedData(33000, 50))};
    a.members[4].flags = 8;
    a.members[4].descriptor = Descriptor::Signed;
    a.members.push_back(Deflated("bad.bin", MixedData(50000, 51)));
    a.members.back().crc = 0;
    const Bytes bytes = a.Build();
    std::vector<Report> first;
    for (size_t refill : {4096, 1, 7, 31}) {
        SCOPED_TRACE(refill);
        LoggingFileSystem mfs;
        unzip::EngineOptions options;
        options.refill_size = refill;
        unzip::Engine e(mfs, options);
        mfs.Put(kArchive, bytes);
        Recorder r;
        EXPECT_EQ(e.ExtractMatching(kArchive, kTarget, "*.*", r.callback()), 5);
        for (size_t i = 0; i < 5; ++i) {
            const std::vector<uint8_t>* out = mfs.Get(Out(a.members[i].name));
            ASSERT_NE(out, nullptr) << a.members[i].name;
            EXPECT_TRUE(*out == a.members[i].content) << a.members[i].name;
        }
        EXPECT_EQ(r.reports[r.reports.size() - 2].code, unzip::ResultCrcError);
        if (first.empty())
            first = r.reports;
        else
            EXPECT_EQ(r.reports, first);
    }
}

} // namespace
