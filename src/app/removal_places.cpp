#include "app/removal_places.h"

#include <optional>

#include "app/paths.h"
#include "platform/folders.h"
#include "services/path_text.h"

namespace app {
namespace {

std::string Resolved(const std::string& path) {
    return platform::ResolvedPathOf(WithoutTrailingSeparator(CollapsePath(path)))
        .value_or(std::string());
}

} // namespace

RemovalPlaces::RemovalPlaces(InstallerContext& context, const std::string& folder)
    : context_(context) {
    const std::string group = context.GroupFolder();
    folder_ = Resolved(folder);
    group_ = Resolved(group);
    company_ = Resolved(services::FolderPartOf(WithoutTrailingSeparator(group)));
    desktop_ = Resolved(context.DesktopDir());
    start_menu_ = Resolved(context.StartMenuDir());
}

bool RemovalPlaces::MayRemove(const Journal::Entry& entry) const {
    const std::optional<std::string> real = platform::ResolvedPathOf(entry.path);
    const ProtectedFolders& guarded = context_.Protected();
    if (!real || folder_.empty() || guarded.RefusesRemoval(entry.path) ||
        guarded.RefusesRemoval(*real))
        return false;
    const auto within = [&](const std::string& place) {
        return !place.empty() && PathWithin(*real, place);
    };
    const auto at = [&](const std::string& place) {
        return !place.empty() && SamePath(*real, place);
    };
    switch (entry.kind) {
    case Journal::Kind::File: return within(folder_);
    case Journal::Kind::Folder:
        return within(folder_) || at(folder_) || PathWithin(folder_, *real) || within(company_) ||
               at(company_);
    case Journal::Kind::Shortcut: {
        const bool link = real->size() > 4 &&
                          platform::SameNameIgnoringCase(real->substr(real->size() - 4), ".lnk");
        const std::string place = WithoutTrailingSeparator(services::FolderPartOf(*real));
        return link && (within(group_) || (!desktop_.empty() && SamePath(place, desktop_)) ||
                        (!start_menu_.empty() && SamePath(place, start_menu_)));
    }
    }
    return false;
}

} // namespace app
