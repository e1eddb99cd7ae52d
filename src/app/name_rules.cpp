#include "app/name_rules.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/paths.h"
#include "platform/folders.h"

namespace app {
namespace {

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Windows opens a device for these names whatever extension follows, and drops the spaces
// before that extension.
bool IsDeviceName(const std::string& value) {
    std::string base = AsciiUpper(value.substr(0, value.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device) return true;
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) return false;
    const std::string number = base.substr(std::min<size_t>(3, base.size()));
    // The superscript digits 1, 2 and 3 (UTF-8) count as well.
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

NameProblem Fault(NameFault fault) {
    NameProblem problem;
    problem.fault = fault;
    return problem;
}

// Calls `each` with every "\"-separated level of the path, empty ones included, until it
// returns a problem.
template <typename Each>
NameProblem ForEachLevel(const std::string& path, Each each) {
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        NameProblem problem = each(path.substr(start, end - start), end == path.size());
        if (problem) return problem;
        start = end + 1;
    }
    return NameProblem();
}

NameProblem InPart(NameProblem problem, LinePart part) {
    if (problem) problem.part = part;
    return problem;
}

} // namespace

std::string NameOnDisk(const std::string& name) {
    const size_t end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

std::string LevelsOnDisk(const std::string& path) {
    std::string out;
    (void)ForEachLevel(path, [&](const std::string& level, bool last) {   // never fails
        out += level == "." || level == ".." ? level : NameOnDisk(level); // steps stay steps
        if (!last) out += '\\';
        return NameProblem();
    });
    return out;
}

NameProblem CheckName(const std::string& value) {
    for (const char c : value) {
        if (static_cast<unsigned char>(c) < 0x20) return Fault(NameFault::kControlCharacter);
        if (c == '\\' || c == '/') return Fault(NameFault::kSeparator);
        if (std::string_view(":*?\"<>|").find(c) != std::string_view::npos) {
            NameProblem problem = Fault(NameFault::kCharacter);
            problem.character = c;
            return problem;
        }
    }
    const std::string name = NameOnDisk(value);
    if (name.empty())
        return Fault(value.find_first_not_of(' ') == std::string::npos ? NameFault::kEmpty
                                                                       : NameFault::kDotsOnly);
    if (IsDeviceName(name)) return Fault(NameFault::kDevice);
    if (SystemLength(name) > 255) return Fault(NameFault::kTooLong);
    return NameProblem();
}

NameProblem CheckRelativePath(const std::string& path, RelativePath kind) {
    if (kind == RelativePath::kFolderLevels && !path.empty() && path[0] == '\\')
        return Fault(NameFault::kRooted);
    bool any_level = false;
    NameProblem problem = ForEachLevel(path, [&](const std::string& level, bool) {
        if (level.empty()) return NameProblem();
        any_level = true;
        return CheckName(level);
    });
    if (!problem && !any_level && kind != RelativePath::kSubfolder)
        problem = Fault(NameFault::kEmpty);
    return problem;
}

NameProblem CheckFolderPath(const std::string& path) {
    const char sep = platform::kPathSeparator;
    size_t levels = std::string::npos; // where the folder names begin
#ifdef _WIN32
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && path[2] == sep;
    if (drive) {
        levels = 3;
    } else if (const size_t root = NetworkRootLength(path); root != 0) {
        levels = root + 1; // the share's root alone is a full path, refused as a drive's root is
    }
#else
    if (!path.empty() && path[0] == sep) levels = 1;
#endif
    if (levels == std::string::npos) return Fault(NameFault::kNotFullPath);
    for (size_t start = levels; start < path.size();) {
        size_t end = path.find(sep, start);
        if (end == std::string::npos) end = path.size();
        const std::string level = path.substr(start, end - start);
        start = end + 1;
        if (level.empty() && start >= path.size()) break; // a trailing separator
        // Steps within the path, resolved with it before the protected folders are asked.
        if (level == "." || level == "..") continue;
        NameProblem problem = level.empty() ? Fault(NameFault::kEmpty) : CheckName(level);
        if (problem) {
            problem.level = level;
            return problem;
        }
    }
    return NameProblem();
}

NameProblem CheckShortcutLine(const ShortcutLine& line) {
    if (NameProblem problem = CheckName(line.name))
        return InPart(std::move(problem), LinePart::kShortcutName);
    if (NameProblem problem = CheckRelativePath(line.subfolder, RelativePath::kSubfolder))
        return InPart(std::move(problem), LinePart::kSubfolder);
    return InPart(CheckRelativePath(line.target, RelativePath::kBelowFolder), LinePart::kTarget);
}

std::vector<NamedValueProblem> NamedValueProblems(const Configuration& config) {
    const struct {
        const char* key;
        const std::string& value;
        NameProblem problem;
    } values[] = {
        {"softname", config.softname, CheckName(config.softname)},
        {"company", config.company, CheckName(config.company)},
        {"regdir", config.regdir, CheckRelativePath(config.regdir, RelativePath::kFolderLevels)},
        {"progname", config.progname,
         CheckRelativePath(config.progname, RelativePath::kBelowFolder)},
    };
    std::vector<NamedValueProblem> problems;
    for (const auto& value : values)
        if (value.problem) problems.push_back({value.key, value.value, value.problem});
    return problems;
}

FolderNames FolderNamesOf(const Configuration& config) {
    // The product's folder without empty levels, so that no path composed with it ends in a
    // separator or doubles one.
    std::string regdir;
    (void)ForEachLevel(config.regdir, [&](const std::string& level, bool) { // never fails
        const std::string name = NameOnDisk(level);
        if (!name.empty()) regdir += (regdir.empty() ? "" : "\\") + name;
        return NameProblem();
    });
    return {NameOnDisk(config.company), NameOnDisk(config.softname), regdir};
}

std::string Describe(const NameProblem& problem, const MessageTable& messages) {
    const auto text = [&](int id) { return messages.Text(id); };
    std::string reason;
    switch (problem.fault) {
    case NameFault::kNone: return std::string();
    case NameFault::kEmpty: reason = text(kMsgNameEmpty); break;
    case NameFault::kControlCharacter: reason = text(kMsgNameControlCharacter); break;
    case NameFault::kSeparator: reason = text(kMsgNameSeparator); break;
    case NameFault::kCharacter:
        reason = text(kMsgNameCharacter) + " \"" + problem.character + "\"";
        break;
    case NameFault::kDotsOnly: reason = text(kMsgNameDotsOnly); break;
    case NameFault::kDevice: reason = text(kMsgNameDevice); break;
    case NameFault::kTooLong: reason = text(kMsgNameTooLong); break;
    case NameFault::kRooted: reason = text(kMsgNameRooted); break;
    case NameFault::kNotFullPath: reason = text(kMsgNotFullPath); break;
    }
    if (!problem.level.empty()) reason = problem.level + ": " + reason;
    switch (problem.part) {
    case LinePart::kWhole: return reason;
    case LinePart::kShortcutName: return text(kMsgShortcutNamePart) + ": " + reason;
    case LinePart::kSubfolder: return text(kMsgSubfolderPart) + ": " + reason;
    case LinePart::kTarget: return text(kMsgTargetPart) + ": " + reason;
    }
    return reason;
}

} // namespace app
