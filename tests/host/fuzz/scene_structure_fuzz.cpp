// A structured fuzz target for scene files: valid JSON scenes whose values are pushed to the
// extremes (spacings of 1e-30 and 1e30, negative counts, rows and indices out of range, set-up
// operations repeated and reordered, tables emptied), each loaded, built (every node evaluated,
// as `build` does) and drawn (the viewport pass, as `draw` does). Every case must end in
// success or a clear refusal (the scene reader's SceneFileError, or a build's message); a crash,
// an exception of any other kind, a hang (a case running past its alarm) or, in the sanitizer
// build, a sanitizer report fails the run.
//
//   scene_structure_fuzz [--cases N] [--seconds S] [--seed X]
//
// Cases come from a seeded generator, so a run repeats; the run stops after N cases or S seconds,
// whichever comes first, and prints "N passed, 0 failed".
//
// Built with TRELLON_LIBFUZZER (clang's -fsanitize=fuzzer), the same generator is a libFuzzer
// target instead: each choice the generator makes is taken from the fuzzer's bytes, so the
// fuzzer steers the scenes towards new branches and keeps the inputs that reach them in its
// corpus; a failing case aborts, and libFuzzer saves the input that made it. The machine is made to
// answer 16 MiB of memory available, so the builds that would be large are refused (and the refusal
// is what is exercised) instead of filling a test machine.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "build_command.h"
#include "draw_pass.h"
#include "iparamb2.h"
#include "module_loader.h"
#include "paramtype.h"
#include "plugapi.h"
#include "recording_window.h"
#include "scene.h"
#include "scene_objects.h"
#include "scene_reader.h"
#include "units.h"
#include "viewport.h"
#include "windows.h"

#ifdef TRELLON_LIBFUZZER
#include <fuzzer/FuzzedDataProvider.h>
#endif

namespace {

using json = nlohmann::json;

std::string g_current;  // the case running, printed when it fails

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "scene structure fuzz: %s\nthe scene:\n%s\n", why.c_str(),
                 g_current.c_str());
#ifdef TRELLON_LIBFUZZER
    std::abort();  // libFuzzer reports the crash and keeps the input
#else
    std::fprintf(stdout, "0 passed, 1 failed\n");
    std::fflush(stdout);
    std::_Exit(1);
#endif
}

[[maybe_unused]] void OnAlarm(int) {
    static const char msg[] = "scene structure fuzz: a case ran past its alarm (a hang)\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, msg, sizeof msg - 1);
    [[maybe_unused]] const ssize_t m = ::write(STDERR_FILENO, g_current.data(), g_current.size());
    std::_Exit(1);
}

struct Param {
    std::string name;
    ParamType2 type;
    bool hasRange = false;
    double low = 0.0, high = 0.0;
};

class Generator {
public:
    // A choice in [lo, hi]: from a seeded generator, or from the fuzzer's bytes.
    using Draw = std::function<int(int lo, int hi)>;
    Generator(Draw draw, std::vector<Param> params)
        : draw_(std::move(draw)), params_(std::move(params)) {}

