// Trellon objects in scene files: the reader makes them through the registered class and sets
// their parameters by name or id; the writer saves every parameter so a load gives them back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_scene_fixture.h"
#include "scene_reader.h"

namespace {

// A scene with one path and one Trellon node whose object entry is `object`.
std::string TrellonScene(const std::string& object) {
    return R"({"format": "trellon-scene", "version": 1, "nodes": [
      {"name": "Path01", "object": {"type": "line", "points": [[0,0,0], [100,0,0]]}},
      {"name": "T", "object": )" +
           object + "}]}";
}

class SceneFileTrellon : public ModuleSceneTest {
protected:
    // The load's error message, or "" when it loaded.
    std::string LoadError(const std::string& object) {
        try {
            host::LoadSceneText(TrellonScene(object), "t.json", *scene);
        } catch (const host::SceneFileError& e) {
            return e.what();
        }
        return "";
    }
};

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
    const char* object;
    const char* messagePart;
};

class SceneFileTrellonRefuses : public SceneFileTrellon,
                                public testing::WithParamInterface<Refusal> {};

// Each refusal names the JSON path and the problem, and leaves the scene empty.
TEST_P(SceneFileTrellonRefuses, WithThePathAndLoadsNothing) {
    const std::string error = LoadError(GetParam().object);
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
    EXPECT_TRUE(scene->Nodes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Params, SceneFileTrellonRefuses,
    testing::Values(
        Refusal{R"({"type": "Trellon", "params": [{"name": "Unify_Scale", "value": 1}]})",
                "t.json: nodes[1].object.params[0].name: the name \"Unify_Scale\" is shared by 2"},
        Refusal{R"({"type": "Trellon", "params": [{"name": "Display_Mode", "value": 7}]})",
                "nodes[1].object.params[0].value: value out of range 0..6"},
        Refusal{R"({"type": "Trellon", "params": [{"name": "Spline_Obj", "value": "Nope"}]})",
                "nodes[1].object.params[0].value: unknown node \"Nope\""},
        // Found only by the object after it is made: the object and every node go again.
        Refusal{R"({"type": "Trellon", "setup": [{"op": "create", "logoSize": 5000}]})",
                "nodes[1].object.setup[0]: logoSize must be a number from 0 to 1000"},
        // Tables that do not agree with the object's items, as the object itself judges: at
        // the entry that set the table, with both lengths.
        Refusal{R"({"type": "Trellon", "setup": [{"op": "create"}],
                    "params": [{"name": "Geo_Pattern", "value": 0},
                               {"id": 102, "value": [100, 25, 25]}]})",
                "t.json: nodes[1].object.params[1]: Item_Spacing (parameter 102): holds 3 "
                "entries, expected 1 (the \"All Objects\" entry and one per item)"}));

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
