// Zip64: sizes, offsets and counts read from the Zip64 extra fields and end
// record, for small values written that way and for a member beyond 4 GiB, and
// the damage those records can carry.
#include <cstring>

#include "engine_fixture.h"
#include "unzip/result.h"

namespace {

using namespace ziptest;

constexpr uint64_t kFiveGiB = uint64_t{5} << 30;

class Zip64 : public EngineTest {
  protected:
    static Archive Mixed() {
        Archive a;
        a.zip64 = true;
        Member streamed = Deflated("dir/streamed.bin", MixedData(9000, 3));
        streamed.flags = 8;
        streamed.descriptor = Descriptor::Signed;
        a.members = {Stored("one.txt", ToBytes("1")), Deflated("two.bin", MixedData(5000, 7)),
                     Folder("dir/"), streamed};
        return a;
    }
};

TEST_F(Zip64, EveryValueInZip64Fields) {
    const Archive a = Mixed();
    EXPECT_EQ(Extract(a), 4);
    EXPECT_EQ(fs.Text(Out("one.txt")), "1");
    EXPECT_TRUE(*fs.Get(Out("two.bin")) == a.members[1].content);
    EXPECT_TRUE(*fs.Get(Out("dir/streamed.bin")) == a.members[3].content);

    unzip::MemberEntry entry;
    size_t i = 0;
    for (int32_t rc = engine.FirstMember(kArchive, entry); rc == unzip::ResultOk;
         rc = engine.NextMember(entry), ++i) {
        SCOPED_TRACE(a.members[i].name);
        EXPECT_EQ(entry.size, static_cast<int64_t>(a.members[i].content.size()));
        EXPECT_EQ(entry.compressed_size, static_cast<int64_t>(a.members[i].data.size()));
        EXPECT_EQ(entry.header_offset, layout.local_offsets[i]);
    }
    EXPECT_EQ(i, a.members.size());

    // Without the directory the local header's Zip64 field gives the sizes.
    unzip::MemberLocation where;
    where.header_offset = layout.local_offsets[1];
    EXPECT_EQ(engine.ExtractMember(kArchive, Out("again.bin"), where), unzip::ResultOk);
    EXPECT_TRUE(*fs.Get(Out("again.bin")) == a.members[1].content);
}

TEST_F(Zip64, DamagedZip64RecordsFailCleanly) {
    Layout lay;
    const Bytes good = Mixed().Build(&lay);
    auto patched = [&good](size_t at, uint64_t value, size_t width) {
        Bytes b = good;
        for (size_t k = 0; k < width; ++k) b[at + k] = static_cast<uint8_t>(value >> (8 * k));
        return b;
    };
    auto second_member = [](void (*change)(Member&)) {
        Archive a;
        a.members = {Stored("one.txt", ToBytes("1")), Stored("two.txt", ToBytes("22"))};
        change(a.members[1]);
        return a.Build();
    };
    const struct {
        const char* what;
        Bytes bytes;
        int32_t extracted;
        const char* diagnostic;
    } rows[] = {
        {"central marks without a Zip64 field",
         second_member([](Member& m) { m.size = 0xFFFFFFFFu; }), 1, "marked but missing"},
        {"central Zip64 field shorter than its marks", second_member([](Member& m) {
             m.size = m.compressed_size = 0xFFFFFFFFu;
             m.central_extra = Zip64Field({2});
         }),
         1, "too short"},
        {"central Zip64 value beyond 2^63", second_member([](Member& m) {
             m.size = 0xFFFFFFFFu;
             m.central_extra = Zip64Field({uint64_t{1} << 63});
         }),
         1, "out of range"},
        {"local Zip64 field shorter than its marks", second_member([](Member& m) {
             m.local_size = m.local_compressed_size = 0xFFFFFFFFu;
             m.local_extra = Zip64Field({2});
         }),
         unzip::ResultSerious, "the local header is damaged"},
        {"local Zip64 compressed size other than the directory's", second_member([](Member& m) {
             m.local_size = m.local_compressed_size = 0xFFFFFFFFu;
             m.local_extra = Zip64Field({2, 3});
         }),
         unzip::ResultSerious, "contradicts the directory"},
        {"Zip64 end record gone", patched(lay.zip64_end_offset, 0, 4), 0, "record is missing"},
        {"end record counts other entries than the Zip64 one", patched(lay.end_offset + 10, 3, 2),
         0, "contradicts the end record"},
        {"Zip64 end record counts one entry more", patched(lay.zip64_end_offset + 32, 5, 8), 4,
         "declares 5"},
        {"Zip64 directory size past its end record",
         patched(lay.zip64_end_offset + 40, lay.directory_size + 1, 8), 0, "size reaches past"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        fs.Put(kArchive, row.bytes);
        EXPECT_EQ(engine.ExtractMatching(kArchive, kTarget, "*.*"), row.extracted);
        EXPECT_NE(engine.diagnostic().find(row.diagnostic), std::string::npos)
            << engine.diagnostic();
    }
}

// Serves an archive built with holes: their zeros are made as they are read.
class HoleInput final : public unzip::InputFile {
  public:
    HoleInput(const Bytes& bytes, const std::vector<std::pair<uint32_t, uint64_t>>& holes)
        : bytes_(bytes), holes_(holes) {}
    int64_t Size() override {
        uint64_t size = bytes_.size();
        for (const auto& hole : holes_) size += hole.second;
        return static_cast<int64_t>(size);
    }
    long ReadAt(int64_t offset, void* buffer, size_t n) override {
        uint8_t* out = static_cast<uint8_t*>(buffer);
        size_t done = 0;
        uint64_t at = 0;  // where the next piece starts in the file
        size_t taken = 0; // bytes_ before it
        for (size_t i = 0; i <= holes_.size(); ++i) {
            const size_t stop = i < holes_.size() ? holes_[i].first : bytes_.size();
            const uint64_t hole = i < holes_.size() ? holes_[i].second : 0;
            done += Piece(offset, out, n, done, at, stop - taken, bytes_.data() + taken);
            at += stop - taken;
            taken = stop;
            done += Piece(offset, out, n, done, at, hole, nullptr);
            at += hole;
        }
        return static_cast<long>(done);
    }

  private:
    // Copies what of the piece of `length` at `at` (zeros when `from` is null) the
    // read needs next; returns how many bytes that was.
    static size_t Piece(int64_t offset, uint8_t* out, size_t n, size_t done, uint64_t at,
                        uint64_t length, const uint8_t* from) {
        const uint64_t position = static_cast<uint64_t>(offset) + done;
        if (done == n || position < at || position >= at + length) return 0;
        const size_t k = static_cast<size_t>(std::min<uint64_t>(n - done, at + length - position));
        if (from)
            std::memcpy(out + done, from + (position - at), k);
        else
            std::memset(out + done, 0, k);
        return k;
    }

    const Bytes& bytes_;
    std::vector<std::pair<uint32_t, uint64_t>> holes_;
};

class HoleFileSystem : public LoggingFileSystem {
  public:
    std::unique_ptr<unzip::InputFile> OpenRead(const std::string& path) override {
        const Bytes* bytes = Get(path);
        if (!bytes) return nullptr;
        return std::make_unique<HoleInput>(*bytes, holes);
    }
    std::vector<std::pair<uint32_t, uint64_t>> holes;
};

TEST(Zip64Beyond4GiB, MemberAfterAFiveGiBMember) {
    HoleFileSystem fs;
    unzip::Engine engine(fs);
    Layout lay;
    fs.Put("big.zip", AfterHole(kFiveGiB).Build(&lay));
    fs.holes = lay.holes;

    int64_t compressed = 0;
    EXPECT_EQ(engine.ArchiveTotals("big.zip", &compressed), static_cast<int64_t>(kFiveGiB + 15));
    EXPECT_EQ(compressed, static_cast<int64_t>(kFiveGiB + 15));
    unzip::MemberEntry entry;
    ASSERT_EQ(engine.FirstMember("big.zip", entry), unzip::ResultOk) << engine.diagnostic();
    EXPECT_EQ(entry.size, static_cast<int64_t>(kFiveGiB));
    ASSERT_EQ(engine.NextMember(entry), unzip::ResultOk);
    EXPECT_EQ(entry.header_offset, static_cast<int64_t>(lay.local_offsets[1] + kFiveGiB));
    engine.CloseMemberWalk(entry);

    Recorder recorder;
    EXPECT_EQ(engine.ExtractMatching("big.zip", "out", "small.txt", recorder.callback()), 1);
    EXPECT_EQ(fs.Text(Below("out", "small.txt")), "beyond the hole");
    EXPECT_EQ(recorder.reports.front().size, static_cast<int64_t>(kFiveGiB + 15))
        << "the archive's total";
}

} // namespace
