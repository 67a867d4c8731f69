// `trellon-host view`: a small HTTP server for the browser viewer.
//
// It serves a fixed set of files and nothing else: the viewer page and three.js's module files
// (listed, relative to the viewer folder, in that folder's manifest.txt, which the build writes),
// "/" as the page, and the one .glb as "/model.glb". A request's path (its query string dropped)
// must be one of these exactly; there is no mapping from paths to the file system. A .glb with a
// plain file name ("demo.glb") is served under that name too, which the printed address uses. Only
// GET is answered (405 for other methods, 404 for other paths, 400 for a malformed request). It
// listens on 127.0.0.1 only; each connection gets its own thread and one response, then is closed.
// Files are read at each request, so a .glb written again shows on reload.
#pragma once

#include <atomic>
#include <iosfwd>
#include <map>
#include <mutex>
#include <string>

#include "loopback_listener.h"
#include "web_files.h"

namespace host {

struct ViewOptions {
    std::string glbPath;
    int port = 8765;     // 0: any free port
    std::string webDir;  // empty: DefaultWebDir()
};

// The viewer's files: $TRELLON_WEB when set, else the folder "viewer" beside the program's folder
// (the build puts the program in <build>/bin and the viewer in <build>/viewer).
std::string DefaultWebDir();

class ViewServer {
public:
    ViewServer() = default;
    ViewServer(const ViewServer&) = delete;
    ViewServer& operator=(const ViewServer&) = delete;

    // Collects the served files (every one must exist; the .glb must be a glTF binary) and
    // starts listening. False with a message when it cannot.
    bool Open(const ViewOptions& options, std::string& error);
    // The port listened on (the one chosen when 0 was asked for).
    int Port() const { return listener_.Port(); }
    // The page's address with the model named: http://127.0.0.1:PORT/?model=NAME.
    std::string Address() const {
        return "http://127.0.0.1:" + std::to_string(Port()) + "/?model=" + modelName_;
    }
    // Answers requests until Stop; waits for the connections in progress before it returns.
    // Each request is logged to `log` ("GET /path 200").
    void Serve(std::ostream& log);
    // Makes Serve return. Safe to call from a signal handler or another thread.
    void Stop();
    // Serve, with Ctrl+C (SIGINT) and SIGTERM stopping it.
    void ServeUntilInterrupted(std::ostream& log) {
        RunUntilInterrupted(listener_, [&] { Serve(log); });
    }

private:
    void Handle(int client, std::ostream& log);

    std::map<std::string, WebFile> files_;  // request path -> file
    LoopbackListener listener_;
    std::string modelName_ = "model.glb";
    std::atomic<int> active_{0};
    std::mutex logMutex_;
};

// Serves options.glbPath until interrupted (SIGINT or SIGTERM), printing the address first.
// Returns the exit status: 0 after an interruption, 1 when the server cannot start.
int RunView(const ViewOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
