#include "material_classes.h"

#include <memory>

#include "superclassids.h"

namespace host {
namespace {

// One parameter of a class's block 0 and the value a new material starts with.
struct Param {
    ParamID id;
    const MCHAR* name;
    int type;
    float value = 0.0f;  // a float's default, or each channel of a colour's
};

// The block of a class: every parameter as a table row (a table parameter starts empty); the
// starting values go to the class.
ParamBlockDesc2* MakeBlock(const std::vector<Param>& params,
                           std::vector<std::pair<ParamID, float>>* initial = nullptr) {
    auto* desc = new ParamBlockDesc2();
    desc->int_name = MSTR(_M("parameters"));
    for (const Param& p : params) {
        if (is_tab(p.type)) {
            desc->AddParam(p.id, p.name, p.type, 0, 0, 0, p_end);
        } else {
            desc->AddParam(p.id, p.name, p.type, 0, 0, p_end);
        }
        if (initial && p.value != 0.0f && (p.type == TYPE_RGBA || p.type == TYPE_FLOAT)) {
            initial->emplace_back(p.id, p.value);
        }
    }
    return desc;
}

// A stable class ID from a class name (FNV-1a), for the classes without an ID of their own.
Class_ID NamedClassId(const std::wstring& name) {
    ULONG h = 2166136261u;
    for (wchar_t c : name) h = (h ^ static_cast<ULONG>(c)) * 16777619u;
    return Class_ID(0x7A000000u | (h & 0x00FFFFFFu), 0x4D544C00u);
}

MaterialClass Leaf(const std::wstring& name, Class_ID id, ParamID colour, const MCHAR* colourName,
                   ParamID map, const MCHAR* mapName, std::vector<Param> more = {}) {
    std::vector<Param> params = {{colour, colourName, TYPE_RGBA, 0.5f},
                                 {map, mapName, TYPE_TEXMAP}};
    params.insert(params.end(), more.begin(), more.end());
    MaterialClass c;
    c.name = name;
    c.classId = id;
    c.kind = MaterialKind::Leaf;
    c.params = MakeBlock(params, &c.initial);
    c.diffuseColour = colour;
    c.diffuseMap = map;
    return c;
}

MaterialClass Container(const std::wstring& name, std::vector<Param> slots) {
    MaterialClass c;
    c.name = name;
    c.classId = NamedClassId(name);
    c.kind = MaterialKind::Container;
    c.params = MakeBlock(slots);
    return c;
}

std::vector<MaterialClass> MakeClasses() {
    std::vector<MaterialClass> classes;

    MaterialClass standard =
        Leaf(L"Standard", Class_ID(DMTL_CLASS_ID, 0), 1, _M("diffuse"), 11, _M("diffuseMap"),
             {{0, _M("ambient"), TYPE_RGBA, 0.25f},
              {2, _M("specular"), TYPE_RGBA, 0.9f},
              {3, _M("glossiness"), TYPE_FLOAT, 10.0f}});
    standard.glossiness = 3;
    standard.glossinessScale = 100.0f;
    classes.push_back(standard);

    MaterialClass vray =
        Leaf(L"VRayMtl", kVRayMtlClassID, 0, _M("diffuse"), 10, _M("texmap_diffuse"),
             {{2, _M("reflection"), TYPE_RGBA, 0.0f},
              {3, _M("reflection_glossiness"), TYPE_FLOAT, 1.0f}});
    vray.glossiness = 3;
    classes.push_back(vray);

    classes.push_back(Leaf(L"VRayCarPaintMtl", NamedClassId(L"VRayCarPaintMtl"), 0,
                           _M("base_color"), 10, _M("texmap_base_color")));

    MaterialClass corona = Leaf(
        L"CoronaMtl", NamedClassId(L"CoronaMtl"), 0, _M("colorDiffuse"), 10, _M("texmapDiffuse"),
        {{2, _M("colorReflect"), TYPE_RGBA, 0.0f}, {3, _M("reflectGlossiness"), TYPE_FLOAT, 1.0f}});
    corona.glossiness = 3;
    classes.push_back(corona);

    for (const wchar_t* name :
         {L"fR-Advanced",     L"fR-Architectural", L"fR-CarPaint",    L"fR-CarPaint2",
          L"fR-CD",           L"fR-Dirt",          L"fR-DistantFur",  L"fR-Electron",
          L"fR-FastSkin",     L"fR-Fillet",        L"fR-Ghost",       L"fR-Glass",
          L"fR-Matte/Shadow", L"fR-Metal",         L"fR-Skin",        L"fR-Skin2",
          L"fR-ThinFilm",     L"fR-Velvet",        L"fR-VolumeSolid", L"fR-Volumetric",
          L"fR-Waves",        L"fR-Wax",           L"fR-Wet",         L"fR-Wire",
          L"fR-XRay"}) {
        classes.push_back(Leaf(name, NamedClassId(name), 0, _M("diffuse"), 10, _M("diffuseMap")));
    }

    classes.push_back(
        Container(L"fR-2Sided", {{0, _M("frontMtl"), TYPE_MTL}, {1, _M("backMtl"), TYPE_MTL}}));
    classes.push_back(Container(L"fR-Override", {{0, _M("baseMtl"), TYPE_MTL}}));
    classes.push_back(Container(L"fR-REWrapper", {{0, _M("baseMtl"), TYPE_MTL}}));
    classes.push_back(Container(
        L"Blend",
        {{0, _M("map1"), TYPE_MTL}, {1, _M("map2"), TYPE_MTL}, {2, _M("mask"), TYPE_TEXMAP}}));
    classes.push_back(Container(L"Double Sided",
                                {{0, _M("material1"), TYPE_MTL}, {1, _M("material2"), TYPE_MTL}}));
    classes.push_back(Container(L"Shell Material", {{0, _M("originalMaterial"), TYPE_MTL},
                                                    {1, _M("bakedMaterial"), TYPE_MTL}}));
    classes.push_back(Container(
        L"Shellac", {{0, _M("shellacMtl1"), TYPE_MTL}, {1, _M("shellacMtl2"), TYPE_MTL}}));
    classes.push_back(Container(
        L"Top/Bottom", {{0, _M("topMaterial"), TYPE_MTL}, {1, _M("bottomMaterial"), TYPE_MTL}}));
    classes.push_back(
        Container(L"VRay2SidedMtl", {{0, _M("frontMtl"), TYPE_MTL}, {1, _M("backMtl"), TYPE_MTL}}));
    classes.push_back(Container(L"VRayBlendMtl",
                                {{0, _M("baseMtl"), TYPE_MTL}, {1, _M("coatMtl"), TYPE_MTL_TAB}}));
    classes.push_back(Container(L"VRayMtlWrapper", {{0, _M("baseMtl"), TYPE_MTL}}));

    MaterialClass multi;
    multi.name = L"Multi/Sub-Object";
    multi.classId = Class_ID(MULTI_CLASS_ID, 0);
    multi.kind = MaterialKind::Multi;
    multi.params = MakeBlock({{0, _M("materialList"), TYPE_MTL_TAB}});
    classes.push_back(multi);

    MaterialClass bitmap;
    bitmap.name = L"Bitmap";
    bitmap.superClass = TEXMAP_CLASS_ID;
    bitmap.classId = Class_ID(BMTEX_CLASS_ID, 0);
    bitmap.kind = MaterialKind::Map;
    bitmap.params = MakeBlock({{0, _M("fileName"), TYPE_FILENAME}});
    classes.push_back(bitmap);

    MaterialClass correction;
    correction.name = L"Color Correction";
    correction.superClass = TEXMAP_CLASS_ID;
    correction.classId = kColorCorrectionClassID;
    correction.kind = MaterialKind::Map;
    correction.params = MakeBlock({{0, _M("color"), TYPE_RGBA, 0.5f},
                                   {1, _M("map"), TYPE_TEXMAP},
                                   {7, _M("hueShift"), TYPE_FLOAT},
                                   {8, _M("saturation"), TYPE_FLOAT},
                                   {12, _M("brightness"), TYPE_FLOAT},
                                   {13, _M("contrast"), TYPE_FLOAT}},
                                  &correction.initial);
    correction.diffuseColour = 0;
    correction.diffuseMap = 1;
    classes.push_back(correction);
    return classes;
}

}  // namespace

const std::vector<MaterialClass>& MaterialClasses() {
    // The descriptors live as long as the program: blocks made from them refer to them, until the
    // last scene goes at exit. The list is never destroyed, so they stay reachable to the end (a
    // static list would go first and leave them unreferenced, a leak to the leak checker).
    static const auto* classes = new std::vector<MaterialClass>(MakeClasses());
    return *classes;
}

const MaterialClass* FindMaterialClass(const std::wstring& name) {
    for (const MaterialClass& c : MaterialClasses()) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

const MaterialClass* FindMaterialClass(SClass_ID superClass, Class_ID classId) {
    for (const MaterialClass& c : MaterialClasses()) {
        if (c.superClass == superClass && c.classId == classId) return &c;
    }
    return nullptr;
}

}  // namespace host
