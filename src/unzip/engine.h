// The ZIP extraction engine: archive check, central-directory walk, extraction
// of the members that match a mask, and the decoders behind it.
//
// All state lives in an Engine; the installer works on one process-wide
// engine, DefaultEngine(). An engine runs one extraction at a time: a
// member extraction started from inside a report callback is refused with
// ResultBusy. Each operation opens its archive once, as an Archive (archive.h),
// which reads the central directory once and serves the member data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "unzip/archive.h"
#include "unzip/bit_input.h"
#include "unzip/explode.h"
#include "unzip/file_system.h"
#include "unzip/inflate.h"
#include "unzip/records.h"
#include "unzip/result.h"
#include "unzip/text_codec.h"
#include "unzip/unshrink.h"

namespace unzip {

class WriteBehind;

// Where a member's data lies and what the central directory says about it.
struct MemberLocation {
    int64_t header_offset = 0;
    bool from_directory = false; // the fields below are valid
    uint32_t crc = 0;
    int64_t size = 0;
    int64_t compressed_size = 0;
    uint16_t name_length = 0; // the stored name's length, which the local header must repeat
};

// Where the directory says a walked member lies.
MemberLocation LocationOf(const MemberInfo& entry);

struct EngineOptions {
    size_t refill_size = BitInput::kDefaultRefill; // bytes per read of compressed input
    int oem_code_page = kSystemOemCodePage;        // for names without the UTF-8 flag
    bool check_crc = true;                         // off only for fuzzing deeper paths
    // Members of at most this many bytes are decoded into memory and written in
    // one piece once they have proved good; larger ones are decoded into the
    // file system's output beside their name. 0: every member goes that way.
    size_t hold_size = size_t{1} << 20;
    // ExtractMatching stops at the first member that fails, as the installer needs. A check
    // of a package wants every verdict: with this set, each failed member is reported with
    // its own code (StatusMemberFailed, the diagnostic readable in the report) and the walk
    // goes on to the next.
    bool report_every_member = false;
};

class Engine {
  public:
    explicit Engine(FileSystem& fs = PlatformFileSystem(), EngineOptions options = EngineOptions());
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    EngineOptions& options() { return options_; }

    // Extracts every member whose name matches mask into folder. Returns the
    // number of members extracted, or ResultMissingParameter, ResultNotArchive
    // or ResultSerious; member failures reach the caller through report.
    int32_t ExtractMatching(const std::string& archive, const std::string& folder,
                            const std::string& mask, ReportCallback report = nullptr,
                            QuestionCallback question = nullptr);

    bool IsZipArchive(const std::string& path);

    int32_t FirstMember(const std::string& archive, MemberEntry& entry);
    int32_t NextMember(MemberEntry& entry);
    void CloseMemberWalk(MemberEntry& entry);

    // Total uncompressed size of all members; the compressed total goes to *compressed.
    int64_t ArchiveTotals(const std::string& archive, int64_t* compressed);

    // Extracts one member to output (a folder when it ends in a separator).
    int32_t ExtractMember(const std::string& archive, const std::string& output,
                          const MemberLocation& where);

    ReportCallback SetReportCallback(ReportCallback callback);
    QuestionCallback SetQuestionCallback(QuestionCallback callback);

    // Counters a report callback may read during progress reports.
    int64_t member_compressed_size() const { return member_compressed_size_; }
    int64_t member_bytes_read() const;

    // One sentence on the last failure, for diagnostics ("" when none).
    const std::string& diagnostic() const { return diagnostic_; }

    // The folders the last ExtractMatching or ExtractMember created, each
    // parent before the folders in it: only folders that did not exist before,
    // the target folder included when it was made. Read it after the call (or
    // from a report during it); the next extraction starts it afresh.
    const std::vector<std::string>& created_folders() const { return created_folders_; }

  private:
    class Sink;
    friend class Sink;
    // One run of ExtractMatching, and how it goes on after a member.
    struct Walk;
    enum class Step { kGoOn, kStop, kSerious };

