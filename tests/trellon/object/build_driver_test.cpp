// The build driver in a host scene: a straight spline path, item nodes whose face counts are set
// through the block, and the object's mesh, Display_Mode, Geo_Array and warnings after a build.
//
// A straight path of length L with spacing 1 lays trunc(L) copies of an item, so a path of
// length n + 0.5 gives exactly n copies (n + 0.5 is exact in a float for these n).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mesh.h"
#include "object/lifecycle_scene.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "support/param_tables.h"
#include "triobj.h"
#include "windows.h"

using namespace trellon;

namespace {

const std::wstring kBox = L"There are too many polys to show, it will now switch to Bounding Box";
const std::wstring kDot = L"There are too many polys to show, it will now switch to Dot";
const std::wstring kNone = L"There are too many polys to show, it will now switch to None";

// The placeholder's counts: seven boxes of 8 corners and 12 triangles.
constexpr int kPlaceholderVerts = 56;
constexpr int kPlaceholderFaces = 84;

using support::Ints;
using support::SetInts;

class BuildDriver : public ::testing::Test {
protected:
    void SetUp() override {
        // Set-up edits are one list edit: no rebuild until Build().
        s.object->Ready = 0;
        float global = 1.0f;
        s.pb->Append(Item_Spacing, 1, &global);
    }
    void TearDown() override { s.object->ParamMaps[map_spline] = nullptr; }

    // A straight spline from the origin along +X, picked as the path.
    void AddLinePath(float length) {
        s.pb->SetValue(Spline_Obj, 0,
                       s.AddPath(L"Path", {{Point3(0, 0, 0), Point3(length, 0.0f, 0.0f)}}));
    }

    // A distribution object with its face count, cloud count and spacing.
    void AddObject(int faces, float spacing = 1.0f, int cloud = 0) {
        INode* node = s.scene.CreateObjectNode(CreateNewTriObject());
        s.pb->Append(Object_Nodes, 1, &node);
        s.pb->Append(Item_Face_Count, 1, &faces);
        s.pb->Append(Item_Cloud_Count, 1, &cloud);
        s.pb->Append(Item_Spacing, 1, &spacing);
    }

    // Any non-null pointer marks the spline rollout as open; it is never dereferenced.
    void OpenSplineRollout() {
        s.object->ParamMaps[map_spline] = reinterpret_cast<IParamMap2*>(&rolloutStandIn_);
    }

    // Builds at time t the way the host does after an edit, with notifications live.
    void Build(TimeValue t = 0) {
        s.object->Ready = 1;
        s.object->BuildMesh(t);
    }

    const std::vector<host::MessageRecord>& Messages() const { return s.scene.Messages(); }

