#include "app/install_record.h"

#include <utility>

#include "platform/error.h"
#include "platform/registry.h"

namespace app {
namespace {
constexpr auto kRoot = platform::RegistryRoot::CurrentUser;
} // namespace

bool InstallRecord::ReadRecord() {
    platform::RegistryKey key;
    if (!key.Open(kRoot, KeyPath())) return false;
    std::string read_folder, read_version, read_release, read_manifest;
    try {
        read_folder = key.ReadString("AppDir");
        read_version = key.ReadString("Ver");
        read_release = key.ReadString("Rel");
        read_manifest = key.ReadString("Manifest");
    } catch (const platform::Error&) {
        // A value that is not text (a number someone put there by hand) was not written by
        // us: such a record tells nothing, and start-up must not end over it.
        return false;
    }
    folder = std::move(read_folder);
    version = std::move(read_version);
    release = std::move(read_release);
    manifest = std::move(read_manifest);
    return true;
}

bool InstallRecord::WriteRecord() {
    platform::RegistryKey key;
    if (!key.Create(kRoot, KeyPath())) return false;
    key.WriteString("Ver", version);
    key.WriteString("Rel", release);
    key.WriteString("AppDir", folder);
    if (!manifest.empty()) key.WriteString("Manifest", manifest); // none before a completed run
    return true;
}

void InstallRecord::DeleteRecord() {
    // A name of backslashes alone would name the base key as well.
    if (product_key.find_first_not_of('\\') == std::string::npos) return;
    (void)platform::DeleteRegistryTree(kRoot, KeyPath()); // a record already gone is no failure
}

} // namespace app
