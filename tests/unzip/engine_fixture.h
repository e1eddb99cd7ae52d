// What the engine tests share: an engine over an in-memory file system that
// records every file and folder the engine creates, a recorder of reports, and
// paths spelled with the platform's separator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "unzip/engine.h"
#include "unzip/memory_file_system.h"
#include "zip_builder.h"

namespace ziptest {

// A member path below `folder`, with '/' turned into the platform's separator.
inline std::string Below(const std::string& folder, std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', unzip::kPathSeparator);
    return folder + unzip::kPathSeparator + relative;
}

// One report as the callback saw it.
struct Report {
    int32_t code;
    int32_t status;
    uint16_t method;
    int64_t size;
    int64_t compressed;
    std::string name;
    bool operator==(const Report& o) const {
        return code == o.code && status == o.status && method == o.method && size == o.size &&
               compressed == o.compressed && name == o.name;
    }
};
inline std::ostream& operator<<(std::ostream& os, const Report& r) {
    return os << "{" << r.code << ", " << r.status << ", method " << r.method << ", " << r.size
              << ", " << r.compressed << ", \"" << r.name.substr(0, 80) << "\"}";
}

// Keeps every report, and the whole records for the checks of other fields.
struct Recorder {
    std::vector<Report> reports;
    std::vector<unzip::ReportRecord> records;
    unzip::ReportCallback callback() {
        return [this](int32_t code, unzip::ReportRecord& r) {
            reports.push_back({code, r.status, r.method, r.size, r.compressed_size, r.name});
            records.push_back(r);
        };
    }
};

// The memory file system, with a log of what the engine made and opened.
class LoggingFileSystem : public unzip::MemoryFileSystem {
  public:
    std::unique_ptr<unzip::InputFile> OpenRead(const std::string& path) override {
        ++opens;
        return MemoryFileSystem::OpenRead(path);
    }
    // Logs the path a member's output is made for.
    std::unique_ptr<unzip::OutputFile> CreateBeside(const std::string& path,
                                                    unzip::CreateStatus* status) override {
        created.push_back(path);
        return MemoryFileSystem::CreateBeside(path, status);
    }
    bool MakeFolder(const std::string& path) override {
        folders.push_back(path);
        return MemoryFileSystem::MakeFolder(path);
    }
    std::string Text(const std::string& path) const {
        const std::vector<uint8_t>* b = Get(path);
        return b ? std::string(b->begin(), b->end()) : std::string("<missing>");
    }
    std::vector<std::string> created, folders;
    int opens = 0; // archives opened for reading
};

class EngineTest : public ::testing::Test {
  protected:
    static constexpr const char* kArchive = "archive.zip";
    static constexpr const char* kTarget = "out";

    std::string Out(const std::string& relative) const { return Below(kTarget, relative); }

    // Builds the archive into the file system and extracts with the given mask.
    int32_t Extract(const Archive& archive, const std::string& mask = "*.*") {
        fs.Put(kArchive, archive.Build(&layout));
        return engine.ExtractMatching(kArchive, kTarget, mask, recorder.callback());
    }

    LoggingFileSystem fs;
    unzip::Engine engine{fs};
    Recorder recorder;
    Layout layout;
};

} // namespace ziptest
