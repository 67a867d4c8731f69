// The `ui` subcommand of trellon-host: drives the module's command panel with panel steps, as a
// user at the panel would, then saves or builds the scene.
//
//   ui SCENE --steps FILE [-o OUT] [--show]
//
// The scene is loaded (its Trellon objects' set-up runs), then the steps run in order. A step file
// holds one step per line ('#' starts a comment; blank lines are skipped), or a JSON array of
// step strings in the same language. Words are separated by blanks; "double quotes" keep blanks
// inside one word.
//
//   create NAME [seed N]   the create panel: a new Trellon object whose node is NAME, placed
//                          with one click at the origin (the creation callback runs), with its
//                          generator seeded when seed is given; the panel shows its rollouts
//                          for creation
//   modify NODE            selects NODE and opens the modify panel on it (the previous object's
//                          rollouts close and its pick mode ends)
//   open ROLLOUT           unrolls a rollout; close ROLLOUT rolls it up
//   press CONTROL          clicks a button, check box, radio button or custom button
//   set CONTROL VALUE      sets a spinner or slider, as a drag does
//   type CONTROL TEXT      types TEXT into an edit and presses Enter
//   choose CONTROL ROW     chooses a list-view row, drop-down entry or list-box entry, by its
//                          number (0 is the first) or its text (any column of a list-view row)
//   pick NODE              clicks NODE in a viewport while a pick mode is in force
//   names NODE...          the nodes the next select-by-name dialog will choose
//   answer yes|no|ok|cancel  the answer to the next question box
//   undo / redo            the newest undo step / the newest undone one
//
// CONTROL is ROLLOUT/ID or ROLLOUT/CAPTION (a control's identifier in its dialog template, or its
// text), or ID or CAPTION alone when only one open rollout has it. ROLLOUT is any part of a
// rollout's title, without regard to case ("objects" for "Distribute Objects"), that names one
// open rollout.
//
// A step fails, naming its number, line and what went wrong, when: the words do not make a step;
// a node, rollout or control is not there or is ambiguous; the rollout is rolled up; the control
// is disabled or of another kind; the pick mode does not take the node; a select-by-name dialog
// or a question box opens without a `names` or `answer` step before it, or lists no such node; an
// `answer` or `names` step is left unused by the next step; there is nothing to undo or redo.
// Nothing after a failing step runs and nothing is written.
//
// After the steps: -o OUT writes the scene (OUT ending in ".scene.json": the whole scene, as
// `save` does; ".glb": the evaluated scene as glTF). --show prints the open rollouts, in the
// panel's order, with their controls, states and values.
//
// Exit status: 0 success; 1 bad input (the module, the scene, the step file, a failing step, an
// output that cannot be written); 2 bad usage (an output of another kind).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "scene.h"

namespace host {

struct UiOptions {
    std::string scene;
    std::string steps;   // the step file
    std::string output;  // empty: nothing written
    bool show = false;
};

int RunUi(const std::string& modulePath, const UiOptions& options, std::ostream& out,
          std::ostream& err);

// The command in a scene that already knows the module's classes (and is empty).
int UiScene(Scene& scene, const UiOptions& options, std::ostream& out, std::ostream& err);

// How strictly steps are taken. A `set` step clamps its value to the spinner's limits, as a
// drag does; a host whose user types the value into a page (the browser editor) refuses a value
// outside the limits, and a fraction for a whole-number spinner, instead.
struct PanelStepRules {
    bool refuseOutOfRange = false;
};

// Splits a step into words: blanks separate, double quotes keep blanks inside a word. False
// (with why) for a double quote that is not closed.
bool SplitWords(const std::string& text, std::vector<std::string>& words, std::string& error);

// Runs panel steps (the text of a step file; source names it in messages) on a loaded scene.
// Empty on success, else the failing step's message ("SOURCE: step N (line L, VERB): ...").
std::string RunPanelSteps(Scene& scene, const std::string& text, const std::string& source,
                          const PanelStepRules& rules = {});

// Prints the open rollouts of the panel with their controls (what --show prints).
void ShowPanel(Scene& scene, std::ostream& out);

}  // namespace host
