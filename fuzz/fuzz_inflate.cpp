// Fuzz target: the input is one byte of settings followed by a raw deflate stream.
//
// The settings byte picks how the bit input reads the stream:
//     bits 0-1  refill size: 4096 (the default), 1, 7 or 31 bytes per read, so
//               that codes straddle refills and the careful loop gets its share
//     bit 2     whether the input is limited to the stream's length, as for a
//               member whose compressed size is known, or read until it ends
//     bit 3     whether the start of the stream (one refill's worth) is handed
//               over as already read, as the engine does with the bytes it
//               reads together with the local header
// The stream is decoded with unzip::Inflater straight from a MemoryFileSystem
// file. The sink checks the window protocol (every flush but the last is a full
// 32 KiB window) and stops the stream with a write failure past kOutputLimit.
//
// When zlib is available (ORVO_FUZZ_WITH_ZLIB) it decodes the same stream
// alongside as an independent oracle: each flushed window is compared with the
// bytes zlib gives for the same stretch, and the outcomes are compared at the
// end. Our decoder accepts some streams zlib refuses, on purpose: a distance
// reaching before the start of the output (it copies zeros), a code-length
// repeat (16) as the first code (it repeats 0), incomplete distance codes, and
// 287/288 length or 31/32 distance codes in the header. So once zlib reports a
// data error, the comparison stops; every byte zlib produced before that must
// still match ours, and a stream zlib finishes must decode with us as well.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "unzip/bit_input.h"
#include "unzip/inflate.h"
#include "unzip/memory_file_system.h"
#include "unzip/result.h"

#if ORVO_FUZZ_WITH_ZLIB
#include <zlib.h>
#endif

namespace {

using namespace unzip;

constexpr uint64_t kOutputLimit = 64u << 20;
constexpr size_t kRefillSizes[4] = {BitInput::kDefaultRefill, 1, 7, 31};

#if ORVO_FUZZ_WITH_ZLIB
// zlib's raw inflate over the same stream, asked for exactly as many bytes as
// our decoder flushes.
class ZlibOracle {
  public:
    enum State { kRunning, kEnded, kDataError, kTruncated };

    ZlibOracle(const uint8_t* data, size_t size) {
        std::memset(&z_, 0, sizeof z_);
        FUZZ_CHECK(inflateInit2(&z_, -15) == Z_OK, "inflateInit2 failed");
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(size);
    }
    ~ZlibOracle() { inflateEnd(&z_); }
    ZlibOracle(const ZlibOracle&) = delete;
    ZlibOracle& operator=(const ZlibOracle&) = delete;

    State state() const { return state_; }
    uint64_t total() const { return total_; }
    const char* message() const { return z_.msg ? z_.msg : "(none)"; }

    // Decodes up to n more bytes into out; returns how many came.
    size_t Next(uint8_t* out, size_t n) {
        size_t got = 0;
        while (got < n && state_ == kRunning) {
            z_.next_out = out + got;
            z_.avail_out = static_cast<uInt>(n - got);
            int rc = inflate(&z_, Z_NO_FLUSH);
            got = n - z_.avail_out;
            if (rc == Z_STREAM_END) {
                state_ = kEnded;
            } else if (rc == Z_BUF_ERROR) {
                // Room for output is left, so zlib wants more input than there is.
                state_ = kTruncated;
            } else if (rc != Z_OK) {
                state_ = kDataError;
            }
        }
        total_ += got;
        return got;
    }

  private:
    z_stream z_;
    State state_ = kRunning;
    uint64_t total_ = 0;
};
#endif

// Counts the decoded bytes, checks the flush sizes and compares with the oracle.
class CheckingSink final : public OutputSink {
  public:
#if ORVO_FUZZ_WITH_ZLIB
    explicit CheckingSink(ZlibOracle& oracle) : oracle_(oracle), expected_(Window::kSize) {}
#endif

    bool Flush(const uint8_t* data, size_t n) override {
        static_cast<void>(data); // read only by the zlib comparison
        FUZZ_CHECK(!last_flush_, "a flush of %zu bytes after a partial window of %zu", n,
                   last_size_);
        FUZZ_CHECK(n <= Window::kSize, "a flush of %zu bytes", n);
        if (n < Window::kSize) {
            last_flush_ = true;
            last_size_ = n;
        }
        ++flushes_;
        if (n > kOutputLimit - total_) {
            cut_off_ = true;
            return false;
        }
#if ORVO_FUZZ_WITH_ZLIB
        if (oracle_.state() == ZlibOracle::kRunning || oracle_.state() == ZlibOracle::kEnded) {
            size_t got = oracle_.Next(expected_.data(), n);
            // Bytes zlib produced are right whatever comes after them.
            for (size_t i = 0; i < got; ++i)
                FUZZ_CHECK(data[i] == expected_[i], "output byte %llu is 0x%02x, zlib gives 0x%02x",
                           static_cast<unsigned long long>(total_ + i), data[i], expected_[i]);
            // zlib ended the stream while we still had output.
            FUZZ_CHECK(got == n || oracle_.state() != ZlibOracle::kEnded,
                       "our output goes on past byte %llu, where zlib's stream ends",
                       static_cast<unsigned long long>(total_ + got));
        }
#endif
        total_ += n;
        return true;
    }

