#include "unzip/result.h"

namespace unzip {

const char* ResultName(int32_t code) {
    switch (code) {
    case ResultOk: return "ResultOk";
    case ResultCrcError: return "ResultCrcError";
    case ResultWriteError: return "ResultWriteError";
    case ResultReadError: return "ResultReadError";
    case ResultArchiveError: return "ResultArchiveError";
    case ResultCancelled: return "ResultCancelled";
    case ResultUnsupported: return "ResultUnsupported";
    case ResultEncrypted: return "ResultEncrypted";
    case ResultBusy: return "ResultBusy";
    case ResultNoDirectory: return "ResultNoDirectory";
    case ResultNoMoreMembers: return "ResultNoMoreMembers";
    case ResultArchiveFileError: return "ResultArchiveFileError";
    case ResultNotArchive: return "ResultNotArchive";
    case ResultSerious: return "ResultSerious";
    case ResultMissingParameter: return "ResultMissingParameter";
    case StatusMemberStart: return "StatusMemberStart";
    case StatusProgress: return "StatusProgress";
    case StatusMemberDone: return "StatusMemberDone";
    case StatusMemberFailed: return "StatusMemberFailed";
    case StatusArchiveStart: return "StatusArchiveStart";
    case StatusArchiveEnd: return "StatusArchiveEnd";
    default: return code >= 0 ? "ResultOk" : "ResultUnknown";
    }
}

const char* ResultText(int32_t code) {
    switch (code) {
    case ResultCrcError: return "CRC-Error!";
    case ResultWriteError: return "Write error!";
    case ResultReadError: return "Read error!";
    case ResultArchiveError: return "Error in Zip file structure!";
    case ResultCancelled: return "Aborted by user!";
    case ResultUnsupported: return "Format  not supported!";
    case ResultEncrypted: return "File encrypted, skipped!";
    case ResultBusy: return "DLL already in use, try later or use pkunzip!";
    case ResultNoDirectory: return " Error in zip format";
    case ResultArchiveFileError: return "File error ";
    case ResultNotArchive: return "File not found";
    case ResultSerious: return "Serious error";
    case ResultMissingParameter: return "Missing parameter";
    default: return "Ok";
    }
}

} // namespace unzip
