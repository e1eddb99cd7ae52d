// The stored texts of the main window and the save and restore runs around them: keys,
// sections, the order of the entries, the list rules, and what the window's events do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/controls.h"
#include "fake_window.h"
#include "services/form_storage.h"
#include "services/stored_properties.h"
#include "settings_test_support.h"

namespace services {
namespace {

using testing::FakeWindow;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Lines = std::vector<std::string>;
using contract::MainWindowStoredProps;

struct EntryName {
    std::string component, property;
    bool list;
};

EntryName NameOf(const std::string& entry) {
    const size_t dot = entry.find('.');
    const std::string property = entry.substr(dot + 1);
    return {entry.substr(0, dot), property, property != "Caption"};
}

// The main window with the texts of its layout (ASCII, so that file bytes read plainly), and
// controls whose texts are not stored.
void FillMainWindow(FakeWindow& window) {
    for (const std::string& entry : MainWindowStoredProps()) {
        const EntryName name = NameOf(entry);
        if (!name.list) window.AddText(name.component, "Caption", name.component + " caption");
    }
    window.AddList("ProgIcon", "Items", {"Na plochu", "Do hlavni nabidky START"});
    window.AddList("Memo5", "Lines", {"Odinstalovat", "", "Storno"});
    for (const char* memo : {"Memo2", "Memo3", "Memo4"}) window.AddList(memo, "Lines", {});
    window.AddList("Memo6", "Lines",
                   {"Installation of  Zelvik", "Program place: -", "Icon place:", "- START"});
    window.AddText("BitBtn1", "Hint", "not stored");
    window.AddText("Storno", "Caption", "Storno");
    window.AddList("Memo1", "Lines", {"summary"});

    window.traits.has_handle = true;
    window.traits.visible = true;
    window.traits.borderless = true;
    window.traits.resizable = false;
    window.traits.width = 1024;
    window.traits.height = 768;
    window.placement = {0, platform::kShowNormal, {-1, -1}, {-1, -1}, {0, 0, 1024, 768}};
}

// The main window with its settings component wired as the installer wires it; the window's
// own handlers and the component's events note their calls.
struct Rig {
    explicit Rig(const std::string& path) {
        FillMainWindow(window);
        window.events.shown = [this] {
            calls.push_back("own shown");
            caption_when_shown = window.Prop("Label1", "Caption").text;
        };
        window.events.close_requested = [this](bool& can_close) {
            calls.push_back("own close");
            can_close = !keep_open;
        };
        window.events.destroyed = [this] { calls.push_back("own destroyed"); };
        storage.SetIniFileName(path);
        storage.SetStoredProps(MainWindowStoredProps());
        storage.SetOnSavePlacement([this](FormStorage& sender) {
            calls.push_back(sender.Destroying() ? "save while destroying" : "save");
            run_file = sender.RunFile() ? sender.RunFile()->FileName() : "none";
            sender.WriteNamedString("softname", "Zelvik");
            sender.WriteNamedInteger("sversion", 2);
        });
        storage.SetOnRestorePlacement([this](FormStorage&) { calls.push_back("restored"); });
        storage.Attach(window);
    }

    FakeWindow window;
    FormStorage storage; // after the window: detaches before the window goes
    Lines calls;
    std::string caption_when_shown, run_file;
    bool keep_open = false;
};

class StoredTextsTest : public ::testing::Test {
  protected:
    Lines& LinesOf(const std::string& component, const std::string& property) {
        return window_.Prop(component, property).lines;
    }
    std::string& TextOf(const std::string& component) {
        return window_.Prop(component, "Caption").text;
    }
    bool FileHas(const std::string& text) {
        std::optional<std::string> bytes = ReadBytes(path_);
        return bytes && bytes->find(text) != std::string::npos;
    }

