// IParamBlock2: tables, range errors, change messages and node references. (Undo of the block's
// edits is exercised through the panel's undo steps.)
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "pblock_fakes.h"

namespace {

using pblock_fakes::Message;
using pblock_fakes::Node;
using pblock_fakes::Owner;

enum : short {
    pb_int = 0,
    pb_float,
    pb_bool,
    pb_str,
    pb_point,
    pb_node,
    pb_ints,
    pb_floats,
    pb_points,
    pb_strs,
    pb_nodes,
    pb_more_nodes,
    pb_ref,
    pb_mat,
};

pblock_fakes::TestClassDesc& TheClass() {
    static pblock_fakes::TestClassDesc cd(_M("BlockTest"), Class_ID(0x4321, 0x8765));
    return cd;
}

ParamBlockDesc2& TheDesc() {
    static ParamBlockDesc2 desc(
        0, _M("Title"), 0, &TheClass(), P_AUTO_CONSTRUCT, 0, pb_int, _M("count"), TYPE_INT, 0, 0,
        p_default, 2, p_end, pb_float, _M("size"), TYPE_FLOAT, 0, 0, p_default, 0.5f, p_end,
        pb_bool, _M("follow"), TYPE_BOOL, 0, 0, p_default, TRUE, p_end, pb_str, _M("label"),
        TYPE_STRING, 0, 0, p_default, _M("hello"), p_end, pb_point, _M("offset"), TYPE_POINT3, 0, 0,
        p_default, Point3(1.0f, 2.0f, 3.0f), p_end, pb_node, _M("Spline_Obj"), TYPE_INODE, 0, 0,
        p_end, pb_ints, _M("ints"), TYPE_INT_TAB, 2, 0, 0, p_default, 7, p_end, pb_floats,
        _M("floats"), TYPE_FLOAT_TAB, 0, 0, 0, p_default, 100.0f, p_end, pb_points, _M("points"),
        TYPE_POINT3_TAB, 0, 0, 0, p_end, pb_strs, _M("names"), TYPE_STRING_TAB, 0, 0, 0, p_end,
        pb_nodes, _M("Object_Nodes"), TYPE_INODE_TAB, 0, P_VARIABLE_SIZE, 0, p_end, pb_more_nodes,
        _M("Post_Nodes"), TYPE_INODE_TAB, 0, P_VARIABLE_SIZE, 0, p_end, pb_ref, _M("target"),
        TYPE_REFTARG, 0, 0, p_end, pb_mat, _M("materials"), TYPE_MTL_TAB, 0, P_VARIABLE_SIZE, 0,
        p_end, p_end);
    return desc;
}

class Block : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TheDesc().errors().empty()) << TheDesc().errors().front();
        owner = new Owner();
        TheClass().MakeAutoParamBlocks(owner);
        pb = owner->pblock;
        ASSERT_NE(pb, nullptr);
        for (int k = 0; k < 4; ++k) nodes.push_back(new Node());
    }
    void TearDown() override {
        owner->DeleteMe();
        for (Node* n : nodes) n->DeleteMe();
        theHold.ClearRecord();
    }
    // The owner's messages so far, then forgets them.
    std::vector<Message> Take() {
        std::vector<Message> m;
        m.swap(owner->messages);
        return m;
    }

    Owner* owner = nullptr;
    IParamBlock2* pb = nullptr;
    std::vector<Node*> nodes;
};

// Table edits through the block, one element type per case; V(k) is the k-th test value.
template <class T>
struct TableCase;

template <>
struct TableCase<int> {
    static constexpr ParamID id = pb_ints;
    static int V(int k, const std::vector<Node*>&) { return 10 * k + 1; }
    static int Get(IParamBlock2* pb, int i) { return pb->GetInt(id, 0, i); }
    static int Default() { return 7; }
};

template <>
struct TableCase<Point3> {
    static constexpr ParamID id = pb_points;
    static Point3 V(int k, const std::vector<Node*>&) {
        return Point3(static_cast<float>(k), 0.0f, -1.0f);
    }
    static Point3 Get(IParamBlock2* pb, int i) { return pb->GetPoint3(id, 0, i); }
    static Point3 Default() { return Point3(0, 0, 0); }
};

