// Unshrink (method 1).
//
// Codes 0 to 255 are literals, 256 is a control code (followed by 1: one bit
// more per code, up to 13; or 2: partial clear), and codes from 257 name
// strings: a prefix code plus one suffix byte. Free codes form a list through
// their prefix entries, each holding the negated number of the next free code;
// new strings take the head of the list. A partial clear frees every string
// that is no other string's prefix, lowest first, ahead of the old list.
//
// The data is delimited by bits, not by an end code: decoding stops when the
// member's bits cannot hold another code, or when the input runs out first.
#include "unzip/unshrink.h"

#include <algorithm>
#include <cstring>

#include "unzip/result.h"

namespace unzip {
namespace {

constexpr int32_t kFirstCode = 257;
constexpr int32_t kLastCode = 8192;
constexpr uint32_t kControlCode = 256;
constexpr unsigned kFirstCodeSize = 9;
constexpr unsigned kMaxCodeSize = 13;
// The longest string a full table can hold is 8,193 bytes (every code chained,
// plus the byte a code used in its own definition step repeats).
constexpr size_t kStackSize = 8193;
constexpr size_t kOutputSize = 767;
constexpr size_t kShortString = 16;

} // namespace

struct Unshrinker::State {
    int32_t prefix[kLastCode + 1]; // by code; codes below 257 have no entry
    uint8_t suffix[kLastCode + 1];
    uint8_t is_parent[kLastCode + 1]; // scratch of a partial clear
    // String length of each code as it was defined. A prefix freed and reused
    // since may have changed the string; the walk in WriteDirect notices.
    uint16_t lengths[kLastCode + 1];
    // Strings are unwound from the end of the stack downwards; the slot below
    // them takes the string's first byte. Both buffers have room for the
    // 16-byte copies of short strings.
    uint8_t stack[kStackSize + 1 + kShortString];
    uint8_t output[kOutputSize + kShortString];
    size_t output_count = 0;
    int32_t head = kFirstCode; // lowest free code; above kLastCode: the table is full

    void Reset() {
        for (int32_t c = kFirstCode; c <= kLastCode; ++c) prefix[c] = -(c + 1);
        std::memset(lengths, 0, sizeof lengths);
        head = kFirstCode;
        output_count = 0;
    }

    // Adds n bytes to the output buffer, flushing it whenever it fills.
    bool Emit(const uint8_t* p, size_t n, OutputSink& sink) {
        if (n <= kShortString && output_count + n < kOutputSize) {
            // Most strings are short: one fixed-size copy, no call.
            std::memcpy(output + output_count, p, kShortString);
            output_count += n;
            return true;
        }
        while (n > 0) {
            const size_t k = std::min(n, kOutputSize - output_count);
            std::memcpy(output + output_count, p, k);
            output_count += k;
            p += k;
            n -= k;
            if (output_count == kOutputSize) {
                if (!sink.Flush(output, kOutputSize)) return false;
                output_count = 0;
            }
        }
        return true;
    }

    // Writes the string of `code`, and `tail` after it when `has_tail`, straight
    // into the output buffer when its recorded length fits there, walking the
    // chain exactly that far. False, with nothing counted, when it does not fit
    // or the chain does not end where the length says: the caller then unwinds
    // through the stack, which finds the string as the table now has it.
    bool WriteDirect(uint32_t code, bool has_tail, uint8_t tail, uint32_t* length, uint8_t* first) {
        const uint32_t n = code > kControlCode ? lengths[code] : 1;
        const uint32_t total = n + (has_tail ? 1 : 0);
        if (n == 0 || total > kOutputSize - output_count) return false;
        uint8_t* const out = output + output_count;
        uint8_t* w = out + n - 1;
        uint32_t c = code;
        for (; w > out; --w) {
            if (c <= kControlCode || prefix[c] < 0) return false;
            *w = suffix[c];
            c = static_cast<uint32_t>(prefix[c]);
        }
        if (c > kControlCode) return false;
        *out = static_cast<uint8_t>(c);
        if (has_tail) out[n] = tail;
        output_count += total;
        *length = total;
        *first = static_cast<uint8_t>(c);
        return true;
    }

