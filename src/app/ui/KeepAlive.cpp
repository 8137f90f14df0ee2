#include "app/ui/KeepAlive.h"

#include <QThread>

#include "app/ui/QtUi.h"
#include "resources/Texts.h"

namespace orven::ui {

KeepAlive::KeepAlive(const Timing& timing, SessionController& session, Act act, QObject* parent)
    : QObject(parent), m_timing(timing), m_session(session), m_act(std::move(act)) {
    setObjectName("keepAlive");
    m_timer.setObjectName("keepAliveTimer");
    connect(&m_timer, &QTimer::timeout, this, &KeepAlive::tick);
}

void KeepAlive::setRunning(bool running) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, running] { setRunning(running); }, Qt::QueuedConnection);
        return;
    }
    if (running) {
        m_timer.start(m_timing.keepAliveTimerMs);
    } else {
        m_timer.stop();
    }
}

void KeepAlive::tick() {
    m_act(m_session.keepAliveTick(downloadWindowOpen()));
}

bool KeepAlive::downloadWindowOpen() {
    return QtUi::windowTitled(text::kProgressDownloading);
}

}  // namespace orven::ui
