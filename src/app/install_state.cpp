#include "app/install_state.h"

namespace app {

void InstallState::MoveTo(Page page) {
    page_ = page;
    cleanup_due_ = true;
}

InstallRecord CompletedRecord(const InstallState& state, const Configuration& config,
                              InstallRecord key) {
    key.folder = state.Folder();
    key.version = std::to_string(config.sversion);
    key.release = config.srelease;
    return key;
}

} // namespace app
