#include "app/preflight.h"

#include <optional>

#include "app/exit_codes.h"
#include "app/folder_probe.h"
#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_copy.h"
#include "platform/folders.h"
#include "unzip/result.h"

namespace app {
namespace {

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20);
}

bool HoldsEntries(const std::string& folder) {
    for (const std::string& name :
         platform::FindEntries(folder, "*.*", platform::SearchFilter::AnyEntry))
        if (name != "." && name != "..") return true;
    return false;
}

PreflightVerdict Go() {
    return PreflightVerdict();
}

PreflightVerdict Refusal(std::string text, int exit_code = kExitCancelled) {
    PreflightVerdict verdict;
    verdict.kind = PreflightVerdict::Kind::kRefuse;
    verdict.text = std::move(text);
    verdict.flags = kIconError | kButtonsOk;
    verdict.exit_code = exit_code;
    return verdict;
}

// A question whose default answer, No, keeps everything as it is.
PreflightVerdict Asking(Question question, std::string text) {
    PreflightVerdict verdict;
    verdict.kind = PreflightVerdict::Kind::kAsk;
    verdict.question = question;
    verdict.text = std::move(text);
    verdict.flags = kButtonsYesNo | kIconExclamation | kDefaultSecondButton;
    return verdict;
}

} // namespace

void PreflightAnswers::Accept(Question question) {
    if (question == Question::kDowngrade) downgrade = true;
    if (question == Question::kReplaceFiles) replace_files = true;
}

PreflightVerdict Preflight::Check(const std::string& home, const PreflightAnswers& answers) {
    plan_ = RunPlan();
    plan_.home = home;
    if (const NameProblem problem = CheckFolderPath(home))
        return Refusal(context_.Msg(kMsgBadTargetPath) + "\r" + home + " (" +
                       Describe(problem, context_.messages) + ")");
    if (WithoutTrailingSeparator(home).empty() || context_.Protected().RefusesInstallInto(home))
        return Refusal(context_.Msg(kMsgProtectedTarget) + "\r" + home);
    if (PreflightVerdict verdict = Downgrade(answers); verdict.kind != PreflightVerdict::Kind::kGo)
        return verdict;
    ReadEarlierManifest();
    if (PreflightVerdict verdict = MeasurePackage(); verdict.kind != PreflightVerdict::Kind::kGo)
        return verdict;
    return Target(home, answers);
}

// A package older than the installed version asks first, No being the default; an unattended
// run refuses it unless its administrator allowed it.
PreflightVerdict Preflight::Downgrade(const PreflightAnswers& answers) const {
    const Configuration& config = context_.config;
    const InstallRecord& previous = context_.previous;
    if (answers.downgrade || !context_.previous_found ||
        CompareVersions(std::to_string(config.sversion), config.srelease, previous.version,
                        previous.release) >= 0)
        return Go();
    const std::string versions = previous.version + "." + previous.release + " > " +
                                 std::to_string(config.sversion) + "." + config.srelease;
    if (Unattended(context_.options)) {
        if (context_.options.allow_downgrade) return Go();
        PreflightVerdict verdict =
            Refusal(context_.Msg(kMsgNewerInstalled) + " " + versions, kExitDowngradeRefused);
        verdict.shown = false;
        return verdict;
    }
    return Asking(Question::kDowngrade, context_.Msg(kMsgNewerInstalled) + " " + versions + "\r" +
                                            context_.Msg(kMsgDowngradeQuestion));
}

// Only a manifest proven to be this record's retires anything, and only where the uninstall
// would remove it.
void Preflight::ReadEarlierManifest() {
    plan_.earlier_entries.clear();
    earlier_proof_ = ManifestProof::kNone;
    if (!context_.previous_found) return;
    earlier_proof_ = ReadRecordedManifest(context_.previous, plan_.earlier_entries);
    if (earlier_proof_ != ManifestProof::kProven ||
        context_.Protected().RefusesRemoval(CollapsePath(context_.previous.folder))) {
        if (!plan_.earlier_entries.empty())
            context_.log->Line(
                "the earlier version's manifest is not proven its own: nothing is retired");
        plan_.earlier_entries.clear();
    }
}

