#include "scene.h"

#include <gtest/gtest.h>

#include <memory>

#include "command_panel.h"
#include "ifnpub.h"
#include "imtl.h"
#include "maxscript/maxscript.h"
#include "splshape.h"
#include "triobj.h"
#include "windows.h"

namespace {

// A maker that refers to one node and records what it hears.
class NodeWatcher : public ReferenceMaker {
public:
    explicit NodeWatcher(INode* n) { ReplaceReference(0, n); }
    ~NodeWatcher() override { DeleteAllRefsFromMe(); }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int) override { return node; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage message,
                               BOOL) override {
        messages.push_back(message);
        return REF_SUCCEED;
    }
    INode* node = nullptr;
    std::vector<RefMessage> messages;

private:
    void SetReference(int, RefTargetHandle t) override { node = dynamic_cast<INode*>(t); }
};

TEST(Scene, NewNodesAreNumberedAfterTheObjectsNodeName) {
    host::Scene scene;
    INode* a = scene.CreateObjectNode(CreateNewTriObject());  // "Mesh" + 001
    INode* b = scene.CreateObjectNode(CreateNewTriObject());
    EXPECT_STREQ(a->GetName(), L"Mesh001");
    EXPECT_STREQ(b->GetName(), L"Mesh002");
    EXPECT_NE(a->GetHandle(), b->GetHandle());
    EXPECT_EQ(scene.GetINodeByName(L"Mesh002"), b);
    EXPECT_EQ(scene.GetINodeByHandle(a->GetHandle()), a);
    EXPECT_EQ(scene.GetRootNode()->NumberOfChildren(), 2);
}

struct UniqueNameCase {
    const wchar_t* taken;
    const wchar_t* asked;
    const wchar_t* expected;
};

class SceneMakeNameUnique : public testing::TestWithParam<UniqueNameCase> {};

TEST_P(SceneMakeNameUnique, KeepsFreeNamesAndNumbersTakenOnes) {
    host::Scene scene;
    scene.CreateNamedNode(nullptr, MSTR(GetParam().taken));
    MSTR name(GetParam().asked);
    scene.MakeNameUnique(name);
    EXPECT_EQ(name.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, SceneMakeNameUnique,
                         testing::Values(UniqueNameCase{L"Rail", L"Fence", L"Fence"},
                                         UniqueNameCase{L"Rail", L"Rail", L"Rail001"},
                                         UniqueNameCase{L"TL_Rail", L"TL_Rail", L"TL_Rail001"},
                                         UniqueNameCase{L"Rail007", L"Rail007", L"Rail001"}));

TEST(Scene, DeletingANodeTellsItsDependentsAndNullsTheirReference) {
    host::Scene scene;
    INode* n = scene.CreateObjectNode(CreateNewTriObject());
    NodeWatcher watcher(n);
    scene.DeleteNode(n);
    EXPECT_EQ(watcher.node, nullptr);
    ASSERT_FALSE(watcher.messages.empty());
    EXPECT_EQ(watcher.messages.back(), REFMSG_TARGET_DELETED);
    EXPECT_EQ(scene.Nodes().size(), 0u);
    EXPECT_EQ(scene.GetINodeByName(L"Mesh001"), nullptr);
}

TEST(Scene, ObjectTransformIsTheOffsetFollowedByTheNodeTransform) {
    host::Scene scene;
    INode* n = scene.CreateObjectNode(CreateNewTriObject());
    Matrix3 tm = RotateZMatrix(HALFPI);  // +X -> +Y
    tm.SetTrans(Point3(10, 0, 0));
    n->SetNodeTM(0, tm);
    n->SetObjOffsetPos(Point3(1, 0, 0));
    // The object's origin sits 1 along the pivot's X, which the node turns to +Y: (10, 1, 0).
    const Point3 origin = Point3(0, 0, 0) * n->GetObjectTM(0);
    EXPECT_NEAR(origin.x, 10.0f, 1e-5f);
    EXPECT_NEAR(origin.y, 1.0f, 1e-5f);
    const ObjectState& os = n->EvalWorldState(0);
    ASSERT_NE(os.GetTM(), nullptr);
    EXPECT_TRUE(os.GetTM()->Equals(n->GetObjectTM(0), 1e-6f));
}

TEST(Scene, NodesGoOnTheCurrentLayerAndLayersAreCreatedOnce) {
    host::Scene scene;
    ILayerManager* lm = scene.GetLayerManager();
    MSTR name(_M("Fences"));
    ILayer* fences = lm->CreateLayer(name);
    lm->SetCurrentLayer(name);
    INode* n = scene.CreateObjectNode(CreateNewTriObject());
    EXPECT_EQ(n->GetReference(NODE_LAYER_REF), fences);
    EXPECT_EQ(fences->GetNumNodes(), 1);
    fences->Hide(true);
    EXPECT_EQ(n->IsHidden(), 0);
    EXPECT_EQ(n->IsHidden(HIDE_CHECK_LAYER), 1);
    EXPECT_EQ(scene.Layers().CreatedCount(), 1);
    lm->GetLayer(MSTR(_M("0")))->AddToLayer(n);
    EXPECT_EQ(fences->GetNumNodes(), 0);
}

// A command that loads a second scene while the first still exists (the panel's own scene beside
// a loaded one) must keep the newer scene's answers and records when the older one goes.
TEST(Scene, AnOlderSceneGoingLeavesTheNewerScenesHandlers) {
    auto older = std::make_unique<host::Scene>();
    host::Scene newer;
    older.reset();
    EXPECT_EQ(GetCOREInterface(), &newer);
    newer.SetMessageAnswer(L"Car Paint", IDNO);
    EXPECT_EQ(MessageBox(nullptr, L"Convert?", L"Car Paint", MB_YESNO), IDNO);
    EXPECT_EQ(newer.Messages().size(), 1u);
    ShellExecute(nullptr, L"open", L"https://example.org/help", nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_EQ(newer.Panel().OpenedPages().size(), 1u);
    EXPECT_EQ(newer.Panel().OpenedPages()[0], L"https://example.org/help");
}

}  // namespace
