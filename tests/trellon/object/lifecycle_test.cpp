// A Trellon object's life in a host scene: its fields, the notifications it subscribes to, its
// reactions to parameter changes and to edits of its path, cloning and evaluation; its
// parameter block reference and its render interface.
#include <gtest/gtest.h>

#include <string>

#include "distribute/path_fixtures.h"
#include "hold.h"
#include "iparamb2.h"
#include "lifecycle_scene.h"
#include "notify.h"
#include "object/item_tables.h"
#include "object/trellon.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "random.h"
#include "render/render_fp.h"
#include "windows.h"

using namespace trellon;

namespace {

using lifecycle::TrellonScene;

// The generator's first draws for a seed, from the runtime's recurrence
// seed' = seed * 214013 + 2531011 (mod 2^32), draw = (seed' >> 16) & 0x7fff.
TEST(LifecycleFields, GeneratorIsSeededFromTheCalendarTime) {
    WinStandIn::SetFixedClock(1234);
    TrellonScene s;
    WinStandIn::UseSystemClock();
    // 1234 * 214013 + 2531011 = 266623053; 266623053 >> 16 = 4068.
    EXPECT_EQ(s.object->Generator.rand(), 4068);
}

TEST(LifecycleNotify, FrameEndRewindsTheVariantCursorsAndRenderEndEmptiesThem) {
    TrellonScene s;
    int renderTime = 160;
    BroadcastNotification(NOTIFY_PRE_RENDER, &renderTime);
    s.object->VariantCursors = {3, 0, 7};
    BroadcastNotification(NOTIFY_RENDER_PREEVAL, &renderTime);
    EXPECT_EQ(s.object->RenderTime, 160);
    EXPECT_EQ(s.object->VariantCursors, (std::vector<std::int32_t>{3, 0, 7}));
    BroadcastNotification(NOTIFY_POST_RENDERFRAME);
    EXPECT_EQ(s.object->VariantCursors, (std::vector<std::int32_t>{0, 0, 0}));
    BroadcastNotification(NOTIFY_POST_RENDER);
    EXPECT_TRUE(s.object->VariantCursors.empty());
    EXPECT_EQ(s.object->Ready, 1);
}

// What a parameter change does to the object, by display mode and readiness: rebuild at once
// (and redraw), only invalidate the mesh and redraw (the redraw's evaluation rebuilds; the proxy
// modes and the settings no rule rebuilds for), only invalidate (not ready: the next evaluation
// rebuilds), or nothing (a parameter nothing built reads).
enum class Outcome { Rebuilds, InvalidatesAndRedraws, Invalidates, Nothing };

struct ChangeCase {
    const char* name;
    ParamID id;
    int displayMode;
    int ready;
    Outcome outcome;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class LifecycleChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(LifecycleChange, ReachesTheNextBuildAsTheParameterGroupSays) {
    const ChangeCase& c = GetParam();
    TrellonScene s;
    // The "All Objects" and "All Sweeps" entries and one pool value, so the tables can be
    // written.
    trellon::ItemTables(s.pb, 0).AppendSharedEntries();
    s.pb->Append(Pool_Z_Pos, 1, static_cast<float*>(nullptr));
    s.pb->SetValue(Display_Mode, 0, c.displayMode);
    s.object->UpdateMesh(0);
    ASSERT_TRUE(s.object->ivalid.InInterval(0));
    s.object->Ready = c.ready;
    INode* picked = s.AddBox(L"Picked", 1.0f);
    const int before = s.Refreshes();
    switch (s.pb->GetParameterType(c.id)) {
        case TYPE_INT:
        case TYPE_BOOL:
            s.pb->SetValue(c.id, 0, s.pb->GetInt(c.id) == 0 ? 1 : 0);
            break;
        case TYPE_FLOAT:
            s.pb->SetValue(c.id, 0, s.pb->GetFloat(c.id) + 1.0f);
            break;
        case TYPE_FLOAT_TAB:
            s.pb->SetValue(c.id, 0, 12.5f, 0);
            break;
        case TYPE_INODE_TAB:
            s.pb->Append(c.id, 1, &picked);
            break;
        default:
            FAIL() << "no change written for parameter " << c.id;
    }
    const bool redraws =
        c.outcome == Outcome::Rebuilds || c.outcome == Outcome::InvalidatesAndRedraws;
    const bool valid = c.outcome == Outcome::Rebuilds || c.outcome == Outcome::Nothing;
    EXPECT_EQ(s.Refreshes() - before, redraws ? 1 : 0);
    EXPECT_EQ(s.object->ivalid.InInterval(0), valid);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, LifecycleChange,
    ::testing::Values(
        // Layout: every mode.
        ChangeCase{"Pattern_Mode6", Geo_Pattern, 6, 1, Outcome::Rebuilds},
        ChangeCase{"DisplayMode_Mode1", Display_Mode, 1, 1, Outcome::Rebuilds},
        ChangeCase{"Pattern_NotReady", Geo_Pattern, 6, 0, Outcome::Invalidates},
        // Per-item settings: the mesh modes (4 to 6) rebuild; in the proxy modes the change
        // reaches the next draw, whose evaluation rebuilds (regression: it never did).
        ChangeCase{"ItemSpacing_Mode6", Item_Spacing, 6, 1, Outcome::Rebuilds},
        ChangeCase{"ItemSpacing_Mode3", Item_Spacing, 3, 1, Outcome::InvalidatesAndRedraws},
        // Sweep settings likewise.
        ChangeCase{"SweepSideOffset_Mode6", Sweep_Side_Offset, 6, 1, Outcome::Rebuilds},
        ChangeCase{"SweepEndTrim_Mode3", Sweep_End_Trim, 3, 1, Outcome::InvalidatesAndRedraws},
        // Spline steps: the mesh modes rebuild, when ready.
        ChangeCase{"SplineSteps_Mode6", Spline_Steps, 6, 1, Outcome::Rebuilds},
        // Settings no rule rebuilds for still reach the next build (regression: a pool or
        // DetachPath changed through the block left a stale mesh).
        ChangeCase{"Pool_Mode6", Pool_Z_Pos, 6, 1, Outcome::InvalidatesAndRedraws},
        ChangeCase{"DetachPath_Mode6", DetachPath, 6, 1, Outcome::InvalidatesAndRedraws},
        // Picked nodes: from mode 4 up, though the build does not read them.
        ChangeCase{"PickedNodes_Mode4", Picked_Nodes_50, 4, 1, Outcome::Rebuilds},
        ChangeCase{"PickedNodes_Mode3", Picked_Nodes_50, 3, 1, Outcome::Nothing},
        // Parameters no build reads.
        ChangeCase{"GeoSpacing", Geo_Spacing, 6, 1, Outcome::Nothing}),
    [](const ::testing::TestParamInfo<ChangeCase>& tp) { return std::string(tp.param.name); });

class LifecyclePath : public ::testing::Test {
protected:
    void SetUp() override {
        // A 3-4-5 line: length 50.
        path = s.AddPath(L"Path", {{Point3(0, 0, 0), Point3(30, 40, 0)}});
        s.pb->SetValue(Spline_Obj, 0, path);
    }
    SplineShape* PathShape() { return dynamic_cast<SplineShape*>(path->GetObjectRef()); }

