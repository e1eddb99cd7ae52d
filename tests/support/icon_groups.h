// An icon group resource (RT_GROUP_ICON) read back as Windows stores it: the images' sizes and
// depths, and which group a module lists first (the one the shell shows for the file).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace icontest {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width; // 0 for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The images of the group `name` in `module`; empty when there is no such group.
inline std::vector<GroupIconEntry> GroupIconEntries(HMODULE module, const wchar_t* name) {
    HRSRC group = FindResourceW(module, name, MAKEINTRESOURCEW(14));
    if (group == nullptr) return {};
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    const auto* first = reinterpret_cast<const GroupIconEntry*>(words + 3); // after the header
    return {first, first + words[2]};
}

// The name of the first icon group, "#" for a numbered one, empty when there is none.
inline std::wstring FirstIconGroup(HMODULE module) {
    std::wstring first;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(14),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) -> BOOL {
            *reinterpret_cast<std::wstring*>(out) = IS_INTRESOURCE(name) ? L"#" : name;
            return FALSE; // only the first
        },
        reinterpret_cast<LONG_PTR>(&first));
    return first;
}

} // namespace icontest
