#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

#include "platform/Timing.h"

namespace orven::ui {

// Timer 1 of the main window: while logged in it probes the main unit now and then, so a
// lost connection is noticed, and logs an idle session out after Timing::idleLogOutTicks
// ticks without FTP activity. The main window supplies what it looks at and what it does.
class KeepAlive : public QObject {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<bool()> mayProbe;   // no backup runs and a client exists
        std::function<bool()> linkBusy;   // a download window is open or the worker is busy
        std::function<bool()> connected;  // the client holds a connection
        std::function<bool()> probe;      // true when the main unit answered
        std::function<void()> lost;       // the probe failed
        std::function<bool()> loggedIn;
        std::function<void()> idleLogOut;  // the count reached the limit
    };

    KeepAlive(const Timing& timing, Hooks hooks, QObject* parent);

    void start();
    void stop();
    void resetIdle() { m_idleTicks = 0; }
    bool isActive() const { return m_timer.isActive(); }
    int idleTicks() const { return m_idleTicks; }

    // One tick, also called directly by tests.
    void tick();

  private:
    const Timing& m_timing;
    Hooks m_hooks;
    QTimer m_timer;
    int m_idleTicks = 0;
};

}  // namespace orven::ui
