#include "matrix3.h"

Point3 operator*(const Point3& p, const Matrix3& M) {
    const auto& m = M.m;
    return Point3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                  p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                  p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}

void Matrix3::IdentityMatrix() {
    for (auto& row : m) row[0] = row[1] = row[2] = 0.0f;
    m[0][0] = m[1][1] = m[2][2] = 1.0f;
    flags = MAT_IDENT;
}
