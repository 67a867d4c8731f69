// The built module, loaded as the host loads it: dlopen, the resource file beside it, the entry
// point, then everything through the exported functions.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <climits>
#include <string>

#include "iparamb2.h"
#include "object.h"
#include "resourcemodule.h"
#include "windows.h"

namespace {

std::string BinaryDir() {
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const std::string exe(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return exe.substr(0, exe.find_last_of('/') + 1);
}

using DllMainFn = BOOL (*)(HINSTANCE, ULONG, LPVOID);
using LibDescriptionFn = const TCHAR* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = ClassDesc* (*)(int);
using LibVersionFn = ULONG (*)();
using LibInitializeFn = int (*)();

template <class Fn>
Fn Export(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

// The module loaded for one test: the file beside the test program, its resource file attached,
// its entry point called; unloaded again at the end.
class LoadedModule {
public:
    LoadedModule() {
        const std::string path = BinaryDir() + "trellon.dlo";
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            error_ = dlerror();
            return;
        }
        module_ = static_cast<HINSTANCE>(handle_);
        error_ =
            MaxSDK::Util::LoadResourceModule(module_, MaxSDK::Util::ResourceModulePathFor(path));
    }
    ~LoadedModule() { Unload(); }

    void Unload() {
        if (!handle_) return;
        if (auto entry = Export<DllMainFn>(handle_, "DllMain")) {
            entry(module_, DLL_PROCESS_DETACH, nullptr);
        }
        MaxSDK::Util::UnloadResourceModule(module_);
        WinStandIn::ForgetModule(module_);
        dlclose(handle_);
        handle_ = nullptr;
    }

    void Attach() { Export<DllMainFn>(handle_, "DllMain")(module_, DLL_PROCESS_ATTACH, nullptr); }

    bool ok() const { return handle_ && error_.empty(); }
    const std::string& error() const { return error_; }
    void* handle() const { return handle_; }
    HINSTANCE instance() const { return module_; }
    template <class Fn>
    Fn Get(const char* name) const {
        return Export<Fn>(handle_, name);
    }
    ClassDesc* Desc(int i) const { return Get<LibClassDescFn>("LibClassDesc")(i); }

private:
    void* handle_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::string error_;
};

// The entry point and the six functions are exported, nothing else; the description is there
// only after the entry point has run; one class, for the 2020 host: release 22000 (0x55F0), API 55
// (0x37), revision 0.
TEST(ModuleLoad, ExportsSixFunctionsAndOneClassForThe2020Host) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    for (const char* name : {"DllMain", "LibDescription", "LibNumberClasses", "LibClassDesc",
                             "LibVersion", "LibInitialize", "LibShutdown"}) {
        EXPECT_NE(dlsym(m.handle(), name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(m.handle(), "GetString"), nullptr);
    EXPECT_EQ(dlsym(m.handle(), "hInstance"), nullptr);
    auto describe = m.Get<LibDescriptionFn>("LibDescription");
    EXPECT_EQ(describe(), nullptr);
    m.Attach();
    EXPECT_STREQ(describe(), MaxSDK::Util::FindResourceString(m.instance(), 1));
    EXPECT_TRUE(MaxSDK::Util::LanguagePackLocaleUsed(m.instance()));
    EXPECT_TRUE(WinStandIn::ThreadLibraryCallsDisabled(m.instance()));
    EXPECT_EQ(m.Get<LibNumberClassesFn>("LibNumberClasses")(), 1);
    EXPECT_NE(m.Desc(0), nullptr);
    EXPECT_EQ(m.Desc(1), nullptr);
    EXPECT_EQ(m.Desc(-1), nullptr);
    EXPECT_EQ(m.Get<LibVersionFn>("LibVersion")(), 0x55F03700u);
    EXPECT_EQ(m.Get<LibInitializeFn>("LibInitialize")(), TRUE);
    EXPECT_EQ(m.Get<LibInitializeFn>("LibShutdown")(), TRUE);
}

TEST(ModuleLoad, EachCreateMakesANewObjectAndAddsTheRenderInterfaceAgain) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    m.Attach();
    ClassDesc* cd = m.Desc(0);
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
    // Each object serves the interface from itself.
    BaseInterface* fromFirst = first->GetInterface(Interface_ID(0x602C557F, 0x4BF751AD));
    BaseInterface* fromSecond = second->GetInterface(Interface_ID(0x602C557F, 0x4BF751AD));
    ASSERT_NE(fromFirst, nullptr);
    EXPECT_NE(fromFirst, fromSecond);
    first->DeleteMe();
    second->DeleteMe();
}

// Every string the module asks for by number (its description, category and class name, the
// parameters' display names and list items, the rollout titles) is in the resource file, and
// every control a parameter binds is in its rollout's dialog template, of the kind it binds (a
// spinner or slider is an edit box and then the spinner or slider).
TEST(ModuleLoad, TheResourceFileHoldsWhatTheDescriptorNames) {
    using MaxSDK::Util::DialogControlType;
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    m.Attach();
    ParamBlockDesc2* desc = m.Desc(0)->GetParamBlockDesc(0);
    const auto expectString = [&m](int id) {
        const wchar_t* text = MaxSDK::Util::FindResourceString(m.instance(), id);
        ASSERT_NE(text, nullptr) << "string " << id;
        EXPECT_NE(text[0], L'\0') << "string " << id;
    };
    for (int id : {1, 2, 3}) expectString(id);
    for (int i = 0; i < desc->map_specs.Count(); ++i) {
        const ParamMapSpec* map = &desc->map_specs[i];
        if (map->dlg_template == 0) continue;  // declared without a rollout
        expectString(map->title);
        EXPECT_NE(MaxSDK::Util::FindDialogTemplate(m.instance(), map->dlg_template), nullptr)
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
            MaxSDK::Util::FindDialogTemplate(m.instance(), map->dlg_template);
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
        LoadedModule m;
        ASSERT_TRUE(m.ok()) << m.error();
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
