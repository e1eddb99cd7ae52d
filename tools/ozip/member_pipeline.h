// Files read and compressed on several threads at once, handed out in the archive's order, so
// that the archive is the same whatever the number of threads. Only a few members are held in
// memory at a time.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "member_compressor.h"

namespace ozip {

// The whole content of a file that is `size` bytes long; throws std::runtime_error when it
// cannot be read or its size has changed.
Bytes ReadWholeFile(const std::string& path, uint64_t size);

class MemberPipeline {
  public:
    struct Job {
        std::string path;
        uint64_t size;
    };

    MemberPipeline(std::vector<Job> jobs, int level, unsigned threads);
    ~MemberPipeline();
    MemberPipeline(const MemberPipeline&) = delete;
    MemberPipeline& operator=(const MemberPipeline&) = delete;

    // The next job's result, in the order of the jobs; rethrows what its reading threw.
    PackedData Next();

  private:
    struct Outcome {
        PackedData packed;
        std::exception_ptr failure;
    };
    void Work(const MemberCompressor& compressor);

    std::vector<Job> jobs_;
    size_t window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t claimed_ = 0;  // jobs handed to a thread
    size_t consumed_ = 0; // results taken by Next
    bool stopping_ = false;
    std::map<size_t, Outcome> done_;
    std::vector<std::unique_ptr<MemberCompressor>> compressors_;
    std::vector<std::thread> threads_;
};

} // namespace ozip
