// The Windows package manager's manifest of the one program `ozip pack --sfx` makes: the
// version, installer and default-locale files of its multi-file layout (schema 1.9.0), which
// `winget install --manifest DIR` reads. It offers the program for one user (setup.exe's
// default) and for the machine (/ALLUSERS), with setup.exe's switches, its exit codes and the
// Apps list's entry it makes.
#pragma once

#include <string>
#include <vector>

namespace ozip {

struct WingetRequest {
    std::string folder;       // DIR: missing, empty or holding only the files of this manifest
    std::string identifier;   // PackageIdentifier, Publisher.Product
    std::string url;          // InstallerUrl: where the package manager downloads the program
    std::string locale;       // of the texts below; empty: en-US
    std::string licence_name; // License; empty: the first line of license.txt that is not blank
    std::string description;  // ShortDescription; empty: the Apps list's name
};

class WingetManifest {
  public:
    // Reads the product's values from `settings` (setup.ini) and, when needed, `licence_file`
    // (license.txt) as setup.exe reads them, and checks every value against the schema and the
    // folder: throws PackError saying what does not fit, so that nothing is packed for a
    // manifest that cannot be written.
    WingetManifest(const WingetRequest& request, const std::string& settings,
                   const std::string& licence_file);

    // Writes the three files for the program `installer` as it lies on disk now (its SHA-256)
    // and returns their paths; throws PackError.
    std::vector<std::string> Write(const std::string& installer) const;

  private:
    std::vector<std::string> FileNames() const;
    void CheckFolder() const;
    std::string Identity() const;
    std::string VersionText() const;
    std::string InstallerText(const std::string& sha256) const;
    std::string LocaleText() const;

    WingetRequest request_;    // with the locale, licence and description filled in
    std::string version_;      // PackageVersion and DisplayVersion: version.release
    std::string name_;         // softname
    std::string publisher_;    // company
    std::string product_code_; // progreg: the name of the Apps list's key
    std::string display_name_; // the Apps list's name: softname and version.release
};

} // namespace ozip
