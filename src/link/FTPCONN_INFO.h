#pragma once

#include <filesystem>

#include <netinet/in.h>

namespace orven {

// The record of one log-in: made by CFtpMng::Login, dropped by Logout, the next Login or the
// CFtpMng's destruction. It owns its sockets; a handle of -1 means none.
struct FTPCONN_INFO {
    // Makes the control socket; controlSocket stays -1 when the system refuses one.
    FTPCONN_INFO();
    // Closes the data, listening and control sockets, in that order, without a QUIT.
    ~FTPCONN_INFO();
    FTPCONN_INFO(const FTPCONN_INFO&) = delete;
    FTPCONN_INFO& operator=(const FTPCONN_INFO&) = delete;

    // Listening socket, then data socket: what ends one data channel.
    void closeDataChannel();

    int controlSocket = -1;
    int listenSocket = -1;  // the active-mode listener while a data channel is being opened
    int dataSocket = -1;
    sockaddr_in serverAddress{};
    // RETR writes its files here; every operation sets it.
    std::filesystem::path localDirectory;
    // The log-ins of this process counted from 1: "#3" in the dialogue log.
    int logInNumber = 0;
};

}  // namespace orven
