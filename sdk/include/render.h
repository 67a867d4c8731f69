// Renderer: the base of the host's renderer plug-ins. A plug-in that needs to know which renderer
// is about to run asks the core interface for the current one (Interface::GetCurrentRenderer)
// and compares its ClassID; the rendering itself (Open, Render, Close) is the host's business
// and not called by plug-ins, so it is not declared here.
#pragma once

#include "ref.h"
#include "superclassids.h"

class MtlBase;

class Renderer : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return RENDERER_CLASS_ID; }
    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }
};

// The scene's material library (the materials the scene holds). Remove takes a material out of
// it; a material nothing refers to any more is deleted then. Returns the index it had, or -1
// when it was not in the library (it is still deleted when nothing refers to it).
class MtlBaseLib {
public:
    virtual ~MtlBaseLib() = default;
    virtual int Count() = 0;
    virtual int Remove(MtlBase* m) = 0;
};
