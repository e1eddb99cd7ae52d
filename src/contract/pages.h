// The main window's pages, by their index in its page control: the wizard's five and the
// uninstall page. The wizard's buttons carry the index of the page they lead to as their Tag.
#pragma once

#include <optional>

namespace contract {

enum class Page : int {
    kPortal = 0,
    kLicence = 1,
    kDirectory = 2,
    kIcons = 3,
    kSummary = 4,
    kUninstall = 5,
};

constexpr int TagOf(Page page) {
    return static_cast<int>(page);
}

// The page a button's Tag names; nothing for a Tag that names none (the finish button's).
constexpr std::optional<Page> PageOfTag(int tag) {
    if (tag < TagOf(Page::kPortal) || tag > TagOf(Page::kUninstall)) return std::nullopt;
    return static_cast<Page>(tag);
}

} // namespace contract
