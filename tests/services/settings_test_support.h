// Scratch folders and raw file bytes for the settings file tests. Paths are UTF-8, as the
// program's; std::filesystem carries them to the wide-character calls on Windows.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define ORVO_TEST_PID _getpid()
#else
#include <unistd.h>
#define ORVO_TEST_PID getpid()
#endif

namespace services::testing {

namespace fs = std::filesystem;

inline fs::path PathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

// A fresh folder for one test, named after it and the process (ctest runs programs side by
// side), removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("orvo-") + test->test_suite_name() + "-" + test->name() +
                           "-" + std::to_string(ORVO_TEST_PID);
        for (char& c : name)
            if (c == '/') c = '_';
        root_ = fs::path(::testing::TempDir()) / name;
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ignored;
        // Read-only files would stop the removal on Windows.
        for (auto it = fs::recursive_directory_iterator(root_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The UTF-8 path of `name` inside the folder.
    std::string Path(const std::string& name) const { return (root_ / PathOf(name)).u8string(); }
    // How many entries the folder holds: a failed write must leave no temporary file.
    size_t EntryCount() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(root_), fs::directory_iterator()));
    }

  private:
    fs::path root_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

// The file's bytes, or nothing when there is no file (or a folder) of that name.
inline std::optional<std::string> ReadBytes(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(PathOf(path), error)) return std::nullopt;
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace services::testing
