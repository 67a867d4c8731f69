// Trellon objects in scene files: the reader makes them through the registered class and sets
// their parameters by name or id; the writer saves every parameter so a load gives them back.
#include <gtest/gtest.h>

#include <string>

#include "module_scene_fixture.h"
#include "scene_load.h"

namespace {

// A scene of a path, a box and `node`.
std::string SceneWith(const std::string& node) {
    return R"({"format": "trellon-scene", "version": 1, "nodes": [
      {"name": "Path01", "object": {"type": "line", "points": [[0,0,0], [100,0,0]]}},
      {"name": "Picket", "object": {"type": "box", "length": 8, "width": 2, "height": 90}}, )" +
           node + "]}";
}
std::string TrellonScene(const std::string& object) {
    return SceneWith(R"({"name": "T", "object": )" + object + "}");
}

using SceneFileTrellon = ModuleSceneTest;

// Geo_Pattern is id 10, Display_Mode id 47, Spline_Obj id 0, Item_Spacing id 102; a node may be
// null and a table empty.
TEST_F(SceneFileTrellon, ParamsByNameAndByIdReadBack) {
    const char* const objects[] = {R"({"type": "Trellon", "setup": [{"op": "create"}],
        "params": [{"name": "Geo_Pattern", "value": 1}, {"id": 47, "type": "INT", "value": 3},
                   {"name": "Spline_Obj", "value": "Path01"}, {"id": 102, "value": [100]}]})",
                                   R"({"type": "Trellon",
        "params": [{"name": "Spline_Obj", "value": null}, {"id": 102, "value": []}]})"};
    for (const bool full : {true, false}) {
        NewScene();
        host::LoadSceneText(TrellonScene(objects[full ? 0 : 1]), "t.json", *scene);
        IParamBlock2* pb = Block(L"T");
        ASSERT_NE(pb, nullptr);
        EXPECT_EQ(pb->GetINode(0), full ? scene->GetINodeByName(L"Path01") : nullptr);
        ASSERT_EQ(pb->Count(102), full ? 1 : 0);
        if (full) {
            EXPECT_EQ(pb->GetInt(10), 1);
            EXPECT_EQ(pb->GetInt(47), 3);
            EXPECT_EQ(pb->GetFloat(102, 0, 0), 100.0f);
        }
    }
}

struct Refusal {
    const char* label;
    const char* node;     // the third node
    const char* message;  // the whole message, or a part of it
};

class SceneFileTrellonRefuses : public SceneFileTrellon,
                                public testing::WithParamInterface<Refusal> {};

