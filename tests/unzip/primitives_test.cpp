// The engine's small building blocks: CRC-32, the code-length check behind
// every Huffman table, and member-name masks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unzip/crc32.h"
#include "unzip/huffman.h"
#include "unzip/mask.h"
#include "zip_builder.h"

#ifdef ORVO_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using namespace ziptest;

TEST(Crc32, PublishedVectors) {
    // The check values every CRC-32 (ISO-HDLC) catalogue lists.
    const struct {
        std::string text;
        uint32_t crc;
    } rows[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(unzip::Crc32(row.text.data(), row.text.size()), row.crc)
            << '"' << row.text << '"';
        EXPECT_EQ(ReferenceCrc32(ToBytes(row.text)), row.crc) << "the reference itself";
    }
}

TEST(Crc32, LargeBufferMatchesBitwiseReference) {
    const Bytes data = MixedData(1 << 20, 11);
    const uint32_t expected = ReferenceCrc32(data);
    EXPECT_EQ(unzip::Crc32(data.data(), data.size()), expected);
#ifdef ORVO_HAVE_ZLIB
    EXPECT_EQ(crc32(0L, data.data(), static_cast<uInt>(data.size())), expected);
#endif
}

TEST(Crc32, PiecesAndOffsetsGiveTheSameValue) {
    // The 8-byte steps and the byte-wise tail must chain at any split and from
    // any start alignment.
    const Bytes data = MixedData(1000, 12);
    for (size_t start = 0; start < 8; ++start) {
        const uint8_t* p = data.data() + start;
        const size_t n = data.size() - start;
        const uint32_t whole = ReferenceCrc32(p, n);
        for (size_t split :
             {size_t(0), size_t(1), size_t(7), size_t(8), size_t(9), size_t(17), n - 3, n}) {
            uint32_t reg = unzip::Crc32Update(0xFFFFFFFFu, p, split);
            reg = unzip::Crc32Update(reg, p + split, n - split);
            EXPECT_EQ(~reg, whole) << "start " << start << " split " << split;
        }
    }
}

