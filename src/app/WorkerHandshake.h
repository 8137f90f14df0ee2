#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

namespace orven {

// The hand-shake between the user interface and the always-on worker. The busy flag and the
// pause request are only touched under the lock, so the worker never starts a box while a
// command of the user holds the link; the stop request and the stopped flag are plain flags
// that one side writes and the other polls.
class WorkerHandshake {
  public:
    // stopRequest is the session's one stop request, which the jobs the worker runs poll
    // too; it must outlive the hand-shake.
    explicit WorkerHandshake(std::atomic<int>& stopRequest) : m_stopRequest(stopRequest) {}

    using Pump = std::function<void()>;
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    // User interface side. pause(true) sets the foreground-job flag and the pause request,
    // then waits (pumping events) until the worker is idle; pause(false) only clears the
    // pause request. endForegroundJob clears both.
    void pause(bool on, const Pump& pump, const Sleep& sleep, std::chrono::milliseconds step);
    void endForegroundJob();
    // Sets or clears the pause request alone.
    void requestPause(bool on);
    bool foregroundJob() const { return m_foregroundJob != 0; }

    // Worker side; also read by the keep-alive, which must not probe while a box runs.
    bool pauseRequested();
    void setBusy(bool busy);
    bool busy();

    // Exit: asks the worker to stop, again on every step, until it says it has stopped.
    // Returns at once when no worker was started.
    void stop(const Pump& pump, const Sleep& sleep, std::chrono::milliseconds step);
    void markStarted() { m_started = 1; }
    bool started() const { return m_started != 0; }
    bool stopRequested() const { return m_stopRequest != 0; }
    void clearStopRequest() { m_stopRequest = 0; }
    void markStopped() { m_stopped = 1; }

  private:
    std::mutex m_lock;
    bool m_busy = false;          // guarded by m_lock
    bool m_pauseRequest = false;  // guarded by m_lock
    std::atomic<int> m_foregroundJob{0};
    std::atomic<int>& m_stopRequest;
    std::atomic<int> m_stopped{0};
    std::atomic<int> m_started{0};
};

}  // namespace orven
