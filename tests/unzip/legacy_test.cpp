// Shrunk and imploded members: the shared legacy corpus decoded to its
// published digests, its damaged archives failing with their documented
// results, and hand-made streams for what the corpus does not reach.
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "engine_fixture.h"
#include "services/sha256.h"
#include "unzip/result.h"
#include "unzip/unshrink.h"

namespace {

using namespace ziptest;

const std::string kTestData = ORVO_TESTDATA_DIR;

bool Load(const std::string& path, Bytes* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Rows of a tab-separated table, by column name.
using Row = std::map<std::string, std::string>;
std::vector<Row> ReadTable(const std::string& path) {
    std::ifstream in(path);
    std::vector<Row> rows;
    std::string line;
    std::vector<std::string> header;
    auto split = [](const std::string& s) {
        std::vector<std::string> cells;
        std::stringstream ss(s);
        for (std::string cell; std::getline(ss, cell, '\t');) cells.push_back(cell);
        return cells;
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> cells = split(line);
        if (header.empty()) {
            header = cells;
            continue;
        }
        Row row;
        for (size_t i = 0; i < header.size() && i < cells.size(); ++i) row[header[i]] = cells[i];
        rows.push_back(row);
    }
    return rows;
}

struct Extracted {
    std::string name; // as stored
    uint16_t method;
    int32_t result;
    Bytes output;
};

// Extracts every member of an archive, one ExtractMember call each, all with
// one engine (so each decoder also starts over from the previous member's state).
std::vector<Extracted> ExtractEach(const Bytes& archive) {
    LoggingFileSystem fs;
    unzip::Engine engine(fs);
    fs.Put("a.zip", archive);
    std::vector<Extracted> members;
    unzip::MemberEntry entry;
    for (int32_t rc = engine.FirstMember("a.zip", entry); rc == unzip::ResultOk;
         rc = engine.NextMember(entry)) {
        const std::string out = "m" + std::to_string(members.size());
        Extracted m{entry.raw_name, entry.method, 0, {}};
        m.result = engine.ExtractMember("a.zip", out, unzip::LocationOf(entry));
        if (const Bytes* b = fs.Get(out)) m.output = *b;
        members.push_back(m);
    }
    engine.CloseMemberWalk(entry);
    return members;
}

class LegacyCorpus : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ifstream probe(kTestData + "/zip/legacy/MANIFEST.tsv");
        if (!probe) GTEST_SKIP() << "shared test data not found at " << kTestData;
    }
};

TEST_F(LegacyCorpus, EveryMemberDecodesToItsPublishedDigest) {
    const std::string folder = kTestData + "/zip/legacy/";
    const std::vector<Row> manifest = ReadTable(folder + "MANIFEST.tsv");
    ASSERT_GT(manifest.size(), 150u);
    std::map<std::string, std::vector<const Row*>> by_archive;
    for (const Row& row : manifest) by_archive[row.at("archive")].push_back(&row);

    size_t checked = 0;
    std::set<std::string> methods;
    for (const auto& [archive, rows] : by_archive) {
        SCOPED_TRACE(archive);
        Bytes bytes;
        ASSERT_TRUE(Load(folder + archive, &bytes));
        std::vector<Extracted> members = ExtractEach(bytes);
        ASSERT_EQ(members.size(), rows.size());
        for (const Row* row : rows) {
            SCOPED_TRACE(row->at("member"));
            auto it = std::find_if(members.begin(), members.end(),
                                   [&](const Extracted& m) { return m.name == row->at("member"); });
            ASSERT_NE(it, members.end());
            EXPECT_EQ(unzip::ResultName(it->result), std::string("ResultOk"));
            EXPECT_EQ(std::to_string(it->method), row->at("method"));
            EXPECT_EQ(services::Sha256Hex(std::string_view(
                          reinterpret_cast<const char*>(it->output.data()), it->output.size())),
                      row->at("sha256"));
            methods.insert(row->at("method"));
            ++checked;
        }
    }
    EXPECT_EQ(checked, manifest.size());
    EXPECT_EQ(methods, (std::set<std::string>{"0", "1", "6", "8"}));
}

