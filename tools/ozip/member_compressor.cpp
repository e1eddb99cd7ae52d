#include "member_compressor.h"

#include <libdeflate.h>

#include <new>
#include <utility>

#include "unzip/zip_format.h"

namespace ozip {

MemberCompressor::MemberCompressor(int level) {
    if (level == kFastestLevel) return;
    compressor_ = libdeflate_alloc_compressor(level);
    if (!compressor_) throw std::bad_alloc();
}

MemberCompressor::~MemberCompressor() {
    libdeflate_free_compressor(compressor_);
}

PackedData MemberCompressor::Pack(Bytes content) const {
    PackedData packed;
    packed.crc = Crc32(0, content.data(), content.size());
    if (compressor_ && content.size() > 1) {
        // Room for one byte less than the content: libdeflate gives up (returns 0) when the
        // deflated form would not be smaller, and the member is stored.
        Bytes deflated(content.size() - 1);
        const size_t size = libdeflate_deflate_compress(compressor_, content.data(), content.size(),
                                                        deflated.data(), deflated.size());
        if (size != 0) {
            deflated.resize(size);
            packed.method = unzip::kMethodDeflated;
            packed.data = std::move(deflated);
            return packed;
        }
    }
    packed.method = unzip::kMethodStored;
    packed.data = std::move(content);
    return packed;
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
    return libdeflate_crc32(crc, data, size);
}

} // namespace ozip
