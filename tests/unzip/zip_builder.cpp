#include "zip_builder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ziptest {

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes MixedData(size_t n, uint32_t seed) {
    static const char* const kPhrases[] = {"the quick brown fox ", "jumps over ", "the lazy dog; ",
                                           "0123456789",           "\n",          "ZIP archives "};
    Bytes out;
    out.reserve(n);
    uint32_t x = seed * 2654435761u + 1;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    while (out.size() < n) {
        uint32_t r = next();
        if (r % 3 == 0) {
            for (unsigned k = 0, m = 1 + (r >> 8) % 40; k < m && out.size() < n; ++k)
                out.push_back(static_cast<uint8_t>(next()));
        } else {
            const char* p = kPhrases[(r >> 4) % 6];
            while (*p && out.size() < n) out.push_back(static_cast<uint8_t>(*p++));
        }
    }
    return out;
}

uint32_t ReferenceCrc32(const uint8_t* data, size_t n) {
    uint32_t reg = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        reg ^= data[i];
        for (int bit = 0; bit < 8; ++bit) reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return ~reg;
}

uint32_t DosTime(int year, int month, int day, int hour, int minute, int second) {
    uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | month << 5 | day);
    uint32_t time = static_cast<uint32_t>(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}

// ---------------------------------------------------------------- bits

BitWriter& BitWriter::Bits(uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        pending_ |= ((value >> i) & 1u) << count_;
        if (++count_ == 8) {
            bytes_.push_back(static_cast<uint8_t>(pending_));
            pending_ = 0;
            count_ = 0;
        }
    }
    return *this;
}

BitWriter& BitWriter::Code(uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;) Bits((code >> i) & 1u, 1);
    return *this;
}

BitWriter& BitWriter::Align() {
    if (count_) Bits(0, 8 - count_);
    return *this;
}

BitWriter& BitWriter::Byte(uint8_t b) {
    return Bits(b, 8);
}

BitWriter& BitWriter::Append(const Bytes& bytes) {
    EXPECT_EQ(count_, 0u) << "Append needs a byte boundary";
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes BitWriter::Finish() {
    Align();
    return bytes_;
}

// ---------------------------------------------------------------- codes

HuffmanCode HuffmanCode::FromLengths(std::vector<uint8_t> lengths) {
    HuffmanCode h;
    unsigned count[17] = {};
    for (uint8_t l : lengths) ++count[l];
    count[0] = 0;
    uint32_t next[17] = {};
    for (unsigned len = 1; len <= 16; ++len) next[len] = (next[len - 1] + count[len - 1]) << 1;
    h.codes.assign(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s]) h.codes[s] = next[lengths[s]]++;
    h.lengths = std::move(lengths);
    return h;
}

