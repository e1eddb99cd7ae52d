#include "ui/control_names.h"

#include <windows.h>

#include "platform/code_page.h"

namespace ui {
namespace {

struct Search {
    std::string_view name;
    HWND found = nullptr;
    std::vector<HWND>* all = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!GetPropW(window, kNameProperty)) return TRUE;
    if (search->all) {
        search->all->push_back(window);
        return TRUE;
    }
    if (ControlName(window) == search->name) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string ControlName(NativeWindow window) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(window, kNameProperty)));
    if (!atom) return {};
    wchar_t buffer[256];
    const UINT length = GlobalGetAtomNameW(atom, buffer, 256);
    return platform::Narrow(std::wstring(buffer, length));
}

std::intptr_t ControlTag(NativeWindow window) {
    return reinterpret_cast<std::intptr_t>(GetPropW(window, kTagProperty));
}

int ControlTabOrder(NativeWindow window) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, kTabOrderProperty))) - 1;
}

NativeWindow FindControl(NativeWindow root, std::string_view name) {
    Search search{name};
    EnumChildWindows(root, Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<NativeWindow> NamedDescendants(NativeWindow root) {
    std::vector<HWND> all;
    Search search{{}, nullptr, &all};
    EnumChildWindows(root, Visit, reinterpret_cast<LPARAM>(&search));
    return all;
}

NativeWindow FindTopLevel(std::string_view name) {
    Search search{name};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace ui
