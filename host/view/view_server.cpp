#include "view_server.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>
#include <memory>
#include <ostream>
#include <thread>
#include <utility>

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxConnections = 32;
constexpr int kSocketTimeoutSeconds = 10;
constexpr std::size_t kMaxRequestBytes = 16384;

// A file name that needs no escaping in a URL: letters, digits, '.', '-', '_', not hidden.
bool PlainFileName(const std::string& name) {
    if (name.empty() || name.front() == '.') return false;
    for (unsigned char c : name) {
        if (!std::isalnum(c) && c != '.' && c != '-' && c != '_') return false;
    }
    return true;
}

bool IsGlb(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && std::memcmp(magic, "glTF", 4) == 0;
}

std::string Head(int status, const char* reason, const std::string& type, std::uintmax_t length,
                 const char* extra = "") {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(length) +
           "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n" + extra +
           "Connection: close\r\n\r\n";
}

int RespondText(int fd, int status, const char* reason, const char* extra = "") {
    const std::string body = std::to_string(status) + " " + reason + "\n";
    const std::string msg =
        Head(status, reason, "text/plain; charset=utf-8", body.size(), extra) + body;
    SendAll(fd, msg.data(), msg.size());
    return status;
}

}  // namespace

std::string DefaultWebDir() {
    if (const char* env = std::getenv("TRELLON_WEB"); env && *env) return env;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "viewer";
    return (exe.parent_path().parent_path() / "viewer").string();
}

bool ViewServer::Open(const ViewOptions& options, std::string& error) {
    const std::string web = options.webDir.empty() ? DefaultWebDir() : options.webDir;
    if (!ReadWebFiles(web, "index.html", files_, error)) return false;
    if (!fs::is_regular_file(options.glbPath)) {
        error = options.glbPath + ": no such file";
        return false;
    }
    if (!IsGlb(options.glbPath)) {
        error = options.glbPath + ": not a glTF binary (.glb) file";
        return false;
    }
    // The .glb is served as /model.glb and, when its file name is a plain one, under that name
    // too, so the page can show it.
    files_["/model.glb"] = WebFile{options.glbPath, ContentType("model.glb")};
    const std::string name = fs::path(options.glbPath).filename().string();
    if (PlainFileName(name) && files_.find("/" + name) == files_.end()) {
        files_["/" + name] = files_["/model.glb"];
        modelName_ = name;
    }
    return listener_.Open(options.port, error);
}

void ViewServer::Stop() { listener_.Stop(); }

void ViewServer::Serve(std::ostream& log) {
    if (!listener_.IsOpen()) return;
    // Each connection's thread and whether it is done; done ones are joined as we go.
    std::list<std::pair<std::thread, std::shared_ptr<std::atomic<bool>>>> workers;
    auto reap = [&workers](bool all) {
        for (auto it = workers.begin(); it != workers.end();) {
            if (all || it->second->load()) {
                it->first.join();
                it = workers.erase(it);
            } else {
                ++it;
            }
        }
    };
    for (int client; (client = listener_.Next()) >= 0;) {
        reap(false);
        if (workers.size() >= kMaxConnections) {
            close(client);
            continue;
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        workers.emplace_back(std::thread([this, client, done, &log] {
                                 Handle(client, log);
                                 close(client);
                                 done->store(true);
                             }),
                             done);
    }
    reap(true);
}

void ViewServer::Handle(int client, std::ostream& log) {
    timeval timeout{kSocketTimeoutSeconds, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));

    // The request head: up to the blank line.
    std::string request;
    char chunk[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        const ssize_t n = recv(client, chunk, sizeof(chunk), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    if (request.empty()) return;  // a connection opened and left unused

    std::string method, target;
    int status = 0;
    const std::size_t lineEnd = request.find("\r\n");
    const std::string first = request.substr(0, lineEnd);
    const std::size_t sp1 = first.find(' ');
    const std::size_t sp2 = sp1 == std::string::npos ? sp1 : first.find(' ', sp1 + 1);
    if (lineEnd == std::string::npos || request.find("\r\n\r\n") == std::string::npos ||
        sp2 == std::string::npos || first.compare(sp2 + 1, 5, "HTTP/") != 0) {
        status = RespondText(client, 400, "Bad Request");
    } else {
        method = first.substr(0, sp1);
        target = first.substr(sp1 + 1, sp2 - sp1 - 1);
        const std::string path = target.substr(0, target.find_first_of("?#"));
        const auto it = files_.find(path);
        if (method != "GET") {
            status = RespondText(client, 405, "Method Not Allowed", "Allow: GET\r\n");
        } else if (it == files_.end()) {
            status = RespondText(client, 404, "Not Found");
        } else {
            std::ifstream in(it->second.path, std::ios::binary);
            std::error_code ec;
            const std::uintmax_t size = fs::file_size(it->second.path, ec);
            if (!in || ec) {
                status = RespondText(client, 500, "Internal Server Error");
            } else {
                status = 200;
                const std::string head = Head(200, "OK", it->second.type, size);
                bool ok = SendAll(client, head.data(), head.size());
                std::uintmax_t left = size;
                char buf[65536];
                while (ok && left > 0 &&
                       in.read(buf, static_cast<std::streamsize>(
                                        std::min<std::uintmax_t>(left, sizeof(buf))))) {
                    ok = SendAll(client, buf, static_cast<std::size_t>(in.gcount()));
                    left -= static_cast<std::uintmax_t>(in.gcount());
                }
            }
        }
    }
    const std::lock_guard<std::mutex> lock(logMutex_);
    log << (method.empty() ? "-" : method) << ' ' << (target.empty() ? "-" : target) << ' '
        << status << std::endl;
}

int RunView(const ViewOptions& options, std::ostream& out, std::ostream& err) {
    ViewServer server;
    std::string error;
    if (!server.Open(options, error)) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    out << "trellon-host: serving " << options.glbPath << " at " << server.Address() << '\n'
        << "Open that address in a browser; Ctrl+C stops the server." << std::endl;

    server.ServeUntilInterrupted(out);
    out << "trellon-host: stopped" << std::endl;
    return 0;
}

}  // namespace host
