#include "app/manifest_proof.h"

#include "app/package_files.h"
#include "app/paths.h"
#include "platform/file_io.h"
#include "services/sha256.h"

namespace app {

ManifestProof ReadRecordedManifest(const InstallRecord& record,
                                   std::vector<Journal::Entry>& entries) {
    entries.clear();
    if (record.manifest.empty()) return ManifestProof::kNone;
    const std::string manifest =
        CollapsePath(WithoutTrailingSeparator(CollapsePath(record.folder)) + kSep + kManifestName);
    std::string text;
    std::vector<Journal::Entry> read;
    if (!SamePath(record.manifest, manifest) ||
        platform::ReadWholeFile(manifest, text) != platform::FileRead::kOk ||
        !Journal::ParseManifest(text, read))
        return ManifestProof::kBroken;
    const bool sealed = !record.manifest_digest.empty();
    if (sealed && ManifestDigest(text) != record.manifest_digest) return ManifestProof::kBroken;
    entries = std::move(read);
    return sealed ? ManifestProof::kProven : ManifestProof::kUnsealed;
}

std::string ManifestDigest(const std::string& manifest_text) {
    return services::Sha256Hex(manifest_text);
}

} // namespace app
