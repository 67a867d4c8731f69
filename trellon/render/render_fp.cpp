#include "render/render_fp.h"

#include "iparamb2.h"
#include "plugin/plugin.h"

namespace KavoInstancer {
namespace {

using FP = TrellonRenderFP;

// Every name is empty and every description string is 0: renderers find the functions by ID.
// Per function: ID, name, description, result type, flags, argument count, then per argument
// its name, description and type.
// clang-format off
FPInterfaceDesc renderDesc(TRELLON_RENDER_INTERFACE, _M(""), 0, trellon::GetTrellonDesc(), 0,
    FP::kGetVersion, _M(""), 0, TYPE_FLOAT, 0, 0,
    FP::kPrepareInstances, _M(""), 0, TYPE_INT, 0, 0,
    FP::kGetSourceNode, _M(""), 0, TYPE_INODE, 0, 1,
        _M(""), 0, TYPE_INT,
    FP::kGetExtraNode, _M(""), 0, TYPE_INODE, 0, 0,
    FP::kGetInstanceCount, _M(""), 0, TYPE_INT, 0, 0,
    FP::kIsSourceUsed, _M(""), 0, TYPE_BOOL, 0, 1,
        _M(""), 0, TYPE_INT,
    FP::kGetInstanceSource, _M(""), 0, TYPE_INT, 0, 1,
        _M(""), 0, TYPE_INT,
    FP::kGetInstanceTM, _M(""), 0, TYPE_MATRIX3, 0, 1,
        _M(""), 0, TYPE_INT,
    FP::kGetSourceOffsetTM, _M(""), 0, TYPE_MATRIX3, 0, 1,
        _M(""), 0, TYPE_INODE,
    FP::kGetInstanceMtl, _M(""), 0, TYPE_MTL, 0, 1,
        _M(""), 0, TYPE_INT,
    FP::kGetRenderTime, _M(""), 0, TYPE_TIMEVALUE, 0, 1,
        _M(""), 0, TYPE_INT,
    p_end);
// clang-format on

}  // namespace

FPInterfaceDesc* GetTrellonRenderDesc() { return &renderDesc; }

FPInterfaceDesc* TrellonRenderFP::GetDesc() { return &renderDesc; }

BaseInterface* TrellonRenderFP::GetInterface(Interface_ID id) {
    return id == TRELLON_RENDER_INTERFACE ? this : BaseInterface::GetInterface(id);
}

}  // namespace KavoInstancer
