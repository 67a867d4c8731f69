// Function publishing: descriptors read from the SDK's list, calls by name with their keyword
// defaults and refusals, and malformed descriptors.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "pblock_fakes.h"
#include "plugapi.h"

namespace {

constexpr Interface_ID EDITOR_ID(0x11, 0x22);

pblock_fakes::TestClassDesc& TestClass() {
    static pblock_fakes::TestClassDesc cd(_M("FnTest"), Class_ID(0x1111, 0x2222));
    return cd;
}

// Calls by ID through the function map are the module's own interfaces' tests (the render
// interface the renderers call); here, the calls by name a host makes.
// An interface mixed into a scene object and described by a separate descriptor, whose
// functions a host calls by name.
enum : short { fn_add_item = 0, fn_set_label = 1, fn_fail = 2 };

class Editor : public FPStaticInterface {
public:
    FPInterfaceDesc* GetDesc() override;
    BaseInterface* GetInterface(Interface_ID id) override {
        return id == EDITOR_ID ? this : FPStaticInterface::GetInterface(id);
    }

    std::vector<INode*> added;
    std::wstring label;

    int AddItem(INode* node, int count) {
        for (int k = 0; k < count; ++k) added.push_back(node);
        return static_cast<int>(added.size());
    }
    void SetLabel(const MCHAR* s) { label = s; }
    int Fail() { throw std::runtime_error("the scene is locked"); }

    BEGIN_FUNCTION_MAP
    FN_2(fn_add_item, TYPE_INT, AddItem, TYPE_INODE, TYPE_INT)
    VFN_1(fn_set_label, SetLabel, TYPE_STRING)
    FN_0(fn_fail, TYPE_INT, Fail)
    END_FUNCTION_MAP
};

FPInterfaceDesc& EditorDesc() {
    static FPInterfaceDesc desc(EDITOR_ID, _M("itemEditor"), 0, &TestClass(), FP_MIXIN, fn_add_item,
                                _M("addItem"), 0, TYPE_INT, 0, 2, _M("node"), 0, TYPE_INODE,
                                _M("count"), 0, TYPE_INT, f_keyArgDefault, 1, fn_set_label,
                                _M("setLabel"), 0, TYPE_VOID, 0, 1, _M("label"), 0, TYPE_STRING,
                                fn_fail, _M("fail"), 0, TYPE_INT, 0, 0, p_end);
    return desc;
}

FPInterfaceDesc* Editor::GetDesc() { return &EditorDesc(); }

class FnPubByName : public testing::Test {
protected:
    void TearDown() override { node->DeleteMe(); }
    Editor editor;
    pblock_fakes::Node* node = new pblock_fakes::Node();
};

TEST_F(FnPubByName, FindsTheFunctionAndFillsKeywordDefaults) {
    EXPECT_EQ(EditorDesc().GetFnDef(fn_add_item)->keyparam_count, 1);
    // The mixed-in interface reports its descriptor's ID.
    EXPECT_EQ(editor.GetID(), EDITOR_ID);
    auto* fpi = static_cast<FPInterface*>(editor.GetInterface(EDITOR_ID));
    ASSERT_NE(fpi, nullptr);

    FPValue result;
    MSTR error;
    // count left out: its default 1 applies.
    EXPECT_EQ(
        fpi->InvokeByName(_M("addItem"), result,
                          {{_M("node"), FPValue(TYPE_INODE, static_cast<INode*>(node))}}, &error),
        FPS_OK)
        << error.ToUTF8();
    EXPECT_EQ(result.i, 1);
    // Names match without regard to case; a whole float passes as an int.
    EXPECT_EQ(fpi->InvokeByName(_M("ADDITEM"), result,
                                {{_M("Count"), FPValue(TYPE_FLOAT, 2.0f)},
                                 {_M("node"), FPValue(TYPE_INODE, static_cast<INode*>(node))}},
                                &error),
              FPS_OK)
        << error.ToUTF8();
    EXPECT_EQ(result.i, 3);
    ASSERT_EQ(editor.added.size(), 3u);
    EXPECT_EQ(editor.added[2], node);

    EXPECT_EQ(fpi->InvokeByName(_M("setLabel"), result,
                                {{_M("label"), FPValue(TYPE_TSTR, MSTR(_M("fence")))}}, &error),
              FPS_OK);
    EXPECT_EQ(editor.label, L"fence");
}

struct BadCall {
    const MCHAR* fn;
    std::vector<FPNamedArg> args;
    FPStatus status;
    const char* needle;
};

class FnPubBadCall : public testing::TestWithParam<int> {};

TEST_P(FnPubBadCall, AnswersAStatusAndAReason) {
    Editor editor;
    const FPValue aNode(TYPE_INODE, nullptr);
    const BadCall cases[] = {
        {_M("nothing"), {}, FPS_NO_SUCH_FUNCTION, "has no function 'nothing'"},
        {_M("addItem"), {{_M("count"), FPValue(TYPE_INT, 2)}}, FPS_FAIL, "missing argument 'node'"},
        {_M("addItem"),
         {{_M("node"), aNode}, {_M("count"), FPValue(TYPE_FLOAT, 2.5f)}},
         FPS_FAIL,
         "argument 'count' must be INT, not FLOAT"},
        {_M("fail"), {}, FPS_FAIL, "'itemEditor.fail' failed: the scene is locked"},
    };
    const BadCall& c = cases[GetParam()];
    FPValue result;
    MSTR error;
    EXPECT_EQ(editor.InvokeByName(c.fn, result, c.args, &error), c.status);
    EXPECT_NE(error.ToUTF8().find(c.needle), std::string::npos) << error.ToUTF8();
    EXPECT_TRUE(editor.added.empty());
}

INSTANTIATE_TEST_SUITE_P(Calls, FnPubBadCall, testing::Range(0, 4));

TEST(FnPub, MalformedDescriptorsRecordTheProblem) {
    pblock_fakes::TestClassDesc cd(_M("FnTest"), Class_ID(0x1111, 0x2222));
    FPInterfaceDesc badResult(Interface_ID(1, 1), _M("bad"), 0, &cd, 0, 0, _M("f"), 0, 999, 0, 0,
                              p_end);
    ASSERT_EQ(badResult.errors.size(), 1u);
    EXPECT_NE(badResult.errors[0].find("unknown result type 999"), std::string::npos);
    EXPECT_EQ(badResult.functions.Count(), 0);

    FPInterfaceDesc twice(Interface_ID(1, 2), _M("twice"), 0, &cd, 0, 0, _M("f"), 0, TYPE_INT, 0, 0,
                          0, _M("g"), 0, TYPE_INT, 0, 0, p_end);
    ASSERT_EQ(twice.errors.size(), 1u);
    EXPECT_NE(twice.errors[0].find("function ID 0 is used twice"), std::string::npos);
    EXPECT_EQ(twice.functions.Count(), 1);

    FPInterfaceDesc badTag(Interface_ID(1, 3), _M("tags"), 0, &cd, 0, 0, _M("f"), 0, TYPE_VOID, 0,
                           1, _M("a"), 0, TYPE_INT, f_ui, 1, p_end);
    ASSERT_EQ(badTag.errors.size(), 1u);
    EXPECT_NE(badTag.errors[0].find("is not supported"), std::string::npos);
}

}  // namespace
