// Creating objects the way the host's create panel does: the class descriptor makes the object,
// the first click makes its node, and the object's creation callback turns the mouse events into
// the object's placement and size.
//
// The host's part of a creation:
//   - the object is made (ClassDesc::Create) before the first event, as the create panel makes
//     it when its button is pressed; free mouse moves go to its callback with point 0;
//   - the first MOUSE_POINT makes the node (Interface::CreateObjectNode, on the current layer),
//     then goes to the callback as point 0; every later MOUSE_POINT carries the next point
//     number, and MOUSE_MOVE (the button held) carries the number of points so far; a MOUSE_MOVE
//     before the first point is a free move;
//   - after every answer the node transform becomes mat times the construction plane's
//     transform (mat starts as the identity: the plane's own axes at its origin);
//   - CREATE_STOP ends the creation and keeps what was made; CREATE_ABORT removes the node and
//     the object; when the events run out while the callback still answers CREATE_CONTINUE, the
//     host sends MOUSE_ABORT, as when the user leaves the creation with a right click.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "object.h"
#include "point2.h"

class ClassDesc;
class INode;
class ViewExp;

namespace host {

class Scene;

// One mouse message as the host sends it: MOUSE_POINT, MOUSE_MOVE, MOUSE_FREEMOVE, MOUSE_ABORT,
// ... at a screen point, with MOUSE_* flags.
struct MouseEvent {
    int msg = MOUSE_POINT;
    IPoint2 at;
    int flags = 0;
};

struct CreationResult {
    // The new node, or null when nothing was created (refused, aborted).
    INode* node = nullptr;
    // The callback's last answer: CREATE_STOP or CREATE_ABORT.
    int code = CREATE_ABORT;
    // How many messages the callback received, the host's closing MOUSE_ABORT included.
    int messages = 0;
    // Why nothing was created when the class or the object failed (empty after an abort by the
    // callback, which is an ordinary end of a creation).
    std::string error;
};

// Runs one creation of class cd in vpt with these mouse events (see the top of this file).
CreationResult RunCreation(Scene& scene, ClassDesc* cd, ViewExp& vpt,
                           std::span<const MouseEvent> events);

// A click-and-drag creation: MOUSE_POINT at press, MOUSE_MOVE to release, MOUSE_POINT at release.
// Returns the new node, or null when the creation was refused or aborted. Without a viewport a
// top viewport of one world unit per pixel at the world origin is used (viewport.h).
INode* CreateInteractively(Scene& scene, ClassDesc* cd, IPoint2 press, IPoint2 release);
INode* CreateInteractively(Scene& scene, ClassDesc* cd, IPoint2 press, IPoint2 release,
                           ViewExp& vpt);

// The scene file's "create" operation on a node that holds a newly made object: the object's own
// first-click set-up, then the options.
struct CreateOptions {
    // Seeds the object's random generator through the function kSeedFunction that the object
    // publishes; absent, the object keeps the seed it drew itself.
    std::optional<int> seed;
    // Logo_size after the set-up, 0 to 1000; absent, it stays 0 (a click without drag).
    std::optional<float> logoSize;
};

// The published function that seeds an object's generator, with its one argument.
inline constexpr const MCHAR* kSeedFunction = _M("seedGenerator");
inline constexpr const MCHAR* kSeedArgument = _M("seed");

// Runs the first click and the release at the node's own position (a top viewport whose origin
// is the node's position, clicked at its screen origin without dragging), so the object sets up
// its node and tables as in an interactive creation; then applies the options. FALSE, with error
// set, when the node has no object, the object has no creation callback or refuses the set-up,
// a value is out of range or the object has no Logo_size or seed function; what was done before
// the failure stays done.
BOOL RunCreateOperation(Scene& scene, INode* node, const CreateOptions& options,
                        std::string& error);

// Seeds obj's generator through kSeedFunction. FALSE, with error set, when no interface of the
// object's class publishes it or the call fails.
BOOL SeedObjectGenerator(Scene& scene, Object* obj, int seed, std::string& error);

}  // namespace host
