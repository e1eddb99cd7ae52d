// ozip: lists, tests and extracts ZIP archives with the installer's engine, checks a whole
// package folder, so a distributor sees a package exactly as the installer will read it, builds
// a package from a product's folder, and turns a package into one self-extracting program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define ISATTY _isatty
#define FILENO _fileno
#else
#include <unistd.h>
#define ISATTY isatty
#define FILENO fileno
#endif

#include "archive_tester.h"
#include "pack.h"
#include "package_check.h"
#include "printable.h"
#include "self_extractor.h"
#include "unzip/dos_time.h"
#include "unzip/engine.h"
#include "winget_manifest.h"

namespace {

using ozip::Printable;

enum Exit { ExitOk = 0, ExitMemberFailed = 1, ExitNotAccepted = 2 };

const char kUsage[] =
    "usage: ozip l [-O CODEPAGE] ARCHIVE             list the members\n"
    "       ozip t [-O CODEPAGE] ARCHIVE             decode every member and check its CRC\n"
    "       ozip x [-m MASK] [--report] [-O CODEPAGE] ARCHIVE DIR\n"
    "                                                extract the members matching MASK (*.*)\n"
    "       ozip check [-O CODEPAGE] PACKAGE_DIR     read a package as setup.exe will and\n"
    "                                                report every problem (exit 0/1/2: clean,\n"
    "                                                warnings, errors)\n"
    "       ozip pack SOURCE_DIR PACKAGE_DIR --ini FILE [--license FILE] [--short FILE]\n"
    "                 [--readme FILE] [--level N] [--setup FILE]\n"
    "                 [--sfx OUT.exe [--stub STUB] [--winget DIR --id ID --url URL\n"
    "                 [--locale TAG] [--license-name TEXT] [--description TEXT]]]\n"
    "                                                make a package of the product's folder,\n"
    "                                                then check it as `check` does;\n"
    "                                                --sfx: and one self-extracting program;\n"
    "                                                --winget: and the package manager's\n"
    "                                                manifest of that program in DIR\n"
    "       ozip sfx [--stub STUB] PACKAGE_DIR OUT.exe  one self-extracting program holding\n"
    "                                                the package (STUB: orvosfx.exe beside\n"
    "                                                ozip)\n"
    "  -O CODEPAGE  code page of names stored without the UTF-8 flag (default: the system's\n"
    "               OEM code page on Windows, 437 elsewhere)\n"
    "  --report     print one line per engine report\n"
    "  --level N    deflate level 0 (store) to 12 (default 6)\n"
    "  --setup FILE the installer to copy (default: setup.exe beside ozip)\n";

const char* MethodName(unsigned method) {
    switch (method) {
    case 0: return "Stored";
    case 1: return "Shrunk";
    case 2:
    case 3:
    case 4:
    case 5: return "Reduced";
    case 6: return "Imploded";
    case 8: return "Deflated";
    case 9: return "Deflat64";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    default: return "Unknown";
    }
}

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "ozip: %s\n", problem);
    std::fputs(kUsage, stderr);
    return ExitNotAccepted;
}

struct Options {
    char command = 0;
    std::string mask = "*.*";
    std::string stub;
    std::string sfx;            // pack --sfx: the self-extracting program to make as well
    ozip::WingetRequest winget; // pack --winget: and the package manager's manifest of it
    bool report = false;
    int code_page = unzip::kSystemOemCodePage;
    std::vector<std::string> operands;
    ozip::PackRequest pack;
};

// Shows progress on a terminal: members done and bytes written, a few times a second.
class Progress {
  public:
    explicit Progress(bool enabled) : enabled_(enabled) {}
    void Update(int32_t code, const unzip::ReportRecord& r) {
        if (!enabled_) return;
        if (r.status == unzip::StatusProgress) bytes_ += static_cast<uint32_t>(code);
        if (r.status == unzip::StatusMemberDone) ++members_;
        auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(200)) return;
        last_ = now;
        std::fprintf(stderr, "\r%u members, %.1f MB ", members_, bytes_ / 1e6);
        shown_ = true;
    }
    void Finish() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

  private:
    bool enabled_;
    bool shown_ = false;
    unsigned members_ = 0;
    uint64_t bytes_ = 0;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

