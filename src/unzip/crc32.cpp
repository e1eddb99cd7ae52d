// Slicing-by-8: eight tables let the loop fold eight input bytes per step with
// independent lookups instead of a serial chain of eight, which is what makes
// the CRC cheap next to decoding. Table k maps a byte to the CRC contribution of
// that byte followed by k zero bytes.
//
// On x86-64 processors with carry-less multiplication the bulk of a buffer is
// folded 64 bytes per step instead: four 128-bit accumulators each hold a part
// of the message polynomial, and multiplying an accumulator by x^512 mod P (or
// x^128 mod P when merging them) moves it forward over the data that follows.
// What is left, one 128-bit accumulator, is itself a 16-byte message with the
// same CRC, which the table loop finishes.
#include "unzip/crc32.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORVO_CRC_CLMUL 1
#endif

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

uint32_t Crc32Tables(uint32_t reg, const uint8_t* p, size_t n) {
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

#ifdef ORVO_CRC_CLMUL
// Folding constants: the low and high halves hold x^(d+32) mod P and
// x^(d-32) mod P for a folding distance d of 512 bits (four accumulators) and
// of 128 bits (one), bit-reflected and shifted left by one because the product
// of two reflected values comes out one bit short. Derived with:
//   P=0x104C11DB7; xmod(n): r=1, n times {r<<=1; if r>>32: r^=P}
//   constant = reflect32(xmod(d+32)) << 1, and likewise for d-32.
#define ORVO_CLMUL_TARGET __attribute__((target("pclmul,sse2")))

ORVO_CLMUL_TARGET inline __m128i load(const uint8_t* q) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

ORVO_CLMUL_TARGET inline __m128i fold(__m128i acc, __m128i k, __m128i next) {
    __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

ORVO_CLMUL_TARGET uint32_t Crc32Folding(uint32_t reg, const uint8_t* p, size_t n, size_t* used) {
    const __m128i k512 = _mm_set_epi64x(0x1C6E41596LL, 0x154442BD4LL);
    const __m128i k128 = _mm_set_epi64x(0x0CCAA009ELL, 0x1751997D0LL);
    __m128i a0 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i a1 = load(p + 16), a2 = load(p + 32), a3 = load(p + 48);
    size_t i = 64;
    for (; n - i >= 64; i += 64) {
        a0 = fold(a0, k512, load(p + i));
        a1 = fold(a1, k512, load(p + i + 16));
        a2 = fold(a2, k512, load(p + i + 32));
        a3 = fold(a3, k512, load(p + i + 48));
    }
    a0 = fold(a0, k128, a1);
    a0 = fold(a0, k128, a2);
    a0 = fold(a0, k128, a3);
    for (; n - i >= 16; i += 16) a0 = fold(a0, k128, load(p + i));
    uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), a0);
    *used = i;
    return Crc32Tables(0, rest, 16);
}

bool HaveClmul() {
    static const bool have = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return have;
}
#endif

} // namespace

uint32_t Crc32Update(uint32_t reg, const uint8_t* p, size_t n) {
#ifdef ORVO_CRC_CLMUL
    // Below a few hundred bytes the table loop is as quick.
    if (n >= 256 && HaveClmul()) {
        size_t used = 0;
        reg = Crc32Folding(reg, p, n, &used);
        p += used;
        n -= used;
    }
#endif
    return Crc32Tables(reg, p, n);
}

} // namespace unzip
