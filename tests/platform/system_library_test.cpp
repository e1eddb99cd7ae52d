// System functions found on first use: from the system folder, the same entry points a
// linked import would give, and nothing (rather than a crash) for what is not there.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system_library.h"

namespace {

TEST(SystemFunction, FindsLoadsAndReportsWhatIsMissing) {
    EXPECT_EQ(
        platform::SystemFunction(L"kernel32.dll", "GetTickCount"),
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount")));
    // Not loaded with the program: loaded now and kept.
    ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr);
    void* connect = platform::SystemFunction(L"mpr.dll", "WNetGetConnectionW");
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(connect, reinterpret_cast<void*>(
                           GetProcAddress(GetModuleHandleW(L"mpr.dll"), "WNetGetConnectionW")));
    EXPECT_EQ(platform::SystemFunction(L"kernel32.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(platform::SystemFunction(L"no_such_library.dll", "Anything"), nullptr);
}

} // namespace
