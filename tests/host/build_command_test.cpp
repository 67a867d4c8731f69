// The build and save commands, run in-process with their own streams: exit status, what they
// print and what they write.
#include "build_command.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "module_loader.h"
#include "scene.h"
#include "support/keep_units.h"
#include "support/text_files.h"

namespace {

using support::ReadText;
using support::ScenePath;

using json = nlohmann::json;

class BuildCommand : public testing::Test {
protected:
    void SetUp() override {
        std::ofstream(dir_ / "bad.scene.json") << R"({"format":"trellon-scene","version":1,
            "nodes":[{"name":"A","object":{"type":"box","length":1}}]})";
    }

    std::string Out(const char* name) const { return dir_.File(name); }

    support::KeepUnits units_;
    support::ScratchDir dir_;
    std::ostringstream out_, err_;
};

struct CommandRun {
    const char* label;
    const char* scene;   // under tests/scenes, or "bad" for the broken scene in the temp folder
    const char* output;  // under the temp folder; "" for none
    bool save;
    int status;
    const char* err;  // part of the error stream ("" when it must stay empty)
};

class BuildCommandRuns : public BuildCommand, public testing::WithParamInterface<CommandRun> {};

// Scenes without Trellon objects run in a plain scene: no module needed.
TEST_P(BuildCommandRuns, ExitStatusAndMessages) {
    const CommandRun& r = GetParam();
    const std::string scene =
        std::string(r.scene) == "bad" ? Out("bad.scene.json") : ScenePath(r.scene);
    const std::string output = *r.output ? Out(r.output) : std::string();
    if (!output.empty()) std::filesystem::remove(output);
    host::Scene s;
    int status = 0;
    if (r.save) {
        status = host::SaveScene(s, scene, output, out_, err_);
    } else {
        host::BuildOptions options;
        options.scene = scene;
        options.output = output;
        status = host::BuildScene(s, options, out_, err_);
    }
    EXPECT_EQ(status, r.status) << err_.str();
    if (*r.err) {
        EXPECT_NE(err_.str().find(r.err), std::string::npos) << err_.str();
    } else {
        EXPECT_EQ(err_.str(), "");
    }
    // Written exactly when the command succeeded.
    if (!output.empty()) {
        EXPECT_EQ(std::filesystem::exists(output), status == 0) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildCommandRuns,
    testing::Values(CommandRun{"BuildJson", "every_object.scene.json", "e.json", false, 0, ""},
                    CommandRun{"BuildObj", "every_object.scene.json", "e.obj", false, 0, ""},
                    CommandRun{"BuildGlb", "every_object.scene.json", "e.glb", false, 0, ""},
                    CommandRun{"BuildOnly", "every_object.scene.json", "", false, 0, ""},
                    CommandRun{"UnknownExtension", "every_object.scene.json", "e.png", false, 2,
                               "e.png: unknown output type"},
                    CommandRun{"MissingScene", "no_such.scene.json", "m.json", false, 1,
                               "no_such.scene.json: cannot open the file"},
                    CommandRun{"BadScene", "bad", "b.json", false, 1,
                               "bad.scene.json: nodes[0].object: missing required field \"width\""},
                    CommandRun{"UnwritableOutput", "every_object.scene.json", "no_dir/e.json",
                               false, 1, "no_dir/e.json: cannot write: No such file or directory"},
                    CommandRun{"Save", "every_object.scene.json", "s.scene.json", true, 0, ""},
                    CommandRun{"SaveBadScene", "bad", "sb.scene.json", true, 1,
                               "missing required field"},
                    CommandRun{"SaveUnwritable", "every_object.scene.json", "no_dir/s.scene.json",
                               true, 1, "cannot write the file"}),
    [](const auto& p) { return std::string(p.param.label); });

// The summary names the time, every mesh node with its counts and the output; save, the file.
TEST_F(BuildCommand, SummaryAtTheGivenTime) {
    host::Scene s;
    host::BuildOptions options;
    options.scene = ScenePath("every_object.scene.json");
    options.output = Out("summary.json");
    options.time = 4800;
    ASSERT_EQ(host::BuildScene(s, options, out_, err_), 0) << err_.str();
    EXPECT_EQ(s.GetTime(), 4800);
    const std::string text = out_.str();
    // Four nodes: two splines and two meshes (a triangle; a box of 8 vertices and 12 faces), both
    // on the hidden layer "Fence": named apart, not listed as output.
    EXPECT_NE(text.find("at 4800 ticks: 4 nodes, 2 with geometry (2 hidden)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("  hidden, left out of .glb: Tri, Picket\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("  Tri:"), std::string::npos) << text;
    EXPECT_NE(text.find("wrote " + options.output), std::string::npos) << text;
    // Save says what it wrote.
    std::ostringstream saved;
    host::Scene again;
    ASSERT_EQ(host::SaveScene(again, options.scene, Out("whole.scene.json"), saved, err_), 0);
    EXPECT_EQ(saved.str(), "saved " + Out("whole.scene.json") + " (4 nodes)\n");
}

// Copies per item are the object's own count. On the 400-unit path (legs of 240 and 160) the
// pickets every 20 from 0 to 400 are 21; the posts stand at the three knots only (each span is
// far below 1.5 x KnotSpacing 1000), 3. The hidden sources are named apart and marked in the dump.
TEST_F(BuildCommand, CopiesPerItemAndHiddenSources) {
    host::BuildOptions options;
    options.scene = ScenePath("fence_copies.scene.json");
    options.output = Out("fence.json");
    ASSERT_EQ(host::RunBuild(host::DefaultModulePath(), options, out_, err_), 0) << err_.str();
    const std::string text = out_.str();
    EXPECT_NE(text.find(" ticks: 5 nodes, 3 with geometry (2 hidden)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\n    Picket (object): 21 copies\n    Post (post): 3 copies\n  hidden, "
                        "left out of .glb: Picket, Post\n"),
              std::string::npos)
        << text;
    const json dump = json::parse(ReadText(options.output));
    std::vector<std::pair<std::string, bool>> hidden;
    for (const json& n : dump["nodes"]) hidden.emplace_back(n["name"], n.value("hidden", false));
    EXPECT_EQ(hidden, (std::vector<std::pair<std::string, bool>>{
                          {"Picket", true}, {"Post", true}, {"Fence", false}}));

    options.output.clear();
    options.json = true;
    std::ostringstream report;
    ASSERT_EQ(host::RunBuild(host::DefaultModulePath(), options, report, err_), 0) << err_.str();
    EXPECT_EQ(json::parse(report.str())["objects"][0]["items"],
              json::parse(R"([{"node": "Picket", "role": "object", "copies": 21},
                              {"node": "Post", "role": "post", "copies": 3}])"));
}

TEST_F(BuildCommand, ModuleThatDoesNotLoad) {
    host::BuildOptions options;
    options.scene = ScenePath("every_object.scene.json");
    EXPECT_EQ(host::RunBuild("/no/such/module.dlo", options, out_, err_), 1);
    EXPECT_NE(err_.str().find("/no/such/module.dlo"), std::string::npos) << err_.str();
    // Bad usage is told before the module is looked at.
    options.output = "x.txt";
    std::ostringstream err2;
    EXPECT_EQ(host::RunBuild("/no/such/module.dlo", options, out_, err2), 2);
    EXPECT_NE(err2.str().find("unknown output type"), std::string::npos) << err2.str();
    EXPECT_EQ(host::RunSave("/no/such/module.dlo", options.scene, Out("x.scene.json"), out_, err_),
              1);
}

}  // namespace
