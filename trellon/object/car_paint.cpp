#include "object/car_paint.h"

#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"

namespace trellon {
const wchar_t* const kCarPaintClassName = L"VRayCarPaintMtl";

namespace {

// Material trees are shallow; the depth limit only guards against a tree that refers to itself.
constexpr int kMaxMaterialDepth = 64;

// The converted material's class and its reflection settings.
constexpr Class_ID kVRayMtlClassID(0x37BF3F2F, 0x7034695C);
constexpr ParamID kReflection = 2;
constexpr ParamID kReflectionGlossiness = 3;
constexpr float kReflectionGrey = 84.0f / 255.0f;  // 0.32941177
constexpr float kGlossiness = 0.82f;

bool IsCarPaint(Mtl* mtl) {
    if (!mtl) return false;
    MSTR name;
    mtl->GetClassName(name);
    return name == MSTR(kCarPaintClassName);
}

bool HoldsCarPaint(Mtl* mtl, int depth) {
    if (!mtl || depth > kMaxMaterialDepth) return false;
    if (IsCarPaint(mtl)) return true;
    for (int i = 0; i < mtl->NumSubMtls(); ++i) {
        if (HoldsCarPaint(mtl->GetSubMtl(i), depth + 1)) return true;
    }
    return false;
}

// A VRayMtl standing in for the car paint, or null when the host has no VRayMtl class.
Mtl* Converted(Mtl* paint, TimeValue t) {
    auto* mtl = static_cast<Mtl*>(CreateInstance(MATERIAL_CLASS_ID, kVRayMtlClassID));
    if (!mtl) return nullptr;
    mtl->SetDiffuse(paint->GetDiffuse(0, FALSE), t);
    if (IParamBlock2* pb = mtl->GetParamBlock(0)) {
        pb->SetValue(kReflection, t, Color(kReflectionGrey, kReflectionGrey, kReflectionGrey));
        pb->SetValue(kReflectionGlossiness, t, kGlossiness);
    }
    mtl->SetName(paint->GetName());
    return mtl;
}

void ConvertBelow(Mtl* mtl, TimeValue t, int depth) {
    if (!mtl || depth > kMaxMaterialDepth) return;
    for (int i = 0; i < mtl->NumSubMtls(); ++i) {
        Mtl* sub = mtl->GetSubMtl(i);
        if (IsCarPaint(sub)) {
            if (Mtl* n = Converted(sub, t)) mtl->SetSubMtl(i, n);
        } else if (sub && sub->NumSubMtls() > 0) {
            ConvertBelow(sub, t, depth + 1);
        }
    }
}

}  // namespace

bool IsOrHoldsCarPaint(Mtl* mtl) { return HoldsCarPaint(mtl, 0); }

bool HasCarPaint(INode* node) { return node && IsOrHoldsCarPaint(node->GetMtl()); }

void ConvertCarPaint(INode* node) {
    Mtl* m = node ? node->GetMtl() : nullptr;
    if (!m) return;
    Interface* ip = GetCOREInterface();
    const TimeValue t = ip ? ip->GetTime() : 0;
    if (IsCarPaint(m)) {
        if (Mtl* n = Converted(m, t)) node->SetMtl(n);
        return;
    }
    ConvertBelow(m, t, 0);
}

}  // namespace trellon
