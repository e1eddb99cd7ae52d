// Explode (method 6).
//
// A member starts with two or three code trees, each sent as a list of code
// lengths: a count byte, then bytes of (repeat - 1, length - 1) nibbles. The
// codes are canonical, but sent bit-complemented, so every table index is
// taken from the inverted input bits; literal bytes without a tree, the low
// distance bits and a length's extra byte come as they are. Then, until the
// member's size is reached, one flag bit chooses between a literal (1) and a
// match (0): low distance bits, distance code, length code, and for length
// symbol 63 one more byte added to the length.
//
// Output goes through the same window as inflate, whose zeroed history is what
// a match reaching before the start of the output copies. A step takes at most
// 1 + 7 + 16 + 16 + 8 = 48 bits, so one 56-bit refill covers it.
#include "unzip/explode.h"

#include "unzip/decode_table.h"
#include "unzip/huffman.h"
#include "unzip/result.h"

namespace unzip {
namespace {

constexpr unsigned kSymbols = 64;
constexpr unsigned kLiteralLookupBits = 9;
constexpr unsigned kLengthLookupBits = 7;
constexpr unsigned kDistanceLookupBits = 7;
constexpr unsigned kLargeDistanceLookupBits = 8; // members above kLargeMember bytes
constexpr uint32_t kLargeMember = 200000;
constexpr unsigned kMaxLength = 66 + 255;

constexpr uint16_t kFlag8KWindow = 1u << 1;
constexpr uint16_t kFlagLiteralTree = 1u << 2;

// Length bases (3 upwards with a literal tree, 2 without), distance bases for
// the two window sizes, and the extra bits of the length symbols.
struct BaseTables {
    uint16_t length_with_literals[kSymbols];
    uint16_t length_without_literals[kSymbols];
    uint16_t distance_8k[kSymbols];
    uint16_t distance_4k[kSymbols];
    uint8_t length_extra[kSymbols];
    uint8_t no_extra[kSymbols];
};

constexpr BaseTables MakeBaseTables() {
    BaseTables t{};
    for (unsigned s = 0; s < kSymbols; ++s) {
        t.length_with_literals[s] = static_cast<uint16_t>(s + 3);
        t.length_without_literals[s] = static_cast<uint16_t>(s + 2);
        t.distance_8k[s] = static_cast<uint16_t>(1 + 128 * s);
        t.distance_4k[s] = static_cast<uint16_t>(1 + 64 * s);
        t.length_extra[s] = s == kSymbols - 1 ? 8 : 0;
    }
    return t;
}
constexpr BaseTables kBases = MakeBaseTables();

// A built table and the mask of its top level.
struct Tree {
    const uint32_t* entries;
    uint32_t mask;
};

// Looks up the next code of a tree, from the complemented bits. A sub-table
// entry has its top-level bits dropped here; the caller drops the leaf's bits.
inline uint32_t Lookup(const Tree& tree, uint64_t& bits, unsigned& count) {
    uint32_t e = tree.entries[static_cast<uint32_t>(~bits) & tree.mask];
    if (e & kEntrySubTable) {
        bits >>= EntryDrop(e);
        count -= EntryDrop(e);
        e = tree.entries[EntryValue(e) +
                         (static_cast<uint32_t>(~bits) & ((1u << EntryCodeBits(e)) - 1))];
    }
    return e;
}

// One decoded step: a literal (length 0, value = the byte) or a match (value =
// the distance).
struct Step {
    uint32_t length;
    uint32_t value;
};

template <bool kLiteralTree, unsigned kLowBits>
inline Step DecodeStep(const Tree& literals, const Tree& lengths, const Tree& distances,
                       uint64_t& bits, unsigned& count) {
    auto drop = [&](unsigned n) {
        bits >>= n;
        count -= n;
    };
    const bool literal = bits & 1;
    drop(1);
    if (literal) {
        if (!kLiteralTree) {
            const uint32_t byte = static_cast<uint32_t>(bits & 0xFF);
            drop(8);
            return {0, byte};
        }
        const uint32_t e = Lookup(literals, bits, count);
        drop(EntryDrop(e));
        return {0, EntryValue(e)};
    }
    const uint32_t low = static_cast<uint32_t>(bits & ((1u << kLowBits) - 1));
    drop(kLowBits);
    const uint32_t d = Lookup(distances, bits, count);
    drop(EntryDrop(d));
    const uint32_t e = Lookup(lengths, bits, count);
    const uint64_t before = bits;
    drop(EntryDrop(e));
    return {EntryValue(e) + EntryExtra(e, before), low + EntryValue(d)};
}

template <bool kLiteralTree, unsigned kLowBits>
int32_t Decode(BitInput& in, Window& window, OutputSink& sink, const Tree& literals,
               const Tree& lengths, const Tree& distances, uint64_t size) {
    constexpr size_t kFastInput = 16;
    constexpr ptrdiff_t kFastRoom = kMaxLength + 16;
    uint8_t* out = window.begin();
    int64_t left = static_cast<int64_t>(size);
    while (left > 0) {
        if (in.available() >= kFastInput && window.end() - out >= kFastRoom) {
            // Fast loop: bit state in locals, no end checks inside a step.
            uint64_t bits = in.bits_;
            unsigned count = in.count_;
            const uint8_t* next = in.next_;
            const uint8_t* const in_limit = in.end_ - kFastInput;
            uint8_t* const out_limit = window.end() - kFastRoom;
            do {
                RefillWord(bits, count, next);
                const Step step =
                    DecodeStep<kLiteralTree, kLowBits>(literals, lengths, distances, bits, count);
                if (step.length == 0) {
                    *out++ = static_cast<uint8_t>(step.value);
                    --left;
                } else {
                    out = CopyMatch(out, step.value, step.length);
                    left -= step.length;
                }
            } while (left > 0 && next < in_limit && out < out_limit);
            in.bits_ = bits;
            in.count_ = count;
            in.next_ = next;
            continue;
        }
        // Careful path: one step per round, exact window ends, exhausted input
        // checked after every step.
        if (in.available() < kFastInput) in.Fill();
        in.Ensure(48);
        const Step step =
            DecodeStep<kLiteralTree, kLowBits>(literals, lengths, distances, in.bits_, in.count_);
        if (in.Exhausted()) return ResultReadError;
        if (step.length == 0) {
            if (!PutByte(window, sink, out, static_cast<uint8_t>(step.value)))
                return ResultWriteError;
            --left;
        } else {
            if (!CopyMatchCarefully(window, sink, out, step.value, step.length))
                return ResultWriteError;
            left -= step.length;
        }
    }
    return sink.Flush(window.begin(), static_cast<size_t>(out - window.begin())) ? ResultOk
                                                                                 : ResultWriteError;
}

// Reads the code lengths of a tree of n symbols. ResultArchiveError when the
// list describes more or fewer than n lengths.
int32_t ReadTreeLengths(BitInput& in, unsigned n, uint16_t* lengths) {
    const unsigned bytes = in.Take(8) + 1;
    unsigned k = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        const unsigned b = in.Take(8);
        if (in.Exhausted()) return ResultReadError;
        const unsigned repeat = (b >> 4) + 1;
        if (k + repeat > n) return ResultArchiveError;
        for (unsigned j = 0; j < repeat; ++j) lengths[k++] = static_cast<uint16_t>((b & 15) + 1);
    }
    return k == n ? ResultOk : ResultArchiveError;
}

} // namespace

