// Scene files the reader refuses, one kind of fault per row: the message names the file, the
// JSON path and the problem (with the name meant, or the choices, where a name is misspelt), and
// the failed load leaves the scene as it was. Every row's scene has units, a layer made current,
// a renderer and a material, so the table shows the load took each of them back, whether the
// fault was found by the reader or only by the object after it was made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_scene_fixture.h"
#include "scene_load.h"
#include "support/near.h"
#include "support/text_files.h"
#include "units.h"

namespace {

constexpr const char* kScanline = R"({"class":"scanline"})";

// The scene around each fault: nodes Path01 (nodes[0]) and Picket (nodes[1], a box of material
// Wood, materials[0]); a row's nodes start at nodes[2], its materials at materials[1].
std::string Scene(const std::string& nodes, const std::string& materials = "",
                  const std::string& renderer = kScanline) {
    return R"({"format":"trellon-scene","version":1,"units":"meters",
      "layers":[{"name":"L1"}],"currentLayer":"L1","renderer":)" +
           renderer + R"(,
      "materials":[{"name":"Wood","class":"Standard"})" +
           materials + R"(],
      "nodes":[{"name":"Path01","object":{"type":"line","points":[[0,0,0],[100,0,0]]}},
               {"name":"Picket","material":"Wood",
                "object":{"type":"box","length":8,"width":2,"height":90}})" +
           nodes + "]}";
}
std::string Node(const std::string& node) { return Scene("," + node); }
std::string Material(const std::string& material) { return Scene("", "," + material); }
// A Trellon object "T" (nodes[2]) with the given set-up operations and parameters.
std::string Trellon(const std::string& setup, const std::string& params = "") {
    return Node(R"({"name":"T","object":{"type":"Trellon","setup":[)" + setup + R"(],"params":[)" +
                params + "]}}");
}
// The same after a create (setup[0]): the fault is at setup[1].
std::string AfterCreate(const std::string& op) {
    return Trellon(R"({"op":"create","seed":1},)" + op);
}
std::string Mesh(const std::string& object) {
    return Node(R"({"name":"A","object":)" + object + "}");
}

struct Refusal {
    std::string name;
    std::string text;
    const char* message;  // a part of "FILE: PATH: problem"
};