    json Scene() {
        json nodes = json::array();
        std::vector<std::string> names;
        // The path: a line of 2 to 5 points, sometimes closed, at extreme coordinates.
        json points = json::array();
        const int n = Pick(2, 5);
        for (int i = 0; i < n; ++i) points.push_back({Coordinate(), Coordinate(), Small()});
        nodes.push_back(
            {{"name", "Path"},
             {"object", {{"type", "line"}, {"points", points}, {"closed", Chance(4)}}}});
        names.push_back("Path");
        // Items: boxes of extreme sizes, a small mesh; profiles to sweep.
        const int items = Pick(0, 3);
        rows_ = items;
        for (int i = 0; i < items; ++i) {
            const std::string name = "Item" + std::to_string(i);
            json object = Chance(2)
                              ? json{{"type", "box"},
                                     {"length", Size()},
                                     {"width", Size()},
                                     {"height", Size()}}
                              : json{{"type", "mesh"},
                                     {"vertices", {{0, 0, 0}, {Size(), 0, 0}, {0, Size(), 1}}},
                                     {"faces", {{0, 1, 2}}}};
            nodes.push_back({{"name", name}, {"hidden", true}, {"object", object}});
            names.push_back(name);
        }
        const int shapes = Pick(0, 2);
        for (int i = 0; i < shapes; ++i) {
            const std::string name = "Shape" + std::to_string(i);
            const double s = Size();
            nodes.push_back({{"name", name},
                             {"hidden", true},
                             {"object",
                              {{"type", "line"},
                               {"closed", true},
                               {"points", {{-s, -s, 0}, {s, -s, 0}, {s, s, 0}}}}}});
            names.push_back(name);
        }
        // The object: set-up operations in any order, repeated, with rows in and out of range.
        json setup = json::array();
        if (!Chance(8)) setup.push_back({{"op", "create"}, {"seed", Pick(0, 1000)}});
        const int ops = Pick(0, 3);
        // The usual start (the path, the items and shapes, each once), then edits in any order,
        // repeated; now and then an operation the object must refuse ("create" again among
        // them).
        if (!setup.empty() && !Chance(6)) {
            setup.push_back({{"op", "pickPath"}, {"node", "Path"}});
            for (int i = 0; i < items; ++i)
                setup.push_back({{"op", "addItem"}, {"node", "Item" + std::to_string(i)}});
            for (int i = 0; i < shapes; ++i)
                setup.push_back({{"op", "addShape"}, {"node", "Shape" + std::to_string(i)}});
        }
        static const char* const kOps[] = {
            "addNullRow",  "addItem",        "addItems",   "addShape", "addNullRow",
            "deleteRow",   "shiftUp",        "shiftDown",  "makePost", "makeEnd",
            "deleteShape", "seedTransforms", "seedMirror", "set",      "set"};
        if (Chance(20)) setup.push_back({{"op", "create"}});
        for (int i = 0; i < ops; ++i) {
            const std::string op = kOps[Pick(0, static_cast<int>(std::size(kOps)) - 1)];
            json o = {{"op", op}};
            if (op == "pickPath") o["node"] = Chance(4) ? names[Index(names)] : "Path";
            if (op == "addItem" || op == "addShape")
                o["node"] =
                    Chance(6) ? names[Index(names)] : ItemName(items, shapes, op == "addShape");
            if (op == "addItems")
                o["nodes"] = {ItemName(items, shapes, false), ItemName(items, shapes, false)};
            if (op == "addNullRow" || op == "deleteRow" || op == "shiftUp" || op == "shiftDown" ||
                op == "makePost" || op == "makeEnd" || op == "deleteShape" ||
                op == "seedTransforms" || op == "seedMirror")
                o["row"] = Row();
            if (op == "set") {
                const Param& p = params_[static_cast<std::size_t>(
                    Pick(0, static_cast<int>(params_.size()) - 1))];
                o["param"] = p.name;
                if (is_tab(p.type)) o["index"] = Row();
                o["value"] = Value(p, names);
            }
            setup.push_back(o);
        }
        // Parameters: a handful, at extremes, tables of any length (empty ones too).
        json params = json::array();
        params.push_back({{"name", "ForceDisplay"}, {"value", Pick(0, 1)}});
        params.push_back(
            {{"name", "Display_Mode"}, {"value", Chance(10) ? Pick(-1, 7) : Pick(0, 6)}});
        const int count = Pick(0, 4);
        for (int i = 0; i < count; ++i) {
            const Param& p =
                params_[static_cast<std::size_t>(Pick(0, static_cast<int>(params_.size()) - 1))];
            json value;
            if (is_tab(p.type)) {
                // A whole table: mostly as long as the items need, now and then emptied.
                value = json::array();
                const int entries = Chance(5) ? Pick(0, 5) : Pick(items, items + 1);
                for (int e = 0; e < entries; ++e) value.push_back(Value(p, names));
            } else {
                value = Value(p, names);
            }
            params.push_back({{"name", p.name}, {"value", value}});
        }
        if (Chance(2)) {
            json spacing = json::array();
            for (int e = 0; e < Pick(1, items + 2); ++e) spacing.push_back(Spacing());
            params.push_back({{"name", "Item_Spacing"}, {"value", spacing}});
        }
        nodes.push_back({{"name", "Fence"},
                         {"object", {{"type", "Trellon"}, {"setup", setup}, {"params", params}}}});
        return {{"format", "trellon-scene"}, {"version", 1}, {"nodes", nodes}};
    }

private:
    int Pick(int lo, int hi) { return draw_(lo, hi); }
    bool Chance(int oneIn) { return Pick(1, oneIn) == 1; }
    std::size_t Index(const std::vector<std::string>& v) {
        return static_cast<std::size_t>(Pick(0, static_cast<int>(v.size()) - 1));
    }
    template <class T, std::size_t N>
    T From(const T (&values)[N]) {
        return values[Pick(0, static_cast<int>(N) - 1)];
    }
    double Coordinate() { return From({0.0, 1.0, 100.0, -250.0, 1e-30, 1e30, -1e30, 1e6, 3.5}); }
    double Small() { return From({0.0, 0.0, 1.0, -1e-30, 1e30}); }
    double Size() { return From({1.0, 0.0, 1e-30, 1e30, 25.0, -3.0}); }
    double Spacing() { return From({1e-30, 1e30, 0.0, -1.0, 1e-6, 0.5, 10.0, 1e38}); }
    // A list row: mostly one that is there (0 .. rows), now and then one that is not.
    int Row() {
        if (Chance(8)) return From({-5, -1, 4, 99, 2147483647});
        return Pick(1, std::max(rows_, 1));
    }