HuffmanCode HuffmanCode::FixedLitLen() {
    std::vector<uint8_t> l(288);
    for (unsigned s = 0; s < 288; ++s) l[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    return FromLengths(l);
}

HuffmanCode HuffmanCode::FixedDistance() {
    return FromLengths(std::vector<uint8_t>(30, 5));
}

void HuffmanCode::Put(BitWriter& w, unsigned symbol) const {
    if (symbol >= lengths.size() || lengths[symbol] == 0) {
        ADD_FAILURE() << "the code has no symbol " << symbol;
        return;
    }
    w.Code(codes[symbol], lengths[symbol]);
}

namespace {
const unsigned kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const unsigned kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
} // namespace

SymbolExtra LengthSymbol(unsigned length) {
    EXPECT_TRUE(length >= 3 && length <= 258) << length;
    if (length == 258) return {285, 0, 0};
    unsigned i = 27;
    while (kLengthBase[i] > length) --i;
    unsigned extra = i < 8 ? 0 : (i - 4) / 4;
    return {257 + i, extra, length - kLengthBase[i]};
}

SymbolExtra DistanceSymbol(unsigned distance) {
    EXPECT_TRUE(distance >= 1 && distance <= 32768) << distance;
    unsigned i = 29;
    while (kDistanceBase[i] > distance) --i;
    unsigned extra = i < 4 ? 0 : (i - 2) / 2;
    return {i, extra, distance - kDistanceBase[i]};
}

void PutBlockHeader(BitWriter& w, bool last, unsigned type) {
    w.Bits(last ? 1 : 0, 1).Bits(type, 2);
}

void PutStoredBlock(BitWriter& w, bool last, const Bytes& data) {
    PutBlockHeader(w, last, 0);
    w.Align();
    const uint32_t len = static_cast<uint32_t>(data.size());
    w.Bits(len, 16).Bits(~len & 0xFFFF, 16);
    w.Append(data);
}

void PutLiteral(BitWriter& w, const HuffmanCode& litlen, uint8_t byte) {
    litlen.Put(w, byte);
}

void PutMatch(BitWriter& w, const HuffmanCode& litlen, const HuffmanCode& dist, unsigned length,
              unsigned distance) {
    SymbolExtra l = LengthSymbol(length);
    litlen.Put(w, l.symbol);
    w.Bits(l.extra_value, l.extra_bits);
    SymbolExtra d = DistanceSymbol(distance);
    dist.Put(w, d.symbol);
    w.Bits(d.extra_value, d.extra_bits);
}

void PutEndOfBlock(BitWriter& w, const HuffmanCode& litlen) {
    litlen.Put(w, 256);
}

std::array<uint8_t, 19> FullCodeLengthCode() {
    std::array<uint8_t, 19> l{};
    for (unsigned s = 0; s < 19; ++s) l[s] = s < 13 ? 4 : 5; // 13/16 + 6/32 = 1
    return l;
}

DynamicHeader MakeDynamicHeader(const std::vector<uint8_t>& litlen,
                                const std::vector<uint8_t>& dist, bool runs) {
    DynamicHeader h;
    h.hlit = static_cast<unsigned>(litlen.size());
    h.hdist = static_cast<unsigned>(dist.size());
    h.codelen_lengths = FullCodeLengthCode();
    std::vector<uint8_t> all(litlen);
    all.insert(all.end(), dist.begin(), dist.end());
    for (size_t i = 0; i < all.size();) {
        size_t run = 1;
        while (i + run < all.size() && all[i + run] == all[i]) ++run;
        if (runs && all[i] == 0 && run >= 11) {
            size_t k = std::min<size_t>(run, 138);
            h.ops.push_back({18, static_cast<unsigned>(k - 11)});
            i += k;
        } else if (runs && all[i] == 0 && run >= 3) {
            size_t k = std::min<size_t>(run, 10);
            h.ops.push_back({17, static_cast<unsigned>(k - 3)});
            i += k;
        } else if (runs && run >= 4) {
            // The length itself, then 16 repeats it 3..6 times.
            h.ops.push_back({all[i], 0});
            size_t k = std::min<size_t>(run - 1, 6);
            h.ops.push_back({16, static_cast<unsigned>(k - 3)});
            i += 1 + k;
        } else {
            h.ops.push_back({all[i], 0});
            i += 1;
        }
    }
    return h;
}

void PutDynamicHeader(BitWriter& w, bool last, const DynamicHeader& header) {
    static const unsigned kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                        11, 4,  12, 3, 13, 2, 14, 1, 15};
    PutBlockHeader(w, last, 2);
    w.Bits(header.hlit - 257, 5).Bits(header.hdist - 1, 5).Bits(header.hclen - 4, 4);
    for (unsigned i = 0; i < header.hclen; ++i) w.Bits(header.codelen_lengths[kOrder[i]], 3);
    HuffmanCode code = HuffmanCode::FromLengths(
        std::vector<uint8_t>(header.codelen_lengths.begin(), header.codelen_lengths.end()));
    for (const CodeLengthOp& op : header.ops) {
        code.Put(w, op.symbol);
        if (op.symbol == 16) w.Bits(op.extra, 2);
        if (op.symbol == 17) w.Bits(op.extra, 3);
        if (op.symbol == 18) w.Bits(op.extra, 7);
    }
}

