// setup.exe's own resources read back through Windows as the loader and the shell take them:
// the manifest as an activation context, the version block, and the first icon.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup_version.h"
#include "support/icon_groups.h"

namespace {

const wchar_t kSetupExe[] = L"" ORVO_SETUP_EXE;

class ManifestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = kSetupExe;
        request.lpResourceName = MAKEINTRESOURCEW(1); // what the loader reads of an .exe
        context_ = CreateActCtxW(&request);
        ASSERT_NE(context_, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    }
    void TearDown() override {
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }

    // A windowsSettings value, or "-" when the manifest has none.
    std::wstring Setting(const wchar_t* name_space, const wchar_t* name) const {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, name_space, name, value, 64, &written)) return L"-";
        return value;
    }

    HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST_F(ManifestTest, RunsAsInvokerOnEveryWindowsItNames) {
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context_, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(level.UiAccess);

    // The layout Windows 10 (1903 on) and Wine fill in; mingw's header has it without the
    // last field.
    struct Element {
        GUID id;
        DWORD type;
        ULONGLONG max_version_tested;
    };
    struct Compatibility {
        DWORD count;
        Element elements[8];
    } compatibility{};
    ASSERT_TRUE(QueryActCtxW(0, context_, nullptr, CompatibilityInformationInActivationContext,
                             &compatibility, sizeof compatibility, nullptr));
    // Windows 7, 8, 8.1 and 10 (which 11 shares); without the last, Windows 10 tells the
    // program it is 8.
    ASSERT_EQ(compatibility.count, 4u);
    const GUID windows10 = {
        0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
    EXPECT_TRUE(IsEqualGUID(compatibility.elements[3].id, windows10));
}

TEST_F(ManifestTest, BringsCommonControlsSix) {
    // A button of the common controls 6 knows its ideal size; the older one does not answer.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context_, &cookie));
    HWND button = CreateWindowW(L"BUTTON", L"Dokon\u010dit", WS_POPUP | BS_PUSHBUTTON, 0, 0, 10, 10,
                                nullptr, nullptr, nullptr, nullptr);
    DeactivateActCtx(0, cookie);
    ASSERT_NE(button, nullptr);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 10);
    DestroyWindow(button);
}

TEST_F(ManifestTest, IsDpiAndLongPathAwareOnTheAnsiCodePage) {
    EXPECT_EQ(Setting(nullptr, L"dpiAware"), L"true/pm");
    const wchar_t* settings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    EXPECT_EQ(Setting(settings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(Setting(settings2016, L"longPathAware"), L"true");
    // setup.ini and short.txt are read in the ANSI code page; UTF-8 would misread them.
    EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage"),
              L"-");
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD code_page;
    }* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &size) ||
        size < sizeof *translation) {
        return L"(no translation)";
    }
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->code_page, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &size)) {
        return L"(missing)";
    }
    return value;
}

TEST(SetupVersionTest, NamesTheProductAndOneVersion) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(kSetupExe, &ignored);
    ASSERT_GT(size, 0u) << "error " << GetLastError();
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(kSetupExe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    // The numbers and the text must tell the same version.
    wchar_t numbers[64];
    swprintf(numbers, 64, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
             LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS));
    const std::wstring text = L"" ORVO_VERSION_TEXT;
    EXPECT_EQ(text.rfind(numbers, 0), 0u) << "numbers " << numbers;
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    EXPECT_EQ(VersionString(block, L"FileVersion"), text);
    EXPECT_EQ(VersionString(block, L"ProductVersion"), text);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"orvo-setup");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"orvo-setup");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"setup.exe");
    EXPECT_NE(VersionString(block, L"FileDescription"), L"(missing)");
}

TEST(SetupIconTest, FirstIconHasTheShellsSizes) {
    HMODULE setup = LoadLibraryExW(kSetupExe, nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(setup, nullptr) << "error " << GetLastError();
    EXPECT_EQ(icontest::FirstIconGroup(setup), L"APP_ICON"); // the one the shell shows

    std::vector<int> sizes;
    for (const auto& image : icontest::GroupIconEntries(setup, L"APP_ICON")) {
        sizes.push_back(image.width ? image.width : 256);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

    // Each size loads as a picture of its size (the largest is stored as PNG).
    for (int size : sizes) {
        HICON icon = static_cast<HICON>(LoadImageW(setup, L"APP_ICON", IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(setup);
}

} // namespace
