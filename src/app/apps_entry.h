// The product's entry in the system's list of installed programs (Settings > Apps, the
// Control Panel's Programs and Features): the user's own, under HKEY_CURRENT_USER, written
// with the record when a run completes and removed with it by the uninstall.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace app {

struct AppsEntry {
    // The list's key; the product's entry is a key below it named as its record.
    static constexpr const char* kListKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

    // The user's list, or the machine's for an installation of all its users.
    platform::RegistryRoot root = platform::RegistryRoot::CurrentUser;
    std::string list_key = kListKey;
    std::string product_key; // progreg
    std::string display_name;
    std::string display_version;
    std::string publisher;
    std::string install_location;
    std::string uninstaller; // the installed setup.exe
    std::string display_icon;
    uint32_t size_kb = 0;
    std::string install_date; // yyyymmdd

    std::string KeyPath() const { return list_key + "\\" + product_key; }
    // The machine's entry names the installation for all users, which the user's own record of
    // the product (should there be one) would otherwise take the place of.
    std::string ScopeOption() const {
        return root == platform::RegistryRoot::LocalMachine ? " /ALLUSERS" : "";
    }
    // False when the key or one of its values could not be written.
    [[nodiscard]] bool Write() const;
    // Removes the product's key; true when it is gone (also when it never was there).
    [[nodiscard]] bool Remove() const;
    // The program the entry under the product's key starts to uninstall (its UninstallString
    // without quotes and options), empty when it names none; nothing when there is no entry.
    // An entry is this installer's when that is an installation's setup.exe of this product.
    std::optional<std::string> ListedUninstaller() const;
};

} // namespace app
