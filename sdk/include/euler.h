// Euler angle conversions. All orderings are "static axis". Angles come back in the order the
// type names them (EULERTYPE_XYZ: ang[0] about X, ang[1] about Y, ang[2] about Z).
//
// QuatToEuler is the inverse of building the rotation with row-vector matrices in the order the
// type names:  QuatToEuler(Quat(RotateXMatrix(x) * RotateYMatrix(y) * RotateZMatrix(z)), ang,
// EULERTYPE_XYZ) gives (x, y, z), with x and z in (-pi, pi] and y in [-pi/2, pi/2].
// EulerToQuat is its inverse on those ranges (here; the host's own EulerToQuat of this release is
// known to have the opposite handedness, so module code should not rely on it).
#pragma once

#include "matrix3.h"
#include "quat.h"

constexpr int EULERTYPE_XYZ = 0;
constexpr int EULERTYPE_XZY = 1;
constexpr int EULERTYPE_YZX = 2;
constexpr int EULERTYPE_YXZ = 3;
constexpr int EULERTYPE_ZXY = 4;
constexpr int EULERTYPE_ZYX = 5;
constexpr int EULERTYPE_XYX = 6;
constexpr int EULERTYPE_YZY = 7;
constexpr int EULERTYPE_ZXZ = 8;
constexpr int EULERTYPE_RF = 16;

void QuatToEuler(const Quat& q, float* ang, int type, bool flag = false);
void EulerToQuat(const float* ang, Quat& q, int type = EULERTYPE_XYZ);
void MatrixToEuler(const Matrix3& mat, float* ang, int type, bool flag = false);
void EulerToMatrix(const float* ang, Matrix3& mat, int type = EULERTYPE_XYZ);
