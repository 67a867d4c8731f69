// Huge and hostile inputs meet a clear refusal, never an abort: trellon-host run as a child
// process under an address-space limit (setrlimit(RLIMIT_AS)), and builds whose counts pass what
// a mesh can index.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "build_command.h"
#include "module_loader.h"
#include "module_scene_fixture.h"
#include "support/fence_scene.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"
#include "windows.h"

namespace {

using support::ReadText;

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct Child {
    int status = -1;
    std::string out;
    std::string err;
};

// trellon-host with args, its address space limited to `limit` bytes (the shell's `ulimit -v`
// sets RLIMIT_AS, in KiB, before the program replaces the shell).
Child RunHost(const std::vector<std::string>& args, rlim_t limit, const fs::path& dir) {
    const fs::path program = fs::path(host::ProgramPath()).parent_path() / "trellon-host";
    const fs::path out = dir / "child.out", err = dir / "child.err";
    std::string command =
        "ulimit -v " + std::to_string(limit / 1024) + " && exec '" + program.string() + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " > '" + out.string() + "' 2> '" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(out),
            ReadText(err)};
}

constexpr rlim_t kGiB = rlim_t{1} << 30;

// One box "Box" (or `item`) along the fence's 100-unit line, one copy every `spacing` units, in
// the full-mesh mode with the display forced.
std::string BoxScene(
    const std::string& spacing,
    const std::string& item = R"({"type": "box", "length": 1, "width": 1, "height": 1})") {
    support::FenceScene s;
    s.path = R"({"type": "line", "points": [[0, 0, 0], [100, 0, 0]]})";
    s.nodes = R"({"name": "Box", "hidden": true, "object": )" + item + "},";
    s.setup = R"({"op": "addItem", "node": "Box"})";
    s.params = R"({"name": "Geo_UserSpacing", "value": 1}, {"name": "Geo_Pattern", "value": 2},
                  {"name": "Item_Spacing", "value": [)" +
               spacing + ", " + spacing + R"(]},
                  {"name": "ForceDisplay", "value": 1}, {"name": "Display_Mode", "value": 6})";
    return s.Text();
}

class MemoryLimits : public testing::Test {
protected:
    void SetUp() override {
        if (kAddressSanitizer) GTEST_SKIP() << "the address sanitizer needs more address space";
    }
    support::ScratchDir dir_;
};

TEST_F(MemoryLimits, HundredMillionCopiesAreRefusedAtOnceWithTheReason) {
    // A spacing of 0.000001 on 100 units asks for 100,000,001 copies; a spline gives at most
    // 2^24 = 16,777,216. Each box copy is 8 vertices (12 bytes) and 12 faces (20 bytes), 336
    // bytes, plus a selection bit per vertex and face, 2.5 bytes: 16,777,216 x 338.5 + 2 (the
    // two bit arrays' rounding) = 5,679,087,618 bytes, more than a 4 GiB address space holds.
    const fs::path scene = dir_ / "huge.scene.json";
    std::ofstream(scene) << BoxScene("0.000001");
    const Child child = RunHost({"build", scene.string(), "--json"}, 4 * kGiB, dir_);
    ASSERT_EQ(child.status, 0) << child.err;
    const nlohmann::json report = nlohmann::json::parse(child.out);
    const nlohmann::json& fence = report["objects"][0];
    EXPECT_EQ(fence["vertices"], 0);
    EXPECT_EQ(fence["faces"], 0);
    ASSERT_EQ(fence["messages"].size(), 1u);
    EXPECT_EQ(fence["messages"][0]["title"], "Not Enough Memory");
    const std::string text = fence["messages"][0]["text"];
    EXPECT_EQ(text.rfind("Fence: 16,777,216 copies need 5,679,087,618 bytes for the mesh; ", 0), 0u)
        << text;
    EXPECT_NE(text.find(" bytes are available."), std::string::npos) << text;
    EXPECT_EQ(text.find("a mesh can index"), std::string::npos) << text;
    EXPECT_LT(fence["buildSeconds"].get<double>(), 1.0);
}

