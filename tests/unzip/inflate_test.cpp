// Inflate on hand-built streams: every malformed-stream path with its code, and
// good streams whose output is known from how they were built. Each stream is
// decoded with input refills of 1, 7, 31 and 4096 bytes, so that codes straddle
// refills and both the careful and the fast decoding loop take part. Natively,
// zlib decodes every stream too and must agree (or, where the engine is
// deliberately more lenient, must refuse).
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "unzip/bit_input.h"
#include "unzip/inflate.h"
#include "unzip/memory_file_system.h"
#include "unzip/result.h"
#include "zip_builder.h"

#ifdef ORVO_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using namespace ziptest;

constexpr size_t kRefills[] = {1, 7, 31, 4096};

class CollectingSink : public unzip::OutputSink {
  public:
    explicit CollectingSink(size_t limit) : limit_(limit) {}
    bool Flush(const uint8_t* data, size_t n) override {
        if (n > limit_ - out.size()) return false;
        out.insert(out.end(), data, data + n);
        flushes.push_back(n);
        return true;
    }
    Bytes out;
    std::vector<size_t> flushes;

  private:
    size_t limit_;
};

struct Decoded {
    int32_t rc;
    Bytes output;
    std::vector<size_t> flushes;
};

Decoded Inflate(const Bytes& stream, size_t refill, size_t write_limit = static_cast<size_t>(-1)) {
    unzip::MemoryFileSystem fs;
    fs.Put("stream.bin", stream);
    std::unique_ptr<unzip::InputFile> file = fs.OpenRead("stream.bin");
    unzip::BitInput in;
    in.Begin(file.get(), 0, refill, stream.size());
    auto window = std::make_unique<unzip::Window>();
    window->Reset();
    unzip::Inflater inflater;
    CollectingSink sink(write_limit);
    int32_t rc = inflater.Run(in, *window, sink);
    return {rc, sink.out, sink.flushes};
}

// Output leaves the window in full 32 KiB flushes and one final flush of the rest.
std::vector<size_t> ExpectedFlushes(size_t n) {
    std::vector<size_t> f(n / 32768, 32768);
    f.push_back(n % 32768);
    return f;
}

#ifdef ORVO_HAVE_ZLIB
// Raw inflate by zlib; nothing when zlib finds the stream bad or incomplete.
std::optional<Bytes> ZlibInflate(const Bytes& stream) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
    Bytes out;
    uint8_t buffer[16384];
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    int rc;
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (rc == Z_OK);
    inflateEnd(&z);
    if (rc != Z_STREAM_END) return std::nullopt;
    return out;
}

Bytes ZlibDeflate(const Bytes& data, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}
#endif

const HuffmanCode& FL() {
    static const HuffmanCode c = HuffmanCode::FixedLitLen();
    return c;
}
const HuffmanCode& FD() {
    static const HuffmanCode c = HuffmanCode::FixedDistance();
    return c;
}

// Lengths vector of `n` symbols with the given (symbol, length) pairs.
std::vector<uint8_t> L(size_t n, std::initializer_list<std::pair<unsigned, uint8_t>> set) {
    std::vector<uint8_t> v(n, 0);
    for (auto [s, l] : set) v[s] = l;
    return v;
}

// A dynamic block header for these lengths, and the codes to write its data.
struct Dyn {
    HuffmanCode litlen, dist;
};
Dyn PutDynamic(BitWriter& w, bool last, const std::vector<uint8_t>& ll,
               const std::vector<uint8_t>& d) {
    PutDynamicHeader(w, last, MakeDynamicHeader(ll, d));
    return {HuffmanCode::FromLengths(ll), HuffmanCode::FromLengths(d)};
}

// 257 literal/length symbols and one distance symbol: 257 + 1 lengths to send.
DynamicHeader BareHeader() {
    DynamicHeader h;
    h.codelen_lengths = FullCodeLengthCode();
    return h;
}

struct BadStream {
    const char* what;
    Bytes stream;
    int32_t expected;
};

