// `trellon-host params`: every parameter of the module's descriptor, with its layout and meaning.
#include "params_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "iparamb2.h"
#include "module_scene_fixture.h"

namespace {

using json = nlohmann::json;

class ParamsCommand : public ModuleSceneTest {
protected:
    json Listing() {
        std::ostringstream out, err;
        EXPECT_EQ(host::PrintParams(*scene, true, out, err), 0) << err.str();
        return json::parse(out.str());
    }
};

// One entry per parameter of the descriptor, each with a line of meaning.
TEST_F(ParamsCommand, JsonGivesEveryParameterAMeaning) {
    const json listing = Listing();
    EXPECT_EQ(listing["block"], json::parse(R"({"id": 0, "name": "Title"})"));
    ASSERT_EQ(listing["parameters"].size(),
              static_cast<std::size_t>(cd->GetParamBlockDesc(0)->Count()));
    for (const json& p : listing["parameters"]) {
        EXPECT_FALSE(p["meaning"].get<std::string>().empty()) << p["name"];
    }
}

TEST_F(ParamsCommand, TextListsIdNameAndMeaning) {
    std::ostringstream out, err;
    ASSERT_EQ(host::PrintParams(*scene, false, out, err), 0) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("Trellon parameter block 0 \"Title\": ", 0), 0u) << text;
    EXPECT_NE(text.find("\n  102  Item_Spacing            FLOAT_TAB   100.0           -            "
                        " all-items\n"),
              std::string::npos)
        << text;
}

}  // namespace
