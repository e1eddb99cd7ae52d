// The package carried inside one program: the stub's own bytes, then each package file's bytes,
// then an index of the files and a fixed trailer at the very end, where the stub finds it
// without knowing its own size. Read and written here, so the stub and the tool that appends
// the package agree on one layout.
//
//   stub | data of file 1 | ... | data of file n | index | trailer
//   index:   per file: name length (u16), name (UTF-8), size (u64), CRC-32 (u32)
//   trailer: offset of file 1's data (u64), index length (u32), file count (u32), "ORVOSFX1"
// All numbers little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "unzip/file_system.h"

namespace sfx {

struct BundledFile {
    std::string name;    // a plain file name: the files land side by side in one folder
    uint64_t offset = 0; // of its data, from the start of the program
    uint64_t size = 0;
    uint32_t crc = 0;
};

enum class BundleStatus {
    kOk,
    kNoBundle,  // the program carries no package (no trailer)
    kDamaged,   // a trailer, but the index or the sizes do not fit the file: a cut download
    kReadError, // the program file could not be read
    kCrcError,  // a file's bytes are not the ones bundled
    kWriteError // a file could not be written where it was to go
};

// The package files a program carries, checked against its size; names that are not plain
// file names, or that repeat, count as damage.
BundleStatus ReadBundleIndex(unzip::InputFile& program, std::vector<BundledFile>& files);

// Writes each bundled file into `folder` under its name and checks its CRC as it goes. A file
// that fails is not left behind; files already written are, for the caller to remove.
BundleStatus UnpackBundle(unzip::InputFile& program, const std::vector<BundledFile>& files,
                          unzip::FileSystem& fs, const std::string& folder,
                          std::string* failed_name = nullptr);

struct FileToBundle {
    std::string name; // as it will be unpacked
    std::string path; // where it is read from now
};

// Writes `output` as the stub followed by the files, index and trailer. The output appears
// only when complete. Returns an empty string, or what went wrong (naming the file).
std::string WriteBundle(unzip::FileSystem& fs, const std::string& stub_path,
                        const std::vector<FileToBundle>& files, const std::string& output);

} // namespace sfx
