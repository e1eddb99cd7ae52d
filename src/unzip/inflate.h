// Deflate decoder (method 8) writing through the 32 KiB output window.
#pragma once

#include <cstdint>
#include <memory>

#include "unzip/bit_input.h"
#include "unzip/window.h"

namespace unzip {

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
