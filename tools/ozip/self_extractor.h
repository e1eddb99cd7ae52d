// One program that carries a whole package: the self-extracting stub with the package's files
// appended, for users who expect a single file to download.
#pragma once

#include <string>

namespace ozip {

// The stub that ships with ozip: orvosfx.exe beside the running ozip program.
std::string DefaultStubPath();

// Writes `output` as `stub` followed by the package files found in `package_dir` (setup.exe,
// setup.ini and orvoinst.zip, which must be there, and the optional ones that are). An existing
// `output` is replaced only when it ends as such a program does (damaged or of another layout
// included), never another file. Returns an empty string, or what went wrong.
std::string MakeSelfExtractor(const std::string& package_dir, const std::string& stub,
                              const std::string& output);

} // namespace ozip
