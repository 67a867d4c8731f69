// The viewer in a real browser: `trellon-host build` writes a .glb of a fixture scene,
// `trellon-host view` serves it, and headless Chromium loads the page. The page must report the
// model loaded with the vertex and face counts the .glb holds, and its screenshot must show the
// model (pixels of its colours, not only the grey background, grid and panel).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "glb_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path kOut = TRELLON_BROWSER_OUT;

// A child process with its standard output on a pipe; standard error goes to a file.
struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child Spawn(const std::vector<std::string>& args, const fs::path& errFile) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (err >= 0) close(err);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return {};
    }
    return {pid, fds[0]};
}

// Reads the child's output until `done(output)` holds, it closes, or the time runs out.
template <typename Done>
std::string ReadUntil(const Child& c, std::chrono::seconds limit, Done done) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + limit;
    char buf[4096];
    while (!done(text)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{c.out, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t n = read(c.out, buf, sizeof(buf));
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
}

// Waits for the child to end (killing it once the time is up); its exit status, or -1.
int Wait(const Child& c, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(c.pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(c.pid, SIGKILL);
            waitpid(c.pid, &status, 0);
            close(c.out);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    close(c.out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a command to its end; its standard output, and its exit status in `status`.
std::string RunToEnd(const std::vector<std::string>& args, const fs::path& errFile, int& status) {
    const Child c = Spawn(args, errFile);
    if (c.pid < 0) {
        status = -1;
        return "";
    }
    const std::string out =
        ReadUntil(c, std::chrono::seconds(180), [](const std::string&) { return false; });
    status = Wait(c, std::chrono::seconds(5));
    return out;
}

class ViewerInChromium : public ::testing::Test {
protected:
    // Each test gets its own .glb and server (the tests may run as separate processes).
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = kOut / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        glbPath_ = (dir_ / "viewer.glb").string();
        int status = 0;
        RunToEnd(WriteCommand(), dir_ / "build.log", status);
        ASSERT_EQ(status, 0) << "trellon-host build failed; see " << (dir_ / "build.log");
        std::string error;
        ASSERT_TRUE(glbtest::ReadGlb(glbPath_, glb_, error)) << error;

        server_ = Spawn({TRELLON_HOST, "view", glbPath_, "--port", "0"}, dir_ / "view.log");
        ASSERT_GT(server_.pid, 0);
        const std::regex address(R"(http://127\.0\.0\.1:\d+/\S*)");
        const std::string said =
            ReadUntil(server_, std::chrono::seconds(20),
                      [&](const std::string& t) { return std::regex_search(t, address); });
        std::smatch m;
        ASSERT_TRUE(std::regex_search(said, m, address)) << "view printed: " << said;
        url_ = m.str();
    }

    // The command that writes the .glb.
    virtual std::vector<std::string> WriteCommand() const {
        return {TRELLON_HOST, "build",
                std::string(TRELLON_SOURCE_DIR) + "/tests/scenes/viewer.scene.json", "-o",
                glbPath_};
    }

    void TearDown() override {
        if (server_.pid > 0) {
            kill(server_.pid, SIGINT);
            EXPECT_EQ(Wait(server_, std::chrono::seconds(10)), 0) << "view did not stop cleanly";
        }
    }

    // Headless Chromium on the page with a virtual time budget (the page's time runs on while
    // the model loads and draws); WebGL through its software renderer.
    std::string Chromium(const std::string& action, int& status) {
        std::vector<std::string> args = {TRELLON_CHROMIUM,
                                         "--headless",
                                         "--use-angle=swiftshader",
                                         "--enable-unsafe-swiftshader",
                                         "--hide-scrollbars",
                                         "--no-first-run",
                                         "--disable-dev-shm-usage",
                                         "--window-size=1024,700",
                                         "--virtual-time-budget=8000",
                                         "--user-data-dir=" + (dir_ / "profile").string(),
                                         action,
                                         url_};
        if (geteuid() == 0) args.insert(args.begin() + 1, "--no-sandbox");  // root has none
        return RunToEnd(args, dir_ / "chromium.log", status);
    }

    fs::path dir_;
    std::string glbPath_;
    glbtest::Glb glb_;
    Child server_;
    std::string url_;
};

std::string Attribute(const std::string& dom, const std::string& name) {
    std::smatch m;
    const std::regex re("<body[^>]*\\s" + name + "=\"([^\"]*)\"");
    return std::regex_search(dom, m, re) ? m.str(1) : std::string("(none)");
}

TEST_F(ViewerInChromium, ReportsTheCountsTheFileHoldsAndShowsTheModel) {
    int status = 0;
    const std::string dom = Chromium("--dump-dom", status);
    ASSERT_EQ(status, 0) << "chromium failed; see " << (dir_ / "chromium.log");
    ASSERT_EQ(Attribute(dom, "data-status"), "loaded") << dom.substr(0, 2000);
    // The fixture: a plank and a two-material post (24 vertices, 12 faces each), a roof of two
    // smoothing groups (8, 4) and a sphere; the box on the hidden layer is left out.
    const glbtest::Totals t = glbtest::CountScene(glb_);
    EXPECT_EQ(glb_.json["nodes"].size(), 4u);
    EXPECT_GT(t.vertices, 56u);
    EXPECT_EQ(Attribute(dom, "data-vertices"), std::to_string(t.vertices));
    EXPECT_EQ(Attribute(dom, "data-faces"), std::to_string(t.faces));
    EXPECT_EQ(Attribute(dom, "data-nodes"), "4");
    // The page is titled with the file's name.
    EXPECT_NE(dom.find("<title>viewer.glb - Trellon viewer</title>"), std::string::npos);

    // The screenshot shows the model.
    const fs::path shot = dir_ / "viewer.png";
    Chromium("--screenshot=" + shot.string(), status);
    ASSERT_EQ(status, 0) << "chromium failed; see " << (dir_ / "chromium.log");
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(shot.c_str(), &w, &h, &n, 3);
    ASSERT_NE(px, nullptr) << "no screenshot at " << shot;
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 700);
    // The background, grid and panel are greys (#20242a and lighter); the model's materials
    // (wood, leaf, the blue and yellow wire colours) are not. At least 1% of the picture must
    // be coloured.
    const int topRight = (w - 1) * 3;
    EXPECT_NEAR(px[topRight], 0x20, 2);
    EXPECT_NEAR(px[topRight + 2], 0x2a, 2);
    long coloured = 0;
    for (long i = 0; i < static_cast<long>(w) * h; ++i) {
        const unsigned char* p = px + 3 * i;
        const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
        if (hi - lo > 40) ++coloured;
    }
    stbi_image_free(px);
    EXPECT_GT(coloured, static_cast<long>(w) * h / 100) << "see " << shot;
}

// A rendered fence: 21 pickets and 3 posts, each item's mesh once in the file and drawn at every
// instance transform by three.js's instanced meshes.
class InstancedInChromium : public ViewerInChromium {
protected:
    std::vector<std::string> WriteCommand() const override {
        return {TRELLON_HOST,
                "render",
                std::string(TRELLON_SOURCE_DIR) + "/tests/scenes/fence_copies.scene.json",
                "--renderer",
                "corona",
                "-o",
                glbPath_};
    }
};

TEST_F(InstancedInChromium, DrawsEveryInstance) {
    int status = 0;
    const std::string dom = Chromium("--dump-dom", status);
    ASSERT_EQ(status, 0) << "chromium failed; see " << (dir_ / "chromium.log");
    ASSERT_EQ(Attribute(dom, "data-status"), "loaded") << dom.substr(0, 2000);
    EXPECT_EQ(Attribute(dom, "data-instances"), "24");
    // Two instanced nodes (the picket's and the post's box, 24 vertices and 12 faces each) and
    // the object's own node, whose render mesh is its sweep.
    const glbtest::Totals t = glbtest::CountScene(glb_);
    EXPECT_EQ(Attribute(dom, "data-vertices"), std::to_string(t.vertices));
    EXPECT_EQ(Attribute(dom, "data-faces"), std::to_string(t.faces));
}

}  // namespace
