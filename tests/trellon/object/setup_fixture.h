// A set-up Trellon object in a host scene (the creation's shared entries in place, both
// generators seeded), with the scene nodes the set-up operations take: meshes whose vertices
// tell whose they are, lights, straight paths; and readers of the tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lifecycle_scene.h"
#include "object/item_tables.h"
#include "object/setup_fp.h"
#include "object/setup_ops.h"
#include "random.h"
#include "support/fake_light.h"
#include "support/param_tables.h"
#include "support/text_files.h"

namespace setup_test {

using namespace trellon;

using support::Join;

using support::FakeLight;

// A mesh of n vertices, vertex i at (tag, i, 0), so a point says whose mesh and which vertex it
// is, and n - 2 faces (tag faces more would not change anything the tests read).
inline TriObject* NewVertexRow(int n, float tag) {
    TriObject* tri = CreateNewTriObject();
    Mesh& m = tri->GetMesh();
    m.setNumVerts(n);
    m.setNumFaces(n > 2 ? n - 2 : 0);
    for (int i = 0; i < n; ++i) m.setVert(i, Point3(tag, static_cast<float>(i), 0.0f));
    for (int f = 0; f + 2 < n; ++f) {
        m.faces[f].setVerts(static_cast<DWORD>(f), static_cast<DWORD>(f + 1),
                            static_cast<DWORD>(f + 2));
    }
    return tri;
}

class SetupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        trellon::ItemTables(s.pb, 0).AppendSharedEntries();
        s.object->Generator.srand(7);
        trellon::RuntimeRandom().srand(1);
    }

    INode* Row(const wchar_t* name, int n, float tag) {
        return s.scene.CreateNamedNode(NewVertexRow(n, tag), MSTR(name));
    }
    INode* Light(const wchar_t* name) { return s.scene.CreateNamedNode(new FakeLight(), name); }
    INode* Line(const wchar_t* name, float length) {
        return s.AddPath(name, {{Point3(0.0f, 0.0f, 0.0f), Point3(length, 0.0f, 0.0f)}});
    }

    Trellon& Obj() { return *s.object; }
    trellon::TrellonSetupFP& Fp() {
        return *static_cast<trellon::TrellonSetupFP*>(
            dynamic_cast<FPMixinInterface*>(s.object->GetInterface(TRELLON_SETUP_INTERFACE)));
    }
    trellon::ItemTables Tables() { return trellon::ItemTables(s.pb, 0); }
    std::vector<std::string> Problems() { return Tables().CheckInvariants(); }

    std::vector<std::wstring> Names(ParamID id) { return support::Names(s.pb, id); }
    std::vector<std::wstring> NodeNames(ParamID id) { return support::NodeNames(s.pb, id); }
    std::vector<int> Ints(ParamID id) { return support::Ints(s.pb, id); }
    std::vector<float> Floats(ParamID id) { return support::Floats(s.pb, id); }
    std::vector<Point3> Points(ParamID id) { return support::Points(s.pb, id); }
    // The x of every cloud point: the tag of the mesh it came from.
    std::vector<float> CloudTags() {
        std::vector<float> v;
        for (const Point3& p : Points(Cloud_Points)) v.push_back(p.x);
        return v;
    }

    // Item k's node, from whichever list holds it.
    INode* NodeOfItem(int k) {
        trellon::ItemList list = trellon::ItemList::Objects;
        int index = 0;
        if (!Tables().Locate(k, list, index)) return nullptr;
        return s.pb->GetINode(trellon::kItemNodeLists[static_cast<std::size_t>(list)], 0, index);
    }
    // The mesh of a node made by Row, and its tag.
    static const Mesh& RowMesh(INode* node) {
        return static_cast<TriObject*>(node->GetObjectRef())->GetMesh();
    }
    float TagOfItem(int k) { return RowMesh(NodeOfItem(k)).getVert(0).x; }
    // Writes item k's tag into one zero-based and one shared entry of its own.
    void MarkEntries(int k) {
        s.pb->SetValue(Item_Repeat_Gap, 0, TagOfItem(k), k);
        s.pb->SetValue(Item_X_Scale, 0, TagOfItem(k), k + 1);
    }
    // Every table is parallel, and every item's entries (those MarkEntries wrote, the name, the
    // face count, the cloud block) are still its own.
    void ExpectEntriesFollowTheirItems() {
        int cloud = 0;
        for (int k = 0; k < s.pb->Count(Item_Names); ++k) {
            INode* node = NodeOfItem(k);
            ASSERT_NE(node, nullptr) << "item " << k;
            const Mesh& mesh = RowMesh(node);
            const float tag = mesh.getVert(0).x;
            EXPECT_EQ(std::wstring(s.pb->GetStr(Item_Names, 0, k)), std::wstring(node->GetName()));
            EXPECT_EQ(s.pb->GetFloat(Item_Repeat_Gap, 0, k), tag) << "item " << k;
            EXPECT_EQ(s.pb->GetFloat(Item_X_Scale, 0, k + 1), tag) << "item " << k;
            EXPECT_EQ(s.pb->GetInt(Item_Face_Count, 0, k), mesh.getNumFaces()) << "item " << k;
            const int n = s.pb->GetInt(Item_Cloud_Count, 0, k);
            EXPECT_EQ(n, mesh.getNumVerts()) << "item " << k;
            for (int i = 0; i < n && cloud + i < s.pb->Count(Cloud_Points); ++i)
                EXPECT_EQ(s.pb->GetPoint3(Cloud_Points, 0, cloud + i).x, tag) << "item " << k;
            cloud += n;
        }
        const std::vector<std::string> problems = Problems();
        EXPECT_TRUE(problems.empty()) << Join(problems);
    }

    lifecycle::TrellonScene s;
};

// Objects A, B, C (tags 1 to 3, 4, 5 and 6 vertices), a post P (tag 4) and an end object E
// (tag 5), added as a user would, their entries marked with their tags; one sequence row each
// for A, B and C, in groups 0, 1 and 2.
class FiveItems : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        const wchar_t* names[] = {L"A", L"B", L"C", L"P", L"E"};
        for (int i = 0; i < 5; ++i) trellon::AddItem(Obj(), Row(names[i], 4 + i, i + 1.0f));
        // Pattern 2: row 4 is object 3 (P), row 4 again after it is a post is E.
        trellon::MakePost(Obj(), 4);
        trellon::MakeEnd(Obj(), 4);
        for (int k = 0; k < 5; ++k) MarkEntries(k);
    }
    INode* Node(const wchar_t* name) { return s.scene.GetINodeByName(name); }
};

#define EXPECT_TABLES_PARALLEL()                                       \
    do {                                                               \
        const std::vector<std::string> problems_ = Problems();         \
        EXPECT_TRUE(problems_.empty()) << setup_test::Join(problems_); \
    } while (false)

}  // namespace setup_test
