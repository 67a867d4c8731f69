#include "edit_server.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "module_loader.h"
#include "view_server.h"
#include "whole_file.h"

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxHeadBytes = 16384;
constexpr int kSocketTimeoutSeconds = 10;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// Percent-decoding ('+' stays '+'); false for a broken escape or a NUL.
bool Decode(const std::string& in, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out += in[i];
            continue;
        }
        if (i + 2 >= in.size() || !std::isxdigit(static_cast<unsigned char>(in[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(in[i + 2]))) {
            return false;
        }
        const char c = static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16));
        if (c == '\0') return false;
        out += c;
        i += 2;
    }
    return true;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 409:
            return "Conflict";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 422:
            return "Unprocessable Content";
        case 501:
            return "Not Implemented";
        default:
            return status >= 500 ? "Internal Server Error" : "Error";
    }
}

int Send(int fd, int status, const std::string& type, const std::string& body) {
    const std::string head = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
                             "\r\nContent-Type: " + type +
                             "\r\nContent-Length: " + std::to_string(body.size()) +
                             "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
                             "Connection: close\r\n\r\n";
    if (SendAll(fd, head.data(), head.size())) SendAll(fd, body.data(), body.size());
    return status;
}

int SendError(int fd, int status, const std::string& message) {
    std::string escaped;
    for (char c : message) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return Send(fd, status, "application/json", "{\"error\":\"" + escaped + "\"}");
}

}  // namespace

bool ParseHttpHead(const std::string& head, HttpHead& out, std::string& error) {
    std::istringstream lines(head);
    std::string line;
    std::getline(lines, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t sp1 = line.find(' ');
    const std::size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
    if (sp2 == std::string::npos || line.compare(sp2 + 1, 7, "HTTP/1.") != 0 ||
        line.size() != sp2 + 9) {
        error = "the request line is not METHOD TARGET HTTP/1.x";
        return false;
    }
    out.method = line.substr(0, sp1);
    const std::string target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    if (target.empty() || target.front() != '/') {
        error = "the target must be a path starting with /";
        return false;
    }
    const std::size_t q = target.find('?');
    if (!Decode(target.substr(0, q), out.path)) {
        error = "the path has a broken %-escape";
        return false;
    }
    if (q != std::string::npos) {
        std::istringstream pairs(target.substr(q + 1));
        std::string pair;
        while (std::getline(pairs, pair, '&')) {
            const std::size_t eq = pair.find('=');
            std::string key, value;
            if (!Decode(pair.substr(0, eq), key) ||
                !Decode(eq == std::string::npos ? "" : pair.substr(eq + 1), value)) {
                error = "the query has a broken %-escape";
                return false;
            }
            out.query[key] = value;
        }
    }
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) {
            error = "a header line has no name";
            return false;
        }
        out.headers[Lower(line.substr(0, colon))] = Trim(line.substr(colon + 1));
    }
    return true;
}

bool EditServer::Open(const EditOptions& options, std::string& error) {
    const std::string web = options.webDir.empty() ? DefaultWebDir() : options.webDir;
    if (!ReadWebFiles(web, "edit.html", files_, error)) return false;

    if (!listener_.Open(options.port, error)) return false;
    port_ = listener_.Port();
    return true;
}

void EditServer::Stop() { listener_.Stop(); }

void EditServer::Serve(std::ostream& log) {
    // One request at a time: every request reads or changes the one scene.
    for (int client; (client = listener_.Next()) >= 0;) {
        const int status = HandleConnection(client);
        close(client);
        if (status > 0) log << lastPath_ << ' ' << status << std::endl;
    }
}

bool EditServer::AllowedHost(const std::string& host) const {
    const std::string port = ":" + std::to_string(port_);
    return host == "127.0.0.1" + port || host == "localhost" + port;
}

