#include "services/settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "settings_test_support.h"

namespace services {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kDefault = "<default>";

// "Žluťoučký kůň" in UTF-8 and in code page 1250.
const std::string kCzech = "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88";
const std::string kCzech1250 = "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2";
// The byte-order mark that starts a file saved as UTF-8.
const std::string kMark = "\xEF\xBB\xBF";

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

struct ReadCase {
    const char* what;
    std::string file;
    std::string section, key;
    std::string expected;
};

TEST(SettingsFileRead, FollowsTheProfileRules) {
    const std::vector<ReadCase> cases = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"names ignore case", "[Sec]\r\nKey=v\r\n", "sEC", "kEY", "v"},
        {"blanks around names and value", "[S]\r\n \t key \t= \t v w \t\r\n", " S ", " key ",
         "v w"},
        {"header with blanks and trailing text", "  [ S ] junk\r\nk=v\r\n", "S", "k", "v"},
        {"double quotes removed", "[S]\r\nk=\"v w\"\r\n", "S", "k", "v w"},
        {"single quotes removed", "[S]\r\nk='v'\r\n", "S", "k", "v"},
        {"blanks inside quotes kept", "[S]\r\nk= \" a \" \r\n", "S", "k", " a "},
        {"mismatched quotes kept", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
        {"a lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"only one pair removed", "[S]\r\nk=\"\"v\"\"\r\n", "S", "k", "\"v\""},
        {"empty quotes", "[S]\r\nk=''\r\n", "S", "k", ""},
        {"empty value", "[S]\r\nk=\r\n", "S", "k", ""},
        {"line without equals is no value", "[S]\r\nk\r\n", "S", "k", kDefault},
        {"absent key", "[S]\r\nk=v\r\n", "S", "x", kDefault},
        {"absent section", "[S]\r\nk=v\r\n", "T", "k", kDefault},
        {"key of another section", "[S]\r\n[T]\r\nk=v\r\n", "S", "k", kDefault},
        {"value holds equals", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"first of two keys", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
        {"first of two sections", "[S]\r\na=1\r\n[T]\r\n[s]\r\nk=2\r\n", "S", "k", kDefault},
        {"LF breaks, none at the end", "[S]\nk=v", "S", "k", "v"},
        {"lone CR breaks", "[S]\rj=1\rk=v\r", "S", "k", "v"},
        {"tab, form feed and Ctrl-Z are blanks", "[S]\n\fk=\tv\x1A\n", "S", "k", "v"},
        {"semicolon lines define no key", "[S]\r\n;k=v\r\n", "S", "k", kDefault},
        {"unclosed header is no section", "[A]\nx=1\n[S\ny=2\n", "A", "y", "2"},
        {"keys before the first section", "k=v\r\n[S]\r\n", "", "k", "v"},
        {"Czech value in code page 1250", "[S]\r\nk=" + kCzech1250 + "\r\n", "S", "k", kCzech},
        // ŽLUŤOUČKÝ / KŮŇ in the file, asked for in small letters.
        {"Czech names ignore case", "[\x8ELU\x8DOU\xC8K\xDD]\r\nK\xD9\xD2=1\r\n",
         "\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD", "k\xC5\xAF\xC5\x88", "1"},
        {"UTF-8 after the mark", kMark + "[S]\r\nk=" + kCzech + "\r\n", "S", "k", kCzech},
        // ŽLUŤ in UTF-8, asked for in small letters.
        {"UTF-8 names ignore case", kMark + "[\xC5\xBDLU\xC5\xA4]\r\nk=1\r\n", "\xC5\xBElu\xC5\xA5",
         "K", "1"},
    };
    TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.file);
        EXPECT_EQ(SettingsFile(path).ReadString(c.section, c.key, kDefault), c.expected);
    }
}

TEST(SettingsFileRead, CutsLongValuesAfterRemovingQuotes) {
    const size_t max = SettingsFile::kMaxValueLength;
    ASSERT_EQ(max, 2047u);
    struct Case {
        std::string stored, expected;
        std::string head{}; // before the section
    };
    const std::string c_caron = "\xC4\x8D"; // two bytes in UTF-8
    const std::vector<Case> cases = {
        {std::string(max - 1, 'a'), std::string(max - 1, 'a')},
        {std::string(max, 'a'), std::string(max, 'a')},
        {std::string(max + 1, 'a'), std::string(max, 'a')},
        {std::string(3000, 'a'), std::string(max, 'a')},
        {"\"" + std::string(3000, 'a') + "\"", std::string(max, 'a')},
        // Characters, not bytes, and no character cut in two.
        {Repeat(c_caron, 3000), Repeat(c_caron, max), kMark},
    };
    TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.size());
        WriteBytes(path, c.head + "[S]\r\nk=" + c.stored + "\r\n");
        EXPECT_EQ(SettingsFile(path).ReadString("S", "k", kDefault), c.expected);
    }
}

