#include "app/wizard_text.h"

#include "app/package_files.h"
#include "app/paths.h"

namespace app {

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