int List(unzip::Engine& engine, const std::string& archive) {
    if (!engine.IsZipArchive(archive)) {
        std::printf("not accepted: %s: %s\n", unzip::ResultText(unzip::ResultNotArchive),
                    archive.c_str());
        return ExitNotAccepted;
    }
    std::printf("%-8s %10s %10s %5s  %-16s  %s\n", "Method", "Size", "Compressed", "Ratio", "Date",
                "Name");
    unzip::MemberEntry entry;
    unsigned count = 0;
    int64_t total = 0, total_compressed = 0;
    int32_t rc = engine.FirstMember(archive, entry);
    for (; rc == unzip::ResultOk; rc = engine.NextMember(entry)) {
        const long long size = entry.size, csize = entry.compressed_size;
        // A share beyond any ratio (a hostile size) is shown as the largest one.
        const double share = size ? std::min(100.0 * csize / size, 1e6) : 0;
        int ratio = size ? 100 - static_cast<int>(share + 0.5) : 0;
        unzip::DosDateTime t = unzip::SplitDosTime(entry.time);
        std::printf("%-8s %10lld %10lld %4d%%  %04d-%02d-%02d %02d:%02d  %s\n",
                    MethodName(entry.method), size, csize, ratio, t.year, t.month, t.day, t.hour,
                    t.minute, Printable(entry.name).c_str());
        ++count;
        total += size;
        total_compressed += csize;
    }
    if (rc != unzip::ResultNoMoreMembers) {
        std::printf("not accepted: %s (%s): %s\n", unzip::ResultText(rc),
                    engine.diagnostic().c_str(), archive.c_str());
        return ExitNotAccepted;
    }
    std::printf("%u members, %lld bytes, %lld compressed\n", count, static_cast<long long>(total),
                static_cast<long long>(total_compressed));
    return ExitOk;
}

// Extraction and test share one run; a test extracts into a file system that
// discards the output.
int Extract(unzip::Engine& engine, const Options& o, const std::string& archive,
            const std::string& folder) {
    int32_t failure = 0;
    std::string failed_name;
    unsigned matched = 0, done = 0;
    Progress progress(!o.report && ISATTY(FILENO(stderr)));
    auto report = [&](int32_t code, unzip::ReportRecord& r) {
        if (o.report) {
            std::printf("report %d %s %u %lld %lld %d %s\n", code, unzip::ResultName(r.status),
                        r.method, static_cast<long long>(r.size),
                        static_cast<long long>(r.compressed_size), static_cast<int8_t>(r.ratio),
                        Printable(r.name).c_str());
        }
        if (r.status == unzip::StatusMemberStart) ++matched;
        if (r.status == unzip::StatusMemberDone) ++done;
        if (r.status == unzip::StatusMemberFailed || r.status == unzip::StatusSerious) {
            if (!failure) {
                failure = code;
                failed_name = Printable(r.name);
            }
        }
        progress.Update(code, r);
    };
    int32_t rc = engine.ExtractMatching(archive, folder, o.mask, report);
    progress.Finish();
    const char* verb = o.command == 't' ? "tested" : "extracted";
    if (rc == unzip::ResultNotArchive || rc == unzip::ResultMissingParameter) {
        std::printf("not accepted: %s: %s\n", unzip::ResultText(rc), archive.c_str());
        return ExitNotAccepted;
    }
    if (rc == unzip::ResultSerious || failure) {
        int32_t cause = failure == unzip::ResultSerious || !failure ? rc : failure;
        std::string why = engine.diagnostic().empty() ? "" : " (" + engine.diagnostic() + ")";
        // A serious failure returns no count: the reports say how many were done.
        std::printf("failed: %s%s: %s; %u of %u matching members %s before it\n",
                    unzip::ResultText(cause), why.c_str(), failed_name.c_str(), done, matched,
                    verb);
        return ExitMemberFailed;
    }
    std::printf("ok: %d members %s\n", rc, verb);
    return ExitOk;
}

// Every finding on its own line, then the tally.
int CheckPackage(const std::string& folder, const unzip::EngineOptions& options) {
    const ozip::PackageReport report = ozip::CheckPackage(folder, options);
    unsigned errors = 0, warnings = 0;
    for (const ozip::Finding& finding : report.findings) {
        std::printf("%s\n", ozip::FindingLine(finding).c_str());
        errors += finding.severity == ozip::Severity::kError;
        warnings += finding.severity == ozip::Severity::kWarning;
    }
    std::printf("%u errors, %u warnings: %s\n", errors, warnings, folder.c_str());
    return report.ExitCode();
}

int SelfExtractor(const std::string& package, const std::string& stub, const std::string& output) {
    const std::string error =
        ozip::MakeSelfExtractor(package, stub.empty() ? ozip::DefaultStubPath() : stub, output);
    if (!error.empty()) {
        std::fprintf(stderr, "ozip: %s\n", error.c_str());
        return ExitNotAccepted;
    }
    std::printf("self-extracting: %s\n", output.c_str());
    return ExitOk;
}

// The package is checked as `ozip check` checks it, and the check's code is the exit code. A
// package with errors is not made into a self-extracting program: it would fail its users.
int PackAndCheck(ozip::PackRequest request, const Options& o, const unzip::EngineOptions& options) {
    if (request.setup_program.empty()) {
        request.setup_program = ozip::SetupBesideProgram();
        if (request.setup_program.empty()) {
            std::fputs(
                "ozip: pack: no setup.exe beside ozip; give the installer with --setup FILE\n",
                stderr);
            return ExitNotAccepted;
        }
    }
    try {
        // A manifest that could not be written is refused before anything is packed.
        ozip::CheckPackRequest(request);
        std::optional<ozip::WingetManifest> manifest;
        if (!o.winget.folder.empty()) manifest.emplace(o.winget, request.settings, request.licence);
        const std::string folder = ozip::Pack(request);
        std::printf("packed: %s\n", folder.c_str());
        const int checked = CheckPackage(folder, options);
        if (o.sfx.empty() || checked == ExitNotAccepted) return checked;
        const int made = SelfExtractor(folder, o.stub, o.sfx);
        if (made != ExitOk) return made;
        if (manifest)
            for (const std::string& path : manifest->Write(o.sfx))
                std::printf("winget manifest: %s\n", path.c_str());
        return checked;
    } catch (const ozip::PackError& e) {
        std::fprintf(stderr, "ozip: pack: %s\n", e.what());
        return ExitNotAccepted;
    }
}

