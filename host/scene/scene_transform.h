// How scene files turn a transform's parts into a matrix and back. The reader and the writer
// share these so that a saved transform reads back to the very matrix it was saved from.
#pragma once

#include <cmath>

#include "matrix3.h"
#include "point3.h"
#include "quat.h"

namespace host {

struct TransformParts {
    Point3 position{0.0f, 0.0f, 0.0f};
    Quat rotation;  // the host's quaternion (Quat(M) of the rotation M)
    Point3 scale{1.0f, 1.0f, 1.0f};
};

// A quaternion of unit length (within 1e-6 in the squared length) is kept as it is, so that
// normalising twice changes nothing; others are scaled to unit length. False for a zero or
// non-finite one.
inline bool NormalizeRotation(Quat& q) {
    const double n2 = double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z + double(q.w) * q.w;
    if (!(n2 > 1e-24) || !std::isfinite(n2)) return false;
    if (std::fabs(n2 - 1.0) <= 1e-6) return true;
    const double f = 1.0 / std::sqrt(n2);
    q = Quat(static_cast<float>(q.x * f), static_cast<float>(q.y * f), static_cast<float>(q.z * f),
             static_cast<float>(q.w * f));
    return true;
}

// The rotation matrix of q: scaled to unit length in double first (the matrix formula holds for
// unit quaternions only), rows made unit length again after the float rounding.
inline Matrix3 RotationOf(const Quat& q) {
    const double n =
        std::sqrt(double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z + double(q.w) * q.w);
    Quat unit = q;
    if (n > 0.0) {
        unit = Quat(static_cast<float>(q.x / n), static_cast<float>(q.y / n),
                    static_cast<float>(q.z / n), static_cast<float>(q.w / n));
    }
    Matrix3 r{1};
    unit.MakeMatrix(r);
    for (int i = 0; i < 3; ++i) {
        const Point3 row = r.GetRow(i);
        const double len =
            std::sqrt(double(row.x) * row.x + double(row.y) * row.y + double(row.z) * row.z);
        if (len > 0.0) {
            r.SetRow(i, Point3(static_cast<float>(row.x / len), static_cast<float>(row.y / len),
                               static_cast<float>(row.z / len)));
        }
    }
    return r;
}

// Row vectors: scale first, then rotate, then move.
inline Matrix3 ComposeTransform(const TransformParts& t) {
    return ScaleMatrix(t.scale) * RotationOf(t.rotation) * TransMatrix(t.position);
}

// The inverse for a matrix without shear (a mirroring one gets a negative Z scale; an axis
// scaled to 0 gets the direction square to the others). The rotation
// comes from the normalised rows; each scale is the row measured against the row RotationOf gives
// back (not the row's own length), so that composing and decomposing again returns the same scale
// rather than drifting by the rounding of the unit rows.
inline TransformParts DecomposeTransform(const Matrix3& tm) {
    TransformParts t;
    Matrix3 rot{1};
    bool zero[3];
    int zeros = 0;
    for (int i = 0; i < 3; ++i) {
        const Point3 row = tm.GetRow(i);
        const float len = Length(row);
        zero[i] = !(len > 0.0f);
        zeros += zero[i] ? 1 : 0;
        rot.SetRow(i, zero[i] ? Point3(0.0f, 0.0f, 0.0f) : row / len);
    }
    // An axis scaled to nothing has no direction of its own: it is taken square to the others
    // (so the rotation stays a rotation and decomposing again finds the same one).
    if (zeros == 3) {
        rot = Matrix3(1);
    } else if (zeros == 2) {
        const int k = !zero[0] ? 0 : (!zero[1] ? 1 : 2);
        const Point3 a = rot.GetRow(k);
        // Any direction square to a: across the world axis a leans on least.
        const Point3 helper = std::fabs(a.x) <= std::fabs(a.y) && std::fabs(a.x) <= std::fabs(a.z)
                                  ? Point3(1.0f, 0.0f, 0.0f)
                                  : (std::fabs(a.y) <= std::fabs(a.z) ? Point3(0.0f, 1.0f, 0.0f)
                                                                      : Point3(0.0f, 0.0f, 1.0f));
        const Point3 b = Normalize(CrossProd(a, helper));
        rot.SetRow((k + 1) % 3, b);
        rot.SetRow((k + 2) % 3, Normalize(CrossProd(a, b)));
    } else if (zeros == 1) {
        const int k = zero[0] ? 0 : (zero[1] ? 1 : 2);
        rot.SetRow(k, Normalize(CrossProd(rot.GetRow((k + 1) % 3), rot.GetRow((k + 2) % 3))));
    }
    rot.SetRow(3, Point3(0.0f, 0.0f, 0.0f));
    // A mirroring matrix: the Z row turns round, and its scale comes out negative below.
    if (DotProd(CrossProd(rot.GetRow(0), rot.GetRow(1)), rot.GetRow(2)) < 0.0f) {
        rot.SetRow(2, -rot.GetRow(2));
    }
    t.rotation = Quat(rot);
    NormalizeRotation(t.rotation);
    const Matrix3 r = RotationOf(t.rotation);
    for (int i = 0; i < 3; ++i) {
        const Point3 a = tm.GetRow(i);
        const Point3 b = r.GetRow(i);
        const double bb = double(b.x) * b.x + double(b.y) * b.y + double(b.z) * b.z;
        const double ab = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
        t.scale[i] = bb > 0.0 ? static_cast<float>(ab / bb) : 0.0f;
    }
    t.position = tm.GetTrans();
    return t;
}

}  // namespace host
