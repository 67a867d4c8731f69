// The scene reader under a fuzzer: any bytes as a scene file. Bad input must end in a
// SceneFileError and nothing else (no crash, no other exception, no undefined behaviour); a
// scene the reader accepts must save, load back from its save and save to the same text.
//
// The module is loaded once, from beside the program (or $TRELLON_MODULE), so Trellon objects
// and their set-up run too; without it they are refused as "not loaded", which is fuzzed as well.
// Relative mesh files are looked for in the working folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "module_loader.h"
#include "plugapi.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "units.h"

namespace {

host::PluginModule* Module() {
    static const std::unique_ptr<host::PluginModule> module = [] {
        std::string error;
        auto loaded = host::PluginModule::Load(host::DefaultModulePath(), error);
        if (!loaded)
            std::fprintf(stderr, "scene reader fuzz: without the module: %s\n", error.c_str());
        return loaded;
    }();
    return module.get();
}

void Register(host::Scene& scene) {
    if (host::PluginModule* m = Module()) {
        for (int i = 0; i < m->NumClasses(); ++i) scene.RegisterClass(m->Class(i));
    }
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "scene reader fuzz: %s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The master unit is process-wide; every input starts from inches.
    SetMasterUnitInfo(UNITS_INCHES, 1.0f);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string saved;
    {
        host::Scene scene;
        Register(scene);
        try {
            host::LoadSceneText(text, "fuzz.scene.json", scene);
        } catch (const host::SceneFileError& e) {
            // TRELLON_FUZZ_VERBOSE=1 shows why each input was refused (to check the seeds).
            if (std::getenv("TRELLON_FUZZ_VERBOSE"))
                std::fprintf(stderr, "refused: %s\n", e.what());
            if (!scene.Nodes().empty() || !scene.SceneMaterials().empty() ||
                scene.Layers().GetLayerCount() != 1) {
                Fail("a refused scene was left half-loaded", text);
            }
            return 0;
        }
        try {
            saved = host::SaveSceneText(scene);
        } catch (const host::SceneFileError& e) {
            Fail("a loaded scene did not save", std::string(e.what()) + "\n" + text);
        }
    }
    host::Scene again;
    Register(again);
    SetMasterUnitInfo(UNITS_INCHES, 1.0f);
    try {
        host::LoadSceneText(saved, "saved.scene.json", again);
    } catch (const host::SceneFileError& e) {
        Fail("a saved scene did not load", std::string(e.what()) + "\n" + saved);
    }
    if (host::SaveSceneText(again) != saved) Fail("a saved scene saved differently", saved);
    return 0;
}
