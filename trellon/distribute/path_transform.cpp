// From the path's space into the Trellon object's space (working_path.h).
#include "distribute/working_path.h"

#include "euler.h"
#include "inode.h"
#include "maxapi.h"
#include "object/trellon.h"
#include "quat.h"

namespace trellon {
Matrix3 ObjectFromPathTM(Trellon& object, INode* pathNode, TimeValue t, bool detachPath) {
    Matrix3 objectFromPath(1);
    if (!pathNode) return objectFromPath;

    // R: the path node's rotation at the scene's current time, through XYZ Euler angles, applied
    // X first, then Y, then Z (row vectors: Rx * Ry * Rz). The node's scale is divided out
    // first, so a scaled path still gives a pure rotation.
    Interface* ip = GetCOREInterface();
    Matrix3 pathRotation = pathNode->GetNodeTM(ip ? ip->GetTime() : t);
    pathRotation.NoTrans();
    pathRotation.NoScale();
    float angles[3] = {0.0f, 0.0f, 0.0f};
    QuatToEuler(Quat(pathRotation), angles, EULERTYPE_XYZ);
    objectFromPath = RotateXMatrix(angles[0]) * RotateYMatrix(angles[1]) * RotateZMatrix(angles[2]);

    // T: where the path's object space lies in the Trellon object's space; a Trellon object
    // without a node sits at the world origin.
    if (!detachPath) {
        Matrix3 worldFromTrellon(1);
        if (INode* node = object.FindNode()) worldFromTrellon = node->GetObjectTM(t);
        // Row vectors: path object -> world -> Trellon object.
        const Matrix3 trellonFromPath = pathNode->GetObjectTM(t) * Inverse(worldFromTrellon);
        objectFromPath.SetTrans(trellonFromPath.GetTrans());
    }
    return objectFromPath;
}

}  // namespace trellon
