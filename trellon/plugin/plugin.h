// Module-wide pieces: the module handle, the string-table lookup and the class descriptor.
#pragma once

#include "strclass.h"
#include "windows.h"

class ClassDesc2;

namespace trellon {
// The module's handle, set by DllMain on process attach; null before.
extern HINSTANCE hInstance;

// String-table entry id of the module's resource file, loaded into one shared buffer of 256
// characters (longer entries are cut to 255). Null when the module handle is not set yet or
// the entry is missing or empty. The next call overwrites the buffer: copy the text to keep it.
const MCHAR* GetString(int id);

// The module's one class descriptor, built on first use and alive until the module unloads.
ClassDesc2* GetTrellonDesc();

}  // namespace trellon
