#include "app/WorkerHandshake.h"

namespace orven {

void WorkerHandshake::pause(bool on, const Pump& pump, const Sleep& sleep,
                            std::chrono::milliseconds step) {
    if (!on) {
        requestPause(false);
        return;
    }
    m_foregroundJob = 1;
    requestPause(true);
    while (busy()) {
        pump();
        sleep(step);
    }
}

void WorkerHandshake::endForegroundJob() {
    requestPause(false);
    m_foregroundJob = 0;
}

void WorkerHandshake::requestPause(bool on) {
    std::lock_guard guard(m_lock);
    m_pauseRequest = on;
}

bool WorkerHandshake::pauseRequested() {
    std::lock_guard guard(m_lock);
    return m_pauseRequest;
}

void WorkerHandshake::setBusy(bool busy) {
    std::lock_guard guard(m_lock);
    m_busy = busy;
}

bool WorkerHandshake::busy() {
    std::lock_guard guard(m_lock);
    return m_busy;
}

void WorkerHandshake::stop(const Pump& pump, const Sleep& sleep, std::chrono::milliseconds step) {
    if (!started()) {
        return;
    }
    m_stopped = 0;
    m_stopRequest = 1;
    while (m_stopped == 0) {
        pump();
        sleep(step);
        m_stopRequest = 1;
    }
}

}  // namespace orven
