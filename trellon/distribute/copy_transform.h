// The transform of one copy: from the item's own object space to the Trellon object's space,
// composed once per copy into a single affine Matrix3 (row vectors: a point times the matrix).
//
// In column-vector terms, a vertex v of the item becomes
//   v0 = v * base                          the item as it stands in the scene, about its pivot
//   v1 = scale(Sx, Sy, Sz) v0
//   v2 = Rz(A) Ry(B) Rx(C) v1              the copy's own rotation (X first)
//   v3 = Rz(ez) Rx(ex) v2 + (t.y w, -t.x w, zoff)
//   v4 = Rz(h) Ry(xr) Rx(-p') Rz(-h) v3 + P   roll about the direction of travel
//   v5 = v4 * objectFromPath
// with P and t the sampled position and unit tangent of the working path, (ex, ez) the path's
// pitch and heading after the follow switches, h the heading before them, w the sideways and
// zoff the height offset, and p' the pitch weighted by the roll xr (PitchUnderRoll).
#pragma once

#include <array>

#include "matrix3.h"
#include "point3.h"

namespace trellon {

// The path's angles at a tangent: the tangent made into an axis system (ArbAxis), read back as
// XYZ Euler angles (Quat, QuatToEuler); ex is then moved toward 0 by pi/2 (a level tangent gives
// ex = 0 and a rising one a negative ex, the pitch), and ez turned by pi when ey lies beyond
// +-175 degrees. heading is that ez: a tangent along +X gives pi/2, along +Y pi, so the item's
// -Y side (its front) faces the direction of travel. ey is the angle before it is dropped.
struct PathAngles {
    float ex = 0.0f;
    float ey = 0.0f;
    float heading = 0.0f;
};
PathAngles AnglesOfTangent(const Point3& tangent);

// The follow switches applied to the path's angles: ey is always dropped; ez is the heading
// unless Geo_Follow is off and Geo_Follow_Ori is not on (then 0); ex is the pitch only with
// Geo_Follow_Ori on.
struct FollowAngles {
    float ex = 0.0f;
    float ez = 0.0f;
};
FollowAngles ApplyFollow(const PathAngles& angles, bool follow, bool followOri);

// The pitch ex weighted by the roll xr (radians): with f the fraction of |xr in degrees| / 360,
// ex * 4f for f up to 0.5 and ex * (4 - 4f) above; 0 when ex is 0 or Geo_Follow_Ori is off.
float PitchUnderRoll(float ex, float xr, bool followOri);

// Everything one copy's transform is made of; angles in radians.
struct CopyPose {
    Point3 position;    // P
    Point3 tangent;     // t, unit
    float heading = 0;  // h, before the follow switches
    float ex = 0;       // after the follow switches
    float ez = 0;
    float pitchUnderRoll = 0;  // p'
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
    float rotX = 0;      // C, about X
    float rotY = 0;      // B, about Y
    float rotZ = 0;      // A, about Z: extra rotation, mirror angles, minus h when only orienting
    float roll = 0;      // xr
    float sideways = 0;  // w: positive moves the copy to the right of the direction of travel
    float height = 0;    // zoff
};

// base * scale * item rotation * follow rotation * offsets * roll * position * objectFromPath.
Matrix3 ComposeCopyTransform(const Matrix3& base, const CopyPose& pose,
                             const Matrix3& objectFromPath);

// The base of an item: its node transform without translation, moved by the pivot's offset from
// the object (translation of the object transform minus that of the node transform), so a
// vertex of the item's mesh lands where it stands in the scene, relative to its pivot.
Matrix3 ItemBase(const Matrix3& nodeTM, const Matrix3& objectTM);

// A post's base: as ItemBase, but the anchor (the centre of the bottom of the stored box: X and
// Y midway between the corners, Z of the lower corner, taken through the object transform)
// lands on the path instead of the pivot.
Matrix3 PostBase(const Matrix3& nodeTM, const Matrix3& objectTM, const Point3& boxMin,
                 const Point3& boxMax);

}  // namespace trellon
