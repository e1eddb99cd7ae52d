// The registry layer: Wine's registry in the Windows build, the in-memory stand-in
// natively; both must behave alike. Value types and missing values are covered by the
// system folder tests, whole records by the installation record tests.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/registry.h"
#include "support/scratch.h"

namespace {

using platform::RegistryKey;
constexpr auto kUser = platform::RegistryRoot::CurrentUser;

TEST(Registry, PathsTextsAndRefusedWrites) {
    scratch::RegistryKey scratch;
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, scratch.Path("Level\\Below")));
    EXPECT_TRUE(key.WriteString("N\xC3\xA1zev", "k\xC5\xAF\xC5\x88")); // UTF-8 both ways

    // The leading backslash is optional and case does not matter.
    RegistryKey reader;
    ASSERT_TRUE(reader.Open(kUser, scratch.Path("LEVEL\\below").substr(1)));
    EXPECT_EQ(reader.ReadString("n\xC3\xA1zev"), "k\xC5\xAF\xC5\x88");
    EXPECT_FALSE(reader.WriteString("Value", "x")); // opened for reading only
}

TEST(Registry, DeleteTree) {
    scratch::RegistryKey scratch;
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, scratch.Path("a\\b")));
    ASSERT_TRUE(RegistryKey().Create(kUser, scratch.Path("sibling")));

    EXPECT_TRUE(platform::DeleteRegistryTree(kUser, scratch.Path("a")));
    EXPECT_FALSE(RegistryKey().Open(kUser, scratch.Path("a")));
    EXPECT_TRUE(RegistryKey().Open(kUser, scratch.Path("sibling")));
    EXPECT_FALSE(key.WriteString("v", "1"));                             // its key is gone
    EXPECT_TRUE(platform::DeleteRegistryTree(kUser, scratch.Path("a"))); // missing: no failure
    // The root key itself is never deleted.
    for (const char* root : {"", "\\", "\\\\"})
        EXPECT_FALSE(platform::DeleteRegistryTree(kUser, root)) << root;
    EXPECT_TRUE(RegistryKey().Open(kUser, scratch.Path()));
}

} // namespace
