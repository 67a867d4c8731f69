// The build driver: what the object's mesh holds at time t.
#include "object/trellon.h"

void Trellon::BuildMesh(TimeValue t) {
    mesh.setNumVerts(0);
    mesh.setNumFaces(0);
    // The object is evaluated anew at every time.
    ivalid.SetInstant(t);
}
