// The built module, loaded by the host's own loader (dlopen, the resource file beside it, the
// entry point), then everything through the exported functions.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <memory>
#include <string>

#include "iparamb2.h"
#include "module_loader.h"
#include "object.h"
#include "resourcemodule.h"
#include "windows.h"

namespace {

using LibDescriptionFn = const TCHAR* (*)();

// The module beside the test program, loaded as the host loads it.
std::unique_ptr<host::PluginModule> Load() {
    std::string error;
    std::unique_ptr<host::PluginModule> m =
        host::PluginModule::Load(host::DefaultModulePath(), error);
    EXPECT_TRUE(m) << error;
    return m;
}

HINSTANCE Instance(const host::PluginModule& m) { return static_cast<HINSTANCE>(m.Handle()); }

// The host's loader checks the six exported functions and the entry point, and the version for
// the 2020 host. Beyond those the module exports nothing; its description is there only after
// the entry point has run; it has one class.
TEST(ModuleLoad, ExportsSixFunctionsAndOneClassForThe2020Host) {
    void* raw = dlopen(host::DefaultModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(raw, nullptr) << dlerror();
    EXPECT_EQ(reinterpret_cast<LibDescriptionFn>(dlsym(raw, "LibDescription"))(), nullptr);
    dlclose(raw);
    const auto m = Load();
    ASSERT_TRUE(m);
    EXPECT_EQ(dlsym(m->Handle(), "GetString"), nullptr);
    EXPECT_EQ(dlsym(m->Handle(), "hInstance"), nullptr);
    EXPECT_EQ(m->Description(), MaxSDK::Util::FindResourceString(Instance(*m), 1));
    EXPECT_TRUE(MaxSDK::Util::LanguagePackLocaleUsed(Instance(*m)));
    EXPECT_TRUE(WinStandIn::ThreadLibraryCallsDisabled(Instance(*m)));
    EXPECT_EQ(m->NumClasses(), 1);
    EXPECT_NE(m->Class(0), nullptr);
    EXPECT_EQ(m->Class(1), nullptr);
    EXPECT_EQ(m->Class(-1), nullptr);
}

TEST(ModuleLoad, EachCreateMakesANewObjectAndAddsTheRenderInterfaceAgain) {
    const auto m = Load();
    ASSERT_TRUE(m);
    ClassDesc* cd = m->Class(0);
    const Interface_ID render(0x602C557F, 0x4BF751AD);
    const Interface_ID setup(0x3C7A1E52, 0x6D2B9F14);
    auto listings = [cd](Interface_ID id) {
        int n = 0;
        for (int i = 0; i < cd->NumInterfaces(); ++i) n += cd->GetInterfaceAt(i)->GetID() == id;
        return n;
    };
    const int before = cd->NumInterfaces();
    auto* first = static_cast<Object*>(cd->Create(FALSE));
    ASSERT_NE(first, nullptr);
    FPInterface* added = cd->GetInterfaceAt(before);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetID(), render);
    // The loading flag makes no difference; the same descriptor is listed once per call. The
    // set-up interface is listed once, by the first call.
    auto* second = static_cast<Object*>(cd->Create(TRUE));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(listings(render), 2);
    EXPECT_EQ(listings(setup), 1);
    EXPECT_EQ(cd->GetInterfaceAt(cd->NumInterfaces() - 1), added);
    EXPECT_EQ(cd->GetInterface(render), cd->GetInterfaceAt(0));
    // (That each object serves the interface from itself, the object's own tests show.)
    first->DeleteMe();
    second->DeleteMe();
}

// Every string the module asks for by number (its description, category and class name, the
// parameters' display names and list items, the rollout titles) is in the resource file, and
// every control a parameter binds is in its rollout's dialog template, of the kind it binds (a
// spinner or slider is an edit box and then the spinner or slider).
TEST(ModuleLoad, TheResourceFileHoldsWhatTheDescriptorNames) {
    using MaxSDK::Util::DialogControlType;
    const auto m = Load();
    ASSERT_TRUE(m);
    ParamBlockDesc2* desc = m->Class(0)->GetParamBlockDesc(0);
    const auto expectString = [&m](int id) {
        const wchar_t* text = MaxSDK::Util::FindResourceString(Instance(*m), id);
        ASSERT_NE(text, nullptr) << "string " << id;
        EXPECT_NE(text[0], L'\0') << "string " << id;
    };
    for (int id : {1, 2, 3}) expectString(id);
    for (int i = 0; i < desc->map_specs.Count(); ++i) {
        const ParamMapSpec* map = &desc->map_specs[i];
        if (map->dlg_template == 0) continue;  // declared without a rollout
        expectString(map->title);
        EXPECT_NE(MaxSDK::Util::FindDialogTemplate(Instance(*m), map->dlg_template), nullptr)
            << "dialog " << map->dlg_template;
    }
    int bound = 0;
    for (int i = 0; i < desc->Count(); ++i) {
        const ParamDef& def = desc->GetParamDefByIndex(i);
        expectString(def.local_name);
        for (int k = 0; k < def.items.Count(); ++k) expectString(def.items[k]);
        const ParamMapSpec* map = def.has_ui ? desc->GetMapSpec(def.mapID) : nullptr;
        if (!map || map->dlg_template == 0) continue;
        const MaxSDK::Util::DialogTemplate* dlg =
            MaxSDK::Util::FindDialogTemplate(Instance(*m), map->dlg_template);
        ASSERT_NE(dlg, nullptr) << map->dlg_template;
        for (int k = 0; k < def.ctrl_IDs.Count(); ++k) {
            DialogControlType want = DialogControlType::CheckBox;
            if (def.ctrl_type == TYPE_RADIO) want = DialogControlType::Radio;
            if (def.ctrl_type == TYPE_INT_COMBOBOX) want = DialogControlType::ComboBox;
            if (def.ctrl_type == TYPE_SPINNER) {
                want = k == 0 ? DialogControlType::Edit : DialogControlType::Spinner;
            }
            if (def.ctrl_type == TYPE_SLIDER) {
                want = k == 0 ? DialogControlType::Edit : DialogControlType::Slider;
            }
            const MaxSDK::Util::DialogControl* control = dlg->Find(def.ctrl_IDs[k]);
            ASSERT_NE(control, nullptr)
                << "parameter " << def.ID << ", control " << def.ctrl_IDs[k];
            EXPECT_EQ(control->type, want)
                << "parameter " << def.ID << ", control " << def.ctrl_IDs[k];
            ++bound;
        }
    }
    EXPECT_GT(bound, 0);
}

// Width and height from a PNG's header: the signature (8 bytes), then the IHDR chunk's length
// and type (8 bytes), then width and height as big-endian 32-bit numbers.
std::pair<int, int> PngSize(const QByteArray& png) {
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n")) return {-1, -1};
    auto word = [&](int at) {
        int v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png[at + i]);
        return v;
    };
    return {word(16), word(20)};
}

TEST(ModuleLoad, IconsAreRegisteredWhileTheModuleIsLoaded) {
    // The test program itself has no icons: they come with the module.
    EXPECT_FALSE(QFile::exists(":/add.png"));
    {
        const auto m = Load();
        ASSERT_TRUE(m);
        // The thirteen 100 x 100 PNG icons, at the root of the resource tree.
        const QStringList icons = QDir(":/").entryList({"*.png"});
        EXPECT_EQ(icons.size(), 13);
        for (const QString& icon : icons) {
            QFile file(":/" + icon);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << icon.toStdString();
            EXPECT_EQ(PngSize(file.readAll()), std::make_pair(100, 100)) << icon.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(":/add.png"));
}

}  // namespace
