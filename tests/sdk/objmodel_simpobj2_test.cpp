// SimpleObject2: the one parameter block as reference, sub-anim and block.
#include <gtest/gtest.h>

#include "iparamb2.h"
#include "simpobj.h"

namespace {

class BlockObject : public SimpleObject2 {
public:
    void BuildMesh(TimeValue t) override { ivalid.SetInstant(t); }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

TEST(ObjModelSimpleObject2, TheBlockIsReferenceSubAnimAndBlockZero) {
    ParamBlockDesc2 desc;
    desc.ID = 3;
    auto* obj = new BlockObject();
    IParamBlock2* pb = CreateParameterBlock2(&desc, obj);
    ASSERT_NE(pb, nullptr);
    ASSERT_EQ(obj->ReplaceReference(0, pb), REF_SUCCEED);
    EXPECT_EQ(obj->pblock2, pb);
    EXPECT_EQ(obj->GetReference(0), pb);
    EXPECT_EQ(obj->GetReference(1), nullptr);
    EXPECT_EQ(obj->SubAnim(0), pb);
    EXPECT_EQ(obj->GetParamBlock(0), pb);
    EXPECT_EQ(obj->GetParamBlock(1), nullptr);
    EXPECT_EQ(obj->GetParamBlockByID(3), pb);
    EXPECT_EQ(obj->GetParamBlockByID(4), nullptr);
    EXPECT_TRUE(pb->IsDependent(obj));
    // Deleting the object lets go of the block, which has no other maker and goes too.
    obj->DeleteMe();
}

}  // namespace
