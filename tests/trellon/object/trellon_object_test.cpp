// A Trellon object's parameter block reference and its render interface.
#include <gtest/gtest.h>

#include <memory>

#include "distribute/path_fixtures.h"
#include "iparamb2.h"
#include "object/trellon.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "render/render_fp.h"

using namespace trellon;

namespace {

using path_fixtures::NewObject;
using path_fixtures::ObjectPtr;

TEST(TrellonObject, ReplacingReferenceZeroSwapsTheBlockAndOtherSlotsAreRefused) {
    ObjectPtr obj = NewObject();
    ObjectPtr other = NewObject();
    IParamBlock2* mine = obj->GetParamBlock(0);
    IParamBlock2* theirs = other->GetParamBlock(0);
    EXPECT_EQ(obj->ReplaceReference(1, theirs), REF_FAIL);
    EXPECT_EQ(obj->GetParamBlock(0), mine);
    EXPECT_EQ(obj->ReplaceReference(0, theirs), REF_SUCCEED);
    EXPECT_EQ(obj->GetParamBlock(0), theirs);
}

// ----- The render interface --------------------------------------------------------------------

FPInterface* RenderInterface(Trellon* obj) {
    return static_cast<FPInterface*>(obj->GetInterface(TRELLON_RENDER_INTERFACE));
}

TEST(TrellonRender, TheObjectHandsOutItsInterfaceByIDOnly) {
    ObjectPtr obj = NewObject();
    FPInterface* fp = RenderInterface(obj.get());
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(fp, static_cast<KavoInstancer::TrellonRenderFP*>(obj.get()));
    EXPECT_EQ(fp->GetID(), Interface_ID(0x602C557F, 0x4BF751AD));
    EXPECT_EQ(obj->GetInterface(Interface_ID(0x602C557F, 0x4BF751AE)), nullptr);
    // Asked through the interface, the object still answers: the object's GetInterface is the
    // final one for both of its bases.
    EXPECT_EQ(fp->GetInterface(TRELLON_RENDER_INTERFACE), fp);
}

TEST(TrellonRender, AnswersTheFixedFunctions) {
    ObjectPtr obj = NewObject();
    FPInterface* fp = RenderInterface(obj.get());
    FPValue result;
    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kGetVersion, result), FPS_OK);
    EXPECT_EQ(result.type, TYPE_FLOAT);
    EXPECT_FLOAT_EQ(result.f, 1.0f);

    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kGetExtraNode, result), FPS_OK);
    EXPECT_EQ(result.type, TYPE_INODE);
    EXPECT_EQ(result.n, nullptr);

    FPParams args{FPValue(TYPE_INT, 3)};
    ASSERT_EQ(fp->Invoke(KavoInstancer::TrellonRenderFP::kIsSourceUsed, result, &args), FPS_OK);
    EXPECT_EQ(result.type, TYPE_BOOL);
    EXPECT_EQ(result.i, TRUE);
}

TEST(TrellonRender, AMissingArgumentRaisesTheArrayException) {
    ObjectPtr obj = NewObject();
    FPValue result;
    FPParams none;
    EXPECT_THROW(RenderInterface(obj.get())->Invoke(KavoInstancer::TrellonRenderFP::kIsSourceUsed,
                                                    result, &none),
                 MaxSDK::Util::ArrayOutOfRangeException);
}

}  // namespace
