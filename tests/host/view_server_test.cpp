// The viewer's HTTP server: only the listed files, the page at "/", and the .glb; GET only; it
// stops when asked. Requests are sent over a real loopback socket.
#include "view_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

struct Reply {
    int status = 0;
    std::string head;
    std::string body;
};

// Sends `request` as it stands and reads the whole reply (the server closes after one).
Reply Send(int port, const std::string& request) {
    Reply r;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
        close(fd);
        return r;
    }
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string all;
    char buf[4096];
    for (ssize_t n; (n = recv(fd, buf, sizeof(buf), 0)) > 0;)
        all.append(buf, static_cast<std::size_t>(n));
    close(fd);
    const std::size_t end = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) return r;
    r.status = std::stoi(all.substr(9, 3));
    r.head = all.substr(0, end);
    r.body = all.substr(end + 4);
    return r;
}

void WriteFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

class ViewServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir_ / "viewer/index.html", "<p>page</p>");
        WriteFile(dir_ / "viewer/three/a.js", "export const a = 1;");
        WriteFile(dir_ / "viewer/manifest.txt", "index.html\nthree/a.js\n");
        WriteFile(dir_ / "viewer/not-listed.js", "secret");
        WriteFile(dir_ / "scene_1.glb", std::string("glTF\x02\0\0\0", 8));
        options_.glbPath = (dir_ / "scene_1.glb").string();
        options_.webDir = (dir_ / "viewer").string();
        options_.port = 0;
    }
    void TearDown() override {
        if (serving_.joinable()) {
            server_.Stop();
            serving_.join();
        }
    }
    void Start() {
        std::string error;
        ASSERT_TRUE(server_.Open(options_, error)) << error;
        serving_ = std::thread([this] { server_.Serve(log_); });
    }

    support::ScratchDir dir_;
    host::ViewOptions options_;
    host::ViewServer server_;
    std::thread serving_;
    std::ostringstream log_;
};

struct RequestCase {
    const char* name;
    const char* request;
    int status;
    const char* body;  // null: not checked
};

