// The listening side of the host's small HTTP servers (the viewer and the editor): a socket on
// 127.0.0.1 only, and a pipe that lets a signal handler or another thread stop the wait for the
// next connection.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace host {

class LoopbackListener {
public:
    LoopbackListener() = default;
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // Listens on 127.0.0.1:port (0: any free port). False with a message when it cannot.
    bool Open(int port, std::string& error);
    bool IsOpen() const { return listen_ >= 0; }
    // The port listened on (the one chosen when 0 was asked for).
    int Port() const { return port_; }
    // Waits for the next connection: its socket, for the caller to close; -1 once Stop was
    // called (or the wait itself failed).
    int Next();
    // Makes Next return -1. Safe to call from a signal handler or another thread.
    void Stop();

private:
    int listen_ = -1;
    int wake_[2] = {-1, -1};  // a pipe: Stop writes, Next's poll wakes
    int port_ = 0;
};

// Runs serve() with Ctrl+C (SIGINT) and SIGTERM stopping the listener; the program's own
// handlers are back afterwards.
void RunUntilInterrupted(LoopbackListener& listener, const std::function<void()>& serve);

// Sends all n bytes; false when the peer has gone.
bool SendAll(int fd, const char* data, std::size_t n);

}  // namespace host
