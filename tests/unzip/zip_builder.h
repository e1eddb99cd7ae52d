// Test-only makers of ZIP archives and deflate streams, written from the ZIP
// application note and RFC 1951 without using the engine, so that the engine's
// answers can be checked against what these builders were told to produce.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ziptest {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text);
// Deterministic test data: a mix of repeated phrases (which compress) and
// pseudo-random bytes (which do not), so that streams hold literals and matches.
Bytes MixedData(size_t n, uint32_t seed);

// CRC-32 computed bit by bit, the slow way, as an independent reference.
uint32_t ReferenceCrc32(const uint8_t* data, size_t n);
inline uint32_t ReferenceCrc32(const Bytes& data) {
    return ReferenceCrc32(data.data(), data.size());
}

// DOS date and time as the ZIP headers hold them (date in the high half).
uint32_t DosTime(int year, int month, int day, int hour, int minute, int second);

// Writes bits least significant first, as deflate packs every field; Huffman
// codes go most significant bit first (RFC 1951, 3.1.1).
class BitWriter {
  public:
    BitWriter& Bits(uint32_t value, unsigned count);
    BitWriter& Code(uint32_t code, unsigned length);
    BitWriter& Align(); // zero bits up to the next byte boundary
    BitWriter& Byte(uint8_t b);
    BitWriter& Append(const Bytes& bytes); // byte-aligned bytes
    Bytes Finish();                        // pads the last byte with zero bits

  private:
    Bytes bytes_;
    uint32_t pending_ = 0; // bits not yet in bytes_
    unsigned count_ = 0;
};

// A canonical Huffman code made from code lengths (RFC 1951, 3.2.2).
struct HuffmanCode {
    std::vector<uint8_t> lengths;
    std::vector<uint32_t> codes;

    static HuffmanCode FromLengths(std::vector<uint8_t> lengths);
    static HuffmanCode FixedLitLen();              // 288 symbols: 8, 9, 7, 8 bits
    static HuffmanCode FixedDistance();            // 30 symbols of 5 bits (the fixed code has 32)
    void Put(BitWriter& w, unsigned symbol) const; // fails the test on a symbol without code
};

// Length 3..258 and distance 1..32768 as symbol plus extra bits (RFC 1951, 3.2.5).
struct SymbolExtra {
    unsigned symbol, extra_bits, extra_value;
};
SymbolExtra LengthSymbol(unsigned length);
SymbolExtra DistanceSymbol(unsigned distance);

void PutBlockHeader(BitWriter& w, bool last, unsigned type);
void PutStoredBlock(BitWriter& w, bool last, const Bytes& data);
void PutLiteral(BitWriter& w, const HuffmanCode& litlen, uint8_t byte);
void PutMatch(BitWriter& w, const HuffmanCode& litlen, const HuffmanCode& dist, unsigned length,
              unsigned distance);
void PutEndOfBlock(BitWriter& w, const HuffmanCode& litlen);

// The header of a dynamic block, field by field, so tests can make it wrong.
struct CodeLengthOp {
    unsigned symbol; // 0..18
    unsigned extra;  // the repeat bits of 16, 17, 18
};
struct DynamicHeader {
    unsigned hlit = 257, hdist = 1, hclen = 19; // counts, before the -257/-1/-4 of the wire
    std::array<uint8_t, 19> codelen_lengths{};  // indexed by code-length symbol
    std::vector<CodeLengthOp> ops;
};
// A complete code-length code over all 19 symbols (0..12 get 4 bits, 13..18 get 5).
std::array<uint8_t, 19> FullCodeLengthCode();
// A header that sends the given lengths with the full code-length code, using
// 16/17/18 for runs when `runs` is set.
DynamicHeader MakeDynamicHeader(const std::vector<uint8_t>& litlen,
                                const std::vector<uint8_t>& dist, bool runs = true);
void PutDynamicHeader(BitWriter& w, bool last, const DynamicHeader& header);

// The semantics of a deflate match: copies length bytes from distance back,
// byte by byte (so an overlapping run repeats), reading zeros before the start.
void ReferenceCopy(Bytes& out, unsigned length, unsigned distance);

// A small greedy LZ77 encoder: fixed blocks (type 1) or dynamic blocks with a
// complete code of its own (type 2), one block per `block_input` input bytes
// (0: one block). Enough to make large valid streams on every platform.
enum class BlockKind { Fixed, Dynamic };
Bytes Deflate(const Bytes& data, BlockKind kind = BlockKind::Fixed, size_t block_input = 0);

// ---------------------------------------------------------------- archives

enum class Descriptor { None, Signed, Unsigned }; // data descriptor after the data (flag bit 3)

struct Member {
    std::string name; // raw name bytes as stored
    Bytes content;    // what extraction must give (CRC and size default from it)
    Bytes data;       // bytes after the local header
    uint16_t method = 0;
    uint16_t flags = 0;
    uint32_t dos_time = DosTime(2021, 6, 15, 12, 30, 10);
    uint16_t made_by = 20; // host 0 (MS-DOS): the attribute byte counts
    uint32_t external_attributes = 0x20;
    Bytes local_extra, central_extra, comment;
    Descriptor descriptor = Descriptor::None;
    // Zero bytes after `data` that count in every size and offset but are left
    // out of the built bytes (see Layout::holes); the CRC is then for the caller to give.
    uint64_t hole = 0;

    // Overrides of what the headers say; unset values follow content and data.
    std::optional<uint32_t> crc, compressed_size, size;                   // both headers
    std::optional<uint32_t> local_crc, local_compressed_size, local_size; // local header only
    std::optional<uint32_t> descriptor_crc;
    std::optional<uint32_t> local_signature, central_signature;
    std::optional<uint32_t> central_offset; // where the directory says the local header is
};

// A Zip64 extended information extra field (id 1) holding `values`, 8 bytes each.
Bytes Zip64Field(const std::vector<uint64_t>& values);

Member Stored(const std::string& name, const Bytes& content);
Member Deflated(const std::string& name, const Bytes& content, BlockKind kind = BlockKind::Fixed);
Member Folder(const std::string& name); // a name ending in '/', no data, attribute 0x10

// Where the parts lie in the built bytes.
struct Layout {
    std::vector<uint32_t> local_offsets;
    uint32_t directory_offset = 0;
    uint32_t directory_size = 0;
    uint32_t end_offset = 0;
    uint32_t zip64_end_offset = 0; // 0: no Zip64 end record
    // Members' holes: where each goes in the built bytes, and how long it is.
    std::vector<std::pair<uint32_t, uint64_t>> holes;
};

struct Archive {
    std::vector<Member> members;
    Bytes comment;
    std::optional<uint16_t> comment_length; // written instead of comment.size()
    Bytes trailing;                         // after the end record and its comment
    bool zip64_locator = false;             // a Zip64 end locator right before the end record
    // Every size, offset and count through Zip64 fields and the Zip64 end record, not only
    // those that do not fit their 32-bit fields (which always go that way).
    bool zip64 = false;
    std::optional<uint32_t> directory_offset;

    Bytes Build(Layout* layout = nullptr) const;
};

// A stored member of `hole` zero bytes, which the built bytes leave out, then
// "small.txt": its local header and the directory lie beyond the hole.
Archive AfterHole(uint64_t hole);

} // namespace ziptest