void ReferenceCopy(Bytes& out, unsigned length, unsigned distance) {
    for (unsigned i = 0; i < length; ++i) {
        size_t at = out.size();
        out.push_back(at >= distance ? out[at - distance] : 0);
    }
}

// ---------------------------------------------------------------- encoder

namespace {

// Shortens codes until the lengths fill the code space exactly: the shortest
// code whose doubling still fits goes first, so the long codes stay long.
std::vector<uint8_t> Complete(std::vector<uint8_t> lengths) {
    uint32_t used = 0;
    for (uint8_t l : lengths) used += 1u << (15 - l);
    EXPECT_LE(used, 32768u);
    while (used < 32768) {
        size_t best = lengths.size();
        for (size_t s = 0; s < lengths.size(); ++s) {
            uint32_t gain = 1u << (15 - lengths[s]);
            if (lengths[s] > 1 && gain <= 32768 - used &&
                (best == lengths.size() || lengths[s] < lengths[best]))
                best = s;
        }
        used += 1u << (15 - lengths[best]);
        --lengths[best];
    }
    return lengths;
}

// Skewed codes for the encoder's dynamic blocks: literals of up to 15 bits and
// distances of up to 15 bits, so decoders need their second table level.
struct DynamicCodes {
    HuffmanCode litlen, dist;
    DynamicHeader header;
};
const DynamicCodes& SkewedCodes() {
    static const DynamicCodes codes = [] {
        std::vector<uint8_t> ll(286), d(30);
        for (unsigned s = 0; s < 256; ++s) ll[s] = static_cast<uint8_t>(7 + s % 9);
        for (unsigned s = 256; s < 286; ++s)
            ll[s] = static_cast<uint8_t>(s == 256 ? 14 : 6 + s % 3);
        for (unsigned s = 0; s < 30; ++s) d[s] = static_cast<uint8_t>(5 + s % 11);
        ll = Complete(ll);
        d = Complete(d);
        DynamicCodes c{HuffmanCode::FromLengths(ll), HuffmanCode::FromLengths(d),
                       MakeDynamicHeader(ll, d)};
        return c;
    }();
    return codes;
}

} // namespace

Bytes Deflate(const Bytes& data, BlockKind kind, size_t block_input) {
    static const HuffmanCode fixed_litlen = HuffmanCode::FixedLitLen();
    static const HuffmanCode fixed_dist = HuffmanCode::FixedDistance();
    const bool dynamic = kind == BlockKind::Dynamic;
    const HuffmanCode& litlen = dynamic ? SkewedCodes().litlen : fixed_litlen;
    const HuffmanCode& dist = dynamic ? SkewedCodes().dist : fixed_dist;
    auto start_block = [&](BitWriter& w, bool last) {
        if (dynamic)
            PutDynamicHeader(w, last, SkewedCodes().header);
        else
            PutBlockHeader(w, last, 1);
    };

    BitWriter w;
    const size_t n = data.size();
    std::vector<int64_t> head(1u << 15, -1);
    auto hash = [&data](size_t i) {
        return (static_cast<uint32_t>(data[i]) * 0x9E37u ^
                static_cast<uint32_t>(data[i + 1]) * 0x2F1u ^ data[i + 2]) &
               0x7FFFu;
    };
    size_t block_end = block_input ? block_input : n;
    start_block(w, block_end >= n);
    for (size_t i = 0; i < n;) {
        if (i >= block_end) {
            PutEndOfBlock(w, litlen);
            block_end += block_input;
            start_block(w, block_end >= n);
        }
        size_t best = 0, from = 0;
        if (i + 3 <= n) {
            uint32_t h = hash(i);
            int64_t cand = head[h];
            head[h] = static_cast<int64_t>(i);
            if (cand >= 0 && i - static_cast<size_t>(cand) <= 32768) {
                size_t c = static_cast<size_t>(cand), len = 0;
                while (len < 258 && i + len < n && data[c + len] == data[i + len]) ++len;
                if (len >= 3) best = len, from = c;
            }
        }
        if (best) {
            PutMatch(w, litlen, dist, static_cast<unsigned>(best), static_cast<unsigned>(i - from));
            for (size_t k = i + 1; k < i + best && k + 3 <= n; ++k)
                head[hash(k)] = static_cast<int64_t>(k);
            i += best;
        } else {
            PutLiteral(w, litlen, data[i]);
            ++i;
        }
    }
    PutEndOfBlock(w, litlen);
    return w.Finish();
}

