#include "app/message_table.h"

namespace app {

const std::vector<std::string>& MessageTable::BuiltIn() {
    static const std::vector<std::string> texts = {
        "Installation of  Zelvik",
        "Program place: -",
        "Icon place:",
        "- START/PROGRAMY/Zelvik",
        "- Desktop",
        "- START",
        "When you press Finish Installation will be start",
        "I can`t create directory",
        "Program Setup will be abort !",
        "Creating directory",
        "Copying files",
        "Create dir:",
        "Prepare copy",
        "Extract files",
        "- Sources",
        "Zápis do registru",
        "Create desktop link",
        "Link to desktop",
        "Create START link",
        "Link to START",
        "Creating directory START/Programy",
        "Update menu START",
        "Installation is finished",
        "Uninstall",
        "Instalace byla zrušena",
        "Instalace byla dokončena",
        "Všechny soubory v adresáři",
        "budou smazány !!",
        "Opravdu chcete program Zelvik odinstalovat?",
        "Program Zelvik byl odinstalován",
        "Uninstalátor nenašel informace programu Zelvik!",
        "Instalace byla už spuštěna!",
        "Licenční soubor nebyl nalezen",
        "Další adresář",
        "Nebyly nalezeny důležité informace o projektu, prosim kontaktujte výrobce Vašeho ",
        "programu.",
    };
    return texts;
}

const std::string& MessageTable::Text(int index) const {
    static const std::string none;
    return index >= 0 && static_cast<size_t>(index) < lines_.size() ? lines_[index] : none;
}

} // namespace app
