#include "mainunit/TransferFaults.h"

#include <arpa/inet.h>

#include "mainunit/DataChannel.h"
#include "mainunit/FtpSession.h"
#include "mainunit/Payload.h"

namespace orven::mainunit {

TransferFaults::Cut TransferFaults::dataCut(const MainUnitFaults& faults) {
    return {faults.dropDataAfterBytes, SessionHost::Drop::Data};
}

// The earlier of the cut of every data connection and the listing's own; on a tie the latter.
TransferFaults::Cut TransferFaults::listingCut(const MainUnitFaults& faults, std::uint64_t size) {
    const std::int64_t listing =
        faults.cutListingInHalf ? static_cast<std::int64_t>(size / 2) : faults.cutListingAfterBytes;
    const Cut data = dataCut(faults);
    if (listing < 0 || (data.afterBytes >= 0 && data.afterBytes < listing)) {
        return data;
    }
    return {listing, SessionHost::Drop::ListingCut};
}

// The stranger is closed before the real connection is made, so it is the first one waiting
// at the client, and a client that takes it reads its bytes and then the end of the data.
void TransferFaults::sendStranger(FtpSession& session, const sockaddr_in& port) {
    SessionHost& host = session.host();
    const MainUnitFaults faults = host.faults();
    if (!faults.strangerOnDataPort) {
        return;
    }
    sockaddr_in from{};
    from.sin_family = AF_INET;
    DataChannel stranger(session.control(), host.stopSignal(), host.options().dataTimeoutMs);
    if (::inet_pton(AF_INET, faults.strangerAddress.c_str(), &from.sin_addr) != 1 ||
        !stranger.connect(port, &from)) {
        host.log("stranger could not connect from " + faults.strangerAddress);
        return;
    }
    host.log("stranger connected from " + faults.strangerAddress);
    Payload bytes;
    bytes.addBytes(faults.strangerBytes);
    stranger.send(bytes, MainUnitFaults::kNoDrop);
    stranger.close();
    host.dropFired(SessionHost::Drop::Stranger);
}

}  // namespace orven::mainunit
