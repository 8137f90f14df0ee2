#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <netinet/in.h>

#include "link/ControlChannel.h"
#include "link/FTPCONN_INFO.h"
#include "link/TransferResult.h"
#include "platform/Services.h"

namespace orven {

// The active-mode data connection of one log-in: we listen, tell the main unit where with
// PORT, and it connects back. At most one exists per record; its sockets live in the record.
class DataChannel {
  public:
    static constexpr std::size_t kChunkSize = 1024;
    // ReceiveChunk: the chunk did not fill within the data read time, or the read failed.
    static constexpr int kReceiveFailed = -1;
    // StoreData: not even the first piece went out.
    static constexpr std::int64_t kNothingSent = -1;

    DataChannel(FTPCONN_INFO& connection, ControlChannel& control, const Services& context);

    // A listener on the control connection's own local address (PORT must name the address
    // the main unit already talks to), port chosen by the system. False when none could be
    // made.
    bool Listen();
    // "PORT h1,h2,h3,h4,p1,p2\r\n" for the listener; empty without one.
    std::string PortCommand() const;

    // Listen, PORT, the transfer command (such as "RETR x\r\n"), then the main unit's
    // connection within the accept time-out. Done with the data socket connected; the code
    // of a PORT or transfer command that the main unit refused; Failed for no reply or any
    // other failure. The listener is closed on every failure.
    TransferResult OpenActiveData(std::string_view transferCommand);

    // Up to kChunkSize bytes: returns once the chunk is full or the main unit has closed the
    // connection (0 when nothing more came). kReceiveFailed when the chunk did not fill
    // within the data read time (each wait) or on an error. The socket is read kReadAhead bytes at
    // a time behind the chunks, so the system is asked once per many chunks.
    int ReceiveChunk(char* chunk);

    // Sends the bytes in kChunkSize pieces, pausing after each so that an upload stays near
    // 100 KB/s. Stops on a send error, or on the cancel flag, which resets the connection and
    // sends ABOR without waiting for its end. Returns the bytes sent, kNothingSent when the
    // first piece failed.
    std::int64_t StoreData(std::string_view bytes);

    // Listener, then data socket, each shut down and closed.
    void Close();
    // The same, with the data connection reset: the main unit must not take what it got for
    // a whole file.
    void Abandon();

  private:
    static constexpr std::size_t kReadAhead = 64 * 1024;

    bool sendPiece(std::string_view bytes, std::size_t& offset);
    bool acceptData();
    bool isMainUnit(const sockaddr_in& peer) const;
    // Refills the read-ahead from the socket: bytes read, 0 at the end, kReceiveFailed on a
    // time-out or an error.
    int readAhead();
    void dropReadAhead();

    FTPCONN_INFO& m_connection;
    ControlChannel& m_control;
    const Services& m_context;
    std::string m_ahead;  // received, not yet handed out as chunks
    std::size_t m_aheadAt = 0;
};

}  // namespace orven
