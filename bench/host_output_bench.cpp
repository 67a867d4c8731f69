// The way out of trellon-host: the writers, the draw pass and whole commands, each against a
// floor measured in the same program (host_scene.h has the scene).
//
//   Glb/N, Obj/N, Json/N   the writer on the N-copy build (mode 6), in this process; counters:
//                          the file's bytes, its rate (on wall-clock time: the file is written
//                          by a thread of its own), and peak_vs_file, the writer's own peak
//                          memory (the process's high-water mark during the write, less what it
//                          held before) over the file's size (at most 1 means "mesh plus file").
//                          Each run also times its floor: writing a buffer of the file's size to
//                          the same folder (4 MiB write calls, then close), the best of five;
//                          floor_s is that time and vs_floor the writer's time over it. first_s
//                          is the process's first write of that kind alone (run the benchmark
//                          on its own for it to follow the build directly): what a fresh
//                          `trellon-host build -o` pays, its memory not yet paged in.
//   LoadNodes/N            loading a scene file of N separate box nodes (hostbench::BoxesScene).
//   GlbNodes/N             the .glb writer on those N nodes: what each node costs beside its
//                          faces (its plan, its primitives, its part of the JSON).
//   GlbLeast/N             the least any .glb writer of that mesh does, for scale: each face's
//                          three corners as 32-bit indices and each mesh vertex's position (in
//                          glTF axes) and a fixed normal, through the writer's own file and
//                          buffers, without working out which corners share a vertex; counters
//                          as Glb's.
//   Draw/MODE/N            the viewport pass (the host's DrawScene into the recording window)
//                          of N copies drawn as dots (mode 1) or boxes (mode 2).
//   ProxyDraw/MODE/N       the same pass into a window that only counts what it is handed: the
//                          module's own drawing (placement walk, transforms, draw calls) without
//                          the recording window keeping every point.
//   Export/N               the object's export to geometry against its viewport build.
//   BuildCommand/N         `trellon-host build SCENE --json` in a fresh process; counters: the
//                          build it reports (buildSeconds), the whole command's wall time over it,
//                          the child's peak memory over its mesh (12 bytes a vertex, 20 a face).
// Output goes to $TRELLON_BENCH_DIR (default: a folder in the build tree, the file system the
// user's output goes to).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "draw_pass.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "host_scene.h"
#include "mesh_dump.h"
#include "module_loader.h"
#include "obj_writer.h"
#include "object_functions.h"
#include "output_file.h"
#include "recording_window.h"
#include "scene.h"
#include "scene_reader.h"
#include "viewport.h"

namespace fs = std::filesystem;

namespace {

fs::path OutDir() {
    const char* env = std::getenv("TRELLON_BENCH_DIR");
    fs::path dir = env ? fs::path(env) : fs::path(host::ProgramPath()).parent_path() / "bench_out";
    fs::create_directories(dir);
    return dir;
}

// The process's peak resident memory since the last reset, in bytes (VmHWM), and the reset.
std::int64_t PeakRss() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}
std::int64_t Rss() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}
void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A loaded and evaluated scene of N copies, kept for every run at that N.
struct Built {
    host::Scene scene;
    std::vector<host::EvaluatedNode> nodes;
    std::int64_t meshBytes = 0;
};

// The module, and the one scene built with it (destroyed before the module unloads).
struct Loaded {
    std::unique_ptr<host::PluginModule> module;
    std::pair<std::int64_t, int> key{-1, -1};
    std::unique_ptr<Built> built;
    ~Loaded() { built.reset(); }
};

// Unloaded by main before the program's statics go (the SDK's resource tables among them).
Loaded& TheLoaded() {
    static Loaded* loaded = new Loaded();
    return *loaded;
}

// The module, loaded once; null (with the reason printed) when it does not load.
host::PluginModule* Module() {
    Loaded& loaded = TheLoaded();
    if (!loaded.module) {
        std::string error;
        loaded.module = host::PluginModule::Load(host::DefaultModulePath(), error);
        if (!loaded.module) std::fprintf(stderr, "host_bench: %s\n", error.c_str());
    }
    return loaded.module.get();
}

