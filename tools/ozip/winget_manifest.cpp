#include "winget_manifest.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/configuration.h"
#include "app/exit_codes.h"
#include "app/package_files.h"
#include "pack.h"
#include "platform/file_io.h"
#include "services/form_storage.h"
#include "services/sha256.h"
#include "unzip/member_name.h"
#include "utf8_text.h"

namespace ozip {
namespace fs = std::filesystem;
namespace {

const char kManifestVersion[] = "1.9.0";
const char kDefaultLocale[] = "en-US";

// What the package manager tells the user for each of setup.exe's exit codes (the self-extracting
// stub's own, 1 for a damaged program and 4 for a temporary folder it cannot write, mean the
// same). 5 is left out: only the installed copy's uninstall gives it, and the package manager
// reports an uninstaller's code as it is.
const struct {
    int code;
    const char* response;
} kReturnCodes[] = {
    // The package itself is unusable: only its maker can mend it.
    {app::kExitConfiguration, "contactSupport"},
    {app::kExitCancelled, "cancelledByUser"},
    {app::kExitSecondInstance, "installInProgress"},
    // Taken back; the cause (a full drive, a refused folder, a damaged archive) is in the log,
    // whose path the package manager shows with the message.
    {app::kExitRunFailed, "contactSupport"},
    {app::kExitBadCommandLine, "invalidParameter"},
    {app::kExitDowngradeRefused, "downgrade"},
    // /ALLUSERS without administrator rights under /S: the schema has no answer for missing
    // rights, and this one sends the user to the administrator, who has them.
    {app::kExitNeedsAdministrator, "blockedByPolicy"},
};

// The installation for one user is setup.exe's default; the machine's needs /ALLUSERS and
// administrator rights, which setup.exe never asks for itself, so the package manager starts
// that one elevated.
const struct {
    const char* scope;
    const char* custom;
} kScopes[] = {{"user", "/CURRENTUSER"}, {"machine", "/ALLUSERS"}};

// The characters of a well-formed UTF-8 text; nothing for any other.
std::optional<std::u32string> Characters(const std::string& text) {
    std::u32string characters;
    char32_t code_point;
    for (size_t i = 0, length; i < text.size(); i += length) {
        length = DecodeUtf8(text, i, code_point);
        if (length == 0) return std::nullopt;
        characters += code_point;
    }
    return characters;
}

// What the schema's patterns take for white space (\s): the Unicode blanks; the control
// characters below U+0020 are refused apart.
bool IsBlank(char32_t c) {
    return c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// A character the schema allows in an identifier or a version: no control character and none of
// \ / : * ? " < > |, as in a Windows file name.
bool IsNameCharacter(char32_t c) {
    return c >= 0x20 && std::u32string_view(U"\\/:*?\"<>|").find(c) == std::u32string_view::npos;
}

// The schema's form of a package identifier: two to eight parts joined by dots, each of 1 to 32
// characters, none of them blank.
bool IsIdentifier(const std::u32string& id) {
    size_t parts = 1, length = 0;
    for (const char32_t c : id) {
        if (c == '.') {
            if (length == 0) return false;
            ++parts;
            length = 0;
        } else if (IsBlank(c) || !IsNameCharacter(c) || ++length > 32) {
            return false;
        }
    }
    return length > 0 && parts >= 2 && parts <= 8;
}

bool IsLetters(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// The schema's form of a locale: a language of two or three letters, or "i-" and a name, or
// "x-" and up to eight letters; then parts of one to eight letters, all joined by "-".
bool IsLocale(const std::string& tag) {
    std::vector<std::string> parts;
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = tag.find('-', start);
        parts.push_back(tag.substr(start, end == std::string::npos ? end : end - start));
    }
    if (!std::all_of(parts.begin(), parts.end(), IsLetters)) return false;
    const std::string& first = parts[0];
    size_t rest = 1;
    if (first == "i" || first == "I" || first == "x" || first == "X") {
        if (parts.size() < 2 || (first != "i" && first != "I" && parts[1].size() > 8)) return false;
        rest = 2;
    } else if (first.size() > 3 || first.size() < 2) {
        return false;
    }
    return std::all_of(parts.begin() + rest, parts.end(),
                       [](const std::string& part) { return part.size() <= 8; });
}

// An http or https address; blanks and control characters are refused too, since the package
// manager would pass them to the server as they are.
bool IsDownloadUrl(const std::string& url) {
    std::string scheme = url.substr(0, url.find("://"));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](char c) { return static_cast<char>(c | 0x20); });
    return (scheme == "http" || scheme == "https") && url.size() > scheme.size() + 3 &&
           std::none_of(url.begin(), url.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
}

// Whether YAML takes the character as it is inside a double-quoted text: printable, and no line
// break (U+0085, U+2028 and U+2029 end a line in YAML 1.1) and no byte-order mark.
bool IsPrintable(char32_t c) {
    if (c == 0x2028 || c == 0x2029 || c == 0xFEFF) return false;
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFFFD) || c >= 0x10000;
}

// A YAML double-quoted text: every value is written so, so that a version such as 2.4 stays a
// text and no value can begin a YAML construct; anything YAML would not keep as it is escaped.
// The text is well-formed UTF-8 (every value is checked before).
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    char32_t c = 0;
    for (size_t i = 0, length; i < text.size(); i += length) {
        length = DecodeUtf8(text, i, c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (IsPrintable(c)) {
            out.append(text, i, length);
        } else {
            char escape[12];
            std::snprintf(escape, sizeof escape, c < 0x100 ? "\\x%02X" : "\\u%04X",
                          static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

// "Key: "value"" on a line of its own, indented.
std::string Pair(const char* indent, const char* key, const std::string& value) {
    return std::string(indent) + key + ": " + Quoted(value) + "\n";
}

std::string Header(const std::string& type) {
    return "# yaml-language-server: $schema=https://aka.ms/winget-manifest." + type + "." +
           kManifestVersion + ".schema.json\n# Written by ozip pack.\n\n";
}

std::string Footer(const char* type) {
    return Pair("", "ManifestType", type) + Pair("", "ManifestVersion", kManifestVersion);
}

// A value of the manifest, where it comes from, and the schema's bounds on its length in
// characters.
struct Bounded {
    const char* field;
    std::string source;
    const std::string& value;
    size_t least, most;
};

void CheckBounds(const Bounded& value) {
    const std::string what = std::string(value.field) + " (" + value.source + ")";
    const std::optional<std::u32string> characters = Characters(value.value);
    if (!characters) throw PackError(what + " is not UTF-8");
    if (characters->size() < value.least || characters->size() > value.most)
        throw PackError(what + " must have " + std::to_string(value.least) + " to " +
                        std::to_string(value.most) + " characters: " + value.value);
}

// The first line of the licence that is not blank, without the blanks around it.
std::string FirstLine(const std::string& licence_file) {
    std::vector<std::string> lines;
    if (!licence_file.empty() && app::ReadTextLines(licence_file, lines) != platform::FileRead::kOk)
        throw PackError("cannot read " + licence_file);
    for (const std::string& line : lines)
        if (!app::IsBlankLine(line)) {
            const size_t first = line.find_first_not_of(" \t");
            return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
        }
    return std::string();
}

std::string FileSha256(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    services::Sha256 hash;
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hash.Update(std::string_view(buffer.data(), static_cast<size_t>(in.gcount())));
    }
    if (!in.eof()) throw PackError("cannot read " + path);
    return hash.FinishHex();
}

} // namespace

WingetManifest::WingetManifest(const WingetRequest& request, const std::string& settings,
                               const std::string& licence_file)
    : request_(request) {
    services::FormStorage storage;
    storage.SetIniFileName(settings);
    const app::Configuration config = app::ReadNamedValues(storage);
    // As setup.exe writes the Apps list's entry and the record.
    version_ = std::to_string(config.sversion) + "." + config.srelease;
    name_ = config.softname;
    publisher_ = config.company;
    product_code_ = config.progreg;
    display_name_ = name_ + " " + version_;
    if (request_.locale.empty()) request_.locale = kDefaultLocale;
    if (request_.licence_name.empty()) request_.licence_name = FirstLine(licence_file);
    if (request_.licence_name.empty())
        throw PackError(
            "--winget needs --license-name TEXT, or --license FILE whose first line names the "
            "licence");
    if (request_.description.empty()) request_.description = display_name_;

    const Bounded values[] = {
        {"PackageIdentifier", "--id", request_.identifier, 1, 128},
        {"PackageVersion", "sversion.srelease in setup.ini", version_, 1, 128},
        {"PackageLocale", "--locale", request_.locale, 1, 20},
        {"InstallerUrl", "--url", request_.url, 1, 2048},
        {"PackageName", "softname in setup.ini", name_, 2, 256},
        {"Publisher", "company in setup.ini", publisher_, 2, 256},
        {"License", "--license-name or license.txt", request_.licence_name, 3, 512},
        {"ShortDescription", "--description or the Apps list's name", request_.description, 3, 256},
        {"ProductCode", "progreg in setup.ini", product_code_, 1, 255},
        {"DisplayName", "softname and version", display_name_, 1, 256},
    };
    for (const Bounded& value : values) CheckBounds(value);
    const std::u32string version = *Characters(version_);
    if (!std::all_of(version.begin(), version.end(), IsNameCharacter))
        throw PackError("PackageVersion " + version_ +
                        " may hold no control character and none of \\ / : * ? \" < > |");
    if (!IsIdentifier(*Characters(request_.identifier)))
        throw PackError("--id " + request_.identifier +
                        ": two to eight parts joined by dots (Publisher.Product), each of 1 to 32 "
                        "characters without blanks, control characters and \\ / : * ? \" < > |");
    if (unzip::IsDeviceName(request_.identifier))
        throw PackError("--id " + request_.identifier +
                        ": Windows reserves its first part for a device, so no file can be named "
                        "after it");
    if (!IsLocale(request_.locale))
        throw PackError("--locale " + request_.locale + " is no locale such as en-US or cs-CZ");
    if (!IsDownloadUrl(request_.url))
        throw PackError("--url " + request_.url +
                        " is no http:// or https:// address without blanks");
    CheckFolder();
}

// The names the package manager's multi-file layout gives the version, installer and
// default-locale files.
std::vector<std::string> WingetManifest::FileNames() const {
    const std::string& id = request_.identifier;
    return {id + ".yaml", id + ".installer.yaml", id + ".locale." + request_.locale + ".yaml"};
}

// The package manager reads every file in the folder as a part of the manifest, so anything but
// an earlier copy of these files would be read with them.
void WingetManifest::CheckFolder() const {
    const fs::path folder = fs::u8path(request_.folder);
    std::error_code error;
    if (!fs::exists(folder, error)) return;
    if (!fs::is_directory(folder, error))
        throw PackError("--winget " + request_.folder + " is not a folder");
    const std::vector<std::string> names = FileNames();
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().u8string();
        if (!entry.is_regular_file() || std::find(names.begin(), names.end(), name) == names.end())
            throw PackError("--winget " + request_.folder + " holds " + name +
                            ", which is no file of this manifest, and the package manager would "
                            "read it too; give an empty or new folder");
    }
    if (error)
        throw PackError("--winget: cannot read " + request_.folder + " (" + error.message() + ")");
}

std::vector<std::string> WingetManifest::Write(const std::string& installer) const {
    const std::string texts[] = {VersionText(), InstallerText(FileSha256(installer)), LocaleText()};
    std::error_code error;
    fs::create_directories(fs::u8path(request_.folder), error);
    if (error)
        throw PackError("cannot make the folder " + request_.folder + " (" + error.message() + ")");
    std::vector<std::string> paths;
    for (const std::string& name : FileNames()) {
        const std::string path = (fs::u8path(request_.folder) / fs::u8path(name)).u8string();
        if (!platform::ReplaceWholeFile(path, texts[paths.size()]))
            throw PackError("cannot write " + path);
        paths.push_back(path);
    }
    return paths;
}

std::string WingetManifest::Identity() const {
    return Pair("", "PackageIdentifier", request_.identifier) +
           Pair("", "PackageVersion", version_);
}

std::string WingetManifest::VersionText() const {
    return Header("version") + Identity() + Pair("", "DefaultLocale", request_.locale) +
           Footer("version");
}

std::string WingetManifest::InstallerText(const std::string& sha256) const {
    std::string text =
        Header("installer") + Identity() + Pair("", "InstallerType", "exe") + "InstallModes:\n";
    for (const char* mode : {"interactive", "silent", "silentWithProgress"})
        text += "  - " + Quoted(mode) + "\n";
    // The package manager puts the folder's switch last, as /D= must stand: it takes the rest
    // of the line. A log path may hold blanks, so it is quoted.
    text += "InstallerSwitches:\n" + Pair("  ", "Silent", "/S") +
            Pair("  ", "SilentWithProgress", "/PASSIVE") +
            Pair("  ", "InstallLocation", "/D=<INSTALLPATH>") +
            Pair("  ", "Log", "/LOG=\"<LOGPATH>\"") + "ExpectedReturnCodes:\n";
    for (const auto& expected : kReturnCodes)
        text += "  - InstallerReturnCode: " + std::to_string(expected.code) + "\n" +
                Pair("    ", "ReturnResponse", expected.response);
    // A later version installs over the earlier one, which setup.exe treats as an upgrade.
    text += Pair("", "UpgradeBehavior", "install") + "AppsAndFeaturesEntries:\n" +
            Pair("  - ", "DisplayName", display_name_) + Pair("    ", "Publisher", publisher_) +
            Pair("    ", "DisplayVersion", version_) + Pair("    ", "ProductCode", product_code_) +
            "Installers:\n";
    for (const auto& scope : kScopes) {
        // setup.exe and the stub are built for x86-64 alone; Windows on Arm runs them emulated.
        text += Pair("  - ", "Architecture", "x64") + Pair("    ", "Scope", scope.scope) +
                Pair("    ", "InstallerUrl", request_.url) +
                Pair("    ", "InstallerSha256", sha256);
        text += "    InstallerSwitches:\n" + Pair("      ", "Custom", scope.custom);
        if (std::string(scope.scope) == "machine")
            text += Pair("    ", "ElevationRequirement", "elevationRequired");
    }
    return text + Footer("installer");
}

std::string WingetManifest::LocaleText() const {
    return Header("defaultLocale") + Identity() + Pair("", "PackageLocale", request_.locale) +
           Pair("", "Publisher", publisher_) + Pair("", "PackageName", name_) +
           Pair("", "License", request_.licence_name) +
           Pair("", "ShortDescription", request_.description) + Footer("defaultLocale");
}

} // namespace ozip
