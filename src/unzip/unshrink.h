// Unshrink: the decoder of shrunk members (method 1), LZW with codes of 9 to
// 13 bits and partial clearing of the code table.
#pragma once

#include <cstdint>
#include <memory>

#include "unzip/bit_input.h"
#include "unzip/window.h"

namespace unzip {

class Unshrinker {
  public:
    Unshrinker();
    ~Unshrinker();
    Unshrinker(const Unshrinker&) = delete;
    Unshrinker& operator=(const Unshrinker&) = delete;

    // Decodes the compressed_size bytes of a shrunk member from in into sink,
    // 767 bytes per flush. Returns ResultOk, ResultWriteError, ResultReadError
    // (the input ends before the bits the size promises) or ResultArchiveError.
    int32_t Run(BitInput& in, uint64_t compressed_size, OutputSink& sink);

    struct State;

  private:
    std::unique_ptr<State> state_;
};

} // namespace unzip
