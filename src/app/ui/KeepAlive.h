#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

#include "app/SessionController.h"
#include "platform/Timing.h"

namespace orven::ui {

// Timer 1 of the main window. Each tick asks the session whether to probe, whether the link
// is gone or the session idle too long; the window acts on the answer.
class KeepAlive : public QObject {
    Q_OBJECT

  public:
    using Act = std::function<void(SessionController::KeepAliveStep)>;

    KeepAlive(const Timing& timing, SessionController& session, Act act, QObject* parent);

    // May be called on any thread; the timer itself runs on the window's.
    void setRunning(bool running);
    bool isActive() const { return m_timer.isActive(); }
    int idleTicks() const { return m_session.idleTicks(); }

    // One tick, also called directly by tests.
    void tick();

    // A download progress window holds the link: its transfers are the activity.
    static bool downloadWindowOpen();

  private:
    const Timing& m_timing;
    SessionController& m_session;
    Act m_act;
    QTimer m_timer;
};

}  // namespace orven::ui