    // Frees every code below the head that is no other code's prefix (and any
    // free one there), lowest first, ahead of the old free list. Codes from the
    // head up are left alone: in damaged data a free code there may be named as
    // a prefix, and touching it would break the free list it is on.
    void PartialClear() {
        const int32_t h = head;
        std::memset(is_parent + kFirstCode, 0, static_cast<size_t>(std::max(h - kFirstCode, 0)));
        for (int32_t c = kFirstCode; c < h; ++c) {
            const int32_t parent = prefix[c];
            if (parent >= kFirstCode && parent < h) is_parent[parent] = 1;
        }
        int32_t last = 0;
        for (int32_t c = kFirstCode; c < h; ++c) {
            if (prefix[c] >= 0 && is_parent[c]) continue;
            if (last)
                prefix[last] = -c;
            else
                head = c;
            last = c;
        }
        if (last) prefix[last] = -h;
    }
};

Unshrinker::Unshrinker() : state_(new State) {}
Unshrinker::~Unshrinker() = default;

int32_t Unshrinker::Run(BitInput& in, uint64_t compressed_size, OutputSink& sink) {
    State& s = *state_;
    // An empty member has no first code to read.
    if (compressed_size == 0) return sink.Flush(s.output, 0) ? ResultOk : ResultWriteError;
    s.Reset();
    // A size beyond what a file could hold is as good as endless.
    const uint64_t bytes = std::min<uint64_t>(compressed_size, INT64_MAX / 8);
    int64_t bits_left = static_cast<int64_t>(bytes) * 8 - kFirstCodeSize;
    if (bits_left < 0) return ResultReadError;
    unsigned code_size = kFirstCodeSize;
    uint32_t previous = in.Take(kFirstCodeSize);
    if (in.Exhausted()) return ResultReadError;
    uint32_t previous_length = 1;
    uint8_t first_byte = static_cast<uint8_t>(previous);
    s.stack[0] = first_byte;
    if (!s.Emit(s.stack, 1, sink)) return ResultWriteError;

    while (bits_left >= code_size) {
        in.Ensure(code_size);
        const uint32_t code = in.Peek(code_size);
        in.Drop(code_size);
        bits_left -= code_size;
        // The size says how many bits to decode, but the archive may end first:
        // what follows its end is no data to decode.
        if (in.Exhausted()) return ResultReadError;
        if (code == kControlCode) {
            const uint32_t what = in.Take(code_size);
            bits_left -= code_size;
            if (in.Exhausted()) return ResultReadError;
            if (what == 1) {
                if (++code_size > kMaxCodeSize) return ResultArchiveError;
            } else if (what == 2) {
                s.PartialClear();
            } else {
                return ResultArchiveError;
            }
            continue;
        }
        // The code's string or, for a free code (only the one being defined in
        // this very step can be used), the previous string plus its first byte.
        const bool defining = code >= kFirstCode && s.prefix[code] < 0;
        const uint32_t start = defining ? previous : code;
        uint32_t length;
        uint8_t first;
        if (s.WriteDirect(start, defining, first_byte, &length, &first)) {
            if (s.output_count == kOutputSize) {
                if (!sink.Flush(s.output, kOutputSize)) return ResultWriteError;
                s.output_count = 0;
            }
        } else {
            // Unwind onto the stack, last byte first. A chain longer than any
            // string, or through a free code, is damaged data (it may loop).
            size_t top = kStackSize + 1;
            if (defining) s.stack[--top] = first_byte;
            uint32_t c = start;
            while (c > kControlCode) {
                const int32_t parent = s.prefix[c];
                if (top == 1 || parent < 0) return ResultArchiveError;
                s.stack[--top] = s.suffix[c];
                c = static_cast<uint32_t>(parent);
            }
            first = static_cast<uint8_t>(c);
            s.stack[--top] = first;
            length = static_cast<uint32_t>(kStackSize + 1 - top);
            if (!s.Emit(s.stack + top, length, sink)) return ResultWriteError;
        }
        first_byte = first;

        if (s.head <= kLastCode) {
            const int32_t h = s.head;
            s.head = -s.prefix[h];
            s.prefix[h] = static_cast<int32_t>(previous);
            s.suffix[h] = first_byte;
            s.lengths[h] = static_cast<uint16_t>(previous_length + 1);
        }
        previous = code;
        previous_length = length;
    }
    return sink.Flush(s.output, s.output_count) ? ResultOk : ResultWriteError;
}

} // namespace unzip
