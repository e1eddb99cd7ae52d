// Small members' files made behind the decoding, for one walk of ExtractMatching. A good small
// member's output waits in memory until the member before it is settled; then its file is made
// on a thread of its own while the walk decodes the next member. The reports keep the walk's
// order: while a file is being made, the reports of the member after it are held, and they are
// passed on after that file's done report. A file that cannot be made ends the walk at its own
// member: the reports held behind it go, and so does the output queued after it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "unzip/file_system.h"
#include "unzip/records.h"
#include "unzip/writer_thread.h"

namespace unzip {

class WriteBehind {
  public:
    // Makes a member's file of its output, with the folders it needs; runs on the thread.
    using WriteFile = std::function<CreateStatus(
        const std::string& path, const std::vector<uint8_t>& data, uint32_t dos_time)>;

    WriteBehind(FileSystem& fs, WriteFile write);

    // Takes a good member's output for its file to be made once the member before is settled;
    // `data` gets a spare buffer back.
    void Queue(const std::string& path, uint32_t dos_time, std::vector<uint8_t>& data);
    bool queued() const { return queued_; }
    // Starts making the queued file; `record` is its member's, for the done report.
    void StartQueued(const ReportRecord& record);

    // A file is being made: the walk's reports wait meanwhile.
    bool pending() const { return thread_.pending(); }
    void Hold(int32_t code, const ReportRecord& record, int64_t bytes_read);

    // Waits for the file being made, if any. Made (or none): its member's done report, then the
    // held reports, go to `report`, and Ok is returned. Not made: the held reports and the queued
    // output are dropped, and the status is returned; failed_record() is that member's.
    CreateStatus Settle(const ReportCallback& report);
    const ReportRecord& failed_record() const { return under_way_.record; }

    // While a held report is passed on, what the member's bytes read were when it was made; -1
    // otherwise.
    int64_t replayed_bytes_read() const { return replayed_bytes_read_; }
    int32_t written() const { return written_; } // files made so far

  private:
    struct File {
        ReportRecord record; // the member's, for its done report
        std::string path;
        std::vector<uint8_t> data;
        uint32_t dos_time = 0;
    };
    struct HeldReport {
        int32_t code;
        ReportRecord record;
        int64_t bytes_read;
    };

    WriteFile write_;
    File next_; // queued: waits for the member before to be settled
    bool queued_ = false;
    File under_way_; // the thread's while pending()
    std::vector<HeldReport> held_;
    int64_t replayed_bytes_read_ = -1;
    int32_t written_ = 0;
    WriterThread thread_; // last: gone first, once the write under way is finished
};

} // namespace unzip
