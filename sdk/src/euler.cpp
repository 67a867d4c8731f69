#include "euler.h"

#include <cfloat>
#include <cmath>
#include <utility>

// The conversions follow the axis-permutation scheme of the Graphics Gems IV Euler code. A type
// names a first axis i and a parity; j and k follow from them, and the third rotation is about k
// (Tait-Bryan types) or about i again (repeated types). The scheme works on a column-vector
// matrix C; the host's row-vector matrix is its transpose, C[r][c] = M.m[c][r], and with that
// reading "static axes, first angle applied first" is exactly RotateI(a0) * RotateJ(a1) *
// RotateK(a2) in our multiplication order.
namespace {

struct Order {
    int i, j, k;
    bool odd;       // parity: the axes i, j, k are not in cyclic order x, y, z
    bool repeated;  // the third rotation is about i again
    bool rotating;  // EULERTYPE_RF: rotating frame, the angles are applied in reverse order
};

Order DecodeOrder(int type) {
    // { first axis, odd parity, repeated } for EULERTYPE_XYZ .. EULERTYPE_ZXZ.
    static constexpr int kTable[9][3] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0},
                                         {2, 1, 0}, {0, 0, 1}, {1, 0, 1}, {2, 0, 1}};
    int base = type & ~EULERTYPE_RF;
    if (base < 0 || base > EULERTYPE_ZXZ) base = EULERTYPE_XYZ;
    Order o{};
    o.i = kTable[base][0];
    o.odd = kTable[base][1] != 0;
    o.repeated = kTable[base][2] != 0;
    o.rotating = (type & EULERTYPE_RF) != 0;
    if (o.rotating && !o.repeated) {
        // Rotating axes i, j, k are static axes k, j, i with the angles swapped end for end;
        // reversing the axes flips the parity. (Repeated types read the same both ways.)
        o.i = (o.i + (o.odd ? 1 : 2)) % 3;
        o.odd = !o.odd;
    }
    o.j = (o.i + (o.odd ? 2 : 1)) % 3;
    o.k = (o.i + (o.odd ? 1 : 2)) % 3;
    return o;
}

void MatrixToAngles(const Matrix3& mat, float* ang, const Order& o) {
    // Remove the scale first so that the angles do not depend on it.
    Matrix3 n = mat;
    n.NoScale();
    const auto C = [&n](int r, int c) { return static_cast<double>(n.m[c][r]); };
    const int i = o.i, j = o.j, k = o.k;
    double a0, a1, a2;
    if (o.repeated) {
        const double sy = std::sqrt(C(i, j) * C(i, j) + C(i, k) * C(i, k));
        if (sy > 16.0 * FLT_EPSILON) {
            a0 = std::atan2(C(i, j), C(i, k));
            a1 = std::atan2(sy, C(i, i));
            a2 = std::atan2(C(j, i), -C(k, i));
        } else {
            // The middle angle is 0 or pi: only the sum of the outer ones is defined.
            a0 = std::atan2(-C(j, k), C(j, j));
            a1 = std::atan2(sy, C(i, i));
            a2 = 0.0;
        }
    } else {
        const double cy = std::sqrt(C(i, i) * C(i, i) + C(j, i) * C(j, i));
        if (cy > 16.0 * FLT_EPSILON) {
            a0 = std::atan2(C(k, j), C(k, k));
            a1 = std::atan2(-C(k, i), cy);
            a2 = std::atan2(C(j, i), C(i, i));
        } else {
            // Gimbal lock (middle angle +-pi/2): the third angle is set to 0.
            a0 = std::atan2(-C(j, k), C(j, j));
            a1 = std::atan2(-C(k, i), cy);
            a2 = 0.0;
        }
    }
    if (o.odd) {
        a0 = -a0;
        a1 = -a1;
        a2 = -a2;
    }
    if (o.rotating) std::swap(a0, a2);
    ang[0] = static_cast<float>(a0);
    ang[1] = static_cast<float>(a1);
    ang[2] = static_cast<float>(a2);
}

}  // namespace

void EulerToMatrix(const float* ang, Matrix3& mat, int type) {
    const Order o = DecodeOrder(type);
    double a0 = ang[0], a1 = ang[1], a2 = ang[2];
    if (o.rotating) std::swap(a0, a2);
    if (o.odd) {
        a0 = -a0;
        a1 = -a1;
        a2 = -a2;
    }
    const double ci = std::cos(a0), cj = std::cos(a1), ch = std::cos(a2);
    const double si = std::sin(a0), sj = std::sin(a1), sh = std::sin(a2);
    const double cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    double C[3][3];
    const int i = o.i, j = o.j, k = o.k;
    if (o.repeated) {
        C[i][i] = cj;
        C[i][j] = sj * si;
        C[i][k] = sj * ci;
        C[j][i] = sj * sh;
        C[j][j] = -cj * ss + cc;
        C[j][k] = -cj * cs - sc;
        C[k][i] = -sj * ch;
        C[k][j] = cj * sc + cs;
        C[k][k] = cj * cc - ss;
    } else {
        C[i][i] = cj * ch;
        C[i][j] = sj * sc - cs;
        C[i][k] = sj * cc + ss;
        C[j][i] = cj * sh;
        C[j][j] = sj * ss + cc;
        C[j][k] = sj * cs - sc;
        C[k][i] = -sj;
        C[k][j] = cj * si;
        C[k][k] = cj * ci;
    }
    mat.IdentityMatrix();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) mat.m[c][r] = static_cast<float>(C[r][c]);
    }
    mat.ValidateFlags();
}

void QuatToEuler(const Quat& q, float* ang, int type, bool /*flag*/) {
    Quat n = q;
    n.Normalize();
    Matrix3 m{1};
    n.MakeMatrix(m);
    MatrixToAngles(m, ang, DecodeOrder(type));
}
