// ExtractMatching: walks the directory and extracts the matching members,
// reporting every step to the caller's report callback.
#include <algorithm>
#include <cmath>
#include <limits>

#include "unzip/engine.h"
#include "unzip/mask.h"
#include "unzip/member_name.h"
#include "unzip/saturating.h"
#include "unzip/write_behind.h"
#include "unzip/zip_format.h"

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

// A failure of the member itself: reported with its code, and the walk ends there.
bool IsMemberFailure(int32_t result) {
    return result == ResultCrcError || result == ResultWriteError || result == ResultUnsupported ||
           result == ResultEncrypted;
}

// A failure that leaves the archive or the engine in doubt: the whole extraction ends.
bool IsSerious(int32_t result) {
    return result == ResultReadError || result == ResultArchiveError || result == ResultCancelled ||
           result == ResultBusy || result == ResultNoDirectory || result == ResultArchiveFileError;
}

} // namespace

struct Engine::Walk {
    const std::string& archive;
    Archive& zip;
    std::string target; // the folder, ending in a separator
    const std::string& mask;
    const QuestionCallback& question;
    int32_t extracted = 0; // members done, besides the files written behind
    int64_t matched_size = 0;
    int64_t matched_compressed = 0;
};

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
    // While the member before is still being written, its done report must come first.
    if (write_behind_ && write_behind_->pending())
        write_behind_->Hold(code, record_, member_bytes_read());
    else
        report_(code, record_);
}

int32_t Engine::SettleWriteBehind() {
    if (!write_behind_) return ResultOk;
    const CreateStatus status = write_behind_->Settle(report_);
    if (status != CreateStatus::Ok) record_ = write_behind_->failed_record();
    return WriteResult(status);
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

    Walk walk{archive, *zip, std::move(target), mask, question};
    BeginWalk(walk, std::move(report));
    const Step step = ExtractEach(walk);
    if (step == Step::kGoOn) FinishDirectory(walk);
    if (step != Step::kSerious) ReportArchiveEnd(walk);
    if (write_behind_) walk.extracted += write_behind_->written();
    EndWalk();
    return step == Step::kSerious ? ResultSerious : walk.extracted;
}

// Reports the archive's start and sets the engine up for the walk.
void Engine::BeginWalk(const Walk& walk, ReportCallback report) {
    record_ = ReportRecord();
    if (report) {
        record_.name = walk.archive;
        record_.size = Totals(walk.zip, &record_.compressed_size);
        record_.ratio = Ratio(record_.size, record_.compressed_size);
        record_.status = StatusArchiveStart;
        report(StatusArchiveStart, record_);
    }
    report_ = report ? std::move(report) : [](int32_t, ReportRecord&) {};
    taken_spans_.clear();
    checking_spans_ = true;
    fs_.BeginBatch();
    // A question before a member needs the files before it in place, and a check reports
    // every member's verdict on its own: both go without writing behind. The thread lives for
    // this walk only.
    if (!walk.question && !options_.report_every_member && options_.hold_size > 0)
        write_behind_ = std::make_unique<WriteBehind>(
            fs_, [this](const std::string& path, const std::vector<uint8_t>& data,
                        uint32_t dos_time) { return WriteHeldFile(path, data, dos_time); });
}

void Engine::EndWalk() {
    write_behind_.reset();
    report_ = nullptr;
    question_ = nullptr;
    checking_spans_ = false;
    taken_spans_.clear();
    fs_.EndBatch();
}

// The matching members in the directory's order; kGoOn when the walk got to the directory's end.
Engine::Step Engine::ExtractEach(Walk& walk) {
    const Directory& directory = walk.zip.directory();
    MemberInfo entry;
    for (const DirectoryEntry& stored : directory.entries) {
        Describe(directory, stored, &entry);
        if (!MatchMask(walk.mask, entry.name)) continue;
        walk.matched_size = AddSaturated(walk.matched_size, entry.size);
        walk.matched_compressed = AddSaturated(walk.matched_compressed, entry.compressed_size);
        const Step step = ExtractMatchingMember(walk, entry);
        if (step != Step::kGoOn) return step;
    }
    return Step::kGoOn;
}

