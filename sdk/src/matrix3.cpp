#include "matrix3.h"

#include <cmath>
#include <ostream>

#include "quat.h"

namespace {

// Tolerance for "unit length and perpendicular" when deciding SCL_IDENT: rotation matrices built
// from float sines and cosines are orthonormal only to a few ulps.
constexpr float kOrthoTolerance = 1e-5f;

Point3 Row(const Matrix3& M, int i) { return Point3(M.m[i][0], M.m[i][1], M.m[i][2]); }

void PutRow(Matrix3& M, int i, const Point3& p) {
    M.m[i][0] = p.x;
    M.m[i][1] = p.y;
    M.m[i][2] = p.z;
}

// The 3x3 product rows 0..2 of a times rows 0..2 of b, and the translation a.row3 * b.
Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 r(FALSE);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
        if (i == 3) {
            for (int j = 0; j < 3; ++j) r.m[3][j] += b.m[3][j];
        }
    }
    r.flags = a.flags & b.flags & MAT_IDENT;
    return r;
}

float Determinant3(const Matrix3& M) { return DotProd(CrossProd(Row(M, 0), Row(M, 1)), Row(M, 2)); }

}  // namespace

Matrix3::Matrix3(BOOL init) {
    if (init) {
        IdentityMatrix();
    } else {
        Zero();
    }
}

Matrix3::Matrix3(const Point3& U, const Point3& V, const Point3& N, const Point3& T) {
    Set(U, V, N, T);
}

Matrix3& Matrix3::Set(const Point3& U, const Point3& V, const Point3& N, const Point3& T) {
    PutRow(*this, 0, U);
    PutRow(*this, 1, V);
    PutRow(*this, 2, N);
    PutRow(*this, 3, T);
    ValidateFlags();
    return *this;
}

void Matrix3::SetRow(int i, const Point3& p) {
    PutRow(*this, i, p);
    flags &= ~(i == 3 ? POS_IDENT : ROT_IDENT | SCL_IDENT);
}

void Matrix3::SetTrans(const Point3& p) {
    PutRow(*this, 3, p);
    flags &= ~POS_IDENT;
}

void Matrix3::ValidateFlags() {
    flags &= ~MAT_IDENT;
    if (m[3][0] == 0.0f && m[3][1] == 0.0f && m[3][2] == 0.0f) flags |= POS_IDENT;

    const bool diagonal = m[0][1] == 0.0f && m[0][2] == 0.0f && m[1][0] == 0.0f &&
                          m[1][2] == 0.0f && m[2][0] == 0.0f && m[2][1] == 0.0f;
    if (diagonal) {
        if (m[0][0] > 0.0f && m[1][1] > 0.0f && m[2][2] > 0.0f) flags |= ROT_IDENT;
        // Unit numbers on the diagonal with an even count of -1: the identity or a half turn.
        const auto unit = [](float d) { return d == 1.0f || d == -1.0f; };
        if (unit(m[0][0]) && unit(m[1][1]) && unit(m[2][2]) && m[0][0] * m[1][1] * m[2][2] > 0.0f)
            flags |= SCL_IDENT;
        return;
    }
    const Point3 r0 = Row(*this, 0), r1 = Row(*this, 1), r2 = Row(*this, 2);
    const auto unit = [](const Point3& r) { return std::fabs(r % r - 1.0f) <= kOrthoTolerance; };
    const bool orthonormal =
        unit(r0) && unit(r1) && unit(r2) && std::fabs(r0 % r1) <= kOrthoTolerance &&
        std::fabs(r1 % r2) <= kOrthoTolerance && std::fabs(r0 % r2) <= kOrthoTolerance;
    if (orthonormal && Determinant3(*this) > 0.0f) flags |= SCL_IDENT;
}

void Matrix3::IdentityMatrix() {
    for (auto& row : m) row[0] = row[1] = row[2] = 0.0f;
    m[0][0] = m[1][1] = m[2][2] = 1.0f;
    flags = (flags & ~MAT_IDENT) | MAT_IDENT;
}

void Matrix3::Zero() {
    for (auto& row : m) row[0] = row[1] = row[2] = 0.0f;
    flags = (flags & ~MAT_IDENT) | POS_IDENT;
}

void Matrix3::NoTrans() {
    m[3][0] = m[3][1] = m[3][2] = 0.0f;
    flags |= POS_IDENT;
}

void Matrix3::NoScale() {
    for (int i = 0; i < 3; ++i) PutRow(*this, i, Normalize(Row(*this, i)));
    ValidateFlags();
}

void Matrix3::Translate(const Point3& p) {
    m[3][0] += p.x;
    m[3][1] += p.y;
    m[3][2] += p.z;
    if (p != Point3::Origin) flags &= ~POS_IDENT;
}

void Matrix3::PreScale(const Point3& s, BOOL trans) {
    // S * M multiplies row i by s[i]; the translation row is untouched by the product.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m[i][j] *= s[i];
    }
    if (trans) {
        for (int j = 0; j < 3; ++j) m[3][j] *= s[j];
    }
    flags &= ScaleMatrix(s).flags | ~MAT_IDENT;
}

