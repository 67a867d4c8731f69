// Files and text for the suites that read scenes and written files: the source tree's test
// scenes, a whole file as text, and a list of messages as one string for a failure to print.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace support {

// The tests run from the build tree; the scenes sit beside the test sources.
inline std::string ScenePath(const std::string& name) {
    return std::string(TRELLON_SOURCE_DIR) + "/tests/scenes/" + name;
}

// The whole file, byte for byte; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

}  // namespace support
