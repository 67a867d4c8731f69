#include "object/trellon.h"

#include "inode.h"
#include "maxapi.h"
#include "windows.h"
#include "object/param_ids.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "resource.h"

Trellon::Trellon() {
    // Every object draws its own pools: the generator starts from the calendar time.
    Generator.srand(static_cast<unsigned int>(_time64(nullptr)));
    if (::Interface* ip = GetCOREInterface()) Time = ip->GetTime();
    GetTrellonDesc()->MakeAutoParamBlocks(this);
}

// The reference system releases the parameter block when the maker goes.
Trellon::~Trellon() = default;

Class_ID Trellon::ClassID() { return TRELLON_CLASS_ID; }

void Trellon::GetClassName(MSTR& s) { s = GetString(IDS_CLASS_NAME); }

const MCHAR* Trellon::GetObjectName() { return GetString(IDS_CLASS_NAME); }

BaseInterface* Trellon::GetInterface(Interface_ID id) {
    if (id == TRELLON_RENDER_INTERFACE) return static_cast<KavoInstancer::TrellonRenderFP*>(this);
    return SimpleObject2::GetInterface(id);
}

IParamBlock2* Trellon::GetParamBlockByID(BlockID id) {
    return pblock2 && pblock2->ID() == id ? pblock2 : nullptr;
}

void Trellon::SetReference(int i, RefTargetHandle rtarg) {
    if (i == 0) pblock2 = static_cast<IParamBlock2*>(rtarg);
}

RefResult Trellon::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                                    PartID& /*partID*/, RefMessage /*message*/,
                                    BOOL /*propagate*/) {
    return REF_SUCCEED;
}

namespace {

// Stops at the first node among the dependents; the parameter block and other makers are passed.
class FindNodeProc : public DependentEnumProc {
public:
    int proc(ReferenceMaker* rmaker) override {
        if (rmaker && rmaker->SuperClassID() == BASENODE_CLASS_ID) {
            node = static_cast<INode*>(rmaker);
            return DEP_ENUM_HALT;
        }
        return DEP_ENUM_SKIP;
    }
    INode* node = nullptr;
};

}  // namespace

INode* Trellon::FindNode() {
    FindNodeProc finder;
    DoEnumDependents(&finder);
    return finder.node;
}
