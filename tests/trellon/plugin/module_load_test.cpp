// The built module, loaded as the host loads it: dlopen, the resource file beside it, the entry
// point, then everything through the exported functions.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <climits>
#include <string>

#include "iparamb2.h"
#include "object.h"
#include "object/expected_params.h"
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

TEST(ModuleLoad, ExportsTheEntryPointAndTheSixFunctions) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    for (const char* name : {"DllMain", "LibDescription", "LibNumberClasses", "LibClassDesc",
                             "LibVersion", "LibInitialize", "LibShutdown"}) {
        EXPECT_NE(dlsym(m.handle(), name), nullptr) << name;
    }
    // Everything else stays inside the module.
    EXPECT_EQ(dlsym(m.handle(), "GetString"), nullptr);
    EXPECT_EQ(dlsym(m.handle(), "hInstance"), nullptr);
}

TEST(ModuleLoad, DescriptionNeedsTheEntryPointFirst) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    auto describe = m.Get<LibDescriptionFn>("LibDescription");
    EXPECT_EQ(describe(), nullptr);
    m.Attach();
    ASSERT_NE(describe(), nullptr);
    EXPECT_STREQ(describe(), MaxSDK::Util::FindResourceString(m.instance(), 1));
    EXPECT_TRUE(MaxSDK::Util::LanguagePackLocaleUsed(m.instance()));
    EXPECT_TRUE(WinStandIn::ThreadLibraryCallsDisabled(m.instance()));
}

TEST(ModuleLoad, PublishesOneClassForThe2020Host) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    m.Attach();
    EXPECT_EQ(m.Get<LibNumberClassesFn>("LibNumberClasses")(), 1);
    EXPECT_NE(m.Desc(0), nullptr);
    EXPECT_EQ(m.Desc(1), nullptr);
    EXPECT_EQ(m.Desc(-1), nullptr);
    // Release 22000 (0x55F0), API 55 (0x37), revision 0.
    EXPECT_EQ(m.Get<LibVersionFn>("LibVersion")(), 0x55F03700u);
    EXPECT_EQ(m.Get<LibInitializeFn>("LibInitialize")(), TRUE);
    EXPECT_EQ(m.Get<LibInitializeFn>("LibShutdown")(), TRUE);
}

TEST(ModuleLoad, TheClassDescriptorHasTheFixedIdentity) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    m.Attach();
    ClassDesc* cd = m.Desc(0);
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(cd->ClassID(), Class_ID(0x44D601F8, 0x0F43253D));
    EXPECT_EQ(cd->SuperClassID(), 0x10u);
    EXPECT_STREQ(cd->InternalName(), L"Trellon");
    EXPECT_EQ(cd->IsPublic(), 1);
    EXPECT_STREQ(cd->ClassName(), MaxSDK::Util::FindResourceString(m.instance(), 3));
    EXPECT_STREQ(cd->Category(), MaxSDK::Util::FindResourceString(m.instance(), 2));
    EXPECT_EQ(cd->HInstance(), m.instance());
    EXPECT_EQ(cd->InitialRollupPageState(), 0x7FFFFFFFu);
    EXPECT_EQ(cd->BeginCreate(nullptr), 0);
    EXPECT_EQ(cd->EndCreate(nullptr), 0);
    EXPECT_EQ(cd->OkToCreate(nullptr), TRUE);
    EXPECT_FALSE(cd->UseOnlyInternalNameForMAXScriptExposure());
    // The block descriptor registered itself with its owner while the module loaded.
    ASSERT_EQ(cd->NumParamBlockDescs(), 1);
    EXPECT_EQ(cd->GetParamBlockDesc(0)->ID, 0);
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

TEST(ModuleLoad, ACreatedObjectHoldsEveryDefaultAndEmptyTables) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    m.Attach();
    auto* obj = static_cast<Object*>(m.Desc(0)->Create(FALSE));
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->ClassID(), Class_ID(0x44D601F8, 0x0F43253D));
    MSTR nodeName;
    obj->InitNodeName(nodeName);
    EXPECT_EQ(nodeName, MSTR(L"Trellon_"));
    IParamBlock2* pb = obj->GetParamBlockByID(0);
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pb->NumParams(), 139);
    for (const expected::Param& want : expected::Params()) {
        const auto id = static_cast<ParamID>(want.id);
        EXPECT_EQ(pb->GetParameterType(id), want.type) << want.id;
        if (is_tab(want.type)) {
            EXPECT_EQ(pb->Count(id), 0) << want.id;
        } else if (pb_storage(want.type) == PBStorage::Int) {
            EXPECT_EQ(pb->GetInt(id), static_cast<int>(want.def)) << want.id;
        } else if (pb_storage(want.type) == PBStorage::Float) {
            EXPECT_FLOAT_EQ(pb->GetFloat(id), static_cast<float>(want.def)) << want.id;
        } else {
            EXPECT_EQ(pb->GetINode(id), nullptr) << want.id;
        }
    }
    obj->DeleteMe();
}

