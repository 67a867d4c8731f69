// Calling the functions an object publishes, by their internal names, as a script would: the
// interfaces the object's class descriptor lists are searched for a function of that name. A
// mixin interface is implemented by the object itself (reached through obj->GetInterface with
// the interface's ID); a static interface by the listing itself.
#pragma once

#include <string>
#include <vector>

#include "ifnpub.h"

class Object;

namespace host {

class Scene;

// Calls fn on obj with arguments by name at the scene's time. FPS_OK on success (result holds
// the function's value); FPS_NO_SUCH_FUNCTION, with error "the object publishes no function
// NAME", when no interface of the object's class has it; FPS_FAIL, with the interface's reason
// (a bad argument, or the message of what the function threw), when the call fails.
FPStatus CallObjectFunction(Scene& scene, Object* obj, const MCHAR* fn,
                            const std::vector<FPNamedArg>& args, FPValue& result,
                            std::string& error);
FPStatus CallObjectFunction(Scene& scene, Object* obj, const MCHAR* fn,
                            const std::vector<FPNamedArg>& args, std::string& error);

}  // namespace host
