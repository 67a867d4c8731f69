// Matrix3: an affine 4x3 transform in the host's row-vector convention.
//
// Rows 0, 1, 2 are the X, Y and Z axes and row 3 the translation. A point is a row vector and is
// transformed as p * M = p.x * row0 + p.y * row1 + p.z * row2 + row3, so A * B applies A first,
// then B. Positive angles turn counter-clockwise looking down the axis from positive to negative:
//   RotateXMatrix(a) = [1 0 0;  0 c s;  0 -s c]
//   RotateYMatrix(a) = [c 0 -s; 0 1 0;  s 0 c]
//   RotateZMatrix(a) = [c s 0; -s c 0;  0 0 1]      (RotateZ(+a) turns +X towards +Y)
// Members named Rotate*/Translate/Scale multiply on the right (M = M * R); the Pre* forms on the
// left (M = R * M).
//
// Unlike later hosts, this release's default constructor leaves the numbers uninitialised; here
// it makes the identity so that no test depends on garbage, and Matrix3(1) / Matrix3(TRUE) make
// the identity as in the host. The identity flags (POS_IDENT, ROT_IDENT, SCL_IDENT) are kept as
// the host keeps them: IsIdentity() reads only the flags; ValidateFlags() recomputes them.
#pragma once

#include <iosfwd>

#include "maxtypes.h"
#include "point3.h"
#include "point4.h"

class Quat;

constexpr DWORD POS_IDENT = 1;
constexpr DWORD ROT_IDENT = 2;
constexpr DWORD SCL_IDENT = 4;
constexpr DWORD MAT_IDENT = POS_IDENT | ROT_IDENT | SCL_IDENT;

class Matrix3 {
public:
    Matrix3() { IdentityMatrix(); }
    explicit Matrix3(BOOL init);  // non-zero: identity; zero: all numbers 0
    Matrix3(const Point3& U, const Point3& V, const Point3& N, const Point3& T);
    explicit Matrix3(const float (&fp)[4][3]);

    Matrix3& Set(const Point3& U, const Point3& V, const Point3& N, const Point3& T);

    // Row access: rows 0..2 are the axes, row 3 the translation.
    Point3& operator[](int i) { return *reinterpret_cast<Point3*>(m[i]); }
    const Point3& operator[](int i) const { return *reinterpret_cast<const Point3*>(m[i]); }
    Point3 GetRow(int i) const { return Point3(m[i][0], m[i][1], m[i][2]); }
    void SetRow(int i, const Point3& p);
    Point4 GetColumn(int i) const;
    Point3 GetColumn3(int i) const;
    Point3 GetTrans() const { return GetRow(3); }
    void SetTrans(const Point3& p);
    void SetTrans(int i, float v);
    float (*GetAddr())[3] { return m; }
    const float (*GetAddr() const)[3] { return m; }

    DWORD GetIdentFlags() const { return flags & MAT_IDENT; }
    void SetIdentFlags(DWORD f) { flags = (flags & ~MAT_IDENT) | (f & MAT_IDENT); }
    void ClearIdentFlag(DWORD f) { flags &= ~f; }
    BOOL IsIdentity() const { return (flags & MAT_IDENT) == MAT_IDENT; }
    void ValidateFlags();

    void IdentityMatrix();
    void Zero();
    void NoTrans();  // zeroes the translation row
    void NoRot();    // makes rows 0..2 the identity rows
    void NoScale();  // normalises rows 0..2 (no orthogonalisation)
    void Orthogonalize();

    // Right multiplication (M = M * R).
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);
    void Rotate(const Quat& q);
    void Translate(const Point3& p);
    // Right-multiplies by a scale matrix. With trans FALSE (the default) the translation row is
    // left unscaled, as in the host.
    void Scale(const Point3& s, BOOL trans = FALSE);

    // Left multiplication (M = R * M).
    void PreRotateX(float angle);
    void PreRotateY(float angle);
    void PreRotateZ(float angle);
    void PreRotate(const Quat& q);
    void PreTranslate(const Point3& p);
    void PreScale(const Point3& s, BOOL trans = FALSE);

    void SetRotateX(float angle);
    void SetRotateY(float angle);
    void SetRotateZ(float angle);
    void SetRotate(const Quat& q);
    void SetTranslate(const Point3& p);
    void SetScale(const Point3& s);

    void Invert();
    Point3 PointTransform(const Point3& p) const;   // p * M
    Point3 VectorTransform(const Point3& p) const;  // p * M without the translation
    float Parity() const;                           // 1 when the axes are left-handed (mirrored)

    Matrix3 operator*(const Matrix3& b) const;
    Matrix3& operator*=(const Matrix3& b);
    Matrix3 operator+(const Matrix3& b) const;
    Matrix3 operator-(const Matrix3& b) const;
    bool operator==(const Matrix3& b) const;
    bool operator!=(const Matrix3& b) const { return !(*this == b); }
    bool Equals(const Matrix3& b, float epsilon = 1e-6f) const;

    float m[4][3] = {};
    DWORD flags = 0;
};

// p * M: the point transformed (translation included).
Point3 operator*(const Point3& p, const Matrix3& M);
// The host also accepts M * p with the same meaning.
Point3 operator*(const Matrix3& M, const Point3& p);
Point3 VectorTransform(const Matrix3& M, const Point3& v);
Point3 VectorTransform(const Point3& v, const Matrix3& M);

Matrix3 Inverse(const Matrix3& M);
Matrix3 TransposeMatrix(const Matrix3& M);  // transposes rows 0..2, drops the translation
Matrix3 XFormMat(const Matrix3& xm, const Matrix3& m);  // xm * m * Inverse(xm)

Matrix3 RotateXMatrix(float angle);
Matrix3 RotateYMatrix(float angle);
Matrix3 RotateZMatrix(float angle);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);
// IdentityMatrix; RotateZ(roll); RotateX(pitch); RotateY(yaw).
Matrix3 RotateYPRMatrix(float Yaw, float Pitch, float Roll);
// Rotation about a unit axis; the same sense as RotateXMatrix etc. for the world axes.
Matrix3 RotAngleAxisMatrix(const Point3& axis, float angle);

// Right- and left-multiplies mat by the rotation of q: mat = mat * Rq and mat = Rq * mat.
void RotateMatrix(Matrix3& mat, const Quat& q);
void PreRotateMatrix(Matrix3& mat, const Quat& q);

// An axis system with zAxis as its Z row, by the arbitrary-axis algorithm of drawing exchange
// files: when |N.x| < 1/64 and |N.y| < 1/64, X = normalise(worldY x N), otherwise
// X = normalise(worldZ x N); Y = normalise(N x X). The result has rows X, Y, N and a zero
// translation. zAxis is expected to be a unit vector and is used as given.
void ArbAxis(const Point3& zAxis, Matrix3& m);

std::ostream& operator<<(std::ostream& os, const Matrix3& m);
