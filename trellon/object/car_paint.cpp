#include "object/car_paint.h"

#include "imtl.h"
#include "inode.h"

const wchar_t* const kCarPaintClassName = L"VRayCarPaintMtl";

namespace {

// Material trees are shallow; the depth limit only guards against a tree that refers to itself.
constexpr int kMaxMaterialDepth = 64;

bool HoldsCarPaint(Mtl* mtl, int depth) {
    if (!mtl || depth > kMaxMaterialDepth) return false;
    MSTR name;
    mtl->GetClassName(name);
    if (name == MSTR(kCarPaintClassName)) return true;
    for (int i = 0; i < mtl->NumSubMtls(); ++i) {
        if (HoldsCarPaint(mtl->GetSubMtl(i), depth + 1)) return true;
    }
    return false;
}

}  // namespace

bool IsOrHoldsCarPaint(Mtl* mtl) { return HoldsCarPaint(mtl, 0); }

bool HasCarPaint(INode* node) { return node && IsOrHoldsCarPaint(node->GetMtl()); }
