// The texts the installer shows in its boxes, its summary and its progress panel. They are
// addressed by position, and a settings file may replace the whole list, so every use names
// its entry by the number the list gives it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace services {
class FormStorage;
}

namespace app {

enum MessageId : int {
    kMsgSummaryHeading = 0,
    kMsgSummaryFolder = 1, // followed directly by the folder
    kMsgSummaryIcons = 2,
    kMsgSummaryGroup = 3,
    kMsgSummaryDesktop = 4,
    kMsgSummaryStart = 5,
    kMsgSummaryFinish = 6,
    kMsgCannotCreateFolder = 7, // not shown
    kMsgSetupAborted = 8,       // not shown
    kMsgCreatingFolder = 9,
    kMsgCopyingFiles = 10,
    kMsgCreateFolder = 11, // not shown
    kMsgPrepareCopy = 12,
    kMsgExtractFiles = 13, // not shown
    kMsgSources = 14,      // not shown
    kMsgWritingRegistry = 15,
    kMsgCreateDesktopLink = 16,
    kMsgLinkToDesktop = 17, // not shown
    kMsgCreateStartLink = 18,
    kMsgLinkToStart = 19, // not shown
    kMsgCreatingGroup = 20,
    kMsgUpdateStartMenu = 21, // not shown
    kMsgInstallationFinished = 22,
    kMsgUninstall = 23, // not shown
    kMsgCancelled = 24,
    kMsgCompleted = 25,
    kMsgUninstallAllFiles = 26,
    kMsgUninstallWillGo = 27,
    kMsgUninstallQuestion = 28,
    kMsgUninstalled = 29,
    kMsgNoRecord = 30,
    kMsgAlreadyRunning = 31,
    kMsgNoLicence = 32,
    kMsgOtherFolder = 33,
    kMsgMissingConfiguration = 34, // first half; ends with a blank
    kMsgMissingConfigurationEnd = 35,
    // The program's own texts after the list: each has a key of its own in setup.ini
    // (kOwnTexts), since a package's copy of the list above replaces it as it stands.
    kMsgRunFailed = 36,
    kMsgRolledBack = 37,
    kMsgNotRestored = 38,
    kMsgCannotMakeFolder = 39,
    kMsgCannotCopy = 40,
    kMsgCannotMakeShortcut = 41,
    kMsgCannotWriteRecord = 42,
    kMsgCannotRead = 43,
    kMsgCannotChangeFolder = 44,
    kMsgFolderNotEmpty = 45,
    kMsgReplaceQuestion = 46,
    kMsgProtectedTarget = 47,
    kMsgNoSpace = 48,
    kMsgPathTooLong = 49,
    kMsgNotWritable = 50,
    kMsgBadFolderName = 51,
    kMsgShortcutSkipped = 52,
    kMsgNotRemoved = 53,
    kMsgNoManifest = 54,
    kMsgNotInstalledCopy = 55,
    kMsgProtectedRemoval = 56,
    kMsgInstalledVersion = 57,
    kMsgReplacedByVersion = 58,
    kMsgNewerInstalled = 59,
    kMsgDowngradeQuestion = 60,
    kMsgBadTargetPath = 61,
    // Why a name of the package or a typed folder cannot be used, and which part of a
    // short.txt line it is.
    kMsgNameEmpty = 62,
    kMsgNameControlCharacter = 63,
    kMsgNameSeparator = 64,
    kMsgNameCharacter = 65, // followed by the character in quotes
    kMsgNameDotsOnly = 66,
    kMsgNameDevice = 67,
    kMsgNameTooLong = 68,
    kMsgNameRooted = 69,
    kMsgNotFullPath = 70,
    kMsgShortcutNamePart = 71,
    kMsgSubfolderPart = 72,
    kMsgTargetPart = 73,
    // The command line: an option setup.exe does not know, and the lines of the /? box.
    kMsgUnknownOption = 74,
    kMsgHelpUsage = 75,
    kMsgHelpQuiet = 76,
    kMsgHelpFolder = 77,
    kMsgHelpNoIcons = 78,
    kMsgHelpLog = 79,
    kMsgHelpAllowDowngrade = 80,
    kMsgHelpHelp = 81,
    kMsgOtherInstallation = 82,
    kMsgForeignAppsEntry = 83,
    kMsgCount = 84
};

// A text of the program's own: the key of setup.ini's section that replaces it ("Msg_" and
// the name) and the built-in wording.
struct OwnText {
    MessageId id;
    std::string_view name;
    std::string_view text;
};
extern const OwnText kOwnTexts[kMsgCount - 36];

class MessageTable {
  public:
    static constexpr int kBuiltInCount = 36;
    // What the setup.ini keys of the program's own texts begin with.
    static constexpr std::string_view kOwnTextPrefix = "Msg_";

    MessageTable() : lines_(BuiltIn()) {}

    // The built-in wording, Czech and some English, the product called Zelvik.
    static const std::vector<std::string>& BuiltIn();

    // Replaces the whole list, as the settings file's copy of it does. A shorter list leaves
    // the higher entries empty; nothing is merged with the built-in texts.
    void Replace(std::vector<std::string> lines) { lines_ = std::move(lines); }
    // The built-in product name in each entry becomes PRODUCT.
    void NameProduct(const std::string& product);
    const std::vector<std::string>& Lines() const { return lines_; }

    // The program's own texts as setup.ini words them, where it does.
    void ReadOwnTexts(const services::FormStorage& storage);
    // "Msg_RunFailed": the key of an own text in setup.ini's section.
    static std::string KeyOf(const OwnText& text);

    // The entry at index: from the list below 36, from the program's own texts above (a
    // replaced list does not reach them); empty when there is no such entry.
    const std::string& Text(int index) const;

  private:
    std::vector<std::string> lines_;
    std::vector<std::string> own_ = BuiltInOwnTexts();
    static std::vector<std::string> BuiltInOwnTexts();
};

} // namespace app
