// UpdateDisplayContext: what the viewport asks of the objects it is about to draw, handed to
// BaseObject::PrepareDisplay and UpdatePerNodeItems. The host fills it.
//
// Stand-in scope: the display time and the viewport's shading, that is whether it shows shaded
// faces, wireframe edges, or both (edged faces). A new context shows both at time 0.
#pragma once

#include "../maxtypes.h"

namespace MaxSDK::Graphics {

class UpdateDisplayContext {
public:
    TimeValue GetDisplayTime() const { return time_; }
    void SetDisplayTime(TimeValue t) { time_ = t; }

    bool GetShowSolid() const { return solid_; }
    void SetShowSolid(bool on) { solid_ = on; }
    bool GetShowWireframe() const { return wire_; }
    void SetShowWireframe(bool on) { wire_ = on; }

private:
    TimeValue time_ = 0;
    bool solid_ = true;
    bool wire_ = true;
};

}  // namespace MaxSDK::Graphics
