// SHA-256 (FIPS 180-4), for checking decoded output against published digests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ziptest {

// The digest of n bytes as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const uint8_t* data, size_t n);

} // namespace ziptest