std::vector<BadStream> BadStreams() {
    using unzip::ResultArchiveError;
    using unzip::ResultReadError;
    std::vector<BadStream> rows;
    auto add = [&rows](const char* what, int32_t expected, auto&& build) {
        BitWriter w;
        build(w);
        // Malformed data is followed by more bytes, as it would be inside a member;
        // a fault in the very last bytes is the test after this one.
        if (expected == ResultArchiveError) w.Bits(0, 32);
        rows.push_back({what, w.Finish(), expected});
    };

    add("block type 3", ResultArchiveError, [](BitWriter& w) { PutBlockHeader(w, true, 3); });
    add("block type 3 after a good block", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, false, 1);
        PutLiteral(w, FL(), 'a');
        PutEndOfBlock(w, FL());
        PutBlockHeader(w, true, 3);
    });
    add("stored NLEN not the complement of LEN", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, true, 0);
        w.Align().Bits(5, 16).Bits(~5u & 0xFEFF, 16).Append(ToBytes("abcde"));
    });
    add("code-length code incomplete", ResultArchiveError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.codelen_lengths = {};
        h.codelen_lengths[8] = 1, h.codelen_lengths[0] = 2; // 1/2 + 1/4
        h.ops.assign(258, {8, 0});
        PutDynamicHeader(w, true, h);
    });
    add("code-length code over-subscribed", ResultArchiveError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.codelen_lengths = {};
        h.codelen_lengths[8] = h.codelen_lengths[0] = h.codelen_lengths[18] = 1;
        h.ops.assign(258, {8, 0});
        PutDynamicHeader(w, true, h);
    });
    add("unused code of a code-length code with one length-1 code", ResultArchiveError,
        [](BitWriter& w) {
            DynamicHeader h = BareHeader();
            h.codelen_lengths = {};
            h.codelen_lengths[18] = 1; // accepted as complete; code '1' has no symbol
            h.ops = {{18, 127}};
            PutDynamicHeader(w, true, h);
            w.Code(1, 1).Bits(0xFFFF, 16);
        });
    add("repeat 18 past the last length", ResultArchiveError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.ops = {{18, 127}, {18, 127}}; // 276 of 258
        PutDynamicHeader(w, true, h);
    });
    add("repeat 16 past the last length", ResultArchiveError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.ops = {{18, 127}, {18, 107}, {8, 0}, {16, 0}}; // 138 + 118 + 1 + 3 = 260
        PutDynamicHeader(w, true, h);
    });
    add("repeat 17 past the last length", ResultArchiveError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.ops = {{18, 127}, {18, 108}, {17, 0}}; // 138 + 119 + 3 = 260
        PutDynamicHeader(w, true, h);
    });
    add("literal/length code incomplete", ResultArchiveError, [](BitWriter& w) {
        Dyn c = PutDynamic(w, true, L(257, {{'a', 2}, {256, 2}}), {1});
        PutLiteral(w, c.litlen, 'a');
        PutEndOfBlock(w, c.litlen);
    });
    add("literal/length code over-subscribed", ResultArchiveError, [](BitWriter& w) {
        PutDynamic(w, true, L(257, {{'a', 1}, {'b', 1}, {256, 1}}), {1});
        w.Bits(0, 16);
    });
    add("literal/length code without any code", ResultArchiveError, [](BitWriter& w) {
        PutDynamic(w, true, L(257, {}), {1});
        w.Bits(0, 16);
    });
    add("distance code over-subscribed", ResultArchiveError, [](BitWriter& w) {
        PutDynamic(w, true, L(257, {{'a', 1}, {256, 1}}), {1, 1, 1});
        w.Bits(0, 16);
    });
    add("fixed block: literal/length symbol 286", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        FL().Put(w, 286);
        PutEndOfBlock(w, FL());
    });
    add("fixed block: literal/length symbol 287", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        PutLiteral(w, FL(), 'a');
        FL().Put(w, 287);
        PutEndOfBlock(w, FL());
    });
    add("dynamic block: literal/length symbol 286", ResultArchiveError, [](BitWriter& w) {
        Dyn c = PutDynamic(w, true, L(287, {{'a', 2}, {256, 2}, {285, 2}, {286, 2}}), {1});
        PutLiteral(w, c.litlen, 'a');
        c.litlen.Put(w, 286);
        PutEndOfBlock(w, c.litlen);
    });
    add("fixed block: distance symbol 30", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        PutLiteral(w, FL(), 'a');
        FL().Put(w, 257);
        w.Code(30, 5);
        PutEndOfBlock(w, FL());
    });
    add("fixed block: distance symbol 31", ResultArchiveError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        PutLiteral(w, FL(), 'a');
        FL().Put(w, 257);
        w.Code(31, 5);
        PutEndOfBlock(w, FL());
    });
    add("dynamic block: distance symbol 30", ResultArchiveError, [](BitWriter& w) {
        Dyn c =
            PutDynamic(w, true, L(258, {{'a', 1}, {256, 2}, {257, 2}}), L(31, {{0, 1}, {30, 1}}));
        PutLiteral(w, c.litlen, 'a');
        c.litlen.Put(w, 257);
        c.dist.Put(w, 30);
        PutEndOfBlock(w, c.litlen);
    });
    add("unused code of an incomplete distance code", ResultArchiveError, [](BitWriter& w) {
        Dyn c = PutDynamic(w, true, L(258, {{'a', 1}, {256, 2}, {257, 2}}), {2});
        PutLiteral(w, c.litlen, 'a');
        c.litlen.Put(w, 257);
        w.Code(3, 2); // only '00' has a symbol
        PutEndOfBlock(w, c.litlen);
    });
    add("unused half of a one-code distance code", ResultArchiveError, [](BitWriter& w) {
        Dyn c = PutDynamic(w, true, L(258, {{'a', 1}, {256, 2}, {257, 2}}), {1});
        PutLiteral(w, c.litlen, 'a');
        c.litlen.Put(w, 257);
        w.Code(1, 1);
        PutEndOfBlock(w, c.litlen);
    });
    add("unused half of a one-code literal/length code", ResultArchiveError, [](BitWriter& w) {
        PutDynamic(w, true, L(257, {{256, 1}}), {1});
        w.Code(1, 1).Bits(0, 15);
    });
    add("length symbol with an empty distance code", ResultArchiveError, [](BitWriter& w) {
        Dyn c = PutDynamic(w, true, L(258, {{'a', 1}, {256, 2}, {257, 2}}), {0});
        PutLiteral(w, c.litlen, 'a');
        c.litlen.Put(w, 257);
        w.Bits(0, 16);
    });

    add("empty input", ResultReadError, [](BitWriter&) {});
    add("stored block cut short", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, true, 0);
        w.Align().Bits(100, 16).Bits(~100u & 0xFFFF, 16).Append(ToBytes("only ten.."));
    });
    add("stored block header cut", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, true, 0);
        w.Align().Byte(100);
    });
    add("fixed block without its end", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        for (int i = 0; i < 100; ++i) PutLiteral(w, FL(), static_cast<uint8_t>('a' + i % 26));
    });
    add("stream ends after a block that is not the last", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, false, 1);
        PutLiteral(w, FL(), 'a');
        PutEndOfBlock(w, FL());
    });
    add("dynamic header cut in the code-length code", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, true, 2);
        w.Bits(0, 5).Bits(0, 5).Bits(15, 4).Bits(4, 3).Bits(4, 3);
    });
    add("dynamic header cut in the lengths", ResultReadError, [](BitWriter& w) {
        DynamicHeader h = BareHeader();
        h.ops = {{18, 127}, {8, 0}};
        PutDynamicHeader(w, true, h);
    });
    add("distance extra bits cut", ResultReadError, [](BitWriter& w) {
        PutBlockHeader(w, true, 1);
        PutLiteral(w, FL(), 'a');
        FL().Put(w, 257);
        FD().Put(w, 29);
        w.Bits(5, 3); // 3 of its 13 extra bits
    });
    return rows;
}

