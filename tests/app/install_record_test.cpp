// The installation record (the in-memory registry natively, Wine's in the Windows build;
// record_oracle.py compares what is written with `wine reg query`).
#include <gtest/gtest.h>

#include "app/install_record.h"
#include "platform/registry.h"
#include "support/scratch.h"

namespace {

class Record : public ::testing::Test {
  protected:
    app::InstallRecord Make(const std::string& prog, const std::string& dir = "") {
        app::InstallRecord record;
        record.base_key = base_.Path();
        record.product_key = prog;
        record.folder = dir;
        return record;
    }
    bool Exists(const std::string& prog) {
        return platform::RegistryKey().Open(platform::RegistryRoot::CurrentUser, base_.Path(prog));
    }

    scratch::RegistryKey base_;
};

TEST_F(Record, WriteReadAndMissingValues) {
    EXPECT_EQ(app::InstallRecord().base_key, "\\software\\Orvo");
    app::InstallRecord read = Make("Zelvik", "regdir");
    EXPECT_FALSE(read.ReadRecord());
    EXPECT_EQ(read.folder, "regdir"); // kept when there is no record
    EXPECT_FALSE(Exists("Zelvik"));   // and reading created none

    app::InstallRecord written = Make("Zelvik",
                                      "C:\\Program Files\\\xC5\xBD"
                                      "elvik");
    written.version = "3";
    written.release = "b";
    EXPECT_TRUE(written.WriteRecord());
    EXPECT_TRUE(read.ReadRecord());
    EXPECT_EQ(read.folder, written.folder);
    EXPECT_EQ(read.version, "3");
    EXPECT_EQ(read.release, "b");

    // A record without values is found, with empty values.
    ASSERT_TRUE(
        platform::RegistryKey().Create(platform::RegistryRoot::CurrentUser, base_.Path("Bare")));
    read.product_key = "Bare";
    EXPECT_TRUE(read.ReadRecord());
    EXPECT_EQ(read.folder + read.version + read.release, "");
}

// A value of another type, such as a number written by hand, makes the record count as none.
TEST_F(Record, ValueThatIsNotTextMeansNoRecord) {
    for (const char* name : {"AppDir", "Ver", "Rel"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Make("Typed", "C:\\Typed").WriteRecord());
        platform::RegistryKey key;
        ASSERT_TRUE(key.Open(platform::RegistryRoot::CurrentUser, base_.Path("Typed"), true));
        ASSERT_TRUE(key.WriteDword(name, 7));
        app::InstallRecord read = Make("Typed", "regdir");
        EXPECT_FALSE(read.ReadRecord());
        EXPECT_EQ(read.folder, "regdir");
    }
}

TEST_F(Record, DeleteRemovesOnlyTheProductKey) {
    ASSERT_TRUE(Make("One").WriteRecord());
    ASSERT_TRUE(Make("Two").WriteRecord());
    for (const char* prog : {"", "\\", "\\\\"}) Make(prog).DeleteRecord();
    EXPECT_TRUE(Exists("One") && Exists("Two"));

    Make("One").DeleteRecord();
    Make("One").DeleteRecord(); // already gone: no error
    EXPECT_FALSE(Exists("One"));
    EXPECT_TRUE(Exists("Two"));
}

} // namespace
