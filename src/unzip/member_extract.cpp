// Extraction of one member: local header checks, output file and folders, the
// stored copy, the decoders, the CRC check and the date stamp.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "unzip/byte_order.h"
#include "unzip/crc32.h"
#include "unzip/engine.h"
#include "unzip/write_behind.h"
#include "unzip/zip64_extra.h"
#include "unzip/zip_format.h"

namespace unzip {
namespace {

// The local header's sizes, from its Zip64 extra field where they hold the
// Zip64 mark. The extra field mostly came with the header's read.
WideningResult WidenLocalSizes(Archive& archive, int64_t header_offset, const uint8_t* header,
                               long got, const LocalHeader& local, WideValues* sizes) {
    if (sizes->size != kZip64Mark && sizes->compressed_size != kZip64Mark)
        return WideningResult::kDone;
    const int64_t at = kLocalHeaderSize + local.name_length;
    const size_t length = local.extra_length;
    if (length == 0) return WidenFromExtra(nullptr, 0, sizes);
    if (at + static_cast<int64_t>(length) <= got) return WidenFromExtra(header + at, length, sizes);
    std::vector<uint8_t> extra(length);
    if (archive.ReadAt(header_offset + at, extra.data(), length) != static_cast<long>(length))
        return WideningResult::kShortField;
    return WidenFromExtra(extra.data(), length, sizes);
}

} // namespace

// Passes decoder output to the member's file, or to memory when there is none.
class Engine::Sink final : public OutputSink {
  public:
    Sink(Engine& engine, OutputFile* out) : engine_(engine), out_(out) {}
    bool Flush(const uint8_t* data, size_t n) override { return engine_.Flush(out_, data, n); }

  private:
    Engine& engine_;
    OutputFile* out_;
};

Engine::Engine(FileSystem& fs, EngineOptions options)
    : fs_(fs), options_(options), window_(new Window), inflater_(new Inflater) {}

Engine::~Engine() = default;

int32_t Engine::Fail(int32_t code, std::string sentence) {
    diagnostic_ = std::move(sentence);
    return code;
}

int64_t Engine::member_bytes_read() const {
    if (write_behind_ && write_behind_->replayed_bytes_read() >= 0)
        return write_behind_->replayed_bytes_read();
    uint64_t n = stored_member_ ? stored_bytes_read_ : input_.bytes_read();
    return static_cast<int64_t>(std::min<uint64_t>(n, UnknownSize));
}

bool Engine::Flush(OutputFile* out, const uint8_t* data, size_t n) {
    // Output past the declared size is refused before it reaches the disk: a
    // few bytes of a hostile member may otherwise decode to gigabytes.
    if (n > output_limit_ - output_written_) {
        output_overflow_ = true;
        return false;
    }
    output_written_ += n;
    bool ok = true;
    if (out)
        ok = out->Write(data, n);
    else
        held_output_.insert(held_output_.end(), data, data + n);
    if (options_.check_crc) crc_ = Crc32Update(crc_, data, n);
    if (ok && report_) Report(static_cast<int32_t>(n), StatusProgress);
    return ok;
}

bool Engine::CreateParentFolders(const std::string& path, bool include_last) {
    // Find the deepest folder that exists, then create the missing ones below it.
    auto parent = [](const std::string& p) {
        size_t cut = p.find_last_of(kPathSeparator == '/' ? "/" : "\\/");
        return cut == std::string::npos ? std::string() : p.substr(0, cut);
    };
    std::string top = path;
    while (!top.empty() && (top.back() == '/' || top.back() == kPathSeparator)) top.pop_back();
    if (!include_last) top = parent(top);
    std::vector<std::string> missing;
    for (std::string p = top; !p.empty() && !fs_.IsFolder(p); p = parent(p)) missing.push_back(p);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs_.MakeFolder(*it)) return false;
        created_folders_.push_back(*it);
    }
    return true;
}

int32_t Engine::StoredCopy(Archive& archive, OutputSink& sink) {
    // Straight from the archive into the window, one window-sized chunk at a
    // time, after the bytes that were read together with the header.
    while (stored_bytes_read_ < static_cast<uint64_t>(member_compressed_size_)) {
        size_t k = static_cast<size_t>(
            std::min<uint64_t>(member_compressed_size_ - stored_bytes_read_, Window::kSize));
        size_t have = std::min(k, ahead_size_);
        std::memcpy(window_->begin(), ahead_, have);
        ahead_ += have;
        ahead_size_ -= have;
        if (have < k &&
            archive.ReadAt(data_start_ + static_cast<int64_t>(stored_bytes_read_ + have),
                           window_->begin() + have, k - have) != static_cast<long>(k - have))
            return Fail(ResultReadError, "the stored data ends early");
        if (!sink.Flush(window_->begin(), k))
            return Fail(ResultWriteError, "the output cannot be written");
        stored_bytes_read_ += k;
    }
    return ResultOk;
}

