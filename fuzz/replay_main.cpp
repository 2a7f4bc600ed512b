// A fuzz target without libFuzzer: its entry point runs on the empty input and then on every
// file under the folders given, in name order, so that each target's corpus is an ordinary
// test. A fault stops the program (a trap or a sanitizer's report) and fails the test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The file's bytes in a buffer of exactly their size, so that a read past them is caught.
bool RunFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const auto size = static_cast<size_t>(fs::file_size(path, error));
    if (!in || error) return false;
    const auto bytes = std::make_unique<uint8_t[]>(std::max<size_t>(size, 1));
    if (!in.read(reinterpret_cast<char*>(bytes.get()), static_cast<std::streamsize>(size))) {
        return false;
    }
    std::fprintf(stderr, "%s\n", path.c_str());
    LLVMFuzzerTestOneInput(bytes.get(), size);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    const uint8_t none[1] = {0};
    LLVMFuzzerTestOneInput(none, 0);
    for (int k = 1; k < argc; ++k) {
        std::vector<fs::path> files;
        std::error_code error;
        for (fs::recursive_directory_iterator it(argv[k], error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file()) files.push_back(it->path());
        }
        // A folder that is missing or empty would make the test pass without testing anything.
        if (error || files.empty()) {
            std::fprintf(stderr, "%s: no inputs\n", argv[k]);
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            if (!RunFile(file)) {
                std::fprintf(stderr, "%s: can't be read\n", file.c_str());
                return 1;
            }
        }
        std::printf("%s: %zu inputs\n", argv[k], files.size());
    }
    return 0;
}