struct Exploder::Tables {
    uint32_t literals[DecodeTableSize(256, kLiteralLookupBits)];
    uint32_t lengths[DecodeTableSize(kSymbols, kLengthLookupBits)];
    uint32_t distances[DecodeTableSize(kSymbols, kDistanceLookupBits)];
};

Exploder::Exploder() : tables_(new Tables) {}
Exploder::~Exploder() = default;

int32_t Exploder::Run(BitInput& in, Window& window, OutputSink& sink, uint16_t flags,
                      uint64_t compressed_size, uint64_t size) {
    const bool literal_tree = flags & kFlagLiteralTree;
    uint16_t literal_lengths[256], length_lengths[kSymbols], distance_lengths[kSymbols];
    int32_t rc = ResultOk;
    if (literal_tree) rc = ReadTreeLengths(in, 256, literal_lengths);
    if (rc == ResultOk) rc = ReadTreeLengths(in, kSymbols, length_lengths);
    if (rc == ResultOk) rc = ReadTreeLengths(in, kSymbols, distance_lengths);
    if (rc != ResultOk) return rc;

    // Every symbol has a code, so only a complete code can be right.
    unsigned literal_bits = kLiteralLookupBits;
    if (literal_tree && BuildDecodeTable(literal_lengths, 256, 256, nullptr, nullptr,
                                         tables_->literals, &literal_bits) != CodeComplete)
        return ResultArchiveError;
    unsigned length_bits = kLengthLookupBits;
    const uint16_t* length_base =
        literal_tree ? kBases.length_with_literals : kBases.length_without_literals;
    if (BuildDecodeTable(length_lengths, kSymbols, 0, length_base, kBases.length_extra,
                         tables_->lengths, &length_bits) != CodeComplete)
        return ResultArchiveError;
    // Distance symbol 63 has no extra bits of its own: the low bits come first.
    unsigned distance_bits =
        compressed_size > kLargeMember ? kLargeDistanceLookupBits : kDistanceLookupBits;
    const bool large_window = flags & kFlag8KWindow;
    const uint16_t* distance_base = large_window ? kBases.distance_8k : kBases.distance_4k;
    if (BuildDecodeTable(distance_lengths, kSymbols, 0, distance_base, kBases.no_extra,
                         tables_->distances, &distance_bits) != CodeComplete)
        return ResultArchiveError;

    const Tree literals{tables_->literals, (1u << literal_bits) - 1};
    const Tree lengths{tables_->lengths, (1u << length_bits) - 1};
    const Tree distances{tables_->distances, (1u << distance_bits) - 1};
    if (literal_tree)
        return large_window ? Decode<true, 7>(in, window, sink, literals, lengths, distances, size)
                            : Decode<true, 6>(in, window, sink, literals, lengths, distances, size);
    return large_window ? Decode<false, 7>(in, window, sink, literals, lengths, distances, size)
                        : Decode<false, 6>(in, window, sink, literals, lengths, distances, size);
}

} // namespace unzip
