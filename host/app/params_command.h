// The `params` subcommand of trellon-host: every parameter of the Trellon object, as the module
// describes it.
//
//   params [--json]
//     loads the module and prints, from the Trellon class's parameter block descriptor (reached
//     through the class descriptor, as the host reaches any class's), every parameter in the
//     descriptor's order: ID, internal name, type, default, range, whether it animates, how its
//     table is indexed (the object's published tableLayout) and one line of meaning (the
//     parameter's tooltip in the module's string table). With --json one object:
//       { "class": "Trellon", "block": { "id": 0, "name": "Title" },
//         "parameters": [ { "id", "name", "type", "default", "range", "animatable", "table",
//                           "meaning" } ] }
//     "default" is null where the descriptor gives none (a table's default is what an appended
//     entry gets), "range" [low, high] or null.
//
// Exit status: 0 success; 1 when the module cannot be loaded, has no Trellon class or that class
// has no parameter block, with the message on the error stream.
#pragma once

#include <iosfwd>
#include <string>

namespace host {

class Scene;

// Prints the parameters of the Trellon class that `scene` knows (an empty scene; a probe object
// is made in it to ask its published functions).
int PrintParams(Scene& scene, bool json, std::ostream& out, std::ostream& err);

// Loads the module and runs PrintParams.
int RunParams(const std::string& modulePath, bool json, std::ostream& out, std::ostream& err);

}  // namespace host
