// A whole file's bytes, read in one go (a stream iterator would read them a character at a time,
// which costs a large model or scene far more than the read itself).
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace host {

// Nothing where the file cannot be opened or read.
inline std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

}  // namespace host