Built* BuildScene(std::int64_t copies, int mode) {
    Loaded& loaded = TheLoaded();
    if (!Module()) return nullptr;
    if (loaded.built && loaded.key == std::pair{copies, mode}) return loaded.built.get();
    loaded.built.reset();  // one scene at a time: they are large
    auto fresh = std::make_unique<Built>();
    for (int i = 0; i < loaded.module->NumClasses(); ++i)
        fresh->scene.RegisterClass(loaded.module->Class(i));
    host::LoadSceneText(hostbench::GridScene(copies, mode), "bench.scene.json", fresh->scene);
    fresh->nodes = host::EvaluateScene(fresh->scene, 0);
    for (const host::EvaluatedNode& n : fresh->nodes) {
        fresh->meshBytes += static_cast<std::int64_t>(n.Geometry().getNumVerts()) * 12 +
                            static_cast<std::int64_t>(n.Geometry().getNumFaces()) * 20;
    }
    loaded.key = {copies, mode};
    loaded.built = std::move(fresh);
    return loaded.built.get();
}

// Writes `bytes` bytes to path as the floor does.
void WriteBuffer(const fs::path& path, const std::vector<char>& buffer, std::int64_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::setvbuf(f, nullptr, _IONBF, 0);
    for (std::int64_t done = 0; done < bytes;) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(bytes - done, static_cast<std::int64_t>(buffer.size())));
        if (std::fwrite(buffer.data(), 1, n, f) != n) break;
        done += static_cast<std::int64_t>(n);
    }
    std::fclose(f);
}

// The best of five plain writes of `bytes` bytes beside `near`, in seconds.
double FloorSeconds(const fs::path& near, std::int64_t bytes) {
    const fs::path path = near.parent_path() / "floor.bin";
    std::vector<char> buffer(std::size_t{4} << 20, 'x');
    double best = 1e30;
    for (int i = 0; i < 5; ++i) {
        fs::remove(path);
        const auto start = std::chrono::steady_clock::now();
        WriteBuffer(path, buffer, bytes);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    fs::remove(path);
    return best;
}

enum class Kind { Glb, Obj, Json };

void Writer(benchmark::State& state, Kind kind) {
    Built* built = BuildScene(state.range(0), 6);
    if (!built) {
        state.SkipWithError("the module did not load");
        return;
    }
    const char* ext = kind == Kind::Glb ? ".glb" : kind == Kind::Obj ? ".obj" : ".json";
    const fs::path path = OutDir() / (std::string("out") + ext);
    std::string error;
    double peakOverFile = 0.0;
    double seconds = 0.0;
    static std::map<Kind, double> first;  // per kind, the process's first write
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(path);
        const std::int64_t before = Rss();
        ResetPeakRss();
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        bool ok = false;
        switch (kind) {
            case Kind::Glb:
                ok = host::WriteGlb(built->nodes, built->scene, path.string(), error);
                break;
            case Kind::Obj:
                ok = host::WriteObj(built->nodes, path.string(), error);
                break;
            case Kind::Json:
                ok = host::WriteMeshDump(built->nodes, path.string(), error);
                break;
        }
        state.PauseTiming();
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        first.emplace(kind, took);
        seconds += took;
        if (!ok) {
            state.SkipWithError(error.c_str());
            return;
        }
        const auto size = static_cast<std::int64_t>(fs::file_size(path));
        peakOverFile = static_cast<double>(PeakRss() - before) / static_cast<double>(size);
        state.ResumeTiming();
    }
    const auto size = static_cast<std::int64_t>(fs::file_size(path));
    const double floor = FloorSeconds(path, size);
    fs::remove(path);
    state.counters["floor_s"] = floor;
    state.counters["vs_floor"] = seconds / static_cast<double>(state.iterations()) / floor;
    state.counters["first_s"] = first[kind];
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["mesh_bytes"] = static_cast<double>(built->meshBytes);
    state.counters["peak_vs_file"] = peakOverFile;
}

void Glb(benchmark::State& state) { Writer(state, Kind::Glb); }

