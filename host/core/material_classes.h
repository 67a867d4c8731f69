// The material and texture-map classes the host offers, in one table: for each class its name as
// the host reports it, its super class and class ID, its kind, and its parameter block 0 (every
// parameter by ID, internal name and type), with the parameters that hold its diffuse colour and
// its diffuse map.
//
// Sub-materials and sub-maps are the block's TYPE_MTL and TYPE_TEXMAP parameters, in the order
// the table lists them (a TYPE_MTL_TAB parameter gives one sub-material per entry): the
// containers expose exactly the materials they are made of, and every map slot of a class is a
// sub-map (Mtl::GetSubMtl, MtlBase::GetSubTexmap). A multi/sub-object material is the one kind
// whose sub-materials are picked per face by material ID.
//
// What each class holds, decided by what the class itself is for:
//
//   class              kind       diffuse colour          diffuse map          also
//   Standard           leaf       1 "diffuse"             11 "diffuseMap"      0 ambient, 2
//   specular,
//                                                                              3 glossiness 0..100
//   VRayMtl            leaf       0 "diffuse"             10 "texmap_diffuse"  2 "reflection"
//   (colour),
//                                                                              3
//                                                                              "reflection_glossiness"
//   VRayCarPaintMtl    leaf       0 "base_color"          10 "texmap_base_color"
//   CoronaMtl          leaf       0 "colorDiffuse"        10 "texmapDiffuse"   2 "colorReflect",
//                                                                              3
//                                                                              "reflectGlossiness"
//   fR-* surfaces      leaf       0 "diffuse"             10 "diffuseMap"      (25 classes)
//   fR-2Sided          container  "frontMtl", "backMtl"
//   fR-Override        container  "baseMtl"
//   fR-REWrapper       container  "baseMtl"
//   Blend              container  "map1", "map2" (materials), "mask" (map)
//   Double Sided       container  "material1" (facing), "material2" (back)
//   Shell Material     container  "originalMaterial", "bakedMaterial"
//   Shellac            container  "shellacMtl1" (base), "shellacMtl2" (shellac)
//   Top/Bottom         container  "topMaterial", "bottomMaterial"
//   VRay2SidedMtl      container  "frontMtl", "backMtl"
//   VRayBlendMtl       container  "baseMtl", then "coatMtl" (a table of up to 9 coats)
//   VRayMtlWrapper     container  "baseMtl"
//   Multi/Sub-Object   multi      "materialList" (a table, one per material ID)
//   Bitmap             map        "fileName" (the image; loaded when the file reads as an image)
//   Color Correction   map        0 "color", 1 "map", 7 "hueShift", 8 "saturation",
//                                 12 "brightness", 13 "contrast"
//
// Class IDs: Standard, Multi/Sub-Object and Bitmap have the host's own; VRayMtl is
// (0x37BF3F2F, 0x7034695C) and Color Correction (0x2D0, 0); every other class gets an ID made
// from its name, stable from run to run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "iparamb2.h"
#include "maxtypes.h"

namespace host {

enum class MaterialKind { Leaf, Container, Multi, Map };

struct MaterialClass {
    std::wstring name;
    SClass_ID superClass = MATERIAL_CLASS_ID;
    Class_ID classId;
    MaterialKind kind = MaterialKind::Leaf;
    ParamBlockDesc2* params = nullptr;  // block 0
    ParamID diffuseColour = -1;         // TYPE_RGBA, -1: none
    ParamID diffuseMap = -1;            // TYPE_TEXMAP, -1: none
    ParamID glossiness = -1;            // reflection glossiness (0..1, or 0..100 for Standard)
    float glossinessScale = 1.0f;       // what the glossiness parameter's 1 is worth
    // What a new material of the class starts with: each colour parameter grey at this level,
    // each float parameter this value (the rest start at zero, null or empty).
    std::vector<std::pair<ParamID, float>> initial;
};

// Every class, materials first, then maps.
const std::vector<MaterialClass>& MaterialClasses();
// The class of this name as the host reports it, or null.
const MaterialClass* FindMaterialClass(const std::wstring& name);
// The class with these IDs, or null.
const MaterialClass* FindMaterialClass(SClass_ID superClass, Class_ID classId);

inline constexpr Class_ID kVRayMtlClassID(0x37BF3F2F, 0x7034695C);
inline constexpr Class_ID kColorCorrectionClassID(0x2D0, 0);

}  // namespace host
