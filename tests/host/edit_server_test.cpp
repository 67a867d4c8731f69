// The browser editor's host side: requests that must be refused, each leaving the scene as it
// was, and the changes it takes. The fixture (tests/scenes/edit/garden.scene.json) is a fence of
// pickets along a straight path of 240 cm; picking the path set every spacing to the path's
// tenth, 24 cm, so the per-object layout stands int(240 / 24 + 1) = 11 pickets.
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "edit_server.h"
#include "edit_session.h"
#include "glb_file.h"
#include "module_scene_fixture.h"
#include "scene.h"
#include "scene_writer.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class EditSessionTest : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        scene.reset();  // the session holds the one scene
        fs::copy_file(fs::path(TRELLON_SOURCE_DIR) / "tests/scenes/edit/garden.scene.json",
                      dir / "garden.scene.json");
        session = std::make_unique<host::EditSession>(std::vector<ClassDesc*>{cd},
                                                      (dir / "garden.scene.json").string());
        std::string error;
        ASSERT_TRUE(session->Open(error)) << error;
    }
    void TearDown() override { session.reset(); }

    host::EditReply Request(const std::string& method, const std::string& path,
                            const std::string& body = "",
                            std::map<std::string, std::string> query = {}) {
        return session->Handle(host::EditRequest{method, path, std::move(query), body});
    }
    host::EditReply Step(const std::vector<std::string>& steps) {
        return Request("POST", "/api/step",
                       json{{"count", session->Count()}, {"steps", steps}}.dump());
    }
    // What a change may touch: the whole scene as a file, the panel and the change count.
    std::string Fingerprint() {
        json state = json::parse(Request("GET", "/api/state").body);
        state.erase("messages");
        return host::SaveSceneText(session->CurrentScene()) + state.dump();
    }
    // Picket copies in the model the page shows: the instances of the render path.
    std::size_t ModelInstances() {
        const host::EditReply r = Request("GET", "/api/model.glb");
        EXPECT_EQ(r.status, 200) << r.body;
        glbtest::Glb glb;
        std::string error;
        EXPECT_TRUE(glbtest::ParseGlb(r.body, glb, error)) << error;
        std::size_t n = 0;
        for (const auto& node : glb.json["nodes"]) {
            if (!node.contains("extensions")) continue;
            const auto& a = node["extensions"]["EXT_mesh_gpu_instancing"]["attributes"];
            n += glb.json["accessors"][a["TRANSLATION"].get<std::size_t>()]["count"]
                     .get<std::size_t>();
        }
        return n;
    }

    support::ScratchDir dir;
    std::unique_ptr<host::EditSession> session;
};


struct Hostile {
    const char* what;
    const char* method;
    const char* path;
    std::string body;  // "COUNT" stands for the current change count
    int status;
    const char* message;  // part of the refusal
};

