// Member-name masks ("*.*", "*.TXT", "ABC*", or a whole name).
#pragma once

#include <string>

namespace unzip {

// Whether name (a member's whole stored path) matches mask. ASCII letters match
// regardless of case. A mask is one of: empty or "*.*" (everything); "*." and
// an extension, which everything after the name's first dot must equal (no
// wildcards there); a prefix mask ending in "*", which loses a ".*" ending and
// then one trailing "*" or "?", and whose rest the part of the name before its
// first dot must begin with; or a whole name ("?" is an ordinary character).
bool MatchMask(const std::string& mask, const std::string& name);

} // namespace unzip
