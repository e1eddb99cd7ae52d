#include "app/run_log.h"

#include <cstdio>
#include <ctime>

#include "app/paths.h"

namespace app {
namespace {

std::tm LocalTime(std::time_t seconds) {
    return *std::localtime(&seconds);
}

} // namespace

RunLog::RunLog() : start_(std::chrono::steady_clock::now()) {}

void RunLog::Line(const std::string& text) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t second = std::chrono::system_clock::to_time_t(now);
    // The local date and time change once a second; a run logs thousands of files in one.
    if (second != stamped_second_) {
        const std::tm t = LocalTime(second);
        std::snprintf(stamped_, sizeof stamped_, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                      t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
        stamped_second_ = second;
    }
    const long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    const long long since = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start_)
                                .count();
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%s.%03lld (+%lld ms) ", stamped_, ms, since);
    // Line breaks inside a text (the boxes' lines) stay inside its one log line.
    std::string line = stamp;
    for (const char c : text) line += c == '\r' || c == '\n' ? ' ' : c;
    line += "\r\n";
    if (file_.IsOpen())
        (void)file_.Append(line); // a log that cannot be written must not stop the run
    else
        held_ += line;
}

bool RunLog::OpenAt(const std::string& path) {
    return file_.Open(path, false) && Adopt(path);
}

std::string TodayAsDigits() {
    const std::tm t = LocalTime(std::time(nullptr));
    char date[40];
    std::snprintf(date, sizeof date, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    return date;
}

bool RunLog::OpenNew(const std::string& folder, const std::string& name) {
    const std::string date = TodayAsDigits();
    for (int n = 1; n < 1000; ++n) {
        const std::string path =
            CollapsePath(folder + kSep + name + "-" + date + "-" + std::to_string(n) + ".log");
        if (file_.Open(path, true)) return Adopt(path);
    }
    return false;
}

bool RunLog::Adopt(const std::string& path) {
    path_ = path;
    const bool written = file_.Append(held_);
    held_.clear();
    return written;
}

} // namespace app