int Matrix3::Parity() const { return Determinant3(*this) < 0.0f ? 1 : 0; }

Matrix3 Matrix3::operator*(const Matrix3& b) const { return Multiply(*this, b); }

bool Matrix3::Equals(const Matrix3& b, float epsilon) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (!(std::fabs(m[i][j] - b.m[i][j]) <= epsilon)) return false;
        }
    }
    return true;
}

Matrix3 Inverse(const Matrix3& M) {
    // The 3x3 part by cofactors (in double), then the translation: p = q * A + t gives
    // q = (p - t) * A^-1, so the new translation is -t * A^-1.
    const auto a = [&M](int i, int j) { return static_cast<double>(M.m[i][j]); };
    double c[3][3];
    c[0][0] = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1);
    c[0][1] = a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2);
    c[0][2] = a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1);
    c[1][0] = a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2);
    c[1][1] = a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0);
    c[1][2] = a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2);
    c[2][0] = a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0);
    c[2][1] = a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1);
    c[2][2] = a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0);
    const double det = a(0, 0) * c[0][0] + a(0, 1) * c[1][0] + a(0, 2) * c[2][0];
    if (det == 0.0 || !std::isfinite(det)) return Matrix3(TRUE);

    Matrix3 r(FALSE);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const double v = c[i][j] / det;
            // A nearly singular matrix whose inverse overflows float is treated as singular.
            if (!std::isfinite(static_cast<float>(v))) return Matrix3(TRUE);
            r.m[i][j] = static_cast<float>(v);
        }
    }
    for (int j = 0; j < 3; ++j) {
        double t = 0.0;
        for (int k = 0; k < 3; ++k) t -= a(3, k) * (c[k][j] / det);
        r.m[3][j] = static_cast<float>(t);
    }
    // The inverse of a pure rotation is a pure rotation, of a pure scale a pure scale.
    r.flags = M.flags & MAT_IDENT;
    if (r.m[3][0] != 0.0f || r.m[3][1] != 0.0f || r.m[3][2] != 0.0f) r.flags &= ~POS_IDENT;
    return r;
}

Matrix3 TransposeMatrix(const Matrix3& M) {
    Matrix3 r(FALSE);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = M.m[j][i];
    }
    r.flags = (M.flags & (ROT_IDENT | SCL_IDENT)) | POS_IDENT;
    return r;
}

Matrix3 RotateXMatrix(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix3 r{1};
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    r.ValidateFlags();
    return r;
}

Matrix3 RotateYMatrix(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix3 r{1};
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    r.ValidateFlags();
    return r;
}

Matrix3 RotateZMatrix(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix3 r{1};
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    r.ValidateFlags();
    return r;
}

Matrix3 TransMatrix(const Point3& p) {
    Matrix3 r{1};
    r.SetTrans(p);
    r.ValidateFlags();
    return r;
}

Matrix3 ScaleMatrix(const Point3& s) {
    Matrix3 r{1};
    r.m[0][0] = s.x;
    r.m[1][1] = s.y;
    r.m[2][2] = s.z;
    r.ValidateFlags();
    return r;
}

Matrix3 RotAngleAxisMatrix(const Point3& axis, float angle) {
    const Point3 u = Normalize(axis);
    if (u == Point3::Origin) return Matrix3(TRUE);
    // The transpose of the column-vector rotation c*I + s*[u]x + (1-c)*u*u^T.
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Matrix3 r{1};
    r.m[0][0] = c + t * u.x * u.x;
    r.m[0][1] = t * u.x * u.y + s * u.z;
    r.m[0][2] = t * u.x * u.z - s * u.y;
    r.m[1][0] = t * u.x * u.y - s * u.z;
    r.m[1][1] = c + t * u.y * u.y;
    r.m[1][2] = t * u.y * u.z + s * u.x;
    r.m[2][0] = t * u.x * u.z + s * u.y;
    r.m[2][1] = t * u.y * u.z - s * u.x;
    r.m[2][2] = c + t * u.z * u.z;
    r.ValidateFlags();
    return r;
}

void ArbAxis(const Point3& zAxis, Matrix3& m) {
    m.IdentityMatrix();
    if (zAxis == Point3::Origin) return;
    constexpr float kLimit = 1.0f / 64.0f;
    const Point3 worldY(0.0f, 1.0f, 0.0f), worldZ(0.0f, 0.0f, 1.0f);
    // Near the world Z axis the cross product with world Z vanishes; use world Y there.
    const bool nearZ = std::fabs(zAxis.x) < kLimit && std::fabs(zAxis.y) < kLimit;
    const Point3 xAxis = Normalize(CrossProd(nearZ ? worldY : worldZ, zAxis));
    const Point3 yAxis = Normalize(CrossProd(zAxis, xAxis));
    PutRow(m, 0, xAxis);
    PutRow(m, 1, yAxis);
    PutRow(m, 2, zAxis);
    m.ValidateFlags();
}

std::ostream& operator<<(std::ostream& os, const Matrix3& M) {
    os << '[';
    for (int i = 0; i < 4; ++i) {
        if (i) os << ' ';
        os << Row(M, i);
    }
    return os << ']';
}