int32_t Engine::Decode(uint16_t method, OutputSink& sink) {
    if (method == kMethodShrunk) {
        if (!unshrinker_) unshrinker_.reset(new Unshrinker);
        return unshrinker_->Run(input_, static_cast<uint64_t>(member_compressed_size_), sink);
    }
    window_->Reset();
    if (method == kMethodImploded) {
        if (!exploder_) exploder_.reset(new Exploder);
        return exploder_->Run(input_, *window_, sink, member_flags_,
                              static_cast<uint64_t>(member_compressed_size_),
                              static_cast<uint64_t>(member_size_));
    }
    return inflater_->Run(input_, *window_, sink);
}

int32_t Engine::ExtractMemberData(Archive& archive, OutputFile* out, uint16_t method,
                                  uint32_t* crc) {
    Sink sink(*this, out);
    int32_t rc;
    if (method == kMethodStored) {
        rc = StoredCopy(archive, sink);
    } else {
        uint64_t limit = member_compressed_size_ == UnknownSize
                             ? BitInput::kNoLimit
                             : static_cast<uint64_t>(member_compressed_size_);
        input_.Begin(&archive.file(), data_start_, options_.refill_size, limit, ahead_,
                     ahead_size_);
        rc = Decode(method, sink);
    }
    if (output_overflow_)
        return Fail(ResultArchiveError, "the data decodes to more than the " +
                                            std::to_string(member_size_) + " bytes declared");
    if (rc != ResultOk) {
        if (!diagnostic_.empty()) return rc;
        const char* what = rc == ResultReadError    ? "the compressed data ends early"
                           : rc == ResultWriteError ? "the output cannot be written"
                                                    : "the compressed data is malformed";
        return Fail(rc, what);
    }
    if (member_size_ != UnknownSize && output_written_ != static_cast<uint64_t>(member_size_))
        return Fail(ResultArchiveError, "the data decodes to " + std::to_string(output_written_) +
                                            " bytes where " + std::to_string(member_size_) +
                                            " are declared");
    if (crc) {
        // No directory to give the CRC: it follows the data, after an optional
        // descriptor signature.
        input_.AlignToByte();
        uint32_t value = input_.Take(16);
        value |= input_.Take(16) << 16;
        if (value == kDescriptorSignature) {
            value = input_.Take(16);
            value |= input_.Take(16) << 16;
        }
        *crc = value;
    }
    return ResultOk;
}

int32_t Engine::ExtractMember(const std::string& archive_path, const std::string& output,
                              const MemberLocation& where) {
    // Refused before anything is touched, the running extraction's state and
    // diagnostic included.
    if (busy_) return ResultBusy;
    busy_ = true;
    BusyScope scope{busy_};
    created_folders_.clear();
    diagnostic_.clear();
    std::unique_ptr<Archive> archive = Archive::Open(fs_, archive_path);
    if (!archive) return Fail(ResultReadError, "the archive cannot be opened");
    return ExtractOneMember(*archive, output, where);
}

