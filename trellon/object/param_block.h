// The descriptor of the object's parameter block: every parameter's ID, internal name, type,
// default, range and automatic control (param_ids.h names the IDs).
#pragma once

class ParamBlockDesc2;

namespace trellon {
// The descriptor, built when the module loads and owned by the class descriptor.
ParamBlockDesc2* GetTrellonParamBlockDesc();

}  // namespace trellon
