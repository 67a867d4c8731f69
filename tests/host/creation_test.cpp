// Creating Trellon objects the way the host does, through the loaded module's class descriptor.
#include "creation.h"

#include <gtest/gtest.h>

#include <vector>

#include "ilayer.h"
#include "module_scene_fixture.h"
#include "triobj.h"
#include "viewport.h"

namespace {

const MCHAR* const kLayer = L"Kavo_Trellon_Objects";

class Creation : public ModuleSceneTest {
protected:
    // A parameter read by name, as the scene files name them.
    float Float(INode* node, const MCHAR* name) {
        IParamBlock2* pb = node->GetObjectRef()->GetParamBlock(0);
        return pb->GetFloat(Id(pb, name), 0);
    }
    ILayer* TrellonLayer() { return scene->Layers().GetLayer(MSTR(kLayer)); }
};

// Half a unit per pixel: the press (100, 100) is over (50, -50, 0); a release at (130, 60) is a
// drag of 40 px up the screen, 20 units along +Y, so Logo_size is 20. (The object's own answer to
// the clicks, its axes, colour and materials, is the module's tests' business.)
TEST_F(Creation, AClickAndDragPlacesAndSizesTheObject) {
    host::TopViewport vpt(0.5f);
    INode* node = host::CreateInteractively(*scene, cd, IPoint2(100, 100), IPoint2(130, 60), vpt);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->GetName(), L"Trellon_001");
    EXPECT_FLOAT_EQ(Float(node, L"Logo_size"), 20.0f);
    EXPECT_EQ(node->GetNodeTM(0).GetTrans(), Point3(50, -50, 0));
}

struct Aborted {
    std::vector<host::MouseEvent> events;
    int messages;  // what the callback heard, the host's closing abort included
};

class CreationAbort : public Creation, public testing::WithParamInterface<Aborted> {};

// An abort after the first click removes the node, and the object with it.
TEST_P(CreationAbort, RemovesTheNodeAndTheObject) {
    host::TopViewport vpt;
    const host::CreationResult r = host::RunCreation(*scene, cd, vpt, GetParam().events);
    EXPECT_EQ(r.code, CREATE_ABORT);
    EXPECT_EQ(r.node, nullptr);
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.messages, GetParam().messages);
    EXPECT_TRUE(scene->Nodes().empty());
    if (TrellonLayer()) {
        EXPECT_EQ(TrellonLayer()->GetNumNodes(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, CreationAbort,
    testing::Values(
        // Right click while dragging.
        Aborted{{{MOUSE_POINT, IPoint2(0, 0)}, {MOUSE_MOVE, IPoint2(0, -9)}, {MOUSE_ABORT, {}}}, 3},
        // The events end before the release: the host aborts.
        Aborted{{{MOUSE_POINT, IPoint2(0, 0)}, {MOUSE_MOVE, IPoint2(0, -9)}}, 3},
        // Nothing but free moves: no node was ever made.
        Aborted{{{MOUSE_FREEMOVE, IPoint2(1, 1)}}, 2}));

// No class is no creation; seeding goes through a function the object publishes (the scene
// files' "seed" runs it), and an object that publishes none is told apart; a node without an
// object is not set up.
TEST_F(Creation, RefusesWhatIsNoObjectClassOrPublishesNoSeeding) {
    host::TopViewport vpt;
    const host::MouseEvent events[] = {{MOUSE_POINT, IPoint2(0, 0)}};
    host::CreationResult r = host::RunCreation(*scene, nullptr, vpt, events);
    EXPECT_EQ(r.node, nullptr);
    EXPECT_EQ(r.error, "no class to create");
    INode* plain = scene->CreateObjectNode(CreateNewTriObject());
    std::string error;
    EXPECT_FALSE(host::SeedObjectGenerator(*scene, plain->GetObjectRef(), 42, error));
    EXPECT_EQ(error, "the object publishes no function seedGenerator");
    // The scene files' "create" needs an object on the node. (A logo size out of range is
    // refused in the scene file refusals.)
    EXPECT_FALSE(host::RunCreateOperation(*scene, scene->CreateObjectNode(nullptr),
                                          host::CreateOptions(), error));
    EXPECT_EQ(error, "the node holds no object to set up");
}

// The scene file's "create" on a node placed and turned by the file: the node is squared to the
// world at its own position, and the logo gets its size.
TEST_F(Creation, TheSceneOperationSetsUpAnExistingNode) {
    auto* obj = static_cast<Object*>(cd->Create(FALSE));
    INode* node = scene->CreateObjectNode(obj);
    Matrix3 turned = RotateZMatrix(0.7f);
    turned.SetTrans(Point3(5, 6, 7));
    node->SetNodeTM(0, turned);
    host::CreateOptions options;
    options.logoSize = 12.5f;
    std::string error;
    ASSERT_TRUE(host::RunCreateOperation(*scene, node, options, error)) << error;
    const Matrix3 tm = node->GetNodeTM(0);
    EXPECT_EQ(tm.GetRow(0), Point3(1, 0, 0));
    EXPECT_EQ(tm.GetRow(1), Point3(0, 1, 0));
    EXPECT_EQ(tm.GetTrans(), Point3(5, 6, 7));
    EXPECT_FLOAT_EQ(Float(node, L"Logo_size"), 12.5f);
    ASSERT_NE(TrellonLayer(), nullptr);
    EXPECT_EQ(TrellonLayer()->GetNumNodes(), 1);
}

}  // namespace