TEST_F(LegacyCorpus, DamagedMembersFailWithTheirDocumentedResult) {
    const std::string folder = kTestData + "/zip/legacy/invalid/";
    const std::vector<Row> table = ReadTable(folder + "INVALID.tsv");
    ASSERT_EQ(table.size(), 5u);
    for (const Row& row : table) {
        SCOPED_TRACE(row.at("archive"));
        Bytes bytes;
        ASSERT_TRUE(Load(folder + row.at("archive"), &bytes));
        std::vector<Extracted> members = ExtractEach(bytes);
        ASSERT_EQ(members.size(), 1u);
        EXPECT_EQ(members[0].name, row.at("member"));
        EXPECT_EQ(unzip::ResultName(members[0].result), row.at("engine_result"));
        EXPECT_TRUE(members[0].output.empty()) << "a failed member leaves no file";
    }
}

TEST_F(LegacyCorpus, ConformanceArchivesWithShrunkAndImplodedMembersExtract) {
    // Their listed outcome is that every member extracts; the CRC of each is checked.
    const std::string folder = kTestData + "/zip/conformance/";
    const struct {
        const char* archive;
        size_t members;
    } archives[] = {
        {"commons-SHRUNK.ZIP", 2},
        {"commons-imploding-8Kdict-3trees.zip", 1},
        {"commons-moby-imploded.zip", 135},
        {"zip2-legacy-implode.zip", 1},
    };
    for (const auto& a : archives) {
        SCOPED_TRACE(a.archive);
        Bytes bytes;
        ASSERT_TRUE(Load(folder + a.archive, &bytes));
        std::vector<Extracted> members = ExtractEach(bytes);
        EXPECT_EQ(members.size(), a.members);
        size_t legacy = 0;
        for (const Extracted& m : members) {
            EXPECT_EQ(unzip::ResultName(m.result), std::string("ResultOk")) << m.name;
            legacy += m.method == 1 || m.method == 6;
        }
        EXPECT_EQ(legacy, a.members);
    }
}

// ------------------------------------------------------------ hand-made streams

// Shrink codes, least significant bit first, at the current code size.
struct ShrinkWriter {
    BitWriter w;
    unsigned size = 9;
    ShrinkWriter& Code(uint32_t c) {
        w.Bits(c, size);
        return *this;
    }
    ShrinkWriter& Codes(std::initializer_list<uint32_t> codes) {
        for (uint32_t c : codes) Code(c);
        return *this;
    }
    Bytes Finish() { return w.Finish(); }
};

// An imploded stream whose trees give every symbol a code of one length, so the
// canonical code of a symbol is the symbol itself. Codes go out complemented.
struct ImplodeWriter {
    ImplodeWriter(bool literal_tree, bool large_window)
        : literal_tree(literal_tree), large_window(large_window) {
        if (literal_tree) Tree(256, 8);
        Tree(64, 6);
        Tree(64, 6);
    }
    void Tree(unsigned n, unsigned length) {
        w.Byte(static_cast<uint8_t>(n / 16 - 1));
        for (unsigned i = 0; i < n / 16; ++i) w.Byte(static_cast<uint8_t>(0xF0 | (length - 1)));
    }
    void Symbol(unsigned s, unsigned length) { w.Code(~s & ((1u << length) - 1), length); }
    ImplodeWriter& Literal(uint8_t b) {
        w.Bits(1, 1);
        if (literal_tree)
            Symbol(b, 8);
        else
            w.Bits(b, 8);
        return *this;
    }
    ImplodeWriter& Match(unsigned distance, unsigned length) {
        w.Bits(0, 1);
        const unsigned low_bits = large_window ? 7 : 6;
        w.Bits((distance - 1) & ((1u << low_bits) - 1), low_bits);
        Symbol((distance - 1) >> low_bits, 6);
        const unsigned s = length - (literal_tree ? 3 : 2);
        Symbol(std::min(s, 63u), 6);
        if (s >= 63) w.Bits(s - 63, 8);
        return *this;
    }
    uint16_t flags() const { return (large_window ? 2 : 0) | (literal_tree ? 4 : 0); }
    Bytes Finish() { return w.Finish(); }

