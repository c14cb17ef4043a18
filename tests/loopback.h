#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
