// The installer's messages: their ids, and their built-in wording, Czech and some English, the
// product called Zelvik. The first 36 are the lines of the main window's hidden message memo,
// which setup.ini may replace as a whole; the program reads them from there. The ones after
// are the program's own texts, each replaced by a key of its own.
#pragma once

#include <string_view>

namespace contract {

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
    // The program's own texts after the memo's: each has a key of its own in setup.ini
    // (kOwnTexts), since a package's copy of the memo's list replaces it as it stands.
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
    // Failures of the window and of the self-removal, shown in the standard error box.
    kMsgCannotReadPlacement = 84,
    kMsgCannotPlaceWindow = 85,
    kMsgCannotWriteBatch = 86,
    // A run or an uninstall that was cut off, as the next start deals with it.
    kMsgCannotWriteJournal = 87,
    kMsgRecoveredTakenBack = 88,
    kMsgRecoveredFinished = 89,
    kMsgRecoveredUninstall = 90,
    kMsgPendingBroken = 91,
    // The options for deployment tools, in the /? box.
    kMsgHelpPassive = 92,
    kMsgHelpAllUsers = 93,
    kMsgHelpCurrentUser = 94,
    kMsgCount = 95
};

// A text of the program's own: the key of setup.ini's section that replaces it ("Msg_" and
// the name) and the built-in wording.
struct OwnText {
    MessageId id;
    std::string_view name;
    std::string_view text;
};
// How many entries the message memo holds.
constexpr int kMemoMessageCount = 36;
extern const OwnText kOwnTexts[kMsgCount - kMemoMessageCount];

// The product the built-in wording names; a package's own name takes its place.
constexpr std::string_view kBuiltInProductName = "Zelvik";

// The message memo's 36 lines.
constexpr std::string_view kBuiltInMessages =
    "Installation of  Zelvik\n"
    "Program place: -\n"
    "Icon place:\n"
    "- START/PROGRAMY/Zelvik\n"
    "- Desktop\n"
    "- START\n"
    "When you press Finish Installation will be start\n"
    "I can`t create directory\n"
    "Program Setup will be abort !\n"
    "Creating directory\n"
    "Copying files\n"
    "Create dir:\n"
    "Prepare copy\n"
    "Extract files\n"
    "- Sources\n"
    "Zápis do registru\n"
    "Create desktop link\n"
    "Link to desktop\n"
    "Create START link\n"
    "Link to START\n"
    "Creating directory START/Programy\n"
    "Update menu START\n"
    "Installation is finished\n"
    "Uninstall\n"
    "Instalace byla zrušena\n"
    "Instalace byla dokončena\n"
    "Všechny soubory v adresáři\n"
    "budou smazány !!\n"
    "Opravdu chcete program Zelvik odinstalovat?\n"
    "Program Zelvik byl odinstalován\n"
    "Uninstalátor nenašel informace programu Zelvik!\n"
    "Instalace byla už spuštěna!\n"
    "Licenční soubor nebyl nalezen\n"
    "Další adresář\n"
    "Nebyly nalezeny důležité informace o projektu, prosim kontaktujte výrobce Vašeho \n"
    "programu.";

} // namespace contract
