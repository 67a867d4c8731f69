// A light as the host's own lights look to a plug-in: super class LIGHT_CLASS_ID, no geometry.
#pragma once

#include "object.h"
#include "superclassids.h"

namespace support {

class FakeLight : public Object {
public:
    SClass_ID SuperClassID() override { return LIGHT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1011, 0); }
    void GetClassName(MSTR& s) override { s = MSTR(L"Omnilight"); }
    const MCHAR* GetObjectName() override { return L"Omnilight"; }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    int IsRenderable() override { return 0; }
    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }
};

}  // namespace support