TEST(Inflate, MalformedStreamsGiveTheirCode) {
    for (const BadStream& row : BadStreams()) {
        SCOPED_TRACE(row.what);
        for (size_t refill : kRefills) {
            EXPECT_EQ(Inflate(row.stream, refill).rc, row.expected) << "refill " << refill;
        }
#ifdef ORVO_HAVE_ZLIB
        EXPECT_FALSE(ZlibInflate(row.stream).has_value())
            << "zlib accepts the stream: the test is wrong";
#endif
    }
}

// An invalid code whose bits are all present is malformed data even when it is
// the last thing in the input: only a code that needs bits past the end is a
// read error.
TEST(Inflate, InvalidCodeInTheLastBytesIsArchiveError) {
    const struct {
        const char* what;
        void (*build)(BitWriter&);
    } rows[] = {
        {"literal/length symbol 286",
         [](BitWriter& w) {
             PutBlockHeader(w, true, 1);
             PutLiteral(w, FL(), 'a');
             FL().Put(w, 286);
         }},
        {"distance symbol 30",
         [](BitWriter& w) {
             PutBlockHeader(w, true, 1);
             PutLiteral(w, FL(), 'a');
             FL().Put(w, 257);
             w.Code(30, 5);
         }},
    };
    for (const auto& row : rows) {
        BitWriter w;
        row.build(w);
        const Bytes stream = w.Finish();
        for (size_t refill : kRefills) {
            EXPECT_EQ(Inflate(stream, refill).rc, unzip::ResultArchiveError)
                << row.what << ", refill " << refill;
        }
    }
}

