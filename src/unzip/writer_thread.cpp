#include "unzip/writer_thread.h"

#include <chrono>
#include <utility>

namespace unzip {
namespace {

// Polls until `done` holds: yielding first, then, once the wait has lasted (a large member is
// being decoded), sleeping between looks so an idle thread leaves the processor alone.
template <typename Done>
void WaitUntil(Done done) {
    for (int looks = 0; !done(); ++looks) {
        if (looks < 20000)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

} // namespace

WriterThread::WriterThread(FileSystem& fs) : fs_(fs), thread_([this] { Work(); }) {}

WriterThread::~WriterThread() {
    if (pending_) (void)Collect(); // the write under way is finished, whatever it gives
    state_.store(kStop, std::memory_order_release);
    thread_.join();
}

void WriterThread::Start(std::function<CreateStatus()> write) {
    job_ = std::move(write);
    pending_ = true;
    state_.store(kQueued, std::memory_order_release);
}

CreateStatus WriterThread::Collect() {
    WaitUntil([this] { return state_.load(std::memory_order_acquire) == kDone; });
    state_.store(kIdle, std::memory_order_relaxed);
    pending_ = false;
    return result_;
}

void WriterThread::Work() {
    fs_.BeginBatch();
    for (;;) {
        int state = kIdle;
        WaitUntil([&] {
            state = state_.load(std::memory_order_acquire);
            return state == kQueued || state == kStop;
        });
        if (state == kStop) break;
        result_ = job_();
        job_ = nullptr;
        state_.store(kDone, std::memory_order_release);
    }
    fs_.EndBatch();
}

} // namespace unzip
