#include "app/install_record.h"

#include "platform/registry.h"

namespace app {
namespace {
constexpr auto kRoot = platform::RegistryRoot::CurrentUser;
} // namespace

bool InstallRecord::ReadRecord() {
    platform::RegistryKey key;
    if (!key.Open(kRoot, KeyPath())) return false;
    RHomeDir = key.ReadString("AppDir");
    RVer = key.ReadString("Ver");
    RRel = key.ReadString("Rel");
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
