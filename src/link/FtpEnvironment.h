#pragma once

#include <atomic>
#include <filesystem>

namespace orven {

class DialogueLog;
class Ui;
struct Timing;

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

// What a CFtpMng is given by its owner. Every pointer may be null: no events are pumped, no
// hooks are called, the default Timing is used, nothing can cancel. What they point to must
// outlive the CFtpMng.
struct FtpEnvironment {
    Ui* ui = nullptr;
    FtpHooks* hooks = nullptr;
    const Timing* timing = nullptr;
    std::atomic<int>* cancelFlag = nullptr;  // the process-wide cancel flag
    DialogueLog* dialogueLog = nullptr;      // every command and reply line, for support
    // Where RETR writes when an operation names no local folder.
    std::filesystem::path defaultLocalDirectory;
};

}  // namespace orven
