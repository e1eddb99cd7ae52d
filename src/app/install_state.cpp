#include "app/install_state.h"

namespace app {

void InstallState::MoveTo(Page page) {
    page_ = page;
    cleanup_due_ = true;
}

InstallRecord CompletedRecord(const InstallState& state, const Configuration& config,
                              const std::string& base_key) {
    InstallRecord record;
    record.base_key = base_key;
    record.product_key = config.progreg;
    record.folder = state.Folder();
    record.version = std::to_string(config.sversion);
    record.release = config.srelease;
    return record;
}

} // namespace app
