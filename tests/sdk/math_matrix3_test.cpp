#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "matrix3.h"
#include "quat.h"
#include "support/near.h"

using support::Near;

namespace {

const float kQuarter = HALFPI;
const float kInvSqrt2 = 1.0f / std::sqrt(2.0f);
const float kInvSqrt3 = 1.0f / std::sqrt(3.0f);
const float kInvSqrt6 = 1.0f / std::sqrt(6.0f);

// --- Rotation sense ---------------------------------------------------------------------------

Matrix3 AboutAxisZ(float a) { return RotAngleAxisMatrix({0, 0, 1}, a); }
Matrix3 AboutLongAxisY(float a) { return RotAngleAxisMatrix({0, 5, 0}, a); }
Matrix3 AboutDiagonalThirdTurn(float a) { return RotAngleAxisMatrix({1, 1, 1}, a * 4 / 3); }
Matrix3 AboutZeroAxis(float a) { return RotAngleAxisMatrix({0, 0, 0}, a); }

struct RotationCase {
    std::string name;
    Matrix3 (*make)(float);
    Point3 in;
    Point3 out;  // in * make(90 degrees)
};

class RotationSense : public ::testing::TestWithParam<RotationCase> {};

TEST_P(RotationSense, QuarterTurnMovesAxisCounterClockwise) {
    const RotationCase& c = GetParam();
    EXPECT_TRUE(Near(c.in * c.make(kQuarter), c.out));
}

// Counter-clockwise looking down each axis: X -> Y about Z, Y -> Z about X, Z -> X about Y; the
// angle-axis form about a world axis turns the same way; a third of a turn about (1,1,1) cycles
// X -> Y -> Z.
INSTANTIATE_TEST_SUITE_P(
    Matrix3, RotationSense,
    ::testing::Values(RotationCase{"ZturnsXtoY", RotateZMatrix, {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"XturnsYtoZ", RotateXMatrix, {0, 1, 0}, {0, 0, 1}},
                      RotationCase{"YturnsZtoX", RotateYMatrix, {0, 0, 1}, {1, 0, 0}},
                      RotationCase{"YturnsXtoMinusZ", RotateYMatrix, {1, 0, 0}, {0, 0, -1}},
                      RotationCase{"AxisZ", AboutAxisZ, {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"AxisYUnnormalised", AboutLongAxisY, {0, 0, 1}, {1, 0, 0}},
                      RotationCase{
                          "AxisDiagonalThirdTurn", AboutDiagonalThirdTurn, {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"AxisZeroIsIdentity", AboutZeroAxis, {1, 2, 3}, {1, 2, 3}}),

    support::ByName());

// --- Post and pre operations ------------------------------------------------------------------

// Copies of m after one member operation.
Matrix3 Translated(Matrix3 m, const Point3& p) {
    m.Translate(p);
    return m;
}
Matrix3 PreScaled(Matrix3 m, const Point3& s, BOOL trans) {
    m.PreScale(s, trans);
    return m;
}

const Matrix3 kTurnZ = RotateZMatrix(kQuarter);
const Matrix3 kMoveX = TransMatrix({1, 0, 0});
const Matrix3 kMove123 = TransMatrix({1, 2, 3});

struct OrderCase {
    std::string name;
    Matrix3 m;
    Point3 in;
    Point3 out;  // in * m
};

class CompositionOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(CompositionOrder, MapsPoint) {
    const OrderCase& c = GetParam();
    EXPECT_TRUE(Near(c.in * c.m, c.out));
}

INSTANTIATE_TEST_SUITE_P(
    Matrix3, CompositionOrder,
    ::testing::Values(
        // A quarter turn about Z, then a move by +X: the origin lands on +X.
        OrderCase{"TranslateAfterRotation", Translated(kTurnZ, {1, 0, 0}), {0, 0, 0}, {1, 0, 0}},
        OrderCase{"ProductAppliesLeftFirst", kMoveX* kTurnZ, {0, 0, 0}, {0, 1, 0}},
        OrderCase{"ProductAppliesLeftFirstReversed", kTurnZ* kMoveX, {0, 0, 0}, {1, 0, 0}},
        // PreScale stretches X before the turn.
        OrderCase{
            "PreScaleBeforeRotationX", PreScaled(kTurnZ, {2, 1, 1}, FALSE), {1, 0, 0}, {0, 2, 0}},
        // PreScale keeps the translation row: (1,1,1) -> (2,3,4) + (1,2,3).
        OrderCase{"PreScaleKeepsTranslation",
                  PreScaled(kMove123, {2, 3, 4}, FALSE),
                  {1, 1, 1},
                  {3, 5, 7}},
        // The transpose of a rotation turns back; the translation is dropped.
        OrderCase{"TransposeTurnsBack", TransposeMatrix(kTurnZ* kMove123), {0, 1, 0}, {1, 0, 0}}),
    support::ByName());

TEST(Matrix3, VectorTransformIgnoresTranslation) {
    const Matrix3 m = RotateZMatrix(kQuarter) * TransMatrix({5, 6, 7});
    EXPECT_TRUE(Near(VectorTransform(Point3(1, 0, 0), m), {0, 1, 0}));
    EXPECT_TRUE(Near(m.VectorTransform({1, 0, 0}), {0, 1, 0}));
    EXPECT_TRUE(Near(m.PointTransform({1, 0, 0}), {5, 7, 7}));
    EXPECT_TRUE(Near(m * Point3(1, 0, 0), {5, 7, 7}));
}

// --- Inverse ----------------------------------------------------------------------------------

struct InverseCase {
    std::string name;
    Matrix3 m;
    Matrix3 inverse;
};

class InverseOf : public ::testing::TestWithParam<InverseCase> {};

TEST_P(InverseOf, MatchesHandInverse) {
    EXPECT_TRUE(Near(Inverse(GetParam().m), GetParam().inverse));
}

INSTANTIATE_TEST_SUITE_P(
    Matrix3, InverseOf,
    ::testing::Values(
        InverseCase{"Translation", TransMatrix({1, -2, 3}), TransMatrix({-1, 2, -3})},
        InverseCase{"Scale", ScaleMatrix({2, 4, -8}), ScaleMatrix({0.5f, 0.25f, -0.125f})},
        InverseCase{"Rotation", RotateZMatrix(0.7f), RotateZMatrix(-0.7f)},
        // Move then turn: undo by turning back then moving back.
        InverseCase{"TurnAfterMove", TransMatrix({1, 0, 0}) * RotateZMatrix(kQuarter),
                    RotateZMatrix(-kQuarter) * TransMatrix({-1, 0, 0})},
        // Stretch then turn: undo by turning back then shrinking.
        InverseCase{"TurnAfterStretch", ScaleMatrix({2, 1, 1}) * RotateZMatrix(kQuarter),
                    RotateZMatrix(-kQuarter) * ScaleMatrix({0.5f, 1.0f, 1.0f})},
        // No inverse exists; the identity is returned.
        InverseCase{"SingularGivesIdentity", ScaleMatrix({1, 0, 1}) * TransMatrix({4, 5, 6}),
                    Matrix3(TRUE)},
        InverseCase{"ZeroGivesIdentity", Matrix3(FALSE), Matrix3(TRUE)}),
    support::ByName());

// --- Rows and reductions -------------------------------------------------------------

TEST(Matrix3, NoTransNoScale) {
    // Scale (2, 3, 4), a quarter turn about Z, then a move: rows (0,2,0), (-3,0,0), (0,0,4).
    const Matrix3 m = ScaleMatrix({2, 3, 4}) * RotateZMatrix(kQuarter) * TransMatrix({1, 2, 3});
    Matrix3 a = m;
    a.NoScale();
    EXPECT_TRUE(Near(a, Matrix3({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {1, 2, 3})));
    Matrix3 c = m;
    c.NoTrans();
    EXPECT_TRUE(Near(c, Matrix3({0, 2, 0}, {-3, 0, 0}, {0, 0, 4}, {0, 0, 0})));
}

struct ParityCase {
    std::string name;
    Matrix3 m;
    int parity;
};

class Parity : public ::testing::TestWithParam<ParityCase> {};

TEST_P(Parity, DetectsMirroring) { EXPECT_EQ(GetParam().m.Parity(), GetParam().parity); }

// An odd number of negative scales mirrors; two of them are a half turn.
INSTANTIATE_TEST_SUITE_P(Matrix3, Parity,
                         ::testing::Values(ParityCase{"Identity", Matrix3(1), 0},
                                           ParityCase{"Rotation", RotateYMatrix(2.0f), 0},
                                           ParityCase{"OneNegative", ScaleMatrix({-1, 1, 1}), 1},
                                           ParityCase{"TwoNegative", ScaleMatrix({-1, -2, 1}), 0},
                                           ParityCase{"MirroredRotation",
                                                      RotateZMatrix(1.0f) * ScaleMatrix({1, 1, -3}),
                                                      1}),
                         support::ByName());

// --- ArbAxis ----------------------------------------------------------------------------------

struct ArbCase {
    std::string name;
    Point3 n;
    Point3 x;  // expected row 0
    Point3 y;  // expected row 1
};

class ArbAxisRows : public ::testing::TestWithParam<ArbCase> {};

TEST_P(ArbAxisRows, FollowTheArbitraryAxisRule) {
    const ArbCase& c = GetParam();
    Matrix3 m = TransMatrix({9, 9, 9});
    ArbAxis(c.n, m);
    EXPECT_TRUE(Near(m.GetRow(0), c.x));
    EXPECT_TRUE(Near(m.GetRow(1), c.y));
    EXPECT_EQ(m.GetRow(2), c.n);
    EXPECT_EQ(m.GetTrans(), Point3(0, 0, 0));
}

// Near Z (|x| and |y| below 1/64) X = worldY x N, else X = worldZ x N; Y = N x X.
const float kInside = 0.015f;         // below 1/64
const float kOutside = 1.0f / 64.0f;  // exactly 1/64 is not below it
const float kInsideZ = std::sqrt(1.0f - kInside * kInside);
const float kOutsideZ = std::sqrt(1.0f - kOutside * kOutside);

INSTANTIATE_TEST_SUITE_P(
    Matrix3, ArbAxisRows,
    ::testing::Values(ArbCase{"PlusZ", {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
                      // Z x X = Y; X x Y = Z.
                      ArbCase{"PlusX", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                      // Z x (1,1,1) = (-1,1,0); (1,1,1) x (-1,1,0) = (-1,-1,2).
                      ArbCase{"Diagonal",
                              {kInvSqrt3, kInvSqrt3, kInvSqrt3},
                              {-kInvSqrt2, kInvSqrt2, 0.0f},
                              {-kInvSqrt6, -kInvSqrt6, 2 * kInvSqrt6}},
                      // N = (a, 0, c) inside: Y x N = (c, 0, -a); N x (c, 0, -a) = (0, 1, 0).
                      ArbCase{"JustInsideThreshold",
                              {kInside, 0.0f, kInsideZ},
                              {kInsideZ, 0.0f, -kInside},
                              {0, 1, 0}},
                      // Outside: Z x N = (0, a, 0) -> +Y; N x Y = (-c, 0, a).
                      ArbCase{"AtThresholdIsOutside",
                              {kOutside, 0.0f, kOutsideZ},
                              {0, 1, 0},
                              {-kOutsideZ, 0.0f, kOutside}}),
    support::ByName());

TEST(Matrix3, ArbAxisOfZeroVectorIsIdentity) {
    Matrix3 m = RotateXMatrix(1.0f);
    ArbAxis(Point3(0, 0, 0), m);
    EXPECT_TRUE(Near(m, Matrix3(TRUE), 0.0f));
}

}  // namespace