struct GoodStream {
    const char* what;
    Bytes stream;
    Bytes expected;
    bool zlib_agrees = true; // false: the engine is deliberately more lenient than zlib
};

std::vector<GoodStream> GoodStreams() {
    std::vector<GoodStream> rows;
    auto add = [&rows](const char* what, auto&& build, bool zlib_agrees = true) {
        BitWriter w;
        Bytes expected;
        build(w, expected);
        rows.push_back({what, w.Finish(), expected, zlib_agrees});
    };

    add("empty stored block", [](BitWriter& w, Bytes&) { PutStoredBlock(w, true, {}); });
    add("stored block of 40,000 bytes across the window", [](BitWriter& w, Bytes& e) {
        e = MixedData(40000, 1);
        PutStoredBlock(w, true, e);
    });
    add("fixed block of literals", [](BitWriter& w, Bytes& e) {
        e = ToBytes("hello");
        PutBlockHeader(w, true, 1);
        for (uint8_t b : e) PutLiteral(w, FL(), b);
        PutEndOfBlock(w, FL());
    });
    add("fixed block: run of 258 at distance 1", [](BitWriter& w, Bytes& e) {
        PutBlockHeader(w, true, 1);
        PutLiteral(w, FL(), 'x');
        PutMatch(w, FL(), FD(), 258, 1);
        PutEndOfBlock(w, FL());
        e = Bytes(259, 'x');
    });
    add("fixed block: overlapping run at distance 3", [](BitWriter& w, Bytes& e) {
        e = ToBytes("abc");
        PutBlockHeader(w, true, 1);
        for (uint8_t b : e) PutLiteral(w, FL(), b);
        PutMatch(w, FL(), FD(), 10, 3);
        ReferenceCopy(e, 10, 3);
        PutEndOfBlock(w, FL());
    });
    add("fixed, stored and dynamic blocks in one stream", [](BitWriter& w, Bytes& e) {
        PutBlockHeader(w, false, 1);
        for (char ch : std::string("abc")) PutLiteral(w, FL(), static_cast<uint8_t>(ch));
        PutEndOfBlock(w, FL());
        PutStoredBlock(w, false, ToBytes("defg"));
        Dyn c = PutDynamic(w, true, L(258, {{'h', 2}, {'i', 2}, {256, 2}, {257, 2}}), {1, 1});
        PutLiteral(w, c.litlen, 'h');
        PutLiteral(w, c.litlen, 'i');
        PutMatch(w, c.litlen, c.dist, 3, 2);
        PutEndOfBlock(w, c.litlen);
        e = ToBytes("abcdefghihih");
    });
    add("match at distance 32,768", [](BitWriter& w, Bytes& e) {
        e = MixedData(33000, 2);
        PutStoredBlock(w, false, e);
        PutBlockHeader(w, true, 1);
        PutMatch(w, FL(), FD(), 258, 32768);
        ReferenceCopy(e, 258, 32768);
        PutEndOfBlock(w, FL());
    });
    add("match whose source straddles the window end", [](BitWriter& w, Bytes& e) {
        e = MixedData(32778, 3); // 10 bytes into the second window
        PutStoredBlock(w, false, e);
        PutBlockHeader(w, true, 1);
        PutMatch(w, FL(), FD(), 30, 20);
        ReferenceCopy(e, 30, 20);
        PutMatch(w, FL(), FD(), 258, 32767);
        ReferenceCopy(e, 258, 32767);
        PutEndOfBlock(w, FL());
    });
    add("match whose output straddles the window end", [](BitWriter& w, Bytes& e) {
        e = MixedData(32760, 4);
        PutStoredBlock(w, false, e);
        PutBlockHeader(w, true, 1);
        PutMatch(w, FL(), FD(), 20, 100);
        ReferenceCopy(e, 20, 100);
        PutMatch(w, FL(), FD(), 258, 5000);
        ReferenceCopy(e, 258, 5000);
        PutEndOfBlock(w, FL());
    });
    add("dynamic block with repeats 16, 17, 18 in its header", [](BitWriter& w, Bytes& e) {
        // 'a'..'c' and 'k'..'m' (7 zeros between: 17), a run of four 5s (16), long zero runs (18).
        std::vector<uint8_t> ll(261, 0);
        for (char ch : std::string("abcklm")) ll[static_cast<uint8_t>(ch)] = 3;
        ll[256] = 3;
        for (unsigned s = 257; s <= 260; ++s) ll[s] = 5;
        Dyn c = PutDynamic(w, true, ll, {1, 2, 2});
        e = ToBytes("abcklm");
        for (uint8_t b : e) PutLiteral(w, c.litlen, b);
        const unsigned matches[][2] = {{3, 3}, {6, 2}, {4, 1}, {5, 3}};
        for (auto& m : matches) {
            PutMatch(w, c.litlen, c.dist, m[0], m[1]);
            ReferenceCopy(e, m[0], m[1]);
        }
        PutEndOfBlock(w, c.litlen);
    });
    add("dynamic block with 15-bit codes", [](BitWriter& w, Bytes& e) {
        // Lengths 1..14 for 'A'..'N', the last 2^-14 of the space for two 15-bit
        // codes; distances likewise, so both tables need their second level.
        std::vector<uint8_t> ll(258, 0), d(16, 0);
        for (unsigned k = 0; k < 14; ++k) ll['A' + k] = static_cast<uint8_t>(k + 1);
        ll[256] = ll[257] = 15;
        for (unsigned k = 0; k < 14; ++k) d[k] = static_cast<uint8_t>(k + 1);
        d[14] = d[15] = 15;
        Dyn c = PutDynamic(w, true, ll, d);
        for (unsigned i = 0; i < 300; ++i) {
            uint8_t b = static_cast<uint8_t>('A' + (i * 7 + i / 14) % 14);
            PutLiteral(w, c.litlen, b);
            e.push_back(b);
        }
        const unsigned distances[] = {1,  2,  3,  4,  6,   8,   12,  16, 24,
                                      32, 48, 64, 96, 128, 192, 256, 5,  200};
        for (unsigned dist : distances) {
            PutMatch(w, c.litlen, c.dist, 3, dist);
            ReferenceCopy(e, 3, dist);
            PutLiteral(w, c.litlen, 'N');
            e.push_back('N');
        }
        PutEndOfBlock(w, c.litlen);
    });
    add("dynamic block with a single length-1 distance code", [](BitWriter& w, Bytes& e) {
        Dyn c = PutDynamic(w, true, L(259, {{'a', 1}, {256, 2}, {258, 2}}), {1});
        PutLiteral(w, c.litlen, 'a');
        PutMatch(w, c.litlen, c.dist, 4, 1);
        PutEndOfBlock(w, c.litlen);
        e = ToBytes("aaaaa");
    });
    add("literals only, with an empty distance code", [](BitWriter& w, Bytes& e) {
        Dyn c = PutDynamic(w, true, L(257, {{'a', 1}, {256, 1}}), {0});
        for (int i = 0; i < 3; ++i) PutLiteral(w, c.litlen, 'a');
        PutEndOfBlock(w, c.litlen);
        e = ToBytes("aaa");
    });
    add("one-code literal/length code: only the end of block", [](BitWriter& w, Bytes&) {
        Dyn c = PutDynamic(w, true, L(257, {{256, 1}}), {1});
        PutEndOfBlock(w, c.litlen);
    });
    // zlib refuses the following four; the engine accepts them on purpose (zlib takes an
    // incomplete distance code only when it is a single code of length 1).
    add(
        "dynamic block with an incomplete distance code",
        [](BitWriter& w, Bytes& e) {
            Dyn c = PutDynamic(w, true, L(259, {{'a', 2}, {'b', 2}, {256, 2}, {257, 3}, {258, 3}}),
                               L(5, {{0, 2}, {4, 2}}));
            e = ToBytes("ababab");
            for (uint8_t b : e) PutLiteral(w, c.litlen, b);
            const unsigned matches[][2] = {{3, 5}, {4, 6}, {3, 1}};
            for (auto& m : matches) {
                PutMatch(w, c.litlen, c.dist, m[0], m[1]);
                ReferenceCopy(e, m[0], m[1]);
            }
            PutEndOfBlock(w, c.litlen);
        },
        false);
    add(
        "repeat 16 as the first code-length symbol repeats length 0",
        [](BitWriter& w, Bytes& e) {
            DynamicHeader h = BareHeader();
            // 3 + 94 zeros, 'a' (97) = 1, 138 + 20 zeros, 256 = 1, distance 0 = 1.
            h.ops = {{16, 0}, {18, 83}, {1, 0}, {18, 127}, {18, 9}, {1, 0}, {1, 0}};
            PutDynamicHeader(w, true, h);
            HuffmanCode ll = HuffmanCode::FromLengths(L(257, {{'a', 1}, {256, 1}}));
            PutLiteral(w, ll, 'a');
            PutLiteral(w, ll, 'a');
            PutEndOfBlock(w, ll);
            e = ToBytes("aa");
        },
        false);
    add(
        "distance before the first byte copies zeros",
        [](BitWriter& w, Bytes& e) {
            e = ToBytes("ab");
            PutBlockHeader(w, true, 1);
            for (uint8_t b : e) PutLiteral(w, FL(), b);
            PutMatch(w, FL(), FD(), 4, 3);
            ReferenceCopy(e, 4, 3); // "ab", 0, 'a', 'b', 0
            PutEndOfBlock(w, FL());
        },
        false);
    add(
        "HLIT 288 and HDIST 32",
        [](BitWriter& w, Bytes& e) {
            Dyn c = PutDynamic(w, true, L(288, {{'a', 2}, {256, 2}, {257, 2}, {286, 3}, {287, 3}}),
                               L(32, {{0, 2}, {1, 2}, {30, 2}, {31, 2}}));
            e = ToBytes("a");
            PutLiteral(w, c.litlen, 'a');
            PutMatch(w, c.litlen, c.dist, 3, 1);
            PutMatch(w, c.litlen, c.dist, 3, 2);
            ReferenceCopy(e, 3, 1);
            ReferenceCopy(e, 3, 2);
            PutEndOfBlock(w, c.litlen);
        },
        false);
    return rows;
}

