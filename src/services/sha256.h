// SHA-256 of a text: what ties a file the installation wrote to the record that names it. A
// file another user can change but the record (the user's own registry) cannot be changed
// with it, so a digest kept in the record shows any change.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace services {

class Sha256 {
  public:
    Sha256();
    void Update(std::string_view bytes);
    // The digest of everything given; the object is spent afterwards.
    std::array<uint8_t, 32> Finish();
    // The same as 64 lowercase hexadecimal digits.
    std::string FinishHex();

  private:
    void Block(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> pending_{};
    size_t pending_size_ = 0;
    uint64_t total_ = 0;
};

// The digest of `bytes` as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

} // namespace services
