// Euler angle conversions. All orderings are "static axis". Angles come back in the order the
// type names them (EULERTYPE_XYZ: ang[0] about X, ang[1] about Y, ang[2] about Z).
//
// For a type naming axes A, B, C the rotation is RotateAMatrix(ang[0]) * RotateBMatrix(ang[1]) *
// RotateCMatrix(ang[2]) (row vectors: the first named axis is applied first), and QuatToEuler is
// its inverse:  QuatToEuler(Quat(RotateXMatrix(x) * RotateYMatrix(y) * RotateZMatrix(z)), ang,
// EULERTYPE_XYZ) gives (x, y, z). Ranges: for the six types with three different axes ang[0] and
// ang[2] are in (-pi, pi] and ang[1] in [-pi/2, pi/2]; at ang[1] = +-pi/2 (gimbal lock) only one
// combination of the outer angles is defined and ang[2] is returned as 0. For XYX, YZY, ZXZ
// ang[1] is in [0, pi] and, when it is 0 or pi, ang[2] is returned as 0.
// EULERTYPE_RF (or'ed with a type) means rotating axes: XYZ|RF applies the angles in reverse
// order, RotateZ(ang[2]) first, i.e. RotateZMatrix(ang[2]) * RotateYMatrix(ang[1]) *
// RotateXMatrix(ang[0]). Unknown types are read as EULERTYPE_XYZ.
//
// QuatToEuler normalises the quaternion first (a zero quaternion reads as no rotation); its bool
// flag is accepted for the host's signature and has no effect. EulerToMatrix is its inverse on
// those ranges.
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
void EulerToMatrix(const float* ang, Matrix3& mat, int type = EULERTYPE_XYZ);