class ViewServerRequests : public ViewServerTest,
                           public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ViewServerRequests, AnswersOnlyTheServedSet) {
    Start();
    const Reply r = Send(server_.Port(), GetParam().request);
    EXPECT_EQ(r.status, GetParam().status) << r.head;
    if (GetParam().body) {
        EXPECT_EQ(r.body, GetParam().body);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ViewServerRequests,
    ::testing::Values(
        RequestCase{"Root", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", 200, "<p>page</p>"},
        RequestCase{"Page", "GET /index.html HTTP/1.1\r\n\r\n", 200, "<p>page</p>"},
        RequestCase{"QueryIgnored", "GET /three/a.js?v=2 HTTP/1.1\r\n\r\n", 200,
                    "export const a = 1;"},
        RequestCase{"Model", "GET /model.glb HTTP/1.0\r\n\r\n", 200, nullptr},
        RequestCase{"ModelByName", "GET /scene_1.glb HTTP/1.1\r\n\r\n", 200, nullptr},
        RequestCase{"NotListed", "GET /not-listed.js HTTP/1.1\r\n\r\n", 404, nullptr},
        RequestCase{"Manifest", "GET /manifest.txt HTTP/1.1\r\n\r\n", 404, nullptr},
        RequestCase{"Climbing", "GET /three/../index.html HTTP/1.1\r\n\r\n", 404, nullptr},
        RequestCase{"OutOfFolder", "GET /../scene_1.glb HTTP/1.1\r\n\r\n", 404, nullptr},
        RequestCase{"Escaped", "GET /index%2Ehtml HTTP/1.1\r\n\r\n", 404, nullptr},
        RequestCase{"Post", "POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405, nullptr},
        RequestCase{"Head", "HEAD / HTTP/1.1\r\n\r\n", 405, nullptr},
        RequestCase{"NotHttp", "hello\r\n\r\n", 400, nullptr},
        RequestCase{"NoVersion", "GET /\r\n\r\n", 400, nullptr}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(ViewServerTest, ModelHeadersLogPortAndARewrittenFile) {
    Start();
    const Reply r = Send(server_.Port(), "GET /model.glb HTTP/1.1\r\n\r\n");
    EXPECT_EQ(r.body, std::string("glTF\x02\0\0\0", 8));
    EXPECT_NE(r.head.find("Content-Type: model/gltf-binary"), std::string::npos) << r.head;
    EXPECT_NE(r.head.find("Content-Length: 8"), std::string::npos) << r.head;
    EXPECT_NE(Send(server_.Port(), "PUT / HTTP/1.1\r\n\r\n").head.find("Allow: GET"),
              std::string::npos);
    EXPECT_EQ(server_.Address(),
              "http://127.0.0.1:" + std::to_string(server_.Port()) + "/?model=scene_1.glb");
    // A second server cannot take the port.
    host::ViewServer second;
    host::ViewOptions o = options_;
    o.port = server_.Port();
    std::string error;
    EXPECT_FALSE(second.Open(o, error));
    EXPECT_NE(error.find("cannot listen on 127.0.0.1:" + std::to_string(o.port)), std::string::npos)
        << error;
    // A file rewritten shows on the next request.
    WriteFile(dir_ / "scene_1.glb", "glTF and more");
    EXPECT_EQ(Send(server_.Port(), "GET /model.glb HTTP/1.1\r\n\r\n").body, "glTF and more");
    server_.Stop();
    serving_.join();
    EXPECT_EQ(log_.str(), "GET /model.glb 200\nPUT / 405\nGET /model.glb 200\n");
}

TEST_F(ViewServerTest, StopBeforeServeReturnsAtOnce) {
    std::string error;
    ASSERT_TRUE(server_.Open(options_, error)) << error;
    server_.Stop();
    server_.Serve(log_);
    EXPECT_EQ(log_.str(), "");
}

// Open refuses what it cannot serve, naming it. Each case changes one thing from the set-up: the
// manifest's text, the viewer folder, the model file or the port.
struct OpenCase {
    const char* name;
    const char* manifest;  // written over the viewer's manifest.txt, or null
    const char* webDir;    // under the temporary folder, or null for the viewer's
    const char* glb;       // under the temporary folder, or null for scene_1.glb
    int port;
    const char* message;
};

class ViewServerRefuses : public ViewServerTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(ViewServerRefuses, Open) {
    const OpenCase& c = GetParam();
    if (c.manifest) WriteFile(dir_ / "viewer/manifest.txt", c.manifest);
    if (c.webDir) options_.webDir = (dir_ / c.webDir).string();
    if (c.glb) options_.glbPath = (dir_ / c.glb).string();
    options_.port = c.port;
    std::string error;
    EXPECT_FALSE(server_.Open(options_, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewServerRefuses,
    ::testing::Values(
        OpenCase{"NoViewer", nullptr, "nowhere", nullptr, 0, "no manifest.txt"},
        OpenCase{"ListedFileMissing", "index.html\nthree/gone.js\n", nullptr, nullptr, 0,
                 "three/gone.js: a viewer file listed in manifest.txt is missing"},
        OpenCase{"ListedPathClimbs", "index.html\n../scene_1.glb\n", nullptr, nullptr, 0,
                 "is missing"},
        OpenCase{"NoPage", "three/a.js\n", nullptr, nullptr, 0, "does not list index.html"},
        OpenCase{"NoModel", nullptr, nullptr, "x.glb", 0, "x.glb: no such file"},
        OpenCase{"NotGlb", nullptr, nullptr, "viewer/index.html", 0, "not a glTF binary"},
        OpenCase{"BadPort", nullptr, nullptr, nullptr, 70000, "port 70000 is not in 0..65535"}),
    [](const auto& tp) { return std::string(tp.param.name); });

}  // namespace