int32_t Engine::ExtractOneMember(Archive& archive, const std::string& output,
                                 const MemberLocation& where, WriteBehind* later) {
    diagnostic_.clear();

    // The header and, in the same read, the start of the data (all of it for
    // small members).
    const uint8_t* header = nullptr;
    const long got =
        archive.ReadHead(where.header_offset, kLocalHeaderSize + options_.refill_size, &header);
    if (got < kLocalHeaderSize || Load32(header) != kLocalSignature)
        return Fail(ResultArchiveError, "no local header where the directory points");

    const LocalHeader local = ParseLocalHeader(header);
    const uint16_t flags = local.flags;
    const uint16_t method = local.method;
    const uint32_t dos_time = local.time;
    if (method != kMethodStored && method != kMethodDeflated && method != kMethodShrunk &&
        method != kMethodImploded)
        return Fail(ResultUnsupported,
                    "compression method " + std::to_string(method) + " is not supported");
    if (flags & kFlagEncrypted) return Fail(ResultEncrypted, "the member is encrypted");

    // Sizes and CRC: from the local header, unless bit 3 moved them behind the
    // data; then the directory's copies serve, when there is a directory.
    WideValues sizes;
    sizes.compressed_size = local.compressed_size;
    sizes.size = local.size;
    const WideningResult widened =
        WidenLocalSizes(archive, where.header_offset, header, got, local, &sizes);
    // A malformed Zip64 field is damage; marks without one leave the sizes to the
    // directory or the descriptor, where there is either.
    const bool sizes_elsewhere = where.from_directory || (flags & kFlagDescriptor);
    if (widened != WideningResult::kDone &&
        (widened != WideningResult::kNoField || !sizes_elsewhere))
        return Fail(ResultArchiveError,
                    std::string("the local header is damaged: ") + WideningProblem(widened));
    uint32_t expected_crc = local.crc;
    const uint16_t name_length = local.name_length;
    int64_t csize = static_cast<int64_t>(sizes.compressed_size);
    int64_t usize = static_cast<int64_t>(sizes.size);
    bool crc_follows = false;
    if (where.from_directory) {
        // Where the data lies comes from the local header; one that disagrees
        // with the directory could make members share data or hide some.
        const bool local_sizes = !(flags & kFlagDescriptor) && widened == WideningResult::kDone;
        if (name_length != where.name_length || (local_sizes && csize != where.compressed_size))
            return Fail(ResultArchiveError, "the local header contradicts the directory");
        // The directory's sizes serve throughout: they are what a caller saw.
        csize = where.compressed_size;
        usize = where.size;
        if (flags & kFlagDescriptor) expected_crc = where.crc;
    } else if (flags & kFlagDescriptor) {
        if (method != kMethodDeflated) {
            // Only deflate marks its own end; the other methods need the sizes.
            return Fail(ResultUnsupported, "a member without sizes cannot be delimited");
        }
        csize = usize = UnknownSize;
        crc_follows = true;
    }
    member_compressed_size_ = csize;
    member_size_ = usize;
    member_flags_ = flags;
    stored_member_ = method == kMethodStored;
    stored_bytes_read_ = 0;
    input_.Begin(&archive.file(), 0, options_.refill_size, 0);

    const int64_t data_start =
        where.header_offset + kLocalHeaderSize + name_length + local.extra_length;
    const int64_t skip = data_start - where.header_offset;
    data_start_ = data_start;
    ahead_ = header + skip;
    ahead_size_ = skip < got ? static_cast<size_t>(got - skip) : 0;
    if (csize != UnknownSize) {
        // Compared without the sum, which a hostile Zip64 size would overflow.
        const int64_t archive_size = archive.size();
        if (archive_size < data_start || csize > archive_size - data_start)
            return Fail(ResultReadError, "the member's data reaches past the end of the archive");
        const int64_t data_end = data_start + csize;
        if (!TakeSpan(where.header_offset, data_end))
            return Fail(ResultArchiveError, "the member's data overlaps another member's");
    }

    const bool folder_entry =
        !output.empty() && (output.back() == '/' || output.back() == kPathSeparator);
    if (folder_entry) {
        // A folder that cannot be made is not reported as extracted.
        return CreateParentFolders(output, true)
                   ? ResultOk
                   : Fail(ResultWriteError, "the folder cannot be created");
    }
    // A small member is decoded into memory and its file made only once it
    // has proved good: one write, and nothing to undo when it fails.
    const bool hold = usize != UnknownSize && static_cast<uint64_t>(usize) <= options_.hold_size;
    std::unique_ptr<OutputFile> out;
    if (hold) {
        held_output_.clear();
    } else if (!(out = CreateOutput(output))) {
        return Fail(ResultWriteError, "the output file cannot be created");
    }
    crc_ = 0xFFFFFFFFu;
    output_written_ = 0;
    output_limit_ = static_cast<uint64_t>(usize);
    output_overflow_ = false;
    int32_t rc =
        ExtractMemberData(archive, out.get(), method, crc_follows ? &expected_crc : nullptr);
    if (rc == ResultOk && options_.check_crc && ~crc_ != expected_crc)
        rc = Fail(ResultCrcError, "the CRC-32 of the output does not match");
    if (rc != ResultOk) return rc;
    if (hold && later) {
        later->Queue(output, dos_time, held_output_);
        return ResultOk;
    }
    if (hold) return WriteHeld(output, dos_time);
    out->SetDosTime(dos_time);
    if (!out->Commit()) return Fail(ResultWriteError, "the output file cannot be put in place");
    return ResultOk;
}

std::unique_ptr<OutputFile> Engine::CreateOutput(const std::string& path) {
    CreateStatus status;
    std::unique_ptr<OutputFile> out = fs_.CreateBeside(path, &status);
    if (!out && status == CreateStatus::PathNotFound && CreateParentFolders(path, false))
        out = fs_.CreateBeside(path, &status);
    return out;
}

CreateStatus Engine::WriteHeldFile(const std::string& path, const std::vector<uint8_t>& data,
                                   uint32_t dos_time) {
    auto write = [&] { return fs_.WriteWhole(path, data.data(), data.size(), dos_time); };
    CreateStatus status = write();
    if (status == CreateStatus::PathNotFound && CreateParentFolders(path, false)) status = write();
    return status;
}

int32_t Engine::WriteHeld(const std::string& path, uint32_t dos_time) {
    return WriteResult(WriteHeldFile(path, held_output_, dos_time));
}

int32_t Engine::WriteResult(CreateStatus status) {
    if (status == CreateStatus::NotWritten)
        return Fail(ResultWriteError, "the output file cannot be written");
    if (status != CreateStatus::Ok)
        return Fail(ResultWriteError, "the output file cannot be created");
    return ResultOk;
}

bool Engine::TakeSpan(int64_t begin, int64_t end) {
    if (!checking_spans_) return true;
    // Spans are kept sorted by their start; a new one must end before the next
    // starts and start after the previous ends. Members mostly follow each other
    // in the archive, so a new span usually goes at the end.
    auto next = taken_spans_.end();
    if (!taken_spans_.empty() && begin < taken_spans_.back().second)
        next = std::lower_bound(taken_spans_.begin(), taken_spans_.end(),
                                std::make_pair(begin, int64_t{0}));
    if (next != taken_spans_.end() && next->first < end) return false;
    if (next != taken_spans_.begin() && std::prev(next)->second > begin) return false;
    taken_spans_.insert(next, {begin, end});
    return true;
}

} // namespace unzip
