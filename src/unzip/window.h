// The output side shared by the decoders that keep a sliding window (inflate,
// explode): the sink that receives each full window and the window itself.
#pragma once

#include <cstdint>
#include <cstring>

namespace unzip {

// Receives the decoded output: one call per full 32 KiB window and one for
// the rest at the end of the stream.
class OutputSink {
  public:
    virtual ~OutputSink() = default;
    virtual bool Flush(const uint8_t* data, size_t n) = 0;
};

// The sliding window. Output is decoded behind 32 KiB of history so that every
// match source lies below the write position in one flat buffer: a match never
// wraps and may be copied in whole words. After each flush the newest 32 KiB
// move down to become the history of the next window. The history starts out
// zero, which is what a match reaching before the start of the output copies.
struct Window {
    static constexpr size_t kSize = 32768;
    // Slack past the window end for the word copies of CopyMatch.
    static constexpr size_t kSlack = 320;
    uint8_t bytes[2 * kSize + kSlack];
    // Whether the history holds output of an earlier stream. Most members are
    // smaller than one window and never slide, so clearing is usually skipped.
    bool history_used = true;

    uint8_t* begin() { return bytes + kSize; }
    uint8_t* end() { return bytes + 2 * kSize; }
    // Clears the history: matches reaching before the start of a stream copy zeros.
    void Reset() {
        if (history_used) std::memset(bytes, 0, kSize);
        history_used = false;
    }
    // Hands the full window to the sink and makes it the new history.
    bool Slide(OutputSink& sink) {
        if (!sink.Flush(begin(), kSize)) return false;
        std::memcpy(bytes, begin(), kSize);
        history_used = true;
        return true;
    }
};

// Copies a match of `length` bytes from `distance` bytes back and returns the
// new write position. Overlapping matches repeat their pattern. It writes up
// to 15 bytes past the match, so the caller keeps length + 15 bytes of room.
inline uint8_t* CopyMatch(uint8_t* out, uint32_t distance, uint32_t length) {
    const uint8_t* src = out - distance;
    uint8_t* const stop = out + length;
    if (distance >= 8) {
        // Two words per round; each copy reads only bytes already written.
        do {
            std::memcpy(out, src, 8);
            std::memcpy(out + 8, src + 8, 8);
            out += 16;
            src += 16;
        } while (out < stop);
    } else if (distance == 1) {
        std::memset(out, *src, length);
    } else {
        do *out++ = *src++;
        while (out < stop);
    }
    return stop;
}

// Copies a match one byte at a time, sliding the window whenever it fills, so
// the window is flushed exactly when full. False when a flush fails.
inline bool CopyMatchCarefully(Window& window, OutputSink& sink, uint8_t*& out, uint32_t distance,
                               uint32_t length) {
    while (length--) {
        *out = *(out - distance);
        if (++out == window.end()) {
            if (!window.Slide(sink)) return false;
            out = window.begin();
        }
    }
    return true;
}

// Stores one byte, sliding the window when it fills. False when a flush fails.
inline bool PutByte(Window& window, OutputSink& sink, uint8_t*& out, uint8_t byte) {
    *out++ = byte;
    if (out != window.end()) return true;
    if (!window.Slide(sink)) return false;
    out = window.begin();
    return true;
}

} // namespace unzip