// ---------------------------------------------------------------- archives

Member Stored(const std::string& name, const Bytes& content) {
    Member m;
    m.name = name;
    m.content = content;
    m.data = content;
    return m;
}

Member Deflated(const std::string& name, const Bytes& content, BlockKind kind) {
    Member m;
    m.name = name;
    m.content = content;
    m.data = Deflate(content, kind);
    m.method = 8;
    return m;
}

Member Folder(const std::string& name) {
    Member m;
    m.name = name;
    m.external_attributes = 0x10;
    return m;
}

namespace {
void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Put64(Bytes& b, uint64_t v) {
    Put32(b, static_cast<uint32_t>(v));
    Put32(b, static_cast<uint32_t>(v >> 32));
}
void PutText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}
void PutBytes(Bytes& b, const Bytes& s) {
    b.insert(b.end(), s.begin(), s.end());
}

constexpr uint32_t kMark = 0xFFFFFFFFu;

// The 32-bit field of a value: the value, or the Zip64 mark when it goes to the
// Zip64 field (which then gets it).
uint32_t Field(uint64_t value, bool wide, std::vector<uint64_t>* zip64) {
    if (!wide && value < kMark) return static_cast<uint32_t>(value);
    zip64->push_back(value);
    return kMark;
}
} // namespace

Bytes Zip64Field(const std::vector<uint64_t>& values) {
    Bytes b;
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(8 * values.size()));
    for (uint64_t v : values) Put64(b, v);
    return b;
}