TEST(ModuleLoad, TheResourceFileHoldsEveryStringTheModuleAsksFor) {
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    // Description, category, class name, parameter names, rollout titles, display modes.
    for (int id : {1, 2, 3, 5, 6, 7, 8, 9, 11, 12, 13, 14, 19, 20, 21, 22, 23, 24, 25}) {
        const wchar_t* text = MaxSDK::Util::FindResourceString(m.instance(), id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_NE(text[0], L'\0') << id;
    }
}

// Every automatic control of the parameter table exists in its rollout's dialog template, with
// the kind of control the parameter binds (a spinner or slider is an edit box plus the spinner
// or slider).
TEST(ModuleLoad, TheDialogTemplatesHoldTheBoundControls) {
    using MaxSDK::Util::DialogControlType;
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    for (const expected::Map& map : expected::RolloutMaps()) {
        EXPECT_NE(MaxSDK::Util::FindDialogTemplate(m.instance(), map.dialog), nullptr)
            << map.dialog;
    }
    for (const expected::Param& p : expected::Params()) {
        int dialog = 0;
        for (const expected::Map& map : expected::RolloutMaps()) {
            if (map.id == p.map) dialog = map.dialog;
        }
        if (dialog == 0) continue;  // no control, or a map without a rollout
        const MaxSDK::Util::DialogTemplate* dlg =
            MaxSDK::Util::FindDialogTemplate(m.instance(), dialog);
        ASSERT_NE(dlg, nullptr) << dialog;
        for (std::size_t i = 0; i < p.ids.size(); ++i) {
            DialogControlType want = DialogControlType::CheckBox;
            if (p.ctrl == expected::Ctrl::Radio) want = DialogControlType::Radio;
            if (p.ctrl == expected::Ctrl::Combo) want = DialogControlType::ComboBox;
            if (p.ctrl == expected::Ctrl::Spinner) {
                want = i == 0 ? DialogControlType::Edit : DialogControlType::Spinner;
            }
            if (p.ctrl == expected::Ctrl::Slider) {
                want = i == 0 ? DialogControlType::Edit : DialogControlType::Slider;
            }
            const MaxSDK::Util::DialogControl* control = dlg->Find(p.ids[i]);
            ASSERT_NE(control, nullptr) << "parameter " << p.id << ", control " << p.ids[i];
            EXPECT_EQ(control->type, want) << "parameter " << p.id << ", control " << p.ids[i];
        }
    }
}

// The object rollout's spinners and checkboxes that the item tables drive (not bound
// automatically): ranges, spacing, offsets, repeat and per-item options.
TEST(ModuleLoad, TheObjectRolloutHoldsTheItemTableControls) {
    using MaxSDK::Util::DialogControlType;
    LoadedModule m;
    ASSERT_TRUE(m.ok()) << m.error();
    const MaxSDK::Util::DialogTemplate* dlg = MaxSDK::Util::FindDialogTemplate(m.instance(), 107);
    ASSERT_NE(dlg, nullptr);
    for (int id :
         {1024, 1026, 1048, 1050, 1060, 1075, 1056, 1058, 1052, 1054, 1028, 1030, 1038, 1040,
          1080, 1082, 1085, 1087, 1042, 1044, 1095, 1116, 1099, 1090, 1093, 1108, 1111, 1032}) {
        const MaxSDK::Util::DialogControl* control = dlg->Find(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->type, DialogControlType::Spinner) << id;
    }
    for (int id : {1092, 1107}) {
        ASSERT_NE(dlg->Find(id), nullptr) << id;
        EXPECT_EQ(dlg->Find(id)->type, DialogControlType::Edit) << id;
    }
    for (int id : {1118, 1013, 1014, 1121, 1119}) {
        ASSERT_NE(dlg->Find(id), nullptr) << id;
        EXPECT_EQ(dlg->Find(id)->type, DialogControlType::CheckBox) << id;
    }
}

// The thirteen 100 x 100 PNG icons, at the root of the resource tree.
const char* const kIcons[] = {
    ":/file.png",
    ":/add_dialog.png",
    ":/remove.png",
    ":/down.png",
    ":/add.png",
    ":/up.png",
    ":/social_twitter.png",
    ":/social_facebook.png",
    ":/remove_spline.png",
    ":/add_null.png",
    ":/social_youtube.png",
    ":/add_spline.png",
    ":/social_linkedin.png",
};

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
        for (const char* icon : kIcons) {
            QFile file(QString::fromLatin1(icon));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << icon;
            const auto [width, height] = PngSize(file.readAll());
            EXPECT_EQ(width, 100) << icon;
            EXPECT_EQ(height, 100) << icon;
        }
    }
    EXPECT_FALSE(QFile::exists(":/add.png"));
}

}  // namespace