// What the installation will put on the drive: the sum of the members' sizes and the longest
// member name, in the system's units. A damaged package cannot be mended by choosing another
// folder: the program ends, and the package stays as it is.
PreflightVerdict Preflight::MeasurePackage() {
    longest_name_units_ = 0;
    for (const std::string& archive : {kArchiveName, kSecondArchiveName}) {
        const std::string path = context_.InPackageFolder(archive);
        if (archive == kSecondArchiveName && !platform::FileExists(path)) continue;
        unzip::MemberEntry entry;
        int32_t result = engine_.FirstMember(path, entry);
        for (; result == unzip::ResultOk; result = engine_.NextMember(entry)) {
            plan_.installed_bytes += static_cast<uint64_t>(entry.size);
            longest_name_units_ = std::max(longest_name_units_, SystemLength(entry.name));
        }
        engine_.CloseMemberWalk(entry);
        if (result != unzip::ResultNoMoreMembers) {
            PreflightVerdict verdict =
                Refusal(context_.Msg(kMsgRunFailed) + "\r" + ExtractionFailureText(result, archive),
                        kExitRunFailed);
            verdict.kind = PreflightVerdict::Kind::kEnd;
            return verdict;
        }
    }
    for (const std::string& name : {kSetupProgramName, kSettingsName, kManifestName}) {
        plan_.installed_bytes += platform::FileSizeOf(context_.InPackageFolder(name)).value_or(0);
        longest_name_units_ = std::max(longest_name_units_, name.size());
    }
    return Go();
}

// The folder itself: paths the system can still start a program from, a folder it can write
// to, room on its drive, no other installation in it, the Apps list's entry free for this
// product, and the user's word when it holds files already.
PreflightVerdict Preflight::Target(const std::string& home, const PreflightAnswers& answers) const {
    const std::string at = "\r" + home;
    if (SystemLength(WithoutTrailingSeparator(home)) + 1 + longest_name_units_ > kLongestPath)
        return Refusal(context_.Msg(kMsgPathTooLong) + at);
    // The system's own words say why: no such share, access denied, read-only media.
    if (const auto failure = WriteFailureAt(home))
        return Refusal(context_.Msg(kMsgNotWritable) + at + "\r" + SystemErrorText(*failure));
    const auto free_bytes = platform::FreeBytesAt(NearestExistingFolder(home));
    if (free_bytes && *free_bytes < plan_.installed_bytes)
        return Refusal(context_.Msg(kMsgNoSpace) + " " + Megabytes(plan_.installed_bytes) + " / " +
                       Megabytes(*free_bytes) + at);

    // A folder that holds another installation (a manifest that is not this record's) is not
    // installed over: that installation could no longer be removed, nor this one.
    const InstallRecord& previous = context_.previous;
    const bool recorded_here =
        context_.previous_found && SamePath(home, CollapsePath(previous.folder));
    const bool own_manifest = recorded_here && (earlier_proof_ == ManifestProof::kProven ||
                                                earlier_proof_ == ManifestProof::kUnsealed);
    if (!own_manifest && platform::FileExists(CollapsePath(home + kSep + kManifestName)))
        return Refusal(context_.Msg(kMsgOtherInstallation) + at);
    // The Apps list's entry under the product's name is written and removed only when it is
    // this product's own: another vendor's may share the name.
    const AppsEntry entry =
        context_.AppsEntryOf(CompletedRecord(state_, context_.config, context_.RecordKey()), 0);
    if (const std::optional<std::string> listed = entry.ListedUninstaller();
        listed && !SamePath(*listed, CollapsePath(home + kSep + kSetupProgramName)) &&
        !(context_.previous_found &&
          SamePath(*listed, CollapsePath(previous.folder + kSep + kSetupProgramName))))
        return Refusal(context_.Msg(kMsgForeignAppsEntry) + "\r" + entry.KeyPath() + "\r" +
                       *listed);

    // The earlier installation's own folder holds its files: they are the upgrade's to replace,
    // when its manifest proves which they are; else the user says whether files may go.
    const bool in_place = recorded_here && earlier_proof_ == ManifestProof::kProven;
    if (!answers.replace_files && !in_place && platform::IsFolder(home) && HoldsEntries(home))
        return Asking(Question::kReplaceFiles, context_.Msg(kMsgFolderNotEmpty) + at + "\r" +
                                                   context_.Msg(kMsgReplaceQuestion));
    return Go();
}

} // namespace app