TEST_F(EditSessionTest, HostileRequestsAreRefusedAndChangeNothing) {
    const std::vector<Hostile> cases = {
        {"bad JSON", "POST", "/api/step", "{\"count\": COUNT, \"steps\": [", 400, "not valid JSON"},
        {"not an object", "POST", "/api/step", "[1, 2]", 400, "must be a JSON object"},
        {"huge body", "POST", "/api/step", std::string(70000, ' '), 413, "larger than 65536"},
        {"no count", "POST", "/api/step", R"({"steps": ["undo"]})", 400, "must give \"count\""},
        {"stale count", "POST", "/api/step", R"({"count": 0, "steps": ["choose objects/1002 1"]})",
         409, "has changed since"},
        {"unknown key", "POST", "/api/step", R"({"count": COUNT, "step": "x"})", 400,
         "unknown key \"step\""},
        {"a step not a string", "POST", "/api/step", R"({"count": COUNT, "steps": [5]})", 400,
         "steps[0] is not a string"},
        {"two steps in one", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["choose objects/1002 1\nset objects/1095 2"]})", 400,
         "line break"},
        {"unknown control", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["set \"Distribute Objects/9999\" 5"]})", 422,
         "no open rollout has a control 9999"},
        {"wrong value type", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["choose objects/1002 1", "set \"Distribute Objects/1095\" wide"]})",
         422, "\"wide\" is not a number"},
        // The repeat count is a whole-number spinner from 0 to 10.
        {"out of range", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["choose objects/1002 1", "set objects/1093 11"]})", 422,
         "11 is out of the range of control objects/1093 (0 to 10)"},
        {"fraction for a whole number", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["choose objects/1002 1", "set objects/1093 2.5"]})", 422,
         "takes whole numbers"},
        // The first step runs, the second fails: the first is taken back too.
        {"half a request", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["choose objects/1002 1", "set objects/1095 20", "press objects/4242"]})",
         422, "no open rollout has a control 4242"},
        {"question without answer", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["press objects/1003", "pick Planter"]})", 422,
         "the question \"Car Paint Material\" was asked"},
        {"select-by-name without names", "POST", "/api/step",
         R"({"count": COUNT, "steps": ["press objects/1004"]})", 422, "no `names` step"},
        {"save outside the folder", "POST", "/api/save",
         R"({"count": COUNT, "file": "../out.json"})", 400, "not a plain file name"},
        {"save to an absolute path", "POST", "/api/save",
         R"({"count": COUNT, "file": "/tmp/out.json"})", 400, "not a plain file name"},
        {"save as a hidden file", "POST", "/api/save", R"({"count": COUNT, "file": ".x.json"})",
         400, "starts with a dot"},
        {"export as another kind", "POST", "/api/export", R"({"count": COUNT, "file": "a.obj"})",
         400, "does not end in .glb"},
        {"nothing to undo", "POST", "/api/undo", R"({"count": COUNT})", 422,
         "there is nothing to undo"},
        {"unknown path", "GET", "/api/secrets", "", 404, "not part of the editor"},
        {"wrong method", "GET", "/api/step", "", 405, "GET is not taken"},
    };
    const std::string before = Fingerprint();
    for (const Hostile& c : cases) {
        std::string body = c.body;
        if (const std::size_t at = body.find("COUNT"); at != std::string::npos)
            body.replace(at, 5, std::to_string(session->Count()));
        const host::EditReply r = Request(c.method, c.path, body);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.body;
        const json answer = json::parse(r.body, nullptr, false);
        ASSERT_TRUE(answer.is_object()) << c.what;
        EXPECT_NE(answer.value("error", "").find(c.message), std::string::npos)
            << c.what << ": " << r.body;
        const std::string after = Fingerprint();
        EXPECT_TRUE(after == before) << c.what << " changed the scene";
        if (after != before) break;
    }
    // The car-paint refusal carries the question for the page to ask.
    const json q = json::parse(Step({"press objects/1003", "pick Planter"}).body);
    EXPECT_EQ(q["question"]["title"], "Car Paint Material");
    EXPECT_EQ(q["question"]["buttons"], json({"yes", "no"}));
    EXPECT_EQ(json::parse(Step({"press objects/1004"}).body)["chooseNodes"], true);
    // Nothing was written outside the folder.
    EXPECT_FALSE(fs::exists(fs::path(dir).parent_path() / "out.json"));
}

TEST_F(EditSessionTest, ImportsOnlyMeshFilesIntoTheFolder) {
    const std::string before = Fingerprint();
    const std::string count = std::to_string(session->Count());
    const std::vector<std::pair<std::string, const char*>> refused = {
        {"../rock.obj", "not a plain file name"},
        {"rock.exe", "does not end in .obj, .glb, .fbx"},
        {"rock.obj", "cannot be imported"},  // the body is no mesh
    };
    for (const auto& [name, message] : refused) {
        const host::EditReply r =
            Request("POST", "/api/import", "not a mesh", {{"name", name}, {"count", count}});
        EXPECT_EQ(r.status, name == "rock.obj" ? 422 : 400) << name;
        EXPECT_NE(r.body.find(message), std::string::npos) << r.body;
        EXPECT_TRUE(Fingerprint() == before) << name;
    }
    EXPECT_FALSE(fs::exists(dir / "rock.obj")) << "a refused file is taken away again";

    // A triangle: the node is added hidden, from a file in the scene's folder.
    const std::string obj = "v 0 0 0\nv 10 0 0\nv 0 10 0\nf 1 2 3\n";
    const host::EditReply r =
        Request("POST", "/api/import", obj, {{"name", "rock.obj"}, {"count", count}});
    ASSERT_EQ(r.status, 200) << r.body;
    const json state = json::parse(r.body);
    EXPECT_EQ(state["count"], session->Count());
    EXPECT_TRUE(fs::exists(dir / "rock.obj"));
    const json& last = state["nodes"].back();
    EXPECT_EQ(last["name"], "rock");
    EXPECT_EQ(last["kind"], "geometry");
    EXPECT_EQ(last["hidden"], true);
    // The same name again is written beside it, not over it.
    Request("POST", "/api/import", obj,
            {{"name", "rock.obj"}, {"count", std::to_string(session->Count())}});
    EXPECT_TRUE(fs::exists(dir / "rock-2.obj"));
}

