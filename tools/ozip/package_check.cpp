#include "package_check.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "app/configuration.h"
#include "app/message_table.h"
#include "app/name_rules.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "archive_tester.h"
#include "contract/controls.h"
#include "platform/code_page.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "printable.h"
#include "services/form_storage.h"
#include "services/settings_file.h"
#include "unzip/member_name.h"
#include "utf8_text.h"

namespace ozip {
namespace {

// The code page the package's texts are written for: the Czech Windows ANSI code page.
constexpr int kPackageCodePage = 1250;
// Where a machine-wide installation goes unless the user picks another folder.
const std::string kDefaultParent = "C:\\Program Files";

// One member of a package archive as the installation puts it: its path below the
// installation folder (the platform's separators), its size, and the archive it comes from.
struct InstalledMember {
    std::string path;
    uint64_t size = 0;
    bool folder = false;
    std::string archive;
    bool replaced = false; // by a later member of the same name
};

// A path with "\" between levels, as the package's texts and the user see it.
std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool SameKey(const std::string& a, const std::string& b) {
    return platform::SameNameIgnoringCase(a, b);
}

// Why a name cannot be made, as the report words it.
std::string Reason(const app::NameProblem& problem) {
    static const char* const kFaults[] = {
        "",
        "empty",
        "a control character",
        "a path separator",
        "the character",
        "only dots",
        "a device name",
        "longer than 255 characters",
        "a path from the root",
        "not a full path",
    };
    static const char* const kParts[] = {"", "the name: ", "the subfolder: ", "the target: "};
    std::string reason = kFaults[static_cast<size_t>(problem.fault)];
    if (problem.fault == app::NameFault::kCharacter)
        reason += std::string(" \"") + problem.character + "\"";
    return kParts[static_cast<size_t>(problem.part)] + reason;
}

class Checker {
  public:
    Checker(const std::string& folder, const unzip::EngineOptions& options)
        : folder_(folder), options_(options), settings_(In(app::kSettingsName)) {}

    PackageReport Run() {
        CheckSettings();
        for (const std::string& archive : {app::kArchiveName, app::kSecondArchiveName})
            CheckArchive(archive);
        CheckProgram();
        CheckShortcutList();
        CheckStoredTexts();
        for (const std::string& name :
             {app::kSettingsName, app::kShortcutListName, app::kLicenceName, app::kReadmeName})
            CheckEncoding(name);
        NoteInstallation();
        return std::move(report_);
    }

  private:
    std::string In(const std::string& name) const {
        return app::CollapsePath(folder_ + app::kSep + name);
    }
    void Add(Severity severity, const std::string& where, const std::string& what) {
        report_.findings.push_back({severity, where, what});
    }

    // "setup.ini:<line>" for a key of the named values' section, "setup.ini" when it is absent.
    std::string SettingsPlace(const std::string& key) const {
        for (const services::SettingsLine& line : lines_)
            if (SameKey(line.section, storage_.IniSection()) && SameKey(line.key, key))
                return app::kSettingsName + ":" + std::to_string(line.number);
        return app::kSettingsName;
    }

    void CheckSettings() {
        if (!platform::FileExists(In(app::kSettingsName))) {
            Add(Severity::kError, app::kSettingsName, "missing");
            return;
        }
        settings_found_ = true;
        lines_ = settings_.NamedLines();
        storage_.SetIniFileName(In(app::kSettingsName));
        config_ = app::ReadNamedValues(storage_);
        for (const std::string& key : app::MissingValues(config_))
            Add(Severity::kError, SettingsPlace(key), key + " is missing or empty");
        std::set<std::string> refused;
        for (const app::NamedValueProblem& bad : app::NamedValueProblems(config_)) {
            refused.insert(bad.key);
            if (!bad.value.empty()) // an empty one is missing, said above
                Add(Severity::kError, SettingsPlace(bad.key),
                    bad.key + "=" + bad.value + " cannot be a name on disk (" +
                        Reason(bad.problem) + ")");
        }
        for (const auto& [key, value] :
             {std::pair{"softname", &config_.softname}, std::pair{"company", &config_.company},
              std::pair{"regdir", &config_.regdir}}) {
            const std::string on_disk = app::LevelsOnDisk(*value);
            if (!refused.count(key) && on_disk != *value)
                Add(Severity::kWarning, SettingsPlace(key),
                    std::string(key) + "=" + *value + " becomes the folder " + on_disk +
                        " on disk (Windows drops a trailing dot or space)");
        }
        for (const char* key : {"sversion", "icons"}) {
            const std::string text = storage_.ReadNamedString(key, "");
            if (!text.empty() && services::FormStorage::ToInteger(text, 0) !=
                                     services::FormStorage::ToInteger(text, 1))
                Add(Severity::kWarning, SettingsPlace(key),
                    std::string(key) + "=" + text + " is no number; the program takes 1");
        }
    }

