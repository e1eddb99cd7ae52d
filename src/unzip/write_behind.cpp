#include "unzip/write_behind.h"

#include <utility>

#include "unzip/result.h"

namespace unzip {

WriteBehind::WriteBehind(FileSystem& fs, WriteFile write) : write_(std::move(write)), thread_(fs) {}

void WriteBehind::Queue(const std::string& path, uint32_t dos_time, std::vector<uint8_t>& data) {
    next_.path = path;
    next_.dos_time = dos_time;
    next_.data.swap(data);
    queued_ = true;
}

void WriteBehind::StartQueued(const ReportRecord& record) {
    // The file made last was collected: its buffer serves the next queued output.
    std::swap(next_, under_way_);
    queued_ = false;
    under_way_.record = record;
    thread_.Start([this] { return write_(under_way_.path, under_way_.data, under_way_.dos_time); });
}

void WriteBehind::Hold(int32_t code, const ReportRecord& record, int64_t bytes_read) {
    held_.push_back({code, record, bytes_read});
}

CreateStatus WriteBehind::Settle(const ReportCallback& report) {
    if (!thread_.pending()) return CreateStatus::Ok;
    const CreateStatus status = thread_.Collect();
    if (status != CreateStatus::Ok) {
        held_.clear();
        queued_ = false;
        return status;
    }
    ++written_;
    under_way_.record.status = StatusMemberDone;
    report(StatusMemberDone, under_way_.record);
    for (HeldReport& held : held_) {
        replayed_bytes_read_ = held.bytes_read;
        report(held.code, held.record);
    }
    replayed_bytes_read_ = -1;
    held_.clear();
    return CreateStatus::Ok;
}

} // namespace unzip
