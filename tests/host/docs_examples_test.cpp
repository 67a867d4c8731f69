// Every complete scene in the user reference (docs/scene-format.md, the fenced blocks marked
// `json`) loads and builds with the module: the reference cannot drift from what the host reads.
// Pieces of files and outputs are fenced as `jsonc` and are not scenes.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "build_command.h"
#include "module_scene_fixture.h"
#include "scene_load.h"

namespace {

struct Example {
    std::string name;  // "line N" and the section it stands in
    std::string text;
};

const char* const kReference = TRELLON_SOURCE_DIR "/docs/scene-format.md";

// The `json` blocks of the reference, each named by its line and the heading above it.
std::vector<Example> ReadExamples() {
    std::ifstream in(kReference);
    std::vector<Example> examples;
    std::string line, heading = "top";
    int number = 0;
    Example* open = nullptr;
    while (std::getline(in, line)) {
        ++number;
        if (open) {
            if (line.rfind("```", 0) == 0) {
                open = nullptr;
            } else {
                open->text += line + "\n";
            }
            continue;
        }
        if (line.rfind("#", 0) == 0) heading = line.substr(line.find_first_not_of("# "));
        if (line == "```json") {
            std::string name = "Line" + std::to_string(number) + "_";
            for (const char c : heading) {
                if (std::isalnum(static_cast<unsigned char>(c))) name += c;
            }
            examples.push_back({name, {}});
            open = &examples.back();
        }
    }
    return examples;
}

class DocsExamples : public ModuleSceneTest, public testing::WithParamInterface<Example> {};

// It loads, and every Trellon object in it places copies or sweeps a shape, without a warning.
TEST_P(DocsExamples, LoadsAndBuilds) {
    ASSERT_EQ(LoadError(GetParam().text, "docs/scene-format.md", *scene), "");
    const host::SceneEvaluation evaluation = host::EvaluateWithReports(*scene, scene->GetTime());
    for (const host::TrellonReport& rep : evaluation.reports) {
        int copies = 0;
        for (const host::ItemCopies& item : rep.items) copies += item.copies;
        EXPECT_TRUE(copies > 0 || rep.faces > 0) << rep.node << " builds nothing";
        EXPECT_TRUE(rep.messages.empty()) << rep.node << " shows a message box";
    }
}

INSTANTIATE_TEST_SUITE_P(Reference, DocsExamples, testing::ValuesIn(ReadExamples()),
                         [](const auto& p) { return p.param.name; });

// The reference keeps its examples: one per kind of distribution and the first scene at least.
TEST(DocsReference, HasItsExamples) { EXPECT_GE(ReadExamples().size(), 6u); }

}  // namespace
