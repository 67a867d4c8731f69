// The browser editor's round trip for one spinner change: the step request, the state the page
// redraws the panel from (the viewport build included) and the instanced model it loads, on the
// benchmark scene (host_scene.h) with a box item and N copies. The page's own share (parsing the
// .glb and drawing it) is measured in the browser (the page's data-model-ms).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "edit_session.h"
#include "host_scene.h"
#include "module_loader.h"

namespace {

namespace fs = std::filesystem;

void EditSpinnerRoundTrip(benchmark::State& state) {
    const std::int64_t copies = state.range(0);
    const int mode = static_cast<int>(state.range(1));
    const fs::path dir = fs::temp_directory_path() / "trellon_edit_bench";
    fs::create_directories(dir);
    const fs::path file = dir / "copies.scene.json";
    std::ofstream(file) << hostbench::GridScene(copies, mode, "box");
    std::string error;
    auto module = host::PluginModule::Load(host::DefaultModulePath(), error);
    if (!module) {
        state.SkipWithError(error.c_str());
        return;
    }
    {
        host::EditSession session({module->Class(0)}, file.string());
        if (!session.Open(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        const auto request = [&](const char* method, const char* path, const std::string& body) {
            return session.Handle(host::EditRequest{method, path, {}, body});
        };
        // The object's row, then spacings that keep the count near N.
        request("POST", "/api/step", "{\"count\": 1, \"steps\": [\"choose objects/1002 1\"]}");
        const double spacing = 10000.0 / static_cast<double>(copies);
        std::size_t bytes = 0;
        int k = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            const std::string value = std::to_string(spacing * (k++ % 2 == 0 ? 1.001 : 1.0));
            const host::EditReply step =
                request("POST", "/api/step",
                        "{\"count\": " + std::to_string(session.Count()) +
                            ", \"steps\": [\"set objects/1095 " + value + "\"]}");
            if (step.status != 200) {
                state.SkipWithError(step.body.c_str());
                break;
            }
            const host::EditReply model = request("GET", "/api/model.glb", "");
            bytes = model.body.size();
            state.SetIterationTime(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        state.counters["glb_MB"] = static_cast<double>(bytes) / 1e6;
    }
    fs::remove_all(dir);
}

BENCHMARK(EditSpinnerRoundTrip)
    ->Args({100000, 6})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
