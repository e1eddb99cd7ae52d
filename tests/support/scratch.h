// Throw-away places for tests that touch the system: a temporary folder and a registry
// key under HKEY_CURRENT_USER, both named uniquely per process and per use (tests of
// several programs may run at once in one Wine prefix) and removed afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "platform/folders.h"
#include "platform/registry.h"

namespace scratch {

inline std::string UniqueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000;
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = static_cast<int>(getpid());
#endif
    return prefix + "-" + std::to_string(pid) + "-" + std::to_string(stamp) + "-" +
           std::to_string(++counter);
}

const std::string kSep(1, platform::kPathSeparator);

// Paths are UTF-8, as the program's own.
inline std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::u8path(path);
}

// Writes a whole file, making its folders.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(FsPath(path).parent_path());
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(FsPath(path));
}

// A new empty folder in the system's temporary folder, deleted with all its contents.
class Folder {
  public:
    Folder() : root_(std::filesystem::temp_directory_path() / UniqueName("orvo-test")) {
        std::filesystem::create_directories(root_);
    }
    ~Folder() {
        // Read-only entries would stop remove_all on Windows.
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // The folder's path, or a path inside it built from parts joined with the separator.
    std::string Path() const { return root_.u8string(); }
    template <class... Parts>
    std::string Path(const std::string& first, const Parts&... rest) const {
        std::string path = Path() + platform::kPathSeparator + first;
        ((path += platform::kPathSeparator + std::string(rest)), ...);
        return path;
    }

  private:
    std::filesystem::path root_;
};

// A key path under HKEY_CURRENT_USER, deleted with everything below it.
class RegistryKey {
  public:
    RegistryKey() : path_("\\Software\\" + UniqueName("OrvoTest")) {}
    ~RegistryKey() {
        (void)platform::DeleteRegistryTree(platform::RegistryRoot::CurrentUser, path_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& Path() const { return path_; }
    std::string Path(const std::string& below) const { return path_ + "\\" + below; }

  private:
    std::string path_;
};

} // namespace scratch