TEST_F(EditSessionTest, SpacingStepChangesTheModelAndUndoTakesItBack) {
    EXPECT_EQ(ModelInstances(), 11u);
    // Row 1 is the picket; spacing 20 gives int(240 / 20 + 1) = 13 copies.
    const host::EditReply r = Step({"choose objects/1002 1", "set objects/1095 20"});
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(ModelInstances(), 13u);
    ASSERT_EQ(Request("POST", "/api/undo", json{{"count", session->Count()}}.dump()).status, 200);
    EXPECT_EQ(ModelInstances(), 11u);
    EXPECT_EQ(session->AcceptedSteps(),
              (std::vector<std::string>{"modify \"Fence\"", "choose objects/1002 1",
                                        "set objects/1095 20", "undo"}));
    // Save writes the scene file; export the .glb beside it.
    ASSERT_EQ(Request("POST", "/api/save", json{{"count", session->Count()}}.dump()).status, 200);
    ASSERT_EQ(Request("POST", "/api/export", json{{"count", session->Count()}}.dump()).status, 200);
    EXPECT_TRUE(fs::exists(dir / "garden.glb"));
    std::ifstream saved(dir / "garden.scene.json");
    const json file = json::parse(saved);
    EXPECT_FALSE(file["nodes"].back()["object"].contains("setup")) << "saved whole";
}

// A new object's generator is seeded by the session, so the accepted steps rebuild the scene
// exactly; a quoted name is one word, and a seed the page gave is kept.
TEST_F(EditSessionTest, CreateStepsWithoutASeedAreGivenOne) {
    ASSERT_EQ(Step({"create \"New fence\""}).status, 200);
    ASSERT_EQ(Step({"create Rail seed 7"}).status, 200);
    const std::vector<std::string> steps = session->AcceptedSteps();
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_TRUE(std::regex_match(steps[1], std::regex(R"(create "New fence" seed \d+)")))
        << steps[1];
    EXPECT_EQ(steps[2], "create Rail seed 7");
}

// The HTTP side, over a socket pair: a refused request never reaches the session.
TEST_F(EditSessionTest, MalformedAndForeignHttpRequestsAreRefused) {
    host::EditServer server(*session);
    server.SetPort(8766);
    const std::string host = "Host: 127.0.0.1:8766\r\n";
    const std::vector<std::pair<std::string, int>> cases = {
        {"GARBAGE\r\n\r\n", 400},
        {"GET /api/state HTTP/1.1\r\n\r\n", 403},                             // no Host
        {"GET /api/state HTTP/1.1\r\nHost: evil.example:8766\r\n\r\n", 403},  // rebinding
        {"POST /api/step HTTP/1.1\r\n" + host +
             "Origin: http://evil.example\r\n"
             "Content-Length: 2\r\n\r\n{}",
         403},
        {"POST /api/step HTTP/1.1\r\n" + host + "\r\n", 411},
        {"POST /api/step HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n", 501},
        {"POST /api/step HTTP/1.1\r\n" + host + "Content-Length: 1000000000\r\n\r\n", 413},
        {"POST /api/import?name=a.obj HTTP/1.1\r\n" + host + "Content-Length: 99999999999\r\n\r\n",
         413},
        {"GET /%zz HTTP/1.1\r\n" + host + "\r\n", 400},
        {"GET /../../etc/passwd HTTP/1.1\r\n" + host + "\r\n", 404},
        {"GET /api/state HTTP/1.1\r\n" + host + "\r\n", 200},
    };
    const std::string before = Fingerprint();
    for (const auto& [request, status] : cases) {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        ASSERT_EQ(write(fds[0], request.data(), request.size()),
                  static_cast<ssize_t>(request.size()));
        shutdown(fds[0], SHUT_WR);
        EXPECT_EQ(server.HandleConnection(fds[1]), status) << request;
        char reply[64] = {};
        ASSERT_GT(read(fds[0], reply, sizeof(reply) - 1), 12);
        EXPECT_EQ(std::string(reply).substr(9, 3), std::to_string(status)) << request;
        close(fds[0]);
        close(fds[1]);
    }
    EXPECT_TRUE(Fingerprint() == before);
}

}  // namespace
