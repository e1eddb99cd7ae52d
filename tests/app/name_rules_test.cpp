// The names setup.ini gives folders and the lines of short.txt: what can stay one folder level
// or inside its folder, and the reason given for what cannot.
#include <gtest/gtest.h>

#include <string>

#include "app/name_rules.h"

namespace {

using app::FolderNameProblem;
using app::ShortcutLineProblem;

TEST(FolderName, OrdinaryNamesPass) {
    const std::string e_acute = "\xC3\xA9", z_caron = "\xC5\xBD";
    std::string long_accented;
    for (int i = 0; i < 255; ++i) long_accented += e_acute; // 255 units, 510 bytes
    for (const std::string& name :
         {std::string("Zelvik"), std::string("Orvo Software"), z_caron + "elvik 2.1",
          std::string(".config"), std::string("a.b"), std::string("COM10"), std::string("CONSOLE"),
          std::string("LPT"), std::string("nul_"), std::string("AUXILIARY.txt"),
          std::string(255, 'x'), long_accented})
        EXPECT_EQ(FolderNameProblem(name), "") << name;
}

TEST(FolderName, RefusedNamesSayWhy) {
    const struct {
        std::string name;
        std::string problem;
    } cases[] = {
        {"", "is empty or blank"},
        {"   ", "is empty or blank"},
        {"Orvo\\Zelvik", "contains a path separator"},
        {"Orvo/Zelvik", "contains a path separator"},
        {"C:", "contains the character \":\""},
        {"a*", "contains the character \"*\""},
        {"a?", "contains the character \"?\""},
        {"say \"hi\"", "contains the character \"\"\""},
        {"<a>", "contains the character \"<\""},
        {"a|b", "contains the character \"|\""},
        {"tab\there", "contains a control character"},
        {std::string("nul\0x", 5), "contains a control character"},
        {".", "consists of dots only"},
        {"..", "consists of dots only"},
        {"...", "consists of dots only"},
        {"Zelvik.", "ends with a dot or a space"},
        {"Zelvik ", "ends with a dot or a space"},
        {" Zelvik", "starts with a space"},
        {"CON", "is a reserved device name"},
        {"prn", "is a reserved device name"},
        {"Aux.txt", "is a reserved device name"},
        {"nul.tar.gz", "is a reserved device name"},
        {"NUL .txt", "is a reserved device name"},
        {"com1", "is a reserved device name"},
        {"LPT9.log", "is a reserved device name"},
        {"COM0", "is a reserved device name"},
        {"com\xC2\xB9", "is a reserved device name"},
        {"LPT\xC2\xB3.txt", "is a reserved device name"},
        {"conout$", "is a reserved device name"},
        {std::string(256, 'x'), "is longer than 255 characters"},
        {std::string(254, 'x') + "\xF0\x9F\x90\xA2", "is longer than 255 characters"}, // 2 units
    };
    for (const auto& c : cases) EXPECT_EQ(FolderNameProblem(c.name), c.problem) << c.name;
}

TEST(ShortcutLine, UsableLinesPass) {
    for (const app::ShortcutLine& line : {
             app::ShortcutLine{"zelvik.exe", "", "Zelvik"},
             app::ShortcutLine{"bin\\zelvik.exe", "\\Tools", "Zelvik"},
             app::ShortcutLine{"doc\\manual.pdf", "\\Tools\\Docs", "Manual 2.1"},
             // Empty levels collapse in the composed paths.
             app::ShortcutLine{"\\bin\\\\zelvik.exe", "\\\\Tools\\", "Zelvik"},
             app::ShortcutLine{"doc\\", "", "Documents"},
         })
        EXPECT_EQ(ShortcutLineProblem(line), "") << line.target << ";" << line.subfolder;
}

TEST(ShortcutLine, LinesThatWouldLeaveTheirFolderOrNameNothingAreRefused) {
    const struct {
        app::ShortcutLine line;
        std::string problem;
    } cases[] = {
        {{"zelvik.exe", "", ""}, "the shortcut name is empty or blank"},
        {{"zelvik.exe", "", "Tools\\Zelvik"}, "the shortcut name contains a path separator"},
        {{"zelvik.exe", "", "nul"}, "the shortcut name is a reserved device name"},
        {{"zelvik.exe", "", "Zelvik."}, "the shortcut name ends with a dot or a space"},
        {{"", "", "Zelvik"}, "the target is empty"},
        {{"\\\\", "", "Zelvik"}, "the target is empty"},
        {{"..\\..\\Windows\\notepad.exe", "", "Editor"},
         "a level of the target consists of dots only"},
        {{"bin\\..\\..\\x.exe", "", "Editor"}, "a level of the target consists of dots only"},
        {{".\\zelvik.exe", "", "Zelvik"}, "a level of the target consists of dots only"},
        {{"C:\\Windows\\notepad.exe", "", "Editor"},
         "a level of the target contains the character \":\""},
        {{"zelvik.exe:stream", "", "Zelvik"}, "a level of the target contains the character \":\""},
        {{"bin/../../x.exe", "", "Editor"}, "a level of the target contains a path separator"},
        {{"  ", "", "Zelvik"}, "a level of the target is empty or blank"},
        {{"bin\\*.exe", "", "Zelvik"}, "a level of the target contains the character \"*\""},
        {{"zelvik.exe", "\\..\\..", "Zelvik"}, "a level of the subfolder consists of dots only"},
        {{"zelvik.exe", "\\Tools\\..\\..\\..", "Zelvik"},
         "a level of the subfolder consists of dots only"},
        {{"zelvik.exe", "C:\\Users", "Zelvik"},
         "a level of the subfolder contains the character \":\""},
        {{"zelvik.exe", "\\Tools/../..", "Zelvik"},
         "a level of the subfolder contains a path separator"},
        {{"zelvik.exe", "\\Tools.", "Zelvik"},
         "a level of the subfolder ends with a dot or a space"},
        {{"zelvik.exe", "\\Tools\\ \\Docs", "Zelvik"},
         "a level of the subfolder is empty or blank"},
        {{"zelvik.exe", "\\AUX", "Zelvik"}, "a level of the subfolder is a reserved device name"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutLineProblem(c.line), c.problem)
            << c.line.target << ";" << c.line.subfolder << ";" << c.line.name;
}

} // namespace
