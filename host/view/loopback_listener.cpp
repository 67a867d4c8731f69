#include "loopback_listener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace host {
namespace {

std::atomic<LoopbackListener*> g_interrupted{nullptr};

void OnSignal(int) {
    if (LoopbackListener* l = g_interrupted.load()) l->Stop();
}

}  // namespace

LoopbackListener::~LoopbackListener() {
    for (int fd : {listen_, wake_[0], wake_[1]}) {
        if (fd >= 0) close(fd);
    }
}

bool LoopbackListener::Open(int port, std::string& error) {
    if (port < 0 || port > 65535) {
        error = "port " + std::to_string(port) + " is not in 0..65535";
        return false;
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0) {
        error = std::string("cannot open a socket: ") + std::strerror(errno);
        return false;
    }
    const int yes = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listen_, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0 ||
        listen(listen_, 16) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno) +
                " (another port: --port N, or 0 for any free one)";
        close(listen_);
        listen_ = -1;
        return false;
    }
    socklen_t len = sizeof(addr);
    getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    return true;
}

int LoopbackListener::Next() {
    if (listen_ < 0) return -1;
    for (;;) {
        pollfd fds[2] = {{listen_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (fds[1].revents != 0) return -1;
        if (!(fds[0].revents & POLLIN)) continue;
        const int client = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) return client;
    }
}

void LoopbackListener::Stop() {
    if (wake_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(wake_[1], &byte, 1);
    }
}

void RunUntilInterrupted(LoopbackListener& listener, const std::function<void()>& serve) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction oldInt {
    }, oldTerm{};
    g_interrupted.store(&listener);
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    serve();
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    g_interrupted.store(nullptr);
}

bool SendAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t sent = send(fd, data, n, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        n -= static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace host
