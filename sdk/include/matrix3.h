// Matrix3: an affine 4x3 transform in the host's row-vector convention.
//
// Rows 0, 1, 2 are the X, Y and Z axes and row 3 the translation. A point is a row vector and is
// transformed as p * M = p.x * row0 + p.y * row1 + p.z * row2 + row3, so A * B applies A first,
// then B. Positive angles turn counter-clockwise looking down the axis from positive to negative:
//   RotateXMatrix(a) = [1 0 0;  0 c s;  0 -s c]
//   RotateYMatrix(a) = [c 0 -s; 0 1 0;  s 0 c]
//   RotateZMatrix(a) = [c s 0; -s c 0;  0 0 1]      (RotateZ(+a) turns +X towards +Y)
// As in this release of the host, the default constructor sets no numbers (the flags are 0): the
// stand-in fills them with signalling NaNs (or, with TRELLON_SDK_UNSET_IS_NAN off, makes the
// identity; see point3.h), so code that takes an unset matrix for the identity fails its tests.
// Matrix3(1) / Matrix3(TRUE) make the identity as in the host. The identity flags (POS_IDENT,
// ROT_IDENT, SCL_IDENT) are kept as the host keeps them: IsIdentity() reads only the flags;
// ValidateFlags() recomputes them.
//
// What each flag promises (a flag is only ever set when its promise holds):
//   POS_IDENT  row 3 is exactly zero;
//   ROT_IDENT  rows 0..2 have no rotation: the off-diagonal numbers are exactly zero and the
//              diagonal is positive (a pure, unmirrored scale or the identity);
//   SCL_IDENT  rows 0..2 have no scale: unit length, mutually perpendicular and right-handed
//              (a pure rotation), to 1e-5; together with ROT_IDENT the diagonal is exactly 1.
// Products keep the flags both factors have (a product of pure rotations is a pure rotation, of
// pure scales a pure scale); direct writes to m[][] must be followed by ValidateFlags().
#pragma once

#include <iosfwd>

#include "maxtypes.h"
#include "point3.h"

class Quat;

constexpr DWORD POS_IDENT = 1;
constexpr DWORD ROT_IDENT = 2;
constexpr DWORD SCL_IDENT = 4;
constexpr DWORD MAT_IDENT = POS_IDENT | ROT_IDENT | SCL_IDENT;

class Matrix3 {
public:
    Matrix3() {
#if defined(TRELLON_SDK_UNSET_IS_NAN)
        for (auto& row : m)
            for (float& v : row) v = kSdkUnsetFloat;
#else
        IdentityMatrix();
#endif
    }
    explicit Matrix3(BOOL init);  // non-zero: identity; zero: all numbers 0
    Matrix3(const Point3& U, const Point3& V, const Point3& N, const Point3& T);

    Matrix3& Set(const Point3& U, const Point3& V, const Point3& N, const Point3& T);

    // Row access: rows 0..2 are the axes, row 3 the translation.
    Point3& operator[](int i) { return *reinterpret_cast<Point3*>(m[i]); }
    const Point3& operator[](int i) const { return *reinterpret_cast<const Point3*>(m[i]); }
    Point3 GetRow(int i) const { return Point3(m[i][0], m[i][1], m[i][2]); }
    void SetRow(int i, const Point3& p);
    Point3 GetTrans() const { return GetRow(3); }
    void SetTrans(const Point3& p);
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
    void NoScale();  // normalises rows 0..2 (no orthogonalisation); zero rows stay zero

    // Right-multiplies by a translation (M = M * T).
    void Translate(const Point3& p);
    // Left-multiplies by a scale matrix (M = S * M), which scales rows 0..2 only; with trans TRUE
    // the translation row is scaled component-wise as well.
    void PreScale(const Point3& s, BOOL trans = FALSE);

    Point3 PointTransform(const Point3& p) const;   // p * M
    Point3 VectorTransform(const Point3& p) const;  // p * M without the translation
    int Parity() const;                             // 1 when the axes are left-handed (mirrored)

    Matrix3 operator*(const Matrix3& b) const;
    // The twelve numbers within epsilon; the flags are not compared.
    bool Equals(const Matrix3& b, float epsilon = 1e-6f) const;

    float m[4][3] = {};
    DWORD flags = 0;
};

// p * M: the point transformed (translation included). Inline: it is the inner loop of every
// mesh transform.
inline Point3 operator*(const Point3& p, const Matrix3& M) {
    const auto& m = M.m;
    return Point3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                  p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                  p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}
// The host also accepts M * p with the same meaning.
inline Point3 operator*(const Matrix3& M, const Point3& p) { return p * M; }
// v * M without the translation: directions and offsets.
inline Point3 VectorTransform(const Point3& v, const Matrix3& M) {
    const auto& m = M.m;
    return Point3(v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
                  v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                  v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]);
}
inline Point3 VectorTransform(const Matrix3& M, const Point3& v) { return VectorTransform(v, M); }
inline Point3 Matrix3::PointTransform(const Point3& p) const { return p * *this; }
inline Point3 Matrix3::VectorTransform(const Point3& p) const {
    return ::VectorTransform(p, *this);
}

// The inverse affine transform: Inverse(M) * M and M * Inverse(M) are the identity. A singular
// matrix (its rows 0..2 do not span space: a zero scale, collapsed axes) has no inverse; the
// result is then the identity, which leaves callers' geometry finite and in place.
Matrix3 Inverse(const Matrix3& M);
Matrix3 TransposeMatrix(const Matrix3& M);  // transposes rows 0..2, drops the translation

Matrix3 RotateXMatrix(float angle);
Matrix3 RotateYMatrix(float angle);
Matrix3 RotateZMatrix(float angle);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);
// Rotation about an axis; the same sense as RotateXMatrix etc. for the world axes, so
// RotAngleAxisMatrix(Z, a) == RotateZMatrix(a). The axis is expected to be a unit vector; it is
// normalised here, and a zero axis gives the identity.
Matrix3 RotAngleAxisMatrix(const Point3& axis, float angle);

// An axis system with zAxis as its Z row, by the arbitrary-axis algorithm of drawing exchange
// files: when |N.x| < 1/64 and |N.y| < 1/64, X = normalise(worldY x N), otherwise
// X = normalise(worldZ x N); Y = normalise(N x X). The result has rows X, Y, N and a zero
// translation. zAxis is expected to be a unit vector and is used as given (not normalised); the
// zero vector, which names no direction, gives the identity.
void ArbAxis(const Point3& zAxis, Matrix3& m);

std::ostream& operator<<(std::ostream& os, const Matrix3& m);
