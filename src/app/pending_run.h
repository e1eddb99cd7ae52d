// What an installation run or an uninstall has still to finish or take back, kept on disk
// while it works, so that the next start of the product's setup.exe can finish or take back a
// run that was killed or cut off. It lies in the user's own Local AppData (the machine's
// program data for an installation of all users), under the product's registry name, where
// every copy of the product's setup.exe finds it and no other user can change it. Each change of it
// replaces the whole file durably: it is always one state or the next, never half of one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/install_record.h"
#include "app/installer_context.h"
#include "app/journal.h"

namespace app {

struct PendingRun {
    enum class Kind { kInstall, kUninstall };
    enum class Phase {
        kPlanned,   // changes may have begun: take back (a run) or complete (an uninstall)
        kCommitted, // a run's record is written: finish it; an uninstall's program remains
    };
    // One change the run plans, in the order it makes them.
    struct Change {
        enum class What : char {
            kNew = 'N',     // a file or shortcut that was not there
            kFolder = 'D',  // a folder that was not there
            kReplace = 'S', // a file that was there, set aside as `backup` first
            kRetire = 'R',  // an earlier version's file the run removes, set aside as `backup`
            kCarry = 'C',   // an earlier version's folder, removed once empty
            kRemove = 'X',  // an uninstall's entry (of `kind`)
            kTree = 'T',    // a folder an uninstall removes whole
        };
        What what;
        Journal::Kind kind = Journal::Kind::File;
        std::string path;
        std::string backup;
    };

    Kind kind = Kind::kInstall;
    Phase phase = Phase::kPlanned;
    std::string folder; // the installation folder
    std::vector<Change> changes;
    // A run's: the record before it (nothing when there was none) and whether the Apps list
    // had the product's entry.
    std::optional<InstallRecord> record_before;
    bool listed_before = false;
};

// Where the product's pending run lies: Local AppData\Orvo\<progreg>\pending-run, or the
// machine's program data for an installation of all users; empty when there is no such place.
std::string PendingRunPath(const InstallerContext& context);

// Writes it in place of what was there, durably; false when it cannot be.
[[nodiscard]] bool WritePendingRun(const std::string& path, const PendingRun& run);

enum class PendingRead { kNone, kRead, kBroken };
// kBroken: a file is there but not one whole pending run (damaged, or of another kind).
PendingRead ReadPendingRun(const std::string& path, PendingRun& run);

} // namespace app
