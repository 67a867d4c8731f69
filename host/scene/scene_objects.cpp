#include "scene_objects.h"

#include <utility>

#include "superclassids.h"

namespace host {

SceneObject::SceneObject(SClass_ID superId, Class_ID classId, std::wstring className)
    : superId_(superId), classId_(classId), className_(std::move(className)) {}

namespace {

// The class IDs of the host's standard lights.
struct LightClass {
    const char* kind;
    ULONG id;
    const wchar_t* name;
};
constexpr LightClass kLights[] = {{"omni", 0x1011, L"Omnilight"},
                                  {"spot", 0x1012, L"Target Spotlight"},
                                  {"directional", 0x1013, L"Directionallight"},
                                  {"freeSpot", 0x1014, L"Free Spotlight"},
                                  {"targetDirectional", 0x1015, L"Target Directionallight"}};

}  // namespace

SceneObject* CreateLight(const std::string& kind) {
    for (const auto& l : kLights) {
        if (kind == l.kind) return new SceneObject(LIGHT_CLASS_ID, Class_ID(l.id, 0), l.name);
    }
    return nullptr;
}

std::vector<std::string> LightKinds() {
    std::vector<std::string> kinds;
    for (const auto& l : kLights) kinds.emplace_back(l.kind);
    return kinds;
}

SceneObject* CreateCamera() {
    return new SceneObject(CAMERA_CLASS_ID, Class_ID(0x1001, 0), L"Free Camera");
}

SceneObject* CreateTarget() {
    return new SceneObject(GEOMOBJECT_CLASS_ID, Class_ID(0x1020, 0), L"Target");
}

}  // namespace host