TEST(CheckCodeLengths, Shapes) {
    std::vector<uint16_t> fixed(288);
    for (unsigned s = 0; s < 288; ++s) fixed[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    std::vector<uint16_t> staircase;
    for (uint16_t l = 1; l <= 15; ++l) staircase.push_back(l);
    staircase.push_back(16);
    staircase.push_back(16);

    const struct {
        const char* what;
        std::vector<uint16_t> lengths;
        unzip::CodeShape shape;
    } rows[] = {
        {"two codes of length 1", {1, 1}, unzip::CodeComplete},
        {"lengths 1, 2, 2", {2, 1, 0, 2}, unzip::CodeComplete},
        {"fixed literal/length code", fixed, unzip::CodeComplete},
        {"lengths 1 to 15 and two of 16", staircase, unzip::CodeComplete},
        {"one code of length 1", {0, 1, 0}, unzip::CodeComplete},
        {"no codes at all", {0, 0, 0}, unzip::CodeComplete},
        {"no symbols", {}, unzip::CodeComplete},
        {"30 codes of 5 bits", std::vector<uint16_t>(30, 5), unzip::CodeIncomplete},
        {"two codes of length 2", {2, 0, 2}, unzip::CodeIncomplete},
        {"one code of length 2", {0, 2}, unzip::CodeIncomplete},
        {"lengths 1, 2", {1, 2}, unzip::CodeIncomplete},
        {"three codes of length 1", {1, 1, 1}, unzip::CodeInvalid},
        {"lengths 1, 2, 3, 3, 3", {1, 2, 3, 3, 3}, unzip::CodeInvalid},
        {"three codes of length 16 after 1 to 15",
         [&] {
             auto v = staircase;
             v.push_back(16);
             return v;
         }(),
         unzip::CodeInvalid},
        {"a length of 17", {1, 17}, unzip::CodeInvalid},
        {"a length of 17 beside a complete code", {1, 1, 17}, unzip::CodeInvalid},
    };
    for (const auto& row : rows) {
        unzip::CodeLengthCounts counts;
        EXPECT_EQ(unzip::CheckCodeLengths(row.lengths.data(),
                                          static_cast<unsigned>(row.lengths.size()), &counts),
                  row.shape)
            << row.what;
    }
}

TEST(CheckCodeLengths, CountsShortestAndLongest) {
    const uint16_t lengths[] = {3, 0, 1, 3, 2, 0, 0};
    unzip::CodeLengthCounts counts;
    ASSERT_EQ(unzip::CheckCodeLengths(lengths, 7, &counts), unzip::CodeComplete);
    EXPECT_EQ(counts.count[0], 3);
    EXPECT_EQ(counts.count[1], 1);
    EXPECT_EQ(counts.count[2], 1);
    EXPECT_EQ(counts.count[3], 2);
    EXPECT_EQ(counts.shortest, 1u);
    EXPECT_EQ(counts.longest, 3u);

    const uint16_t none[] = {0, 0};
    ASSERT_EQ(unzip::CheckCodeLengths(none, 2, &counts), unzip::CodeComplete);
    EXPECT_EQ(counts.shortest, 0u);
    EXPECT_EQ(counts.longest, 0u);
}

TEST(MatchMask, Table) {
    const std::string long_name = std::string(300, 'N') + ".TXT";
    std::string long_other = long_name;
    long_other[280] = 'X'; // differs only past the 255 characters compared
    const struct {
        std::string mask, name;
        bool match;
    } rows[] = {
        // Everything.
        {"", "any/thing.txt", true},
        {"*.*", "README", true},
        {"*.*", "dir/a.b.c", true},
        // "*." and an extension: everything after the name's first dot.
        {"*.txt", "A.TXT", true},
        {"*.txt", "DIR/B.TXT", true},
        {"*.TXT", "dir\\b.txt", true},
        {"*.txt", "A.TXT.BAK", false},
        {"*.txt", "dir.v2/b.txt", false},
        {"*.txt", "README", false},
        {"*.txt", "ATXT", false},
        {"*.", "README", true},
        {"*.", "README.", true},
        {"*.", "A.B", false},
        {"*.T*", "A.TXT", false},
        {"*.T*", "A.T*", true},
        {"*.t?t", "A.TXT", false},
        // Prefixes of the part before the first dot.
        {"ABC*", "abcdef.txt", true},
        {"ABC*", "ABC", true},
        {"abc*", "ABC.anything/else", true},
        {"ABC*", "AB.C", false},
        {"ABC*", "XABC.TXT", false},
        {"ABC*.*", "ABCX.TXT", true},
        {"ABC*.*", "ABC", true},
        {"ABC*.*", "ABD.TXT", false},
        {"AB?.*", "AB.TXT", true}, // "?" right before ".*" is dropped
        {"AB?.*", "ABZZ", true},
        {"A?*", "A?B.TXT", true}, // elsewhere "?" is an ordinary character
        {"A?*", "AB.TXT", false},
        {"ABC**", "ABC*X", true}, // one star goes, the other is literal
        {"ABC**", "ABCX", false},
        {"*", "anything", true}, // the empty prefix
        // Whole names.
        {"readme.txt", "README.TXT", true},
        {"README", "README.TXT", false},
        {"A?C.TXT", "ABC.TXT", false},
        {"A?C.TXT", "A?C.TXT", true},
        {"\xC3\xA4.txt", "\xC3\x84.TXT", false}, // only ASCII letters fold
        // Texts are cut to 255 characters before comparing.
        {long_name, long_other, true},
        {long_name.substr(0, 255), long_name, true},
        {long_name.substr(0, 254), long_name, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(unzip::MatchMask(row.mask, row.name), row.match)
            << "mask \"" << row.mask.substr(0, 40) << "\" name \"" << row.name.substr(0, 40) << '"';
    }
}

} // namespace
