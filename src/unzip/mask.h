// Member-name masks ("*.*", "*.TXT", "ABC*", or a whole name).
#pragma once

#include <string>

namespace unzip {

// Whether name (a member's whole stored path) matches mask. ASCII letters match
// regardless of case; a mask is one of: empty or "*.*" (everything), "*." and an
// extension (everything after the name's first dot must equal it), a prefix
// ending in "*" (or ".*"; a "?" or "*" just before the star is dropped) that the
// part before the name's first dot must begin with, or a whole name.
bool MatchMask(const std::string& mask, const std::string& name);

} // namespace unzip