    void CheckArchive(const std::string& name) {
        const std::string path = In(name);
        if (!platform::FileExists(path)) {
            if (name == app::kArchiveName)
                Add(Severity::kError, name,
                    "missing: without it setup.exe starts as the uninstaller");
            return;
        }
        ArchiveTester tester(EveryMember());
        const std::string prefix = std::string(ArchiveTester::kFolder) + platform::kPathSeparator;
        const int32_t rc = tester.Test(path, [&](int32_t code, unzip::ReportRecord& record) {
            if (record.status != unzip::StatusMemberFailed) return;
            const bool member = record.name.compare(0, prefix.size(), prefix) == 0;
            const std::string why = tester.engine().diagnostic();
            Add(Severity::kError,
                member ? name + ":" + Printable(record.name.substr(prefix.size())) : name,
                std::string(unzip::ResultText(code)) + (why.empty() ? "" : " (" + why + ")"));
        });
        if (rc < 0) {
            Add(Severity::kError, name,
                std::string("not accepted: ") + unzip::ResultText(rc) +
                    (tester.engine().diagnostic().empty()
                         ? ""
                         : " (" + tester.engine().diagnostic() + ")"));
            return;
        }
        WalkMembers(name, path);
    }

    unzip::EngineOptions EveryMember() const {
        unzip::EngineOptions options = options_;
        options.report_every_member = true;
        return options;
    }

    // The members the archive installs. Two of one name (as Windows compares names) in one
    // archive would leave only the last; a member of all.zip replaces orvoinst.zip's file.
    void WalkMembers(const std::string& name, const std::string& path) {
        unzip::Engine engine(unzip::PlatformFileSystem(), options_);
        unzip::MemberEntry entry;
        for (int32_t rc = engine.FirstMember(path, entry); rc == unzip::ResultOk;
             rc = engine.NextMember(entry)) {
            std::string relative;
            if (!unzip::MakeSafeMemberPath(entry.name, &relative)) continue; // the test said so
            InstalledMember member;
            member.folder = !relative.empty() && relative.back() == platform::kPathSeparator;
            member.path = app::WithoutTrailingSeparator(relative);
            member.size = static_cast<uint64_t>(entry.size);
            member.archive = name;
            std::vector<size_t>& group = groups_[app::NameGroupKey(member.path)];
            for (size_t earlier : group) {
                InstalledMember& other = members_[earlier];
                if (other.replaced || !SameKey(other.path, member.path)) continue;
                if (other.archive == name) {
                    Add(Severity::kWarning, name + ":" + Printable(entry.name),
                        "a second member of the name " + Printable(other.path) +
                            "; setup.exe installs the later one");
                } else if (!member.folder) {
                    Add(Severity::kNote, name + ":" + Printable(entry.name),
                        "replaces the file of " + other.archive);
                }
                other.replaced = true;
            }
            group.push_back(members_.size());
            members_.push_back(member);
        }
        engine.CloseMemberWalk(entry);
    }

    // Whether the installation puts a file or folder at `relative` (a path of the package's
    // texts, "\" between levels): a member, a folder holding members, or the copies of
    // setup.exe and setup.ini.
    bool Installed(const std::string& relative) const {
        std::string wanted = app::CollapsePath(relative);
        wanted.erase(0, wanted.find_first_not_of(platform::kPathSeparator));
        if (SameKey(wanted, app::kSetupProgramName) || SameKey(wanted, app::kSettingsName))
            return true;
        const auto group = groups_.find(app::NameGroupKey(wanted));
        if (group != groups_.end())
            for (size_t index : group->second)
                if (SameKey(members_[index].path, wanted)) return true;
        // A folder that holds members exists even without an entry of its own.
        const std::string folder = wanted + platform::kPathSeparator;
        for (const InstalledMember& member : members_)
            if (member.path.size() > folder.size() &&
                SameKey(member.path.substr(0, folder.size()), folder))
                return true;
        return false;
    }

