// The installation record: one key per product under HKEY_CURRENT_USER, with the
// installation folder, version and release as string values.
#pragma once

#include <string>

#include "platform/registry.h"

namespace app {

class InstallRecord {
  public:
    // The user's own for an installation of one user, the machine's for all of its users.
    platform::RegistryRoot root = platform::RegistryRoot::CurrentUser;
    std::string base_key = "\\software\\Orvo"; // base key; the product's key lies below it
    std::string product_key;                   // name of the product's key
    std::string folder;                        // installation folder, "AppDir"
    std::string version;                       // version, "Ver"
    std::string release;                       // release, "Rel"
    std::string manifest;                      // the installation's manifest, "Manifest"
    // SHA-256 of the manifest, "ManifestDigest": the folder may be another user's to change,
    // this key is not, so a manifest that no longer matches is not followed.
    std::string manifest_digest;

    // Loads the four values when the record key exists (a missing value reads as
    // empty); otherwise leaves them alone and returns false. A record with a value that
    // is not a string counts as none. Never creates the key.
    bool ReadRecord();
    // Stores "Ver", "Rel", "AppDir", "Manifest" and "ManifestDigest" (the last two when there is
    // a manifest), creating the key and its parents. False when the key cannot be created or
    // a value is refused; what was written before stays.
    bool WriteRecord();
    // Deletes the record key with everything below it. Without a product key name
    // nothing is deleted: never the base key.
    void DeleteRecord();

    std::string KeyPath() const { return base_key + "\\" + product_key; }
};

// Orders two versions given as the record holds them (Ver, Rel): negative, zero or positive as
// a is older, the same or newer. Parts of digits compare as numbers ("10" after "9"), others
// as text.
int CompareVersions(const std::string& ver_a, const std::string& rel_a, const std::string& ver_b,
                    const std::string& rel_b);

} // namespace app
