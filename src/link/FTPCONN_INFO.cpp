#include "link/FTPCONN_INFO.h"

#include "link/SocketOps.h"

namespace orven {

FTPCONN_INFO::FTPCONN_INFO() : controlSocket(SocketOps::openTcp()) {}

FTPCONN_INFO::~FTPCONN_INFO() {
    SocketOps::close(dataSocket);
    SocketOps::close(listenSocket);
    SocketOps::close(controlSocket);
}

void FTPCONN_INFO::closeDataChannel() {
    SocketOps::close(listenSocket);
    SocketOps::close(dataSocket);
}

}  // namespace orven
