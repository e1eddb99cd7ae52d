// Collapsing backslashes and the folder part of a path.
#include <gtest/gtest.h>

#include "platform/folders.h"
#include "services/path_text.h"

namespace {

TEST(PathText, CollapseBackslashes) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\\\Programs\\\\\\Zelvik", "C:\\Programs\\Zelvik"},
        {"C:\\Zelvik\\\\", "C:\\Zelvik\\"},
        {"\\Zelvik\\\\data", "\\Zelvik\\data"},
        // A network path keeps the two backslashes before its server, and only those.
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\\\server\\\\share\\\\\\Zelvik\\\\", "\\\\server\\share\\Zelvik\\"},
        {"\\\\\\\\", "\\\\"},
        {"no backslash", "no backslash"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(services::CollapseBackslashes(c.in), c.out) << c.in;
}

TEST(PathText, FolderPartOf) {
    const std::string s(1, platform::kPathSeparator);
    EXPECT_EQ(services::FolderPartOf("Prog" + s + "bin" + s + "run.exe"), "Prog" + s + "bin" + s);
    EXPECT_EQ(services::FolderPartOf(s + "run.exe"), s);
    EXPECT_EQ(services::FolderPartOf("Prog" + s), "Prog" + s);
    EXPECT_EQ(services::FolderPartOf("run.exe"), "");
#ifdef _WIN32
    EXPECT_EQ(services::FolderPartOf("C:run.exe"), "C:");
    EXPECT_EQ(services::FolderPartOf("C:\\Prog\\run.exe"), "C:\\Prog\\");
#endif
}

} // namespace
