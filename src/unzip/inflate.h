// Deflate decoder (method 8) writing through a 32 KiB output window.
#pragma once

#include <cstdint>
#include <memory>

#include "unzip/bit_input.h"

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
// move down to become the history of the next window.
struct Window {
    static constexpr size_t kSize = 32768;
    // Slack past the window lets the fast loop copy in 8-byte steps without
    // checking the end of every match: it stops 274 bytes (258 + 16) short.
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

class Inflater {
  public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Decodes one deflate stream from in, through window, into sink. The window's
    // history must be cleared first. Returns ResultOk, ResultWriteError,
    // ResultReadError or ResultArchiveError.
    int32_t Run(BitInput& in, Window& window, OutputSink& sink);

    struct Tables;

  private:
    // A decoding table and the width of its top level.
    struct CodeTable {
        const uint32_t* entries;
        unsigned bits;
    };

    int32_t StoredBlock(BitInput& in, Window& window, OutputSink& sink, uint8_t*& out);
    int32_t DynamicTables(BitInput& in);
    int32_t Codes(BitInput& in, Window& window, OutputSink& sink, uint8_t*& out, CodeTable litlen,
                  CodeTable dist);

    std::unique_ptr<Tables> tables_;
};

} // namespace unzip