    void CheckProgram() {
        if (config_.progname.empty()) return;
        if (!Installed(config_.progname))
            Add(Severity::kWarning, SettingsPlace("progname"),
                "progname=" + config_.progname + " names no member of " + app::kArchiveName +
                    " or " + app::kSecondArchiveName);
    }

    void CheckShortcutList() {
        const std::string path = In(app::kShortcutListName);
        if (!platform::FileExists(path)) return;
        std::vector<std::string> lines;
        if (app::ReadTextLines(path, lines) != platform::FileRead::kOk) {
            Add(Severity::kError, app::kShortcutListName, "cannot be read");
            return;
        }
        // setup.exe skips a line it cannot make and makes a shortcut to whatever the target
        // names, so neither stops the installation.
        for (size_t i = 0; i < lines.size(); ++i) {
            if (app::IsBlankLine(lines[i])) continue;
            const std::string where = app::kShortcutListName + ":" + std::to_string(i + 1);
            const app::ShortcutLine line = app::ParseShortcutLine(lines[i]);
            if (const app::NameProblem problem = app::CheckShortcutLine(line)) {
                Add(Severity::kWarning, where,
                    "\"" + lines[i] + "\" makes no shortcut; setup.exe skips it (" +
                        Reason(problem) + ")");
                continue;
            }
            const std::string target = app::LevelsOnDisk(line.target);
            const std::string subfolder = app::LevelsOnDisk(line.subfolder);
            if (target != line.target || subfolder != line.subfolder)
                Add(Severity::kWarning, where,
                    "made as " + target + ";" + subfolder +
                        "; on disk (Windows drops a trailing dot or space)");
            if (!Installed(target))
                Add(Severity::kWarning, where,
                    "the target " + line.target + " is installed by neither " + app::kArchiveName +
                        " nor " + app::kSecondArchiveName);
        }
    }

    // "Msg_<Name>" keys replace the program's own texts, one a key.
    static bool IsOwnTextKey(const std::string& key) {
        const std::string prefix(app::MessageTable::kOwnTextPrefix);
        return key.size() > prefix.size() && SameKey(key.substr(0, prefix.size()), prefix);
    }
    static bool NamesOwnText(const std::string& key) {
        for (const app::OwnText& text : app::kOwnTexts)
            if (SameKey(app::MessageTable::KeyOf(text), key)) return true;
        return false;
    }

    // Keys and list sections shaped like a stored text ("<Control>_<Property>" with a property
    // the window stores) that name none of the window's stored texts: a misspelt control name
    // leaves the text the program's own.
    void CheckStoredTexts() {
        std::set<std::string> properties;
        for (const contract::StoredText& text : contract::kMainWindowStoredTexts)
            properties.insert(app::NameGroupKey(std::string(text.property)));
        auto is_stored_text = [](const std::string& key) {
            for (const std::string& entry : contract::MainWindowStoredProps()) {
                std::string stored = entry;
                std::replace(stored.begin(), stored.end(), '.', '_');
                if (SameKey(stored, key)) return true;
            }
            return false;
        };
        const std::string list_prefix = storage_.IniSection() + ".";
        for (const services::SettingsLine& line : lines_) {
            std::string key;
            if (line.key.empty()) {
                if (line.section.size() <= list_prefix.size() ||
                    !SameKey(line.section.substr(0, list_prefix.size()), list_prefix))
                    continue;
                key = line.section.substr(list_prefix.size());
            } else if (SameKey(line.section, storage_.IniSection())) {
                key = line.key;
            } else {
                continue;
            }
            if (!line.key.empty() && IsOwnTextKey(key)) {
                if (!NamesOwnText(key))
                    Add(Severity::kWarning, app::kSettingsName + ":" + std::to_string(line.number),
                        key + " names no text of the program; setup.exe ignores it");
                continue;
            }
            const size_t underscore = key.rfind('_');
            if (underscore == std::string::npos ||
                !properties.count(app::NameGroupKey(key.substr(underscore + 1))) ||
                is_stored_text(key))
                continue;
            Add(Severity::kWarning, app::kSettingsName + ":" + std::to_string(line.number),
                key + " names no control's stored text; the program ignores it");
        }
    }

