// The checked pieces of a scene file: what the reader (plan_reader.h) makes of the JSON before
// the scene is touched, and what build_plan.h builds into the scene once all of it is valid.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "color.h"
#include "creation.h"
#include "iparamb2.h"
#include "mesh.h"
#include "point3.h"
#include "renderers.h"
#include "scene_transform.h"
#include "spline3d.h"

class ClassDesc;

namespace host::scene_file {

struct LayerPlan {
    std::wstring name;
    bool hidden = false;
};

struct MaterialPlan;
struct SubMaterialPlan {
    int named = -1;  // index of an earlier entry of `materials`
    std::unique_ptr<MaterialPlan> inlined;
};
struct MapPlan;
// One value of a parameter of a material's or a map's block 0, in the field its type uses.
struct MtlParamPlan {
    ParamID id = -1;
    int type = TYPE_VOID;
    Color colour;                  // TYPE_RGBA
    float number = 0.0f;           // TYPE_FLOAT
    int integer = 0;               // TYPE_INT, TYPE_BOOL
    std::wstring text;             // TYPE_STRING, TYPE_FILENAME (a bitmap's file, resolved)
    std::unique_ptr<MapPlan> map;  // TYPE_TEXMAP (null: no map)
    SubMaterialPlan material;      // TYPE_MTL
};
struct MapPlan {
    std::wstring cls;
    std::wstring name;
    std::vector<MtlParamPlan> params;
};
struct MaterialPlan {
    std::wstring name;
    std::wstring cls;
    std::vector<MtlParamPlan> params;   // the diffuse colour and map given by their short keys too
    std::vector<SubMaterialPlan> subs;  // sub-materials in slot order
};

using TransformPlan = TransformParts;

struct KnotPlan {
    int type = KTYPE_CORNER;
    int lineType = LTYPE_CURVE;  // the segment that leaves the knot
    Point3 point, in, out;
};
struct SplinePlan {
    bool closed = false;
    std::vector<KnotPlan> knots;
};
struct MeshPlan {
    std::vector<Point3> vertices;
    std::vector<std::array<DWORD, 3>> faces;
    std::vector<MtlID> materialIds;
    std::vector<DWORD> smoothingGroups;
    std::vector<std::array<DWORD, 3>> edgeVisibility;
    std::vector<Point3> uvs;
    std::vector<std::array<DWORD, 3>> uvFaces;
};
// One value of a Trellon parameter, in the field its storage uses; `node` names a node of the
// file (empty: null).
struct ParamValuePlan {
    int i = 0;
    float f = 0.0f;
    Point3 p;
    std::wstring s;
    std::string path;  // where the value stands, for the check of node names
};
struct ParamPlan {
    ParamID id = -1;
    int type = TYPE_VOID;                // the descriptor's type without passing flags
    std::vector<ParamValuePlan> values;  // one for a single value, the whole table for a _TAB
};
// The set-up operations other than "create": each calls the published set-up function of the
// same name, with the arguments its kind takes; "set" goes through the parameter block.
enum class OpArgs { None, Node, Nodes, Row, OptionalRow, Set };
struct SetupOpKind {
    const char* name;
    OpArgs args;
    bool carPaint;  // the object may ask whether the items are car paint
};
inline constexpr SetupOpKind kSetupOps[] = {{"pickPath", OpArgs::Node, false},
                                            {"addItem", OpArgs::Node, true},
                                            {"addItems", OpArgs::Nodes, true},
                                            {"addShape", OpArgs::Node, false},
                                            {"addShapes", OpArgs::Nodes, false},
                                            {"addNullRow", OpArgs::OptionalRow, false},
                                            {"deleteRow", OpArgs::Row, false},
                                            {"shiftUp", OpArgs::Row, false},
                                            {"shiftDown", OpArgs::Row, false},
                                            {"makePost", OpArgs::Row, false},
                                            {"makeEnd", OpArgs::Row, false},
                                            {"deleteShape", OpArgs::Row, false},
                                            {"seedTransforms", OpArgs::OptionalRow, false},
                                            {"seedMirror", OpArgs::OptionalRow, false},
                                            {"seedColours", OpArgs::None, false},
                                            {"set", OpArgs::Set, false}};

struct SetupOpPlan {
    const SetupOpKind* kind = nullptr;
    std::string path;                 // where the operation stands
    std::vector<std::wstring> nodes;  // `node` (one) or `nodes`
    std::vector<std::string> nodePaths;
    int row = 0;
    int answer = IDNO;  // what the car-paint question is answered
    ParamPlan param;    // `set`: the parameter and its one value
    int index = 0;      // `set`: the table entry
};

struct TrellonPlan {
    ClassDesc* cd = nullptr;
    bool create = false;
    CreateOptions createOptions;
    std::vector<SetupOpPlan> ops;
    std::vector<ParamPlan> params;
};
struct ObjectPlan {
    enum class Kind { Mesh, Shape, Light, Camera, Target, Trellon };
    Kind kind = Kind::Mesh;
    TrellonPlan trellon;
    std::string lightKind;
    bool isShape = false;
    int steps = 6;
    std::vector<SplinePlan> splines;
    MeshPlan mesh;
};
struct NodePlan {
    std::wstring name;
    std::optional<std::wstring> layer;
    TransformPlan transform;
    std::optional<TransformPlan> offset;
    std::optional<DWORD> wireColor;
    bool hidden = false;
    bool renderable = true;
    int material = -1;
    std::optional<ObjectPlan> object;
};
struct ScenePlan {
    std::optional<int> units;
    std::optional<RendererInfo> renderer;
    TimeValue time = 0;
    std::vector<LayerPlan> layers;
    std::wstring currentLayer = L"0";
    std::vector<std::unique_ptr<MaterialPlan>> materials;
    std::vector<NodePlan> nodes;
};

}  // namespace host::scene_file
