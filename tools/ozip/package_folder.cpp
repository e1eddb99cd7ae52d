#include "package_folder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "app/package_files.h"

#ifdef _WIN32
#include <process.h>
#define GETPID _getpid
#else
#include <unistd.h>
#define GETPID getpid
#endif

namespace ozip {
namespace fs = std::filesystem;

const char kPackComment[] = "ozip pack";

namespace {

[[noreturn]] void Fail(const std::string& what, const fs::path& path) {
    throw std::runtime_error(what + ": " + path.u8string());
}

// Whether the archive ends with pack's comment: its end record is the last thing in it.
bool WrittenByPack(const fs::path& archive) {
    const std::string comment = kPackComment;
    std::ifstream in(archive, std::ios::binary);
    in.seekg(-static_cast<std::streamoff>(comment.size() + 2), std::ios::end);
    std::string tail(comment.size() + 2, '\0');
    in.read(&tail[0], static_cast<std::streamsize>(tail.size()));
    return in && static_cast<unsigned char>(tail[0]) == comment.size() && tail[1] == 0 &&
           tail.compare(2, std::string::npos, comment) == 0;
}

// True for an empty folder; false for one holding an earlier package made by pack, which holds
// nothing but the files pack writes.
bool IsEmptyOrEarlierPackage(const fs::path& target) {
    std::error_code error;
    if (!fs::is_directory(target, error)) Fail("not a folder", target);
    bool empty = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(target, error)) {
        empty = false;
        const std::string name = entry.path().filename().u8string();
        const bool package_file = name == app::kSetupProgramName || name == app::kSettingsName ||
                                  name == app::kArchiveName || name == app::kLicenceName ||
                                  name == app::kShortcutListName;
        if (!package_file || !entry.is_regular_file())
            Fail("the package folder holds " + name +
                     ", which pack did not write; give an empty "
                     "or new folder",
                 target);
    }
    if (error) Fail("cannot read (" + error.message() + ")", target);
    if (!empty && !WrittenByPack(target / app::kArchiveName))
        Fail(
            "the package folder holds a package that pack did not make; give an empty or new "
            "folder",
            target);
    return empty;
}

fs::path Beside(const fs::path& target, const std::string& what) {
    return target.parent_path() / fs::u8path("." + target.filename().u8string() + ".ozip-" + what +
                                             "-" + std::to_string(GETPID()));
}

} // namespace

PackageFolder::PackageFolder(const std::string& target) {
    fs::path path = fs::u8path(target);
    if (!path.has_filename()) path = path.parent_path(); // a trailing separator
    path = fs::absolute(path);
    target_ = path.u8string();
    std::error_code error;
    if (fs::exists(path, error)) earlier_ = !IsEmptyOrEarlierPackage(path);
    const fs::path staging = Beside(path, "new");
    staging_ = staging.u8string();
    if (!fs::create_directory(staging, error)) Fail("cannot make a folder", staging);
}

PackageFolder::~PackageFolder() {
    if (committed_) return;
    std::error_code error;
    fs::remove_all(fs::u8path(staging_), error); // made and filled by this object alone
}

std::string PackageFolder::Staged(const std::string& name) const {
    return (fs::u8path(staging_) / fs::u8path(name)).u8string();
}

void PackageFolder::Commit() {
    const fs::path target = fs::u8path(target_), staging = fs::u8path(staging_);
    std::error_code error;
    if (!earlier_) {
        fs::remove(target, error); // an empty folder, or none
        fs::rename(staging, target, error);
        if (error) Fail("cannot move the package into place (" + error.message() + ")", target);
        committed_ = true;
        return;
    }
    const fs::path earlier = Beside(target, "old");
    fs::rename(target, earlier, error);
    if (error) Fail("cannot move the earlier package aside (" + error.message() + ")", target);
    fs::rename(staging, target, error);
    if (error) {
        std::error_code back;
        fs::rename(earlier, target, back);
        Fail("cannot move the package into place (" + error.message() + ")", target);
    }
    committed_ = true;
    fs::remove_all(earlier, error); // only the files of the earlier package, checked above
    if (error) Fail("cannot remove the earlier package (" + error.message() + ")", earlier);
}

} // namespace ozip
