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

} // namespace layouts
