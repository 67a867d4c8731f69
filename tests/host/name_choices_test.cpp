// Messages that reject a name say what would have been right: the nearest name, or the choices.
#include "name_choices.h"

#include <gtest/gtest.h>

#include <string>

#include "module_scene_fixture.h"
#include "scene_reader.h"

namespace {

struct Distance {
    const char* a;
    const char* b;
    int d;
};

// Worked by hand: one edit each for a dropped, added, changed or swapped letter; case is free.
TEST(NameChoices, DistanceCountsEditsWithoutCase) {
    const Distance kCases[] = {{"Item_Spacng", "Item_Spacing", 1},
                               {"Pikcet", "Picket", 1},
                               {"boxx", "box", 1},
                               {"TRELLON", "Trellon", 0},
                               {"makPost", "makePost", 1},
                               {"Post", "Path", 3},
                               {"", "line", 4},
                               {"ab", "ba", 1}};
    for (const Distance& c : kCases) EXPECT_EQ(host::NameDistance(c.a, c.b), c.d) << c.a;
}

TEST(NameChoices, NearestWithinAThirdElseTheListWhenShort) {
    const std::vector<std::string> units = {"inches", "feet", "meters", "centimeters"};
    EXPECT_EQ(host::NameChoices("centimetres", units), "; did you mean centimeters?");
    EXPECT_EQ(host::NameChoices("yards", units),
              "; expected one of inches, feet, meters, centimeters");
    // Too far from any, and too many to list: nothing to add.
    EXPECT_EQ(host::NameChoices("yards", units, 3), "");
    // "Path" and "Post" are 3 apart: too far for a four-letter name.
    EXPECT_EQ(host::NearestName("Path", {"Post"}), "");
}

// The whole message, file and JSON path first, for each kind of name a scene file gives.
struct Misspelt {
    const char* label;
    const char* node;  // the Trellon node's object, or another node's
    const char* message;
};

class MisspeltNames : public ModuleSceneTest, public testing::WithParamInterface<Misspelt> {};

TEST_P(MisspeltNames, SayWhatWasMeant) {
    const std::string text = std::string(R"({"format": "trellon-scene", "version": 1, "nodes": [
        {"name": "Path", "object": {"type": "line", "points": [[0, 0, 0], [100, 0, 0]]}},
        {"name": "Picket", "object": {"type": "box", "length": 8, "width": 2, "height": 90}},
        )") + GetParam().node +
                             "]}";
    try {
        host::LoadSceneText(text, "s.json", *scene);
        ADD_FAILURE() << "loaded";
    } catch (const host::SceneFileError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MisspeltNames,
    testing::Values(
        Misspelt{"Parameter",
                 R"({"name": "T", "object": {"type": "Trellon",
                    "params": [{"name": "Item_Spacng", "value": [20]}]}})",
                 "s.json: nodes[2].object.params[0].name: unknown parameter \"Item_Spacng\"; did "
                 "you mean Item_Spacing?"},
        Misspelt{"ParameterFarOff",
                 R"({"name": "T", "object": {"type": "Trellon",
                    "params": [{"name": "Colour", "value": 1}]}})",
                 "s.json: nodes[2].object.params[0].name: unknown parameter \"Colour\" "
                 "(`trellon-host params` lists every parameter)"},
        Misspelt{"Node",
                 R"({"name": "T", "object": {"type": "Trellon",
                    "setup": [{"op": "addItem", "node": "Pikcet"}]}})",
                 "s.json: nodes[2].object.setup[0].node: unknown node \"Pikcet\"; did you mean "
                 "Picket?"},
        Misspelt{"ObjectType", R"({"name": "C", "object": {"type": "cylinder"}})",
                 "s.json: nodes[2].object.type: unknown object type \"cylinder\"; expected one of "
                 "spline, line, mesh, box, sphere, light, camera, target, Trellon"},
        Misspelt{"SetupOperation",
                 R"({"name": "T", "object": {"type": "Trellon",
                    "setup": [{"op": "makPost", "row": 1}]}})",
                 "s.json: nodes[2].object.setup[0].op: unknown set-up operation \"makPost\"; did "
                 "you mean makePost?"},
        Misspelt{"Key", R"({"name": "B", "hiden": true})",
                 "s.json: nodes[2].hiden: unknown key \"hiden\"; did you mean hidden?"},
        Misspelt{"LightKind", R"({"name": "L", "object": {"type": "light", "kind": "sun"}})",
                 "s.json: nodes[2].object.kind: unknown light kind \"sun\"; expected one of omni, "
                 "spot, directional, freeSpot, targetDirectional"}),
    [](const auto& p) { return std::string(p.param.label); });

}  // namespace
