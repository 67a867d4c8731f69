// Function publishing: descriptors read from the SDK's list, calls by ID through the function
// map, the argument array's range error, calls by name, FPValue ownership, and ClassDesc's
// interface list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "pblock_fakes.h"
#include "plugapi.h"

namespace {

class FnTestClass : public ClassDesc2 {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return nullptr; }
    const MCHAR* ClassName() override { return _M("FnTest"); }
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1111, 0x2222); }
    const MCHAR* Category() override { return _M("Tests"); }
};

constexpr Interface_ID CALC_ID(0x602C557F, 0x4BF751AD);
constexpr Interface_ID EDITOR_ID(0x11, 0x22);

enum : short { fn_version = 0, fn_twice = 1, fn_shift = 2 };

// A static interface that is its own descriptor, dispatching through the function map.
class Calc : public FPStaticInterface {
public:
    DECLARE_DESCRIPTOR(Calc)

    float GetVersion() { return 1.0f; }
    int Twice(int v) { return 2 * v; }
    // A matrix moving points by x along X.
    Matrix3 Shift(float x) {
        Matrix3 m(1);
        m.SetTrans(Point3(x, 0.0f, 0.0f));
        return m;
    }

    BEGIN_FUNCTION_MAP
    FN_0(fn_version, TYPE_FLOAT, GetVersion)
    FN_1(fn_twice, TYPE_INT, Twice, TYPE_INT)
    FN_1(fn_shift, TYPE_MATRIX3, Shift, TYPE_FLOAT)
    END_FUNCTION_MAP
};

FnTestClass& CalcClass() {
    static FnTestClass cd;
    return cd;
}

Calc& TheCalc() {
    static Calc calc(CALC_ID, _M("calc"), 0, &CalcClass(), FP_CORE, fn_version, _M("getVersion"), 0,
                     TYPE_FLOAT, 0, 0, fn_twice, _M("twice"), 0, TYPE_INT, 0, 1, _M("value"), 0,
                     TYPE_INT, fn_shift, _M("shift"), 0, TYPE_MATRIX3, 0, 1, _M("x"), 0, TYPE_FLOAT,
                     f_range, -10.0f, 10.0f, p_end);
    return calc;
}

TEST(FnPub, DispatchByIdAndUnknownId) {
    Calc& c = TheCalc();
    FPValue result;
    EXPECT_EQ(c.Invoke(fn_version, result), FPS_OK);
    EXPECT_EQ(result.type, TYPE_FLOAT);
    EXPECT_FLOAT_EQ(result.f, 1.0f);

    FPParams args{FPValue(TYPE_INT, 21)};
    EXPECT_EQ(c.Invoke(fn_twice, result, &args), FPS_OK);
    EXPECT_EQ(result.type, TYPE_INT);
    EXPECT_EQ(result.i, 42);

    // Shift(2.5) moves the origin to (2.5, 0, 0).
    FPParams shiftArgs{FPValue(TYPE_FLOAT, 2.5f)};
    EXPECT_EQ(c.Invoke(fn_shift, result, &shiftArgs), FPS_OK);
    ASSERT_EQ(base_type(result.type), TYPE_MATRIX3);
    ASSERT_NE(result.m, nullptr);
    EXPECT_EQ(Point3(0.0f, 0.0f, 0.0f) * (*result.m), Point3(2.5f, 0.0f, 0.0f));

    EXPECT_EQ(c.Invoke(7, result), FPS_NO_SUCH_FUNCTION);
    EXPECT_EQ(c.Invoke(-3), FPS_NO_SUCH_FUNCTION);
}

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
    static FPInterfaceDesc desc(EDITOR_ID, _M("itemEditor"), 0, &CalcClass(), FP_MIXIN, fn_add_item,
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
    FnTestClass cd;
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