    bool literal_tree, large_window;
    BitWriter w;
};

Bytes Repeat(char c, size_t n) {
    return Bytes(n, static_cast<uint8_t>(c));
}
Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Cut(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

class LegacyStreams : public EngineTest {};

TEST_F(LegacyStreams, HandMadeStreams) {
    // Each shrink row lists its codes; the output follows from the strings they
    // define (each code after the first defines the previous string plus its own
    // first byte).
    const Bytes two_symbols = ImplodeWriter(false, false).Literal('a').Match(1, 10).Finish();
    const Bytes three_trees = ImplodeWriter(true, true)
                                  .Literal('x')
                                  .Literal('y')
                                  .Match(2, 6)
                                  .Match(8000, 3) // mostly before the start: zeros
                                  .Match(1, 66 + 255)
                                  .Finish();
    Bytes three_trees_output = ToBytes("xyxyxyxy");
    ReferenceCopy(three_trees_output, 3, 8000);
    ReferenceCopy(three_trees_output, 321, 1);
    ImplodeWriter short_tree(false, false);
    short_tree.w = BitWriter();
    short_tree.Tree(64, 6);
    short_tree.w.Byte(2); // three bytes of 16 lengths: 48 of 64
    for (int i = 0; i < 3; ++i) short_tree.w.Byte(0xF5);

    const struct {
        const char* what;
        uint16_t method;
        uint16_t flags;
        Bytes data;
        Bytes content;
        std::optional<uint32_t> size; // when the header says other than content's size
        int32_t result;
        bool from_directory = true;
        size_t write_limit = static_cast<size_t>(-1);
        std::optional<uint32_t> compressed_size = {};
    } rows[] = {
        {"shrink: literals and strings",
         1,
         0,
         ShrinkWriter().Codes({'a', 'b', 'c', 257, 258, 'x'}).Finish(),
         ToBytes("abcabbcx"),
         {},
         unzip::ResultOk},
        {"shrink: a partial clear frees the leaves below the head, lowest first",
         1,
         0,
         // 257 "ab", 258 "ba", 259 "abc"; the clear keeps 257 (a prefix) and frees 258 and
         // 259, which take "cd" and "dc" next.
         ShrinkWriter().Codes({'a', 'b', 257, 'c', 256, 2, 'd', 258, 259, 257}).Finish(),
         ToBytes("ababcdcddcab"),
         {},
         unzip::ResultOk},
        {"shrink: code size raised to 10",
         1,
         0,
         [] {
             ShrinkWriter s;
             s.Codes({'q', 'r', 256, 1});
             s.size = 10;
             s.Codes({257, 's'});
             return s.Finish();
         }(),
         ToBytes("qrqrs"),
         {},
         unzip::ResultOk},
        {"shrink: data ends inside the first code",
         1,
         0,
         Bytes{'a'},
         Bytes{'a'},
         {},
         unzip::ResultReadError},
        {"shrink: a prefix chain that loops",
         1,
         0,
         ShrinkWriter().Codes({257, 'a', 257}).Finish(),
         ToBytes("?"),
         {},
         unzip::ResultArchiveError},
        {"shrink: a chain through a free code",
         1,
         0,
         ShrinkWriter().Codes({300, 'a', 257}).Finish(),
         ToBytes("?"),
         {},
         unzip::ResultArchiveError},
        {"shrink: control code followed by 0",
         1,
         0,
         ShrinkWriter().Codes({'a', 256, 0}).Finish(),
         ToBytes("a"),
         {},
         unzip::ResultArchiveError},
        {"shrink: sizes only after the data and no directory",
         1,
         8,
         ShrinkWriter().Codes({'a', 'b'}).Finish(),
         ToBytes("ab"),
         {},
         unzip::ResultUnsupported,
         false},
        {"shrink: the output cannot be written",
         1,
         0,
         ShrinkWriter().Codes({'a', 'b', 257, 257, 258, 259}).Finish(),
         ToBytes("abababbaaba"),
         {},
         unzip::ResultWriteError,
         true,
         5},
        {"implode, three trees, 8 KiB: lengths 3 to 321, a match before the start",
         6,
         ImplodeWriter(true, true).flags(),
         three_trees,
         three_trees_output,
         {},
         unzip::ResultOk},
        {"implode: a last match that runs past the size is malformed", 6, 0, two_symbols,
         Repeat('a', 11), 3u, unzip::ResultArchiveError},
        {"shrink: a compressed size past the end of the archive is refused before any output",
         1,
         0,
         ShrinkWriter().Codes({'a', 'b', 'c', 257}).Finish(),
         ToBytes("abcab"),
         {},
         unzip::ResultReadError,
         true,
         static_cast<size_t>(-1),
         20000000u},
        {"implode: over 200,000 compressed bytes (wider distance lookup), unused bytes after the "
         "end",
         6, 0, Cat(two_symbols, Bytes(200001, 0x5A)), Repeat('a', 11), 11u, unzip::ResultOk},
        {"implode: data cut after the trees",
         6,
         0,
         Cut(two_symbols, 11),
         Repeat('a', 11),
         {},
         unzip::ResultReadError},
        {"implode: trees cut off",
         6,
         0,
         Cut(two_symbols, 6),
         Repeat('a', 11),
         {},
         unzip::ResultReadError},
        {"implode: a tree list with fewer lengths than symbols",
         6,
         0,
         short_tree.Finish(),
         Repeat('a', 11),
         {},
         unzip::ResultArchiveError},
        {"implode: sizes only after the data and no directory",
         6,
         8,
         two_symbols,
         Repeat('a', 11),
         {},
         unzip::ResultUnsupported,
         false},
        {"implode: the output cannot be written",
         6,
         0,
         two_symbols,
         Repeat('a', 11),
         {},
         unzip::ResultWriteError,
         true,
         4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs = LoggingFileSystem();
        fs.set_write_limit(row.write_limit);
        Member m;
        m.name = "m.bin";
        m.method = row.method;
        m.flags = row.flags;
        m.content = row.content;
        m.data = row.data;
        m.size = row.size;
        m.compressed_size = row.compressed_size;
        if (row.flags & 8) m.descriptor = Descriptor::Signed;
        Archive archive;
        archive.members.push_back(m);
        fs.Put(kArchive, archive.Build());

        unzip::MemberEntry entry;
        ASSERT_EQ(engine.FirstMember(kArchive, entry), unzip::ResultOk);
        unzip::MemberLocation where = unzip::LocationOf(entry);
        engine.CloseMemberWalk(entry);
        where.from_directory = row.from_directory;
        const int32_t rc = engine.ExtractMember(kArchive, Out("m.bin"), where);
        EXPECT_EQ(unzip::ResultName(rc), std::string(unzip::ResultName(row.result)))
            << engine.diagnostic();
        const Bytes* out = fs.Get(Out("m.bin"));
        if (row.result == unzip::ResultOk) {
            ASSERT_NE(out, nullptr);
            EXPECT_EQ(*out, row.content);
        } else {
            EXPECT_EQ(out, nullptr) << "a failed member leaves no file";
        }
    }
}

// The size promises more bits than the archive holds: what lies past its end
// is no data, however many bits the size names.
TEST(Unshrink, InputEndingBeforeTheSizeIsReadError) {
    struct CountingSink : unzip::OutputSink {
        uint64_t bytes = 0;
        bool Flush(const uint8_t*, size_t n) override {
            bytes += n;
            return true;
        }
    } sink;
    unzip::MemoryFileSystem files;
    files.Put("data", ShrinkWriter().Codes({'a', 'b', 'c', 257}).Finish());
    std::unique_ptr<unzip::InputFile> file = files.OpenRead("data");
    unzip::BitInput in;
    in.Begin(file.get(), 0, unzip::BitInput::kDefaultRefill, unzip::BitInput::kNoLimit);
    unzip::Unshrinker unshrinker;
    EXPECT_EQ(unshrinker.Run(in, 20000000, sink), unzip::ResultReadError);
    EXPECT_LT(sink.bytes, 16u);
}

} // namespace
