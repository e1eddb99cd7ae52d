#include "pack.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "app/package_files.h"
#include "member_pipeline.h"
#include "package_folder.h"
#include "source_tree.h"
#include "unzip/member_name.h"
#include "unzip/zip_format.h"
#include "utf8_text.h"
#include "zip_writer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ozip {
namespace fs = std::filesystem;
namespace {

// Why the installer could not make a file or folder of this member name under Windows; empty
// when it can. The name is UTF-8 with "/" between levels.
std::string NameProblem(const std::string& name) {
    if (!IsWellFormedUtf8(name)) return "the name is not UTF-8";
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        for (unsigned char c : part)
            if (c < 0x20 ||
                std::string("\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
                return "Windows allows no control character and none of \\ : * ? \" < > | in a "
                       "name";
        if (unzip::IsDeviceName(part)) return "Windows reserves the name " + part + " for a device";
        if (part.back() == '.' || part.back() == ' ')
            return "Windows drops a dot or blank at the end of a name";
    }
    return "";
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A member stored in pieces: its CRC is taken in a first reading, so that the archive is written
// front to back.
void WriteStreamed(ZipWriter& writer, MemberRecord member, const std::string& path) {
    std::vector<char> buffer(1 << 20);
    auto each_piece = [&](auto&& use) {
        std::ifstream in(fs::u8path(path), std::ios::binary);
        uint64_t total = 0;
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const size_t got = static_cast<size_t>(in.gcount());
            use(buffer.data(), got);
            total += got;
        }
        if (!in.eof() || total != member.size)
            throw std::runtime_error("changed while it was read: " + path);
    };
    each_piece([&](const char* data, size_t size) { member.crc = Crc32(member.crc, data, size); });
    member.method = unzip::kMethodStored;
    member.compressed_size = member.size;
    writer.Begin(member);
    each_piece([&](const char* data, size_t size) { writer.Append(data, size); });
}

void WriteArchive(const std::string& path, const std::vector<SourceEntry>& entries,
                  const PackRequest& request) {
    auto whole = [&](const SourceEntry& e) {
        return !e.folder && e.size <= request.whole_member_limit;
    };
    std::vector<MemberPipeline::Job> jobs;
    for (const SourceEntry& entry : entries)
        if (whole(entry)) jobs.push_back({entry.path, entry.size});
    MemberPipeline pipeline(std::move(jobs), request.level, request.threads);
    ZipWriter writer(path);
    for (const SourceEntry& entry : entries) {
        MemberRecord member;
        member.name = entry.name;
        member.utf8 = !IsAscii(entry.name);
        member.dos_time = entry.dos_time;
        member.size = entry.size;
        member.folder = entry.folder;
        if (entry.folder) {
            writer.Add(member, Bytes());
        } else if (whole(entry)) {
            PackedData packed = pipeline.Next();
            member.method = packed.method;
            member.crc = packed.crc;
            writer.Add(member, packed.data);
        } else {
            WriteStreamed(writer, member, entry.path);
        }
    }
    writer.Finish(kPackComment);
}

// The members: the source folder's entries, and readme.txt if one is given apart.
std::vector<SourceEntry> Members(const PackRequest& request) {
    std::vector<SourceEntry> entries = ListSourceTree(request.source);
    for (const SourceEntry& entry : entries) {
        const std::string problem = NameProblem(entry.name);
        if (!problem.empty()) throw PackError(entry.path + ": " + problem);
    }
    if (request.readme.empty()) return entries;
    for (const SourceEntry& entry : entries)
        if (entry.name == app::kReadmeName)
            throw PackError("--readme given, but " + request.source + " has a " + app::kReadmeName +
                            " already");
    SourceEntry readme;
    readme.name = app::kReadmeName;
    readme.path = request.readme;
    readme.size = fs::file_size(fs::u8path(request.readme));
    readme.dos_time = DosTimeOf(request.readme);
    entries.insert(std::upper_bound(
                       entries.begin(), entries.end(), readme,
                       [](const SourceEntry& a, const SourceEntry& b) { return a.name < b.name; }),
                   readme);
    return entries;
}

// Whether `inner` is `outer` or lies below it.
bool Within(const fs::path& inner, const fs::path& outer) {
    const fs::path a = fs::weakly_canonical(inner), b = fs::weakly_canonical(outer);
    return std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first == b.end();
}

} // namespace

void CheckPackRequest(const PackRequest& request) {
    if (request.level < kFastestLevel || request.level > kHardestLevel)
        throw PackError("the level must be 0 to 12");
    const struct {
        const char* option;
        const std::string& file;
        bool required;
    } files[] = {{"--ini", request.settings, true},
                 {"--setup", request.setup_program, true},
                 {"--license", request.licence, false},
                 {"--short", request.shortcuts, false},
                 {"--readme", request.readme, false}};
    for (const auto& given : files) {
        std::error_code error;
        if (given.file.empty() && given.required)
            throw PackError(std::string(given.option) + " FILE is needed");
        if (!given.file.empty() && !fs::is_regular_file(fs::u8path(given.file), error))
            throw PackError(std::string(given.option) + ": no such file: " + given.file);
    }
    if (Within(fs::u8path(request.package), fs::u8path(request.source)))
        throw PackError("the package folder lies in the product's folder " + request.source);
}

std::string Pack(const PackRequest& request) {
    try {
        CheckPackRequest(request);
        const std::vector<SourceEntry> members = Members(request);
        PackageFolder folder(request.package);
        WriteArchive(folder.Staged(app::kArchiveName), members, request);
        const std::pair<const std::string*, const std::string*> copies[] = {
            {&request.setup_program, &app::kSetupProgramName},
            {&request.settings, &app::kSettingsName},
            {&request.licence, &app::kLicenceName},
            {&request.shortcuts, &app::kShortcutListName}};
        for (const auto& [from, name] : copies)
            if (!from->empty()) fs::copy_file(fs::u8path(*from), fs::u8path(folder.Staged(*name)));
        folder.Commit();
        return request.package;
    } catch (const PackError&) {
        throw;
    } catch (const std::exception& e) {
        throw PackError(e.what());
    }
}

std::string SetupBesideProgram() {
    std::error_code error;
#ifdef _WIN32
    std::wstring program(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, &program[0],
                                        static_cast<DWORD>(program.size()))) == program.size())
        program.resize(program.size() * 2);
    program.resize(length);
    const fs::path setup = fs::path(program).parent_path() / app::kSetupProgramName;
#else
    const fs::path setup =
        fs::read_symlink("/proc/self/exe", error).parent_path() / app::kSetupProgramName;
#endif
    return !error && fs::is_regular_file(setup, error) ? setup.u8string() : std::string();
}

} // namespace ozip
