// The render instancing interface: a renderer that instances geometry asks the object for it
// by ID and reads, instead of the object's mesh, a list of instances (source node, world
// transform, material).
//
// The interface is mixed into the object class itself, so it lives as long as the object. Its
// descriptor and every function carry empty internal names, so scripts cannot call it by name;
// renderers call the functions by ID, or directly in slot order (the order of the function IDs).
//
// The descriptor registers all eleven functions and the class declares them in that order.
// Three have fixed answers; the other eight read the object's render state and are implemented
// by the object (render/render_calls.cpp). The dispatcher answers FPS_NO_SUCH_FUNCTION (-1) for
// any other ID; a function that takes an argument and is called without one raises the host's
// array-index exception, as every published function does.
#pragma once

#include "ifnpub.h"
#include "matrix3.h"

class INode;
class Mtl;

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

    // 0: the version of this interface that renderers check.
    virtual float GetVersion() { return 1.0f; }
    // 1: rebuilds the instance lists at the render time; the number of source nodes.
    virtual int PrepareInstances() = 0;
    // 2: the source node with this source index (end objects, distribution objects, posts), or
    // null past the last one.
    virtual INode* GetSourceNode(int sourceIndex) = 0;
    // 3: the object has no extra node for renderers to add.
    virtual INode* GetExtraNode() { return nullptr; }
    // 4: instances in the lists.
    virtual int GetInstanceCount() = 0;
    // 5: every source node is used by some instance or may be: renderers keep them all.
    virtual BOOL IsSourceUsed(int /*sourceIndex*/) { return TRUE; }
    // 6: the source index of an instance.
    virtual int GetInstanceSource(int instance) = 0;
    // 7: the world transform of an instance: it maps the source node's object-space geometry
    // to where the copy stands.
    virtual Matrix3 GetInstanceTM(int instance) = 0;
    // 8: a node's rotation and scale with its object's offset from the pivot as translation.
    virtual Matrix3 GetSourceOffsetTM(INode* node) = 0;
    // 9: the material of an instance, handed out round robin per source.
    virtual Mtl* GetInstanceMtl(int instance) = 0;
    // 10: the time of the render in progress (the argument is not used).
    virtual TimeValue GetRenderTime(int unused) = 0;

    FPInterfaceDesc* GetDesc() override;
    // Answers for this interface's ID, otherwise as a plain interface does. (An object that
    // mixes the interface in answers with its own GetInterface, which overrides this one.)
    BaseInterface* GetInterface(Interface_ID id) override;

    BEGIN_FUNCTION_MAP
    FN_0(kGetVersion, TYPE_FLOAT, GetVersion)
    FN_0(kPrepareInstances, TYPE_INT, PrepareInstances)
    FN_1(kGetSourceNode, TYPE_INODE, GetSourceNode, TYPE_INT)
    FN_0(kGetExtraNode, TYPE_INODE, GetExtraNode)
    FN_0(kGetInstanceCount, TYPE_INT, GetInstanceCount)
    FN_1(kIsSourceUsed, TYPE_BOOL, IsSourceUsed, TYPE_INT)
    FN_1(kGetInstanceSource, TYPE_INT, GetInstanceSource, TYPE_INT)
    FN_1(kGetInstanceTM, TYPE_MATRIX3, GetInstanceTM, TYPE_INT)
    FN_1(kGetSourceOffsetTM, TYPE_MATRIX3, GetSourceOffsetTM, TYPE_INODE)
    FN_1(kGetInstanceMtl, TYPE_MTL, GetInstanceMtl, TYPE_INT)
    FN_1(kGetRenderTime, TYPE_TIMEVALUE, GetRenderTime, TYPE_INT)
    END_FUNCTION_MAP
};

// The interface's descriptor: its ID, owner and the eleven functions with their result and
// argument types. TrellonClassDesc::Create hands it to ClassDesc::AddInterface.
FPInterfaceDesc* GetTrellonRenderDesc();

}  // namespace KavoInstancer
