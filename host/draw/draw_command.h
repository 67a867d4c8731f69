// trellon-host draw: loads the module and a scene file, runs the viewport pass at a time and
// writes what was drawn (drawing_writer.h), or, without an output file, prints per node how
// many markers, polylines and render items it drew.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "maxtypes.h"

namespace host {

// Returns the exit status: 0 done, 1 bad input (module, scene file, output file; the message
// on err). time: the time to draw at, default the scene's own.
int RunDraw(const std::string& modulePath, const std::string& scenePath, const std::string& outPath,
            std::optional<TimeValue> time, std::ostream& out, std::ostream& err);

}  // namespace host
