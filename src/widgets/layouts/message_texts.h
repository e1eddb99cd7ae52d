// The built-in wording of the installer's messages, Czech and some English, the product called
// Zelvik: 36 lines, one per entry of the message table. The main window's hidden message memo
// starts with these lines and setup.ini may replace them; the table reads them from there.
#pragma once

#include <string_view>

namespace layouts {

// The product the built-in wording names; a package's own name takes its place.
constexpr std::string_view kBuiltInProductName = "Zelvik";

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

// The texts of the checks and failures that came after the list above, one a line, addressed
// from 36 on. They are not part of the message memo (a package's settings file replaces that
// list as it stands), so they are the program's own wording whatever the package says.
constexpr std::string_view kLaterMessages =
    "Instalace se nezdařila:\n"
    "Všechny změny provedené instalací byly vráceny zpět.\n"
    "Tyto soubory se nepodařilo vrátit do původního stavu:\n"
    "Nelze vytvořit adresář:\n"
    "Soubor nelze zkopírovat:\n"
    "Nelze vytvořit zástupce:\n"
    "Záznam o instalaci nelze zapsat do registru:\n"
    "Soubor nelze přečíst:\n"
    "Nelze přejít do adresáře:\n"
    "Cílový adresář již obsahuje soubory:\n"
    "Soubory se stejným jménem budou nahrazeny. Chcete přesto pokračovat?\n"
    "Do tohoto adresáře nelze instalovat:\n"
    "Na cílovém disku není dost místa. Potřeba / volno (MB):\n"
    "Cesta instalovaného souboru by byla příliš dlouhá:\n"
    "Do cílového adresáře nelze zapisovat:\n"
    "Hodnotu ze setup.ini nelze použít jako název adresáře:\n"
    "Řádek souboru short.txt byl vynechán:\n"
    "Tyto soubory nebylo možné odstranit; odinstalaci lze spustit znovu, až nebudou používány:\n"
    "Seznam nainstalovaných souborů chybí nebo je poškozen, nic nebylo odstraněno:\n"
    "Odinstalaci lze spustit jen z nainstalovaného programu v adresáři:\n"
    "Tento adresář nelze odstranit:\n"
    "Nainstalovaná verze\n"
    "bude nahrazena verzí\n"
    "Nainstalovaná verze je novější než verze tohoto balíčku:\n"
    "Chcete ji přesto nahradit starší verzí?\n"
    "Tento adresář nelze použít pro instalaci:";

} // namespace layouts
