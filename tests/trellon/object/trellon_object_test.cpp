// A Trellon object's identity, its parameter block plumbing and its render interface.
#include <gtest/gtest.h>

#include <memory>

#include "iparamb2.h"
#include "distribute/path_fixtures.h"
#include "object/trellon.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "render/render_fp.h"

namespace {

using path_fixtures::NewObject;
using path_fixtures::ObjectPtr;

TEST(TrellonObject, HoldsOneBlockForEveryBlockQuery) {
    ObjectPtr obj = NewObject();
    ASSERT_NE(obj, nullptr);
    IParamBlock2* pb = obj->GetParamBlock(0);
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pb->GetDesc(), GetTrellonDesc()->GetParamBlockDescByID(0));
    EXPECT_EQ(obj->NumParamBlocks(), 7);
    EXPECT_EQ(obj->GetParamBlock(6), pb);
    EXPECT_EQ(obj->GetParamBlockByID(0), pb);
    EXPECT_EQ(obj->GetParamBlockByID(1), nullptr);
    EXPECT_EQ(obj->NumRefs(), 1);
    EXPECT_EQ(obj->GetReference(0), pb);
    EXPECT_EQ(obj->GetReference(3), pb);
    EXPECT_EQ(obj->NumSubs(), 1);
    EXPECT_EQ(obj->SubAnim(0), pb);
    EXPECT_EQ(obj->SubAnim(1), nullptr);
    EXPECT_EQ(pb->GetOwner(), obj.get());
}

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

TEST(TrellonObject, IdentityMatchesTheClassDescriptor) {
    ObjectPtr obj = NewObject();
    EXPECT_EQ(obj->ClassID(), Class_ID(0x44D601F8, 0x0F43253D));
    EXPECT_EQ(obj->SuperClassID(), 0x10u);
    MSTR node;
    obj->InitNodeName(node);
    EXPECT_EQ(node, MSTR(L"Trellon_"));
}

TEST(TrellonObject, BuildMeshShowsThePlaceholderWithoutPathOrItems) {
    ObjectPtr obj = NewObject();
    obj->BuildMesh(160);
    // The placeholder panel: seven boxes of 8 corners and 12 triangles.
    EXPECT_EQ(obj->mesh.getNumVerts(), 56);
    EXPECT_EQ(obj->mesh.getNumFaces(), 84);
    // Valid at the build time only: the object is evaluated at every time.
    EXPECT_TRUE(obj->ivalid.InInterval(160));
    EXPECT_FALSE(obj->ivalid.InInterval(161));
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
    EXPECT_EQ(fp->GetDesc(), KavoInstancer::GetTrellonRenderDesc());
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

// Every ID from 0 to 10 is answered; any other answers "no such function" (-1).
TEST(TrellonRender, UnknownFunctionsAnswerNoSuchFunction) {
    ObjectPtr obj = NewObject();
    FPInterface* fp = RenderInterface(obj.get());
    for (FunctionID fid = 0; fid <= 10; ++fid) {
        FPValue result;
        FPParams args{fid == 8 ? FPValue(TYPE_INODE, nullptr) : FPValue(TYPE_INT, 0)};
        EXPECT_EQ(fp->Invoke(fid, result, &args), FPS_OK) << fid;
    }
    for (FunctionID fid : {11, -1, -2, 100}) {
        FPValue result;
        FPParams args{FPValue(TYPE_INT, 0)};
        EXPECT_EQ(fp->Invoke(fid, result, &args), FPS_NO_SUCH_FUNCTION) << fid;
    }
}

struct Function {
    int id;
    int result;
    int argument;  // -1: none
};

TEST(TrellonRender, DescriptorRegistersTheElevenFunctions) {
    // ID, result type, argument type; every name empty, every description 0.
    const Function table[] = {
        {0, TYPE_FLOAT, -1},
        {1, TYPE_INT, -1},
        {2, TYPE_INODE, TYPE_INT},
        {3, TYPE_INODE, -1},
        {4, TYPE_INT, -1},
        {5, TYPE_BOOL, TYPE_INT},
        {6, TYPE_INT, TYPE_INT},
        {7, TYPE_MATRIX3, TYPE_INT},
        {8, TYPE_MATRIX3, TYPE_INODE},
        {9, TYPE_MTL, TYPE_INT},
        {10, TYPE_TIMEVALUE, TYPE_INT},
    };
    FPInterfaceDesc* desc = KavoInstancer::GetTrellonRenderDesc();
    for (const std::string& e : desc->errors) ADD_FAILURE() << e;
    EXPECT_EQ(desc->ID, Interface_ID(0x602C557F, 0x4BF751AD));
    EXPECT_EQ(desc->internal_name, MSTR(L""));
    EXPECT_EQ(desc->description, 0);
    EXPECT_EQ(desc->cd, GetTrellonDesc());
    EXPECT_EQ(desc->flags, 0u);
    ASSERT_EQ(desc->functions.Count(), 11);
    for (const Function& want : table) {
        const FPFunctionDef* fn = desc->functions[want.id];
        EXPECT_EQ(fn->ID, want.id);
        EXPECT_EQ(fn->internal_name, MSTR(L"")) << want.id;
        EXPECT_EQ(fn->description, 0) << want.id;
        EXPECT_EQ(fn->result_type, want.result) << want.id;
        ASSERT_EQ(fn->params.Count(), want.argument < 0 ? 0 : 1) << want.id;
        if (want.argument >= 0) {
            EXPECT_EQ(fn->params[0]->type, want.argument) << want.id;
            EXPECT_EQ(fn->params[0]->internal_name, MSTR(L"")) << want.id;
        }
    }
    // No function can be found by name.
    EXPECT_EQ(desc->FindFn(L""), FP_NO_FUNCTION);
}

}  // namespace
