#pragma once

#include <optional>

#include <cstddef>
#include <cstdint>
#include <string>

#include <netinet/in.h>

namespace orven::mainunit {

class ControlConnection;
class Payload;
class StopSignal;

// One active-mode data connection: the main unit connects to the address the client gave in
// PORT. While data flows the control connection is watched too, so ABOR ends a transfer and
// a client that has gone is noticed.
class DataChannel {
  public:
    enum class Outcome {
        Done,      // everything sent, or the client closed after sending its file
        Aborted,   // ABOR arrived on the control connection (it has been taken off the queue)
        Dropped,   // cut on purpose after the fault's byte count
        Failed,    // the data or the control connection broke, or timed out
        Stopped,   // the server is stopping
        TooLarge,  // the client sent more than the limit
    };

    DataChannel(ControlConnection& control, const StopSignal& stop, int timeoutMs);
    ~DataChannel();
    DataChannel(const DataChannel&) = delete;
    DataChannel& operator=(const DataChannel&) = delete;

    // False when no connection came about within the time-out. With from, the connection
    // leaves from that local address (port 0: any).
    bool connect(const sockaddr_in& target, const sockaddr_in* from = nullptr);
    // dropAfter < 0: no drop.
    Outcome send(Payload& payload, std::int64_t dropAfter);
    Outcome receive(std::string& bytes, std::size_t limit, std::int64_t dropAfter);
    void close();

  private:
    enum class Ready { Data, Control, Stop, TimedOut };

    Ready wait(short events);
    bool controlAlive();
    // Waits until the data socket is ready (nullopt) or something else ends the transfer.
    std::optional<Outcome> waitReady(short events);
    Outcome sendPiece(const char* data, std::size_t size);

    ControlConnection& m_control;
    const StopSignal& m_stop;
    int m_timeoutMs;
    int m_fd = -1;
    bool m_aborted = false;
};

}  // namespace orven::mainunit
