// The names setup.ini gives folders and the lines of short.txt: what can stay one folder level
// or inside its folder, and the reason given for what cannot.
#include <gtest/gtest.h>

#include <string>

#include "app/name_rules.h"
#include "app/paths.h"
#include "platform/folders.h"

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
        {"", "prázdná hodnota"},
        {"   ", "prázdná hodnota"},
        {"Orvo\\Zelvik", "oddělovač cesty"},
        {"Orvo/Zelvik", "oddělovač cesty"},
        {"C:", "znak \":\""},
        {"a*", "znak \"*\""},
        {"a?", "znak \"?\""},
        {"say \"hi\"", "znak \"\"\""},
        {"<a>", "znak \"<\""},
        {"a|b", "znak \"|\""},
        {"tab\there", "řídicí znak"},
        {std::string("nul\0x", 5), "řídicí znak"},
        {".", "jen tečky"},
        {"..", "jen tečky"},
        {"...", "jen tečky"},
        {"Zelvik.", "tečka nebo mezera na konci"},
        {"Zelvik ", "tečka nebo mezera na konci"},
        {" Zelvik", "mezera na začátku"},
        {"CON", "vyhrazený název zařízení"},
        {"prn", "vyhrazený název zařízení"},
        {"Aux.txt", "vyhrazený název zařízení"},
        {"nul.tar.gz", "vyhrazený název zařízení"},
        {"NUL .txt", "vyhrazený název zařízení"},
        {"com1", "vyhrazený název zařízení"},
        {"LPT9.log", "vyhrazený název zařízení"},
        {"COM0", "vyhrazený název zařízení"},
        {"com\xC2\xB9", "vyhrazený název zařízení"},
        {"LPT\xC2\xB3.txt", "vyhrazený název zařízení"},
        {"conout$", "vyhrazený název zařízení"},
        {std::string(256, 'x'), "delší než 255 znaků"},
        {std::string(254, 'x') + "\xF0\x9F\x90\xA2", "delší než 255 znaků"}, // 2 units
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
        {{"zelvik.exe", "", ""}, "název zástupce: prázdná hodnota"},
        {{"zelvik.exe", "", "Tools\\Zelvik"}, "název zástupce: oddělovač cesty"},
        {{"zelvik.exe", "", "nul"}, "název zástupce: vyhrazený název zařízení"},
        {{"zelvik.exe", "", "Zelvik."}, "název zástupce: tečka nebo mezera na konci"},
        {{"", "", "Zelvik"}, "cíl: prázdná hodnota"},
        {{"\\\\", "", "Zelvik"}, "cíl: prázdná hodnota"},
        {{"..\\..\\Windows\\notepad.exe", "", "Editor"}, "cíl: jen tečky"},
        {{"bin\\..\\..\\x.exe", "", "Editor"}, "cíl: jen tečky"},
        {{".\\zelvik.exe", "", "Zelvik"}, "cíl: jen tečky"},
        {{"C:\\Windows\\notepad.exe", "", "Editor"}, "cíl: znak \":\""},
        {{"zelvik.exe:stream", "", "Zelvik"}, "cíl: znak \":\""},
        {{"bin/../../x.exe", "", "Editor"}, "cíl: oddělovač cesty"},
        {{"  ", "", "Zelvik"}, "cíl: prázdná hodnota"},
        {{"bin\\*.exe", "", "Zelvik"}, "cíl: znak \"*\""},
        {{"zelvik.exe", "\\..\\..", "Zelvik"}, "podadresář: jen tečky"},
        {{"zelvik.exe", "\\Tools\\..\\..\\..", "Zelvik"}, "podadresář: jen tečky"},
        {{"zelvik.exe", "C:\\Users", "Zelvik"}, "podadresář: znak \":\""},
        {{"zelvik.exe", "\\Tools/../..", "Zelvik"}, "podadresář: oddělovač cesty"},
        {{"zelvik.exe", "\\Tools.", "Zelvik"}, "podadresář: tečka nebo mezera na konci"},
        {{"zelvik.exe", "\\Tools\\ \\Docs", "Zelvik"}, "podadresář: prázdná hodnota"},
        {{"zelvik.exe", "\\AUX", "Zelvik"}, "podadresář: vyhrazený název zařízení"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutLineProblem(c.line), c.problem)
            << c.line.target << ";" << c.line.subfolder << ";" << c.line.name;
}

// A folder typed on the folder page: a full path of usable names.
TEST(FolderPath, TypedFolderMustBeAFullPathOfUsableNames) {
    const std::string root = app::kDriveRoot, sep(1, platform::kPathSeparator);
    for (const std::string& path : {root + "Programs" + sep + "Zelvik 2", root + "Zelvik" + sep,
                                    root + "A" + sep + ".." + sep + "Zelvik"})
        EXPECT_EQ(app::FolderPathProblem(path), "") << path;
    EXPECT_EQ(app::FolderPathProblem("Zelvik"), "není úplná cesta");
    EXPECT_EQ(app::FolderPathProblem(""), "není úplná cesta");
    EXPECT_EQ(app::FolderPathProblem(root + "Ze*lvik"), "Ze*lvik: znak \"*\"");
    EXPECT_EQ(app::FolderPathProblem(root + "a" + sep + sep + "b"), ": prázdná hodnota");
#ifdef _WIN32
    EXPECT_EQ(app::FolderPathProblem("\\\\server\\share\\Zelvik"), "");
    EXPECT_EQ(app::FolderPathProblem("\\\\server\\Zelvik"), "není úplná cesta");
    EXPECT_EQ(app::FolderPathProblem("C:Zelvik"), "není úplná cesta");
#endif
}

} // namespace
