// The host's editable mesh: a triangle mesh object (a TriObject) of class (0xE44F10B3, 0), the
// kind of object a user edits directly and a plug-in makes to hand over plain geometry (the
// export to geometry makes its nodes of it).
#pragma once

#include "triobj.h"

namespace host {

class EditableMesh : public TriObject {
public:
    Class_ID ClassID() override { return Class_ID(EDITTRIOBJ_CLASS_ID, 0); }
    void GetClassName(MSTR& s) override { s = MSTR(_M("Editable Mesh")); }
};

}  // namespace host
