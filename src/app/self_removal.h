// The batch that removes setup.exe, its settings file and its folder once the program has
// ended: the program cannot erase its own running file, so the command interpreter does it
// afterwards, hidden, from the temporary folder. It names every file by its full path and
// enters no folder: the interpreter cannot make a network path its current folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

struct SelfRemovalPaths {
    std::string program_file;  // erased once the program has ended
    std::string settings_file; // erased once the program has written it for the last time
    std::string folder;        // removed if that leaves it empty; nothing when empty
    std::string batch_file;    // where the batch will be written; it erases itself last
    // Folders around `folder` that the installation made (its parents), innermost first:
    // each removed after it if that leaves it empty.
    std::vector<std::string> parents = {};
    // The uninstall's pending run, erased once all the rest is done: a batch cut off leaves
    // it for the next start to finish the work.
    std::string pending_file = {};
};

// The short (8.3) form of an existing path, or empty: platform::ShortPathName unless a test
// gives its own.
using ShortFormLookup = std::function<std::string(const std::string&)>;

// How often each wait loop tries, a second apart: about half a minute.
constexpr int kSelfRemovalTries = 30;

// The batch text in the OEM code page, ready to be written as it is. Nothing when a path
// cannot be written so that the command interpreter reads it exactly (a character the OEM
// code page lacks and no short form without one): then no batch is run and the files stay.
std::optional<std::string> SelfRemovalBatch(const SelfRemovalPaths& paths,
                                            int tries = kSelfRemovalTries,
                                            const ShortFormLookup& short_form = nullptr);

} // namespace app
