#include "scene.h"

#include <gtest/gtest.h>

#include <memory>

#include "command_panel.h"
#include "triobj.h"
#include "windows.h"

namespace {

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
    // A deleted node leaves the scene (what its dependents hear, the module's tests watch).
    scene.DeleteNode(a);
    EXPECT_EQ(scene.GetINodeByName(L"Mesh001"), nullptr);
    EXPECT_EQ(scene.Nodes().size(), 1u);
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

TEST(Scene, RenamedAndDeletedNodesGiveUpTheirNames) {
    host::Scene scene;
    INode* a = scene.CreateNamedNode(nullptr, MSTR(L"Rail"));
    scene.CreateNamedNode(nullptr, MSTR(L"Rail"));  // taken: Rail001
    auto unique = [&](const wchar_t* asked) {
        MSTR name(asked);
        scene.MakeNameUnique(name);
        return name.str();
    };
    a->SetName(L"Post");
    EXPECT_EQ(unique(L"Rail"), L"Rail");  // the one "Rail" is now "Post"
    EXPECT_EQ(unique(L"Post"), L"Post001");
    EXPECT_EQ(unique(L"Rail001"), L"Rail002");
    scene.DeleteNode(scene.GetINodeByName(L"Rail001"));
    EXPECT_EQ(unique(L"Rail001"), L"Rail001");
    // Two nodes of one name (as a file may hold): the name stays taken until both go.
    INode* b = scene.CreateNamedNode(nullptr, MSTR(L"Gate"));
    INode* c = scene.CreateNamedNode(nullptr, MSTR(L"Gate001"));
    c->SetName(L"Gate");
    b->SetName(L"Arch");
    EXPECT_EQ(unique(L"Gate"), L"Gate001");
    c->SetName(L"Arch");
    EXPECT_EQ(unique(L"Gate"), L"Gate");
    EXPECT_EQ(unique(L"Arch"), L"Arch001");
    // The root's name is no node's.
    scene.GetRootNode()->SetName(L"Top");
    EXPECT_EQ(unique(L"Top"), L"Top");
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
