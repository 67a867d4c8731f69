// The render instancing interface: a renderer that instances geometry asks the object for it
// by ID and reads, instead of the object's mesh, a list of instances (source node, world
// transform, material).
//
// The interface is mixed into the object class itself, so it lives as long as the object. Its
// descriptor and every function carry empty internal names, so scripts cannot call it by name;
// renderers call the functions by ID, or directly in slot order (the order of the function IDs).
//
// The descriptor registers all eleven functions. The class declares, in that order, only the
// three whose answers are fixed; the eight that read the instance lists join them, each in its
// slot, when the lists are built, and until then a call to one of them by ID answers
// FPS_NO_SUCH_FUNCTION.
#pragma once

#include "ifnpub.h"

class INode;

#define TRELLON_RENDER_INTERFACE Interface_ID(0x602C557F, 0x4BF751AD)

namespace KavoInstancer {

class TrellonRenderFP : public FPStaticInterface {
public:
    // Function IDs, in slot order. Renderers rely on these numbers.
    enum FnID {
        kGetVersion = 0,
        kPrepareInstances = 1,
        kGetSourceNode = 2,
        kGetExtraNode = 3,
        kGetInstanceCount = 4,
        kIsSourceUsed = 5,
        kGetInstanceSource = 6,
        kGetInstanceTM = 7,
        kGetSourceOffsetTM = 8,
        kGetInstanceMtl = 9,
        kGetRenderTime = 10,
    };

    // The version of this interface that renderers check.
    virtual float GetVersion() { return 1.0f; }
    // The object has no extra node for renderers to add.
    virtual INode* GetExtraNode() { return nullptr; }
    // Every source node is used by some instance or may be: renderers keep them all.
    virtual BOOL IsSourceUsed(int /*sourceIndex*/) { return TRUE; }

    FPInterfaceDesc* GetDesc() override;
    // Answers for this interface's ID, otherwise as a plain interface does. (An object that
    // mixes the interface in answers with its own GetInterface, which overrides this one.)
    BaseInterface* GetInterface(Interface_ID id) override;

    BEGIN_FUNCTION_MAP
    FN_0(kGetVersion, TYPE_FLOAT, GetVersion)
    FN_0(kGetExtraNode, TYPE_INODE, GetExtraNode)
    FN_1(kIsSourceUsed, TYPE_BOOL, IsSourceUsed, TYPE_INT)
    END_FUNCTION_MAP
};

// The interface's descriptor: its ID, owner and the eleven functions with their result and
// argument types. TrellonClassDesc::Create hands it to ClassDesc::AddInterface.
FPInterfaceDesc* GetTrellonRenderDesc();

}  // namespace KavoInstancer
