#include "services/form_storage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/error.h"
#include "settings_test_support.h"

namespace services {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class FormStorageTest : public ::testing::Test {
  protected:
    FormStorageTest() { storage_.SetIniFileName(path_); }

    TempFolder folder_;
    const std::string path_ = folder_.Path("setup.ini");
    FormStorage storage_;
};

TEST(FormStorage, StartsWithTheDesignTimeNames) {
    FormStorage storage;
    EXPECT_EQ(storage.IniFileName(), "setup.ini");
    EXPECT_EQ(storage.IniSection(), "ALL");
    EXPECT_EQ(storage.RunFile(), nullptr);
}

// Texts that the reader's quote removal would change are stored in one more pair of double
// quotes, and every text reads back as written.
TEST_F(FormStorageTest, ProtectsQuotedTextsSoTheyReadBackUnchanged) {
    struct Case {
        std::string text, stored;
    };
    const std::vector<Case> cases = {
        {"'Hello'", "\"'Hello'\""},
        {"\"Hello\"", "\"\"Hello\"\""},
        {"''", "\"''\""},
        {"\"\"", "\"\"\"\""},
        {"'", "\"'\""},
        {"\"", "\"\"\""},
        {"'x\"", "'x\""},
        {"Don't", "Don't"},
        {"\"a\" and 'b'", "\"a\" and 'b'"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        testing::fs::remove(testing::PathOf(path_));
        storage_.WriteNamedString("caption", c.text);
        EXPECT_EQ(ReadBytes(path_), "[ALL]\r\ncaption=" + c.stored + "\r\n");
        EXPECT_EQ(storage_.ReadNamedString("caption", "<default>"), c.text);
    }
}

TEST_F(FormStorageTest, ReadsIntegersInDecimalOrHexadecimal) {
    struct Case {
        const char* stored;
        int expected; // with the default 1
    };
    const std::vector<Case> cases = {
        {"26", 26},
        {"0x1A", 26},
        {"0X1a", 26},
        {"$1A", 26},
        {"-$1A", -26},
        {"-5", -5},
        {"+7", 7},
        {"  12  ", 12},
        {"\"12\"", 12},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"0x7fffffff", INT_MAX},
        {"0xFFFFFFFF", -1},
        {"0x80000000", INT_MIN},
        {"0x00000000000000FF", 255},
        // Not numbers: the default.
        {"", 1},
        {"0x", 1},
        {"0X", 1},
        {"$", 1},
        {"-", 1},
        {"0xZZ", 1},
        {"abc", 1},
        {"1.5", 1},
        {"12abc", 1},
        {"1 2", 1},
        {"--1", 1},
        {"-0x1A", 1},
        {"2147483648", 1},
        {"-2147483649", 1},
        {"0x100000000", 1},
        {"99999999999999999999", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteBytes(path_, std::string("[ALL]\r\nsversion=") + c.stored + "\r\n");
        EXPECT_EQ(storage_.ReadNamedInteger("sversion", 1), c.expected);
    }
}

TEST_F(FormStorageTest, GivesDefaultsWithoutFileOrKey) {
    EXPECT_EQ(storage_.ReadNamedString("softname", ""), "");
    EXPECT_EQ(storage_.ReadNamedInteger("icons", 1), 1);
    WriteBytes(path_, "[ALL]\r\nother=5\r\n[X]\r\nicons=7\r\nsoftname=x\r\n");
    EXPECT_EQ(storage_.ReadNamedString("softname", "dflt"), "dflt");
    EXPECT_EQ(storage_.ReadNamedInteger("icons", 1), 1);
}

TEST_F(FormStorageTest, WritesIntegersAndBooleansInDecimal) {
    storage_.WriteNamedInteger("a", -42);
    storage_.WriteNamedInteger("b", INT_MIN);
    storage_.WriteNamedInteger("c", INT_MAX);
    storage_.WriteBool("ALL", "yes", true);
    storage_.WriteBool("ALL", "no", false);
    EXPECT_EQ(ReadBytes(path_),
              "[ALL]\r\na=-42\r\nb=-2147483648\r\nc=2147483647\r\nyes=1\r\nno=0\r\n");
    EXPECT_EQ(storage_.ReadNamedInteger("a", 1), -42);
    EXPECT_EQ(storage_.ReadNamedInteger("b", 1), INT_MIN);
    EXPECT_EQ(storage_.ReadNamedInteger("c", 1), INT_MAX);
}

// What the installer does with its named values: write them back in its order, read them at
// the next start.
TEST_F(FormStorageTest, KeepsTheNamedValuesOfTheInstaller) {
    WriteBytes(path_,
               "[ALL]\r\nFormVersion=0\r\nLabel1_Caption=Vitejte\r\n\r\n[ALL.Memo6_Lines]\r\n"
               "Count=0\r\n");
    const std::string czech = "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88";
    storage_.WriteNamedString("softname", czech);
    storage_.WriteNamedString("company", "'Orvo'");
    storage_.WriteNamedInteger("sversion", 3);
    storage_.WriteNamedString("srelease", "b");
    storage_.WriteNamedInteger("icons", 0);
    storage_.WriteNamedString("progreg", "Zelvik");
    storage_.WriteNamedString("regdir", "C:\\Programs\\Zelvik");
    storage_.WriteNamedString("idn", "ZelvikSetup");
    storage_.WriteNamedString("progname", "zelvik.exe");
    EXPECT_EQ(ReadBytes(path_),
              "[ALL]\r\nFormVersion=0\r\nLabel1_Caption=Vitejte\r\n"
              "softname=\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\ncompany=\"'Orvo'\"\r\nsversion=3\r\n"
              "srelease=b\r\nicons=0\r\nprogreg=Zelvik\r\nregdir=C:\\Programs\\Zelvik\r\n"
              "idn=ZelvikSetup\r\nprogname=zelvik.exe\r\n\r\n[ALL.Memo6_Lines]\r\nCount=0\r\n");

    FormStorage next_start;
    next_start.SetIniFileName(path_);
    EXPECT_EQ(next_start.ReadNamedString("softname", ""), czech);
    EXPECT_EQ(next_start.ReadNamedString("company", ""), "'Orvo'");
    EXPECT_EQ(next_start.ReadNamedInteger("sversion", 1), 3);
    EXPECT_EQ(next_start.ReadNamedInteger("icons", 1), 0);
    EXPECT_EQ(next_start.ReadNamedString("regdir", ""), "C:\\Programs\\Zelvik");
}

TEST_F(FormStorageTest, UsesItsSectionAndListSections) {
    storage_.SetIniSection("Other");
    storage_.WriteNamedString("k", "v");
    storage_.WriteString("Other.Memo6_Lines", "Count", "0");
    storage_.EraseSection("Other.Memo6_Lines");
    EXPECT_EQ(ReadBytes(path_), "[Other]\r\nk=v\r\n");
    EXPECT_EQ(storage_.ReadNamedString("k", ""), "v");
    storage_.SetIniSection("ALL");
    EXPECT_EQ(storage_.ReadNamedString("k", "none"), "none");
}

// Inside a save or restore run every access goes to the run's file object, even after the
// file name has changed; outside a run to the file IniFileName names at that moment.
TEST_F(FormStorageTest, UsesTheRunsFileObjectWhileOneIsSet) {
    const std::string run_path = folder_.Path("run.ini");
    SettingsFile run(run_path);
    storage_.SetRunFile(&run);
    storage_.SetIniFileName(folder_.Path("elsewhere.ini"));
    storage_.WriteNamedString("k", "in run");
    storage_.WriteNamedInteger("n", 5);
    EXPECT_EQ(storage_.ReadNamedString("k", ""), "in run");
    storage_.SetRunFile(nullptr);
    storage_.SetIniFileName(path_);
    storage_.WriteNamedString("k", "own");
    EXPECT_EQ(ReadBytes(run_path), "[ALL]\r\nk=in run\r\nn=5\r\n");
    EXPECT_EQ(ReadBytes(path_), "[ALL]\r\nk=own\r\n");
    EXPECT_EQ(ReadBytes(folder_.Path("elsewhere.ini")), std::nullopt);
}

// A run reads the file once for all its values and sees its own writes; the next run reads
// the file as it is by then.
TEST_F(FormStorageTest, EachRunReadsTheFileAsItIsThen) {
    std::vector<std::string> seen;
    storage_.SetOnRestorePlacement([&](FormStorage& s) {
        ASSERT_NE(s.RunFile(), nullptr);
        EXPECT_TRUE(s.RunFile()->KeepsReads());
        seen.push_back(s.ReadNamedString("k", "none"));
        s.WriteNamedString("k", "written " + std::to_string(seen.size()));
        seen.push_back(s.ReadNamedString("k", "none"));
    });
    WriteBytes(path_, "[ALL]\r\nk=first\r\n");
    storage_.RestoreSettings();
    WriteBytes(path_, "[ALL]\r\nk=second\r\n");
    storage_.RestoreSettings();
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "written 1", "second", "written 3"}));
    EXPECT_EQ(storage_.RunFile(), nullptr);
    EXPECT_EQ(ReadBytes(path_), "[ALL]\r\nk=written 3\r\n");
}

TEST_F(FormStorageTest, RaisesTheWriteErrorWithTheFileName) {
    const std::string bad = folder_.Path("missing/setup.ini");
    storage_.SetIniFileName(bad);
    for (auto write : {+[](FormStorage& s) { s.WriteNamedString("softname", "x"); },
                       +[](FormStorage& s) { s.WriteNamedInteger("icons", 1); }}) {
        try {
            write(storage_);
            ADD_FAILURE() << "no error";
        } catch (const platform::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + bad);
        }
    }
}

} // namespace
} // namespace services
