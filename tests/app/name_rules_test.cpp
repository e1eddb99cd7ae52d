// The names setup.ini and short.txt give folders, files and shortcuts: what is made (as Windows
// makes it) and what is refused because it would leave its folder or cannot be made. setup.exe
// and ozip check both judge through these functions.
#include <gtest/gtest.h>

#include <string>

#include "app/name_rules.h"
#include "app/paths.h"
#include "platform/folders.h"

namespace {

using app::NameFault;

app::Configuration Values(const std::string& key, const std::string& value) {
    app::Configuration config;
    config.softname = "Kalkulátor";
    config.company = "Firma";
    config.regdir = "Kalkulátor";
    config.progname = "kalk.exe";
    if (key == "softname") config.softname = value;
    if (key == "company") config.company = value;
    if (key == "regdir") config.regdir = value;
    if (key == "progname") config.progname = value;
    return config;
}

NameFault FaultOf(const std::string& key, const std::string& value) {
    const auto problems = app::NamedValueProblems(Values(key, value));
    return problems.empty() ? NameFault::kNone : problems.front().problem.fault;
}

TEST(NameRules, NamedValuesAsPeopleWriteThemAreMadeAsWindowsMakesThem) {
    const struct {
        const char* key;
        std::string value;
        std::string on_disk; // as FolderNamesOf gives it
    } accepted[] = {
        {"company", "Pekárna Novák s.r.o.", "Pekárna Novák s.r.o"},
        {"company", "Strojírny a.s.", "Strojírny a.s"},
        {"company", "Firma . ", "Firma"},
        {"company", " Mezera vpředu", " Mezera vpředu"},
        {"softname", "Kalkulátor 2.1", "Kalkulátor 2.1"},
        {"softname", "COM10", "COM10"},
        {"regdir", "Firma\\Zelvik", "Firma\\Zelvik"},
        {"regdir", "Firma s.r.o.\\Zelvik.", "Firma s.r.o\\Zelvik"},
        {"regdir", "Firma\\\\Zelvik\\", "Firma\\Zelvik"},
        {"regdir", std::string(255, 'x'), std::string(255, 'x')},
    };
    for (const auto& c : accepted) {
        const app::Configuration config = Values(c.key, c.value);
        EXPECT_TRUE(app::NamedValueProblems(config).empty()) << c.key << "=" << c.value;
        const app::FolderNames names = app::FolderNamesOf(config);
        const std::string& made = std::string(c.key) == "company"    ? names.company
                                  : std::string(c.key) == "softname" ? names.product
                                                                     : names.regdir;
        EXPECT_EQ(made, c.on_disk) << c.key << "=" << c.value;
    }
    for (const char* progname : {"bin\\kalk.exe", "\\kalk.exe", "kalk.exe."})
        EXPECT_EQ(FaultOf("progname", progname), NameFault::kNone) << progname;
}

TEST(NameRules, WhatWouldLeaveItsFolderOrCannotBeMadeIsRefused) {
    const struct {
        const char* key;
        std::string value;
        NameFault fault;
    } refused[] = {
        {"company", "", NameFault::kEmpty},
        {"company", "   ", NameFault::kEmpty},
        {"company", "Firma\\Divize", NameFault::kSeparator},
        {"softname", "A/S", NameFault::kSeparator},
        {"softname", "Zelvik: Pro", NameFault::kCharacter},
        {"softname", "a|b", NameFault::kCharacter},
        {"softname", "tab\there", NameFault::kControlCharacter},
        {"softname", "..", NameFault::kDotsOnly},
        {"softname", ". .", NameFault::kDotsOnly},
        {"company", "CON", NameFault::kDevice},
        {"company", "nul.tar.gz", NameFault::kDevice},
        {"company", "Aux.", NameFault::kDevice},
        {"company", "com\xC2\xB9", NameFault::kDevice},
        {"company", std::string(256, 'x'), NameFault::kTooLong},
        {"company", std::string(254, 'x') + "\xF0\x9F\x90\xA2", NameFault::kTooLong},
        {"regdir", "..\\Windows", NameFault::kDotsOnly},
        {"regdir", "Firma\\..\\..", NameFault::kDotsOnly},
        {"regdir", "\\Zelvik", NameFault::kRooted},
        {"regdir", "C:\\Zelvik", NameFault::kCharacter},
        {"regdir", "\\\\server\\share", NameFault::kRooted},
        {"regdir", "Firma\\LPT1", NameFault::kDevice},
        {"regdir", "\\", NameFault::kRooted},
        {"progname", "..\\..\\Windows\\notepad.exe", NameFault::kDotsOnly},
        {"progname", "C:\\Windows\\notepad.exe", NameFault::kCharacter},
    };
    for (const auto& c : refused)
        EXPECT_EQ(FaultOf(c.key, c.value), c.fault) << c.key << "=" << c.value;
}

TEST(NameRules, ShortcutLines) {
    const struct {
        std::string line;
        NameFault fault;
        app::LinePart part;
    } cases[] = {
        {"zelvik.exe;;Zelvik;", NameFault::kNone, app::LinePart::kWhole},
        {"doc\\navod.pdf;\\Dokumentace;Návod k použití", NameFault::kNone, app::LinePart::kWhole},
        {"zelvik.exe;\\Nástroje s.r.o.;Zelvik.;", NameFault::kNone, app::LinePart::kWhole},
        {"zelvik.exe;;", NameFault::kEmpty, app::LinePart::kShortcutName},
        {"zelvik.exe", NameFault::kEmpty, app::LinePart::kShortcutName},
        {"zelvik.exe;;Tools\\Zelvik;", NameFault::kSeparator, app::LinePart::kShortcutName},
        {"zelvik.exe;;nul;", NameFault::kDevice, app::LinePart::kShortcutName},
        {"zelvik.exe;\\..\\..;Zelvik;", NameFault::kDotsOnly, app::LinePart::kSubfolder},
        {"zelvik.exe;C:\\Users;Zelvik;", NameFault::kCharacter, app::LinePart::kSubfolder},
        {"..\\..\\Windows\\notepad.exe;;Editor;", NameFault::kDotsOnly, app::LinePart::kTarget},
        {"bin/../../x.exe;;Editor;", NameFault::kSeparator, app::LinePart::kTarget},
        {"zelvik.exe:stream;;Zelvik;", NameFault::kCharacter, app::LinePart::kTarget},
        {";;Zelvik;", NameFault::kEmpty, app::LinePart::kTarget},
    };
    for (const auto& c : cases) {
        const app::NameProblem problem = app::CheckShortcutLine(app::ParseShortcutLine(c.line));
        EXPECT_EQ(problem.fault, c.fault) << c.line;
        EXPECT_EQ(problem.part, c.part) << c.line;
    }
    // The reason as the skipped line's box words it.
    const app::MessageTable messages;
    EXPECT_EQ(
        app::Describe(app::CheckShortcutLine(app::ParseShortcutLine("x.exe;\\a:b;X;")), messages),
        "podadresář: znak \":\"");
}

// A folder typed on the folder page: a full path of usable names.
TEST(NameRules, TypedFolderMustBeAFullPathOfUsableNames) {
    const std::string root = app::kDriveRoot, sep(1, platform::kPathSeparator);
    for (const std::string& path :
         {root + "Programs" + sep + "Zelvik 2", root + "Zelvik" + sep,
          root + "A" + sep + ".." + sep + "Zelvik", root + "Firma s.r.o." + sep + "Zelvik"})
        EXPECT_FALSE(app::CheckFolderPath(path)) << path;
    EXPECT_EQ(app::CheckFolderPath("Zelvik").fault, NameFault::kNotFullPath);
    EXPECT_EQ(app::Describe(app::CheckFolderPath(root + "Ze*lvik"), app::MessageTable()),
              "Ze*lvik: znak \"*\"");
#ifdef _WIN32
    EXPECT_FALSE(app::CheckFolderPath("\\\\server\\share\\Zelvik"));
    // The share's root is a full path like "C:\", refused later as a root.
    EXPECT_FALSE(app::CheckFolderPath("\\\\server\\share"));
    for (const char* nameless : {"\\\\server", "\\\\server\\", "\\\\\\share\\Zelvik", "C:Zelvik"})
        EXPECT_EQ(app::CheckFolderPath(nameless).fault, NameFault::kNotFullPath) << nameless;
    // The steps stay; a trailing dot goes, as the folder is made.
    EXPECT_EQ(app::LevelsOnDisk("C:\\Firma s.r.o.\\..\\Zelvik. "), "C:\\Firma s.r.o\\..\\Zelvik");
#endif
}

} // namespace