    // The program reads setup.ini as UTF-8 when it begins with the byte-order mark, else in the
    // ANSI code page; the other text files always in the ANSI code page.
    void CheckEncoding(const std::string& name) {
        std::string bytes;
        if (platform::ReadWholeFile(In(name), bytes) != platform::FileRead::kOk) return;
        if (services::HasUtf8Mark(bytes)) {
            if (name != app::kSettingsName) {
                Add(Severity::kWarning, name,
                    "begins with the UTF-8 byte-order mark, but the program reads it in the "
                    "ANSI code page: the mark and every letter beyond ASCII come out garbled");
                return;
            }
            for (const services::SettingsLine& line : lines_) {
                const std::string text =
                    line.key.empty() ? line.section : line.key + "=" + line.value;
                if (!platform::FitsCodePage(text, kPackageCodePage))
                    Add(Severity::kWarning, name + ":" + std::to_string(line.number),
                        "holds characters outside code page " + std::to_string(kPackageCodePage));
            }
            return;
        }
        if (!IsUtf8BeyondAscii(bytes)) return;
        const std::vector<std::string> lines = app::SplitLines(bytes);
        size_t first = 0;
        while (first < lines.size() && !IsUtf8BeyondAscii(lines[first])) ++first;
        Add(Severity::kWarning, name + ":" + std::to_string(first + 1),
            "UTF-8 text without the byte-order mark: the program reads the file in the ANSI "
            "code page and shows \"" +
                platform::AnsiToUtf8(first < lines.size() ? lines[first] : "") + "\"");
    }

    // What the installer's checks before the run measure: the bytes it will write and the
    // longest path below the folder offered first.
    void NoteInstallation() {
        if (!settings_found_ || members_.empty()) return;
        uint64_t bytes = 0;
        size_t files = 0;
        const InstalledMember* longest = nullptr;
        size_t longest_units = 0;
        std::string longest_name;
        for (const InstalledMember& member : members_) {
            bytes += member.size;
            if (!member.folder && !member.replaced) ++files;
            if (app::SystemLength(member.path) > longest_units) {
                longest_units = app::SystemLength(member.path);
                longest = &member;
            }
        }
        longest_name = longest ? WindowsPath(longest->path) : "";
        for (const std::string& name :
             {app::kSetupProgramName, app::kSettingsName, app::kManifestName}) {
            bytes += platform::FileSizeOf(In(name)).value_or(0);
            if (name != app::kManifestName) ++files;
            if (name.size() > longest_units) {
                longest_units = name.size();
                longest_name = name;
            }
        }
        Add(Severity::kNote, "package",
            "installs " + std::to_string(files) + " files, " + std::to_string(bytes) + " bytes");
        const std::string home = kDefaultParent + "\\" + config_.regdir;
        const size_t length = app::SystemLength(home) + 1 + longest_units;
        const std::string longest_path = home + "\\" + longest_name;
        const std::string figures = " (" + std::to_string(length) + " of at most " +
                                    std::to_string(app::kLongestPath) + " characters)";
        if (length > app::kLongestPath)
            Add(Severity::kError,
                longest && WindowsPath(longest->path) == longest_name
                    ? longest->archive + ":" + Printable(longest->path)
                    : std::string("package"),
                "installed as " + longest_path + figures +
                    ": the installer refuses the folder offered first");
        else
            Add(Severity::kNote, "package", "longest installed path: " + longest_path + figures);
    }

    std::string folder_;
    unzip::EngineOptions options_;
    services::SettingsFile settings_;
    services::FormStorage storage_;
    std::vector<services::SettingsLine> lines_;
    bool settings_found_ = false;
    app::Configuration config_;
    std::vector<InstalledMember> members_;
    std::map<std::string, std::vector<size_t>> groups_; // members_ by GroupKey of their paths
    PackageReport report_;
};

} // namespace

int PackageReport::ExitCode() const {
    int code = 0;
    for (const Finding& finding : findings) {
        if (finding.severity == Severity::kError) return 2;
        if (finding.severity == Severity::kWarning) code = 1;
    }
    return code;
}

std::string FindingLine(const Finding& finding) {
    const char* kind = finding.severity == Severity::kError     ? "error"
                       : finding.severity == Severity::kWarning ? "warning"
                                                                : "note";
    return std::string(kind) + ": " + finding.where + ": " + finding.what;
}

PackageReport CheckPackage(const std::string& folder, unzip::EngineOptions options) {
    return Checker(folder, options).Run();
}

} // namespace ozip
