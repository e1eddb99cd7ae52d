// Fuzz target: the input is a whole ZIP archive.
//
// Each input is held in memory as "in.zip" and goes through everything a caller
// of the engine can do with an archive:
//  - ExtractMatching into "out", twice: once as the installer runs it (CRC check
//    on, 4,096-byte refills) and once with the CRC check off and tiny refills
//    (1, 7 or 31 bytes, by the input's length), so that the members behind a CRC
//    failure are reached and the slow input paths run. A report callback checks
//    the order and contents of every report; the two runs must agree member by
//    member (result, bytes written and their CRC-32) up to the first CRC failure
//    of the first run, and entirely when there is none. Decoding may not depend
//    on how the input is cut into refills. By the input's length, both runs hold
//    small members in memory until they prove good, or decode every member
//    straight into its output.
//  - a directory walk with FirstMember/NextMember, checked against ArchiveTotals;
//  - ExtractMember of the local header at offset 0 without the directory, the
//    path a data descriptor takes when nothing else gives the sizes.
// All output goes to a file system that keeps only sizes and CRCs: it caps each
// file and the whole run (so decompression bombs stay cheap) and traps on any
// path outside "out".
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "unzip/crc32.h"
#include "unzip/engine.h"
#include "unzip/memory_file_system.h"
#include "unzip/result.h"

