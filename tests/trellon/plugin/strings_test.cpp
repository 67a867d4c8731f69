// The module's string lookup and entry point, in process (through the static library).
#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <string>

#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "resourcemodule.h"
#include "windows.h"

// The module's own entry point (exported from the built module; linked in here).
extern "C" BOOL APIENTRY DllMain(HINSTANCE hinstDLL, ULONG fdwReason, LPVOID lpvReserved);

namespace {

HINSTANCE FakeModule(int n) {
    static char handles[4];
    return reinterpret_cast<HINSTANCE>(&handles[n]);
}

// A resource file with a few entries, among them one longer than the shared buffer.
class ModuleStrings : public ::testing::Test {
protected:
    void SetUp() override {
        // One file per test: ctest runs the tests in parallel processes.
        const std::string path =
            ::testing::TempDir() + "strings_test_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".res.json";
        std::ofstream(path) << R"({"strings": {"1": "About", "2": "Kavo", "3": "Trellon",
                                  "4": "", "9": ")"
                            << std::string(300, 'x') << R"("}})";
        ASSERT_EQ(MaxSDK::Util::LoadResourceModule(FakeModule(0), path), "");
        hInstance = FakeModule(0);
    }
    void TearDown() override {
        hInstance = nullptr;
        MaxSDK::Util::UnloadResourceModule(FakeModule(0));
    }
};

TEST_F(ModuleStrings, LoadsAnEntry) { EXPECT_STREQ(GetString(3), L"Trellon"); }

TEST_F(ModuleStrings, MissingAndEmptyEntriesAreNull) {
    EXPECT_EQ(GetString(5), nullptr);
    EXPECT_EQ(GetString(4), nullptr);
    EXPECT_EQ(GetString(-1), nullptr);
}

TEST_F(ModuleStrings, WithoutAModuleHandleEveryEntryIsNull) {
    hInstance = nullptr;
    EXPECT_EQ(GetString(3), nullptr);
}

TEST_F(ModuleStrings, LongEntriesAreCutToTheBuffer) {
    // 256 characters hold 255 and the terminating zero.
    const MCHAR* text = GetString(9);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wcslen(text), 255u);
}

TEST_F(ModuleStrings, EveryEntryGoesThroughTheOneSharedBuffer) {
    const MCHAR* first = GetString(1);
    const MCHAR* second = GetString(3);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, L"Trellon");
}

TEST_F(ModuleStrings, ClassNameAndCategoryAreEntriesThreeAndTwo) {
    ClassDesc2* cd = GetTrellonDesc();
    EXPECT_STREQ(cd->ClassName(), L"Trellon");
    EXPECT_STREQ(cd->Category(), L"Kavo");
    EXPECT_EQ(cd->HInstance(), FakeModule(0));
}

class EntryPoint : public ::testing::Test {
protected:
    void TearDown() override {
        hInstance = nullptr;
        MaxSDK::Util::UnloadResourceModule(FakeModule(1));
        WinStandIn::ForgetModule(FakeModule(1));
    }
};

TEST_F(EntryPoint, ProcessAttachStoresTheHandleAndSetsUpTheModule) {
    EXPECT_EQ(DllMain(FakeModule(1), DLL_PROCESS_ATTACH, nullptr), TRUE);
    EXPECT_EQ(hInstance, FakeModule(1));
    EXPECT_TRUE(MaxSDK::Util::LanguagePackLocaleUsed(FakeModule(1)));
    EXPECT_TRUE(WinStandIn::ThreadLibraryCallsDisabled(FakeModule(1)));
}

TEST_F(EntryPoint, OtherReasonsChangeNothingAndSucceed) {
    for (DWORD reason : {DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH}) {
        EXPECT_EQ(DllMain(FakeModule(1), reason, nullptr), TRUE) << reason;
        EXPECT_EQ(hInstance, nullptr) << reason;
    }
    EXPECT_FALSE(MaxSDK::Util::LanguagePackLocaleUsed(FakeModule(1)));
}

}  // namespace
