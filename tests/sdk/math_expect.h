// Tolerant comparisons for the math tests: float results of sines and square roots agree with
// hand-derived values only to a few ulps.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <cmath>
#include <string>

#include "matrix3.h"
#include "point3.h"
#include "quat.h"

namespace math_test {

inline constexpr float kTol = 1e-5f;

// The shared comparisons under the names the math tests use.
inline ::testing::AssertionResult PointNear(const Point3& got, const Point3& want,
                                            float tol = kTol) {
    return support::Near(got, want, tol);
}
inline ::testing::AssertionResult MatrixNear(const Matrix3& got, const Matrix3& want,
                                             float tol = kTol) {
    return support::Near(got, want, tol);
}
inline ::testing::AssertionResult QuatNear(const Quat& got, const Quat& want, float tol = kTol) {
    return support::Near(got, want, tol);
}
using support::SameRotation;

// An angle difference reduced to (-pi, pi], for comparing angles that may wrap.
inline float AngleDiff(float a, float b) { return std::remainder(a - b, 2.0f * 3.14159265358979f); }

using support::ByName;

}  // namespace math_test
