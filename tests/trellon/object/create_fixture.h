// A scene and a top viewport for driving the creation callback by hand, the way the host does:
// the object is made, the first click makes its node, then each message goes to the callback.
#pragma once

#include <gtest/gtest.h>

#include "iparamb2.h"
#include "object/create_callback.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "viewport.h"

namespace create_test {

using namespace trellon;

class CreateFixture : public testing::Test {
protected:
    // A new object with its node, bound to the callback.
    Trellon* NewObjectWithNode() {
        obj = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
        node = scene.CreateObjectNode(obj);
        cb = obj->GetCreateMouseCallBack();
        mat = Matrix3(1);
        return obj;
    }
    int Send(int msg, int point, IPoint2 m) { return cb->proc(&vpt, msg, point, 0, m, mat); }
    // The first click at m, as point 0.
    int Click(IPoint2 m) { return Send(MOUSE_POINT, 0, m); }
    IParamBlock2* Block() { return obj->GetParamBlock(0); }
    float LogoSize() { return Block()->GetFloat(Logo_size, scene.GetTime()); }

    host::Scene scene;
    host::TopViewport vpt{0.5f};  // half a world unit per pixel
    Trellon* obj = nullptr;       // owned by its node, which the scene owns
    INode* node = nullptr;
    CreateMouseCallBack* cb = nullptr;
    Matrix3 mat;
};

}  // namespace create_test