    uint64_t total() const {
        return total_;
    }
    bool cut_off() const {
        return cut_off_;
    }
    bool ended_with_partial_window() const {
        return last_flush_;
    }

  private:
#if ORVO_FUZZ_WITH_ZLIB
    ZlibOracle& oracle_;
    std::vector<uint8_t> expected_;
#endif
    uint64_t total_ = 0;
    size_t flushes_ = 0;
    size_t last_size_ = 0;
    bool last_flush_ = false; // a partial window came: the stream must be over
    bool cut_off_ = false;    // the output limit was reached
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t settings = data[0];
    const size_t refill = kRefillSizes[settings & 3];
    const bool limited = (settings & 4) != 0;
    const bool read_ahead = (settings & 8) != 0;
    const uint8_t* stream = data + 1;
    const size_t stream_size = size - 1;

    MemoryFileSystem fs;
    fs.Put("stream", std::vector<uint8_t>(stream, stream + stream_size));
    std::unique_ptr<InputFile> file = fs.OpenRead("stream");
    BitInput in;
    const size_t ahead = read_ahead ? std::min(refill, stream_size) : 0;
    in.Begin(file.get(), 0, refill, limited ? stream_size : BitInput::kNoLimit, stream, ahead);
    auto window = std::make_unique<Window>();
    window->Reset();
    Inflater inflater;

#if ORVO_FUZZ_WITH_ZLIB
    ZlibOracle oracle(stream, stream_size);
    CheckingSink sink(oracle);
#else
    CheckingSink sink;
#endif
    const int32_t rc = inflater.Run(in, *window, sink);

    FUZZ_CHECK(rc == ResultOk || rc == ResultReadError || rc == ResultArchiveError ||
                   rc == ResultWriteError,
               "Run returned %d", static_cast<int>(rc));
    FUZZ_CHECK(rc != ResultWriteError || sink.cut_off(), "a write failure the sink did not cause");
    FUZZ_CHECK(in.bytes_read() <= stream_size, "read %llu bytes of a %zu-byte stream",
               static_cast<unsigned long long>(in.bytes_read()), stream_size);
    if (rc == ResultOk) {
        // The last flush is made even when it is empty, and only it is partial.
        FUZZ_CHECK(sink.ended_with_partial_window(), "the stream ended without its final flush");
        FUZZ_CHECK(!in.Exhausted(), "a successful stream used filler bits");
    }

#if ORVO_FUZZ_WITH_ZLIB
    if (rc == ResultOk) {
        if (oracle.state() == ZlibOracle::kRunning) {
            // zlib must end here too, without further output.
            uint8_t extra[1];
            size_t got = oracle.Next(extra, sizeof extra);
            FUZZ_CHECK(got == 0, "zlib gives more than our %llu bytes",
                       static_cast<unsigned long long>(sink.total()));
        }
        FUZZ_CHECK(oracle.state() != ZlibOracle::kTruncated,
                   "we decoded %llu bytes where zlib wants more input",
                   static_cast<unsigned long long>(sink.total()));
        if (oracle.state() == ZlibOracle::kEnded)
            FUZZ_CHECK(oracle.total() == sink.total(), "zlib decodes %llu bytes, we %llu",
                       static_cast<unsigned long long>(oracle.total()),
                       static_cast<unsigned long long>(sink.total()));
    } else if (rc != ResultWriteError && oracle.state() != ZlibOracle::kDataError &&
               oracle.state() != ZlibOracle::kTruncated) {
        // We failed: zlib must fail on the rest too (within the same output limit).
        std::vector<uint8_t> scratch(Window::kSize);
        uint64_t budget = kOutputLimit;
        while (oracle.state() == ZlibOracle::kRunning && budget > 0) {
            size_t got = oracle.Next(scratch.data(), scratch.size());
            budget -= got < budget ? got : budget;
        }
        FUZZ_CHECK(oracle.state() != ZlibOracle::kEnded,
                   "we fail with %s after %llu bytes, zlib decodes the stream (%llu bytes)",
                   ResultName(rc), static_cast<unsigned long long>(sink.total()),
                   static_cast<unsigned long long>(oracle.total()));
    }
#endif
    return 0;
}
