// Small scene objects the scene file makes for lights, cameras and look-at targets. They carry
// the super class and class ID the host's own objects have, so code that asks a node what it
// holds (a light? a camera?) gets the host's answer; they have no geometry and never render.
#pragma once

#include <string>
#include <vector>

#include "object.h"

namespace host {

// The class of Trellon objects; the host reaches the module only through the descriptor that
// the module registers under this ID and the object's parameter block.
inline const Class_ID kTrellonClassID(0x44D601F8, 0x0F43253D);

class SceneObject : public Object {
public:
    SceneObject(SClass_ID superId, Class_ID classId, std::wstring className);

    SClass_ID SuperClassID() override { return superId_; }
    Class_ID ClassID() override { return classId_; }
    void GetClassName(MSTR& s) override { s = MSTR(className_); }
    const MCHAR* GetObjectName() override { return className_.c_str(); }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    int IsRenderable() override { return 0; }
    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }

private:
    SClass_ID superId_;
    Class_ID classId_;
    std::wstring className_;
};

// The light kinds a scene file names: "omni", "spot" (targeted), "freeSpot", "directional"
// (free) and "targetDirectional". Returns nullptr for an unknown kind.
SceneObject* CreateLight(const std::string& kind);
// Those kinds, in that order.
std::vector<std::string> LightKinds();
// A free camera (super class 0x20).
SceneObject* CreateCamera();
// The target object of a look-at light or camera.
SceneObject* CreateTarget();

}  // namespace host
