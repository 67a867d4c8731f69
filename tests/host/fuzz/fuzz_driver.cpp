// A driver for the fuzz entry where libFuzzer is not available: it runs every seed file under the
// given files and folders, and from each seed a fixed number of mutants (a byte changed, a range
// removed or repeated, a JSON token put in), drawn from a fixed seed so every run repeats.
// A failure is a crash or an abort in the entry; the driver itself always returns 0 after a run.
//
//   scene_reader_fuzz_driver [--mutants N] PATH...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Run(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string Mutant(const std::string& seed, std::mt19937& rng) {
    static const char* const kTokens[] = {
        "{",           "}",       "[",       "]",
        ",",           ":",       "null",    "-1",
        "1e39",        "0.5",     "\"\"",    "true",
        "\"nodes\"",   "\"op\"",  "\"row\"", "99999999999999999999",
        "\"\\u0000\"", "\"\xff\""};
    std::string s = seed;
    const auto pick = [&rng](std::size_t n) {
        return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const int edits = 1 + static_cast<int>(pick(3));
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = pick(s.size() + 1);
        switch (pick(4)) {
            case 0:  // change one byte
                if (!s.empty()) s[std::min(at, s.size() - 1)] = static_cast<char>(pick(256));
                break;
            case 1:  // remove a range
                s.erase(std::min(at, s.size()), pick(16) + 1);
                break;
            case 2: {  // repeat a range
                const std::size_t from = pick(s.size() + 1);
                const std::string part = s.substr(from, pick(64) + 1);
                s.insert(std::min(at, s.size()), part);
                break;
            }
            default:  // put in a token
                s.insert(std::min(at, s.size()), kTokens[pick(std::size(kTokens))]);
                break;
        }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    int mutants = 200;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mutants" && i + 1 < argc) {
            mutants = std::max(0, std::atoi(argv[++i]));
            continue;
        }
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
        } else {
            files.emplace_back(arg);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "usage: scene_reader_fuzz_driver [--mutants N] FILE|DIR...\n");
        return 2;
    }
    std::mt19937 rng(20201);
    long runs = 0;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string seed((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        Run(seed);
        ++runs;
        for (int m = 0; m < mutants; ++m, ++runs) Run(Mutant(seed, rng));
    }
    std::printf("%zu seeds, %ld runs\n", files.size(), runs);
    return 0;
}