// Each refusal names the JSON path and the problem, and leaves the scene empty. A misspelt name
// is told the name meant, or the choices.
TEST_P(SceneFileTrellonRefuses, WithThePathAndLoadsNothing) {
    const std::string error = LoadError(SceneWith(GetParam().node), "t.json", *scene);
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
    EXPECT_TRUE(scene->Nodes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Params, SceneFileTrellonRefuses,
    testing::Values(
        Refusal{"SharedName", R"({"name": "T", "object": {"type": "Trellon",
                   "params": [{"name": "Unify_Scale", "value": 1}]}})",
                "t.json: nodes[2].object.params[0].name: the name \"Unify_Scale\" is shared by 2"},
        Refusal{"OutOfRange", R"({"name": "T", "object": {"type": "Trellon",
                   "params": [{"name": "Display_Mode", "value": 7}]}})",
                "nodes[2].object.params[0].value: value out of range 0..6"},
        Refusal{"UnknownNode", R"({"name": "T", "object": {"type": "Trellon",
                   "params": [{"name": "Spline_Obj", "value": "Nope"}]}})",
                "nodes[2].object.params[0].value: unknown node \"Nope\""},
        // Found only by the object after it is made: the object and every node go again.
        Refusal{"LogoSize", R"({"name": "T", "object": {"type": "Trellon",
                   "setup": [{"op": "create", "logoSize": 5000}]}})",
                "nodes[2].object.setup[0]: logoSize must be a number from 0 to 1000"},
        // Tables that do not agree with the object's items, as the object itself judges: at
        // the entry that set the table, with both lengths.
        Refusal{"TableLength", R"({"name": "T", "object": {"type": "Trellon",
                   "setup": [{"op": "create"}], "params": [{"name": "Geo_Pattern", "value": 0},
                                                           {"id": 102, "value": [100, 25, 25]}]}})",
                "t.json: nodes[2].object.params[1]: Item_Spacing (parameter 102): holds 3 "
                "entries, expected 1 (the \"All Objects\" entry and one per item)"},
        Refusal{"MisspeltParameter", R"({"name": "T", "object": {"type": "Trellon",
                   "params": [{"name": "Item_Spacng", "value": [20]}]}})",
                "t.json: nodes[2].object.params[0].name: unknown parameter \"Item_Spacng\"; did "
                "you mean Item_Spacing?"},
        Refusal{"ParameterFarOff", R"({"name": "T", "object": {"type": "Trellon",
                   "params": [{"name": "Colour", "value": 1}]}})",
                "t.json: nodes[2].object.params[0].name: unknown parameter \"Colour\" "
                "(`trellon-host params` lists every parameter)"},
        Refusal{"MisspeltNode", R"({"name": "T", "object": {"type": "Trellon",
                   "setup": [{"op": "addItem", "node": "Pikcet"}]}})",
                "t.json: nodes[2].object.setup[0].node: unknown node \"Pikcet\"; did you mean "
                "Picket?"},
        Refusal{"ObjectType", R"({"name": "C", "object": {"type": "cylinder"}})",
                "t.json: nodes[2].object.type: unknown object type \"cylinder\"; expected one of "
                "spline, line, mesh, box, sphere, light, camera, target, Trellon"},
        Refusal{"SetupOperation", R"({"name": "T", "object": {"type": "Trellon",
                   "setup": [{"op": "makPost", "row": 1}]}})",
                "t.json: nodes[2].object.setup[0].op: unknown set-up operation \"makPost\"; did "
                "you mean makePost?"},
        Refusal{"Key", R"({"name": "B", "hiden": true})",
                "t.json: nodes[2].hiden: unknown key \"hiden\"; did you mean hidden?"},
        Refusal{"LightKind", R"({"name": "L", "object": {"type": "light", "kind": "sun"}})",
                "t.json: nodes[2].object.kind: unknown light kind \"sun\"; expected one of omni, "
                "spot, directional, freeSpot, targetDirectional"}),
    [](const auto& p) { return std::string(p.param.label); });

// BOOL takes true/false or 0/1; string and point tables are read whole, in order.
TEST_F(SceneFileTrellon, BoolsStringsAndPointTables) {
    // Two items, so the item tables hold two entries.
    host::LoadSceneText(R"({"format": "trellon-scene", "version": 1, "nodes": [
      {"name": "Path01", "object": {"type": "line", "points": [[0,0,0], [100,0,0]]}},
      {"name": "A", "object": {"type": "box", "length": 1, "width": 1, "height": 1}},
      {"name": "B", "object": {"type": "box", "length": 1, "width": 1, "height": 1}},
      {"name": "T", "object": {"type": "Trellon",
        "setup": [{"op": "create"}, {"op": "addItems", "nodes": ["A", "B"]}],
        "params": [
          {"name": "Geo_Follow", "type": "BOOL", "value": true},
          {"name": "DetachPath", "value": 0},
          {"name": "Item_Names", "type": "STRING_TAB", "value": ["Picket", "Post"]},
          {"name": "Item_Box_Max", "value": [[1, 2, 3], [4.5, 5, 6]]}]}}]})",
                        "t.json", *scene);
    IParamBlock2* pb = Block(L"T");
    ASSERT_NE(pb, nullptr);
    auto id = [pb](const MCHAR* name) { return Id(pb, name); };
    EXPECT_EQ(pb->GetInt(id(L"Geo_Follow")), 1);
    EXPECT_EQ(pb->GetInt(id(L"DetachPath")), 0);
    ASSERT_EQ(pb->Count(id(L"Item_Names")), 2);
    EXPECT_STREQ(pb->GetStr(id(L"Item_Names"), 0, 1), L"Post");
    ASSERT_EQ(pb->Count(id(L"Item_Box_Max")), 2);
    EXPECT_EQ(pb->GetPoint3(id(L"Item_Box_Max"), 0, 1), Point3(4.5f, 5.0f, 6.0f));
}

}  // namespace
