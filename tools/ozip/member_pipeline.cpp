#include "member_pipeline.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace ozip {

Bytes ReadWholeFile(const std::string& path, uint64_t size) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    Bytes content(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(size));
    if (static_cast<uint64_t>(in.gcount()) != size ||
        in.peek() != std::ifstream::traits_type::eof())
        throw std::runtime_error("changed while it was read: " + path);
    return content;
}

MemberPipeline::MemberPipeline(std::vector<Job> jobs, int level, unsigned threads)
    : jobs_(std::move(jobs)) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(jobs_.size(), 1)));
    window_ = 2 * threads;
    // Made before any thread starts, so that a failure to make one leaves no thread behind.
    for (unsigned i = 0; i < threads; ++i)
        compressors_.push_back(std::make_unique<MemberCompressor>(level));
    for (const auto& compressor : compressors_)
        threads_.emplace_back([this, &compressor] { Work(*compressor); });
}

MemberPipeline::~MemberPipeline() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void MemberPipeline::Work(const MemberCompressor& compressor) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || claimed_ == jobs_.size() || claimed_ < consumed_ + window_;
        });
        if (stopping_ || claimed_ == jobs_.size()) return;
        const size_t index = claimed_++;
        lock.unlock();
        Outcome outcome;
        try {
            outcome.packed = compressor.Pack(ReadWholeFile(jobs_[index].path, jobs_[index].size));
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        lock.lock();
        done_[index] = std::move(outcome);
        changed_.notify_all();
    }
}

PackedData MemberPipeline::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return done_.count(consumed_) != 0; });
    Outcome outcome = std::move(done_[consumed_]);
    done_.erase(consumed_++);
    lock.unlock();
    changed_.notify_all();
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    return std::move(outcome.packed);
}

} // namespace ozip
