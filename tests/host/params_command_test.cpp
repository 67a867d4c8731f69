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

using ParamsCommand = ModuleSceneTest;

// One entry per parameter of the descriptor, each with a line of meaning; the text gives a line
// per parameter: ID, name, type, default, range and the table's layout.
TEST_F(ParamsCommand, JsonAndTextGiveEveryParameterAMeaning) {
    std::ostringstream out, err;
    ASSERT_EQ(host::PrintParams(*scene, true, out, err), 0) << err.str();
    const json listing = json::parse(out.str());
    EXPECT_EQ(listing["block"], json::parse(R"({"id": 0, "name": "Title"})"));
    ASSERT_EQ(listing["parameters"].size(),
              static_cast<std::size_t>(cd->GetParamBlockDesc(0)->Count()));
    for (const json& p : listing["parameters"]) {
        EXPECT_FALSE(p["meaning"].get<std::string>().empty()) << p["name"];
    }
    std::ostringstream textOut;
    ASSERT_EQ(host::PrintParams(*scene, false, textOut, err), 0) << err.str();
    const std::string text = textOut.str();
    EXPECT_EQ(text.rfind("Trellon parameter block 0 \"Title\": ", 0), 0u) << text;
    EXPECT_NE(text.find("\n  102  Item_Spacing            FLOAT_TAB   100.0           -            "
                        " all-items\n"),
              std::string::npos)
        << text;
}

}  // namespace
