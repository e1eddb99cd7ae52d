#include "app/self_removal.h"

#include <vector>

#include "app/paths.h"
#include "platform/code_page.h"
#include "platform/folders.h"

namespace app {
namespace {

// The path with only characters the command interpreter reads back exactly, still in UTF-8:
// itself, else its short form, else its folder's short form and its own name.
std::optional<std::string> OemPath(const std::string& path, const ShortFormLookup& short_form) {
    if (platform::FitsOemCodePage(path)) return path;
    const std::string shorter = short_form(path);
    if (!shorter.empty() && platform::FitsOemCodePage(shorter)) return shorter;
    // A file that is not there yet (the batch itself, a settings file still to be written)
    // has no short form, but its folder may.
    const size_t cut = path.find_last_of(platform::kPathSeparator);
    if (cut == std::string::npos || cut == 0) return std::nullopt;
    const std::string name = path.substr(cut + 1);
    if (!platform::FitsOemCodePage(name)) return std::nullopt;
    const std::optional<std::string> folder = OemPath(path.substr(0, cut), short_form);
    if (!folder) return std::nullopt;
    return *folder + platform::kPathSeparator + name;
}

// In quotes every character stands for itself except "%", which starts a variable even there
// and is written doubled. ("!" would too, but delayed expansion is switched off.)
std::string Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

// Erases the file, retrying while it stays (still open, still running) up to `tries` times a
// second apart, then goes on to `done` either way: a file that never goes (read-only media,
// a program that hangs) must not keep a hidden window looping forever. ping is the pause:
// `timeout` needs console input, which a hidden batch has not.
void AddEraseLoop(std::vector<std::string>& lines, const std::string& label,
                  const std::string& done, const std::string& file, int tries) {
    const std::vector<std::string> loop = {
        "set tries=0",
        ":" + label,
        "Erase " + file,
        "If not exist " + file + " Goto " + done,
        "set /a tries+=1",
        "If %tries% geq " + std::to_string(tries) + " Goto " + done,
        "ping -n 2 127.0.0.1 >nul",
        "Goto " + label,
        ":" + done,
    };
    lines.insert(lines.end(), loop.begin(), loop.end());
}

} // namespace

std::optional<std::string> SelfRemovalBatch(const SelfRemovalPaths& paths, int tries,
                                            const ShortFormLookup& short_form) {
    const ShortFormLookup lookup = short_form ? short_form : platform::ShortPathName;
    const std::string folder_path = WithoutTrailingSeparator(paths.folder);
    const std::optional<std::string> program = OemPath(paths.program_file, lookup);
    const std::optional<std::string> settings = OemPath(paths.settings_file, lookup);
    const std::optional<std::string> folder = OemPath(folder_path, lookup);
    const std::optional<std::string> batch = OemPath(paths.batch_file, lookup);
    if (!program || !settings || !folder || !batch) return std::nullopt;
    std::optional<std::string> pending;
    if (!paths.pending_file.empty()) {
        pending = OemPath(paths.pending_file, lookup);
        if (!pending) return std::nullopt;
    }
    std::vector<std::string> parents;
    for (const std::string& parent : paths.parents) {
        const std::optional<std::string> oem = OemPath(WithoutTrailingSeparator(parent), lookup);
        if (!oem) return std::nullopt;
        parents.push_back(*oem);
    }

    // Extensions for "set /a"; no delayed expansion, so a "!" in a path stays as it is.
    std::vector<std::string> lines = {"@echo off",
                                      "setlocal EnableExtensions DisableDelayedExpansion"};
    AddEraseLoop(lines, "wait_program", "program_gone", Quoted(*program), tries);
    AddEraseLoop(lines, "wait_settings", "settings_gone", Quoted(*settings), tries);
    // Only an empty folder goes: what the user put there stays.
    if (!folder->empty()) lines.push_back("rd " + Quoted(*folder));
    for (const std::string& parent : parents) lines.push_back("rd " + Quoted(parent) + " 2>nul");
    if (pending) lines.push_back("Erase " + Quoted(*pending));
    lines.push_back("Erase " + Quoted(*batch));
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return platform::Utf8ToOem(text);
}

} // namespace app
