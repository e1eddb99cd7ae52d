// `ozip pack`: a package folder made from a product's folder. orvoinst.zip holds every file and
// every empty folder below it; setup.exe, setup.ini and the optional license.txt and short.txt
// are copied beside it. readme.txt goes into the archive, since the installer opens the copy it
// installed, never one beside setup.exe.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ozip {

// On an installer-like payload 9 makes the archive 0.2 % smaller than 6 for twice the time,
// 12 another 2 % for four times the time of 9 (README, ozip pack): 12 is for a release that
// wants the last bytes.
constexpr int kDefaultLevel = 6;

struct PackRequest {
    std::string source;        // the product's folder
    std::string package;       // the package folder made, or replaced if pack made it
    std::string settings;      // copied as setup.ini
    std::string setup_program; // copied as setup.exe
    std::string licence;       // optional (empty: none), copied as license.txt
    std::string shortcuts;     // optional, copied as short.txt
    std::string readme;        // optional, the archive's readme.txt
    int level = kDefaultLevel; // libdeflate's, 0 (store) to 12
    // Files up to this size are read whole and deflated; larger ones are stored, read in pieces.
    uint64_t whole_member_limit = uint64_t{1} << 30;
    unsigned threads = 0; // that compress at once; 0: one per processor
};

class PackError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Refuses (PackError) a request whose level is out of range, whose files are missing, or whose
// package folder lies in the product's folder. Pack checks this first; it is apart for work that
// must be refused before anything is packed.
void CheckPackRequest(const PackRequest& request);

// Writes the package and returns its folder. The package is made beside the target and moved
// into place whole: a failure throws PackError and leaves the folder as it was. A folder that
// holds anything but an earlier package made by pack is refused.
std::string Pack(const PackRequest& request);

// setup.exe in the folder of the running program; empty when there is none.
std::string SetupBesideProgram();

} // namespace ozip
