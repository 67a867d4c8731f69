// `trellon-host edit SCENE [--port N]`: the browser editor. One process serves one scene
// (edit_session.h) and the editor's page on 127.0.0.1 only.
//
// HTTP, kept small: one request per connection (answered with "Connection: close"), handled one
// at a time on the main thread, where the module runs. A request is refused before the session
// sees it when its head is malformed or over 16 KiB (400), its Host is not this server's own
// address (403: a page of another site that resolves its name to 127.0.0.1 is not served), a
// POST comes from a page of another origin (403), a body has no Content-Length (411) or a
// chunked one (501), or a body is larger than the session takes (413, before it is read). A
// client that stalls is dropped after 10 seconds.
//
// Files: the page and its scripts are the viewer folder's files (its manifest.txt lists them,
// as for `view`); "/" is the editor's page. Nothing else on disk is served.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "edit_session.h"
#include "loopback_listener.h"
#include "web_files.h"

namespace host {

struct EditOptions {
    std::string scene;
    int port = 8766;     // 0: any free port
    std::string webDir;  // empty: DefaultWebDir()
};

// A request head: "METHOD TARGET HTTP/1.x", then headers (names in lower case).
struct HttpHead {
    std::string method;
    std::string path;  // the target without its query, percent-decoded
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> headers;
};

// Parses the head (the text before the blank line). False with the reason when it is not a
// request head this server takes.
bool ParseHttpHead(const std::string& head, HttpHead& out, std::string& error);

class EditServer {
public:
    explicit EditServer(EditSession& session) : session_(session) {}
    EditServer(const EditServer&) = delete;
    EditServer& operator=(const EditServer&) = delete;

    // Reads the viewer folder's manifest and listens on 127.0.0.1:port. False with a message.
    bool Open(const EditOptions& options, std::string& error);
    int Port() const { return port_; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

    // Answers connections until Stop (safe from a signal handler). Logs "METHOD PATH STATUS".
    void Serve(std::ostream& log);
    void Stop();
    // Serve, with Ctrl+C (SIGINT) and SIGTERM stopping it.
    void ServeUntilInterrupted(std::ostream& log) {
        RunUntilInterrupted(listener_, [&] { Serve(log); });
    }

    // Reads one request from the connected socket, answers it and returns the status sent.
    // (The tests hand it one end of a socket pair.)
    int HandleConnection(int fd);

    // The port a request's Host must name; tests set it instead of calling Open.
    void SetPort(int port) { port_ = port; }

private:
    bool AllowedHost(const std::string& host) const;

    EditSession& session_;
    std::map<std::string, WebFile> files_;
    LoopbackListener listener_;
    int port_ = 0;  // the listener's, or the one a test sets
    std::string lastPath_;
};

// Loads the module, opens the scene and serves it until interrupted (SIGINT, SIGTERM).
int RunEdit(const std::string& modulePath, const EditOptions& options, std::ostream& out,
            std::ostream& err);

}  // namespace host