TEST(Inflate, GoodStreamsDecodeToWhatWasBuilt) {
    for (const GoodStream& row : GoodStreams()) {
        SCOPED_TRACE(row.what);
        for (size_t refill : kRefills) {
            Decoded d = Inflate(row.stream, refill);
            ASSERT_EQ(d.rc, unzip::ResultOk) << "refill " << refill;
            EXPECT_TRUE(d.output == row.expected) << "refill " << refill << ": output differs";
            EXPECT_EQ(d.flushes, ExpectedFlushes(row.expected.size())) << "refill " << refill;
        }
#ifdef ORVO_HAVE_ZLIB
        std::optional<Bytes> z = ZlibInflate(row.stream);
        if (row.zlib_agrees) {
            ASSERT_TRUE(z.has_value()) << "zlib refuses the stream: the test is wrong";
            EXPECT_TRUE(*z == row.expected) << "zlib decodes something else: the test is wrong";
        } else {
            EXPECT_FALSE(z.has_value())
                << "zlib now accepts this stream; move it to the agreed ones";
        }
#endif
    }
}

TEST(Inflate, WriteFailureAtAnyFlushGivesWriteError) {
    const Bytes data = MixedData(70000, 5);
    const Bytes streams[] = {Deflate(data, BlockKind::Fixed), Deflate(data, BlockKind::Dynamic)};
    // The first, the second full window, and the final flush of the rest.
    const size_t limits[] = {0, 32768, 65536, data.size() - 1};
    for (const Bytes& stream : streams) {
        for (size_t limit : limits) {
            for (size_t refill : kRefills) {
                Decoded d = Inflate(stream, refill, limit);
                EXPECT_EQ(d.rc, unzip::ResultWriteError)
                    << "limit " << limit << " refill " << refill;
                EXPECT_LE(d.output.size(), limit);
            }
        }
    }
}

