// Tolerant comparisons for the math tests: float results of sines and square roots agree with
// hand-derived values only to a few ulps.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "matrix3.h"
#include "point3.h"
#include "quat.h"

namespace math_test {

inline constexpr float kTol = 1e-5f;

inline ::testing::AssertionResult PointNear(const Point3& got, const Point3& want,
                                            float tol = kTol) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

inline ::testing::AssertionResult MatrixNear(const Matrix3& got, const Matrix3& want,
                                             float tol = kTol) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ",\nwant " << want;
}

inline ::testing::AssertionResult QuatNear(const Quat& got, const Quat& want, float tol = kTol) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

// q and -q are the same rotation.
inline ::testing::AssertionResult SameRotation(const Quat& got, const Quat& want,
                                               float tol = kTol) {
    if (got.Equals(want, tol) || got.Equals(-want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want +-" << want;
}

// An angle difference reduced to (-pi, pi], for comparing angles that may wrap.
inline float AngleDiff(float a, float b) { return std::remainder(a - b, 2.0f * 3.14159265358979f); }

// Names parameterised cases by their `name` member.
struct ByName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P>& p) const {
        return p.param.name;
    }
};

}  // namespace math_test
