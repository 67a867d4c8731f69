// Super class IDs and the class IDs of the host's built-in classes.
//
// Every plug-in class reports one super class (what kind of thing it is: geometry, shape, node,
// material...) and one Class_ID (which class exactly). The values are the host's own numbering;
// the module and the host compare them, so both must see the same header.
#pragma once

#include "maxtypes.h"

// Super classes of the reference system itself.
constexpr SClass_ID REF_MAKER_CLASS_ID = 0x00000100;
constexpr SClass_ID REF_TARGET_CLASS_ID = 0x00000101;

// Scene object kinds. A node and a modifier application share the value 1.
constexpr SClass_ID GEN_MODAPP_CLASS_ID = 0x00000001;
constexpr SClass_ID BASENODE_CLASS_ID = 0x00000001;
constexpr SClass_ID GEN_DERIVOB_CLASS_ID = 0x00000002;  // an object with a modifier stack
constexpr SClass_ID DERIVOB_CLASS_ID = 0x00000003;
constexpr SClass_ID WSM_DERIVOB_CLASS_ID = 0x00000004;
constexpr SClass_ID GEOMOBJECT_CLASS_ID = 0x00000010;
constexpr SClass_ID CAMERA_CLASS_ID = 0x00000020;
constexpr SClass_ID LIGHT_CLASS_ID = 0x00000030;
constexpr SClass_ID SHAPE_CLASS_ID = 0x00000040;
constexpr SClass_ID HELPER_CLASS_ID = 0x00000070;
constexpr SClass_ID OSM_CLASS_ID = 0x00000810;
constexpr SClass_ID WSM_CLASS_ID = 0x00000820;
constexpr SClass_ID WSM_OBJECT_CLASS_ID = 0x00000830;
constexpr SClass_ID SCENE_IMPORT_CLASS_ID = 0x00000A10;
constexpr SClass_ID SCENE_EXPORT_CLASS_ID = 0x00000A20;
constexpr SClass_ID UTILITY_CLASS_ID = 0x00001020;

// Rendering.
constexpr SClass_ID MATERIAL_CLASS_ID = 0x00000C00;
constexpr SClass_ID TEXMAP_CLASS_ID = 0x00000C10;
constexpr SClass_ID RENDERER_CLASS_ID = 0x00000F00;

// Parameter storage and controllers.
constexpr SClass_ID PARAMETER_BLOCK_CLASS_ID = 0x00008008;
constexpr SClass_ID PARAMETER_BLOCK2_CLASS_ID = 0x00000082;
constexpr SClass_ID CTRL_FLOAT_CLASS_ID = 0x00009003;
constexpr SClass_ID CTRL_POINT3_CLASS_ID = 0x00009004;
constexpr SClass_ID CTRL_MATRIX3_CLASS_ID = 0x00009008;
constexpr SClass_ID CTRL_POSITION_CLASS_ID = 0x0000900b;
constexpr SClass_ID CTRL_ROTATION_CLASS_ID = 0x0000900c;
constexpr SClass_ID CTRL_SCALE_CLASS_ID = 0x0000900d;

// Part A of the built-in classes' Class_IDs (part B is 0), used as Class_ID(TRIOBJ_CLASS_ID, 0).
constexpr ULONG TRIOBJ_CLASS_ID = 0x00000009;
constexpr ULONG EDITTRIOBJ_CLASS_ID = 0xe44f10b3;
constexpr ULONG SPLINESHAPE_CLASS_ID = 0x0000000a;
constexpr ULONG DMTL_CLASS_ID = 0x00000002;   // standard material
constexpr ULONG MULTI_CLASS_ID = 0x00000200;  // multi/sub-object material
constexpr ULONG BMTEX_CLASS_ID = 0x00000240;  // bitmap texture

// The same classes as whole Class_IDs. defObjectClassID (the generic object) has no public value;
// the stand-in gives it one that no other class uses.
inline constexpr Class_ID triObjectClassID(TRIOBJ_CLASS_ID, 0);
inline constexpr Class_ID splineShapeClassID(SPLINESHAPE_CLASS_ID, 0);
inline constexpr Class_ID defObjectClassID(0x0000000f, 0x00000001);