template <>
struct TableCase<INode*> {
    static constexpr ParamID id = pb_nodes;
    static INode* V(int k, const std::vector<Node*>& nodes) {
        return nodes[static_cast<std::size_t>(k) % nodes.size()];
    }
    static INode* Get(IParamBlock2* pb, int i) { return pb->GetINode(id, 0, i); }
    static INode* Default() { return nullptr; }
};

// The elements as Append and Insert take them: points as an array of pointers, as the SDK passes
// them; ints and nodes as they are.
template <class T>
auto Elements(int num, T* el) {
    if constexpr (std::is_same_v<T, Point3>) {
        std::vector<Point3*> p;
        for (int k = 0; k < num; ++k) p.push_back(&el[k]);
        return p;
    } else {
        return std::vector<T>(el, el + num);
    }
}

template <class T>
class BlockTable : public Block {};

// One type per way an element goes in: by value (int; float tables take the same template),
// through an array of pointers (Point3; strings likewise) and as a reference (INode*).
using TableTypes = testing::Types<int, Point3, INode*>;
TYPED_TEST_SUITE(BlockTable, TableTypes);

TYPED_TEST(BlockTable, AppendInsertDeleteReturnTheDocumentedCounts) {
    using C = TableCase<TypeParam>;
    IParamBlock2* block = this->pb;
    block->ZeroCount(C::id);
    this->Take();
    std::vector<TypeParam> v;
    for (int k = 0; k < 6; ++k) v.push_back(C::V(k, this->nodes));

    // Append gives the count before: 0, then 2.
    EXPECT_EQ(block->Append(C::id, 2, Elements(2, &v[0]).data()), 0);
    EXPECT_EQ(block->Append(C::id, 1, Elements(1, &v[2]).data()), 2);
    // Insert gives its position; past the end it refuses.
    EXPECT_EQ(block->Insert(C::id, 1, 1, Elements(1, &v[3]).data()), 1);
    EXPECT_EQ(block->Insert(C::id, 5, 1, Elements(1, &v[4]).data()), -1);
    ASSERT_EQ(block->Count(C::id), 4);  // v0 v3 v1 v2
    EXPECT_EQ(C::Get(block, 0), v[0]);
    EXPECT_EQ(C::Get(block, 1), v[3]);
    EXPECT_EQ(C::Get(block, 2), v[1]);
    EXPECT_EQ(C::Get(block, 3), v[2]);

    // Delete gives the count left; a start past the end deletes nothing.
    EXPECT_EQ(block->Delete(C::id, 1, 2), 2);  // v0 v2
    EXPECT_EQ(C::Get(block, 1), v[2]);
    EXPECT_EQ(block->Delete(C::id, 2, 1), 2);
    EXPECT_EQ(block->Delete(C::id, 1, 10), 1);  // clipped to the end: v0
    // SetCount fills with the default.
    block->SetCount(C::id, 3);
    EXPECT_EQ(C::Get(block, 0), v[0]);
    EXPECT_EQ(C::Get(block, 2), C::Default());

    // One change message per edit that changed something, each naming the table.
    const std::vector<Message> m = this->Take();
    ASSERT_EQ(m.size(), 6u);  // 2 appends, 1 insert, 2 deletes, 1 SetCount
    for (const Message& msg : m) {
        EXPECT_EQ(msg.message, REFMSG_CHANGE);
        EXPECT_EQ(msg.param, C::id);
    }
    EXPECT_EQ(block->LastNotifyParamID(), -1);
}

