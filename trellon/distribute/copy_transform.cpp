#include "distribute/copy_transform.h"

#include <cmath>

#include "euler.h"
#include "quat.h"

namespace trellon {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kRadToDeg = 57.29578f;

}  // namespace

PathAngles AnglesOfTangent(const Point3& tangent) {
    Matrix3 frame(1);
    ArbAxis(tangent, frame);
    float ang[3] = {0.0f, 0.0f, 0.0f};
    QuatToEuler(Quat(frame), ang, EULERTYPE_XYZ);
    PathAngles a;
    a.ex = ang[0];
    a.ey = ang[1];
    a.heading = ang[2];
    // The frame's Z row is the tangent, so a level tangent reads as a quarter turn about X.
    if (a.ex > 0.0f)
        a.ex -= kHalfPi;
    else if (a.ex < 0.0f)
        a.ex += kHalfPi;
    const float eyDeg = a.ey * kRadToDeg;
    if (eyDeg > 175.0f)
        a.heading -= kPi;
    else if (eyDeg < -175.0f)
        a.heading += kPi;
    return a;
}

FollowAngles ApplyFollow(const PathAngles& angles, bool follow, bool followOri) {
    FollowAngles f;
    f.ez = (!follow && !followOri) ? 0.0f : angles.heading;
    f.ex = followOri ? angles.ex : 0.0f;
    return f;
}

float PitchUnderRoll(float ex, float xr, bool followOri) {
    if (ex == 0.0f || !followOri) return 0.0f;
    const float turns = std::fabs(xr * kRadToDeg) * 0.0027777778f;
    const float f = turns - std::floor(turns);
    return f <= 0.5f ? ex * 4.0f * f : ex * (4.0f - 4.0f * f);
}

Matrix3 ComposeCopyTransform(const Matrix3& base, const CopyPose& pose,
                             const Matrix3& objectFromPath) {
    // Row vectors: each factor is applied after the ones to its left.
    Matrix3 m = base * ScaleMatrix(Point3(pose.scale[0], pose.scale[1], pose.scale[2]));
    if (pose.rotX != 0.0f) m = m * RotateXMatrix(pose.rotX);
    if (pose.rotY != 0.0f) m = m * RotateYMatrix(pose.rotY);
    if (pose.rotZ != 0.0f) m = m * RotateZMatrix(pose.rotZ);
    if (pose.ex != 0.0f) m = m * RotateXMatrix(pose.ex);
    if (pose.ez != 0.0f) m = m * RotateZMatrix(pose.ez);
    m.Translate(
        Point3(pose.tangent.y * pose.sideways, -pose.tangent.x * pose.sideways, pose.height));
    // The roll turns about the direction of travel (the heading's -Y), after undoing the part of
    // the pitch the roll stands for; with no roll it is the identity.
    if (pose.roll != 0.0f || pose.pitchUnderRoll != 0.0f) {
        m = m * RotateZMatrix(-pose.heading) * RotateXMatrix(-pose.pitchUnderRoll) *
            RotateYMatrix(pose.roll) * RotateZMatrix(pose.heading);
    }
    m.Translate(pose.position);
    return m * objectFromPath;
}

Matrix3 ItemBase(const Matrix3& nodeTM, const Matrix3& objectTM) {
    Matrix3 base = nodeTM;
    base.NoTrans();
    base.SetTrans(objectTM.GetTrans() - nodeTM.GetTrans());
    return base;
}

Matrix3 PostBase(const Matrix3& nodeTM, const Matrix3& objectTM, const Point3& boxMin,
                 const Point3& boxMax) {
    const Point3 anchor((boxMin.x + boxMax.x) * 0.5f, (boxMin.y + boxMax.y) * 0.5f, boxMin.z);
    // v * base - (anchor * objectTM - nodeTM.trans) + (objectTM.trans - nodeTM.trans):
    // the anchor, carried like every vertex, ends at the origin of the copy.
    Matrix3 base = nodeTM;
    base.NoTrans();
    Matrix3 objectRotation = objectTM;
    objectRotation.NoTrans();
    base.SetTrans(-(anchor * objectRotation));
    return base;
}

}  // namespace trellon
