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

    lifecycle::TrellonScene s;
};

#define EXPECT_TABLES_PARALLEL()                                       \
    do {                                                               \
        const std::vector<std::string> problems_ = Problems();         \
        EXPECT_TRUE(problems_.empty()) << setup_test::Join(problems_); \
    } while (false)

}  // namespace setup_test