    std::string ItemName(int items, int shapes, bool shape) {
        const int n = shape ? shapes : items;
        if (n == 0) return shape ? "Shape0" : "Item0";  // missing: refused by name
        return (shape ? "Shape" : "Item") + std::to_string(Pick(0, n - 1));
    }

    // A value for the parameter: an extreme one, held to the parameter's range most of the
    // time (the reader refuses the rest).
    json Value(const Param& p, const std::vector<std::string>& names) {
        json v = Value(base_type(p.type), names);
        if (p.hasRange && v.is_number() && !Chance(8)) {
            const double x = v.get<double>();
            const double held = x < p.low ? p.low : (x > p.high ? p.high : x);
            if (base_type(p.type) == TYPE_INT || base_type(p.type) == TYPE_BOOL)
                return static_cast<long long>(held);
            return held;
        }
        return v;
    }

    json Value(ParamType2 type, const std::vector<std::string>& names) {
        switch (type) {
            case TYPE_INT:
                return From({-2147483647 - 1, -5, -1, 0, 1, 2, 3, 6, 7, 100, 2147483647});
            case TYPE_BOOL:
                return Pick(0, 1);
            case TYPE_FLOAT:
            case TYPE_ANGLE:
            case TYPE_PCNT_FRAC:
            case TYPE_WORLD:
                return From({0.0, -0.0, 1e-30, -1e-30, 1e30, -1e30, 0.5, 100.0, 1e-6, 3e38});
            case TYPE_POINT3:
                return {Coordinate(), Coordinate(), Coordinate()};
            case TYPE_STRING:
                return Chance(2) ? "" : "x";
            case TYPE_INODE:
                if (Chance(3)) return nullptr;
                return names[Index(names)];
            default:
                return 0;
        }
    }

    Draw draw_;
    std::vector<Param> params_;
    int rows_ = 1;  // rows of the object list the operations may name
};

// The parameters of the module's Trellon block, by name and type.
std::vector<Param> Params(host::PluginModule& module) {
    std::vector<Param> params;
    for (int c = 0; c < module.NumClasses(); ++c) {
        ClassDesc* cd = module.Class(c);
        if (!cd || cd->ClassID() != host::kTrellonClassID || cd->NumParamBlockDescs() == 0)
            continue;
        ParamBlockDesc2* desc = cd->GetParamBlockDesc(0);
        for (int i = 0; desc && i < desc->Count(); ++i) {
            const ParamDef& def = desc->GetParamDefByIndex(i);
            Param p{ToUTF8(def.int_name.data()), def.type};
            p.hasRange = def.has_range;
            const bool integer =
                base_type(def.type) == TYPE_INT || base_type(def.type) == TYPE_BOOL;
            p.low = integer ? def.range_low.i : def.range_low.f;
            p.high = integer ? def.range_high.i : def.range_high.f;
            params.push_back(p);
        }
    }
    // A name two parameters share must be given by ID: leave those to the reader's own tests.
    std::vector<Param> unique;
    for (const Param& p : params) {
        int same = 0;
        for (const Param& q : params) same += q.name == p.name ? 1 : 0;
        if (same == 1) unique.push_back(p);
    }
    return unique;
}

// What the cases came to, told at the end (a run whose scenes are all refused tests little).
struct Tally {
    long refusedFiles = 0;   // the scene reader refused the file
    long built = 0;          // loaded, built and drawn
    long refusedBuilds = 0;  // of those, a build said it would not fit
} g_tally;