    TrellonScene s;
    INode* path = nullptr;
};

// Outside the mesh modes an edit of the path is not measured; in them it is.
TEST_F(LifecyclePath, EditingThePathSplineUpdatesItsLength) {
    SplineShape* shape = PathShape();
    ASSERT_NE(shape, nullptr);
    // The knot moves to (60, 80): twice the 3-4-5 line, length 100.
    shape->shape.GetSpline(0)->SetKnotPoint(1, Point3(60, 80, 0));
    shape->shape.GetSpline(0)->ComputeBezPoints();
    shape->shape.InvalidateGeomCache();
    s.pb->SetValue(Display_Mode, 0, 3);
    shape->NotifyDependents(FOREVER, PART_GEOM, REFMSG_CHANGE);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length), 50.0f, 1e-3f);
    s.pb->SetValue(Display_Mode, 0, 6);
    const int before = s.Refreshes();
    shape->NotifyDependents(FOREVER, PART_GEOM, REFMSG_CHANGE);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length), 100.0f, 1e-3f);
    EXPECT_EQ(s.Refreshes(), before + 1);
    // A second spline of length 10 joins: the path is the sum of its splines.
    Spline3D* extra = shape->shape.NewSpline();
    for (const Point3 p : {Point3(0, 0, 5), Point3(10, 0, 5)})
        extra->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_LINE, p, p, p));
    extra->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->shape.InvalidateGeomCache();
    shape->NotifyDependents(FOREVER, PART_GEOM, REFMSG_CHANGE);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length), 110.0f, 1e-3f);
}