    TempFolder folder_;
    const std::string path_ = folder_.Path("setup.ini");
    Rig rig_{path_};
    FakeWindow& window_ = rig_.window;
    FormStorage& storage_ = rig_.storage;
    Lines& calls_ = rig_.calls;
};

TEST(StoredProps, MainWindowHasItsEntriesInOrder) {
    const std::vector<std::string>& entries = MainWindowStoredProps();
    ASSERT_EQ(entries.size(), 30u);
    EXPECT_EQ(entries.front(), "Label1.Caption");
    EXPECT_EQ(entries[6], "ProgIcon.Items");
    EXPECT_EQ(entries[23], "Memo6.Lines");
    EXPECT_EQ(entries[27], "RadioButtyes.Caption");
    EXPECT_EQ(entries.back(), "Label8.Caption");
}

TEST(StoredProps, SplitsAtTheFirstDotAndTrims) {
    struct Case {
        const char* entry;
        bool valid;
        const char* component;
        const char* property;
    };
    const Case cases[] = {
        {"Label1.Caption", true, "Label1", "Caption"},
        {"  Label1 .\tCaption ", true, "Label1", "Caption"},
        {"Memo6.Lines.Strings", true, "Memo6", "Lines.Strings"},
        {"Label1", false, "", ""},
        {".Caption", false, "", ""},
        {"Label1.", false, "", ""},
        {" . ", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        std::optional<StoredPropName> name = SplitStoredProp(c.entry);
        ASSERT_EQ(name.has_value(), c.valid);
        if (!name) continue;
        EXPECT_EQ(name->component, c.component);
        EXPECT_EQ(name->property, c.property);
    }
}

TEST(ErrorBox, AddsAFullStopAfterLettersAndDigits) {
    const std::pair<std::string, std::string> cases[] = {
        {"Unable to write to C:\\setup.ini", "Unable to write to C:\\setup.ini."},
        {"Disk 2", "Disk 2."},
        {"Done.", "Done."},
        {"Really?", "Really?."},
        {"Stop!", "Stop!"},
        {"(x)", "(x)"},
        {"C:\\dir/", "C:\\dir/."},
        {"\xC5\xBElu\xC5\xA5", "\xC5\xBElu\xC5\xA5."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) EXPECT_EQ(ErrorBoxText(message), shown);
}

// The first close writes the version, the placement, every stored property in list order
// (lists in sections of their own, empty lists not at all), then the named values.
TEST_F(StoredTextsTest, FirstCloseWritesEveryStoredPropertyInOrder) {
    window_.Show();
    EXPECT_TRUE(window_.Close());
    // The borderless window's maximized position was moved to the origin when shown.
    std::string expected =
        "[ALL]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\n"
        "MinMaxPos(1024x768)=-1,-1,0,0\r\nMinMaxPos=-1,-1,0,0\r\n"
        "NormPos(1024x768)=0,0,1024,768\r\nNormPos=0,0,1024,768\r\nVisible=0\r\n";
    std::string lists;
    int text_keys = 0;
    for (const std::string& entry : MainWindowStoredProps()) {
        const EntryName name = NameOf(entry);
        const std::string key = name.component + "_" + name.property;
        if (!name.list) {
            expected += key + "=" + name.component + " caption\r\n";
            ++text_keys;
            continue;
        }
        const Lines& lines = LinesOf(name.component, name.property);
        if (lines.empty()) continue;
        lists += "[ALL." + key + "]\r\nCount=" + std::to_string(lines.size()) + "\r\n";
        for (size_t i = 0; i < lines.size(); ++i)
            lists += "Item" + std::to_string(i) + "=" + lines[i] + "\r\n";
    }
    expected += "softname=Zelvik\r\nsversion=2\r\n" + lists;
    EXPECT_EQ(text_keys, 24);
    EXPECT_EQ(ReadBytes(path_), expected);
}

TEST_F(StoredTextsTest, RestoreFindingNothingKeepsTheLayoutsTexts) {
    const std::vector<FakeWindow::Component> before = window_.components;
    window_.Show();
    ASSERT_EQ(window_.components.size(), before.size());
    for (size_t c = 0; c < before.size(); ++c)
        for (size_t p = 0; p < before[c].properties.size(); ++p) {
            SCOPED_TRACE(before[c].name + "." + before[c].properties[p].name);
            EXPECT_EQ(window_.components[c].properties[p].text, before[c].properties[p].text);
            EXPECT_EQ(window_.components[c].properties[p].lines, before[c].properties[p].lines);
        }
    EXPECT_EQ(window_.placement.normal, (platform::WindowRect{0, 0, 1024, 768}));
    EXPECT_EQ(window_.log, (Lines{"normal", "repaint"}));
    EXPECT_EQ(ReadBytes(path_), std::nullopt); // reading writes nothing
    EXPECT_TRUE(storage_.Restored());
}

TEST_F(StoredTextsTest, RestoresCaptionsPresentKeysOnly) {
    struct Case {
        const char* file;
        const char* caption; // of Label1 afterwards
    };
    const Case cases[] = {
        {"[ALL]\r\nLabel1_Caption=Vitejte\r\n", "Vitejte"},
        {"[ALL]\r\nLabel1_Caption=\r\n", ""},
        {"[ALL]\r\nLabel1_Caption\r\n", "Label1 caption"},
        {"[ALL]\r\nother=1\r\n", "Label1 caption"},
        {"[all]\r\nLABEL1_CAPTION=any case\r\n", "any case"},
        {"[ALL]\r\nLabel1_Caption=   padded \t\r\n", "padded"},
        {"[ALL]\r\nLabel1_Caption=\"'quoted'\"\r\n", "'quoted'"},
        {"[Other]\r\nLabel1_Caption=elsewhere\r\n", "Label1 caption"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TextOf("Label1") = "Label1 caption";
        WriteBytes(path_, c.file);
        window_.Show();
        EXPECT_EQ(TextOf("Label1"), c.caption);
        EXPECT_EQ(TextOf("Label2"), "Label2 caption");
    }
}

TEST_F(StoredTextsTest, ReplacesAListOnlyWhenItsSectionCountsLines) {
    const Lines builtin = LinesOf("Memo6", "Lines");
    struct Case {
        const char* section; // the body of [ALL.Memo6_Lines], or null for no section
        Lines lines;
    };
    const Case cases[] = {
        {nullptr, builtin},
        {"Count=0\r\nItem0=x\r\n", builtin},
        {"Count=abc\r\nItem0=x\r\n", builtin},
        {"Count=-2\r\nItem0=x\r\n", builtin},
        {"Item0=x\r\n", builtin},
        {"Count=3\r\nItem0=a\r\n", {"a", "", ""}},
        {"Count=2\r\nItem0=x\r\nItem1=y\r\nItem2=z\r\n", {"x", "y"}},
        {"count= 2 \r\nitem1=second\r\n", {"", "second"}},
        {"Count=0x2\r\nItem0=h\r\n", {"h", ""}},
        {"Count=1\r\nItem0=   \r\n", {""}},
        {"Count=1\r\nItem01=no leading zeros\r\n", {""}},
        {"Count=1\r\nItem0=\"\"two\"\"\r\n", {"\"two\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section ? c.section : "(none)");
        LinesOf("Memo6", "Lines") = builtin;
        WriteBytes(path_, std::string("[ALL]\r\nFormVersion=0\r\n") +
                              (c.section ? std::string("[ALL.Memo6_Lines]\r\n") + c.section : ""));
        window_.Show();
        EXPECT_EQ(LinesOf("Memo6", "Lines"), c.lines);
    }
}

// A count from the file cannot make the restore read forever.
TEST_F(StoredTextsTest, ReadsAtMostTheLineLimitOfAList) {
    WriteBytes(path_, "[ALL.Memo2_Lines]\r\nCount=2000000000\r\nItem0=a\r\n");
    window_.Show();
    const Lines& lines = LinesOf("Memo2", "Lines");
    ASSERT_EQ(lines.size(), static_cast<size_t>(kMaxStoredListLines));
    EXPECT_EQ(lines.front(), "a");
    EXPECT_EQ(lines.back(), "");
}

TEST_F(StoredTextsTest, KeepsBlanksQuotesAndCzechThroughACloseAndAShow) {
    TextOf("Label1") = "Um\xC3\xADst\xC4\x9Bn\xC3\xAD programu";
    TextOf("Label2") = "  Dalsi >  ";
    TextOf("RadioButtNO") = "'Ne'";
    LinesOf("Memo5", "Lines") = {"   ", "'a'", "\"b\"", " c ", "line"};
    window_.Show();
    window_.Close();
    EXPECT_TRUE(FileHas("Label1_Caption=Um\xEDst\xECn\xED programu\r\n")); // code page 1250
    EXPECT_TRUE(FileHas("Label2_Caption=Dalsi >\r\n"));
    EXPECT_TRUE(FileHas("RadioButtNO_Caption=\"'Ne'\"\r\n"));
    EXPECT_TRUE(FileHas("Item1=\"'a'\"\r\nItem2=\"\"b\"\"\r\n"));

    Rig next(path_);
    next.window.Show();
    EXPECT_EQ(next.window.Prop("Label1", "Caption").text, "Um\xC3\xADst\xC4\x9Bn\xC3\xAD programu");
    EXPECT_EQ(next.window.Prop("Label2", "Caption").text, "Dalsi >");
    EXPECT_EQ(next.window.Prop("RadioButtNO", "Caption").text, "'Ne'");
    EXPECT_EQ(next.window.Prop("Memo5", "Lines").lines, (Lines{"", "'a'", "\"b\"", "c", "line"}));
}

TEST_F(StoredTextsTest, ListSectionsHoldExactlyTheCurrentLines) {
    window_.Show();
    window_.Close();
    EXPECT_TRUE(FileHas("[ALL.Memo6_Lines]\r\nCount=4\r\n"));
    window_.Show();
    LinesOf("Memo6", "Lines") = {"only"};
    window_.Close();
    EXPECT_TRUE(FileHas("[ALL.Memo6_Lines]\r\nCount=1\r\nItem0=only\r\n"));
    EXPECT_FALSE(FileHas("Item3="));
    window_.Show();
    LinesOf("Memo6", "Lines").clear();
    window_.Close();
    EXPECT_FALSE(FileHas("Memo6_Lines"));
}

// A lower "FormVersion" keeps the layout's texts and placement; the next close still writes
// everything, with the component's version.
TEST_F(StoredTextsTest, VersionDecidesWhetherTheFileIsRestoredFrom) {
    struct Case {
        const char* version_line;
        int version;
        bool restored;
    };
    const Case cases[] = {
        {"", 0, true},
        {"FormVersion=0\r\n", 0, true},
        {"FormVersion=-1\r\n", 0, false},
        {"FormVersion=5\r\n", 3, true},
        {"FormVersion=2\r\n", 3, false},
        {"FormVersion=x\r\n", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version_line);
        TextOf("Label1") = "Label1 caption";
        calls_.clear();
        window_.log.clear();
        storage_.SetVersion(c.version);
        WriteBytes(path_, std::string("[ALL]\r\n") + c.version_line +
                              "Label1_Caption=Stored\r\nNormPos=10,10,300,200\r\nShowCmd=3\r\n");
        window_.Show();
        EXPECT_EQ(TextOf("Label1"), c.restored ? "Stored" : "Label1 caption");
        EXPECT_EQ(calls_.front(), c.restored ? "restored" : "own shown");
        EXPECT_EQ(window_.log.empty(), !c.restored);
        EXPECT_TRUE(storage_.Restored());
        window_.Close();
        EXPECT_TRUE(FileHas("\r\nFormVersion=" + std::to_string(c.version) + "\r\n"));
        EXPECT_TRUE(FileHas(c.restored ? "Label1_Caption=Stored\r\n"
                                       : "Label1_Caption=Label1 caption\r\n"));
    }
}

// What the window's three events do, and what lands in the file ("Visible" or nothing).
TEST(StoredTextsEvents, RunTheRunsAroundTheWindowsOwnHandlers) {
    struct Case {
        const char* what;
        const char* events; // S shown, C close requested, D destroyed
        bool active, has_handle, keep_open;
        Lines calls;
        const char* visible; // the file's "Visible", or null for no file
    };
    const Case cases[] = {
        {"shown, closed, destroyed",
         "SCD",
         true,
         true,
         false,
         {"restored", "own shown", "own close", "save", "own destroyed"},
         "0"},
        {"destroyed without close",
         "SD",
         true,
         true,
         false,
         {"restored", "own shown", "save while destroying", "own destroyed"},
         "1"},
        {"shown again after close",
         "SCSC",
         true,
         true,
         false,
         {"restored", "own shown", "own close", "save", "restored", "own shown", "own close",
          "save"},
         "0"},
        {"kept open", "SC", true, true, true, {"restored", "own shown", "own close"}, nullptr},
        {"never shown", "CD", true, true, false, {"own close", "own destroyed"}, nullptr},
        {"inactive",
         "SCD",
         false,
         true,
         false,
         {"own shown", "own close", "own destroyed"},
         nullptr},
        {"no system window",
         "SC",
         true,
         false,
         false,
         {"restored", "own shown", "own close"},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        Rig rig(folder.Path("setup.ini"));
        rig.storage.SetActive(c.active);
        rig.window.traits.has_handle = c.has_handle;
        rig.keep_open = c.keep_open;
        for (const char* e = c.events; *e; ++e) {
            if (*e == 'S') rig.window.Show();
            if (*e == 'C') {
                EXPECT_EQ(rig.window.Close(), !c.keep_open);
            }
            if (*e == 'D') rig.window.Destroy();
            EXPECT_FALSE(rig.storage.Destroying());
        }
        EXPECT_EQ(rig.calls, c.calls);
        EXPECT_EQ(rig.storage.Saved(), c.visible != nullptr);
        EXPECT_EQ(rig.storage.Restored(), c.calls.front() == "restored");
        const std::optional<std::string> file = ReadBytes(folder.Path("setup.ini"));
        ASSERT_EQ(file.has_value(), c.visible != nullptr);
        if (file) {
            EXPECT_NE(file->find(std::string("\r\nVisible=") + c.visible + "\r\n"),
                      std::string::npos);
        }
        EXPECT_TRUE(rig.window.errors.empty());
    }
}

TEST_F(StoredTextsTest, ShownRestoresBeforeTheOwnHandlerAndARunUsesOneFile) {
    WriteBytes(path_, "[ALL]\r\nLabel1_Caption=Stored\r\n");
    window_.Show();
    EXPECT_EQ(rig_.caption_when_shown, "Stored");
    window_.Close();
    EXPECT_EQ(rig_.run_file, path_);
    EXPECT_EQ(storage_.RunFile(), nullptr);
    // A never-shown inactive component still saves when asked directly.
    TempFolder other;
    Rig inactive(other.Path("setup.ini"));
    inactive.storage.SetActive(false);
    inactive.storage.SaveSettings();
    EXPECT_TRUE(ReadBytes(other.Path("setup.ini")).has_value());
}

TEST_F(StoredTextsTest, DetachGivesTheWindowItsOwnHandlersBack) {
    WriteBytes(path_, "[ALL]\r\nLabel1_Caption=Stored\r\n");
    storage_.Detach();
    window_.Show();
    window_.Close();
    EXPECT_EQ(TextOf("Label1"), "Label1 caption");
    EXPECT_EQ(calls_, (Lines{"own shown", "own close"}));
}

// Under Wine as root the file system would let the write through; the settings file refuses
// read-only files itself.
TEST_F(StoredTextsTest, ReadOnlyFileShowsOneErrorAndClosingGoesOn) {
    const std::string old = "[ALL]\r\nsoftname=Zelvik\r\n";
    WriteBytes(path_, old);
    testing::fs::permissions(testing::PathOf(path_),
                             testing::fs::perms::all & ~(testing::fs::perms::owner_write |
                                                         testing::fs::perms::group_write |
                                                         testing::fs::perms::others_write));
    window_.Show();
    EXPECT_TRUE(window_.Close());
    window_.Destroy();
    EXPECT_EQ(window_.errors, (Lines{"Unable to write to " + path_ + "."}));
    EXPECT_EQ(calls_, (Lines{"restored", "own shown", "own close", "own destroyed"}));
    EXPECT_EQ(ReadBytes(path_), old);
    EXPECT_FALSE(storage_.Saved());
}

TEST_F(StoredTextsTest, RestoreErrorIsShownAndTheWindowShownAllTheSame) {
    window_.placement_fails = true;
    window_.Show();
    EXPECT_EQ(window_.errors, (Lines{"Cannot place the window."}));
    EXPECT_EQ(calls_.back(), "own shown");
}

TEST_F(StoredTextsTest, TextTheWindowRefusesIsPassedOver) {
    window_.Prop("Label2", "Caption").refuses = true;
    WriteBytes(path_,
               "[ALL]\r\nLabel1_Caption=one\r\nLabel2_Caption=two\r\nLabel6_Caption=six\r\n");
    window_.Show();
    EXPECT_EQ(TextOf("Label1"), "one");
    EXPECT_EQ(TextOf("Label2"), "Label2 caption");
    EXPECT_EQ(TextOf("Label6"), "six");
    EXPECT_TRUE(window_.errors.empty());
}

TEST_F(StoredTextsTest, KeepsOnlyEntriesNamingAComponentOfTheWindow) {
    storage_.SetStoredProps({"Label1.Caption", "Nothing.Caption", "NoDot", ".Caption", "Label2.",
                             " label3 . caption ", "Storno.Missing", "Memo1.lines"});
    EXPECT_EQ(storage_.StoredProps(),
              (Lines{"Label1.Caption", " label3 . caption ", "Storno.Missing", "Memo1.lines"}));
    window_.Show();
    window_.Close();
    // Entries are rebuilt from the components' names; keys keep the entry's property spelling.
    EXPECT_EQ(storage_.StoredProps(),
              (Lines{"Label1.Caption", "Label3.caption", "Storno.Missing", "Memo1.lines"}));
    EXPECT_TRUE(
        FileHas("Visible=0\r\nLabel1_Caption=Label1 caption\r\nLabel3_caption=Label3 "
                "caption\r\nsoftname=Zelvik\r\nsversion=2\r\n[ALL.Memo1_lines]\r\n"));
    EXPECT_FALSE(FileHas("Missing"));
    EXPECT_FALSE(FileHas("Label2"));

    // A renamed component is stored under its new name.
    window_.Show();
    window_.components.front().name = "Heading";
    window_.Close();
    EXPECT_TRUE(FileHas("Heading_Caption=Label1 caption\r\n"));
    EXPECT_EQ(storage_.StoredProps().front(), "Heading.Caption");
}

} // namespace
} // namespace services
