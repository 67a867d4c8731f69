// A host scene with one Trellon object, its items, shapes and path, a top viewport at one world
// unit per pixel over the origin (the world point (x, y) is on the screen at (x, -y)), and the
// host's recording graphics window attached to it.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "distribute/placement_fixture.h"
#include "graphwin.h"
#include "recording_window.h"
#include "viewport.h"

namespace display_test {

using namespace trellon;

// A box of the given half size centred on its pivot: 8 vertices (i & 1: +x, i & 2: +y, i & 4:
// +z), 12 faces.
inline TriObject* NewCentredBox(float half) {
    TriObject* tri = lifecycle::NewBox(2.0f * half);
    Mesh& m = tri->GetMesh();
    for (int i = 0; i < m.getNumVerts(); ++i) m.setVert(i, m.getVert(i) - Point3(half, half, half));
    return tri;
}

class DisplayScene : public placement_test::PlacementScene {
protected:
    void SetUp() override {
        PlacementScene::SetUp();
        object = s.object;
        pb = s.pb;
        node = s.objectNode;
        view.SetGraphicsWindow(&gw);
    }

    // An open polyline path through the points, picked as the path.
    INode* SetPath(std::initializer_list<Point3> points) {
        return PlacementScene::SetPath({lifecycle::Line{std::vector<Point3>(points), false}});
    }

    // A distribution object: a box of the given half size centred on its pivot, with its sample
    // points; the node at `at`. Returns its item index.
    int AddItem(float half, int kind = 0, std::vector<Point3> cloud = {},
                const Point3& at = Point3(0, 0, 0)) {
        const Point3 h(half, half, half);
        return AddMesh(NewCentredBox(half), -h, h, kind, std::move(cloud), at);
    }

    // A closed square profile of the given half size in its XY plane.
    int AddSweep(float half) {
        auto* shape = lifecycle::NewShape({{{Point3(-half, -half, 0.0f), Point3(half, -half, 0.0f),
                                             Point3(half, half, 0.0f), Point3(-half, half, 0.0f)},
                                            true}});
        INode* profile = s.scene.CreateNamedNode(shape, MSTR(L"Profile"));
        trellon::NewSweep n;
        n.node = profile;
        n.name = MSTR(L"Profile");
        n.steps = 0;
        return trellon::ItemTables(pb, 0).AddSweep(n);
    }

    void SetMode(int mode) { pb->SetValue(Display_Mode, 0, mode); }

    // The object as the host has it after an edit: rebuilt at time 0, notifications live.
    void Refresh() {
        object->Ready = 1;
        object->RefreshObject();
    }

    // What Display draws at time 0 (world space).
    host::DrawRecord Draw() {
        Refresh();
        gw.Take();
        displayResult = object->Display(0, node, &view, 0);
        return gw.Take();
    }

    int HitAt(int x, int y, ViewExp* v = nullptr) {
        IPoint2 p(x, y);
        return object->HitTest(0, node, HITTYPE_POINT, 0, 0, &p, v ? v : &view);
    }

    Trellon* object = nullptr;
    IParamBlock2* pb = nullptr;
    INode* node = nullptr;
    host::TopViewport view;
    host::RecordingGraphicsWindow gw{view};
    int displayResult = -1;
};

}  // namespace display_test