    int32_t Fail(int32_t code, std::string sentence);
    // The archive at path when the engine takes it (IsZipArchive), else null.
    std::unique_ptr<Archive> OpenZipArchive(const std::string& path);
    bool MayBeArchive(const std::string& path); // the checks of the path alone
    int64_t Totals(Archive& archive, int64_t* compressed);
    // What a walk meets after the directory's last entry: the code, with its
    // diagnostic recorded when it is a failure.
    int32_t EndOfWalk(const Directory& directory);
    void Describe(const Directory& directory, const DirectoryEntry& entry, MemberInfo* member);
    void BeginWalk(const Walk& walk, ReportCallback report);
    Step ExtractEach(Walk& walk);
    Step ExtractMatchingMember(Walk& walk, const MemberInfo& entry);
    int32_t ExtractOrSkip(const Walk& walk, const MemberInfo& entry, const std::string& name,
                          bool safe, WriteBehind* later);
    Step AfterFailure(int32_t result);
    void FinishDirectory(const Walk& walk);
    void ReportArchiveEnd(const Walk& walk);
    void EndWalk();
    // With `later`, a member held in memory is queued there for its file instead of written.
    int32_t ExtractOneMember(Archive& archive, const std::string& output,
                             const MemberLocation& where, WriteBehind* later = nullptr);
    int32_t ExtractMemberData(Archive& archive, OutputFile* out, uint16_t method, uint32_t* crc);
    bool TakeSpan(int64_t begin, int64_t end);
    int32_t Decode(uint16_t method, OutputSink& sink);
    int32_t StoredCopy(Archive& archive, OutputSink& sink);
    bool Flush(OutputFile* out, const uint8_t* data, size_t n);
    std::unique_ptr<OutputFile> CreateOutput(const std::string& path);
    int32_t WriteHeld(const std::string& path, uint32_t dos_time);
    // Writes a held output, making the folders it needs; touches no state but the file system
    // and created_folders_, so it may run on the write-behind thread.
    CreateStatus WriteHeldFile(const std::string& path, const std::vector<uint8_t>& data,
                               uint32_t dos_time);
    int32_t WriteResult(CreateStatus status); // ResultOk, or the failure of a held output's write
    // Waits for the file being written behind, if any (WriteBehind::Settle). On a failed write
    // record_ is that member's again; the failure is returned for the walk to act on.
    int32_t SettleWriteBehind();
    bool CreateParentFolders(const std::string& path, bool include_last);
    void Report(int32_t code, int32_t status);

    FileSystem& fs_;
    EngineOptions options_;

    ReportCallback report_; // installed for the duration of an extraction
    QuestionCallback question_;
    ReportRecord record_; // the record every report passes

    struct BusyScope {
        bool& flag;
        ~BusyScope() { flag = false; }
    };

    bool busy_ = false;              // an extraction (of an archive or a member) is running
    const uint8_t* ahead_ = nullptr; // member data read with its local header
    size_t ahead_size_ = 0;
    int64_t data_start_ = 0;         // archive offset of the member's data
    BitInput input_;                 // compressed input of the current member
    std::unique_ptr<Window> window_; // output window, allocated once per engine
    std::unique_ptr<Inflater> inflater_;
    std::unique_ptr<Exploder> exploder_;     // made for the first imploded member
    std::unique_ptr<Unshrinker> unshrinker_; // made for the first shrunk member
    std::vector<uint8_t> held_output_;       // a small member's output until it has proved good
    uint32_t crc_ = 0;                       // running CRC register of the current member's output
    int64_t member_compressed_size_ = 0;     // UnknownSize when not known
    int64_t member_size_ = 0;                // uncompressed; UnknownSize when not known
    uint64_t output_written_ = 0;            // bytes of the current member passed to its file
    uint64_t output_limit_ = 0;              // the most it may get: its declared size
    bool output_overflow_ = false;
    // Archive spans (local header to end of data) of the members this walk has
    // extracted, by start: two members may not share data.
    std::vector<std::pair<int64_t, int64_t>> taken_spans_;
    bool checking_spans_ = false;
    uint16_t member_flags_ = 0;
    uint64_t stored_bytes_read_ = 0; // the stored copy reads past the bit input
    bool stored_member_ = false;
    std::string diagnostic_;
    std::vector<std::string> created_folders_; // by the running or last extraction

    // Small members' files made behind the decoding, while ExtractMatching walks (not with a
    // question callback, nor in a check).
    std::unique_ptr<WriteBehind> write_behind_;
};

// The engine the installer extracts with: one for the whole program, so that one extraction
// runs at a time in it.
Engine& DefaultEngine();

} // namespace unzip