// One case: load, build, draw. Anything but a clear refusal fails the run.
void RunCase(host::PluginModule& module, const std::string& text) {
    SetMasterUnitInfo(UNITS_INCHES, 1.0f);
    host::Scene scene;
    for (int i = 0; i < module.NumClasses(); ++i) scene.RegisterClass(module.Class(i));
    try {
        host::LoadSceneText(text, "fuzz.scene.json", scene);
    } catch (const host::SceneFileError& e) {
        // TRELLON_FUZZ_VERBOSE=1 shows why each scene was refused (to keep the generator honest).
        if (std::getenv("TRELLON_FUZZ_VERBOSE")) std::fprintf(stderr, "refused: %s\n", e.what());
        ++g_tally.refusedFiles;  // refused, with the file, the place and the problem
        return;
    } catch (const std::exception& e) {
        Fail(std::string("loading threw ") + e.what());
    }
    try {
        const host::SceneEvaluation built = host::EvaluateWithReports(scene, scene.GetTime());
        host::TopViewport view(1.0f);
        host::RecordingGraphicsWindow gw(view);
        host::DrawScene(scene, view, gw, scene.GetTime());
        ++g_tally.built;
        for (const host::MessageRecord& m : scene.Messages())
            if (m.caption == L"Not Enough Memory") ++g_tally.refusedBuilds;
    } catch (const std::exception& e) {
        Fail(std::string("building or drawing threw ") + e.what());
    } catch (...) {
        Fail("building or drawing threw something that is not an exception");
    }
}

// The module the cases load, with the machine made to answer 16 MiB of memory available; null
// (and said why) when it does not load.
std::unique_ptr<host::PluginModule> LoadModule() {
    std::string error;
    std::unique_ptr<host::PluginModule> module =
        host::PluginModule::Load(host::DefaultModulePath(), error);
    if (!module) {
        std::fprintf(stderr, "scene structure fuzz: %s\n", error.c_str());
        return nullptr;
    }
    WinStandIn::SetMemoryStatusHandler([](MEMORYSTATUSEX& s) {
        s.ullTotalPhys = s.ullTotalPageFile = s.ullTotalVirtual = std::uint64_t{1} << 30;
        s.ullAvailPhys = s.ullAvailPageFile = s.ullAvailVirtual = std::uint64_t{16} << 20;
    });
    return module;
}

}  // namespace

#ifdef TRELLON_LIBFUZZER

namespace {
// The module stays loaded until the process ends: libFuzzer leaves by exit(), and unloading the
// module from an exit handler would run after the SDK's own statics are gone.
host::PluginModule* g_module = nullptr;
std::vector<Param> g_params;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    g_module = LoadModule().release();
    if (!g_module) std::_Exit(2);
    g_params = Params(*g_module);
    return 0;
}

// libFuzzer's own -timeout catches a hang; nothing of the alarm is needed here.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    Generator generator(
        [&bytes](int lo, int hi) { return bytes.ConsumeIntegralInRange<int>(lo, hi); }, g_params);
    g_current = generator.Scene().dump(1);
    RunCase(*g_module, g_current);
    return 0;
}

#else

int main(int argc, char** argv) {
    long cases = 2000;
    double seconds = 50.0;
    std::uint32_t seed = 20201;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--cases")
            cases = std::atol(argv[i + 1]);
        else if (arg == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (arg == "--seed")
            seed = static_cast<std::uint32_t>(std::atol(argv[i + 1]));
    }
    std::unique_ptr<host::PluginModule> module = LoadModule();
    if (!module) return 2;
    std::signal(SIGALRM, OnAlarm);
    std::mt19937 rng(seed);
    Generator generator(
        [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); },
        Params(*module));
    const auto start = std::chrono::steady_clock::now();
    long run = 0;
    for (; run < cases; ++run) {
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
            seconds)
            break;
        g_current = generator.Scene().dump(1);
        alarm(20);
        RunCase(*module, g_current);
        alarm(0);
    }
    module.reset();
    std::fprintf(stderr,
                 "scene structure fuzz: %ld cases: %ld refused by the scene reader, %ld loaded, "
                 "built and drawn (%ld builds or drawings refused for memory)\n",
                 run, g_tally.refusedFiles, g_tally.built, g_tally.refusedBuilds);
    std::printf("%ld passed, 0 failed\n", run);
    return 0;
}

#endif  // TRELLON_LIBFUZZER