TEST(SettingsFileRead, GivesTheDefaultWithoutAFile) {
    TempFolder folder;
    WriteBytes(folder.Path("plain"), "[S]\r\nk=v\r\n");
    for (const char* name : {"missing.ini", "missing/setup.ini", "plain/setup.ini", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SettingsFile(folder.Path(name)).ReadString("S", "k", kDefault), kDefault);
    }
}

// One write or erase; a null key erases the section.
struct Change {
    std::string section;
    const char* key;
    std::string value;
};

void Apply(SettingsFile& file, const Change& change) {
    if (change.key)
        file.WriteString(change.section, change.key, change.value);
    else
        file.EraseSection(change.section);
}

struct WriteCase {
    const char* what;
    std::optional<std::string> before; // nothing: no file
    std::vector<Change> changes;
    std::optional<std::string> after;
};

TEST(SettingsFileWrite, EditsOnlyWhatChanges) {
    const std::vector<WriteCase> cases = {
        {"creates a missing file",
         std::nullopt,
         {{"S", "k", "v"}, {"S", "j", "w"}, {"T", "k", "v"}},
         "[S]\r\nk=v\r\nj=w\r\n[T]\r\nk=v\r\n"},
        {"fills an empty file", "", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
        {"updates in place, other lines untouched",
         "; head\r\n[S]\r\n  a = 1 \r\nB=2\r\n;note\r\n\r\n[T]\r\nx=y\r\n",
         {{"s", "b", "new"}},
         "; head\r\n[S]\r\n  a = 1 \r\nB=new\r\n;note\r\n\r\n[T]\r\nx=y\r\n"},
        {"update keeps the key's spelling",
         "[S]\r\n  Key  =  1  \r\n",
         {{"S", "KEY", "2"}},
         "[S]\r\nKey=2\r\n"},
        {"updates a line without equals", "[S]\r\nk\r\n", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
        {"updates the first of two keys",
         "[S]\r\nk=1\r\nk=2\r\n",
         {{"S", "k", "3"}},
         "[S]\r\nk=3\r\nk=2\r\n"},
        {"appends after the last line, before blank ones",
         "[S]\r\na=1\r\n\r\n\r\n[T]\r\nx=y\r\n",
         {{"S", "n", "v"}},
         "[S]\r\na=1\r\nn=v\r\n\r\n\r\n[T]\r\nx=y\r\n"},
        {"appends to the first of two sections",
         "[S]\r\na=1\r\n[S]\r\nb=2\r\n",
         {{"S", "n", "v"}},
         "[S]\r\na=1\r\nn=v\r\n[S]\r\nb=2\r\n"},
        {"appends below a bare header",
         "[S]\r\n[T]\r\n",
         {{"S", "k", "v"}},
         "[S]\r\nk=v\r\n[T]\r\n"},
        {"ends an unfinished last line first",
         "[S]\r\na=1",
         {{"S", "n", "v"}},
         "[S]\r\na=1\r\nn=v\r\n"},
        {"appends a missing section at the end",
         "[S]\r\na=1\r\n",
         {{"New", "n", "v"}},
         "[S]\r\na=1\r\n[New]\r\nn=v\r\n"},
        {"new section after an unfinished last line",
         "[S]\r\na=1",
         {{"New", "n", "v"}},
         "[S]\r\na=1\r\n[New]\r\nn=v\r\n"},
        {"keeps the file's LF line breaks",
         "[S]\na=1\n",
         {{"S", "n", "v"}, {"T", "k", "v"}},
         "[S]\na=1\nn=v\n[T]\nk=v\n"},
        {"stores no blanks around names and values",
         std::nullopt,
         {{" S ", " e ", ""}, {"S", "sp", " \t x y \t "}},
         "[S]\r\ne=\r\nsp=x y\r\n"},
        {"a value ends at its first line break",
         std::nullopt,
         {{"S", "k", "a\r\nb=c"}, {"S", "j", "x\ny"}, {"S", "i", "p\rq"}},
         "[S]\r\nk=a\r\nj=x\r\ni=p\r\n"},
        {"keys before the first section",
         "k=x\r\n[S]\r\n",
         {{"", "k", "y"}, {"", "j", "z"}},
         "k=y\r\nj=z\r\n[S]\r\n"},
        {"erases a section with its lines, neighbours untouched",
         "[A]\r\nx=1\r\n\r\n[S]\r\n;c\r\na=1\r\n\r\n[T]\r\nc=3\r\n",
         {{"s", nullptr, ""}},
         "[A]\r\nx=1\r\n\r\n[T]\r\nc=3\r\n"},
        {"erases the last section",
         "[A]\r\nx=1\r\n[S]\r\na=1\r\n",
         {{"S", nullptr, ""}},
         "[A]\r\nx=1\r\n"},
        {"erases the first of two sections",
         "[S]\r\na=1\r\n[T]\r\n[S]\r\nb=2\r\n",
         {{"S", nullptr, ""}},
         "[T]\r\n[S]\r\nb=2\r\n"},
        {"erasing a missing section changes nothing",
         "[A]\r\nx=1\r\n",
         {{"S", nullptr, ""}},
         "[A]\r\nx=1\r\n"},
        {"erasing in a missing file creates none",
         std::nullopt,
         {{"S", nullptr, ""}},
         std::nullopt},
        {"an erased section comes back at the end",
         "[S]\r\na=1\r\n[T]\r\nb=2\r\n",
         {{"S", nullptr, ""}, {"S", "c", "3"}},
         "[T]\r\nb=2\r\n[S]\r\nc=3\r\n"},
        {"Czech text in code page 1250",
         std::nullopt,
         {{"S", "k", kCzech}},
         "[S]\r\nk=" + kCzech1250 + "\r\n"},
        {"Czech names ignore case",
         "[\x8ELU\x8D]\r\nK=1\r\n",
         {{"\xC5\xBElu\xC5\xA5", "k", "2"}},
         "[\x8ELU\x8D]\r\nK=2\r\n"},
        {"a file with the UTF-8 mark keeps it and stays UTF-8",
         kMark + "[S]\r\na=1\r\n",
         {{"S", "a", kCzech}, {"T", "k", kCzech}},
         kMark + "[S]\r\na=" + kCzech + "\r\n[T]\r\nk=" + kCzech + "\r\n"},
        {"a file of the mark alone", kMark, {{"S", "k", "v"}}, kMark + "[S]\r\nk=v\r\n"},
        {"keys before the first section go after the mark",
         kMark + "[S]\r\n",
         {{"", "k", "v"}},
         kMark + "k=v\r\n[S]\r\n"},
    };
    TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        testing::fs::remove(testing::PathOf(path));
        if (c.before) WriteBytes(path, *c.before);
        SettingsFile file(path);
        for (const Change& change : c.changes) Apply(file, change);
        EXPECT_EQ(ReadBytes(path), c.after);
        EXPECT_EQ(folder.EntryCount(), c.after ? 1u : 0u) << "a temporary file was left";
    }
}

TEST(SettingsFileWrite, ReadsBackWhatItWrote) {
    TempFolder folder;
    SettingsFile file(folder.Path("setup.ini"));
    const std::vector<std::string> values = {"", "plain", kCzech, "a=b", "[x]", ";c", "x y"};
    for (size_t i = 0; i < values.size(); ++i)
        file.WriteString("S", "k" + std::to_string(i), values[i]);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(file.ReadString("s", "K" + std::to_string(i), kDefault), values[i]) << i;
}

TEST(SettingsFile, CachesNothingBetweenCalls) {
    TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    SettingsFile file(path);
    file.WriteString("S", "k", "1");
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "1");
    // Someone else edits the file between two calls: the next read sees it and the next
    // write keeps it.
    WriteBytes(path, "[S]\r\nk=2\r\nother=x\r\n");
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "2");
    file.WriteString("S", "k", "3");
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=3\r\nother=x\r\n");
}

