// Trellon objects in scene files: the reader makes them through the registered class and sets
// their parameters by name or id. (The refusals: scene_file_refusals_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "module_scene_fixture.h"
#include "scene_reader.h"

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
