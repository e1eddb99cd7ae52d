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
    std::string home_dir, version, release;
    try {
        home_dir = key.ReadString("AppDir");
        version = key.ReadString("Ver");
        release = key.ReadString("Rel");
    } catch (const platform::Error&) {
        // A value that is not text (a number someone put there by hand) was not written by
        // us: such a record tells nothing, and start-up must not end over it.
        return false;
    }
    RHomeDir = std::move(home_dir);
    RVer = std::move(version);
    RRel = std::move(release);
    return true;
}

bool InstallRecord::WriteRecord() {
    platform::RegistryKey key;
    if (!key.Create(kRoot, KeyPath())) return false;
    key.WriteString("Ver", RVer);
    key.WriteString("Rel", RRel);
    key.WriteString("AppDir", RHomeDir);
    return true;
}

void InstallRecord::DeleteRecord() {
    // A name of backslashes alone would name the base key as well.
    if (RProg.find_first_not_of('\\') == std::string::npos) return;
    platform::DeleteRegistryTree(kRoot, KeyPath());
}

} // namespace app
