// Compressed input of one member: a refillable byte buffer and an LSB-first bit
// reader over it, shared by every decoder.
//
// Bits are taken from the low end of a 64-bit buffer: the next unread bit is
// bit 0, and each new byte is placed above the bits already held. Two ways fill it:
//  - RefillWord() loads eight bytes at once and tops the buffer up to at least
//    56 bits; it needs eight real bytes ahead and leaves copies of not yet
//    counted bits above `count`. They are the same bits the next load brings
//    again, so OR-ing them in again is harmless. The decoders' fast loops call
//    it on their local copies of the bit state, FastRefill() on the members.
//  - Need(n) adds one byte at a time and never reads ahead of what it needs;
//    when the archive has no more bytes it adds zero filler bytes and counts
//    them in `filler`. A decoder that has used any filler bit has run out of
//    input (Exhausted()), which it turns into ResultReadError.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "unzip/file_system.h"

namespace unzip {

// The word refill: tops `bits` up to at least 56 held bits from the eight bytes
// at `next` and moves `next` past the whole bytes taken: (63 - count) / 8 of
// them fit above the `count` bits held. The new count, count + 8 * that, keeps
// count's low three bits and lies in 56..63, which is count | 56.
inline void RefillWord(uint64_t& bits, unsigned& count, const uint8_t*& next) {
    uint64_t word;
    std::memcpy(&word, next, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    bits |= word << count;
    next += (63 - count) >> 3;
    count |= 56;
}

class BitInput {
  public:
    static constexpr size_t kDefaultRefill = 4096;
    static constexpr size_t kNoLimit = static_cast<size_t>(-1);

    // Starts reading at `offset` of the archive, with `ahead` bytes from there
    // already read (at most refill_size are used). At most `limit` bytes are
    // taken in all (the member's compressed size when known).
    void Begin(InputFile* file, int64_t offset, size_t refill_size, uint64_t limit,
               const uint8_t* ahead = nullptr, size_t ahead_size = 0);

    // Bytes of compressed data taken from the archive so far.
    uint64_t bytes_read() const { return bytes_read_; }

    // Real bytes buffered and not yet placed in the bit buffer.
    size_t available() const { return static_cast<size_t>(end_ - next_); }

    // Reads more of the archive, keeping unconsumed bytes; false when nothing
    // more can be had.
    bool Fill();

    void FastRefill() { RefillWord(bits_, count_, next_); }

    // Makes sure at least n (at most 57) bits are held.
    void Need(unsigned n) {
        while (count_ < n) AddByte();
    }
    // The same, a word at a time while eight real bytes are buffered.
    void Ensure(unsigned n) {
        if (count_ >= n) return;
        if (available() >= 8)
            FastRefill();
        else
            Need(n);
    }
    uint32_t Peek(unsigned n) const {
        return static_cast<uint32_t>(bits_ & ((uint64_t(1) << n) - 1));
    }
    void Drop(unsigned n) {
        bits_ >>= n;
        count_ -= n;
    }
    uint32_t Take(unsigned n) {
        Need(n);
        uint32_t v = Peek(n);
        Drop(n);
        return v;
    }
    // Drops the bits up to the next byte boundary.
    void AlignToByte() { Drop(count_ & 7); }

    bool Exhausted() const { return filler_ * 8 > count_; }
    // Whether the next n bits held are all real input.
    bool Real(unsigned n) const { return filler_ * 8 + n <= count_; }

    // Copies n bytes of a byte-aligned stretch to out: first the whole bytes in
    // the bit buffer, then straight from the input buffer. Returns false when
    // the input ends first.
    bool CopyBytes(uint8_t* out, size_t n);

    // Direct access for the decoders' fast loops, which keep these in locals.
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    const uint8_t* next_ = nullptr;
    const uint8_t* end_ = nullptr;

  private:
    void AddByte();

    InputFile* file_ = nullptr;
    int64_t position_ = 0; // archive offset of the next read
    std::vector<uint8_t> buffer_;
    size_t refill_size_ = kDefaultRefill;
    uint64_t limit_ = kNoLimit;
    uint64_t bytes_read_ = 0;
    bool at_end_ = false; // the archive (or the member's limit) has nothing more
    unsigned filler_ = 0; // zero bytes given after the real input ended
};

} // namespace unzip
