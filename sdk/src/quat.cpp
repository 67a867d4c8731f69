#include "quat.h"

#include <cmath>
#include <ostream>

Quat::Quat(const Matrix3& mat) {
    // The trace method: the textbook column-vector formulas read on the row-vector storage as
    // it stands, which yields the host's left-handed quaternion. The largest of w, x, y, z is
    // found first so that the square root is taken of a number well away from zero.
    const auto& m = mat.m;
    const float tr = m[0][0] + m[1][1] + m[2][2];
    if (tr > 0.0f) {
        float s = std::sqrt(tr + 1.0f);
        w = 0.5f * s;
        s = 0.5f / s;
        x = (m[2][1] - m[1][2]) * s;
        y = (m[0][2] - m[2][0]) * s;
        z = (m[1][0] - m[0][1]) * s;
        return;
    }
    int i = 0;
    if (m[1][1] > m[0][0]) i = 1;
    if (m[2][2] > m[i][i]) i = 2;
    const int j = (i + 1) % 3;
    const int k = (j + 1) % 3;
    float s = std::sqrt(m[i][i] - m[j][j] - m[k][k] + 1.0f);
    float q[3];
    q[i] = 0.5f * s;
    s = 0.5f / s;
    w = (m[k][j] - m[j][k]) * s;
    q[j] = (m[j][i] + m[i][j]) * s;
    q[k] = (m[k][i] + m[i][k]) * s;
    x = q[0];
    y = q[1];
    z = q[2];
}

Quat::Quat(const AngAxis& aa) { *this = QFromAngAxis(aa.angle, aa.axis); }

BOOL Quat::IsIdentity() const {
    return x == 0.0f && y == 0.0f && z == 0.0f && (w == 1.0f || w == -1.0f);
}

void Quat::Normalize() {
    const float len = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(len > 0.0f) || !std::isfinite(len)) {
        Identity();
        return;
    }
    x /= len;
    y /= len;
    z /= len;
    w /= len;
}

Quat Quat::Inverse() const {
    const float n = x * x + y * y + z * z + w * w;
    if (!(n > 0.0f) || !std::isfinite(n)) return Quat();
    return {-x / n, -y / n, -z / n, w / n};
}

void Quat::MakeMatrix(Matrix3& mat, bool flag) const {
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, xz = x * z, yz = y * z;
    const float wx = w * x, wy = w * y, wz = w * z;
    float r[3][3] = {
        {1.0f - 2.0f * (yy + zz), 2.0f * (xy - wz), 2.0f * (xz + wy)},
        {2.0f * (xy + wz), 1.0f - 2.0f * (xx + zz), 2.0f * (yz - wx)},
        {2.0f * (xz - wy), 2.0f * (yz + wx), 1.0f - 2.0f * (xx + yy)},
    };
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) mat.m[i][j] = flag ? r[j][i] : r[i][j];
    }
    mat.m[3][0] = mat.m[3][1] = mat.m[3][2] = 0.0f;
    mat.ValidateFlags();
}

Quat Quat::operator*(const Quat& q) const {
    // The Hamilton product (this first factor). Because Quat(M) reads the row-vector matrix as
    // a column-vector one, matrix order and quaternion order agree: Quat(A)*Quat(B) = Quat(A*B).
    return {w * q.x + x * q.w + y * q.z - z * q.y, w * q.y - x * q.z + y * q.w + z * q.x,
            w * q.z + x * q.y - y * q.x + z * q.w, w * q.w - x * q.x - y * q.y - z * q.z};
}

bool Quat::Equals(const Quat& q, float epsilon) const {
    return std::fabs(x - q.x) <= epsilon && std::fabs(y - q.y) <= epsilon &&
           std::fabs(z - q.z) <= epsilon && std::fabs(w - q.w) <= epsilon;
}

AngAxis::AngAxis(const Quat& q) { AngAxisFromQ(q, &angle, axis); }

AngAxis::AngAxis(const Matrix3& m) { AngAxisFromQ(Quat(m), &angle, axis); }

Quat QFromAngAxis(float ang, const Point3& axis) {
    const Point3 u = Normalize(axis);
    if (u == Point3::Origin) return Quat();
    const float s = std::sin(ang * 0.5f);
    return {u.x * s, u.y * s, u.z * s, std::cos(ang * 0.5f)};
}

void AngAxisFromQ(const Quat& q, float* ang, Point3& axis) {
    Quat n = q;
    n.Normalize();
    const Point3 v(n.x, n.y, n.z);
    const float sinHalf = v.Length();
    if (sinHalf == 0.0f) {
        // No rotation: any axis will do.
        *ang = 0.0f;
        axis = Point3::XAxis;
        return;
    }
    // angle in [0, 2pi]; the same rotation as (2pi - angle, -axis).
    *ang = 2.0f * std::atan2(sinHalf, n.w);
    axis = v / sinHalf;
}

AngAxis AngAxisFromQ(const Quat& q) {
    AngAxis aa;
    AngAxisFromQ(q, &aa.angle, aa.axis);
    return aa;
}

float QangAxis(const Quat& p, const Quat& q, Point3& axis) {
    // The rotation r that follows p to reach q: p * r = q.
    float ang = 0.0f;
    AngAxisFromQ(p.Inverse() * q, &ang, axis);
    return ang;
}

float DotProd(const Quat& a, const Quat& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

Quat Slerp(const Quat& p, const Quat& q, float t) {
    // Along the shorter arc: q and -q are the same rotation, so the one nearer p is used.
    float cosom = DotProd(p, q);
    Quat to = q;
    if (cosom < 0.0f) {
        cosom = -cosom;
        to = -q;
    }
    float sp, sq;
    if (1.0f - cosom > 1e-6f) {
        const float omega = std::acos(cosom > 1.0f ? 1.0f : cosom);
        const float sinom = std::sin(omega);
        sp = std::sin((1.0f - t) * omega) / sinom;
        sq = std::sin(t * omega) / sinom;
    } else {
        // Nearly the same rotation: a straight line is as good and avoids dividing by ~0.
        sp = 1.0f - t;
        sq = t;
    }
    Quat r(sp * p.x + sq * to.x, sp * p.y + sq * to.y, sp * p.z + sq * to.z, sp * p.w + sq * to.w);
    r.Normalize();
    return r;
}

void MakeMatrix(const Quat& q, Matrix3& mat) { q.MakeMatrix(mat); }

std::ostream& operator<<(std::ostream& os, const Quat& q) {
    return os << "Quat(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ')';
}
