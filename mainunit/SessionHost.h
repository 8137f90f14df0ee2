#pragma once

#include <string>

#include "mainunit/MainUnitFaults.h"
#include "mainunit/MainUnitOptions.h"

namespace orven::mainunit {

class FtpSession;
class MessageStore;
class ServedTree;
class StopSignal;

// What a session needs from the server that runs it.
class SessionHost {
  public:
    enum class Drop { Control, Data, ListingCut, OversizeListing, Stranger };

    virtual ~SessionHost() = default;

    virtual const MainUnitOptions& options() const = 0;
    virtual MainUnitFaults faults() const = 0;
    // A fault that dropOnce covers has just fired; with dropOnce the server switches it off.
    virtual void dropFired(Drop drop) = 0;
    virtual bool anotherLoggedIn(const FtpSession& session) const = 0;
    virtual const ServedTree& tree() const = 0;
    virtual MessageStore& store() = 0;
    virtual const StopSignal& stopSignal() const = 0;
    // A command line as received, for the command record and the log.
    virtual void record(int sessionId, const std::string& line) = 0;
    virtual void log(const std::string& line) = 0;
};

}  // namespace orven::mainunit
