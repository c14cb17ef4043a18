#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// TCP sockets on 127.0.0.1 for servers that misbehave on purpose.
inline sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    return address;
}

// A socket bound to a free port, listening when asked: the kernel then completes every
// connection whether or not anybody accepts it.
inline int BoundSocket(int* port, bool listening) {
    const int bound = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    bind(bound, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    if (listening) listen(bound, 8);
    return bound;
}

inline int ConnectToLoopback(int port) {
    const int connected = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = LoopbackAddress(port);
    connect(connected, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return connected;
}

// Forwards the connections made to its port to a server on another port until frozen: then
// it takes and forwards nothing and holds every connection open, like a server stopped in
// the middle of its work, until it thaws.
class FreezingRelay {
public:
    explicit FreezingRelay(int serverPort)
        : m_listener(BoundSocket(&m_port, true)),
          m_thread([this, serverPort] { Forward(serverPort); }) {}
    ~FreezingRelay() {
        m_ending = true;
        m_thread.join();
        close(m_listener);
    }
    int Port() const { return m_port; }
    void Freeze() { m_frozen = true; }
    void Thaw() { m_frozen = false; }

private:
    void Forward(int serverPort) {
        std::vector<pollfd> ends{{m_listener, POLLIN, 0}};  // then station, server, ...
        char buffer[65536];
        while (!m_ending) {
            if (m_frozen) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            if (poll(ends.data(), ends.size(), 20) <= 0 || m_frozen) continue;
            for (size_t i = 1; i < ends.size(); ++i) {
                if (!ends[i].revents) continue;
                const ssize_t got = read(ends[i].fd, buffer, sizeof buffer);
                const size_t other = i % 2 ? i + 1 : i - 1;
                if (got > 0) {
                    (void)!send(ends[other].fd, buffer, size_t(got), MSG_NOSIGNAL);
                    continue;
                }
                // One side went: the other goes too.
                for (const size_t end : {i, other}) close(ends[end].fd);
                const auto pair = ends.begin() + long(std::min(i, other));
                ends.erase(pair, pair + 2);
                break;  // the revents of the rest are still to be read at the next poll
            }
            if (ends[0].revents & POLLIN) {
                ends.push_back({accept(m_listener, nullptr, nullptr), POLLIN, 0});
                ends.push_back({ConnectToLoopback(serverPort), POLLIN, 0});
            }
        }
        for (size_t i = 1; i < ends.size(); ++i) close(ends[i].fd);
    }

    int m_port = 0;
    int m_listener;
    std::atomic<bool> m_frozen{false};
    std::atomic<bool> m_ending{false};
    std::thread m_thread;
};
