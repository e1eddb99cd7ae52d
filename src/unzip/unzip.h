// The engine as the installer calls it: free functions over one process-wide
// engine, so that one extraction runs at a time in the program.
#pragma once

#include "unzip/engine.h"
#include "unzip/mask.h"

namespace unzip {

// The engine the free functions use.
Engine& DefaultEngine();

int32_t ExtractMatching(const std::string& archive, const std::string& folder,
                        const std::string& mask, ReportCallback report = nullptr,
                        QuestionCallback question = nullptr);
bool IsZipArchive(const std::string& path);
int32_t FirstMember(const std::string& archive, MemberEntry& entry);
int32_t NextMember(MemberEntry& entry);
void CloseMemberWalk(MemberEntry& entry);
int64_t ArchiveTotals(const std::string& archive, int64_t* compressed);
int32_t ExtractMember(const std::string& archive, const std::string& output, int64_t header_offset);
ReportCallback SetReportCallback(ReportCallback callback);
QuestionCallback SetQuestionCallback(QuestionCallback callback);

// Progress counters of the member being extracted, for report callbacks.
int64_t MemberCompressedSize();
int64_t MemberBytesRead();

} // namespace unzip
