// ILayerManager: the scene's layers, by name and by index, and the current layer that new nodes
// go to. Layer 0 is the default layer ("0"), which always exists. The host implements it.
#pragma once

#include "ref.h"
#include "strclass.h"

class ILayer;

class ILayerManager : public ReferenceTarget {
public:
    ILayerManager() { SetAFlag(A_LOCK_TARGET); }

    // A new layer with a generated unique name.
    virtual ILayer* CreateLayer() = 0;
    // A new layer called name; when the name is taken it is made unique and written back.
    virtual ILayer* CreateLayer(MSTR& name) = 0;
    // FALSE for the default layer, the current layer, a layer with nodes, or an unknown name.
    virtual BOOL DeleteLayer(const MSTR& name) = 0;
    // Unknown names leave the current layer unchanged.
    virtual void SetCurrentLayer(const MSTR& name) = 0;
    // Makes the layer of the first selected node current.
    virtual void SetCurrentLayer() = 0;
    virtual ILayer* GetCurrentLayer() const = 0;
    // Null when there is no such layer.
    virtual ILayer* GetLayer(const MSTR& name) const = 0;
    virtual ILayer* GetLayer(int which) const = 0;
    virtual int GetLayerCount() = 0;
    virtual ILayer* GetRootLayer() const = 0;
};
