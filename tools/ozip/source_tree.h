// The files and folders of a product's folder as members of its archive: names relative to
// the folder, sizes, and modification times as the DOS stamps the engine restores.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ozip {

struct SourceEntry {
    std::string name; // UTF-8, "/" between levels; a folder's ends in "/"
    std::string path; // to open it, UTF-8
    bool folder = false;
    uint64_t size = 0;
    uint32_t dos_time = 0;
};

// Every file below `root` and every folder with nothing in it, sorted by name, so that the same
// folder always gives the same member order. Throws std::runtime_error for what cannot be read
// or is neither a file nor a folder (a device, a link to a folder).
std::vector<SourceEntry> ListSourceTree(const std::string& root);

// The modification time of a file or folder as a local-time DOS stamp, as the engine sets it
// back on extraction: seconds rounded down to even, years clamped to 1980..2107.
uint32_t DosTimeOf(const std::string& path);

} // namespace ozip
