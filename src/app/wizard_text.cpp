#include "app/wizard_text.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "contract/messages.h"
#include "platform/file_copy.h"
#include "platform/file_io.h"

namespace app {

std::string WithProductName(const std::string& text, const std::string& product) {
    const std::string_view name = contract::kBuiltInProductName;
    const auto is_letter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               (static_cast<unsigned char>(c) & 0x80);
    };
    std::string named;
    size_t from = 0;
    for (size_t at; (at = text.find(name, from)) != std::string::npos; from = at + name.size()) {
        const size_t end = at + name.size();
        const bool word =
            (at == 0 || !is_letter(text[at - 1])) && (end == text.size() || !is_letter(text[end]));
        named += text.substr(from, at - from) + (word ? product : std::string(name));
    }
    return named + text.substr(from);
}

std::vector<std::string> FolderChoices(const services::SystemDirs& dirs, const std::string& regdir,
                                       const MessageTable& messages) {
    return {
        CollapsePath(dirs.ProgramFilesDir() + kSep + regdir),
        kDriveRoot + regdir,
        dirs.DeskTopDir() + kSep + regdir,
        ".... " + messages.Text(kMsgOtherFolder) + " ....",
    };
}

std::string PickedFolder(const std::string& tree_folder, const std::string& regdir) {
    return CollapsePath(PickerLabel(tree_folder, regdir));
}

std::string PickerLabel(const std::string& tree_folder, const std::string& regdir) {
    return tree_folder + kSep + regdir;
}

bool HasLicenceFile(const std::string& program_folder) {
    return platform::FileExists(CollapsePath(program_folder + kSep + kLicenceName));
}

std::vector<std::string> LicenceLines(const std::string& program_folder,
                                      const MessageTable& messages) {
    std::vector<std::string> lines;
    if (ReadTextLines(CollapsePath(program_folder + kSep + kLicenceName), lines) !=
        platform::FileRead::kOk)
        lines = {messages.Text(kMsgNoLicence)};
    return lines;
}

std::vector<std::string> SummaryLines(const std::string& folder, const IconChoice& icons,
                                      const MessageTable& messages) {
    std::vector<std::string> lines = {
        messages.Text(kMsgSummaryHeading), messages.Text(kMsgSummaryFolder) + folder, "",
        messages.Text(kMsgSummaryIcons),   messages.Text(kMsgSummaryGroup),
    };
    if (icons.desktop) lines.push_back(messages.Text(kMsgSummaryDesktop));
    if (icons.start_menu) lines.push_back(messages.Text(kMsgSummaryStart));
    for (const std::string& line : {std::string(), messages.Text(kMsgSummaryFinish), std::string()})
        lines.push_back(line);
    return lines;
}

} // namespace app
