// The engine's small building blocks: CRC-32, the code-length check behind
// every Huffman table, and member-name masks.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "unzip/crc32.h"
#include "unzip/decode_table.h"
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

// Every code of a table decodes to its symbol with its length, whatever the
// top-level width: canonical codes are worked out here independently (RFC 1951,
// 3.2.2) and looked up through the top level and, for long codes, a sub-table.
TEST(BuildDecodeTable, EveryCodeDecodesToItsSymbol) {
    std::vector<uint16_t> staircase;
    for (uint16_t l = 1; l <= 15; ++l) staircase.push_back(l);
    staircase.push_back(16);
    staircase.push_back(16);
    const std::vector<std::vector<uint16_t>> codes = {
        staircase, {3, 3, 3, 3, 3, 2, 4, 4}, {2, 1, 0, 3, 3}, std::vector<uint16_t>(30, 5), {0, 1}};
    for (const auto& lengths : codes) {
        const unsigned n = static_cast<unsigned>(lengths.size());
        unsigned bl_count[17] = {}, next_code[17] = {};
        for (uint16_t l : lengths) ++bl_count[l];
        bl_count[0] = 0;
        for (unsigned bits = 1, code = 0; bits <= 16; ++bits) {
            code = (code + bl_count[bits - 1]) << 1;
            next_code[bits] = code;
        }
        for (unsigned wanted : {4u, 7u, 11u}) {
            std::vector<uint32_t> table(unzip::DecodeTableSize(n, wanted));
            unsigned top = wanted;
            unzip::CodeLengthCounts counts;
            ASSERT_EQ(
                unzip::BuildDecodeTable(lengths.data(), n, n, nullptr, nullptr, table.data(), &top),
                unzip::CheckCodeLengths(lengths.data(), n, &counts));
            EXPECT_EQ(top, std::min(wanted, counts.longest));
            unsigned next[17];
            std::copy(std::begin(next_code), std::end(next_code), next);
            for (unsigned s = 0; s < n; ++s) {
                const unsigned len = lengths[s];
                if (!len) continue;
                uint32_t reversed = 0;
                for (unsigned b = 0, code = next[len]++; b < len; ++b)
                    reversed |= ((code >> (len - 1 - b)) & 1) << b;
                uint32_t e = table[reversed & ((1u << top) - 1)];
                unsigned used = 0;
                if (e & unzip::kEntrySubTable) {
                    used = unzip::EntryDrop(e);
                    e = table[unzip::EntryValue(e) +
                              ((reversed >> used) & ((1u << unzip::EntryCodeBits(e)) - 1))];
                }
                ASSERT_TRUE(e & unzip::kEntryLiteral) << "symbol " << s << ", top " << wanted;
                EXPECT_EQ(unzip::EntryValue(e), s);
                EXPECT_EQ(used + unzip::EntryDrop(e), len) << "symbol " << s << ", top " << wanted;
            }
        }
    }
}

// Unused codes of an incomplete code, and symbols that stand for nothing, are
// invalid entries that still know their length; an over-subscribed code is refused.
TEST(BuildDecodeTable, UnusedCodesAndNonSymbolsAreInvalid) {
    // Codes 00, 01, 10 (length 2) and 110; 111 is unused. Indexes are the codes
    // reversed: symbol 2 (10) sits at 01 and 101, symbol 3 (110) at 011.
    const uint16_t lengths[4] = {2, 2, 2, 3};
    const uint16_t base[2] = {10, 0};
    const uint8_t extra[2] = {3, unzip::kNotASymbol}; // symbol 2: base 10 and 3 extra bits
    std::vector<uint32_t> table(unzip::DecodeTableSize(4, 8));
    unsigned top = 8;
    ASSERT_EQ(unzip::BuildDecodeTable(lengths, 4, 2, base, extra, table.data(), &top),
              unzip::CodeIncomplete);
    ASSERT_EQ(top, 3u);
    for (unsigned index : {0b001u, 0b101u}) {
        EXPECT_EQ(unzip::EntryValue(table[index]), 10u);
        EXPECT_EQ(unzip::EntryDrop(table[index]), 2u + 3u) << "code and extra bits in one drop";
        EXPECT_EQ(unzip::EntryCodeBits(table[index]), 2u);
        EXPECT_FALSE(table[index] & (unzip::kEntryLiteral | unzip::kEntryInvalid));
    }
    EXPECT_TRUE(table[0b011] & unzip::kEntryInvalid) << "symbol 3 stands for nothing";
    EXPECT_EQ(unzip::EntryDrop(table[0b011]), 3u);
    EXPECT_TRUE(table[0b111] & unzip::kEntryInvalid) << "code 111 is unused";
    EXPECT_EQ(unzip::EntryDrop(table[0b111]), 3u);

    const uint16_t too_many[3] = {1, 1, 1};
    top = 8;
    EXPECT_EQ(unzip::BuildDecodeTable(too_many, 3, 3, nullptr, nullptr, table.data(), &top),
              unzip::CodeInvalid);
}