Engine::Step Engine::ExtractMatchingMember(Walk& walk, const MemberInfo& entry) {
    std::string relative;
    const bool safe = MakeSafeMemberPath(entry.name, &relative);
    const std::string name = walk.target + (safe ? relative : entry.name);
    // Only a small file can wait in memory for its write; anything else needs the files
    // before it in place first.
    const bool behind = write_behind_ && safe && entry.size >= 0 &&
                        static_cast<uint64_t>(entry.size) <= options_.hold_size &&
                        name.back() != kPathSeparator && name.back() != '/';
    int32_t result = behind ? ResultOk : SettleWriteBehind();
    if (result == ResultOk) {
        result = ExtractOrSkip(walk, entry, name, safe, behind ? write_behind_.get() : nullptr);
        // The member before is settled now; a failed write of it ends the walk there.
        const int32_t settled = behind ? SettleWriteBehind() : ResultOk;
        if (settled != ResultOk) result = settled;
    }
    if (result != ResultOk) return AfterFailure(result);
    if (behind && write_behind_->queued()) {
        write_behind_->StartQueued(record_);
    } else {
        ++walk.extracted;
        Report(StatusMemberDone, StatusMemberDone);
    }
    return Step::kGoOn;
}

// Reports the member's start, then extracts it, or leaves the file there when the question
// says so.
int32_t Engine::ExtractOrSkip(const Walk& walk, const MemberInfo& entry, const std::string& name,
                              bool safe, WriteBehind* later) {
    record_.name = name;
    record_.time = entry.time;
    record_.size = entry.size;
    record_.compressed_size = entry.compressed_size;
    record_.attributes = entry.attributes;
    record_.method = entry.method;
    record_.ratio = Ratio(entry.size, entry.compressed_size);
    Report(StatusMemberStart, StatusMemberStart);
    if (!safe) return Fail(ResultWriteError, "the member's name leads outside the target folder");
    if (walk.question && fs_.Exists(record_.name) && !walk.question(record_)) {
        record_.size = walk.matched_compressed;
        record_.method = kMethodSkipped;
        Report(Clamp32(walk.matched_compressed), StatusProgress);
        return ResultOk;
    }
    return ExtractOneMember(walk.zip, record_.name, LocationOf(entry), later);
}

// A check reports every failed member and goes on. Otherwise a failure ends the walk there,
// reported when it is the member's own, and one that puts the archive in doubt ends the
// extraction.
Engine::Step Engine::AfterFailure(int32_t result) {
    if (options_.report_every_member) {
        Report(result, StatusMemberFailed);
        return Step::kGoOn;
    }
    if (IsSerious(result)) {
        Report(ResultSerious, StatusSerious);
        return Step::kSerious;
    }
    if (IsMemberFailure(result)) Report(result, StatusMemberFailed);
    return Step::kStop;
}

// After the directory's last entry: the last file written behind settled, and a directory that
// could not be read to its end said plainly, not passed over as an archive with fewer members
// (or none). A well-formed end record that declares no entries is a clean empty archive.
void Engine::FinishDirectory(const Walk& walk) {
    const int32_t settled = SettleWriteBehind();
    if (settled != ResultOk) {
        Report(settled, StatusMemberFailed);
        return;
    }
    const Directory& directory = walk.zip.directory();
    const int32_t rc = EndOfWalk(directory);
    if (rc == ResultNoMoreMembers || (rc == ResultNoDirectory && directory.declared_empty)) return;
    record_ = ReportRecord();
    record_.name = walk.archive;
    Report(rc, StatusMemberFailed);
}

void Engine::ReportArchiveEnd(const Walk& walk) {
    record_.time = 0xFFFFFFFFu;
    record_.attributes = 0xFFFFFFFFu;
    record_.method = 0;
    record_.size = walk.matched_size;
    record_.compressed_size = walk.matched_compressed;
    record_.name = walk.archive;
    record_.ratio = Ratio(walk.matched_size, walk.matched_compressed);
    Report(StatusArchiveEnd, StatusArchiveEnd);
}

} // namespace unzip
