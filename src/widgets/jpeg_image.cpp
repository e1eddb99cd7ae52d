#include "widgets/jpeg_image.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared first

#include <jpeglib.h>

namespace widgets {
namespace {

// Larger pictures than any of ours are refused before their buffer is allocated.
constexpr unsigned long long kMaxPixels = 16ull * 1024 * 1024;

// libjpeg reports errors through a callback that must not return; it jumps back to the
// decoder's setjmp instead of exiting the process, carrying the message along.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
    bool warned;
};

void OnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->resume, 1);
}

// Warnings (level -1) mean corrupt data that libjpeg would patch over; keep the first text.
// Trace messages (levels above 0) are ignored, and nothing goes to stderr.
void OnMessage(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !errors->warned) {
        info->err->format_message(info, errors->message);
        errors->warned = true;
    }
}

// The libjpeg part, free of C++ objects with destructors between setjmp and any longjmp, so
// that jumping back skips nothing that needed cleaning up. Returns false with errors->message
// set on failure; `out` may then hold a partial picture.
bool Decode(const unsigned char* data, unsigned long size, ErrorManager* errors, JpegImage* out) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors->base);
    errors->base.error_exit = OnError;
    errors->base.emit_message = OnMessage;
    errors->warned = false;
    errors->message[0] = '\0';
    if (setjmp(errors->resume) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);

    info.out_color_space = JCS_RGB;
    info.dct_method = JDCT_ISLOW;
    info.do_block_smoothing = TRUE;
    info.scale_num = 1;
    info.scale_denom = 1;
    info.buffered_image = FALSE;
    if (static_cast<unsigned long long>(info.image_width) * info.image_height > kMaxPixels) {
        std::snprintf(errors->message, sizeof errors->message, "JPEG picture too large: %ux%u",
                      info.image_width, info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);

    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    out->components = info.num_components;
    out->progressive = info.progressive_mode != FALSE;
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
    // Allocated before any row is read, so a bad_alloc never has to cross libjpeg's frames.
    try {
        out->rgb.resize(stride * info.output_height);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->rgb.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return !errors->warned;
}

} // namespace

JpegImage DecodeJpeg(const void* data, std::size_t size) {
    // jpeg_mem_src takes an unsigned long, which is 32 bits on Windows.
    if (size == 0 || size > 0x7fffffffu) throw JpegError("no JPEG data or too much of it");
    ErrorManager errors;
    JpegImage image;
    if (!Decode(static_cast<const unsigned char*>(data), static_cast<unsigned long>(size), &errors,
                &image)) {
        throw JpegError(errors.message[0] != '\0' ? errors.message : "JPEG decoding failed");
    }
    return image;
}

} // namespace widgets