// Streams from the test encoder: larger, with long and short codes, matches
// at every distance and several blocks.
TEST(Inflate, EncoderStreamsRoundTrip) {
    struct Case {
        const char* what;
        Bytes data;
    };
    Bytes random(50000);
    uint32_t x = 12345;
    for (uint8_t& b : random) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 23);
    // Runs of every short period: overlapping matches at distances 1 to 20.
    Bytes periodic;
    for (int round = 0; round < 40; ++round) {
        for (unsigned period = 1; period <= 20; ++period) {
            for (unsigned i = 0; i < 200 + period * 3; ++i)
                periodic.push_back(static_cast<uint8_t>('a' + (i % period) + round % 3));
            periodic.push_back(static_cast<uint8_t>(random[periodic.size() % random.size()]));
        }
    }
    const Case cases[] = {
        {"empty", {}},
        {"short periods", periodic},
        {"one byte", {0x5A}},
        {"zeros", Bytes(100000, 0)},
        {"mixed", MixedData(200000, 6)},
        {"random", random},
    };
    for (const Case& c : cases) {
        for (BlockKind kind : {BlockKind::Fixed, BlockKind::Dynamic}) {
            for (size_t block : {size_t(0), size_t(9000)}) {
                SCOPED_TRACE(std::string(c.what) +
                             (kind == BlockKind::Fixed ? " fixed" : " dynamic") + " blocks of " +
                             std::to_string(block));
                const Bytes stream = Deflate(c.data, kind, block);
#ifdef ORVO_HAVE_ZLIB
                std::optional<Bytes> z = ZlibInflate(stream);
                ASSERT_TRUE(z && *z == c.data) << "zlib disagrees: the test encoder is wrong";
#endif
                for (size_t refill : kRefills) {
                    Decoded d = Inflate(stream, refill);
                    ASSERT_EQ(d.rc, unzip::ResultOk) << "refill " << refill;
                    EXPECT_TRUE(d.output == c.data) << "refill " << refill;
                    EXPECT_EQ(d.flushes, ExpectedFlushes(c.data.size())) << "refill " << refill;
                }
            }
        }
    }
}

#ifdef ORVO_HAVE_ZLIB
TEST(Inflate, ZlibStreamsRoundTrip) {
    const Bytes data = MixedData(300000, 7);
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (int level : {0, 1, 6, 9}) {
        for (int strategy : strategies) {
            const Bytes stream = ZlibDeflate(data, level, strategy);
            for (size_t refill : kRefills) {
                Decoded d = Inflate(stream, refill);
                ASSERT_EQ(d.rc, unzip::ResultOk) << "level " << level << " strategy " << strategy;
                EXPECT_TRUE(d.output == data)
                    << "level " << level << " strategy " << strategy << " refill " << refill;
            }
        }
    }
}
#endif

} // namespace