TEST_F(LifecyclePath, SplineStepsReachThePathOnlyWhileTheSplineRolloutIsOpen) {
    s.pb->SetValue(Spline_Steps, 0, 2);
    EXPECT_EQ(PathShape()->GetSteps(), 6);  // the shape's own default
    // Any non-null slot marks the rollout open; the object never calls through it here.
    int rollout = 0;
    s.object->ParamMaps[map_spline] = reinterpret_cast<IParamMap2*>(&rollout);
    s.pb->SetValue(Spline_Steps, 0, 3);
    EXPECT_EQ(PathShape()->GetSteps(), 3);
    s.object->ParamMaps[map_spline] = nullptr;
}

TEST_F(LifecyclePath, DeletingThePathOrTheCameraEmptiesItAndAsksForANewOne) {
    INode* camera = s.AddBox(L"Camera", 1.0f);
    s.pb->SetValue(CamNode, 0, camera);
    EXPECT_TRUE(s.object->CameraLabel.isNull());
    s.Delete(path);
    EXPECT_EQ(s.pb->GetINode(Spline_Obj), nullptr);
    EXPECT_EQ(std::wstring(s.object->PathLabel.data()), L"< Pick Spline Path >");
    s.Delete(camera);
    EXPECT_EQ(std::wstring(s.object->CameraLabel.data()), L"< Pick Camera >");
}

// A plain path is left as it is; a modifier on it is baked in without an undo step.
TEST_F(LifecyclePath, AModifierOnThePathIsBakedInWithoutAnUndoStep) {
    Object* plain = path->GetObjectRef();
    path->NotifyDependents(FOREVER, PART_ALL, REFMSG_SUBANIM_STRUCTURE_CHANGED);
    EXPECT_EQ(path->GetObjectRef(), plain);
    // The path with a modifier on it, whose result is the line stretched to twice its length.
    bool stackGone = false;
    Object* stretched = lifecycle::NewShape({{{Point3(0, 0, 0), Point3(60, 80, 0)}, false}});
    path->SetObjectRef(new lifecycle::DerivedObject(nullptr, stretched, &stackGone));
    const int steps = theHold.NumUndoSteps();
    // The host adds a modifier inside an undoable step and tells the node's dependents.
    theHold.Begin();
    path->NotifyDependents(FOREVER, PART_ALL, REFMSG_SUBANIM_STRUCTURE_CHANGED);
    theHold.Accept(_M("Add Modifier"));
    EXPECT_EQ(theHold.NumUndoSteps(), steps);
    EXPECT_FALSE(theHold.IsSuspended());
    // A plain shape with the modifier's effect: the stretched line, length 100.
    Object* now = path->GetObjectRef();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->ClassID(), splineShapeClassID);
    EXPECT_TRUE(stackGone);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length), 100.0f, 1e-3f);
}

TEST(LifecycleClone, SharesTheNodesAndIsIndependentAfterwards) {
    TrellonScene s;
    INode* path = s.AddPath(L"Path", {{Point3(0, 0, 0), Point3(100, 0, 0)}});
    INode* box = s.AddBox(L"Box", 2.0f);
    s.pb->SetValue(Spline_Obj, 0, path);
    s.pb->Append(Object_Nodes, 1, &box);
    float spacing[2] = {10.0f, 20.0f};
    s.pb->Append(Item_Spacing, 2, spacing);

    const int before = s.Refreshes();
    RemapDir* remap = NewDefaultRemapDir();
    auto* copy = dynamic_cast<Trellon*>(remap->CloneRef(s.object));
    remap->DeleteThis();
    ASSERT_NE(copy, nullptr);
    // The copy refreshed once on its own.
    EXPECT_EQ(s.Refreshes(), before + 1);
    IParamBlock2* cpb = copy->GetParamBlock(0);
    ASSERT_NE(cpb, nullptr);
    EXPECT_NE(cpb, s.pb);
    EXPECT_EQ(cpb->GetOwner(), copy);
    EXPECT_EQ(cpb->GetINode(Spline_Obj), path);
    EXPECT_EQ(cpb->GetINode(Object_Nodes, 0, 0), box);
    EXPECT_EQ(cpb->GetFloat(Item_Spacing, 0, 1), 20.0f);

    cpb->SetValue(Item_Spacing, 0, 35.0f, 1);
    cpb->SetValue(Geo_Pattern, 0, 0);
    EXPECT_EQ(s.pb->GetFloat(Item_Spacing, 0, 1), 20.0f);
    EXPECT_EQ(s.pb->GetInt(Geo_Pattern), 2);
    copy->DeleteMe();
    // The source still holds its nodes.
    EXPECT_EQ(s.pb->GetINode(Object_Nodes, 0, 0), box);
}

