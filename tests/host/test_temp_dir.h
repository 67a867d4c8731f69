// A scratch folder of the running test's own: ctest runs the tests of one suite in parallel
// processes, so a folder shared by name would be removed under another test's feet.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline std::filesystem::path TestTempDir(const std::string& prefix) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = prefix;
    if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised names carry a slash
    }
    return std::filesystem::path(testing::TempDir()) / name;
}
