// Fuzz target: explode. The input is two settings bytes, two bytes of
// uncompressed size (little-endian) and the imploded stream.
//     byte 0, bit 1   8 KiB window (as flag bit 1 of a member)
//     byte 0, bit 2   a literal tree (flag bit 2)
//     byte 1, bits 0-1  refill size; bit 2: the start is handed over as read ahead
// The stream is decoded with unzip::Exploder and, as an independent oracle, with
// the slow reference below, which decodes bit by bit from the code lengths
// (counting codes of each length, as the canonical construction goes) and keeps
// the whole output in one vector, zeros before its start. Both must give the
// same result and, on success, the same bytes.
#include "legacy_fuzz.h"
#include "unzip/explode.h"
#include "unzip/result.h"

namespace {

using namespace legacy_fuzz;
using namespace unzip;

// Bits in order, least significant first; reading past the end fails.
class Bits {
  public:
    Bits(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Get(unsigned n, uint32_t* value) {
        *value = 0;
        for (unsigned i = 0; i < n; ++i, ++at_) {
            if (at_ / 8 >= size_) return false;
            *value |= uint32_t((data_[at_ / 8] >> (at_ % 8)) & 1) << i;
        }
        return true;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Code {
    std::vector<unsigned> count = std::vector<unsigned>(17); // codes of each length
    std::vector<unsigned> symbols;                           // by length, then symbol
};

// Builds the canonical code; false when over-subscribed or incomplete.
bool MakeCode(const std::vector<unsigned>& lengths, Code* code) {
    for (unsigned len : lengths) ++code->count[len];
    int room = 1;
    for (unsigned len = 1; len <= 16; ++len) room = room * 2 - int(code->count[len]);
    if (room != 0) return false;
    for (unsigned len = 1; len <= 16; ++len)
        for (unsigned s = 0; s < lengths.size(); ++s)
            if (lengths[s] == len) code->symbols.push_back(s);
    return true;
}

// One symbol, a complemented bit at a time; -1 when the input ends.
int Decode(Bits& bits, const Code& code) {
    uint32_t value = 0, first = 0, index = 0;
    for (unsigned len = 1; len <= 16; ++len) {
        uint32_t bit;
        if (!bits.Get(1, &bit)) return -1;
        value |= bit ^ 1;
        if (value - first < code.count[len]) return int(code.symbols[index + value - first]);
        index += code.count[len];
        first = (first + code.count[len]) << 1;
        value <<= 1;
    }
    return -1; // a complete code never gets here
}

int32_t ReadLengths(Bits& bits, unsigned n, std::vector<unsigned>* lengths) {
    uint32_t count;
    if (!bits.Get(8, &count)) return ResultReadError;
    for (uint32_t i = 0; i <= count; ++i) {
        uint32_t b;
        if (!bits.Get(8, &b)) return ResultReadError;
        if (lengths->size() + (b >> 4) + 1 > n) return ResultArchiveError;
        lengths->insert(lengths->end(), (b >> 4) + 1, (b & 15) + 1);
    }
    return lengths->size() == n ? ResultOk : ResultArchiveError;
}

int32_t ReferenceExplode(const uint8_t* data, size_t size, uint16_t flags, uint32_t out_size,
                         Bytes* out) {
    Bits bits(data, size);
    const bool literal_tree = flags & 4;
    const unsigned low_bits = (flags & 2) ? 7 : 6;
    std::vector<unsigned> lengths[3];
    int32_t rc = ResultOk;
    for (int t = literal_tree ? 0 : 1; t < 3 && rc == ResultOk; ++t)
        rc = ReadLengths(bits, t == 0 ? 256 : 64, &lengths[t]);
    if (rc != ResultOk) return rc;
    Code codes[3];
    for (int t = literal_tree ? 0 : 1; t < 3; ++t)
        if (!MakeCode(lengths[t], &codes[t])) return ResultArchiveError;
    const unsigned min_length = literal_tree ? 3 : 2;
    while (out->size() < out_size) {
        uint32_t flag, value;
        if (!bits.Get(1, &flag)) return ResultReadError;
        if (flag) {
            int byte = literal_tree          ? Decode(bits, codes[0])
                       : bits.Get(8, &value) ? int(value)
                                             : -1;
            if (byte < 0) return ResultReadError;
            out->push_back(static_cast<uint8_t>(byte));
            continue;
        }
        uint32_t low;
        if (!bits.Get(low_bits, &low)) return ResultReadError;
        const int high = Decode(bits, codes[2]);
        const int symbol = high < 0 ? -1 : Decode(bits, codes[1]);
        if (symbol < 0) return ResultReadError;
        uint32_t length = min_length + unsigned(symbol);
        if (symbol == 63) {
            if (!bits.Get(8, &value)) return ResultReadError;
            length += value;
        }
        const size_t distance = (size_t(high) << low_bits) + low + 1;
        for (uint32_t i = 0; i < length; ++i)
            out->push_back(out->size() >= distance ? (*out)[out->size() - distance] : 0);
    }
    return ResultOk;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint16_t flags = data[0] & 6;
    const uint32_t out_size = data[2] | uint32_t(data[3]) << 8;
    const uint8_t* stream = data + 4;
    const size_t stream_size = size - 4;

    StreamInput input(stream, stream_size, data[1] & 3, data[1] & 4);
    auto window = std::make_unique<Window>();
    window->Reset();
    KeepingSink sink(Window::kSize);
    Exploder exploder;
    const int32_t rc =
        exploder.Run(input.in, *window, sink, flags, static_cast<uint32_t>(stream_size), out_size);

    Bytes expected;
    const int32_t expected_rc = ReferenceExplode(stream, stream_size, flags, out_size, &expected);
    CheckAgainstReference(rc, expected_rc, input, stream_size, sink, expected);
    // Only the last match may run past the size.
    FUZZ_CHECK(rc != ResultOk || sink.output.size() < size_t(out_size) + 66 + 255,
               "%zu bytes for a size of %u", sink.output.size(), out_size);
    return 0;
}
