// Interactive creation: the mouse callback that places a new object.
#include "object/trellon.h"

CreateMouseCallBack* Trellon::GetCreateMouseCallBack() { return nullptr; }
