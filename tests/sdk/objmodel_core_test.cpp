// The core interface registry, script evaluation, colours and material joining.
#include <gtest/gtest.h>

#include <string>

#include "color.h"
#include "maxscript/maxscript.h"
#include "objmodel_fakes.h"

namespace {

using objmodel_fakes::CoreGuard;
using objmodel_fakes::FakeCore;
using objmodel_fakes::FakeMtl;
using objmodel_fakes::FakeMultiMtl;

TEST(ObjModelColor, WordsHoldRedInTheLowByte) {
    EXPECT_EQ(RGB(255, 128, 0), 0x000080FFu);
    const Color c(RGB(255, 0, 51));  // 51/255 = 0.2
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_FLOAT_EQ(c.b, 0.2f);
    EXPECT_EQ(c.toRGB(), RGB(255, 0, 51));
    // Out of range channels clamp; 0.5 * 255 = 127.5 rounds to 128.
    EXPECT_EQ(Color(2.0f, -1.0f, 0.5f).toRGB(), RGB(255, 0, 128));
}

struct CombineCase {
    int subs1;   // sub-materials of m1; 0 = a plain material
    int subs2;   // of m2
    int slots;   // slots of the result
    int offset;  // mat2Offset
};

class ObjModelCombine : public ::testing::TestWithParam<CombineCase> {};

INSTANTIATE_TEST_SUITE_P(Kinds, ObjModelCombine,
                         ::testing::Values(CombineCase{0, 0, 2, 1}, CombineCase{3, 0, 4, 3},
                                           CombineCase{0, 2, 3, 1}, CombineCase{2, 3, 5, 2}));

// A plain material (n = 0) or a multi of n plain ones, kept in `keep`.
Mtl* MakeMtl(int n, std::vector<std::unique_ptr<Mtl>>& keep) {
    if (n == 0) {
        keep.push_back(std::make_unique<FakeMtl>());
        return keep.back().get();
    }
    auto multi = std::make_unique<FakeMultiMtl>();
    multi->SetNumSubMtls(n);
    for (int i = 0; i < n; ++i) {
        keep.push_back(std::make_unique<FakeMtl>());
        multi->SetSubMtl(i, keep.back().get());
    }
    keep.push_back(std::move(multi));
    return keep.back().get();
}

TEST_P(ObjModelCombine, SlotsOfTheFirstThenTheSecond) {
    const CombineCase& c = GetParam();
    FakeCore core;
    CoreGuard guard(&core);
    std::vector<std::unique_ptr<Mtl>> keep;
    Mtl* m1 = MakeMtl(c.subs1, keep);
    Mtl* m2 = MakeMtl(c.subs2, keep);
    int offset = -1;
    Mtl* joined = CombineMaterials(m1, m2, offset);
    ASSERT_NE(joined, nullptr);
    ASSERT_TRUE(joined->IsMultiMtl());
    EXPECT_EQ(joined->NumSubMtls(), c.slots);
    EXPECT_EQ(offset, c.offset);
    // The first slot of m2's part is m2's first sub-material (or m2).
    EXPECT_EQ(joined->GetSubMtl(c.offset), c.subs2 ? m2->GetSubMtl(0) : m2);
    EXPECT_EQ(joined->GetSubMtl(0), c.subs1 ? m1->GetSubMtl(0) : m1);
}

TEST(ObjModelCombineEdges, NullSameOrNoHostMakeNothingNew) {
    FakeCore core;
    CoreGuard guard(&core);
    FakeMtl a, b;
    int offset = -1;
    EXPECT_EQ(CombineMaterials(nullptr, &b, offset), &b);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(CombineMaterials(&a, &a, offset), &a);
    EXPECT_EQ(CombineMaterials(nullptr, nullptr, offset), nullptr);
    core.canCreateMulti = false;
    EXPECT_EQ(CombineMaterials(&a, &b, offset), nullptr);
    EXPECT_EQ(offset, 0);
    EXPECT_TRUE(core.created.empty());
}

}  // namespace