    lifecycle::TrellonScene s;
    int rolloutStandIn_ = 0;
};

struct LimitCase {
    const char* name;
    int mode;
    float pathLength;
    std::vector<int> faces;  // per item
    bool forceDisplay;
    int finalMode;
    std::vector<std::wstring> messages;
    bool splineRolloutOpen = true;  // the user is warned only while it is open
    int solo = 0;
};

class BuildLimits : public BuildDriver, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(BuildLimits, SwitchesDisplayModeAndWarns) {
    const LimitCase& c = GetParam();
    s.pb->SetValue(Display_Mode, 0, c.mode);
    s.pb->SetValue(ForceDisplay, 0, c.forceDisplay ? 1 : 0);
    s.pb->SetValue(Object_Solo, 0, c.solo);
    AddLinePath(c.pathLength);
    for (int faces : c.faces) AddObject(faces);
    if (c.splineRolloutOpen) OpenSplineRollout();
    Build();
    EXPECT_EQ(s.pb->GetInt(Display_Mode, 0), c.finalMode);
    std::vector<std::wstring> texts;
    for (const host::MessageRecord& m : Messages()) {
        texts.push_back(m.text);
        EXPECT_EQ(m.caption, L"Too Many Polys");
        EXPECT_EQ(m.type, MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
    }
    EXPECT_EQ(texts, c.messages);
}

// Where each limit lies is the estimate's test (build_estimate_test.cpp); here the build
// applies it to what it counts on the path.
INSTANTIATE_TEST_SUITE_P(
    Table, BuildLimits,
    ::testing::Values(
        // 2,000 copies x 600 faces = 1,200,000 > 1,000,000.
        LimitCase{"FullMesh2000Copies", 6, 2000.5f, {600}, false, 2, {kBox}},
        // 5 x 80,001 = 400,005 > 400,000.
        LimitCase{"Proxy80001Copies", 4, 80001.5f, {1}, false, 1, {kDot}},
        LimitCase{"ForceDisplaySkipsTheEstimate", 6, 2000.5f, {600}, true, 6, {}},
        // 200,001 copies: F = 120,000,600, B = 1,000,005, N = 200,001 pass all three tests in
        // turn. The switches' own refreshes must not build (and warn) a second time.
        LimitCase{"ChainToNone", 6, 200001.5f, {600}, false, 0, {kBox, kDot, kNone}},
        LimitCase{"SplineRolloutClosedWarnsNobody", 6, 2000.5f, {600}, false, 2, {}, false},
        // 1,000 copies each of an item of 1,000 faces and one of 600 faces: 1,600,000 faces
        // together; item 0 alone gives exactly 1,000,000 (not over the limit), item 1 alone
        // 600,000.
        LimitCase{"BothItems", 6, 1000.5f, {1000, 600}, false, 2, {kBox}},
        LimitCase{"SoloFirstItem", 6, 1000.5f, {1000, 600}, false, 6, {}, true, 1},
        LimitCase{"SoloSecondItem", 6, 1000.5f, {1000, 600}, false, 6, {}, true, 2}),
    [](const ::testing::TestParamInfo<LimitCase>& c) { return c.param.name; });

struct PlaceholderCase {
    const char* name;
    bool path;
    bool item;
    int mode;
    bool showLogo;
    int verts;
};

class BuildPlaceholder : public BuildDriver,
                         public ::testing::WithParamInterface<PlaceholderCase> {};

// The placeholder at Logo_size 0.2 is drawn at the smallest size, 0.5: half the size-1 panel,
// 0.25 to either side in X.
TEST_P(BuildPlaceholder, HoldsThePlaceholderWhenItsConditionsHold) {
    const PlaceholderCase& c = GetParam();
    s.pb->SetValue(Display_Mode, 0, c.mode);
    s.pb->SetValue(Show_Logo, 0, c.showLogo ? 1 : 0);
    s.pb->SetValue(Logo_size, 0, 0.2f);
    if (c.path) AddLinePath(10.5f);
    if (c.item) AddObject(12);
    Build();
    EXPECT_EQ(s.object->mesh.getNumVerts(), c.verts);
    EXPECT_EQ(s.object->mesh.getNumFaces(), c.verts == 0 ? 0 : kPlaceholderFaces);
    if (c.verts > 0) {
        EXPECT_NEAR(s.object->mesh.getBoundingBox().pmax.x, 0.25f, 1e-6f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BuildPlaceholder,
    ::testing::Values(PlaceholderCase{"NothingAtAll", false, false, 6, false, kPlaceholderVerts},
                      PlaceholderCase{"NoItems", true, false, 6, false, kPlaceholderVerts},
                      PlaceholderCase{"DisplayNone", true, true, 0, false, kPlaceholderVerts},
                      // Point-cloud mode builds no mesh geometry of its own...
                      PlaceholderCase{"PointCloudBuildsNothing", true, true, 3, false, 0},
                      // ...but Show_Logo still puts the placeholder in front.
                      PlaceholderCase{"PointCloudWithLogo", true, true, 3, true,
                                      kPlaceholderVerts}),
    [](const ::testing::TestParamInfo<PlaceholderCase>& c) { return c.param.name; });

// (That the build is valid at its time only: the lifecycle's refresh test.)
TEST_F(BuildDriver, BuildEmptiesTheMesh) {
    s.object->mesh.setNumVerts(9);
    s.object->mesh.setNumFaces(4);
    s.object->mesh.setNumTVerts(5);
    s.pb->SetValue(Display_Mode, 0, 3);
    AddLinePath(10.5f);
    AddObject(12);
    Build(160);
    EXPECT_EQ(s.object->mesh.getNumVerts(), 0);
    EXPECT_EQ(s.object->mesh.getNumFaces(), 0);
    EXPECT_EQ(s.object->mesh.getNumTVerts(), 0);
}

// A path node whose object cannot become a spline shape distributes nothing: the estimate does
// not run, so even a million faces per copy leave the mode alone; nor is the placeholder shown,
// since a path is picked.
TEST_F(BuildDriver, PathThatIsNoShapeDistributesNothing) {
    s.pb->SetValue(Display_Mode, 0, 6);
    INode* notAShape = s.scene.CreateObjectNode(CreateNewTriObject());
    s.pb->SetValue(Spline_Obj, 0, notAShape);
    AddObject(1'000'000);
    Build();
    EXPECT_EQ(s.pb->GetInt(Display_Mode, 0), 6);
    EXPECT_EQ(s.object->mesh.getNumVerts(), 0);
    EXPECT_EQ(notAShape->GetObjectRef()->ClassID(), triObjectClassID);
}

struct GroupCase {
    const char* name;
    int pattern;
    int mode;
    std::vector<int> before;  // Geo_Array
    std::vector<int> after;
};

class BuildGroupSequence : public BuildDriver, public ::testing::WithParamInterface<GroupCase> {};

// A path of length 100.5 with global spacing 10 has M = 10 copy slots, three groups of one row.
// (Extending and the draws themselves are checked on the block alone in
// build_group_sequence_test.cpp.)
TEST_P(BuildGroupSequence, KeepsGeoArrayAtTheSlotCount) {
    const GroupCase& c = GetParam();
    s.pb->SetValue(Display_Mode, 0, c.mode);
    s.pb->SetValue(Geo_Pattern, 0, c.pattern);
    s.pb->SetValue(Item_Spacing, 0, 10.0f, 0);
    AddLinePath(100.5f);
    AddObject(12);
    SetInts(s.pb, Sequence_Items, {0, 0, 0});
    SetInts(s.pb, Sequence_Groups, {0, 1, 2});
    SetInts(s.pb, Geo_Array, c.before);
    Build();
    EXPECT_EQ(Ints(s.pb, Geo_Array), c.after);
}

const std::vector<int> kTen = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0};

INSTANTIATE_TEST_SUITE_P(
    Table, BuildGroupSequence,
    ::testing::Values(GroupCase{"CutToM", 0, 6, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 2, 2, 2}, kTen},
                      // Display None does not maintain it, nor does the list-order pattern.
                      GroupCase{"DisplayNoneLeavesIt", 0, 0, {1}, {1}},
                      GroupCase{"ListOrderPatternLeavesIt", 1, 6, {1}, {1}}),
    [](const ::testing::TestParamInfo<GroupCase>& c) { return c.param.name; });

}  // namespace
