#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "euler.h"
#include "matrix3.h"
#include "quat.h"
#include "support/near.h"

using support::Near;

namespace {

// An angle difference reduced to (-pi, pi], for comparing angles that may wrap.
float AngleDiff(float a, float b) { return std::remainder(a - b, TWOPI); }

Matrix3 XYZ(float x, float y, float z) {
    return RotateXMatrix(x) * RotateYMatrix(y) * RotateZMatrix(z);
}

::testing::AssertionResult AnglesNear(const float* got, float a0, float a1, float a2,
                                      float tol = 2e-5f) {
    const float want[3] = {a0, a1, a2};
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(AngleDiff(got[i], want[i])) <= tol)) {
            return ::testing::AssertionFailure()
                   << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want (" << a0
                   << ", " << a1 << ", " << a2 << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// --- Known rotations, XYZ ---------------------------------------------------------------------

struct KnownCase {
    std::string name;
    Matrix3 m;
    float x, y, z;
};

class QuatToEulerXYZ : public ::testing::TestWithParam<KnownCase> {};

TEST_P(QuatToEulerXYZ, ReadsTheAnglesTheMatrixWasBuiltFrom) {
    const KnownCase& c = GetParam();
    float ang[3] = {9, 9, 9};
    QuatToEuler(Quat(c.m), ang, EULERTYPE_XYZ);
    EXPECT_TRUE(AnglesNear(ang, c.x, c.y, c.z));
}

// Single-axis turns read back on their own axis; RotateX(x)*RotateY(y)*RotateZ(z) reads back
// (x, y, z) inside the principal ranges. At y = +-pi/2 the first and last turns share an axis:
// RotateY(pi/2) carries Z onto -X, so RotateX(x)*RotateY(pi/2)*RotateZ(z) = RotateX(x-z)*
// RotateY(pi/2), read as (x - z, pi/2, 0); at -pi/2 Z goes onto +X, giving (x + z, -pi/2, 0).
INSTANTIATE_TEST_SUITE_P(
    Euler, QuatToEulerXYZ,
    ::testing::Values(
        KnownCase{"HostDataPointXMinus90", RotateXMatrix(-HALFPI), -HALFPI, 0, 0},
        KnownCase{"YOnly", RotateYMatrix(0.7f), 0, 0.7f, 0},
        KnownCase{"ZOnly", RotateZMatrix(-2.5f), 0, 0, -2.5f},
        KnownCase{"XHalfTurn", RotateXMatrix(PI), PI, 0, 0},
        KnownCase{"Composed", XYZ(0.3f, -0.6f, 1.2f), 0.3f, -0.6f, 1.2f},
        KnownCase{"ComposedLarge", XYZ(-2.8f, 1.4f, 3.0f), -2.8f, 1.4f, 3.0f},
        // y beyond pi/2 is read the other way round: (x+pi, pi-y, z+pi) is the same rotation.
        KnownCase{"YPastQuarter", XYZ(0.2f, 2.0f, 0.1f), 0.2f + PI, PI - 2.0f, 0.1f + PI},
        KnownCase{"GimbalPlus", XYZ(0.5f, HALFPI, 0.2f), 0.3f, HALFPI, 0},
        KnownCase{"GimbalMinus", XYZ(0.5f, -HALFPI, 0.2f), 0.7f, -HALFPI, 0},
        KnownCase{"GimbalPlusWraps", XYZ(-2.0f, HALFPI, 2.0f), -4.0f + TWOPI, HALFPI, 0}),
    support::ByName());

// --- EulerToMatrix ---------------------------------------------------------------------------

// X first, then Y, a quarter turn each (a point times the matrix): +X stays, then goes to -Z;
// +Y goes to +Z, then to +X; +Z goes to -Y and stays.
TEST(Euler, EulerToMatrixTurnsAboutXThenY) {
    const float ang[3] = {HALFPI, HALFPI, 0.0f};
    Matrix3 m;
    EulerToMatrix(ang, m, EULERTYPE_XYZ);
    EXPECT_TRUE(Near(m, Matrix3({0, 0, -1}, {1, 0, 0}, {0, -1, 0}, {0, 0, 0})));
}

// --- Defined results for imperfect input ------------------------------------------------------

TEST(Euler, UnnormalisedAndZeroQuaternions) {
    // A quaternion of length 3 is the same rotation as the unit one.
    const Quat q(RotateXMatrix(0.9f));
    float ang[3];
    QuatToEuler(Quat(q.x * 3, q.y * 3, q.z * 3, q.w * 3), ang, EULERTYPE_XYZ);
    EXPECT_TRUE(AnglesNear(ang, 0.9f, 0, 0));
    QuatToEuler(Quat(0, 0, 0, 0), ang, EULERTYPE_XYZ);
    EXPECT_TRUE(AnglesNear(ang, 0, 0, 0));
}

}  // namespace
