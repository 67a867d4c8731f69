// The published set-up interface: how a caller finds it, calls by name, and what a refused
// call reports; and a long random run of set-up operations after which every table is still
// parallel to its items.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "plugin/plugin.h"
#include "setup_fixture.h"

using namespace trellon;

namespace setup_test {
namespace {

class SetupInterface : public SetupFixture {
protected:
    // Calls fn by name with the arguments; the status, and the message in why.
    FPStatus Call(const wchar_t* fn, std::vector<FPNamedArg> args) {
        FPValue result;
        why = MSTR();
        return Fp().InvokeByName(fn, result, args, &why, 0);
    }
    static FPNamedArg Node(INode* n) { return {MSTR(L"node"), FPValue(TYPE_INODE, n)}; }
    static FPNamedArg RowArg(int r) { return {MSTR(L"row"), FPValue(TYPE_INT, r)}; }
    std::string Why() const { return why.ToUTF8(); }
    FPValue Query(const wchar_t* fn) {
        FPValue result;
        EXPECT_EQ(Fp().InvokeByName(fn, result, {}, &why, 0), FPS_OK) << Why();
        return result;
    }
    template <class T>
    static std::vector<T> ToVector(const Tab<T>* t) {
        std::vector<T> v;
        for (int i = 0; t && i < t->Count(); ++i) v.push_back((*t)[i]);
        return v;
    }

