#pragma once

#include <functional>

#include "app/CORVENDoc.h"
#include "app/SessionController.h"

class QWidget;

namespace orven::ui {

// The dialogs around the session: the log-in, the question after a lost connection, and
// what the keep-alive's answers lead to. Each runs in the session's command frame; the
// session tells the window when the enable rules changed.
class SessionDialogs {
  public:
    // closeMenus closes the settings menu before a dialog comes up. All must outlive this.
    SessionDialogs(SessionController& session, CORVENDoc& doc, QWidget& window,
                   std::function<void()> closeMenus);

    void logIn();
    // The log-in dialog alone, inside a command that is running already; true when the
    // session is logged in afterwards.
    bool logInDialog();
    // idle: the session ended itself while the user was away; nothing of the window changes.
    void logOut(bool idle);
    void onKeepAlive(SessionController::KeepAliveStep step);

  private:
    void endSession(bool idle);
    void offerReconnect();

    SessionController& m_session;
    CORVENDoc& m_doc;
    QWidget& m_window;
    std::function<void()> m_closeMenus;
};

}  // namespace orven::ui
