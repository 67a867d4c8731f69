// A module's resources: its string table and dialog templates, and the language pack switch.
//
// On Windows the host loads a localised resource module beside each plug-in. Here the resource
// module is a JSON file beside the module ("trellon.dlo" -> "trellon.res.json"), attached by the
// host to the module handle with LoadResourceModule before it calls the module's entry point.
// LoadStringW (windows.h) reads the string table through the handle; the host's rollouts read
// the dialog templates with FindDialogTemplate.
//
// File format (UTF-8):
//   {
//     "strings": { "<id>": "<text>", ... },
//     "dialogs": {
//       "<template id>": {
//         "caption": "<text>",
//         "controls": [ { "id": <int>, "type": "<kind>", "text": "<caption>" }, ... ]
//       }, ...
//     }
//   }
// String and template identifiers are decimal integers 1..65535. Control identifiers are
// integers 1..65535, or -1 for static labels that nothing addresses; apart from -1 they are
// unique within a template. "text" is optional. Both top-level members are optional; any other
// member is an error, so a misspelt key does not silently drop resources.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "windows.h"

namespace MaxSDK::Util {

// Switches the module's resource lookups to the host's language-pack locale. The stand-in has
// one locale, so this only remembers which modules asked (LanguagePackLocaleUsed). Returns true.
bool UseLanguagePackLocale(HINSTANCE hInstance);
bool LanguagePackLocaleUsed(HINSTANCE hInstance);

enum class DialogControlType {
    Static,  // a label
    Group,   // a group box
    Button,  // a push button (custom or standard)
    CheckBox,
    Radio,
    Edit,      // an edit box (custom edit or standard)
    Spinner,   // a spinner, paired with an edit box
    Slider,    // a slider, paired with an edit box
    ComboBox,  // a drop-down list
    ListBox,
    ListView,
    ColorSwatch,
    Image,
};

struct DialogControl {
    int id = -1;
    DialogControlType type = DialogControlType::Static;
    std::wstring text;
};

struct DialogTemplate {
    int id = 0;
    std::wstring caption;
    std::vector<DialogControl> controls;  // in the file's order

    // The control with this identifier, or null.
    const DialogControl* Find(int controlId) const;
};

// Reads the resource file at path and attaches it to hInstance, replacing any file attached
// before. Returns an empty string on success, otherwise the error ("<path>: <place>: <what>")
// and leaves the previous attachment in place.
std::string LoadResourceModule(HINSTANCE hInstance, const std::string& path);

// Detaches the resource file from hInstance and forgets its language-pack switch (the host
// calls it when it unloads the module; nothing happens for an unknown handle).
void UnloadResourceModule(HINSTANCE hInstance);

// The resource file's path for a module file: the module's name with its last extension
// replaced by ".res.json" ("bin/trellon.dlo" -> "bin/trellon.res.json").
std::string ResourceModulePathFor(const std::string& modulePath);

// The string-table entry, or null when no file is attached or the entry is missing. The
// pointer stays valid until the file is detached or replaced.
const wchar_t* FindResourceString(HINSTANCE hInstance, int stringId);

// The dialog template, or null when no file is attached or the template is missing.
const DialogTemplate* FindDialogTemplate(HINSTANCE hInstance, int templateId);

}  // namespace MaxSDK::Util
