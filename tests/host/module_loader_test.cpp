#include "module_loader.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string BinFile(const std::string& name) {
    return (std::filesystem::path(host::DefaultModulePath()).parent_path() / name).string();
}

TEST(ModuleLoader, LoadsAModuleWithEveryExport) {
    std::string error;
    auto m = host::PluginModule::Load(BinFile("fixture_good_module.dlo"), error);
    ASSERT_TRUE(m) << error;
    EXPECT_EQ(m->Version(), 0x55F03700u);
    EXPECT_EQ(m->Description(), L"loader test fixture");
    EXPECT_EQ(m->NumClasses(), 0);
}

struct RefusedModule {
    const char* file;
    const char* messagePart;
};

class ModuleLoaderRefuses : public testing::TestWithParam<RefusedModule> {};

// Each refusal names the file and says what is wrong with it.
TEST_P(ModuleLoaderRefuses, WithAMessageNamingTheFile) {
    const std::string path = BinFile(GetParam().file);
    std::string error;
    auto m = host::PluginModule::Load(path, error);
    EXPECT_FALSE(m);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Loader, ModuleLoaderRefuses,
    testing::Values(RefusedModule{"no_such_module.dlo", "no such module file"},
                    RefusedModule{"fixture_no_shutdown.dlo", "does not export LibShutdown"},
                    RefusedModule{"fixture_bad_version.dlo",
                                  "built for SDK version 0x55F03800, this host needs 0x55F03700"},
                    RefusedModule{"fixture_good_module.res.json", "cannot load the module"}));

}  // namespace