TEST_F(Block, TableIndexOutOfRangeRaisesTheTabException) {
    const std::string text = "Invalid index passed into a Max SDK Tab::operator[]";
    // pb_ints holds two entries: 2 and -1 are outside.
    for (int index : {2, -1}) {
        try {
            pb->GetInt(pb_ints, 0, index);
            ADD_FAILURE() << "no exception for index " << index;
        } catch (const MaxSDK::Util::OutOfRangeException& e) {
            EXPECT_EQ(e.what(), text);
        }
    }
    EXPECT_THROW(pb->GetINode(pb_nodes, 0, 0), MaxSDK::Util::OutOfRangeException);
    EXPECT_THROW(pb->GetStr(pb_strs, 0, 0), MaxSDK::Util::OutOfRangeException);
    EXPECT_THROW(pb->SetValue(pb_ints, 0, 5, 2), MaxSDK::Util::OutOfRangeException);
    EXPECT_THROW(pb->SetValue(pb_nodes, 0, nodes[0], 0), MaxSDK::Util::OutOfRangeException);
    // GetValue answers FALSE and a zero value instead.
    Interval iv;
    int v = 3;
    EXPECT_FALSE(pb->GetValue(pb_ints, 0, v, iv, 2));
    EXPECT_EQ(v, 0);
    // A failed write changed nothing and sent nothing.
    EXPECT_EQ(pb->GetInt(pb_ints, 0, 1), 7);
    EXPECT_TRUE(owner->messages.empty());
}

TEST_F(Block, NodeReferencesFollowTheTables) {
    INode* a = nodes[0];
    INode* b = nodes[1];
    INode* ab[] = {a, b};
    pb->SetValue(pb_node, 0, b);
    pb->Append(pb_nodes, 2, ab);
    pb->Append(pb_more_nodes, 1, &a);
    // Slots in descriptor order: pb_node, pb_nodes' two entries, pb_more_nodes' one, the
    // empty pb_ref, and none for the empty pb_mat.
    ASSERT_EQ(pb->NumRefs(), 5);
    EXPECT_EQ(pb->GetReference(0), b);
    EXPECT_EQ(pb->GetReference(1), a);
    EXPECT_EQ(pb->GetReference(2), b);
    EXPECT_EQ(pb->GetReference(3), a);
    EXPECT_EQ(pb->GetReference(4), nullptr);
    EXPECT_EQ(pb->GetReference(5), nullptr);
    EXPECT_TRUE(a->IsDependent(pb));

    // Deleting the entries lets go of the node.
    pb->Delete(pb_nodes, 0, 1);
    pb->ZeroCount(pb_more_nodes);
    EXPECT_FALSE(a->IsDependent(pb));
    EXPECT_TRUE(b->IsDependent(pb));
    EXPECT_EQ(pb->NumRefs(), 3);
    EXPECT_EQ(pb->GetReference(1), b);
}

TEST_F(Block, DeletedNodeNullsEveryEntryAndNotifiesEachParameter) {
    INode* a = nodes[0];
    INode* b = nodes[1];
    INode* ab[] = {a, b};
    INode* ba[] = {b, a};
    pb->Append(pb_nodes, 2, ab);
    pb->Append(pb_more_nodes, 2, ba);
    pb->SetValue(pb_node, 0, a);
    Take();

    nodes.erase(nodes.begin());
    static_cast<Node*>(a)->DeleteMe();

    // The entries stay, null; the other node is untouched.
    ASSERT_EQ(pb->Count(pb_nodes), 2);
    EXPECT_EQ(pb->GetINode(pb_nodes, 0, 0), nullptr);
    EXPECT_EQ(pb->GetINode(pb_nodes, 0, 1), b);
    ASSERT_EQ(pb->Count(pb_more_nodes), 2);
    EXPECT_EQ(pb->GetINode(pb_more_nodes, 0, 0), b);
    EXPECT_EQ(pb->GetINode(pb_more_nodes, 0, 1), nullptr);
    EXPECT_EQ(pb->GetINode(pb_node), nullptr);

    // One message per parameter, in descriptor order: the single node, then the two tables.
    const std::vector<Message> m = Take();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].message, REFMSG_CHANGE);
    EXPECT_EQ(m[0].param, pb_node);
    EXPECT_EQ(m[1].message, REFMSG_TAB_ELEMENT_NULLED);
    EXPECT_EQ(m[1].param, pb_nodes);
    EXPECT_EQ(m[2].message, REFMSG_TAB_ELEMENT_NULLED);
    EXPECT_EQ(m[2].param, pb_more_nodes);
    EXPECT_EQ(pb->LastNotifyParamID(), -1);
    EXPECT_TRUE(b->IsDependent(pb));
}

}  // namespace
