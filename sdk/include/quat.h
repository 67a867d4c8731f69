// Quat and AngAxis: rotations in the host's left-handed sense.
//
// The host's quaternions and angle-axis values follow the left-hand rule: Quat(M) is the conjugate
// of the textbook quaternion of the rotation M performs. Equivalently, the textbook column-vector
// formulas are applied to the row-vector matrix storage m[r][c] unchanged:
//   Quat(RotateZMatrix(a)) = (0, 0, -sin(a/2), cos(a/2))
// Quat(M) expects a pure rotation in rows 0..2 (the translation is ignored; scaled rows give a
// quaternion that is not of unit length). MakeMatrix is the inverse of Quat(const Matrix3&).
// QFromAngAxis(ang, axis) builds (axis * sin(ang/2), cos(ang/2)) with the axis normalised (a zero
// axis gives the identity), so its matrix for axis Z is RotateZMatrix(-ang); AngAxisFromQ is its
// inverse, with the angle in [0, 2pi] and axis X for no rotation.
// Normalize and Inverse turn a zero quaternion into the identity rather than divide by zero.
// Slerp takes the shorter arc (it interpolates towards -q when q is on the far side).
#pragma once

#include <iosfwd>

#include "matrix3.h"
#include "point3.h"

class AngAxis;

class Quat {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr Quat() = default;  // the identity (0, 0, 0, 1)
    constexpr Quat(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    explicit Quat(const Matrix3& mat);
    explicit Quat(const AngAxis& aa);
    Quat(const Point3& V, float W) : x(V.x), y(V.y), z(V.z), w(W) {}

    float& operator[](int i) { return (&x)[i]; }
    const float& operator[](int i) const { return (&x)[i]; }

    void Identity() {
        x = y = z = 0.0f;
        w = 1.0f;
    }
    BOOL IsIdentity() const;  // exactly (0, 0, 0, +-1)
    void Normalize();
    Quat Conjugate() const { return {-x, -y, -z, w}; }
    Quat Inverse() const;
    // The rotation matrix; with flag TRUE its transpose, as in the host.
    void MakeMatrix(Matrix3& mat, bool flag = false) const;

    Quat operator-() const { return {-x, -y, -z, -w}; }
    Quat operator+(const Quat& q) const { return {x + q.x, y + q.y, z + q.z, w + q.w}; }
    Quat operator-(const Quat& q) const { return {x - q.x, y - q.y, z - q.z, w - q.w}; }
    // Composition with the same order as matrices: Quat(A) * Quat(B) = Quat(A * B).
    Quat operator*(const Quat& q) const;
    Quat& operator*=(const Quat& q) { return *this = *this * q; }
    bool operator==(const Quat& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool Equals(const Quat& q, float epsilon = 1e-6f) const;
};

class AngAxis {
public:
    Point3 axis;
    float angle = 0.0f;  // left handed, radians

    AngAxis() = default;
    AngAxis(const Point3& Axis, float Angle) : axis(Axis), angle(Angle) {}
    explicit AngAxis(const Quat& q);
    explicit AngAxis(const Matrix3& m);
    AngAxis& Set(const Point3& Axis, float Angle) {
        axis = Axis;
        angle = Angle;
        return *this;
    }
};

Quat QFromAngAxis(float ang, const Point3& axis);
void AngAxisFromQ(const Quat& q, float* ang, Point3& axis);
AngAxis AngAxisFromQ(const Quat& q);
// The angle and axis of the rotation r that takes p to q (p * r = q).
float QangAxis(const Quat& p, const Quat& q, Point3& axis);
float DotProd(const Quat& a, const Quat& b);
Quat Slerp(const Quat& p, const Quat& q, float t);
void MakeMatrix(const Quat& q, Matrix3& mat);

std::ostream& operator<<(std::ostream& os, const Quat& q);
