// Resource files attached to module handles, and the language-pack switch.
#include "resourcemodule.h"

#include <cctype>
#include <fstream>
#include <memory>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "strclass.h"

namespace MaxSDK::Util {
namespace {

struct ResourceModule {
    std::map<int, std::wstring> strings;
    std::map<int, DialogTemplate> dialogs;
};

// Module handle -> its resource file. Main thread only, like the host's own resource loading.
std::map<HINSTANCE, std::unique_ptr<ResourceModule>>& Modules() {
    static std::map<HINSTANCE, std::unique_ptr<ResourceModule>> modules;
    return modules;
}

std::set<HINSTANCE>& LanguagePackModules() {
    static std::set<HINSTANCE> modules;
    return modules;
}

// A problem in the file: where (a path of member names and indexes) and what.
struct FileError {
    std::string place;
    std::string what;
};

constexpr std::pair<DialogControlType, const char*> kTypeNames[] = {
    {DialogControlType::Static, "static"},     {DialogControlType::Group, "group"},
    {DialogControlType::Button, "button"},     {DialogControlType::CheckBox, "checkbox"},
    {DialogControlType::Radio, "radio"},       {DialogControlType::Edit, "edit"},
    {DialogControlType::Spinner, "spinner"},   {DialogControlType::Slider, "slider"},
    {DialogControlType::ComboBox, "combobox"}, {DialogControlType::ListBox, "listbox"},
    {DialogControlType::ListView, "listview"}, {DialogControlType::ColorSwatch, "colorswatch"},
    {DialogControlType::Image, "image"},
};

// A resource identifier written as an object key: decimal digits only, 1..65535.
int ParseKeyId(const std::string& key, const std::string& place) {
    bool digits = !key.empty() && key.size() <= 5;
    for (char c : key) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    const int id = digits ? std::stoi(key) : 0;
    if (id < 1 || id > 0xFFFF) {
        throw FileError{place, "identifier \"" + key + "\" is not a number from 1 to 65535"};
    }
    return id;
}

std::wstring ReadText(const nlohmann::json& value, const std::string& place) {
    if (!value.is_string()) throw FileError{place, "expected a string"};
    return FromUTF8(value.get<std::string>());
}

void CheckMembers(const nlohmann::json& object, std::initializer_list<const char*> allowed,
                  const std::string& place) {
    for (const auto& [key, value] : object.items()) {
        bool known = false;
        for (const char* name : allowed) known = known || key == name;
        if (!known) throw FileError{place, "unknown member \"" + key + "\""};
    }
}

DialogControl ReadControl(const nlohmann::json& value, const std::string& place) {
    if (!value.is_object()) throw FileError{place, "expected an object"};
    CheckMembers(value, {"id", "type", "text"}, place);
    DialogControl control;
    const auto id = value.find("id");
    if (id == value.end() || !id->is_number_integer()) {
        throw FileError{place + ".id", "expected an integer"};
    }
    const long long number = id->get<long long>();
    if (number != -1 && (number < 1 || number > 0xFFFF)) {
        throw FileError{place + ".id", "expected -1 or a number from 1 to 65535"};
    }
    control.id = static_cast<int>(number);
    const auto type = value.find("type");
    if (type == value.end() || !type->is_string()) {
        throw FileError{place + ".type", "expected a control type"};
    }
    bool known = false;
    for (const auto& [kind, name] : kTypeNames) {
        if (type->get<std::string>() == name) {
            control.type = kind;
            known = true;
        }
    }
    if (!known) {
        throw FileError{place + ".type",
                        "unknown control type \"" + type->get<std::string>() + "\""};
    }
    if (const auto text = value.find("text"); text != value.end()) {
        control.text = ReadText(*text, place + ".text");
    }
    return control;
}

DialogTemplate ReadDialog(int templateId, const nlohmann::json& value, const std::string& place) {
    if (!value.is_object()) throw FileError{place, "expected an object"};
    CheckMembers(value, {"caption", "controls"}, place);
    DialogTemplate dialog;
    dialog.id = templateId;
    if (const auto caption = value.find("caption"); caption != value.end()) {
        dialog.caption = ReadText(*caption, place + ".caption");
    }
    const auto controls = value.find("controls");
    if (controls == value.end()) return dialog;
    if (!controls->is_array()) throw FileError{place + ".controls", "expected an array"};
    std::set<int> seen;
    for (std::size_t i = 0; i < controls->size(); ++i) {
        const std::string at = place + ".controls[" + std::to_string(i) + "]";
        DialogControl control = ReadControl((*controls)[i], at);
        if (control.id != -1 && !seen.insert(control.id).second) {
            throw FileError{at + ".id", "control " + std::to_string(control.id) +
                                            " appears twice in the template"};
        }
        dialog.controls.push_back(std::move(control));
    }
    return dialog;
}

std::unique_ptr<ResourceModule> ReadModule(const nlohmann::json& doc) {
    if (!doc.is_object()) throw FileError{"(top)", "expected an object"};
    CheckMembers(doc, {"strings", "dialogs"}, "(top)");
    auto module = std::make_unique<ResourceModule>();
    if (const auto strings = doc.find("strings"); strings != doc.end()) {
        if (!strings->is_object()) throw FileError{"strings", "expected an object"};
        for (const auto& [key, value] : strings->items()) {
            const std::string place = "strings.\"" + key + "\"";
            module->strings[ParseKeyId(key, place)] = ReadText(value, place);
        }
    }
    if (const auto dialogs = doc.find("dialogs"); dialogs != doc.end()) {
        if (!dialogs->is_object()) throw FileError{"dialogs", "expected an object"};
        for (const auto& [key, value] : dialogs->items()) {
            const std::string place = "dialogs.\"" + key + "\"";
            const int id = ParseKeyId(key, place);
            module->dialogs[id] = ReadDialog(id, value, place);
        }
    }
    return module;
}

const ResourceModule* Attached(HINSTANCE hInstance) {
    const auto found = Modules().find(hInstance);
    return found == Modules().end() ? nullptr : found->second.get();
}

}  // namespace

bool UseLanguagePackLocale(HINSTANCE hInstance) {
    LanguagePackModules().insert(hInstance);
    return true;
}

bool LanguagePackLocaleUsed(HINSTANCE hInstance) {
    return LanguagePackModules().count(hInstance) != 0;
}

const DialogControl* DialogTemplate::Find(int controlId) const {
    for (const DialogControl& control : controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

std::string LoadResourceModule(HINSTANCE hInstance, const std::string& path) {
    if (!hInstance) return path + ": no module handle to attach the resources to";
    std::ifstream in(path, std::ios::binary);
    if (!in) return path + ": cannot open the file";
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& e) {
        // Drop the library's "[json.exception.parse_error.101] " prefix; keep line and column.
        std::string what = e.what();
        if (const auto end = what.find("] "); what.rfind("[json.", 0) == 0 && end != what.npos) {
            what.erase(0, end + 2);
        }
        return path + ": " + what;
    }
    try {
        Modules()[hInstance] = ReadModule(doc);
    } catch (const FileError& error) {
        return path + ": " + error.place + ": " + error.what;
    }
    return {};
}

void UnloadResourceModule(HINSTANCE hInstance) {
    Modules().erase(hInstance);
    LanguagePackModules().erase(hInstance);
}

std::string ResourceModulePathFor(const std::string& modulePath) {
    const auto slash = modulePath.find_last_of('/');
    const auto dot = modulePath.find_last_of('.');
    const bool hasExtension =
        dot != modulePath.npos && (slash == modulePath.npos || dot > slash + 1);
    return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".res.json";
}

const wchar_t* FindResourceString(HINSTANCE hInstance, int stringId) {
    const ResourceModule* module = Attached(hInstance);
    if (!module) return nullptr;
    const auto found = module->strings.find(stringId);
    return found == module->strings.end() ? nullptr : found->second.c_str();
}

const DialogTemplate* FindDialogTemplate(HINSTANCE hInstance, int templateId) {
    const ResourceModule* module = Attached(hInstance);
    if (!module) return nullptr;
    const auto found = module->dialogs.find(templateId);
    return found == module->dialogs.end() ? nullptr : &found->second;
}

}  // namespace MaxSDK::Util
