// Fuzz target: unshrink. The input is one settings byte and the shrunk stream.
//     bits 0-1  refill size; bit 2: the start is handed over as read ahead
// The stream is decoded with unzip::Unshrinker and with the reference below, a
// plain transcription of the method: a code table of (prefix, suffix) pairs
// with an explicit free list, strings built front to back by recursion, and a
// partial clear that first collects the parents in a set. Both must agree on
// the result and, on success, on every byte; the decoder must also flush in
// 767-byte blocks.
#include <set>

#include "legacy_fuzz.h"
#include "unzip/result.h"
#include "unzip/unshrink.h"

namespace {

using namespace legacy_fuzz;
using namespace unzip;

class ReferenceUnshrink {
  public:
    int32_t Run(const uint8_t* data, size_t size, Bytes* out) {
        if (size == 0) return ResultOk;
        for (int c = 257; c <= 8192; ++c) entry_[c] = {-(c + 1), 0};
        uint64_t at = 0;
        auto code = [&](unsigned n) {
            uint32_t v = 0;
            for (unsigned i = 0; i < n; ++i, ++at)
                if (at / 8 < size) v |= uint32_t((data[at / 8] >> (at % 8)) & 1) << i;
            return v;
        };
        if (size * 8 < 9) return ResultReadError;
        unsigned width = 9;
        uint32_t previous = code(9);
        uint8_t first = static_cast<uint8_t>(previous);
        out->push_back(first);
        // Signed: a control code's second value may reach past the end, which
        // is the end of the input.
        while (int64_t(size) * 8 - int64_t(at) >= int64_t(width)) {
            const uint32_t c = code(width);
            if (c == 256) {
                const uint32_t what = code(width);
                if (at > uint64_t(size) * 8) return ResultReadError;
                if (what == 1 && width < 13) {
                    ++width;
                } else if (what == 2) {
                    Clear();
                } else {
                    return ResultArchiveError;
                }
                continue;
            }
            Bytes string;
            bool ok;
            if (c >= 257 && entry_[c].prefix < 0) {
                ok = Expand(previous, 0, &string);
                string.push_back(first);
            } else {
                ok = Expand(c, 0, &string);
            }
            if (!ok || string.size() > 8193) return ResultArchiveError;
            first = string[0];
            out->insert(out->end(), string.begin(), string.end());
            if (head_ <= 8192) {
                const int h = head_;
                head_ = -entry_[h].prefix;
                entry_[h] = {int32_t(previous), first};
            }
            previous = c;
        }
        return ResultOk;
    }

  private:
    struct Entry {
        int32_t prefix;
        uint8_t suffix;
    };

    // The string of a code, first byte first; false for a chain through a free
    // code or one deeper than any string can be.
    bool Expand(uint32_t c, unsigned depth, Bytes* string) {
        if (c <= 256) {
            string->push_back(static_cast<uint8_t>(c));
            return true;
        }
        if (depth > 8192 || entry_[c].prefix < 0) return false;
        if (!Expand(static_cast<uint32_t>(entry_[c].prefix), depth + 1, string)) return false;
        string->push_back(entry_[c].suffix);
        return true;
    }

    void Clear() {
        // Codes below the head that are some other such code's prefix stay; the
        // rest, and free codes, make the new free list ahead of the old one.
        std::set<int32_t> parents;
        for (int c = 257; c < head_; ++c)
            if (entry_[c].prefix > 256) parents.insert(entry_[c].prefix);
        std::vector<int> freed;
        for (int c = 257; c < head_; ++c)
            if (entry_[c].prefix < 0 || !parents.count(c)) freed.push_back(c);
        if (freed.empty()) return;
        freed.push_back(head_);
        for (size_t i = 0; i + 1 < freed.size(); ++i) entry_[freed[i]].prefix = -freed[i + 1];
        head_ = freed[0];
    }

    Entry entry_[8193];
    int head_ = 257;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t* stream = data + 1;
    const size_t stream_size = size - 1;

    StreamInput input(stream, stream_size, data[0] & 3, data[0] & 4);
    KeepingSink sink(767);
    Unshrinker unshrinker;
    const int32_t rc = unshrinker.Run(input.in, static_cast<uint32_t>(stream_size), sink);

    Bytes expected;
    auto reference = std::make_unique<ReferenceUnshrink>();
    const int32_t expected_rc = reference->Run(stream, stream_size, &expected);
    CheckAgainstReference(rc, expected_rc, input, stream_size, sink, expected);
    return 0;
}
