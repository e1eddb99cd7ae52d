#include "unzip/bit_input.h"

#include <algorithm>

namespace unzip {

// Unconsumed bytes kept at the front of the buffer when it is refilled; the
// fast loops stop well before fewer than this many remain.
static constexpr size_t kCarry = 64;

void BitInput::Begin(InputFile* file, int64_t offset, size_t refill_size, uint64_t limit,
                     const uint8_t* ahead, size_t ahead_size) {
    file_ = file;
    refill_size_ = std::max<size_t>(refill_size, 1);
    limit_ = limit;
    buffer_.resize(refill_size_ + kCarry);
    ahead_size = static_cast<size_t>(std::min<uint64_t>({ahead_size, refill_size_, limit}));
    if (ahead_size) std::memcpy(buffer_.data(), ahead, ahead_size);
    next_ = buffer_.data();
    end_ = next_ + ahead_size;
    bits_ = 0;
    count_ = 0;
    bytes_read_ = ahead_size;
    position_ = offset + static_cast<int64_t>(ahead_size);
    at_end_ = false;
    filler_ = 0;
}

bool BitInput::Fill() {
    if (at_end_) return false;
    size_t keep = available();
    if (keep > kCarry) return true; // still enough buffered
    std::memmove(buffer_.data(), next_, keep);
    next_ = buffer_.data();
    end_ = next_ + keep;
    size_t want = refill_size_;
    if (limit_ != kNoLimit)
        want = static_cast<size_t>(std::min<uint64_t>(want, limit_ - bytes_read_));
    long got = want ? file_->ReadAt(position_, buffer_.data() + keep, want) : 0;
    if (got <= 0) {
        at_end_ = true;
        return keep > 0;
    }
    position_ += got;
    bytes_read_ += static_cast<uint64_t>(got);
    end_ += got;
    return true;
}

void BitInput::AddByte() {
    if (next_ == end_ && !Fill()) {
        // Filler: clear any stale copies above count_ so the zeros really are zeros.
        bits_ &= (uint64_t(1) << count_) - 1;
        ++filler_;
    } else {
        bits_ |= uint64_t(*next_++) << count_;
    }
    count_ += 8;
}

bool BitInput::CopyBytes(uint8_t* out, size_t n) {
    while (n > 0 && count_ >= 8) {
        if (Exhausted()) return false;
        *out++ = static_cast<uint8_t>(bits_);
        Drop(8);
        --n;
    }
    if (Exhausted()) return false;
    // The bit buffer is now empty of whole bytes; clear stale copies so later
    // additions start clean.
    bits_ &= (uint64_t(1) << count_) - 1;
    while (n > 0) {
        if (next_ == end_ && !Fill()) return false;
        size_t k = std::min(n, available());
        std::memcpy(out, next_, k);
        out += k;
        next_ += k;
        n -= k;
    }
    return true;
}

} // namespace unzip
