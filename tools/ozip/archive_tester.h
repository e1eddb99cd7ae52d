// The test of an archive as `ozip t` and `ozip check` run it: the installer's engine decodes
// every member and checks its CRC into a file system that keeps nothing.
#pragma once

#include <string>
#include <utility>

#include "unzip/engine.h"
#include "unzip/memory_file_system.h"

namespace ozip {

class ArchiveTester {
  public:
    // The folder the test pretends to extract into: the reports name members below it.
    static constexpr const char* kFolder = "test";

    explicit ArchiveTester(const unzip::EngineOptions& options)
        : discard_(unzip::PlatformFileSystem()), engine_(discard_, options) {}

    unzip::Engine& engine() { return engine_; }

    // As Engine::ExtractMatching over every member.
    int32_t Test(const std::string& archive, unzip::ReportCallback report) {
        return engine_.ExtractMatching(archive, kFolder, "*.*", std::move(report));
    }

  private:
    unzip::DiscardingFileSystem discard_;
    unzip::Engine engine_;
};

} // namespace ozip