Bytes Archive::Build(Layout* layout) const {
    Bytes out, dir;
    Layout lay;
    uint64_t skipped = 0; // hole bytes before the end of `out`
    for (const Member& m : members) {
        const uint32_t crc = m.crc.value_or(ReferenceCrc32(m.content));
        // What the headers say; overrides go in as given, without a Zip64 field.
        const uint64_t csize = m.compressed_size ? *m.compressed_size : m.data.size() + m.hole;
        const uint64_t usize = m.size ? *m.size : m.content.size() + m.hole;
        auto field = [](std::optional<uint32_t> given, uint64_t value, bool wide,
                        std::vector<uint64_t>* zip64) {
            return given ? *given : Field(value, wide, zip64);
        };
        const bool later = (m.flags & 8) != 0;
        const uint64_t offset = out.size() + skipped;
        lay.local_offsets.push_back(static_cast<uint32_t>(out.size()));

        // The local header gives both sizes through its Zip64 field, or neither.
        std::vector<uint64_t> local_wide;
        const bool local_zip64 =
            zip64 || (!m.compressed_size && csize >= kMark) || (!m.size && usize >= kMark);
        const uint32_t local_usize = field(m.size, later ? 0 : usize, local_zip64, &local_wide);
        const uint32_t local_csize =
            field(m.compressed_size, later ? 0 : csize, local_zip64, &local_wide);
        Bytes local_extra = local_wide.empty() ? Bytes() : Zip64Field(local_wide);
        PutBytes(local_extra, m.local_extra);
        Put32(out, m.local_signature.value_or(0x04034B50));
        Put16(out, 20);
        Put16(out, m.flags);
        Put16(out, m.method);
        Put32(out, m.dos_time);
        Put32(out, m.local_crc.value_or(later ? 0 : crc));
        Put32(out, m.local_compressed_size.value_or(local_csize));
        Put32(out, m.local_size.value_or(local_usize));
        Put16(out, static_cast<uint32_t>(m.name.size()));
        Put16(out, static_cast<uint32_t>(local_extra.size()));
        PutText(out, m.name);
        PutBytes(out, local_extra);
        PutBytes(out, m.data);
        if (m.hole) lay.holes.emplace_back(static_cast<uint32_t>(out.size()), m.hole);
        skipped += m.hole;
        if (m.descriptor != Descriptor::None) {
            if (m.descriptor == Descriptor::Signed) Put32(out, 0x08074B50);
            Put32(out, m.descriptor_crc.value_or(crc));
            if (local_zip64) {
                Put64(out, csize);
                Put64(out, usize);
            } else {
                Put32(out, static_cast<uint32_t>(csize));
                Put32(out, static_cast<uint32_t>(usize));
            }
        }

        std::vector<uint64_t> wide;
        const uint32_t central_usize = field(m.size, usize, zip64, &wide);
        const uint32_t central_csize = field(m.compressed_size, csize, zip64, &wide);
        const uint32_t central_offset = field(m.central_offset, offset, zip64, &wide);
        Bytes central_extra = wide.empty() ? Bytes() : Zip64Field(wide);
        PutBytes(central_extra, m.central_extra);
        Put32(dir, m.central_signature.value_or(0x02014B50));
        Put16(dir, m.made_by);
        Put16(dir, 20);
        Put16(dir, m.flags);
        Put16(dir, m.method);
        Put32(dir, m.dos_time);
        Put32(dir, crc);
        Put32(dir, central_csize);
        Put32(dir, central_usize);
        Put16(dir, static_cast<uint32_t>(m.name.size()));
        Put16(dir, static_cast<uint32_t>(central_extra.size()));
        Put16(dir, static_cast<uint32_t>(m.comment.size()));
        Put16(dir, 0); // disk
        Put16(dir, 0); // internal attributes
        Put32(dir, m.external_attributes);
        Put32(dir, central_offset);
        PutText(dir, m.name);
        PutBytes(dir, central_extra);
        PutBytes(dir, m.comment);
    }
    lay.directory_offset = static_cast<uint32_t>(out.size());
    lay.directory_size = static_cast<uint32_t>(dir.size());
    const uint64_t start = directory_offset ? *directory_offset : out.size() + skipped;
    PutBytes(out, dir);
    const bool wide_end = zip64 || start >= kMark || members.size() >= 0xFFFF;
    if (wide_end) {
        lay.zip64_end_offset = static_cast<uint32_t>(out.size());
        const uint64_t at = out.size() + skipped;
        Put32(out, 0x06064B50);
        Put64(out, 44); // the bytes after this field
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, 0); // disk
        Put32(out, 0); // disk of the directory
        Put64(out, members.size());
        Put64(out, members.size());
        Put64(out, dir.size());
        Put64(out, start);
        Put32(out, 0x07064B50);
        Put32(out, 0);
        Put64(out, at);
        Put32(out, 1);
    } else if (zip64_locator) {
        Put32(out, 0x07064B50);
        Put32(out, 0);
        Put32(out, lay.directory_offset); // where a Zip64 end record would be (low half)
        Put32(out, 0);
        Put32(out, 1);
    }
    lay.end_offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    const uint32_t count = wide_end ? 0xFFFF : static_cast<uint32_t>(members.size());
    Put16(out, count);
    Put16(out, count);
    Put32(out, wide_end ? kMark : lay.directory_size);
    Put32(out, wide_end ? kMark : static_cast<uint32_t>(start));
    Put16(out, comment_length.value_or(static_cast<uint16_t>(comment.size())));
    PutBytes(out, comment);
    PutBytes(out, trailing);
    if (layout) *layout = lay;
    return out;
}

Archive AfterHole(uint64_t hole) {
    Member big = Stored("big.bin", {});
    big.hole = hole;
    big.crc = 0; // not extracted: no CRC of the hole is needed
    Archive a;
    a.members = {big, Stored("small.txt", ToBytes("beyond the hole"))};
    return a;
}

} // namespace ziptest
