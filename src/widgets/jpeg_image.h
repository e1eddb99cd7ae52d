// Decoding of the JPEG side pictures with libjpeg: the whole picture at full scale into 24-bit
// RGB, with the accurate integer inverse DCT and block smoothing. Portable; the UI turns the
// result into a bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace widgets {

struct JpegImage {
    int width = 0;
    int height = 0;
    int components = 0; // colour components in the stream (3 for a colour picture)
    bool progressive = false;
    std::vector<std::uint8_t> rgb; // top-down rows of width * 3 bytes: red, green, blue
};

// Corrupt, truncated or unsupported data. The message is libjpeg's own text.
class JpegError : public std::runtime_error {
  public:
    explicit JpegError(const std::string& message) : std::runtime_error(message) {}
};

// Decodes a whole JPEG stream. Any damage libjpeg notices, even one it could paper over with
// grey blocks, is an error: a picture of ours is never shown half broken.
JpegImage DecodeJpeg(const void* data, std::size_t size);

} // namespace widgets
