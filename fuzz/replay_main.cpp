// Replays inputs through a fuzz target without libFuzzer, so that the corpus
// and every saved finding run as an ordinary test in any build.
//   <target>_replay PATH...   each PATH a file or a folder of files (not recursive)
// Exits 0 when every input ran; a failed check in the target traps as it would
// under the fuzzer. A folder without files is an error, so that a wrong path
// cannot pass as an empty corpus.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

bool Replay(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.string().c_str(), bytes.size());
    // A heap block of exactly the input's size, so that reads past its end are
    // caught by the sanitizers as they are under the fuzzer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
        return 2;
    }
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path path(argv[i]);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<fs::path> files;
            for (const auto& item : fs::directory_iterator(path, ec))
                if (item.is_regular_file()) files.push_back(item.path());
            if (ec || files.empty()) {
                std::fprintf(stderr, "no inputs in %s\n", argv[i]);
                return 1;
            }
            // Name order, so that runs are repeatable.
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                if (!Replay(file)) return 1;
                ++replayed;
            }
        } else {
            if (!Replay(path)) return 1;
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
