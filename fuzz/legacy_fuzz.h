// What the shrink and implode fuzz targets share: reading the stream through
// the engine's bit input the way a member is read, and a sink that keeps the
// output and checks the flush sizes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "unzip/bit_input.h"
#include "unzip/memory_file_system.h"
#include "unzip/result.h"
#include "unzip/window.h"

namespace legacy_fuzz {

using Bytes = std::vector<uint8_t>;

// Refill sizes a settings value picks from: the default, and small ones that
// make codes straddle refills.
constexpr size_t kRefillSizes[4] = {unzip::BitInput::kDefaultRefill, 1, 7, 31};

// The stream as a file, read as the engine reads a member: limited to its
// compressed size, with the first refill's worth handed over as already read
// when `read_ahead` is set.
struct StreamInput {
    StreamInput(const uint8_t* stream, size_t size, unsigned refill_choice, bool read_ahead) {
        fs.Put("member", Bytes(stream, stream + size));
        file = fs.OpenRead("member");
        const size_t refill = kRefillSizes[refill_choice & 3];
        in.Begin(file.get(), 0, refill, size, stream, read_ahead ? std::min(refill, size) : 0);
    }
    unzip::MemoryFileSystem fs;
    std::unique_ptr<unzip::InputFile> file;
    unzip::BitInput in;
};

// Keeps what is flushed. Every flush but the last must be `block` bytes.
class KeepingSink final : public unzip::OutputSink {
  public:
    explicit KeepingSink(size_t block) : block_(block) {}
    bool Flush(const uint8_t* data, size_t n) override {
        FUZZ_CHECK(!ended_, "a flush of %zu bytes after the partial one", n);
        FUZZ_CHECK(n <= block_, "a flush of %zu bytes, more than %zu", n, block_);
        ended_ = n < block_;
        output.insert(output.end(), data, data + n);
        return true;
    }
    bool ended() const { return ended_; }
    Bytes output;

  private:
    size_t block_;
    bool ended_ = false;
};

// The decoder and the reference agree on the result; on success on every byte,
// on failure the decoder's output is a beginning of the reference's. The
// decoder never reads past the stream.
inline void CheckAgainstReference(int32_t rc, int32_t expected_rc, const StreamInput& input,
                                  size_t stream_size, const KeepingSink& sink,
                                  const Bytes& expected) {
    FUZZ_CHECK(rc == expected_rc, "Run returned %s, the reference %s", unzip::ResultName(rc),
               unzip::ResultName(expected_rc));
    FUZZ_CHECK(input.in.bytes_read() <= stream_size, "read past the stream");
    const Bytes& ours = sink.output;
    if (rc == unzip::ResultOk) {
        FUZZ_CHECK(sink.ended(), "no final flush");
        FUZZ_CHECK(ours == expected, "%zu bytes out, the reference gives %zu", ours.size(),
                   expected.size());
    } else {
        FUZZ_CHECK(ours.size() <= expected.size(), "%zu bytes out, the reference made %zu",
                   ours.size(), expected.size());
        FUZZ_CHECK(std::equal(ours.begin(), ours.end(), expected.begin()),
                   "the output differs from the reference's");
    }
}

} // namespace legacy_fuzz
