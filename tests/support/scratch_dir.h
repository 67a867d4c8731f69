// A scratch folder of the running test's own: ctest runs the tests of one suite in parallel
// processes, so a folder shared by name would be removed under another test's feet.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace support {

inline std::filesystem::path TestTempDir(const std::string& prefix) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = prefix;
    if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised names carry a slash
    }
    return std::filesystem::path(testing::TempDir()) / name;
}

// The test's own folder, empty when made and removed with all it holds when it goes.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "scratch") : path_(TestTempDir(prefix)) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    operator const std::filesystem::path&() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string string() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace support