    MSTR why;
};

TEST_F(SetupInterface, IsListedWithTheClassAndAnsweredByTheObject) {
    ClassDesc2* cd = trellon::GetTrellonDesc();
    FPInterface* listed = cd->GetInterface(TRELLON_SETUP_INTERFACE);
    ASSERT_NE(listed, nullptr);
    FPInterfaceDesc* desc = listed->GetDesc();
    EXPECT_EQ(desc->internal_name, MSTR(L"trellonSetup"));
    EXPECT_TRUE(desc->flags & FP_MIXIN);
    EXPECT_TRUE(desc->errors.empty());
    // (Listed once, however many objects the class makes: the module's load test.) The object
    // answers with itself.
    EXPECT_EQ(&Fp().SetupTarget(), s.object);
}

// The queries answer per item in item order (objects, posts, end objects). On a straight path of
// 100 (spacings a tenth, 10; KnotSpacing 20) in the per-object pattern: A every 10 from 0 to
// 100 is 11 copies; the post B at both knots and at the 4 points dividing the span into
// 100 / 20 = 5 parts is 6; the end object C at both ends of the one open spline is 2.
TEST_F(SetupInterface, QueriesCountTheCopiesOfEveryItem) {
    INode* a = Row(L"A", 5, 1.0f);
    INode* b = Row(L"B", 6, 2.0f);
    INode* c = Row(L"C", 7, 3.0f);
    ASSERT_EQ(Call(L"pickPath", {Node(Line(L"Path", 100.0f))}), FPS_OK) << Why();
    for (INode* n : {a, b, c}) ASSERT_EQ(Call(L"addItem", {Node(n)}), FPS_OK) << Why();
    ASSERT_EQ(Call(L"makePost", {RowArg(2)}), FPS_OK) << Why();  // rows: All, A, B, C
    ASSERT_EQ(Call(L"makeEnd", {RowArg(2)}), FPS_OK) << Why();   // rows: All, A, C, B (post)

    EXPECT_EQ(ToVector(Query(L"copyCounts").i_tab), (std::vector<int>{11, 6, 2}));
    EXPECT_EQ(ToVector(Query(L"itemNodes").n_tab), (std::vector<INode*>{a, b, c}));
    EXPECT_EQ(ToVector(Query(L"itemRoles").i_tab), (std::vector<int>{0, 1, 2}));
}

// A refused call fails with a message naming the problem, and changes nothing.
struct Refusal {
    const char* name;
    const wchar_t* fn;
    int arg;  // the row, or which node: 0 none, 1 the object's own node, 2 a light's target,
              // 3 a mesh, 4 the path, 5 another Trellon object
    const char* says;
};

class Refused : public SetupInterface, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, FailsWithAMessage) {
    const Refusal& r = GetParam();
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    INode* path = Line(L"Path", 20.0f);
    trellon::PickPath(Obj(), path);
    const std::vector<std::string> before = {std::to_string(s.pb->Count(Item_Names)),
                                             std::to_string(s.pb->Count(Sweep_Nodes))};
    INode* target = Light(L"Target");
    static_cast<host::Node*>(target)->SetTarget(true);
    auto* other = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
    INode* nodes[] = {nullptr, s.objectNode,
                      target,  Row(L"Mesh", 3, 2.0f),
                      path,    s.scene.CreateObjectNode(other)};
    std::vector<FPNamedArg> args;
    const std::wstring fn(r.fn);
    if ((fn.rfind(L"add", 0) == 0 && fn != L"addNullRow") || fn == L"pickPath") {
        args.push_back(Node(nodes[r.arg]));
    } else {
        args.push_back(RowArg(r.arg));
    }
    EXPECT_EQ(Call(r.fn, args), FPS_FAIL);
    EXPECT_NE(Why().find(r.says), std::string::npos) << Why();
    EXPECT_EQ(before, (std::vector<std::string>{std::to_string(s.pb->Count(Item_Names)),
                                                std::to_string(s.pb->Count(Sweep_Nodes))}));
    EXPECT_TABLES_PARALLEL();
}

INSTANTIATE_TEST_SUITE_P(
    SetupOps, Refused,
    ::testing::Values(Refusal{"NoNode", L"addItem", 0, "no node given"},
                      Refusal{"PathAsItem", L"addItem", 4, "is neither geometry nor a light"},
                      Refusal{"MeshAsPath", L"pickPath", 3, "is not a shape"},
                      Refusal{"RowOutside", L"deleteRow", 2,
                              "row 2 is not in the object list (rows 0 to 1)"},
                      Refusal{"NotASequenceRow", L"shiftUp", 1, "is not a sequence row"}),
    [](const ::testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST_F(SetupInterface, AListWithOneRefusedNodeAddsNone) {
    Tab<INode*> nodes;
    for (INode* n : {Row(L"A", 3, 1.0f), Line(L"NotAnItem", 2.0f)}) nodes.Append(1, &n);
    EXPECT_EQ(Call(L"addItems", {{MSTR(L"nodes"), FPValue(TYPE_INODE_TAB_BR, &nodes)}}), FPS_FAIL);
    EXPECT_NE(Why().find("nodes[1]: node 'NotAnItem'"), std::string::npos) << Why();
    EXPECT_EQ(s.pb->Count(Object_Nodes), 0);
}

// --- A long random run ----------------------------------------------------------------------

// Items are meshes of tag + 2 vertices, vertex i at (tag, i, 0), named after their tag, their
// entries marked with it. After every operation (refused ones included) the tables must be
// parallel and every entry must still belong to its item.
using RandomRun = SetupFixture;

TEST_F(RandomRun, FourHundredOperationsKeepEveryTableParallel) {
    std::mt19937 random(20250601u);
    auto pick = [&random](int n) { return n > 0 ? static_cast<int>(random() % n) : 0; };
    int nextTag = 1;
    int refused = 0;
    int row = 0;
    const auto addItem = [&] {
        const int tag = nextTag++;
        trellon::AddItem(Obj(), Row(std::to_wstring(tag).c_str(), tag + 2, float(tag)));
        MarkEntries(Tables().ObjectCount() - 1);
    };
    // Adding an item is twice as likely as each other operation.
    const std::vector<std::function<void()>> operations = {
        addItem,
        addItem,
        [&] { trellon::AddNullRow(Obj(), 0); },
        [&] { trellon::DeleteRow(Obj(), row); },
        [&] { trellon::ShiftUp(Obj(), row); },
        [&] { trellon::ShiftDown(Obj(), row); },
        [&] { trellon::MakePost(Obj(), row); },
        [&] { trellon::MakeEnd(Obj(), row); },
        [&] { trellon::SeedTransforms(Obj(), row); },
        [&] { trellon::SeedMirror(Obj(), row); },
        [&] { s.pb->SetValue(Geo_Pattern, 0, pick(3)); },
        [&] { trellon::PickPath(Obj(), Line(L"Path", 10.0f + pick(90))); },
        [&] { trellon::AddShape(Obj(), Line(L"Rail", 1.0f + pick(9))); },
        [&] { trellon::DeleteShape(Obj(), pick(Tables().SweepCount() + 1)); },
    };
    for (int step = 0; step < 400; ++step) {
        row = pick(trellon::ObjectListRowCount(s.pb, 0) + 1);  // now and then one past the list
        try {
            operations[static_cast<std::size_t>(pick(int(operations.size())))]();
        } catch (const MAXException&) {
            ++refused;
        }
        SCOPED_TRACE(testing::Message() << "step " << step);
        ExpectEntriesFollowTheirItems();
        if (HasFailure()) return;
    }
    // The run exercised both sides: edits that happened and requests that were refused.
    EXPECT_GT(refused, 20);
    EXPECT_GT(nextTag, 40);
}

}  // namespace
}  // namespace setup_test
