// ExtractMatching: walks the directory and extracts the matching members,
// reporting every step to the caller's report callback.
#include <algorithm>
#include <cmath>
#include <limits>

#include "unzip/engine.h"
#include "unzip/mask.h"
#include "unzip/member_name.h"
#include "unzip/saturating.h"

namespace unzip {

MemberLocation LocationOf(const MemberInfo& entry) {
    MemberLocation where;
    where.header_offset = entry.header_offset;
    where.from_directory = true;
    where.crc = entry.crc;
    where.size = entry.size;
    where.compressed_size = entry.compressed_size;
    where.name_length = entry.name_length;
    return where;
}
namespace {

// 100 minus the compressed share in percent, rounded to nearest and kept in one
// byte: a member that grew wraps below zero, which report callbacks expect.
uint8_t Ratio(int64_t size, int64_t compressed) {
    if (size == 0) return 0;
    // Only the low byte counts: the share is cut to it before it is made an
    // integer, which the share of a hostile Zip64 size would not fit.
    const double share =
        std::round(100.0 * static_cast<double>(compressed) / static_cast<double>(size));
    return static_cast<uint8_t>(100 - static_cast<int>(std::fmod(share, 256.0)));
}

// A report's code is 32 bits: a size passed in it is held at INT32_MAX.
int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

} // namespace

ReportCallback Engine::SetReportCallback(ReportCallback callback) {
    std::swap(report_, callback);
    return callback;
}

QuestionCallback Engine::SetQuestionCallback(QuestionCallback callback) {
    std::swap(question_, callback);
    return callback;
}

void Engine::Report(int32_t code, int32_t status) {
    record_.status = status;
    if (holding_reports_)
        held_reports_.push_back({code, record_, member_bytes_read()});
    else
        report_(code, record_);
}

int32_t Engine::SettleWriteBehind() {
    holding_reports_ = false;
    if (!write_behind_ || !write_behind_->pending()) return 0;
    const CreateStatus status = write_behind_->Collect();
    const ReportRecord current = record_;
    record_ = behind_.record;
    if (status != CreateStatus::Ok) {
        held_reports_.clear();
        queued_ = false;
        return Fail(ResultWriteError, status == CreateStatus::NotWritten
                                          ? "the output file cannot be written"
                                          : "the output file cannot be created");
    }
    Report(StatusMemberDone, StatusMemberDone);
    record_ = current;
    for (HeldReport& held : held_reports_) {
        replayed_bytes_read_ = held.bytes_read;
        report_(held.code, held.record);
    }
    replayed_bytes_read_ = -1;
    held_reports_.clear();
    return 1;
}

int32_t Engine::ExtractMatching(const std::string& archive, const std::string& folder,
                                const std::string& mask, ReportCallback report,
                                QuestionCallback question) {
    // A report callback that pumps window messages may call in again: that call
    // is refused before it touches the running extraction's state.
    if (busy_) return ResultBusy;
    busy_ = true;
    BusyScope scope{busy_};
    created_folders_.clear();
    if (archive.empty() || folder.empty()) return ResultMissingParameter;
    std::string target = folder;
    if (target.back() != kPathSeparator && target.back() != '/') target += kPathSeparator;
    // The archive is opened here once: its directory serves the totals and the
    // walk, its file the members' data.
    std::unique_ptr<Archive> zip = OpenZipArchive(archive);
    if (!zip) return ResultNotArchive;

    record_ = ReportRecord();
    if (report) {
        record_.name = archive;
        record_.size = Totals(*zip, &record_.compressed_size);
        record_.ratio = Ratio(record_.size, record_.compressed_size);
        record_.status = StatusArchiveStart;
        report(StatusArchiveStart, record_);
    }
    report_ = report ? std::move(report) : [](int32_t, ReportRecord&) {};
    taken_spans_.clear();
    checking_spans_ = true;
    fs_.BeginBatch();
    auto clear_slots = [this] {
        write_behind_.reset();
        report_ = nullptr;
        question_ = nullptr;
        checking_spans_ = false;
        taken_spans_.clear();
        fs_.EndBatch();
    };

    // A question before a member needs the files before it in place, and a check reports
    // every member's verdict on its own: both go without writing behind. The thread lives for
    // this walk only.
    const bool write_behind = !question && !options_.report_every_member && options_.hold_size > 0;
    if (write_behind) write_behind_ = std::make_unique<WriteBehind>(fs_);

    int32_t extracted = 0;
    int64_t matched_size = 0, matched_compressed = 0;
    const Directory& directory = zip->directory();
    MemberInfo entry;
    int32_t rc = ResultOk;
    bool walked_to_end = false;
    for (size_t next = 0;; ++next) {
        if (next == directory.entries.size()) {
            const int32_t settled = SettleWriteBehind();
            if (settled < 0) {
                Report(settled, StatusMemberFailed);
                break;
            }
            extracted += settled;
            rc = EndOfWalk(directory);
            walked_to_end = true;
            break;
        }
        Describe(directory, directory.entries[next], &entry);
        if (!MatchMask(mask, entry.name)) continue;
        matched_size = AddSaturated(matched_size, entry.size);
        matched_compressed = AddSaturated(matched_compressed, entry.compressed_size);

        std::string relative;
        const bool safe = MakeSafeMemberPath(entry.name, &relative);
        const std::string name = target + (safe ? relative : entry.name);
        // Only a small file can wait in memory for its write; anything else needs the files
        // before it in place first.
        const bool behind = write_behind && safe && entry.size >= 0 &&
                            static_cast<uint64_t>(entry.size) <= options_.hold_size &&
                            name.back() != kPathSeparator && name.back() != '/';
        int32_t result = ResultOk;
        if (!behind) {
            const int32_t settled = SettleWriteBehind();
            if (settled < 0) result = settled;
            extracted += std::max(settled, 0);
        }
        if (result == ResultOk) {
            record_.name = name;
            record_.time = entry.time;
            record_.size = entry.size;
            record_.compressed_size = entry.compressed_size;
            record_.attributes = entry.attributes;
            record_.method = entry.method;
            record_.ratio = Ratio(entry.size, entry.compressed_size);
            // While the member before is still being written, its done report must come first.
            holding_reports_ = write_behind_ && write_behind_->pending();
            Report(StatusMemberStart, StatusMemberStart);

            if (!safe) {
                result =
                    Fail(ResultWriteError, "the member's name leads outside the target folder");
            } else if (question && fs_.Exists(record_.name) && !question(record_)) {
                record_.size = matched_compressed;
                record_.method = 9;
                Report(Clamp32(matched_compressed), StatusProgress);
                result = ResultOk;
            } else {
                queue_held_ = behind;
                queued_ = false;
                result = ExtractOneMember(*zip, record_.name, LocationOf(entry));
                queue_held_ = false;
            }
            if (behind) {
                // The member before is settled now; a failed write of it ends the walk there.
                const int32_t settled = SettleWriteBehind();
                if (settled < 0) result = settled;
                extracted += std::max(settled, 0);
            }
        }
        if (result == ResultOk && queued_) {
            queued_ = false;
            behind_.record = record_;
            behind_.path = queued_path_;
            behind_.dos_time = queued_time_;
            behind_.data.swap(held_output_);
            write_behind_->Start(
                [this] { return WriteHeldFile(behind_.path, behind_.data, behind_.dos_time); });
            continue;
        }

        if (result == ResultOk) {
            ++extracted;
            Report(StatusMemberDone, StatusMemberDone);
            continue;
        }
        record_.status = StatusMemberFailed;
        if (options_.report_every_member) {
            Report(result, StatusMemberFailed);
            continue;
        }
        if (result == ResultCrcError || result == ResultWriteError || result == ResultUnsupported ||
            result == ResultEncrypted) {
            Report(result, StatusMemberFailed);
        } else if (result == ResultReadError || result == ResultArchiveError ||
                   result == ResultCancelled || result == ResultBusy ||
                   result == ResultNoDirectory || result == ResultArchiveFileError) {
            Report(ResultSerious, StatusSerious);
            clear_slots();
            return ResultSerious;
        }
        break;
    }
    // A directory that could not be read to its end is said plainly, not passed
    // over as an archive with fewer members (or none). A well-formed end record
    // that declares no entries is a clean empty archive.
    const bool clean_end =
        rc == ResultNoMoreMembers || (rc == ResultNoDirectory && directory.declared_empty);
    if (walked_to_end && !clean_end) {
        record_ = ReportRecord();
        record_.name = archive;
        Report(rc, StatusMemberFailed);
    }

    record_.time = 0xFFFFFFFFu;
    record_.attributes = 0xFFFFFFFFu;
    record_.method = 0;
    record_.size = matched_size;
    record_.compressed_size = matched_compressed;
    record_.name = archive;
    record_.ratio = Ratio(matched_size, matched_compressed);
    Report(StatusArchiveEnd, StatusArchiveEnd);
    clear_slots();
    return extracted;
}

} // namespace unzip
