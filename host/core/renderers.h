// The renderers the host knows, by the class IDs their plug-ins report, and the scene's current
// renderer. A plug-in recognises a renderer by its class ID only; Corona also reports a version
// number, which decides whether it can instance geometry natively.
#pragma once

#include <cstdint>
#include <string>

#include "maxtypes.h"
#include "render.h"

namespace host {

inline constexpr Class_ID kVRayRendererClassID(0x73BAB286, 0x77F8FD0C);
inline constexpr Class_ID kCoronaRendererClassID(0x62A85DCC, 0x523C3604);
// The default scanline renderer: Class_ID(SREND_CLASS_ID, 0).
inline constexpr Class_ID kScanlineRendererClassID(0x58F67D6C, 0);

// The scene's current renderer. A null class ID (0, 0) means there is none.
struct RendererInfo {
    Class_ID classId{0, 0};
    std::int64_t version = 0;  // Corona's version number; 0 for the others

    bool IsNone() const { return classId == Class_ID(0, 0); }
    bool operator==(const RendererInfo&) const = default;
};

// The renderer object the core interface hands plug-ins (Interface::GetCurrentRenderer): it
// answers with the class ID of the scene's current renderer.
class HostRenderer : public Renderer {
public:
    Class_ID ClassID() override { return classId_; }
    void SetClassID(Class_ID id) { classId_ = id; }
    // The scene owns it for its whole life: nothing refers to it, and it is never auto-deleted.
    HostRenderer() { SetAFlag(A_LOCK_TARGET); }

private:
    Class_ID classId_{0, 0};
};

// The script expression through which Corona reports its version number (a 64-bit integer).
inline constexpr const wchar_t* kCoronaVersionExpression =
    L"CoronaRenderer.CoronaFp.getVersionNumber()";

// The names scene files give the renderers, with their class IDs.
struct RendererName {
    const char* name;
    Class_ID classId;
};
inline constexpr RendererName kRendererNames[] = {{"corona", kCoronaRendererClassID},
                                                  {"vray", kVRayRendererClassID},
                                                  {"scanline", kScanlineRendererClassID}};

// The scene file name of a renderer class, or "" for a class the host does not know.
inline std::string RendererNameOf(Class_ID id) {
    for (const RendererName& r : kRendererNames) {
        if (r.classId == id) return r.name;
    }
    return {};
}

}  // namespace host
