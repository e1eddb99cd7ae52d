// Where an installation can have put what its manifest lists, as the file system resolves
// the paths (a link inside the folder may lead anywhere): files in the installation folder;
// the folder itself, the levels the run made above it, the product's group with the company's
// level; shortcuts (".lnk") in the group, or on the desktop or in the Start menu themselves.
// The uninstall and the upgrade remove nothing else.
#pragma once

#include <string>

#include "app/installer_context.h"
#include "app/journal.h"

namespace app {

class RemovalPlaces {
  public:
    // The places of an installation in `folder`, resolved once.
    RemovalPlaces(InstallerContext& context, const std::string& folder);

    bool MayRemove(const Journal::Entry& entry) const;

  private:
    InstallerContext& context_;
    std::string folder_, group_, company_, desktop_, start_menu_;
};

} // namespace app