TEST_F(MemoryLimits, GlbWriteOutOfMemoryLeavesNoFileAndExitsOne) {
    // 10,001 boxes (80,008 vertices, 120,012 faces): the build fits in the limit found first, the
    // .glb writer's own memory on top of it does not.
    const fs::path scene = dir_ / "boxes.scene.json";
    std::ofstream(scene) << BoxScene("0.01");
    const fs::path out = dir_ / "out.glb";
    // The smallest limit, in steps of 4 MiB, under which the build alone succeeds whole.
    rlim_t limit = 0;
    for (rlim_t l = 64 << 20; l <= 1 * kGiB; l += 4 << 20) {
        const Child build = RunHost({"build", scene.string(), "--json"}, l, dir_);
        if (build.status != 0) continue;
        const nlohmann::json report = nlohmann::json::parse(build.out, nullptr, false);
        if (!report.is_discarded() && report["objects"][0]["faces"] == 120012) {
            limit = l;
            break;
        }
    }
    ASSERT_GT(limit, 0u) << "no limit up to 1 GiB let the build through";
    const Child write = RunHost({"build", scene.string(), "-o", out.string()}, limit, dir_);
    EXPECT_EQ(write.status, 1) << write.out << write.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(out.string() + ".part"));
    // One line: the command, what it was doing, and what it needed.
    EXPECT_EQ(write.err.rfind("trellon-host build: out of memory while writing " + out.string(), 0),
              0u)
        << write.err;
    EXPECT_NE(write.err.find(" bytes failed)"), std::string::npos) << write.err;
    EXPECT_EQ(std::count(write.err.begin(), write.err.end(), '\n'), 1) << write.err;
}

// Counts at the mesh's index range, checked in this process against a machine that answers
// 1 GiB available: a 624-face item, copies on a 100-unit line.
class IndexRange : public ModuleSceneTest,
                   public testing::WithParamInterface<std::tuple<const char*, bool>> {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        previous_ = WinStandIn::SetMemoryStatusHandler([](MEMORYSTATUSEX& s) {
            s.ullAvailPhys = s.ullAvailPageFile = s.ullAvailVirtual = std::uint64_t{1} << 30;
            s.ullTotalPhys = s.ullTotalPageFile = s.ullTotalVirtual = std::uint64_t{2} << 30;
        });
    }
    void TearDown() override {
        WinStandIn::SetMemoryStatusHandler(previous_);
        ModuleSceneTest::TearDown();
    }
    WinStandIn::MemoryStatusHandler previous_;
};

TEST_P(IndexRange, OnlyCountsPastTheRangeAreRefusedForIt) {
    const auto [spacing, past] = GetParam();
    const support::ScratchDir dir;
    const fs::path sceneFile = dir / "strip.scene.json";
    // A sphere of 26 segments: 2 x 26 x 12 = 624 faces and 26 x 12 + 2 = 314 vertices (the faces
    // reach the range first).
    std::ofstream(sceneFile) << BoxScene(spacing,
                                         R"({"type": "sphere", "radius": 0.4, "segments": 26})");
    host::BuildOptions options;
    options.scene = sceneFile.string();
    options.json = true;
    std::ostringstream out, err;
    ASSERT_EQ(host::BuildScene(*this->scene, options, out, err), 0) << err.str();
    const nlohmann::json fence = nlohmann::json::parse(out.str())["objects"][0];
    // 100 / 0.0000291 + 1 = 3,436,427 copies: 2,144,330,448 faces, just under 2,147,483,647;
    // 100 / 0.000029 + 1 = 3,448,276 copies: 2,151,724,224 faces, past it. Either way the
    // memory is not there, and only the second names the index range.
    const std::int64_t copies = fence["items"][0]["copies"];
    EXPECT_EQ(copies * 624 > 2147483647, past) << copies;
    ASSERT_EQ(fence["messages"].size(), 1u);
    const std::string text = fence["messages"][0]["text"];
    EXPECT_NE(text.find("1,073,741,824 bytes are available"), std::string::npos) << text;
    EXPECT_EQ(text.find("faces pass the 2,147,483,647 a mesh can index") != std::string::npos, past)
        << text;
}

INSTANTIATE_TEST_SUITE_P(Counts, IndexRange,
                         testing::Values(std::make_tuple("0.0000291", false),
                                         std::make_tuple("0.000029", true)),
                         [](const auto& tp) {
                             return std::get<1>(tp.param) ? std::string("PastTheRange")
                                                          : std::string("JustUnder");
                         });

}  // namespace
