#pragma once

#include <cstdint>

#include <netinet/in.h>

#include "mainunit/MainUnitFaults.h"
#include "mainunit/SessionHost.h"

namespace orven::mainunit {

class FtpSession;

// How the faults a test switched on act on one data transfer: where it is cut, and the
// stranger who reaches the client's data port first.
class TransferFaults {
  public:
    // Where a transfer is cut on purpose, and the fault that does it.
    struct Cut {
        std::int64_t afterBytes = MainUnitFaults::kNoDrop;
        SessionHost::Drop fault = SessionHost::Drop::Data;
    };
    static Cut dataCut(const MainUnitFaults& faults);
    static Cut listingCut(const MainUnitFaults& faults, std::uint64_t size);

    // Connects from the stranger's address to the client's PORT address, sends its bytes and
    // closes, when that fault is on.
    static void sendStranger(FtpSession& session, const sockaddr_in& port);
};

}  // namespace orven::mainunit
