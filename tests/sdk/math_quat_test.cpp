#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "matrix3.h"
#include "quat.h"
#include "support/near.h"

using support::Near;

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
    EXPECT_TRUE(Near(Quat(GetParam().m), GetParam().q));
}

// Left-handed: a turn by a about +Z (X towards Y) is (0, 0, -sin a/2, cos a/2), likewise about X
// and Y. Beyond 120 degrees the trace 1 + 2 cos a is negative and the largest component (z, or y
// about Y) is taken positive: (0, 0, sin a/2, -cos a/2). (Quat::MakeMatrix, the way back, is
// pinned by the scene reader's quaternion turning +X to +Y.) The host data point: a turn of -90
// degrees about X reads (0.707107, 0, 0, 0.707107).
INSTANTIATE_TEST_SUITE_P(
    Quat, QuatFromMatrix,
    ::testing::Values(FromMatrixCase{"Z90", RotateZMatrix(90 * kDeg),
                                     Quat(0, 0, -std::sin(45 * kDeg), std::cos(45 * kDeg))},
                      FromMatrixCase{"ZMinus100", RotateZMatrix(-100 * kDeg),
                                     Quat(0, 0, std::sin(50 * kDeg), std::cos(50 * kDeg))},
                      FromMatrixCase{"Z170NegativeTrace", RotateZMatrix(170 * kDeg),
                                     Quat(0, 0, std::sin(85 * kDeg), -std::cos(85 * kDeg))},
                      FromMatrixCase{"X40", RotateXMatrix(40 * kDeg),
                                     Quat(-std::sin(20 * kDeg), 0, 0, std::cos(20 * kDeg))},
                      FromMatrixCase{"HostDataPointXMinus90", RotateXMatrix(-HALFPI),
                                     Quat(0.707107f, 0, 0, 0.707107f)},
                      FromMatrixCase{"Y170NegativeTrace", RotateYMatrix(170 * kDeg),
                                     Quat(0, std::sin(85 * kDeg), 0, -std::cos(85 * kDeg))},
                      // A half turn about X: diagonal (1, -1, -1), x is the largest component.
                      FromMatrixCase{"XHalfTurn", RotateXMatrix(PI), Quat(1, 0, 0, 0)},
                      FromMatrixCase{"TranslationIgnored",
                                     RotateZMatrix(90 * kDeg) * TransMatrix({4, 5, 6}),
                                     Quat(0, 0, -std::sin(45 * kDeg), std::cos(45 * kDeg))}),
    support::ByName());

// --- Normalize ------------------------------------------------------------------------------

TEST(Quat, NormalizeKeepsTheRotationAndMakesZeroTheIdentity) {
    Quat q(0, 0, 3, 4);  // length 5
    q.Normalize();
    EXPECT_TRUE(Near(q, Quat(0, 0, 0.6f, 0.8f)));
    Quat zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero, Quat());
}

}  // namespace
