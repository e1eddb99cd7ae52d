// The texts the wizard pages show that the installer composes: the offered installation
// folders, the folder picker's result and label, the licence text and the summary.
#pragma once

#include <string>
#include <vector>

#include "app/message_table.h"
#include "services/system_folders.h"

namespace app {

// The four entries of the folder choice: the program files folder, the drive root and the
// desktop, each with the product's folder name, and the framed "other folder" entry that
// opens the picker. Only the first is collapsed.
enum FolderChoice : int { kChoiceProgramFiles, kChoiceDriveRoot, kChoiceDesktop, kChoiceOther };
std::vector<std::string> FolderChoices(const services::SystemDirs& dirs, const std::string& regdir,
                                       const MessageTable& messages);

// The installation folder for the folder picked in the tree (given without a trailing
// separator; a drive root reads "C:"), collapsed.
std::string PickedFolder(const std::string& tree_folder, const std::string& regdir);
// What the picker's label shows for the selected folder: the same, not collapsed.
std::string PickerLabel(const std::string& tree_folder, const std::string& regdir);

// Whether license.txt lies beside the program.
bool HasLicenceFile(const std::string& program_folder);
// The licence page's lines: license.txt beside the program, or the "not found" message.
std::vector<std::string> LicenceLines(const std::string& program_folder,
                                      const MessageTable& messages);

// The items of the shortcut list, as ticked.
struct IconChoice {
    bool desktop = false;
    bool start_menu = false;
};

// The summary page's lines for an installation folder and the ticked shortcuts.
// The text with the built-in wording's product name, where it stands as a word, replaced by
// the package's own.
std::string WithProductName(const std::string& text, const std::string& product);

std::vector<std::string> SummaryLines(const std::string& folder, const IconChoice& icons,
                                      const MessageTable& messages);

} // namespace app
