// Explode: the decoder of imploded members (method 6), sliding-window
// compression with Shannon-Fano coded literals, lengths and distances.
#pragma once

#include <cstdint>
#include <memory>

#include "unzip/bit_input.h"
#include "unzip/window.h"

namespace unzip {

class Exploder {
  public:
    Exploder();
    ~Exploder();
    Exploder(const Exploder&) = delete;
    Exploder& operator=(const Exploder&) = delete;

    // Decodes one imploded member from in, through window, into sink. `flags`
    // are the member's general purpose flags (bit 1: 8 KiB window, bit 2: a
    // literal tree); decoding stops once `size` bytes are out, after the match
    // that reaches it. The window's history must be cleared first. Returns
    // ResultOk, ResultWriteError, ResultReadError or ResultArchiveError.
    int32_t Run(BitInput& in, Window& window, OutputSink& sink, uint16_t flags,
                uint64_t compressed_size, uint64_t size);

    struct Tables;

  private:
    std::unique_ptr<Tables> tables_;
};

} // namespace unzip
