// The thread that makes one member's file while the engine decodes the next member, and the
// hand-over between the two. Making a small file costs about as much as decoding it, so the two
// overlap instead of taking turns. One write is under way at a time.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "unzip/file_system.h"

namespace unzip {

class WriterThread {
  public:
    // The thread works inside a batch of `fs` of its own (file systems keep batch state per
    // thread).
    explicit WriterThread(FileSystem& fs);
    ~WriterThread(); // waits for the write under way

    WriterThread(const WriterThread&) = delete;
    WriterThread& operator=(const WriterThread&) = delete;

    // Starts `write` on the thread; a write started earlier must have been collected.
    void Start(std::function<CreateStatus()> write);
    // Waits for the write under way and returns its result.
    CreateStatus Collect();
    bool pending() const { return pending_; }

  private:
    enum State : int { kIdle, kQueued, kDone, kStop };
    void Work();

    FileSystem& fs_;
    // The hand-over is a flag both threads poll, yielding between looks: a write takes tens of
    // microseconds, and a blocking wait would cost a round trip to Wine's server each time.
    std::atomic<int> state_{kIdle};
    std::function<CreateStatus()> job_; // the thread's between kQueued and kDone
    CreateStatus result_ = CreateStatus::Ok;
    bool pending_ = false; // started and not yet collected (the engine's thread alone)
    std::thread thread_;   // last: started once the members above are ready
};

} // namespace unzip
