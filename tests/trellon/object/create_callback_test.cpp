// The creation callback's answers and what the click and the drag do to the object.
#include <cmath>
#include <vector>

#include "object/create_fixture.h"

using namespace trellon;

namespace create_test {
namespace {

TEST(CreateCallback, OneInstanceIsBoundToEachNewObject) {
    auto* a = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
    auto* b = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
    CreateMouseCallBack* ca = a->GetCreateMouseCallBack();
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().GetObj(), a);
    CreateMouseCallBack* cb = b->GetCreateMouseCallBack();
    EXPECT_EQ(ca, cb);
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().GetObj(), b);
    EXPECT_EQ(cb->override(7), 7);
    a->DeleteMe();
    b->DeleteMe();
}

struct Answer {
    int msg;
    int point;
    int expected;
};

class CreateCallbackAnswers : public CreateFixture, public testing::WithParamInterface<Answer> {};

// The creation runs while the callback says continue: a press (point 0) and moves with the
// button down (point 1) continue it, the release (point 1) and anything later (point 2) end it,
// an abort aborts it, and messages it does not use leave it running.
TEST_P(CreateCallbackAnswers, FollowTheMessageAndThePoint) {
    NewObjectWithNode();
    if (GetParam().point > 0) {
        ASSERT_EQ(Click(IPoint2(10, 10)), CREATE_CONTINUE);
    }
    EXPECT_EQ(Send(GetParam().msg, GetParam().point, IPoint2(10, 30)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Messages, CreateCallbackAnswers,
                         testing::Values(Answer{MOUSE_POINT, 0, CREATE_CONTINUE},
                                         Answer{MOUSE_MOVE, 1, CREATE_CONTINUE},
                                         Answer{MOUSE_POINT, 1, CREATE_STOP},
                                         Answer{MOUSE_ABORT, 1, CREATE_ABORT}));

class CreateCallbackDeadViewport : public CreateFixture, public testing::WithParamInterface<int> {};

// A closed viewport (or none) ends the creation before anything is touched: Logo_size keeps its
// default 0.5 and no table gets an entry.
TEST_P(CreateCallbackDeadViewport, StopsAtOnceAndChangesNothing) {
    NewObjectWithNode();
    vpt.SetAlive(false);
    EXPECT_EQ(Send(GetParam(), 0, IPoint2(10, 10)), CREATE_STOP);
    EXPECT_EQ(cb->proc(nullptr, GetParam(), 0, 0, IPoint2(10, 10), mat), CREATE_STOP);
    EXPECT_FLOAT_EQ(LogoSize(), 0.5f);
    EXPECT_EQ(Block()->Count(Item_Spacing), 0);
    EXPECT_EQ(scene.Layers().CreatedCount(), 0);
    EXPECT_TRUE(vpt.Previews().empty());
}

INSTANTIATE_TEST_SUITE_P(Messages, CreateCallbackDeadViewport,
                         testing::Values(MOUSE_POINT, MOUSE_MOVE));

TEST_F(CreateFixture, WithoutAnObjectAPointAborts) {
    trellon::GetTrellonCreateCallBack().SetObj(nullptr);
    Matrix3 m;
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().proc(&vpt, MOUSE_POINT, 0, 0, IPoint2(1, 1), m),
              CREATE_ABORT);
}

TEST_F(CreateFixture, FreeMovesShowTheSnapPreviewUnderTheMouse) {
    NewObjectWithNode();
    Send(MOUSE_FREEMOVE, 0, IPoint2(3, 4));
    Send(MOUSE_FREEMOVE, 0, IPoint2(5, 6));
    EXPECT_EQ(vpt.Previews(), (std::vector<IPoint2>{IPoint2(3, 4), IPoint2(5, 6)}));
}

// At half a unit per pixel the screen point (40, 60) lies over the plane point (20, -30, 0).
TEST_F(CreateFixture, TheFirstClickPlacesTheObjectUnderTheMouseWithNoSize) {
    NewObjectWithNode();
    ASSERT_EQ(Click(IPoint2(40, 60)), CREATE_CONTINUE);
    EXPECT_EQ(mat.GetTrans(), Point3(20.0f, -30.0f, 0.0f));
    EXPECT_FLOAT_EQ(LogoSize(), 0.0f);
    EXPECT_TRUE(obj->suspendSnap);
}

struct Drag {
    IPoint2 to;
    float size;
};

class CreateCallbackDrag : public CreateFixture, public testing::WithParamInterface<Drag> {};

// Pressed at (100, 100) with half a unit per pixel: the size is the drag's extent along the
// plane's Y axis, |screen dy| / 2, whatever the sideways part of the drag.
TEST_P(CreateCallbackDrag, SizesTheLogoByTheDragAlongY) {
    NewObjectWithNode();
    Click(IPoint2(100, 100));
    EXPECT_EQ(Send(MOUSE_MOVE, 1, GetParam().to), CREATE_CONTINUE);
    EXPECT_FLOAT_EQ(LogoSize(), GetParam().size);
    EXPECT_TRUE(obj->suspendSnap);
    EXPECT_EQ(Send(MOUSE_POINT, 1, GetParam().to), CREATE_STOP);
    EXPECT_FLOAT_EQ(LogoSize(), GetParam().size);
    EXPECT_FALSE(obj->suspendSnap);
}

INSTANTIATE_TEST_SUITE_P(Drags, CreateCallbackDrag,
                         testing::Values(Drag{IPoint2(100, 100), 0.0f},    // a click, no drag
                                         Drag{IPoint2(130, 100), 0.0f},    // sideways only
                                         Drag{IPoint2(130, 60), 20.0f}));  // 50 px, 40 up

}  // namespace
}  // namespace create_test
