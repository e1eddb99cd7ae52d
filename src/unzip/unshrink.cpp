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
// member's bits cannot hold another code.
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
// Bit 15 marks a leaf during a partial clear; a free code's negative entry has
// bits 14 and 15 set as well.
constexpr int32_t kLeafMark = 0x8000;
constexpr int32_t kFreeBits = 0xC000;
// The longest string a full table can hold is 8,193 bytes (every code chained,
// plus the byte a code used in its own definition step repeats).
constexpr size_t kStackSize = 8193;
constexpr size_t kOutputSize = 767;

} // namespace

struct Unshrinker::State {
    int32_t prefix[kLastCode + 1]; // by code; codes below 257 have no entry
    uint8_t suffix[kLastCode + 1];
    // Strings are unwound from the end of the stack downwards; the slot below
    // them takes the string's first byte.
    uint8_t stack[kStackSize + 1];
    uint8_t output[kOutputSize];
    size_t output_count = 0;
    int32_t head = kFirstCode; // lowest free code; above kLastCode: the table is full

    void Reset() {
        for (int32_t c = kFirstCode; c <= kLastCode; ++c) prefix[c] = -(c + 1);
        head = kFirstCode;
        output_count = 0;
    }

    // Adds n bytes to the output buffer, flushing it whenever it fills.
    bool Emit(const uint8_t* p, size_t n, OutputSink& sink) {
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

    // Frees every code below the head that is no other code's prefix. Codes
    // from the head up are left alone: in damaged data a free code there may be
    // named as a prefix, and unmarking it would break the free list it is on.
    void PartialClear() {
        const int32_t h = head;
        for (int32_t c = kFirstCode; c < h; ++c) prefix[c] |= kLeafMark;
        for (int32_t c = kFirstCode; c < h; ++c) {
            const int32_t parent = prefix[c] & ~kLeafMark;
            if (parent >= kFirstCode && parent < h) prefix[parent] &= ~kLeafMark;
        }
        int32_t last = 0;
        for (int32_t c = kFirstCode; c < h; ++c) {
            if (!(prefix[c] & kFreeBits)) continue;
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

int32_t Unshrinker::Run(BitInput& in, uint32_t compressed_size, OutputSink& sink) {
    State& s = *state_;
    // An empty member has no first code to read.
    if (compressed_size == 0) return sink.Flush(s.output, 0) ? ResultOk : ResultWriteError;
    s.Reset();
    int64_t bits_left = int64_t(compressed_size) * 8 - kFirstCodeSize;
    if (bits_left < 0) return ResultReadError;
    unsigned code_size = kFirstCodeSize;
    uint32_t previous = in.Take(kFirstCodeSize);
    uint8_t first_byte = static_cast<uint8_t>(previous);
    if (!s.Emit(&first_byte, 1, sink)) return ResultWriteError;

    while (bits_left >= code_size) {
        in.Ensure(code_size);
        const uint32_t code = in.Peek(code_size);
        in.Drop(code_size);
        bits_left -= code_size;
        if (code == kControlCode) {
            const uint32_t what = in.Take(code_size);
            bits_left -= code_size;
            if (what == 1) {
                if (++code_size > kMaxCodeSize) return ResultArchiveError;
            } else if (what == 2) {
                s.PartialClear();
            } else {
                return ResultArchiveError;
            }
            continue;
        }
        // Unwind the string onto the stack, last byte first. A free code can
        // only be the one being defined in this very step: the previous string
        // plus its own first byte.
        size_t top = kStackSize + 1;
        uint32_t c = code;
        if (c >= kFirstCode && s.prefix[c] < 0) {
            s.stack[--top] = first_byte;
            c = previous;
        }
        while (c > kControlCode) {
            // A chain longer than any string, or through a free code, is corrupt
            // data (it may loop).
            const int32_t parent = s.prefix[c];
            if (top == 1 || parent < 0) return ResultArchiveError;
            s.stack[--top] = s.suffix[c];
            c = static_cast<uint32_t>(parent);
        }
        first_byte = static_cast<uint8_t>(c);
        s.stack[--top] = first_byte;
        if (!s.Emit(s.stack + top, kStackSize + 1 - top, sink)) return ResultWriteError;

        if (s.head <= kLastCode) {
            const int32_t h = s.head;
            s.head = -s.prefix[h];
            s.prefix[h] = static_cast<int32_t>(previous);
            s.suffix[h] = first_byte;
        }
        previous = code;
    }
    return sink.Flush(s.output, s.output_count) ? ResultOk : ResultWriteError;
}

} // namespace unzip
