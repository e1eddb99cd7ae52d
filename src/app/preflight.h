// The checks before anything is written, as a verdict: go on, ask the user first, or refuse
// with the reason. Nothing is shown and nothing changed here: the installer shows the box the
// verdict words and asks again with the user's answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/install_state.h"
#include "app/installer_context.h"
#include "app/journal.h"
#include "app/manifest_proof.h"
#include "unzip/engine.h"

namespace app {

// The questions a check may ask before the run goes on.
enum class Question { kNone, kDowngrade, kReplaceFiles };

struct PreflightAnswers {
    bool downgrade = false;     // an older version may replace the installed one
    bool replace_files = false; // the folder's files of the same names may be replaced
    void Accept(Question question);
};

struct PreflightVerdict {
    enum class Kind {
        kGo,     // the run may start
        kAsk,    // ask `question`; yes asks the checks again with it answered
        kRefuse, // this folder or this moment will not do: the wizard stays, nothing written
        kEnd,    // nothing can mend it from the wizard (a damaged package): the program ends
    };
    Kind kind = Kind::kGo;
    Question question = Question::kNone;
    std::string text;   // the box's text
    unsigned flags = 0; // the box's icon and buttons
    bool shown = true;  // false: only the log says it (an unattended downgrade)
    int exit_code = 0;  // how the program ends after a kRefuse or a kEnd
};

// What the run takes from the checks.
struct RunPlan {
    std::string home;                            // the installation folder, as made
    uint64_t installed_bytes = 0;                // what the run puts on the drive
    std::vector<Journal::Entry> earlier_entries; // the earlier version's, proven its own
};

class Preflight {
  public:
    Preflight(InstallerContext& context, unzip::Engine& engine, const InstallState& state)
        : context_(context), engine_(engine), state_(state) {}

    // The checks in order, for the folder `home` as it will be made: the first that does not
    // let the run go on decides.
    PreflightVerdict Check(const std::string& home, const PreflightAnswers& answers);
    // After kGo: what the run needs.
    const RunPlan& Plan() const { return plan_; }

  private:
    PreflightVerdict Downgrade(const PreflightAnswers& answers) const;
    void ReadEarlierManifest();
    PreflightVerdict MeasurePackage();
    PreflightVerdict Target(const std::string& home, const PreflightAnswers& answers) const;

    InstallerContext& context_;
    unzip::Engine& engine_;
    const InstallState& state_;
    RunPlan plan_;
    ManifestProof earlier_proof_ = ManifestProof::kNone;
    size_t longest_name_units_ = 0; // the longest member name, in UTF-16 units
};

} // namespace app
