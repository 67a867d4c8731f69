// ParamBlockDesc2: reading the SDK's argument list into parameter definitions, and reporting a
// list it cannot read.
#include <gtest/gtest.h>

#include <string>

#include "iparamb2.h"
#include "support/near.h"

namespace {

static_assert(TYPE_SLIDER == 17, "the module names the slider by its number");

// The module's own descriptor is checked line by line against its golden table; here, what that
// table cannot show: order, lookups and shared names.
TEST(ParamBlockDesc, LookupsByIndexIdAndName) {
    ParamBlockDesc2 d(7, _M("params"), 0, nullptr, 0, 4, _M("Unify_Scale"), TYPE_BOOL, 0, 0,
                      p_default, 1, p_end, 2, _M("size"), TYPE_FLOAT, 0, 0, p_default, 0.5f,
                      p_range, 0.0f, 9.0f, p_end, 9, _M("Unify_Scale"), TYPE_BOOL, 0, 0, p_default,
                      0, p_end, p_end);
    ASSERT_TRUE(d.errors().empty()) << d.errors().front();
    // Parameters keep the order of the list, whatever their IDs.
    EXPECT_EQ(d.IDtoIndex(4), 0);
    EXPECT_EQ(d.IndextoID(2), 9);
    EXPECT_EQ(d.IDtoIndex(99), -1);
    EXPECT_EQ(d.IndextoID(3), -1);
    EXPECT_EQ(d.IndextoID(-1), -1);
    // Two parameters share an internal name; the name (in any case) finds the first.
    EXPECT_EQ(d.NameToIndex(_M("unify_scale")), 0);
    EXPECT_EQ(d.GetParamDef(9).def.i, 0);
    EXPECT_FLOAT_EQ(d.GetParamDef(2).range_high.f, 9.0f);
    // An unknown ID gives a blank definition, not one of the parameters.
    ParamDef& blank = d.GetParamDef(99);
    EXPECT_EQ(blank.ID, -1);
    EXPECT_EQ(blank.type, TYPE_VOID);
}

// Each malformed list gives recorded errors and keeps what was read before the problem.
struct Malformed {
    const char* name;
    int params;          // parameters kept
    const char* needle;  // part of the first error
};

class ParamBlockDescMalformed : public testing::TestWithParam<Malformed> {};

// The lists, each ending with the p_end a well-formed list would have.
void BuildMalformed(const std::string& name, ParamBlockDesc2*& out) {
    if (name == "MissingPEnd") {
        // The first parameter's tags run into the second parameter's ID.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0, 1, _M("a"), TYPE_INT, 0, 0, p_default,
                                  5, 2, _M("b"), TYPE_INT, 0, 0, p_end, p_end);
    } else if (name == "UnknownTag") {
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0, 1, _M("a"), TYPE_INT, 0, 0, p_end, 2,
                                  _M("b"), TYPE_INT, 0, 0, p_default + 500, 3, p_end, p_end);
    } else if (name == "RepeatedId") {
        // Reading goes on after a repeated ID: the third parameter is kept.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0, 1, _M("a"), TYPE_INT, 0, 0, p_end, 1,
                                  _M("again"), TYPE_FLOAT, 0, 0, p_default, 2.0f, p_end, 3, _M("c"),
                                  TYPE_INT, 0, 0, p_end, p_end);
    } else if (name == "UnsupportedControl") {
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, P_AUTO_UI, 101, 1, 0, 0, nullptr, 1,
                                  _M("a"), TYPE_INT, 0, 0, p_ui, TYPE_SHADERSUBPARAMETERBLOCK,
                                  p_end, p_end);
    } else if (name == "SpinnerOnAString") {
        // The arguments read correctly; the mismatch is recorded and the parameter kept.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, P_AUTO_UI, 101, 1, 0, 0, nullptr, 1,
                                  _M("a"), TYPE_STRING, 0, 0, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1,
                                  2, 0.1f, p_end, p_end);
    }
}

TEST_P(ParamBlockDescMalformed, RecordsTheProblem) {
    const Malformed& m = GetParam();
    ParamBlockDesc2* d = nullptr;
    BuildMalformed(m.name, d);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(d->errors().empty());
    EXPECT_NE(d->errors().front().find(m.needle), std::string::npos) << d->errors().front();
    EXPECT_EQ(d->Count(), m.params);
    delete d;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ParamBlockDescMalformed,
    testing::Values(Malformed{"MissingPEnd", 0, "found 2 (a missing p_end?)"},
                    Malformed{"UnknownTag", 1, "tag 500 is not supported"},
                    Malformed{"RepeatedId", 2, "parameter 1 'again': the ID is defined twice"},
                    Malformed{"UnsupportedControl", 0, "control type 20 is not supported"},
                    Malformed{"SpinnerOnAString", 1, "needs a number or point parameter"}),
    support::ByName());

}  // namespace
