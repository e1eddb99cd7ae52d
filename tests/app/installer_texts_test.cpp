// The texts the installer composes without touching the system: the message table, the
// configuration's title and tags, the folder choices, the summary, short.txt lines, the
// lines of a text file and path composition.
#include <gtest/gtest.h>

#include "app/configuration.h"
#include "app/installer.h"
#include "app/message_table.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "app/wizard_text.h"
#include "installer_fakes.h"

namespace {

using apptest::kSep;

TEST(MessageTable, BuiltInTextsByIndex) {
    const app::MessageTable table;
    ASSERT_EQ(table.Lines().size(), 36u);
    const std::pair<int, const char*> samples[] = {
        {0, "Installation of  Zelvik"}, // two blanks
        {1, "Program place: -"},
        {7, "I can`t create directory"},
        {15, "Z\xC3\xA1pis do registru"},
        {24,
         "Instalace byla zru\xC5\xA1"
         "ena"},
        {30,
         "Uninstal\xC3\xA1tor nena\xC5\xA1"
         "el informace programu Zelvik!"},
        {33, "Dal\xC5\xA1\xC3\xAD adres\xC3\xA1\xC5\x99"},
        {34,
         "Nebyly nalezeny d\xC5\xAFle\xC5\xBEit\xC3\xA9 informace o projektu, prosim "
         "kontaktujte v\xC3\xBDrobce Va\xC5\xA1"
         "eho "}, // ends with a blank
        {35, "programu."},
    };
    for (const auto& [index, text] : samples) EXPECT_EQ(table.Text(index), text) << index;
    EXPECT_EQ(table.Text(app::kMsgCompleted),
              "Instalace byla dokon\xC4\x8D"
              "ena");
    // The later texts follow, and a replaced list does not reach them.
    EXPECT_EQ(table.Text(app::kMsgRunFailed), "Instalace se nezda\xC5\x99ila:");
    EXPECT_EQ(table.Text(app::kMsgProtectedRemoval),
              "Tento adres\xC3\xA1\xC5\x99 nelze odstranit:");
    EXPECT_EQ(table.Text(app::kMsgDowngradeQuestion),
              "Chcete ji p\xC5\x99"
              "esto nahradit star\xC5\xA1\xC3\xAD verz\xC3\xAD?");
    EXPECT_EQ(table.Text(app::kMsgCount), "");
    EXPECT_EQ(table.Text(-1), "");
}

TEST(MessageTable, ReplacedAsAWholeAndShorterListsLeaveEmptyEntries) {
    app::MessageTable table;
    table.Replace({"Installation of Krtek", "Folder: "});
    EXPECT_EQ(table.Text(app::kMsgRunFailed), "Instalace se nezda\xC5\x99ila:"); // not reached
    EXPECT_EQ(table.Text(0), "Installation of Krtek");
    EXPECT_EQ(table.Text(1), "Folder: ");
    for (int index : {2, 24, 35}) EXPECT_EQ(table.Text(index), "") << index;
    // The built-in list itself is untouched: another table starts from it.
    EXPECT_EQ(app::MessageTable().Text(2), "Icon place:");
}

// The built-in wording names the package's product, as a word only.
TEST(MessageTable, BuiltInWordingNamesThePackagesProduct) {
    app::MessageTable table;
    table.NameProduct("Krtek 2");
    EXPECT_EQ(table.Text(app::kMsgUninstalled), "Program Krtek 2 byl odinstalov\xC3\xA1n");
    EXPECT_EQ(table.Text(0), "Installation of  Krtek 2");
    EXPECT_EQ(app::WithProductName("Zelvikov Zelvik, (Zelvik)", "K"), "Zelvikov K, (K)");
}

TEST(Configuration, TitleCaptionAndTags) {
    app::Configuration config;
    config.softname = "Zelvik";
    config.sversion = 2;
    config.srelease = "10";
    EXPECT_EQ(app::TitleText(config), "Zelvik v.2.10");
    EXPECT_EQ(app::BoxCaption(config), "Zelvik Setup");
    config.srelease.clear();
    EXPECT_EQ(app::TitleText(config), "Zelvik v.2.");

    struct Case {
        int icons;
        int forward, back;
    };
    for (const Case& c : {Case{1, 3, 3}, Case{0, 4, 2}, Case{2, 3, 3}, Case{-1, 3, 3}}) {
        config.icons = c.icons;
        const app::NavigationTags tags = app::TagsFor(config);
        EXPECT_EQ(app::TagOf(tags.folder_continue), c.forward) << c.icons;
        EXPECT_EQ(app::TagOf(tags.summary_back), c.back) << c.icons;
    }
}

TEST(FolderChoices, OfferedFoldersAndPickerTexts) {
    scratch::RegistryKey registry;
    services::SystemDirSources sources;
    sources.temp_variable = scratch::UniqueName("ORVO_TEST_TEMP");
    sources.user_root = sources.machine_root = platform::RegistryRoot::CurrentUser;
    sources.user_key = registry.Path("Shell Folders");
    sources.machine_key = registry.Path("Machine");
    platform::RegistryKey user, machine;
    ASSERT_TRUE(user.Create(sources.user_root, sources.user_key));
    ASSERT_TRUE(machine.Create(sources.machine_root, sources.machine_key));
    // Trailing separators show which entries are collapsed: only the first.
    EXPECT_TRUE(machine.WriteString("ProgramFilesDir", kSep + "Program Files" + kSep));
    EXPECT_TRUE(user.WriteString("Desktop", kSep + "Desk" + kSep));
    const services::SystemDirs dirs(sources);

    const std::vector<std::string> expected = {
        kSep + "Program Files" + kSep + "Zelvik",
        app::kDriveRoot + "Zelvik",
        kSep + "Desk" + kSep + kSep + "Zelvik",
        ".... Dal\xC5\xA1\xC3\xAD adres\xC3\xA1\xC5\x99 ....",
    };
    EXPECT_EQ(app::FolderChoices(dirs, "Zelvik", app::MessageTable()), expected);

    const std::string apps = kSep + "Apps";
    EXPECT_EQ(app::PickedFolder(apps, "Zelvik"), apps + kSep + "Zelvik");
    EXPECT_EQ(app::PickerLabel(apps, "Zelvik"), apps + kSep + "Zelvik");
    // A root given with its separator: the label keeps both, the folder collapses them.
    EXPECT_EQ(app::PickerLabel(apps + kSep, "Zelvik"), apps + kSep + kSep + "Zelvik");
    EXPECT_EQ(app::PickedFolder(apps + kSep, "Zelvik"), apps + kSep + "Zelvik");
}

TEST(Summary, LinesForEachTickCombination) {
    const app::MessageTable messages;
    const std::string folder = "C:\\Program Files\\Zelvik";
    struct Case {
        bool desktop, start;
        std::vector<std::string> middle;
    };
    const Case cases[] = {
        {false, false, {}},
        {true, false, {"- Desktop"}},
        {false, true, {"- START"}},
        {true, true, {"- Desktop", "- START"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected = {"Installation of  Zelvik",
                                             "Program place: -C:\\Program Files\\Zelvik", "",
                                             "Icon place:", "- START/PROGRAMY/Zelvik"};
        expected.insert(expected.end(), c.middle.begin(), c.middle.end());
        for (const char* line : {"", "When you press Finish Installation will be start", ""})
            expected.push_back(line);
        EXPECT_EQ(app::SummaryLines(folder, {c.desktop, c.start}, messages), expected);
    }
}

TEST(ShortcutList, FieldsEndAtSemicolons) {
    struct Case {
        const char* line;
        const char *target, *subfolder, *name;
    };
    const Case cases[] = {
        {"bin\\tool.exe;\\Tools;Tool;", "bin\\tool.exe", "\\Tools", "Tool"},
        {"x.exe;Tools;X;", "x.exe", "Tools", "X"}, // kept without its backslash
        {"a.exe;;Name;", "a.exe", "", "Name"},     // directly in the group
        // A field without its ";" runs to the end of the line, less trailing blanks.
        {"doc\\navod.pdf;\\Dokumentace;N\xC3\xA1vod k pou\xC5\xBEit\xC3\xAD  ", "doc\\navod.pdf",
         "\\Dokumentace", "N\xC3\xA1vod k pou\xC5\xBEit\xC3\xAD"},
        {"a.exe;\\Sub", "a.exe", "\\Sub", ""},
        {"a.exe", "a.exe", "", ""},
        {"a;b;c;after;more", "a", "b", "c"}, // past the third ";" ignored
        {"", "", "", ""},
        {" a ; b ; c ;", " a ", " b ", " c "}, // blanks are kept
    };
    for (const Case& c : cases) {
        const app::ShortcutLine fields = app::ParseShortcutLine(c.line);
        EXPECT_EQ(fields.target, c.target) << c.line;
        EXPECT_EQ(fields.subfolder, c.subfolder) << c.line;
        EXPECT_EQ(fields.name, c.name) << c.line;
    }
}

TEST(TextLines, EveryLineEndAndNoEmptyLastLine) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo", {"one", "two"}},
        {"one\rtwo\r", {"one", "two"}},
        {"one\r\n\r\nthree", {"one", "", "three"}},
        {"\n", {""}},
        {"a\n\rb", {"a", "", "b"}}, // LF then a lone CR
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(app::SplitLines(text), lines);
}

TEST(Paths, CollapseExtensionAndFileName) {
    // The product's files write "\" between folders; natively that is the separator too.
    EXPECT_EQ(app::CollapsePath("a\\\\b" + kSep + kSep + "c\\"),
              "a" + kSep + "b" + kSep + "c" + kSep);
    EXPECT_EQ(app::CollapsePath(""), "");
#ifdef _WIN32
    // A network path keeps the pair before its server.
    EXPECT_EQ(app::CollapsePath("\\\\server\\\\share"), "\\\\server\\share");
#else
    EXPECT_EQ(app::CollapsePath("//server//share"), "/server/share");
#endif
    const std::pair<std::string, std::string> extensions[] = {
        {"dir" + kSep + "setup.exe", "dir" + kSep + "setup.ini"},
        {"dir" + kSep + "setup", "dir" + kSep + "setup.ini"},
        {"my.dir" + kSep + "setup", "my.dir" + kSep + "setup.ini"},
        {"dir" + kSep + "setup.tar.exe", "dir" + kSep + "setup.tar.ini"},
    };
    for (const auto& [path, changed] : extensions)
        EXPECT_EQ(app::ReplaceExtension(path, ".ini"), changed);
    EXPECT_EQ(app::FileNameOf("dir" + kSep + "setup.exe"), "setup.exe");
    EXPECT_EQ(app::FileNameOf("setup.exe"), "setup.exe");
    EXPECT_EQ(app::WithoutTrailingSeparator("a" + kSep), "a");
    EXPECT_EQ(app::WithoutTrailingSeparator("a" + kSep + kSep), "a" + kSep);
}

TEST(ErrorTexts, ExtractionFailuresAndSystemErrors) {
    const std::pair<int32_t, const char*> cases[] = {
        {-1, "CRC-Error!: orvoinst.zip"},          {-6, "Format  not supported!: orvoinst.zip"},
        {-12, "File not found: orvoinst.zip"},     {-100, "Serious error: orvoinst.zip"},
        {-500, "Missing parameter: orvoinst.zip"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(app::ExtractionFailureText(code, "orvoinst.zip"), text);

    EXPECT_EQ(app::SystemErrorText(0), "");
    const std::string path_not_found = app::SystemErrorText(3);
    EXPECT_FALSE(path_not_found.empty());
    EXPECT_EQ(path_not_found.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(app::SystemErrorText(0x2BADF00D), "Unknown Error (732819469)");
}

} // namespace
