// The Windows stand-ins and module resource files: string loading, templates, message boxes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "resourcemodule.h"
#include "support/scratch_dir.h"
#include "windows.h"

namespace {

// Distinct fake module handles: only their identity matters to the resource registry.
HINSTANCE FakeModule(int n) {
    static char handles[8];
    return reinterpret_cast<HINSTANCE>(&handles[n]);
}

// A file of the running test's own: ctest runs the tests in parallel processes.
std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = support::TestTempDir(name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char* const kGoodFile = R"({
  "strings": { "1": "Alpha", "3": "Trellon", "7": "" },
  "dialogs": {
    "101": { "caption": "Path",
             "controls": [ { "id": 1008, "type": "radio", "text": "A" },
                           { "id": -1, "type": "static", "text": "label" },
                           { "id": -1, "type": "static" },
                           { "id": 1050, "type": "spinner" } ] }
  }
})";

class ResourceFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(MaxSDK::Util::LoadResourceModule(module_, WriteFile("good.res.json", kGoodFile)),
                  "");
    }
    void TearDown() override { MaxSDK::Util::UnloadResourceModule(module_); }
    HINSTANCE module_ = FakeModule(0);
};

TEST_F(ResourceFile, LoadStringCopiesTheEntryAndTemplatesKeepTheirControlsInOrder) {
    wchar_t buffer[16] = L"junk";
    EXPECT_EQ(LoadStringW(module_, 3, buffer, 16), 7);
    EXPECT_STREQ(buffer, L"Trellon");
    const MaxSDK::Util::DialogTemplate* dialog = MaxSDK::Util::FindDialogTemplate(module_, 101);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, L"Path");
    ASSERT_EQ(dialog->controls.size(), 4u);
    EXPECT_EQ(dialog->controls[0].type, MaxSDK::Util::DialogControlType::Radio);
    EXPECT_EQ(dialog->controls[0].text, L"A");
    ASSERT_NE(dialog->Find(1050), nullptr);
    EXPECT_EQ(dialog->Find(1050)->type, MaxSDK::Util::DialogControlType::Spinner);
    EXPECT_EQ(dialog->Find(1051), nullptr);
    EXPECT_EQ(MaxSDK::Util::FindDialogTemplate(module_, 102), nullptr);
}

struct BadFile {
    const char* name;
    const char* text;
    const char* expected;  // part of the error text: the place and the problem
};

class BadResourceFile : public ::testing::TestWithParam<BadFile> {};

// A file that is not there, or not right.
TEST_P(BadResourceFile, IsRejectedWithThePlace) {
    const BadFile& bad = GetParam();
    const std::string path = bad.text ? WriteFile(std::string(bad.name) + ".res.json", bad.text)
                                      : support::TestTempDir("no-such.res.json").string();
    const std::string error = MaxSDK::Util::LoadResourceModule(FakeModule(2), path);
    EXPECT_NE(error.find(path + ": "), std::string::npos) << error;
    EXPECT_NE(error.find(bad.expected), std::string::npos) << error;
    EXPECT_EQ(MaxSDK::Util::FindDialogTemplate(FakeModule(2), 101), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadResourceFile,
    ::testing::Values(BadFile{"missing", nullptr, "cannot open the file"},
                      BadFile{"syntax", "{ \"strings\": ", "parse error at line 1"},
                      BadFile{"ctype",
                              R"({"dialogs": {"101": {"controls": [{"id": 1, "type": "knob"}]}}})",
                              "dialogs.\"101\".controls[0].type: unknown control type \"knob\""},
                      BadFile{"twice",
                              R"({"dialogs": {"101": {"controls": [{"id": 9, "type": "edit"},
                                                    {"id": 9, "type": "spinner"}]}}})",
                              "controls[1].id: control 9 appears twice"}),
    [](const ::testing::TestParamInfo<BadFile>& param) { return std::string(param.param.name); });

TEST(MessageBox, ForwardsToTheHostHandler) {
    std::wstring seenText;
    std::wstring seenCaption;
    UINT seenType = 0;
    auto previous =
        WinStandIn::SetMessageBoxHandler([&](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
            seenText = text;
            seenCaption = caption;
            seenType = type;
            return IDNO;
        });
    EXPECT_EQ(MessageBox(nullptr, L"Too many polygons", L"Warning", MB_YESNO), IDNO);
    EXPECT_EQ(seenText, L"Too many polygons");
    EXPECT_EQ(seenCaption, L"Warning");
    EXPECT_EQ(seenType, MB_YESNO);
    // Null texts reach the handler as empty strings.
    EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MB_OK), IDNO);
    EXPECT_EQ(seenText, L"");
    // An unknown button set never reaches the handler.
    seenType = 0;
    EXPECT_EQ(MessageBox(nullptr, L"x", L"y", 0x9), 0);
    EXPECT_EQ(seenType, 0u);
    WinStandIn::SetMessageBoxHandler(previous);
    EXPECT_EQ(MessageBox(nullptr, L"x", L"y", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

}  // namespace
