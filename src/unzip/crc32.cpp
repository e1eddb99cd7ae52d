// Slicing-by-8: eight tables let the loop fold eight input bytes per step with
// independent lookups instead of a serial chain of eight, which is what makes
// the CRC cheap next to decoding. Table k maps a byte to the CRC contribution of
// that byte followed by k zero bytes.
#include "unzip/crc32.h"

#include <cstring>

namespace unzip {
namespace {

struct Tables {
    uint32_t t[8][256];
};

constexpr Tables MakeTables() {
    Tables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        tables.t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t prev = tables.t[k - 1][i];
            tables.t[k][i] = (prev >> 8) ^ tables.t[0][prev & 0xFF];
        }
    return tables;
}

constexpr Tables kTables = MakeTables();
static_assert(kTables.t[0][1] == 0x77073096u, "standard table of the ZIP polynomial");
static_assert(kTables.t[0][255] == 0x2D02EF8Du, "standard table of the ZIP polynomial");

inline uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

uint32_t Crc32Update(uint32_t reg, const uint8_t* p, size_t n) {
    const auto& t = kTables.t;
    for (; n >= 8; n -= 8, p += 8) {
        uint32_t lo = Load32(p) ^ reg;
        uint32_t hi = Load32(p + 4);
        reg = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    while (n--) reg = t[0][(reg ^ *p++) & 0xFF] ^ (reg >> 8);
    return reg;
}

} // namespace unzip
