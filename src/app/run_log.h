// The log every run writes: UTF-8 lines, each with its time and the milliseconds since the
// run began (the steps' timings), handed to the system as it is written, so a run that is
// killed leaves a readable log. Lines written before the file is chosen (the configuration
// names it) are held until then.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

#include "platform/file_io.h"

namespace app {

// Today as yyyymmdd in local time (the log's name, the Apps list's install date).
std::string TodayAsDigits();

class RunLog {
  public:
    RunLog();

    void Line(const std::string& text);
    // The file an administrator named: appended to.
    [[nodiscard]] bool OpenAt(const std::string& path);
    // A new file in FOLDER named NAME-yyyymmdd-N.log with the first N that is free.
    [[nodiscard]] bool OpenNew(const std::string& folder, const std::string& name);
    bool IsOpen() const { return file_.IsOpen(); }
    const std::string& Path() const { return path_; }

  private:
    bool Adopt(const std::string& path);

    std::chrono::steady_clock::time_point start_;
    std::time_t stamped_second_ = -1;
    char stamped_[64] = {}; // that second's local date and time
    platform::AppendFile file_;
    std::string path_;
    std::string held_;
};

} // namespace app