void GlbLeast(benchmark::State& state) {
    Built* built = BuildScene(state.range(0), 6);
    if (!built) {
        state.SkipWithError("the module did not load");
        return;
    }
    const fs::path path = OutDir() / "least.bin";
    std::string error;
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        host::OutputFile file;
        if (!file.Open(path.string(), error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        {
            // One region from the start, as the writer fills its regions.
            host::RegionWriter out(file, 0, host::RegionWriter::kRegionBuffer);
            for (const host::EvaluatedNode& n : built->nodes) {
                const Mesh& mesh = n.Geometry();
                for (int f = 0; f < mesh.numFaces; ++f) {
                    const DWORD* v = mesh.faces[f].v;
                    const std::uint32_t corners[3] = {v[0], v[1], v[2]};
                    out.Put<sizeof corners>(corners);
                }
                for (int i = 0; i < mesh.numVerts; ++i) {
                    const Point3& p = mesh.verts[i];
                    const float vertex[6] = {p.x, p.z, -p.y, 0.0f, 1.0f, 0.0f};
                    out.Put<sizeof vertex>(vertex);
                }
            }
        }
        if (!file.Commit(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const auto size = static_cast<std::int64_t>(fs::file_size(path));
    const double floor = FloorSeconds(path, size);
    fs::remove(path);
    state.counters["floor_s"] = floor;
    state.counters["vs_floor"] = seconds / static_cast<double>(state.iterations()) / floor;
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["bytes"] = static_cast<double>(size);
}
void Obj(benchmark::State& state) { Writer(state, Kind::Obj); }

void LoadNodes(benchmark::State& state) {
    const std::string text = hostbench::BoxesScene(state.range(0));
    for (auto _ : state) {
        host::Scene scene;
        host::LoadSceneText(text, "boxes.scene.json", scene);
        benchmark::DoNotOptimize(scene.Nodes().size());
    }
}

void GlbNodes(benchmark::State& state) {
    host::Scene scene;
    host::LoadSceneText(hostbench::BoxesScene(state.range(0)), "boxes.scene.json", scene);
    const std::vector<host::EvaluatedNode> nodes = host::EvaluateScene(scene, 0);
    const fs::path path = OutDir() / "boxes.glb";
    std::string error;
    for (auto _ : state) {
        if (!host::WriteGlb(nodes, scene, path.string(), error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
    fs::remove(path);
}
void Json(benchmark::State& state) { Writer(state, Kind::Json); }

// A window that counts the primitives it is handed and keeps none.
class CountingWindow : public host::RecordingGraphicsWindow {
public:
    using host::RecordingGraphicsWindow::RecordingGraphicsWindow;
    void marker(Point3* /*xyz*/, MarkerType /*type*/) override { ++count; }
    void polyline(int /*ct*/, Point3* /*xyz*/, Point3* /*rgb*/, int /*closed*/,
                  int* /*es*/) override {
        ++count;
    }
    std::size_t count = 0;
};

// The draw pass of N copies in mode MODE into a fresh window of type Window each time;
// `count(window, drawing)` says how many primitives it drew.
template <class Window, class Count>
void DrawPass(benchmark::State& state, Count count) {
    const int mode = static_cast<int>(state.range(0));
    Built* built = BuildScene(state.range(1), mode);
    if (!built) {
        state.SkipWithError("the module did not load");
        return;
    }
    host::TopViewport view(10.0f);
    std::size_t drawn = 0;
    for (auto _ : state) {
        Window gw(view);
        const host::Drawing drawing = host::DrawScene(built->scene, view, gw, 0);
        drawn = count(gw, drawing);
        benchmark::DoNotOptimize(drawn);
    }
    state.counters["primitives"] = static_cast<double>(drawn);
}

void Draw(benchmark::State& state) {
    DrawPass<host::RecordingGraphicsWindow>(
        state, [](const host::RecordingGraphicsWindow&, const host::Drawing& drawing) {
            std::size_t n = 0;
            for (const host::NodeDrawing& node : drawing.nodes)
                n += node.drawn.markers.size() + node.drawn.polylines.size();
            return n;
        });
}

void ProxyDraw(benchmark::State& state) {
    DrawPass<CountingWindow>(
        state, [](const CountingWindow& gw, const host::Drawing&) { return gw.count; });
}

// Runs trellon-host with args; its wall time, exit status and peak memory, and its output.
struct ChildRun {
    double seconds = 0.0;
    int status = -1;
    std::int64_t peakBytes = 0;
    std::string out;
};

ChildRun RunHost(const std::vector<std::string>& args) {
    ChildRun run;
    const std::string program =
        (fs::path(host::ProgramPath()).parent_path() / "trellon-host").string();
    const fs::path outFile = OutDir() / "child.out";
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::FILE* f = std::freopen(outFile.c_str(), "w", stdout);
        (void)f;
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakBytes = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
    std::ifstream in(outFile);
    run.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

// Export/N: the object's export to geometry of N copies (N / 1,000 mesh nodes of the 500-face
// item) against the viewport build of the same copies, both in this process on a freshly loaded
// scene; counters: build_s, export_s and export_vs_build.
void Export(benchmark::State& state) {
    host::PluginModule* module = Module();
    if (!module) {
        state.SkipWithError("the module did not load");
        return;
    }
    TheLoaded().built.reset();  // room for the scene and its exported copy
    TheLoaded().key = {-1, -1};
    const std::string text = hostbench::GridScene(state.range(0), 6);
    // The best of the runs of each: the first run of a process pays its page faults.
    double build = 1e30, exported = 1e30;
    for (auto _ : state) {
        auto scene = std::make_unique<host::Scene>();
        for (int i = 0; i < module->NumClasses(); ++i) scene->RegisterClass(module->Class(i));
        host::LoadSceneText(text, "bench.scene.json", *scene);
        INode* node = scene->GetINodeByName(L"Copies");
        auto start = std::chrono::steady_clock::now();
        host::EvaluatedNode shown;
        if (!node || !host::EvaluateNode(node, 0, shown)) {
            state.SkipWithError("the object did not build");
            return;
        }
        const double b =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        FPValue made;
        std::string error;
        if (host::CallObjectFunction(*scene, node->GetObjectRef(), L"exportToGeometry", {}, made,
                                     error) != FPS_OK) {
            state.SkipWithError(error.c_str());
            return;
        }
        const double e =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(e);
        build = std::min(build, b);
        exported = std::min(exported, e);
        state.counters["nodes"] = made.i;
    }
    state.counters["build_s"] = build;
    state.counters["export_s"] = exported;
    state.counters["export_vs_build"] = exported / build;
}

void BuildCommand(benchmark::State& state) {
    const fs::path scene = OutDir() / "command.scene.json";
    std::ofstream(scene) << hostbench::GridScene(state.range(0), 6);
    double build = 0.0, whole = 0.0, peakOverMesh = 0.0, mesh = 0.0;
    for (auto _ : state) {
        const ChildRun run = RunHost({"build", scene.string(), "--json"});
        if (run.status != 0) {
            state.SkipWithError(("trellon-host exited with " + std::to_string(run.status)).c_str());
            return;
        }
        const auto report = nlohmann::json::parse(run.out, nullptr, false);
        if (report.is_discarded() || report["objects"].empty()) {
            state.SkipWithError("trellon-host printed no report");
            return;
        }
        const auto& object = report["objects"][0];
        build = object["buildSeconds"].get<double>();
        whole = run.seconds;
        mesh = object["vertices"].get<double>() * 12.0 + object["faces"].get<double>() * 20.0;
        peakOverMesh = static_cast<double>(run.peakBytes) / mesh;
        state.SetIterationTime(run.seconds);
    }
    state.counters["build_s"] = build;
    state.counters["command_vs_build"] = whole / build;
    state.counters["mesh_bytes"] = mesh;
    state.counters["peak_vs_mesh"] = peakOverMesh;
}

// `trellon-host render` of N copies of the 500-face grid item with Corona's instancing, to .glb:
// the whole command (loading, the render notifications, the instance lists, the file) as a user
// runs it. Counters: the file's size, its bytes per copy and the peak memory.
void RenderCommand(benchmark::State& state) {
    const fs::path scene = OutDir() / "render.scene.json";
    const fs::path glb = OutDir() / "render.glb";
    // Proxy display (dots): the render does not need the viewport mesh.
    std::ofstream(scene) << hostbench::GridScene(state.range(0), 1);
    double bytes = 0.0, peak = 0.0;
    for (auto _ : state) {
        const ChildRun run =
            RunHost({"render", scene.string(), "--renderer", "corona", "-o", glb.string()});
        if (run.status != 0) {
            state.SkipWithError(("trellon-host exited with " + std::to_string(run.status)).c_str());
            return;
        }
        bytes = static_cast<double>(fs::file_size(glb));
        peak = static_cast<double>(run.peakBytes);
        state.SetIterationTime(run.seconds);
    }
    state.counters["file_bytes"] = bytes;
    state.counters["bytes_per_copy"] = bytes / static_cast<double>(state.range(0));
    state.counters["peak_bytes"] = peak;
}

}  // namespace

BENCHMARK(Glb)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GlbLeast)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadNodes)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(GlbNodes)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Obj)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Json)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Draw)->Args({1, 200000})->Args({2, 80000})->Unit(benchmark::kMillisecond);
BENCHMARK(ProxyDraw)->Args({1, 200000})->Args({2, 80000})->Unit(benchmark::kMillisecond);
BENCHMARK(Export)->Arg(100000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildCommand)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(RenderCommand)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheLoaded().built.reset();
    TheLoaded().module.reset();
    return 0;
}
