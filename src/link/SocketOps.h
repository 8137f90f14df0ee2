#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <netinet/in.h>

namespace orven {

// The few socket calls the FTP client makes, with the waits bounded and the errors folded
// into plain results. Socket handles are -1 when there is none.
class SocketOps {
  public:
    // True when the socket became ready for the events (or has an error or hang-up to
    // report) within the time; an interrupted wait goes on for the time that is left.
    static bool waitFor(int fd, short events, int timeoutMs);

    // A TCP socket, closed on exec so that child processes never hold our connections.
    static int openTcp();

    // connect() bounded by the time-out; the socket is blocking again afterwards.
    static bool connectWithin(int fd, const sockaddr_in& address, int timeoutMs);

    // Sends everything; false on an error or when a send stalls past the socket's send
    // time-out. Never raises SIGPIPE.
    static bool sendAll(int fd, std::string_view bytes);

    // Bounds every blocking send on the socket.
    static void setSendTimeout(int fd, int timeoutMs);

    // shutdown both ways and close; the handle becomes -1. Nothing when it is -1 already.
    static void close(int& fd);

    // Closes with a reset instead of an orderly end, so the peer cannot take what it got for
    // a complete transfer.
    static void reset(int& fd);

    // Dotted IPv4 text or a host name; the first IPv4 address found.
    static bool resolveIPv4(const std::string& host, in_addr& address);

    // The "ftp" service's port from the services database, else 21.
    static std::uint16_t ftpServicePort();
};

}  // namespace orven