const std::vector<Refusal> kRefusals = {
    // The document.
    {"NotJson", "{\"format\":\"trellon-scene\",\n\"version\":1,,}",
     "not valid JSON: parse error at line 2, column 13"},
    {"WrongFormat", R"({"format":"other","version":1})", "format: expected \"trellon-scene\""},
    {"UnknownRenderer", Scene("", "", R"({"class":"raytracer"})"),
     "renderer.class: unknown renderer \"raytracer\""},
    // Nodes and their objects.
    {"MisspeltKey", Node(R"({"name":"B","hiden":true})"),
     "nodes[2].hiden: unknown key \"hiden\"; did you mean hidden?"},
    {"MissingName", Node(R"({"hidden":true})"), "nodes[2]: missing required field \"name\""},
    {"WrongType", Node(R"({"name":"A","hidden":"yes"})"),
     "nodes[2].hidden: expected true or false"},
    {"UnknownMaterial", Node(R"({"name":"A","material":"Steel"})"),
     "nodes[2].material: unknown material \"Steel\""},
    {"DuplicateNode", Node(R"({"name":"Picket"})"), "nodes[2].name: duplicate node name"},
    {"ObjectType", Node(R"({"name":"C","object":{"type":"cylinder"}})"),
     "nodes[2].object.type: unknown object type \"cylinder\"; expected one of spline, line, mesh, "
     "box, sphere, light, camera, target, Trellon"},
    {"LightKind", Node(R"({"name":"L","object":{"type":"light","kind":"sun"}})"),
     "nodes[2].object.kind: unknown light kind \"sun\"; expected one of omni, spot, directional, "
     "freeSpot, targetDirectional"},
    {"FacePastVertices",
     Mesh(R"({"type":"mesh","vertices":[[0,0,0],[1,0,0],[0,1,0]],"faces":[[0,1,2],[0,1,3]]})"),
     "nodes[2].object.faces[1][2]: index 3 out of range"},
    {"NonFinite", Mesh(R"({"type":"mesh","vertices":[[0,1e39,0]],"faces":[]})"),
     "nodes[2].object.vertices[0][1]: number is not finite"},
    // Relative mesh files are read from the scene file's folder, tests/scenes.
    {"MeshFileMissing", Mesh(R"({"type":"mesh","file":"meshes/no.obj"})"),
     "nodes[2].object.file: cannot read the mesh file \""},
    {"MeshFileWithoutTriangles", Mesh(R"({"type":"mesh","file":"meshes/lines_only.obj"})"),
     "nodes[2].object.file: the mesh file \""},
    {"MeshFileAndVertices", Mesh(R"({"type":"mesh","file":"meshes/two_parts.obj","vertices":[]})"),
     "nodes[2].object.vertices: unknown key"},
    // Materials.
    {"MaterialClass", Material(R"({"name":"A","class":"VRayMtls"})"),
     "materials[1].class: unknown material class \"VRayMtls\"; did you mean VRayMtl?"},
    {"MaterialParameter",
     Material(R"({"name":"A","class":"VRayMtl","params":{"reflection_glosiness":1}})"),
     "materials[1].params.reflection_glosiness: the class VRayMtl has no parameter "
     "\"reflection_glosiness\"; did you mean reflection_glossiness?"},
    {"MaterialSlots", Material(R"({"name":"A","class":"Blend","subMaterials":[null,null,null]})"),
     "materials[1].subMaterials: the class Blend holds 2 sub-materials"},
    {"MaterialWithoutDiffuseMap",
     Material(R"({"name":"A","class":"Blend","diffuseMap":{"class":"Bitmap","file":"x"}})"),
     "materials[1].diffuseMap: the class Blend has no diffuse map"},
    {"MapClass", Material(R"({"name":"A","class":"Standard","diffuseMap":{"class":"Checker"}})"),
     "materials[1].diffuseMap.class: unknown map class \"Checker\""},
    {"MaterialParameterTwice",
     Material(
         R"({"name":"A","class":"VRayMtl","diffuse":[0.5,0.5,0.5],"params":{"diffuse":[1,1,1]}})"),
     "materials[1].params.diffuse: the parameter is given twice"},
    {"MaterialParameterType",
     Material(R"({"name":"A","class":"Standard","params":{"glossiness":"high"}})"),
     "materials[1].params.glossiness: expected a number"},
    // Trellon parameters, by name and by ID.
    {"SharedName", Trellon("", R"({"name":"Unify_Scale","value":1})"),
     "nodes[2].object.params[0].name: the name \"Unify_Scale\" is shared by 2"},
    {"MisspeltParameter", Trellon("", R"({"name":"Item_Spacng","value":[20]})"),
     "nodes[2].object.params[0].name: unknown parameter \"Item_Spacng\"; did you mean "
     "Item_Spacing?"},
    {"ParameterFarOff", Trellon("", R"({"name":"Colour","value":1})"),
     "nodes[2].object.params[0].name: unknown parameter \"Colour\" (`trellon-host params` lists "
     "every parameter)"},
    {"OutOfRange", Trellon("", R"({"name":"Display_Mode","value":7})"),
     "nodes[2].object.params[0].value: value out of range 0..6"},
    {"UnknownNodeParameter", Trellon("", R"({"name":"Spline_Obj","value":"Nope"})"),
     "nodes[2].object.params[0].value: unknown node \"Nope\""},
    // Tables that do not agree with the object's items, as the object itself judges: at the
    // entry that set the table, with both lengths.
    {"TableLength",
     Trellon(R"({"op":"create"})",
             R"({"name":"Geo_Pattern","value":0},{"id":102,"value":[100,25,25]})"),
     "nodes[2].object.params[1]: Item_Spacing (parameter 102): holds 3 entries, expected 1 (the "
     "\"All Objects\" entry and one per item)"},
    // Set-up operations.
    {"LogoSize", Trellon(R"({"op":"create","logoSize":5000})"),
     "nodes[2].object.setup[0]: logoSize must be a number from 0 to 1000"},
    {"MisspeltOperation", AfterCreate(R"({"op":"makPost","row":1})"),
     "nodes[2].object.setup[1].op: unknown set-up operation \"makPost\"; did you mean makePost?"},
    {"MisspeltNode", AfterCreate(R"({"op":"addItem","node":"Pikcet"})"),
     "nodes[2].object.setup[1].node: unknown node \"Pikcet\"; did you mean Picket?"},
    {"CarPaintAnswer", AfterCreate(R"({"op":"addItem","node":"Picket","carPaint":"maybe"})"),
     "nodes[2].object.setup[1].carPaint: expected \"yes\" or \"no\""},
    {"CreateNotFirst", AfterCreate(R"({"op":"create"})"),
     "nodes[2].object.setup[1].op: \"create\" must be the first"},
    {"SetSpinnerRange", AfterCreate(R"({"op":"set","param":"Logo_size","value":5000})"),
     "nodes[2].object.setup[1].value: value out of range 0.5..1000"},
    // After the create every shared-entry table holds entry 0 only.
    {"SetIndexPastTable", AfterCreate(R"({"op":"set","param":102,"index":1,"value":1})"),
     "nodes[2].object.setup[1].index: index 1 out of range: the table has 1 entries"},
    // Found only by the object, after the create made its layer and material.
    {"ObjectRefusesPath", AfterCreate(R"({"op":"pickPath","node":"Picket"})"),
     "nodes[2].object.setup[1]: 'trellonSetup.pickPath' failed: "},
};

class SceneFileRefusals : public ModuleSceneTest, public testing::WithParamInterface<Refusal> {};

TEST_P(SceneFileRefusals, NameTheFileThePathAndTheProblemAndUndoEverything) {
    const std::string file = support::ScenePath("bad.scene.json");
    const std::string what = LoadError(GetParam().text, file, *scene);
    EXPECT_EQ(what.rfind(file + ": ", 0), 0u) << what;
    EXPECT_NE(what.find(GetParam().message), std::string::npos) << what;
    EXPECT_TRUE(scene->Nodes().empty());
    EXPECT_TRUE(scene->SceneMaterials().empty());
    ASSERT_EQ(scene->Layers().GetLayerCount(), 1);
    EXPECT_EQ(scene->Layers().GetCurrentLayer(), scene->Layers().GetLayer(0));
    EXPECT_TRUE(scene->CurrentRenderer().IsNone());
    EXPECT_EQ(scene->DefaultMessageAnswer(), 0);
    int type = -1;
    float scale = 0.0f;
    GetMasterUnitInfo(&type, &scale);
    EXPECT_EQ(type, units_.Type());
}

INSTANTIATE_TEST_SUITE_P(Kinds, SceneFileRefusals, testing::ValuesIn(kRefusals), support::ByName());

// A host without the module cannot make the object: it says so, and loads nothing.
TEST(SceneFileRefusalsWithoutModule, ATrellonObjectNamesTheMissingModule) {
    const support::KeepUnits units;
    host::Scene scene;
    const std::string what = LoadError(Trellon(""), "t.json", scene);
    EXPECT_NE(what.find("t.json: nodes[2].object.type: the Trellon module is not loaded"),
              std::string::npos)
        << what;
    EXPECT_TRUE(scene.Nodes().empty());
}

}  // namespace
