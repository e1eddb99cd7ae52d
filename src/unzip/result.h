// Result codes and report statuses of the ZIP engine.
#pragma once

#include <cstdint>

namespace unzip {

// Every engine operation answers with one of these; the values are fixed
// because callers compare against the numbers and show texts keyed by them.
enum Result : int32_t {
    ResultOk = 0,
    ResultCrcError = -1,          // CRC-32 of the written data differs from the stored one
    ResultWriteError = -2,        // output could not be created or fully written
    ResultReadError = -3,         // archive unreadable for a member, or compressed data ran out
    ResultArchiveError = -4,      // bad local header or malformed compressed data
    ResultCancelled = -5,         // reserved; nothing produces it
    ResultUnsupported = -6,       // method, size or archive format the engine cannot handle
    ResultEncrypted = -7,         // general-purpose flag bit 0 is set
    ResultBusy = -8,              // a member extraction is already running
    ResultNoDirectory = -9,       // end record too close to the start for any directory entry
    ResultNoMoreMembers = -10,    // directory walk finished (or the next entry is unreadable)
    ResultArchiveFileError = -11, // archive missing, empty, unreadable, or without end record
    ResultNotArchive = -12,       // the path does not name a ZIP archive
    ResultSerious = -100,         // a member failure that ends the whole extraction
    ResultMissingParameter = -500,
};

// Why a report is made; passed in ReportRecord::status.
enum ReportStatus : int32_t {
    StatusMemberStart = -1000,
    StatusProgress = -1001,
    StatusMemberDone = -1002,
    StatusMemberFailed = -1003,
    StatusArchiveStart = -1004,
    StatusArchiveEnd = -1005,
    StatusSerious = ResultSerious,
};

static_assert(ResultSerious == -100 && ResultMissingParameter == -500, "fixed code values");
static_assert(StatusMemberStart == -1000 && StatusArchiveEnd == -1005, "fixed status values");

// Identifier-like name of a result code or status ("ResultCrcError"), for diagnostics.
const char* ResultName(int32_t code);

// The installer's wording for a result code ("CRC-Error!"); "Ok" for every value
// that is not an error code, since a count of extracted members is a success.
const char* ResultText(int32_t code);

} // namespace unzip
