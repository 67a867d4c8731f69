// Quat: rotations in the host's left-handed sense.
//
// The host's quaternions follow the left-hand rule: Quat(M) is the conjugate
// of the textbook quaternion of the rotation M performs. Equivalently, the textbook column-vector
// formulas are applied to the row-vector matrix storage m[r][c] unchanged:
//   Quat(RotateZMatrix(a)) = (0, 0, -sin(a/2), cos(a/2))
// Quat(M) expects a pure rotation in rows 0..2 (the translation is ignored; scaled rows give a
// quaternion that is not of unit length). MakeMatrix is the inverse of Quat(const Matrix3&).
// Normalize turns a zero quaternion into the identity rather than divide by zero.
#pragma once

#include <iosfwd>

#include "matrix3.h"
#include "point3.h"

class Quat {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr Quat() = default;  // the identity (0, 0, 0, 1)
    constexpr Quat(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    explicit Quat(const Matrix3& mat);
    Quat(const Point3& V, float W) : x(V.x), y(V.y), z(V.z), w(W) {}

    float& operator[](int i) { return (&x)[i]; }
    const float& operator[](int i) const { return (&x)[i]; }

    void Identity() {
        x = y = z = 0.0f;
        w = 1.0f;
    }
    void Normalize();
    // The rotation matrix; with flag TRUE its transpose, as in the host.
    void MakeMatrix(Matrix3& mat, bool flag = false) const;

    Quat operator-() const { return {-x, -y, -z, -w}; }
    bool operator==(const Quat& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool Equals(const Quat& q, float epsilon = 1e-6f) const;
};

std::ostream& operator<<(std::ostream& os, const Quat& q);