// A settings file object that keeps its reads, over a file holding `text` (no file for null).
struct KeptFile {
    explicit KeptFile(const char* text) {
        if (text) WriteBytes(path, text);
        file.SetKeepsReads(true);
    }
    TempFolder folder;
    const std::string path = folder.Path("setup.ini");
    SettingsFile file{path};
};

// Told to keep its reads, the object reads the file once and answers from that, until it is
// told to stop or writes through itself.
TEST(SettingsFile, KeptReadsAnswerFromTheFirstRead) {
    KeptFile kept("[S]\r\nk=1\r\n");
    const std::string& path = kept.path;
    SettingsFile& file = kept.file;
    EXPECT_TRUE(file.KeepsReads());
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "1");
    WriteBytes(path, "[S]\r\nk=2\r\nother=x\r\n");
    EXPECT_EQ(file.ReadString("s", "K", kDefault), "1");
    EXPECT_EQ(file.ReadString("S", "other", kDefault), kDefault);
    // Another object, or this one no longer keeping, sees the file as it is now.
    EXPECT_EQ(SettingsFile(path).ReadString("S", "other", kDefault), "x");
    file.SetKeepsReads(false);
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "2");
    // Keeping again starts from the file as it is then.
    WriteBytes(path, "[S]\r\nk=3\r\n");
    file.SetKeepsReads(true);
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "3");
}

