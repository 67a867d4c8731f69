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

bool Quat::Equals(const Quat& q, float epsilon) const {
    return std::fabs(x - q.x) <= epsilon && std::fabs(y - q.y) <= epsilon &&
           std::fabs(z - q.z) <= epsilon && std::fabs(w - q.w) <= epsilon;
}

std::ostream& operator<<(std::ostream& os, const Quat& q) {
    return os << "Quat(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ')';
}
