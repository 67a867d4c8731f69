// Scene objects: mesh caching of simple objects, conversion, render meshes, spline shapes,
// object states.
#include <gtest/gtest.h>

#include "objmodel_fakes.h"
#include "simpobj.h"
#include "triobj.h"

namespace {

using objmodel_fakes::FakeNode;

// A triangle whose first vertex sits at x = t; each build holds for the 100 ticks from t on.
class CountingObject : public SimpleObjectBase {
public:
    int builds = 0;
    void BuildMesh(TimeValue t) override {
        ++builds;
        mesh.setNumVerts(3);
        mesh.setNumFaces(1);
        mesh.setVert(0, static_cast<float>(t), 0.0f, 0.0f);
        mesh.setVert(1, 10.0f, 0.0f, 0.0f);
        mesh.setVert(2, 0.0f, 10.0f, 0.0f);
        mesh.faces[0].setVerts(0, 1, 2);
        ivalid.Set(t, t + 100);
    }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

struct UpdateStep {
    TimeValue t;
    bool invalidateFirst;
    int buildsAfter;
};

TEST(ObjModelSimpleObject, UpdateMeshRebuildsOnlyOutsideTheValidity) {
    // Builds at 0 (valid 0..100); 50 and 100 are inside; 101 is outside (valid 101..201); 150
    // is inside but the validity was emptied; -1 is outside 150..250.
    const UpdateStep steps[] = {{0, false, 1},   {50, false, 1}, {100, false, 1},
                                {101, false, 2}, {150, true, 3}, {-1, false, 4}};
    CountingObject obj;
    for (const UpdateStep& s : steps) {
        if (s.invalidateFirst) obj.InvalidateMesh();
        obj.UpdateMesh(s.t);
        EXPECT_EQ(obj.builds, s.buildsAfter) << "at t = " << s.t;
    }
    EXPECT_EQ(obj.mesh.verts[0].x, -1.0f);
    EXPECT_EQ(obj.ObjectValidity(-1), Interval(-1, 99));
}

}  // namespace