int EditServer::HandleConnection(int fd) {
    timeval timeout{kSocketTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    lastPath_ = "-";

    // The head, up to the blank line; what follows it is the start of the body.
    std::string data;
    char chunk[8192];
    std::size_t headEnd = std::string::npos;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos && data.size() <= kMaxHeadBytes) {
        const ssize_t n = recv(fd, chunk, sizeof(chunk), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data.append(chunk, static_cast<std::size_t>(n));
    }
    if (data.empty()) return 0;
    if (headEnd == std::string::npos || headEnd > kMaxHeadBytes) {
        return SendError(fd, 400,
                         "the request head is incomplete or larger than " +
                             std::to_string(kMaxHeadBytes) + " bytes");
    }
    HttpHead head;
    std::string error;
    if (!ParseHttpHead(data.substr(0, headEnd), head, error)) return SendError(fd, 400, error);
    lastPath_ = head.method + " " + head.path;

    const auto header = [&](const char* name) {
        const auto it = head.headers.find(name);
        return it == head.headers.end() ? std::string() : it->second;
    };
    if (!AllowedHost(header("host"))) {
        return SendError(fd, 403,
                         "this server answers only requests to 127.0.0.1:" + std::to_string(port_));
    }
    const std::string origin = header("origin");
    if (head.method != "GET" && !origin.empty() && origin != "http://" + header("host")) {
        return SendError(fd, 403, "changes are taken only from the editor's own page");
    }

    // The body: announced by its length, capped by what the request may carry.
    std::string body = data.substr(headEnd + 4);
    if (!header("transfer-encoding").empty()) {
        return SendError(fd, 501, "bodies sent in chunks are not taken; send a Content-Length");
    }
    const std::string lengthText = header("content-length");
    if (head.method == "POST" && lengthText.empty()) {
        return SendError(fd, 411, "a POST must give its Content-Length");
    }
    std::size_t length = 0;
    if (!lengthText.empty()) {
        if (lengthText.find_first_not_of("0123456789") != std::string::npos ||
            lengthText.size() > 15) {
            return SendError(fd, 400, "Content-Length is not a number of bytes");
        }
        length = static_cast<std::size_t>(std::stoull(lengthText));
    }
    const std::size_t cap =
        head.path == "/api/import" ? EditSession::kMaxImportBytes : EditSession::kMaxJsonBytes;
    if (length > cap) {
        return SendError(fd, 413,
                         "the request body (" + std::to_string(length) +
                             " bytes) is larger than the " + std::to_string(cap) + " bytes " +
                             head.path + " takes");
    }
    while (body.size() < length) {
        const ssize_t n = recv(fd, chunk, sizeof(chunk), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return SendError(fd, 400, "the request body ended before its length");
        body.append(chunk, static_cast<std::size_t>(n));
    }
    if (body.size() > length) body.resize(length);

    if (head.path.rfind("/api/", 0) == 0) {
        EditRequest request{head.method, head.path, head.query, std::move(body)};
        const EditReply reply = session_.Handle(request);
        return Send(fd, reply.status, reply.type, reply.body);
    }
    const auto it = files_.find(head.path);
    if (it == files_.end()) return SendError(fd, 404, head.path + " is not part of the editor");
    if (head.method != "GET") return SendError(fd, 405, "the page's files are only read");
    const std::optional<std::string> text = ReadWholeFile(it->second.path);
    if (!text) return SendError(fd, 500, head.path + " cannot be read");
    return Send(fd, 200, it->second.type, *text);
}

int RunEdit(const std::string& modulePath, const EditOptions& options, std::ostream& out,
            std::ostream& err) {
    std::string error;
    auto module = PluginModule::Load(modulePath, error);
    if (!module) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    std::vector<ClassDesc*> classes;
    for (int i = 0; i < module->NumClasses(); ++i) {
        if (!module->Class(i)) {
            err << "trellon-host: " << modulePath << ": LibClassDesc(" << i << ") is null\n";
            return 1;
        }
        classes.push_back(module->Class(i));
    }
    int status = 0;
    {
        EditSession session(classes, options.scene);
        if (!session.Open(error)) {
            err << "trellon-host: " << error << '\n';
            return 1;
        }
        EditServer server(session);
        if (!server.Open(options, error)) {
            err << "trellon-host: " << error << '\n';
            return 1;
        }
        out << "trellon-host: editing " << options.scene << " at " << server.Address() << '\n'
            << "Open that address in a browser; Ctrl+C stops the editor (unsaved changes are "
               "lost)."
            << std::endl;
        server.ServeUntilInterrupted(out);
        out << "trellon-host: stopped" << std::endl;
    }
    return status;
}

}  // namespace host