TEST(LifecycleRefresh, RebuildsAtTheHostTimeAndTellsTheNode) {
    TrellonScene s;
    s.scene.SetTime(960, FALSE);
    const int before = s.Refreshes();
    s.object->RefreshObject();
    EXPECT_EQ(s.object->Time, 960);
    EXPECT_TRUE(s.object->ivalid.InInterval(960));
    // The object is valid for the one instant it was built at: the host evaluates it anew at
    // every other time.
    EXPECT_EQ(s.object->ObjectValidity(960), Interval(960, 960));
    EXPECT_EQ(s.Refreshes(), before + 1);
}

using path_fixtures::NewObject;
using path_fixtures::ObjectPtr;

TEST(TrellonObject, ReplacingReferenceZeroSwapsTheBlockAndOtherSlotsAreRefused) {
    ObjectPtr obj = NewObject();
    ObjectPtr other = NewObject();
    IParamBlock2* mine = obj->GetParamBlock(0);
    IParamBlock2* theirs = other->GetParamBlock(0);
    EXPECT_EQ(obj->ReplaceReference(1, theirs), REF_FAIL);
    EXPECT_EQ(obj->GetParamBlock(0), mine);
    EXPECT_EQ(obj->ReplaceReference(0, theirs), REF_SUCCEED);
    EXPECT_EQ(obj->GetParamBlock(0), theirs);
}

// ----- The render interface --------------------------------------------------------------------

FPInterface* RenderInterface(Trellon* obj) {
    return static_cast<FPInterface*>(obj->GetInterface(TRELLON_RENDER_INTERFACE));
}

// The object hands out its render interface by its ID only, and answers the fixed functions;
// a missing argument raises the array exception.
TEST(TrellonRender, TheObjectHandsOutItsInterfaceByIDAndAnswersTheFixedFunctions) {
    ObjectPtr obj = NewObject();
    FPInterface* fp = RenderInterface(obj.get());
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(fp, static_cast<KavoInstancer::TrellonRenderFP*>(obj.get()));
    EXPECT_EQ(fp->GetID(), Interface_ID(0x602C557F, 0x4BF751AD));
    EXPECT_EQ(obj->GetInterface(Interface_ID(0x602C557F, 0x4BF751AE)), nullptr);
    // Asked through the interface, the object still answers: the object's GetInterface is the
    // final one for both of its bases.
    EXPECT_EQ(fp->GetInterface(TRELLON_RENDER_INTERFACE), fp);

    FPValue result;
    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kGetVersion, result), FPS_OK);
    EXPECT_EQ(result.type, TYPE_FLOAT);
    EXPECT_FLOAT_EQ(result.f, 1.0f);

    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kGetExtraNode, result), FPS_OK);
    EXPECT_EQ(result.type, TYPE_INODE);
    EXPECT_EQ(result.n, nullptr);

    FPParams args{FPValue(TYPE_INT, 3)};
    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kIsSourceUsed, result, &args), FPS_OK);
    EXPECT_EQ(result.type, TYPE_BOOL);
    EXPECT_EQ(result.i, TRUE);
    FPParams none;
    EXPECT_THROW(fp->Invoke(KavoInstancer::TrellonRenderFP::kIsSourceUsed, result, &none),
                 MaxSDK::Util::ArrayOutOfRangeException);
}

}  // namespace
