// Scene objects: mesh caching of simple objects, conversion, render meshes, spline shapes,
// object states.
#include <gtest/gtest.h>

#include <memory>

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

TEST(ObjModelSimpleObject, ConvertsToATriObjectCopyOfTheMesh) {
    CountingObject obj;
    struct Case {
        Class_ID id;
        int can;
    };
    const Case cases[] = {{triObjectClassID, 1},
                          {defObjectClassID, 1},
                          {Class_ID(0x1234, 0x5678), 1},
                          {splineShapeClassID, 0}};
    for (const Case& c : cases) EXPECT_EQ(obj.CanConvertToType(c.id), c.can);

    Object* converted = obj.ConvertToType(250, triObjectClassID);
    auto* tri = dynamic_cast<TriObject*>(converted);
    ASSERT_NE(tri, nullptr);
    EXPECT_EQ(tri->GetMesh().getNumVerts(), 3);
    EXPECT_EQ(tri->GetMesh().verts[0].x, 250.0f);  // built at t = 250
    tri->GetMesh().setVert(0, 0.0f, 0.0f, 7.0f);   // a copy: the object's mesh is untouched
    EXPECT_EQ(obj.mesh.verts[0].z, 0.0f);
    tri->DeleteMe();
    EXPECT_EQ(obj.ConvertToType(0, defObjectClassID), &obj);
    EXPECT_EQ(obj.ConvertToType(0, splineShapeClassID), nullptr);

    Tab<Class_ID> ids;
    Tab<MSTR*> names;
    obj.GetCollapseTypes(ids, names);
    ASSERT_EQ(ids.Count(), 1);
    EXPECT_EQ(ids[0], triObjectClassID);
    EXPECT_EQ(*names[0], MSTR(_M("Editable Mesh")));
    delete names[0];
}

// A geometric object that converts to a TriObject only by building a new one.
class ConvertingGeom : public GeomObject {
public:
    ObjectState Eval(TimeValue) override { return ObjectState(this); }
    int CanConvertToType(Class_ID id) override {
        return id == triObjectClassID || GeomObject::CanConvertToType(id);
    }
    Object* ConvertToType(TimeValue t, Class_ID id) override {
        if (id != triObjectClassID) return GeomObject::ConvertToType(t, id);
        TriObject* tri = CreateNewTriObject();
        tri->mesh.setNumVerts(4);
        return tri;
    }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

class NullView : public View {
public:
    Point2 ViewToScreen(Point3 p) override { return Point2(p.x, p.y); }
};

TEST(ObjModelGeomObject, RenderMeshIsOwnedOrACopyToDelete) {
    NullView view;
    BOOL needDelete = TRUE;
    TriObject tri;
    tri.SetAFlag(A_LOCK_TARGET);
    EXPECT_EQ(tri.GetRenderMesh(0, nullptr, view, needDelete), &tri.mesh);
    EXPECT_FALSE(needDelete);

    ConvertingGeom geom;
    geom.SetAFlag(A_LOCK_TARGET);
    std::unique_ptr<Mesh> copy(geom.GetRenderMesh(0, nullptr, view, needDelete));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(needDelete);
    EXPECT_EQ(copy->getNumVerts(), 4);
}

}  // namespace
