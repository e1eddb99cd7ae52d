// The package carried inside one program: the stub's own bytes, then each package file's bytes,
// then an index of the files and a fixed trailer at the very end, where the stub finds it
// without knowing its own size. Read and written here, so the stub and the tool that appends
// the package agree on one layout.
//
//   stub | data of file 1 | ... | data of file n | index | trailer
//   index:   per file: name length (u16), name (ASCII), size (u64), CRC-32 (u32)
//   trailer: offset of file 1's data (u64), index length (u32), file count (u32),
//            CRC-32 of the index (u32), CRC-32 of the 20 trailer bytes before it (u32),
//            "ORVOSFX2"
// All numbers little-endian. Every byte after the stub is under a CRC, so a changed name or
// size is found before anything is written. "ORVOSFX" with another last character is a layout
// this reader does not know (as the earlier "ORVOSFX1", which had no CRCs): it is not read.
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
    kDamaged,   // a trailer, but of another layout, or a CRC of the trailer or index fails, or a
                // name is unusable, or the sizes do not fit the file (a cut or altered download)
    kReadError, // the program file could not be read
    kCrcError,  // a file's bytes are not the ones bundled
    kWriteError // a file could not be written where it was to go
};

// The package files a program carries, checked against its size and CRCs. A name must be a
// plain ASCII file name that Windows makes as it is written, and no two may name one file
// there (Windows ignores case); anything else counts as damage.
BundleStatus ReadBundleIndex(unzip::InputFile& program, std::vector<BundledFile>& files);

// Writes each bundled file into `folder` under its name and checks its CRC as it goes. A file
// that fails is not left behind; files already written are, for the caller to remove.
BundleStatus UnpackBundle(unzip::InputFile& program, const std::vector<BundledFile>& files,
                          unzip::FileSystem& fs, const std::string& folder,
                          std::string* failed_name = nullptr);

// The index and trailer that follow the files' data, which begins at `data_start`: `files` in
// the order their data lies (their offsets are not stored, as each follows the one before).
// Names are taken as they are; WriteBundle checks them first.
std::string BundleTail(const std::vector<BundledFile>& files, uint64_t data_start);

struct FileToBundle {
    std::string name; // as it will be unpacked
    std::string path; // where it is read from now
};

// Writes `output` as the stub followed by the files, index and trailer. The output appears
// only when complete. Returns an empty string, or what went wrong (naming the file).
std::string WriteBundle(unzip::FileSystem& fs, const std::string& stub_path,
                        const std::vector<FileToBundle>& files, const std::string& output);

} // namespace sfx
