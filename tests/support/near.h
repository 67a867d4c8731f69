// Tolerant comparisons for every test suite: float results of sines and square roots agree with
// hand-derived values only to a few ulps. A failure prints both values.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "box3.h"
#include "matrix3.h"
#include "point3.h"
#include "quat.h"

namespace support {

inline ::testing::AssertionResult Near(const Point3& got, const Point3& want, float tol = 1e-4f) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

inline ::testing::AssertionResult Near(const Matrix3& got, const Matrix3& want, float tol = 1e-5f) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ",\nwant " << want;
}

inline ::testing::AssertionResult Near(const Quat& got, const Quat& want, float tol = 1e-5f) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

inline ::testing::AssertionResult Near(const Box3& got, const Box3& want, float tol = 1e-4f) {
    if (got.pmin.Equals(want.pmin, tol) && got.pmax.Equals(want.pmax, tol))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

inline bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Names parameterised cases by their `name` member.
struct ByName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P>& p) const {
        return p.param.name;
    }
};

}  // namespace support