int Run(const std::vector<std::string>& args) {
    Options o;
    if (args.empty()) return Usage(nullptr);
    // Asked for, the usage is the answer, on standard output and with success.
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        std::fputs(kUsage, stdout);
        return ExitOk;
    }
    if (args[0] != "l" && args[0] != "t" && args[0] != "x" && args[0] != "check" &&
        args[0] != "pack" && args[0] != "sfx")
        return Usage("unknown command");
    o.command = args[0] == "check" ? 'c' : args[0] == "sfx" ? 's' : args[0][0];
    std::string level;
    const std::pair<const char*, std::string*> pack_options[] = {
        {"--ini", &o.pack.settings},
        {"--license", &o.pack.licence},
        {"--short", &o.pack.shortcuts},
        {"--readme", &o.pack.readme},
        {"--setup", &o.pack.setup_program},
        {"--level", &level},
        {"--winget", &o.winget.folder},
        {"--id", &o.winget.identifier},
        {"--url", &o.winget.url},
        {"--locale", &o.winget.locale},
        {"--license-name", &o.winget.licence_name},
        {"--description", &o.winget.description}};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-m" && o.command == 'x' && i + 1 < args.size()) {
            o.mask = args[++i];
        } else if (a == "--stub" && (o.command == 's' || o.command == 'p') && i + 1 < args.size()) {
            o.stub = args[++i];
        } else if (a == "--sfx" && o.command == 'p' && i + 1 < args.size()) {
            o.sfx = args[++i];
        } else if (a == "--report" && (o.command == 't' || o.command == 'x')) {
            o.report = true;
        } else if (a == "-O" && i + 1 < args.size()) {
            char* end = nullptr;
            long cp = std::strtol(args[++i].c_str(), &end, 10);
            if (*end || cp <= 0 || !unzip::CodePageAvailable(static_cast<int>(cp)))
                return Usage("unknown code page");
            o.code_page = static_cast<int>(cp);
        } else if (o.command == 'p' && i + 1 < args.size() &&
                   std::any_of(std::begin(pack_options), std::end(pack_options),
                               [&](const auto& option) { return a == option.first; })) {
            for (const auto& [name, value] : pack_options)
                if (a == name) *value = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else {
            o.operands.push_back(a);
        }
    }
    const size_t want = o.command == 'x' || o.command == 'p' || o.command == 's' ? 2 : 1;
    if (o.operands.size() != want) return Usage("wrong number of operands");

    unzip::EngineOptions options;
    options.oem_code_page = o.code_page;
    if (o.command == 'l') {
        unzip::Engine engine(unzip::PlatformFileSystem(), options);
        return List(engine, o.operands[0]);
    }
    if (o.command == 't') {
        ozip::ArchiveTester tester(options);
        return Extract(tester.engine(), o, o.operands[0], ozip::ArchiveTester::kFolder);
    }
    if (o.command == 'c') return CheckPackage(o.operands[0], options);
    if (o.command == 's') return SelfExtractor(o.operands[0], o.stub, o.operands[1]);
    if (o.command == 'p') {
        const std::string* manifest_texts[] = {&o.winget.identifier, &o.winget.url,
                                               &o.winget.locale, &o.winget.licence_name,
                                               &o.winget.description};
        const bool manifest_text =
            std::any_of(std::begin(manifest_texts), std::end(manifest_texts),
                        [](const std::string* text) { return !text->empty(); });
        if (o.winget.folder.empty()
                ? manifest_text
                : o.sfx.empty() || o.winget.identifier.empty() || o.winget.url.empty())
            return Usage(
                "--winget DIR goes with --sfx OUT.exe, --id ID and --url URL; --locale, "
                "--license-name and --description go with --winget");
        if (!level.empty()) {
            char* end = nullptr;
            o.pack.level = static_cast<int>(std::strtol(level.c_str(), &end, 10));
            if (*end) return Usage("the level is a number");
        }
        o.pack.source = o.operands[0];
        o.pack.package = o.operands[1];
        return PackAndCheck(o.pack, o, options);
    }
    unzip::Engine engine(unzip::PlatformFileSystem(), options);
    return Extract(engine, o, o.operands[0], o.operands[1]);
}

} // namespace

#ifdef _WIN32
// Arguments arrive as UTF-16 and are taken to UTF-8, the engine's encoding.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(unzip::WideToUtf8(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
