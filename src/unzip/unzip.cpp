#include "unzip/unzip.h"

namespace unzip {

Engine& DefaultEngine() {
    static Engine engine;
    return engine;
}

int32_t ExtractMatching(const std::string& archive, const std::string& folder,
                        const std::string& mask, ReportCallback report, QuestionCallback question) {
    return DefaultEngine().ExtractMatching(archive, folder, mask, std::move(report),
                                           std::move(question));
}

bool IsZipArchive(const std::string& path) {
    return DefaultEngine().IsZipArchive(path);
}

int32_t FirstMember(const std::string& archive, MemberEntry& entry) {
    return DefaultEngine().FirstMember(archive, entry);
}

int32_t NextMember(MemberEntry& entry) {
    return DefaultEngine().NextMember(entry);
}

void CloseMemberWalk(MemberEntry& entry) {
    DefaultEngine().CloseMemberWalk(entry);
}

int64_t ArchiveTotals(const std::string& archive, int64_t* compressed) {
    return DefaultEngine().ArchiveTotals(archive, compressed);
}

int32_t ExtractMember(const std::string& archive, const std::string& output,
                      int64_t header_offset) {
    MemberLocation where;
    where.header_offset = header_offset;
    return DefaultEngine().ExtractMember(archive, output, where);
}

ReportCallback SetReportCallback(ReportCallback callback) {
    return DefaultEngine().SetReportCallback(std::move(callback));
}

QuestionCallback SetQuestionCallback(QuestionCallback callback) {
    return DefaultEngine().SetQuestionCallback(std::move(callback));
}

int64_t MemberCompressedSize() {
    return DefaultEngine().member_compressed_size();
}

int64_t MemberBytesRead() {
    return DefaultEngine().member_bytes_read();
}

} // namespace unzip
