#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "math_expect.h"
#include "matrix3.h"
#include "quat.h"

using math_test::MatrixNear;
using math_test::PointNear;
using math_test::QuatNear;
using math_test::SameRotation;

namespace {

const float kDeg = PI / 180.0f;

// --- Quat(Matrix3) ----------------------------------------------------------------------------

struct FromMatrixCase {
    std::string name;
    Matrix3 m;
    Quat q;
};

class QuatFromMatrix : public ::testing::TestWithParam<FromMatrixCase> {};

TEST_P(QuatFromMatrix, IsTheLeftHandedQuaternion) {
    EXPECT_TRUE(QuatNear(Quat(GetParam().m), GetParam().q));
}

// Left-handed: a turn by a about +Z (X towards Y) is (0, 0, -sin a/2, cos a/2), likewise about X
// and Y. Beyond 120 degrees the trace 1 + 2 cos a is negative and the largest component (z) is
// taken positive: (0, 0, sin a/2, -cos a/2). The host data point: a turn of -90 degrees about X
// reads (0.707107, 0, 0, 0.707107).
INSTANTIATE_TEST_SUITE_P(
    Quat, QuatFromMatrix,
    ::testing::Values(FromMatrixCase{"Identity", Matrix3(1), Quat(0, 0, 0, 1)},
                      FromMatrixCase{"Z30", RotateZMatrix(30 * kDeg),
                                     Quat(0, 0, -std::sin(15 * kDeg), std::cos(15 * kDeg))},
                      FromMatrixCase{"Z90", RotateZMatrix(90 * kDeg),
                                     Quat(0, 0, -std::sin(45 * kDeg), std::cos(45 * kDeg))},
                      FromMatrixCase{"ZMinus100", RotateZMatrix(-100 * kDeg),
                                     Quat(0, 0, std::sin(50 * kDeg), std::cos(50 * kDeg))},
                      FromMatrixCase{"Z170NegativeTrace", RotateZMatrix(170 * kDeg),
                                     Quat(0, 0, std::sin(85 * kDeg), -std::cos(85 * kDeg))},
                      FromMatrixCase{"X40", RotateXMatrix(40 * kDeg),
                                     Quat(-std::sin(20 * kDeg), 0, 0, std::cos(20 * kDeg))},
                      FromMatrixCase{"Y40", RotateYMatrix(40 * kDeg),
                                     Quat(0, -std::sin(20 * kDeg), 0, std::cos(20 * kDeg))},
                      FromMatrixCase{"HostDataPointXMinus90", RotateXMatrix(-HALFPI),
                                     Quat(0.707107f, 0, 0, 0.707107f)},
                      // A half turn about X: diagonal (1, -1, -1), x is the largest component.
                      FromMatrixCase{"XHalfTurn", RotateXMatrix(PI), Quat(1, 0, 0, 0)},
                      FromMatrixCase{"TranslationIgnored",
                                     RotateZMatrix(90 * kDeg) * TransMatrix({4, 5, 6}),
                                     Quat(0, 0, -std::sin(45 * kDeg), std::cos(45 * kDeg))}),
    math_test::ByName());

// --- MakeMatrix -------------------------------------------------------------------------------

class MakeMatrixRoundTrip : public ::testing::TestWithParam<Matrix3> {};

TEST_P(MakeMatrixRoundTrip, InvertsQuatOfMatrix) {
    const Matrix3& m = GetParam();
    Matrix3 back(FALSE);
    Quat(m).MakeMatrix(back);
    EXPECT_TRUE(MatrixNear(back, m));
    EXPECT_TRUE(back.GetIdentFlags() & POS_IDENT);
    // The flag gives the transpose, which for a rotation is the inverse.
    Matrix3 t;
    Quat(m).MakeMatrix(t, true);
    EXPECT_TRUE(MatrixNear(t * m, Matrix3(TRUE)));
}

// Rotations reaching each branch of the trace method: positive trace, and largest x, y, z.
INSTANTIATE_TEST_SUITE_P(
    Quat, MakeMatrixRoundTrip,
    ::testing::Values(Matrix3(1), RotateXMatrix(0.3f) * RotateYMatrix(-1.2f) * RotateZMatrix(2.0f),
                      RotateXMatrix(3.0f), RotateYMatrix(-2.9f), RotateZMatrix(2.5f),
                      RotateXMatrix(PI) * RotateZMatrix(0.2f), RotAngleAxisMatrix({1, 2, 3}, 2.8f),
                      RotAngleAxisMatrix({-3.0f, 1.0f, 0.5f}, -2.2f)));

// --- Products ---------------------------------------------------------------------------------

TEST(Quat, ProductFollowsMatrixOrder) {
    const Quat rx(RotateXMatrix(90 * kDeg)), rz(RotateZMatrix(90 * kDeg));
    Matrix3 m;
    // X about X first stays X, then about Z goes to Y.
    (rx * rz).MakeMatrix(m);
    EXPECT_TRUE(PointNear(Point3(1, 0, 0) * m, {0, 1, 0}));
    // About Z first X goes to Y, then about X to Z.
    (rz * rx).MakeMatrix(m);
    EXPECT_TRUE(PointNear(Point3(1, 0, 0) * m, {0, 0, 1}));
}

TEST(Quat, ProductOfTurnsAboutOneAxisAddsAngles) {
    // (0,0,-sin a/2, cos a/2)(0,0,-sin b/2, cos b/2) = (0,0,-sin (a+b)/2, cos (a+b)/2).
    const Quat q = Quat(RotateZMatrix(0.4f)) * Quat(RotateZMatrix(0.9f));
    EXPECT_TRUE(QuatNear(q, Quat(0, 0, -std::sin(0.65f), std::cos(0.65f))));
}

TEST(Quat, ProductOfComposedMatricesMatchesQuatOfProduct) {
    const Matrix3 a = RotateXMatrix(0.7f) * RotateYMatrix(-0.4f);
    const Matrix3 b = RotAngleAxisMatrix({1, -1, 2}, 1.9f);
    EXPECT_TRUE(SameRotation(Quat(a) * Quat(b), Quat(a * b)));
    Quat c(a);
    c *= Quat(b);
    EXPECT_TRUE(SameRotation(c, Quat(a * b)));
}

TEST(Quat, MatrixRotateByQuatMatchesMatrixProduct) {
    const Matrix3 r = RotateYMatrix(0.8f);
    Matrix3 m = TransMatrix({1, 2, 3}) * RotateXMatrix(0.2f);
    Matrix3 post = m, pre = m;
    post.Rotate(Quat(r));
    pre.PreRotate(Quat(r));
    EXPECT_TRUE(MatrixNear(post, m * r));
    EXPECT_TRUE(MatrixNear(pre, r * m));
}

// --- Normalize, Inverse, Slerp ----------------------------------------------------------------

TEST(Quat, NormalizeAndInverse) {
    Quat q(0, 0, 3, 4);  // length 5
    q.Normalize();
    EXPECT_TRUE(QuatNear(q, Quat(0, 0, 0.6f, 0.8f)));
    Quat zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_TRUE(zero.IsIdentity());

    // The inverse of (0,0,0,2) scales by 1/|q|^2.
    EXPECT_TRUE(QuatNear(Quat(0, 0, 0, 2).Inverse(), Quat(0, 0, 0, 0.5f)));
    const Quat r(RotAngleAxisMatrix({1, 2, 2}, 1.0f));
    EXPECT_TRUE(QuatNear(r * r.Inverse(), Quat()));
    EXPECT_TRUE(Quat(0, 0, 0, 0).Inverse().IsIdentity());
    EXPECT_TRUE(Quat(0, 0, 0, -1).IsIdentity());
}

struct SlerpCase {
    std::string name;
    Quat p, q;
    float t;
    Quat want;
};

class SlerpAt : public ::testing::TestWithParam<SlerpCase> {};

TEST_P(SlerpAt, FollowsTheShorterArc) {
    const SlerpCase& c = GetParam();
    EXPECT_TRUE(SameRotation(Slerp(c.p, c.q, c.t), c.want));
}

const Quat kZ0 = Quat(RotateZMatrix(0.0f));
const Quat kZ45 = Quat(RotateZMatrix(45 * kDeg));
const Quat kZ90 = Quat(RotateZMatrix(90 * kDeg));
const Quat kZ30 = Quat(RotateZMatrix(30 * kDeg));
const Quat kZ60 = Quat(RotateZMatrix(60 * kDeg));

// Halfway between no turn and a quarter turn about Z is an eighth turn; -q is the same rotation
// as q, so interpolating towards it must not take the long way round.
INSTANTIATE_TEST_SUITE_P(Quat, SlerpAt,
                         ::testing::Values(SlerpCase{"Start", kZ0, kZ90, 0.0f, kZ0},
                                           SlerpCase{"End", kZ0, kZ90, 1.0f, kZ90},
                                           SlerpCase{"Half", kZ0, kZ90, 0.5f, kZ45},
                                           SlerpCase{"Third", kZ0, kZ90, 1.0f / 3.0f, kZ30},
                                           SlerpCase{"HalfTowardsNegated", kZ0, -kZ90, 0.5f, kZ45},
                                           SlerpCase{"SameRotation", kZ60, kZ60, 0.25f, kZ60}),
                         math_test::ByName());

// --- Angle and axis ---------------------------------------------------------------------------

TEST(AngAxis, QFromAngAxisTurnsTheOtherWayToRotateMatrices) {
    // The left-handed angle: QFromAngAxis(a, Z) is the matrix RotateZMatrix(-a).
    Matrix3 m;
    QFromAngAxis(0.6f, Point3(0, 0, 1)).MakeMatrix(m);
    EXPECT_TRUE(MatrixNear(m, RotateZMatrix(-0.6f)));
    // RotAngleAxisMatrix turns opposite to the angle read by AngAxisFromQ.
    const Matrix3 r = RotateXMatrix(0.3f) * RotateYMatrix(1.1f) * RotateZMatrix(-0.5f);
    const AngAxis aa(r);
    EXPECT_TRUE(MatrixNear(RotAngleAxisMatrix(aa.axis, -aa.angle), r));
}

TEST(AngAxis, QuarterTurnAboutZReadsAsLeftHanded) {
    const AngAxis aa(RotateZMatrix(90 * kDeg));
    EXPECT_NEAR(aa.angle, 90 * kDeg, 1e-5f);
    EXPECT_TRUE(PointNear(aa.axis, {0, 0, -1}));
}

struct AngAxisCase {
    std::string name;
    float angle;
    Point3 axis;  // unit
};

class AngAxisRoundTrip : public ::testing::TestWithParam<AngAxisCase> {};

TEST_P(AngAxisRoundTrip, AngAxisFromQInvertsQFromAngAxis) {
    const AngAxisCase& c = GetParam();
    float ang = 0.0f;
    Point3 axis;
    AngAxisFromQ(QFromAngAxis(c.angle, c.axis), &ang, axis);
    EXPECT_NEAR(ang, c.angle, 1e-5f);
    EXPECT_TRUE(PointNear(axis, c.axis));
    const AngAxis aa = AngAxisFromQ(Quat(AngAxis(c.axis, c.angle)));
    EXPECT_NEAR(aa.angle, c.angle, 1e-5f);
}

// Angles in [0, 2pi] come back as given.
INSTANTIATE_TEST_SUITE_P(
    AngAxis, AngAxisRoundTrip,
    ::testing::Values(AngAxisCase{"SmallAboutZ", 0.5f, {0, 0, 1}},
                      AngAxisCase{
                          "Diagonal", 2.0f, {1 / std::sqrt(2.0f), 1 / std::sqrt(2.0f), 0.0f}},
                      AngAxisCase{"MoreThanHalfTurn", 5.0f, {0, -1, 0}},
                      AngAxisCase{"HalfTurn", PI, {1, 0, 0}}),
    math_test::ByName());

TEST(AngAxis, NoRotationHasZeroAngle) {
    float ang = 1.0f;
    Point3 axis;
    AngAxisFromQ(Quat(), &ang, axis);
    EXPECT_EQ(ang, 0.0f);
    EXPECT_EQ(axis, Point3(1, 0, 0));
    // A zero axis names no rotation.
    EXPECT_TRUE(QFromAngAxis(1.0f, Point3(0, 0, 0)).IsIdentity());
}

TEST(AngAxis, QangAxisIsTheTurnFromPToQ) {
    // From 30 to 100 degrees about Z is 70 degrees, left-handed about -Z.
    Point3 axis;
    const float ang =
        QangAxis(Quat(RotateZMatrix(30 * kDeg)), Quat(RotateZMatrix(100 * kDeg)), axis);
    EXPECT_NEAR(ang, 70 * kDeg, 1e-5f);
    EXPECT_TRUE(PointNear(axis, {0, 0, -1}));
}

}  // namespace