namespace {

using namespace unzip;

const std::string kArchive = "in.zip";
const std::string kTarget = "out";
constexpr uint64_t kFileLimit = 4u << 20;   // bytes one output file may grow to
constexpr uint64_t kTotalLimit = 32u << 20; // bytes all outputs of one run may take together

// ORVO_FUZZ_VERBOSE=1 prints what each input did, for looking into a finding.
bool Verbose() {
    static const bool verbose = [] {
        const char* v = std::getenv("ORVO_FUZZ_VERBOSE");
        return v && *v && std::strcmp(v, "0") != 0;
    }();
    return verbose;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// True for "out" itself and paths below it that have no ".." part.
bool InsideTarget(const std::string& path) {
    if (path == kTarget) return true;
    if (!StartsWith(path, kTarget + kPathSeparator)) return false;
    size_t start = 0;
    for (;;) {
        size_t end = path.find(kPathSeparator, start);
        std::string part =
            path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// What one output file received.
struct OutputStats {
    uint64_t size = 0;
    uint32_t crc = 0xFFFFFFFFu; // running CRC-32 register
    bool made = false;          // the member had an output (a held one that fails has none)
};

class GuardedFileSystem;

// Keeps the size and CRC of what a member's output received; the file system
// learns them when the output is committed or discarded.
class CountingOutput final : public OutputFile {
  public:
    CountingOutput(GuardedFileSystem& fs, std::string path, uint64_t& total, uint64_t declared)
        : fs_(fs), path_(std::move(path)), total_(total), declared_(declared) {
        stats_.made = true;
    }
    ~CountingOutput() override;
    bool Write(const void* data, size_t n) override {
        FUZZ_CHECK(!committed_, "write to %s after its commit", path_.c_str());
        FUZZ_CHECK(n <= declared_ - stats_.size, "%s grows past its declared %llu bytes",
                   path_.c_str(), static_cast<unsigned long long>(declared_));
        if (n > kFileLimit - stats_.size || n > kTotalLimit - total_) return false;
        stats_.size += n;
        stats_.crc = Crc32Update(stats_.crc, static_cast<const uint8_t*>(data), n);
        total_ += n;
        return true;
    }
    void SetDosTime(uint32_t) override {
        FUZZ_CHECK(!committed_, "time stamp on %s after its commit", path_.c_str());
    }
    bool Commit() override;

  private:
    GuardedFileSystem& fs_;
    std::string path_;
    OutputStats stats_;
    uint64_t& total_;
    uint64_t declared_;
    bool committed_ = false;
};

// Reads the archive from a MemoryFileSystem; outputs are counted and thrown away.
// Every committed file keeps its size and CRC for the check that a failed member
// left an older file of its name as it was.
class GuardedFileSystem final : public FileSystem {
  public:
    explicit GuardedFileSystem(MemoryFileSystem& archive) : archive_(archive) {}

    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        FUZZ_CHECK(path == kArchive, "the engine opened %s for reading", path.c_str());
        return archive_.OpenRead(path);
    }
    std::unique_ptr<OutputFile> CreateBeside(const std::string& path,
                                             CreateStatus* status) override {
        FUZZ_CHECK(InsideTarget(path), "the engine created %s outside the target folder",
                   path.c_str());
        if (folders_.count(path)) { // refused, as a real file system refuses it
            *status = CreateStatus::Failed;
            return nullptr;
        }
        *status = CreateStatus::Ok;
        ++open_outputs_;
        return std::make_unique<CountingOutput>(*this, path, total_, declared_);
    }
    bool IsFolder(const std::string& path) override { return folders_.count(path) > 0; }
    bool Exists(const std::string& path) override {
        return files_.count(path) || folders_.count(path);
    }
    bool MakeFolder(const std::string& path) override {
        FUZZ_CHECK(InsideTarget(path), "the engine made the folder %s outside the target folder",
                   path.c_str());
        if (files_.count(path)) return false; // refused, as a real file system refuses it
        folders_.insert(path);
        return true;
    }

    // An output was committed under path, or discarded (committed false).
    void OutputEnded(const std::string& path, const OutputStats& stats, bool committed) {
        last_ = stats;
        if (committed) files_[path] = stats;
        --open_outputs_;
    }

    uint64_t bytes_written() const { return total_; }
    // The output of the member extracted last, cleared by BeginMember().
    const OutputStats& last() const { return last_; }
    // A member whose directory entry declares `size` bytes starts.
    void BeginMember(uint64_t size) {
        last_ = OutputStats();
        declared_ = size;
    }
    // The file a path holds, if any.
    const OutputStats* File(const std::string& path) const {
        auto it = files_.find(path);
        return it == files_.end() ? nullptr : &it->second;
    }
    bool AllOutputsEnded() const { return open_outputs_ == 0; }

  private:
    MemoryFileSystem& archive_;
    std::map<std::string, OutputStats> files_;
    std::set<std::string> folders_;
    OutputStats last_;
    uint64_t total_ = 0;
    uint64_t declared_ = std::numeric_limits<uint64_t>::max(); // no directory: no bound known
    int open_outputs_ = 0;
};

CountingOutput::~CountingOutput() {
    if (!committed_) fs_.OutputEnded(path_, stats_, false);
}

bool CountingOutput::Commit() {
    FUZZ_CHECK(!committed_, "%s committed twice", path_.c_str());
    committed_ = true;
    fs_.OutputEnded(path_, stats_, true);
    return true;
}

// How one member of an ExtractMatching run ended.
struct MemberOutcome {
    std::string name;
    int32_t code = 0; // StatusMemberDone, a failure code, or ResultSerious
    OutputStats output;
    bool skipped = false; // the question callback kept the file there
};

struct RunOutcome {
    int32_t result = 0;
    std::vector<MemberOutcome> members;
};

bool IsMemberFailure(int32_t code) {
    return code == ResultCrcError || code == ResultWriteError || code == ResultUnsupported ||
           code == ResultEncrypted;
}

bool IsDirectoryFailure(int32_t code) {
    return code == ResultArchiveFileError || code == ResultNoDirectory;
}

bool IsExtractResult(int32_t code) {
    return code == ResultOk || code == ResultCrcError || code == ResultWriteError ||
           code == ResultReadError || code == ResultArchiveError || code == ResultUnsupported ||
           code == ResultEncrypted;
}

// Follows the reports of one ExtractMatching call and checks each against the
// ones before it.
class ReportChecker {
  public:
    enum Phase { kNotStarted, kInArchive, kInMember, kAfterFailure, kOver };

    ReportChecker(Engine& engine, GuardedFileSystem& fs, bool check_crc)
        : engine_(engine), fs_(fs), check_crc_(check_crc) {}

    void operator()(int32_t code, ReportRecord& r) {
        FUZZ_CHECK(!r.name.empty(), "report %d with an empty name", static_cast<int>(code));
        FUZZ_CHECK(code == r.status || r.status == StatusProgress || r.status == StatusMemberFailed,
                   "report code %d with status %d", static_cast<int>(code),
                   static_cast<int>(r.status));
        switch (r.status) {
        case StatusArchiveStart:
            FUZZ_CHECK(phase_ == kNotStarted, "archive start in phase %d", phase_);
            FUZZ_CHECK(r.name == kArchive, "archive start names %s", r.name.c_str());
            FUZZ_CHECK(r.time == 0 && r.attributes == 0, "archive start with time or attributes");
            phase_ = kInArchive;
            break;
        case StatusMemberStart:
            FUZZ_CHECK(phase_ == kInArchive, "member start in phase %d", phase_);
            FUZZ_CHECK(StartsWith(r.name, kTarget + kPathSeparator), "member output %s",
                       r.name.c_str());
            phase_ = kInMember;
            fs_.BeginMember(static_cast<uint64_t>(r.size));
            had_file_ = fs_.File(r.name) != nullptr;
            if (had_file_) old_file_ = *fs_.File(r.name);
            members_.push_back(MemberOutcome{r.name, 0, OutputStats()});
            CheckReentryIsRefused(&member_start_checked_);
            break;
        case StatusProgress:
            FUZZ_CHECK(phase_ == kInMember, "progress in phase %d", phase_);
            FUZZ_CHECK(code >= 0, "progress of %d bytes", static_cast<int>(code));
            // Method 9 marks the report of a member skipped by the question
            // callback; every other progress report comes from a running extraction.
            if (r.method == 9) {
                members_.back().skipped = true;
                break;
            }
            FUZZ_CHECK(engine_.member_bytes_read() >= 0 &&
                           engine_.member_bytes_read() <= engine_.member_compressed_size(),
                       "%lld of %lld compressed bytes read",
                       static_cast<long long>(engine_.member_bytes_read()),
                       static_cast<long long>(engine_.member_compressed_size()));
            CheckReentryIsRefused(&progress_checked_);
            break;
        case StatusMemberDone:
            FUZZ_CHECK(phase_ == kInMember, "member done in phase %d", phase_);
            ++done_;
            phase_ = kInArchive;
            EndMember(StatusMemberDone);
            break;
        case StatusMemberFailed:
            // A directory that cannot be read to its end is reported
            // as a failure outside any member.
            FUZZ_CHECK(phase_ == kInMember || (phase_ == kInArchive && IsDirectoryFailure(code)),
                       "member failure %d in phase %d", static_cast<int>(code), phase_);
            FUZZ_CHECK(IsMemberFailure(code) || IsDirectoryFailure(code),
                       "member failure with code %d", static_cast<int>(code));
            FUZZ_CHECK(check_crc_ || code != ResultCrcError, "CRC error with the check off");
            if (phase_ == kInMember) EndMember(code);
            phase_ = kAfterFailure;
            break;
        case StatusSerious:
            FUZZ_CHECK(phase_ == kInMember, "serious failure in phase %d", phase_);
            FUZZ_CHECK(code == ResultSerious, "serious failure with code %d",
                       static_cast<int>(code));
            EndMember(code);
            phase_ = kOver;
            serious_ = true;
            break;
        case StatusArchiveEnd:
            FUZZ_CHECK(phase_ == kInArchive || phase_ == kAfterFailure, "archive end in phase %d",
                       phase_);
            FUZZ_CHECK(r.name == kArchive, "archive end names %s", r.name.c_str());
            FUZZ_CHECK(r.time == 0xFFFFFFFFu && r.attributes == 0xFFFFFFFFu,
                       "archive end without its marks");
            FUZZ_CHECK(r.size >= 0 && r.compressed_size >= 0, "negative totals at the end");
            phase_ = kOver;
            break;
        default: FUZZ_CHECK(false, "unknown report status %d", static_cast<int>(r.status));
        }
    }

    bool Question(ReportRecord& r) {
        FUZZ_CHECK(phase_ == kInMember, "question in phase %d", phase_);
        FUZZ_CHECK(StartsWith(r.name, kTarget + kPathSeparator), "question about %s",
                   r.name.c_str());
        // Overwrite some repeated names and skip others, by a bit the input controls.
        return (r.time & 1) != 0;
    }

    // Checks the result of the call against the reports seen.
    void Finish(int32_t result) {
        FUZZ_CHECK(fs_.AllOutputsEnded(), "an output was neither committed nor discarded");
        if (result == ResultNotArchive) {
            FUZZ_CHECK(phase_ == kNotStarted, "reports for an input that is not an archive");
            return;
        }
        if (result == ResultSerious) {
            FUZZ_CHECK(serious_ && phase_ == kOver, "serious result without its report");
            return;
        }
        FUZZ_CHECK(result >= 0, "ExtractMatching returned %d", static_cast<int>(result));
        FUZZ_CHECK(phase_ == kOver && !serious_, "no archive end report");
        FUZZ_CHECK(result == done_, "returned %d but %d members were done",
                   static_cast<int>(result), done_);
    }

    const std::vector<MemberOutcome>& members() const { return members_; }

  private:
    void EndMember(int32_t code) {
        members_.back().code = code;
        members_.back().output = fs_.last();
        if (code == StatusMemberDone) return;
        // A failed member leaves what its name held before as it was.
        const OutputStats* now = fs_.File(members_.back().name);
        FUZZ_CHECK((now != nullptr) == had_file_, "%s: a failed member %s the file",
                   members_.back().name.c_str(), had_file_ ? "removed" : "left");
        if (now)
            FUZZ_CHECK(now->size == old_file_.size && now->crc == old_file_.crc,
                       "%s: a failed member changed the file there", members_.back().name.c_str());
    }

    // An extraction started from inside a report must be refused, once checked
    // between members and once while a member is decoded; the running one must
    // go on unharmed.
    void CheckReentryIsRefused(bool* checked) {
        if (*checked) return;
        *checked = true;
        MemberLocation where;
        int32_t rc = engine_.ExtractMember(kArchive, kTarget + kPathSeparator + "busy", where);
        FUZZ_CHECK(rc == ResultBusy, "nested member extraction gave %d", static_cast<int>(rc));
        rc = engine_.ExtractMatching(kArchive, kTarget, "*.*", [](int32_t, ReportRecord&) {});
        FUZZ_CHECK(rc == ResultBusy, "nested ExtractMatching gave %d", static_cast<int>(rc));
    }

    Engine& engine_;
    GuardedFileSystem& fs_;
    bool check_crc_;
    std::vector<MemberOutcome> members_;
    Phase phase_ = kNotStarted;
    int done_ = 0;
    bool member_start_checked_ = false;
    bool progress_checked_ = false;
    bool serious_ = false;
    bool had_file_ = false; // the current member's path held a file when it started
    OutputStats old_file_;
};

// Extracts every member.
RunOutcome ExtractAll(MemoryFileSystem& archive, bool check_crc, size_t refill_size,
                      size_t hold_size) {
    GuardedFileSystem fs(archive);
    EngineOptions options;
    options.check_crc = check_crc;
    options.refill_size = refill_size;
    options.hold_size = hold_size;
    Engine engine(fs, options);
    ReportChecker checker(engine, fs, check_crc);
    RunOutcome run;
    run.result = engine.ExtractMatching(
        kArchive, kTarget, "*.*", [&checker](int32_t code, ReportRecord& r) { checker(code, r); },
        [&checker](ReportRecord& r) { return checker.Question(r); });
    checker.Finish(run.result);
    run.members = checker.members();
    if (Verbose())
        std::fprintf(
            stderr,
            "  ExtractMatching (CRC check %s, refill %zu): %s, %zu members, %llu bytes "
            "written%s%s\n",
            check_crc ? "on" : "off", refill_size,
            run.result >= 0 ? std::to_string(run.result).c_str() : ResultName(run.result),
            run.members.size(), static_cast<unsigned long long>(fs.bytes_written()),
            engine.diagnostic().empty() ? "" : "; last failure: ", engine.diagnostic().c_str());
    return run;
}

// The run with the CRC check (a) and the one without (b) must agree up to a's
// first CRC failure, and entirely when a has none.
void CompareRuns(const RunOutcome& a, const RunOutcome& b) {
    for (size_t i = 0; i < a.members.size(); ++i) {
        const MemberOutcome& ma = a.members[i];
        FUZZ_CHECK(i < b.members.size(), "member %zu (%s) missing from the second run", i,
                   ma.name.c_str());
        const MemberOutcome& mb = b.members[i];
        FUZZ_CHECK(ma.name == mb.name, "member %zu is %s, then %s", i, ma.name.c_str(),
                   mb.name.c_str());
        FUZZ_CHECK((ma.code == ResultCrcError && !ma.output.made) ||
                       (ma.output.size == mb.output.size && ma.output.crc == mb.output.crc),
                   "%s: %llu bytes (CRC register %08x), then %llu bytes (%08x)", ma.name.c_str(),
                   static_cast<unsigned long long>(ma.output.size), ma.output.crc,
                   static_cast<unsigned long long>(mb.output.size), mb.output.crc);
        if (ma.code == ResultCrcError) {
            // A held member fails its CRC before its file is made; without the
            // check it may still find its name cannot be made.
            FUZZ_CHECK(
                mb.code == StatusMemberDone || (mb.code == ResultWriteError && !ma.output.made),
                "%s: CRC error, then %s", ma.name.c_str(), ResultName(mb.code));
            return;
        }
        FUZZ_CHECK(ma.code == mb.code, "%s: %s, then %s", ma.name.c_str(), ResultName(ma.code),
                   ResultName(mb.code));
    }
    FUZZ_CHECK(a.result == b.result && a.members.size() == b.members.size(),
               "first run: %d with %zu members, second: %d with %zu", static_cast<int>(a.result),
               a.members.size(), static_cast<int>(b.result), b.members.size());
}

int64_t AddClamped(int64_t total, int64_t add) {
    return add > std::numeric_limits<int64_t>::max() - total ? std::numeric_limits<int64_t>::max()
                                                             : total + add;
}

// Walks the directory and compares the sums with ArchiveTotals.
// Where each member of the walk lies in the archive: its local header to the end
// of its data, as the local header and the directory entry give them.
using Span = std::pair<int64_t, int64_t>;

// Members that an extraction wrote may not share any byte of the archive.
void CheckSpansDisjoint(const RunOutcome& run, const std::vector<Span>& spans) {
    std::map<int64_t, int64_t> taken;
    for (size_t i = 0; i < run.members.size(); ++i) {
        const MemberOutcome& m = run.members[i];
        if (m.code != StatusMemberDone || m.skipped) continue;
        FUZZ_CHECK(i < spans.size(), "member %zu (%s) was extracted but not walked", i,
                   m.name.c_str());
        const Span& span = spans[i];
        auto next = taken.lower_bound(span.first);
        FUZZ_CHECK(next == taken.end() || next->first >= span.second,
                   "%s shares data with a member extracted before it", m.name.c_str());
        FUZZ_CHECK(next == taken.begin() || std::prev(next)->second <= span.first,
                   "%s shares data with a member extracted before it", m.name.c_str());
        taken.emplace_hint(next, span);
    }
}

void WalkDirectory(MemoryFileSystem& archive, size_t size, std::vector<Span>* spans) {
    GuardedFileSystem fs(archive);
    Engine engine(fs);
    MemberEntry entry;
    size_t members = 0;
    int64_t total = 0, compressed = 0;
    int32_t rc;
    for (rc = engine.FirstMember(kArchive, entry); rc == ResultOk; rc = engine.NextMember(entry)) {
        // Every entry takes at least its 46 fixed bytes of the archive, so a
        // walk longer than that would be going round in circles.
        ++members;
        FUZZ_CHECK(members <= size / 46 + 1, "walk of %zu members in %zu bytes", members, size);
        FUZZ_CHECK(entry.walking(), "a member was read but the walk is closed");
        FUZZ_CHECK(entry.name.find('\0') == std::string::npos, "NUL in a decoded name");
        if (kPathSeparator == '/')
            FUZZ_CHECK(entry.name.find('\\') == std::string::npos, "backslash left in %s",
                       entry.name.c_str());
        FUZZ_CHECK(entry.raw_name.find('\0') == std::string::npos, "NUL in a stored name");
        FUZZ_CHECK(entry.size >= 0 && entry.compressed_size >= 0 && entry.header_offset >= 0,
                   "a member with negative fields");
        total = AddClamped(total, entry.size);
        compressed = AddClamped(compressed, entry.compressed_size);
        const std::vector<uint8_t>& bytes = *archive.Get(kArchive);
        const uint64_t header = static_cast<uint64_t>(entry.header_offset);
        uint64_t lengths = 0;
        if (header + 30 <= bytes.size())
            lengths = (bytes[header + 26] | bytes[header + 27] << 8) +
                      (bytes[header + 28] | bytes[header + 29] << 8);
        // Both below 2^63: their sum does not wrap.
        const uint64_t end = header + 30 + lengths + static_cast<uint64_t>(entry.compressed_size);
        spans->emplace_back(static_cast<int64_t>(header),
                            static_cast<int64_t>(std::min<uint64_t>(end, INT64_MAX)));
    }
    if (Verbose())
        std::fprintf(stderr, "  walk: %zu members, ended with %s; totals %lld/%lld\n", members,
                     ResultName(rc), static_cast<long long>(total),
                     static_cast<long long>(compressed));
    FUZZ_CHECK(rc == ResultNoMoreMembers || rc == ResultArchiveFileError || rc == ResultNoDirectory,
               "the walk ended with %d", static_cast<int>(rc));
    FUZZ_CHECK(!entry.walking() && !entry.archive, "the walk ended but is still open");
    // A walk that never started is closed as well.
    engine.CloseMemberWalk(entry);
    FUZZ_CHECK(engine.NextMember(entry) == ResultNoMoreMembers, "NextMember after the end");

    int64_t totals_compressed = -1;
    int64_t totals = engine.ArchiveTotals(kArchive, &totals_compressed);
    if (engine.IsZipArchive(kArchive)) {
        FUZZ_CHECK(totals == total && totals_compressed == compressed,
                   "ArchiveTotals %lld/%lld, the walk %lld/%lld", static_cast<long long>(totals),
                   static_cast<long long>(totals_compressed), static_cast<long long>(total),
                   static_cast<long long>(compressed));
    } else {
        FUZZ_CHECK(totals == totals_compressed && totals >= 0,
                   "totals of a file that is no archive");
    }
}

// Extracts the member whose local header starts the archive, as a caller does
// that has no directory: sizes come from the local header or follow the data.
void ExtractFirstLocal(MemoryFileSystem& archive, size_t refill_size) {
    GuardedFileSystem fs(archive);
    EngineOptions options;
    options.refill_size = refill_size;
    Engine engine(fs, options);
    MemberLocation where;
    int32_t rc = engine.ExtractMember(kArchive, kTarget + kPathSeparator + "local", where);
    if (Verbose())
        std::fprintf(stderr, "  member at offset 0 without the directory: %s %s\n", ResultName(rc),
                     engine.diagnostic().c_str());
    FUZZ_CHECK(IsExtractResult(rc), "ExtractMember returned %d", static_cast<int>(rc));
    FUZZ_CHECK((rc == ResultOk) == engine.diagnostic().empty(), "result %d with diagnostic \"%s\"",
               static_cast<int>(rc), engine.diagnostic().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static constexpr size_t kSmallRefills[3] = {1, 7, 31};
    const size_t small_refill = kSmallRefills[size % 3];
    MemoryFileSystem archive;
    archive.Put(kArchive, std::vector<uint8_t>(data, data + size));
    // Half the inputs decode every member into its file's output, half hold
    // the small ones in memory until they have proved good.
    const size_t hold_size = (size / 3) % 2 ? EngineOptions().hold_size : 0;
    const RunOutcome checked = ExtractAll(archive, true, BitInput::kDefaultRefill, hold_size);
    const RunOutcome unchecked = ExtractAll(archive, false, small_refill, hold_size);
    CompareRuns(checked, unchecked);
    std::vector<Span> spans;
    WalkDirectory(archive, size, &spans);
    CheckSpansDisjoint(checked, spans);
    CheckSpansDisjoint(unchecked, spans);
    ExtractFirstLocal(archive, small_refill);
    return 0;
}
