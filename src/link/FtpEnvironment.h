#pragma once

#include <filesystem>

#include "platform/Services.h"

namespace orven {

// What the main window does around every FTP operation, so that its keep-alive probe never
// runs while the link is busy. Called on the thread that runs the operation, which may be the
// always-on download worker.
class FtpHooks {
  public:
    virtual ~FtpHooks() = default;

    // Stop timer 1, reset its idle count, dispatch up to 500 pending events.
    virtual void operationStarted() = 0;
    // Reset the idle count, start timer 1 again.
    virtual void operationFinished() = 0;
    // After a log-out: the same as the start of an operation, and timer 1 stays stopped.
    virtual void loggedOut() { operationStarted(); }
};

// What a CFtpMng is given by its owner: the services (of which it uses the ui, the timing,
// the cancel flag and the dialogue log), the hooks and its default local folder. Every
// pointer may be null: no events are pumped, no hooks are called, nothing can cancel, nothing
// is logged. What they point to must outlive the CFtpMng.
struct FtpEnvironment : Services {
    FtpHooks* hooks = nullptr;
    // Where RETR writes when an operation names no local folder.
    std::filesystem::path defaultLocalDirectory;
};

}  // namespace orven
