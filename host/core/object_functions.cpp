#include "object_functions.h"

#include "object.h"
#include "plugapi.h"
#include "scene.h"

namespace host {

FPStatus CallObjectFunction(Scene& scene, Object* obj, const MCHAR* fn,
                            const std::vector<FPNamedArg>& args, FPValue& result,
                            std::string& error) {
    const std::string name = fn ? ToUTF8(fn) : std::string();
    if (!obj) {
        error = "no object to call " + name + " on";
        return FPS_FAIL;
    }
    ClassDesc* cd = scene.FindClass(obj->SuperClassID(), obj->ClassID());
    const int count = cd ? cd->NumInterfaces() : 0;
    for (int i = 0; i < count; ++i) {
        FPInterface* listed = cd->GetInterfaceAt(i);
        FPInterfaceDesc* desc = listed ? listed->GetDesc() : nullptr;
        if (!desc || !desc->FindFnDef(fn)) continue;
        FPInterface* target = dynamic_cast<FPInterface*>(obj->GetInterface(desc->ID));
        if (!target) target = listed;
        MSTR why;
        const FPStatus status = target->InvokeByName(fn, result, args, &why, scene.GetTime());
        if (status != FPS_OK) error = why.ToUTF8();
        return status;
    }
    error = "the object publishes no function " + name;
    return FPS_NO_SUCH_FUNCTION;
}

FPStatus CallObjectFunction(Scene& scene, Object* obj, const MCHAR* fn,
                            const std::vector<FPNamedArg>& args, std::string& error) {
    FPValue result;
    return CallObjectFunction(scene, obj, fn, args, result, error);
}

}  // namespace host
