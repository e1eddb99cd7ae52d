// Whether the manifest an installation record names is that installation's own: the record
// (in the user's registry, which nobody else may write) keeps its digest, the manifest lies
// in a folder others may be able to write.
#pragma once

#include <vector>

#include "app/install_record.h"
#include "app/journal.h"

namespace app {

enum class ManifestProof {
    kNone,     // the record names none: an installation of an early release
    kUnsealed, // it is there, but the record keeps no digest (a release before digests)
    kProven,   // it matches the digest the record keeps
    kBroken,   // named but missing, unreadable, no manifest, or changed since it was written
};

// Reads the manifest the record names where the installation put it (setup.lst in the
// recorded folder); `entries` gets its lines when it is kUnsealed or kProven, else nothing.
ManifestProof ReadRecordedManifest(const InstallRecord& record,
                                   std::vector<Journal::Entry>& entries);

// The manifest text and its digest, as a record seals it.
std::string ManifestDigest(const std::string& manifest_text);

} // namespace app
