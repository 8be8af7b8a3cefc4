// Stands in for libFuzzer when the targets are built without it: runs every
// file named on the command line (directories are walked) through the
// target once, so a crash file replays in a debug or sanitizer build.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_directory(arg)) {
            for (const auto& e : fs::recursive_directory_iterator(arg))
                if (e.is_regular_file())
                    inputs.push_back(e.path());
        } else {
            inputs.push_back(arg);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE|DIR...  (no inputs found)\n", argv[0]);
        return 2;
    }
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", p.c_str());
            return 2;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // A fresh copy of exactly the file's length, so reads past the end
        // are caught by AddressSanitizer.
        auto* exact = new std::uint8_t[bytes.size() ? bytes.size() : 1];
        std::copy(bytes.begin(), bytes.end(), exact);
        LLVMFuzzerTestOneInput(exact, bytes.size());
        delete[] exact;
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
