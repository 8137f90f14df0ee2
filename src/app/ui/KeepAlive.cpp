#include "app/ui/KeepAlive.h"

namespace orven::ui {

KeepAlive::KeepAlive(const Timing& timing, Hooks hooks, QObject* parent)
    : QObject(parent), m_timing(timing), m_hooks(std::move(hooks)) {
    setObjectName("keepAlive");
    m_timer.setObjectName("keepAliveTimer");
    connect(&m_timer, &QTimer::timeout, this, &KeepAlive::tick);
}

void KeepAlive::start() {
    m_timer.start(m_timing.keepAliveTimerMs);
}

void KeepAlive::stop() {
    m_timer.stop();
}

void KeepAlive::tick() {
    if (m_hooks.mayProbe()) {
        // A transfer in progress is activity; probing would cut into its replies.
        if (m_hooks.linkBusy()) {
            resetIdle();
            return;
        }
        if (m_hooks.connected() && !m_hooks.probe()) {
            m_hooks.lost();
            return;
        }
    }
    if (m_hooks.loggedIn() && ++m_idleTicks >= m_timing.idleLogOutTicks) {
        stop();
        resetIdle();
        m_hooks.idleLogOut();
    }
}

}  // namespace orven::ui
