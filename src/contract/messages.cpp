#include "contract/messages.h"

namespace contract {

constexpr OwnText kOwnTexts[kMsgCount - kMemoMessageCount] = {
    {kMsgRunFailed, "RunFailed", "Instalace se nezdařila:"},
    {kMsgRolledBack, "RolledBack", "Všechny změny provedené instalací byly vráceny zpět."},
    {kMsgNotRestored, "NotRestored", "Tyto soubory se nepodařilo vrátit do původního stavu:"},
    {kMsgCannotMakeFolder, "CannotMakeFolder", "Nelze vytvořit adresář:"},
    {kMsgCannotCopy, "CannotCopy", "Soubor nelze zkopírovat:"},
    {kMsgCannotMakeShortcut, "CannotMakeShortcut", "Nelze vytvořit zástupce:"},
    {kMsgCannotWriteRecord, "CannotWriteRecord", "Záznam o instalaci nelze zapsat do registru:"},
    {kMsgCannotRead, "CannotRead", "Soubor nelze přečíst:"},
    {kMsgCannotChangeFolder, "CannotChangeFolder", "Nelze přejít do adresáře:"},
    {kMsgFolderNotEmpty, "FolderNotEmpty", "Cílový adresář již obsahuje soubory:"},
    {kMsgReplaceQuestion, "ReplaceQuestion",
     "Soubory se stejným jménem budou nahrazeny. Chcete přesto pokračovat?"},
    {kMsgProtectedTarget, "ProtectedTarget", "Do tohoto adresáře nelze instalovat:"},
    {kMsgNoSpace, "NoSpace", "Na cílovém disku není dost místa. Potřeba / volno (MB):"},
    {kMsgPathTooLong, "PathTooLong", "Cesta instalovaného souboru by byla příliš dlouhá:"},
    {kMsgNotWritable, "NotWritable", "Do cílového adresáře nelze zapisovat:"},
    {kMsgBadFolderName, "BadFolderName",
     "Hodnotu ze setup.ini nelze použít jako název adresáře nebo souboru:"},
    {kMsgShortcutSkipped, "ShortcutSkipped", "Řádek souboru short.txt byl vynechán:"},
    {kMsgNotRemoved, "NotRemoved",
     "Tyto soubory nebylo možné odstranit; odinstalaci lze spustit znovu, až nebudou "
     "používány:"},
    {kMsgNoManifest, "NoManifest",
     "Seznam nainstalovaných souborů chybí nebo je poškozen, nic nebylo odstraněno:"},
    {kMsgNotInstalledCopy, "NotInstalledCopy",
     "Odinstalaci lze spustit jen z nainstalovaného programu v adresáři:"},
    {kMsgProtectedRemoval, "ProtectedRemoval", "Tento adresář nelze odstranit:"},
    {kMsgInstalledVersion, "InstalledVersion", "Nainstalovaná verze"},
    {kMsgReplacedByVersion, "ReplacedByVersion", "bude nahrazena verzí"},
    {kMsgNewerInstalled, "NewerInstalled",
     "Nainstalovaná verze je novější než verze tohoto balíčku:"},
    {kMsgDowngradeQuestion, "DowngradeQuestion", "Chcete ji přesto nahradit starší verzí?"},
    {kMsgBadTargetPath, "BadTargetPath", "Tento adresář nelze použít pro instalaci:"},
    {kMsgNameEmpty, "NameEmpty", "prázdná hodnota"},
    {kMsgNameControlCharacter, "NameControlCharacter", "řídicí znak"},
    {kMsgNameSeparator, "NameSeparator", "oddělovač cesty"},
    {kMsgNameCharacter, "NameCharacter", "znak"},
    {kMsgNameDotsOnly, "NameDotsOnly", "jen tečky"},
    {kMsgNameDevice, "NameDevice", "vyhrazený název zařízení"},
    {kMsgNameTooLong, "NameTooLong", "delší než 255 znaků"},
    {kMsgNameRooted, "NameRooted", "cesta od kořene disku"},
    {kMsgNotFullPath, "NotFullPath", "není úplná cesta"},
    {kMsgShortcutNamePart, "ShortcutNamePart", "název zástupce"},
    {kMsgSubfolderPart, "SubfolderPart", "podadresář"},
    {kMsgTargetPart, "TargetPart", "cíl"},
    {kMsgUnknownOption, "UnknownOption", "Neznámý parametr příkazového řádku:"},
    {kMsgHelpUsage, "HelpUsage",
     "setup.exe [/S | /PASSIVE] [/ALLUSERS | /CURRENTUSER] [/NOICONS] [/LOG=soubor] "
     "[/ALLOWDOWNGRADE] [/D=adresář]"},
    {kMsgHelpQuiet, "HelpQuiet", "/S\tinstalace nebo odinstalace bez oken a bez otázek"},
    {kMsgHelpFolder, "HelpFolder", "/D=adresář\tcílový adresář (poslední parametr, bez uvozovek)"},
    {kMsgHelpNoIcons, "HelpNoIcons", "/NOICONS\tžádní zástupci na ploše ani v nabídce Start"},
    {kMsgHelpLog, "HelpLog", "/LOG=soubor\tkam zapsat protokol"},
    {kMsgHelpAllowDowngrade, "HelpAllowDowngrade",
     "/ALLOWDOWNGRADE\ts /S smí nahradit novější verzi starší"},
    {kMsgHelpHelp, "HelpHelp", "/?\ttento přehled"},
    {kMsgOtherInstallation, "OtherInstallation",
     "V tomto adresáři je nainstalován jiný program nebo jeho seznam souborů nesouhlasí:"},
    {kMsgForeignAppsEntry, "ForeignAppsEntry",
     "Seznam programů Windows už pod tímto názvem uvádí jiný program:"},
    {kMsgCannotReadPlacement, "CannotReadPlacement", "Nelze zjistit umístění okna."},
    {kMsgCannotPlaceWindow, "CannotPlaceWindow", "Okno nelze umístit."},
    {kMsgCannotWriteBatch, "CannotWriteBatch",
     "Nelze zapsat dávku, která odstraní instalační program:"},
    {kMsgCannotWriteJournal, "CannotWriteJournal", "Nelze zapsat záznam o průběhu instalace:"},
    {kMsgRecoveredTakenBack, "RecoveredTakenBack",
     "Předchozí instalace byla přerušena. Všechny její změny byly vráceny zpět."},
    {kMsgRecoveredFinished, "RecoveredFinished",
     "Předchozí instalace byla přerušena po svém dokončení a byla dokončena."},
    {kMsgRecoveredUninstall, "RecoveredUninstall", "Přerušená odinstalace byla dokončena."},
    {kMsgPendingBroken, "PendingBroken",
     "Záznam o přerušené instalaci nebo odinstalaci nelze přečíst; nic nebylo změněno:"},
    {kMsgHelpPassive, "HelpPassive", "/PASSIVE\tjen průběh instalace, bez otázek a bez hlášení"},
    {kMsgHelpAllUsers, "HelpAllUsers",
     "/ALLUSERS\tpro všechny uživatele počítače (vyžaduje práva správce)"},
    {kMsgHelpCurrentUser, "HelpCurrentUser", "/CURRENTUSER\tjen pro tohoto uživatele (výchozí)"},
};

namespace {

constexpr bool InIdOrder() {
    for (int i = 0; i < kMsgCount - kMemoMessageCount; ++i)
        if (kOwnTexts[i].id != kMemoMessageCount + i || kOwnTexts[i].name.empty()) return false;
    return true;
}

} // namespace

constexpr int LineCount(std::string_view text) {
    int lines = 1;
    for (const char c : text) lines += c == '\n';
    return lines;
}

static_assert(InIdOrder(), "one own text per id from 36 on, in the ids' order");
static_assert(LineCount(kBuiltInMessages) == kMemoMessageCount, "one memo line per id below 36");

} // namespace contract
