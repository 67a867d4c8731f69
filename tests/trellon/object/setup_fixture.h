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

namespace setup_test {

// A light: super class 0x30 and nothing else; lights have no geometry of their own.
class FakeLight : public Object {
public:
    SClass_ID SuperClassID() override { return LIGHT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1011, 0); }
    void GetClassName(MSTR& s) override { s = MSTR(L"Omnilight"); }
    const MCHAR* GetObjectName() override { return L"Omnilight"; }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    int IsRenderable() override { return 0; }
    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }
};

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

inline std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
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
    TrellonSetupFP& Fp() {
        return *static_cast<TrellonSetupFP*>(
            dynamic_cast<FPMixinInterface*>(s.object->GetInterface(TRELLON_SETUP_INTERFACE)));
    }
    trellon::ItemTables Tables() { return trellon::ItemTables(s.pb, 0); }
    std::vector<std::string> Problems() { return Tables().CheckInvariants(); }

    std::vector<std::wstring> Names(ParamID id) {
        std::vector<std::wstring> v;
        for (int i = 0; i < s.pb->Count(id); ++i) v.emplace_back(s.pb->GetStr(id, 0, i));
        return v;
    }
    std::vector<std::wstring> NodeNames(ParamID id) {
        std::vector<std::wstring> v;
        for (int i = 0; i < s.pb->Count(id); ++i) {
            INode* n = s.pb->GetINode(id, 0, i);
            v.emplace_back(n ? n->GetName() : L"null");
        }
        return v;
    }
    std::vector<int> Ints(ParamID id) {
        std::vector<int> v;
        for (int i = 0; i < s.pb->Count(id); ++i) v.push_back(s.pb->GetInt(id, 0, i));
        return v;
    }
    std::vector<float> Floats(ParamID id) {
        std::vector<float> v;
        for (int i = 0; i < s.pb->Count(id); ++i) v.push_back(s.pb->GetFloat(id, 0, i));
        return v;
    }
    std::vector<Point3> Points(ParamID id) {
        std::vector<Point3> v;
        for (int i = 0; i < s.pb->Count(id); ++i) v.push_back(s.pb->GetPoint3(id, 0, i));
        return v;
    }
    // The x of every cloud point: the tag of the mesh it came from.
    std::vector<float> CloudTags() {
        std::vector<float> v;
        for (const Point3& p : Points(Cloud_Points)) v.push_back(p.x);
        return v;
    }

    lifecycle::TrellonScene s;
};

#define EXPECT_TABLES_PARALLEL()                                       \
    do {                                                               \
        const std::vector<std::string> problems_ = Problems();         \
        EXPECT_TRUE(problems_.empty()) << setup_test::Join(problems_); \
    } while (false)

}  // namespace setup_test
