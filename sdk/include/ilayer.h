// ILayer: a scene layer. Nodes refer to their layer (reference NODE_LAYER_REF of the node); a
// hidden layer hides its nodes. The host implements layers.
#pragma once

#include "ref.h"
#include "strclass.h"

class INode;

class ILayer : public ReferenceTarget {
public:
    ILayer() { SetAFlag(A_LOCK_TARGET); }  // layers belong to the layer manager

    virtual MSTR GetName() const = 0;
    // FALSE when another layer has the name.
    virtual BOOL SetName(const MSTR& name) = 0;
    virtual bool IsHidden(bool checkParent = false) const = 0;
    virtual void Hide(bool hide, bool notify = true) = 0;
    virtual bool IsFrozen(bool checkParent = false) const = 0;
    virtual void Freeze(bool freeze, bool notify = true) = 0;
    virtual BOOL IsRenderable() const = 0;
    virtual void SetRenderable(BOOL onOff) = 0;
    // Moves node onto this layer (off its previous one); FALSE for null.
    virtual BOOL AddToLayer(INode* node) = 0;
    // Moves node back to the default layer; FALSE when it is not on this layer.
    virtual BOOL DeleteFromLayer(INode* node) = 0;
    virtual int GetNumNodes() const = 0;
};
