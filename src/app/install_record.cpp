#include "app/install_record.h"

#include <algorithm>
#include <utility>

#include "platform/error.h"
#include "platform/registry.h"

namespace app {
bool InstallRecord::ReadRecord() {
    platform::RegistryKey key;
    if (!key.Open(root, KeyPath())) return false;
    std::string read_folder, read_version, read_release, read_manifest, read_digest;
    try {
        read_folder = key.ReadString("AppDir");
        read_version = key.ReadString("Ver");
        read_release = key.ReadString("Rel");
        read_manifest = key.ReadString("Manifest");
        read_digest = key.ReadString("ManifestDigest");
    } catch (const platform::Error&) {
        // A value that is not text (a number someone put there by hand) was not written by
        // us: such a record tells nothing, and start-up must not end over it.
        return false;
    }
    folder = std::move(read_folder);
    version = std::move(read_version);
    release = std::move(read_release);
    manifest = std::move(read_manifest);
    manifest_digest = std::move(read_digest);
    return true;
}

bool InstallRecord::WriteRecord() {
    platform::RegistryKey key;
    if (!key.Create(root, KeyPath()) || !key.WriteString("Ver", version) ||
        !key.WriteString("Rel", release) || !key.WriteString("AppDir", folder))
        return false;
    // None before a completed run.
    return manifest.empty() || (key.WriteString("Manifest", manifest) &&
                                key.WriteString("ManifestDigest", manifest_digest));
}

namespace {

int ComparePart(const std::string& a, const std::string& b) {
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (digits(a) && digits(b)) {
        const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
        const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
        if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
        return x.compare(y);
    }
    return a.compare(b);
}

} // namespace

int CompareVersions(const std::string& ver_a, const std::string& rel_a, const std::string& ver_b,
                    const std::string& rel_b) {
    const int versions = ComparePart(ver_a, ver_b);
    return versions != 0 ? versions : ComparePart(rel_a, rel_b);
}

void InstallRecord::DeleteRecord() {
    // A name of backslashes alone would name the base key as well.
    if (product_key.find_first_not_of('\\') == std::string::npos) return;
    (void)platform::DeleteRegistryTree(root, KeyPath()); // a record already gone is no failure
}

} // namespace app
