#include "object/trellon_layer.h"

#include "ilayer.h"
#include "ilayermanager.h"
#include "inode.h"
#include "maxapi.h"

namespace trellon {
const MCHAR* const kTrellonLayerName = _M("Kavo_Trellon_Objects");

ILayer* PutOnTrellonLayer(INode* node) {
    Interface* ip = GetCOREInterface();
    ILayerManager* manager = (node && ip) ? ip->GetLayerManager() : nullptr;
    if (!manager) return nullptr;

    ILayer* previous = manager->GetCurrentLayer();
    MSTR name(kTrellonLayerName);
    ILayer* layer = manager->GetLayer(name);
    if (!layer) layer = manager->CreateLayer(name);
    if (layer) layer->AddToLayer(node);
    // A host may make a new layer current; the user's current layer stays what it was.
    if (previous) manager->SetCurrentLayer(previous->GetName());
    return layer;
}

}  // namespace trellon