TEST(SettingsFile, KeptReadsSeeEveryWriteThroughTheObject) {
    KeptFile kept(nullptr);
    const std::string& path = kept.path;
    SettingsFile& file = kept.file;
    EXPECT_EQ(file.ReadString("S", "k", kDefault), kDefault); // no file yet
    file.WriteString("S", "k", "1");
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "1");
    // A write reads the file as it is now: what someone else wrote meanwhile stays, and the
    // reads after the write see it too.
    WriteBytes(path, "[S]\r\nk=1\r\nother=x\r\n");
    file.WriteString("S", "n", "2");
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\nother=x\r\nn=2\r\n");
    EXPECT_EQ(file.ReadString("S", "other", kDefault), "x");
    EXPECT_EQ(file.ReadString("S", "n", kDefault), "2");
    file.WriteString("T", "k", "3");
    file.EraseSection("S");
    EXPECT_EQ(file.ReadString("S", "k", kDefault), kDefault);
    EXPECT_EQ(file.ReadString("T", "k", kDefault), "3");
    EXPECT_EQ(ReadBytes(path), "[T]\r\nk=3\r\n");
}

// After a failed write the object does not trust what it kept: the write may have met a file
// other than the one read before.
TEST(SettingsFile, KeptReadsReadAnewAfterAFailedWrite) {
    KeptFile kept("[S]\r\nk=1\r\n");
    const std::string& path = kept.path;
    SettingsFile& file = kept.file;
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "1");
    WriteBytes(path, "[S]\r\nk=2\r\n");
    testing::fs::permissions(testing::PathOf(path),
                             testing::fs::perms::owner_write | testing::fs::perms::group_write |
                                 testing::fs::perms::others_write,
                             testing::fs::perm_options::remove);
    EXPECT_THROW(file.WriteString("S", "k", "3"), platform::Error);
    EXPECT_EQ(file.ReadString("S", "k", kDefault), "2");
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

TEST(SettingsFile, WorksInAFolderWithCzechName) {
    TempFolder folder;
    testing::fs::create_directory(testing::PathOf(folder.Path(kCzech)));
    const std::string path = folder.Path(kCzech + "/setup.ini");
    SettingsFile(path).WriteString("S", "k", kCzech);
    EXPECT_EQ(SettingsFile(path).ReadString("S", "k", kDefault), kCzech);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=" + kCzech1250 + "\r\n");
}

// A write or erase that cannot happen raises the error the program shows and leaves every
// file as it was. Read-only attributes mean nothing to root under Wine, so besides a read-only
// file the cases make writing impossible in ways that hold for anyone.
TEST(SettingsFile, FailedWriteRaisesAndChangesNothing) {
    struct Case {
        const char* what;
        std::string name;             // the settings file, inside the test folder
        void (*prepare)(TempFolder&); // makes the write impossible
    };
    const std::vector<Case> cases = {
        {"folder missing", "missing/setup.ini", [](TempFolder&) {}},
        {"folder is a file", "plain/setup.ini",
         [](TempFolder& f) { WriteBytes(f.Path("plain"), "[S]\r\nk=old\r\n"); }},
        {"file is a folder", "setup.ini",
         [](TempFolder& f) {
             testing::fs::create_directory(testing::PathOf(f.Path("setup.ini")));
         }},
        {"read-only file", "setup.ini",
         [](TempFolder& f) {
             WriteBytes(f.Path("setup.ini"), "[S]\r\nk=old\r\n");
             testing::fs::permissions(testing::PathOf(f.Path("setup.ini")),
                                      testing::fs::perms::owner_write |
                                          testing::fs::perms::group_write |
                                          testing::fs::perms::others_write,
                                      testing::fs::perm_options::remove);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        c.prepare(folder);
        const size_t entries = folder.EntryCount();
        const std::optional<std::string> plain = ReadBytes(folder.Path("plain"));
        const std::optional<std::string> before = ReadBytes(folder.Path(c.name));
        SettingsFile file(folder.Path(c.name));
        const std::string message = "Unable to write to " + folder.Path(c.name);
        for (const Change& change : {Change{"S", "k", "new"}, Change{"S", nullptr, ""}}) {
            try {
                Apply(file, change);
                ADD_FAILURE() << "no error from " << (change.key ? "the write" : "the erase");
            } catch (const platform::Error& e) {
                EXPECT_EQ(std::string(e.what()), message);
            }
        }
        EXPECT_EQ(folder.EntryCount(), entries) << "a temporary file was left";
        EXPECT_EQ(ReadBytes(folder.Path(c.name)), before);
        EXPECT_EQ(ReadBytes(folder.Path("plain")), plain);
    }
}

} // namespace
} // namespace services
