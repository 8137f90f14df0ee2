#include "app/ui/SessionDialogs.h"

#include <string>

#include <QTimer>
#include <QWidget>

#include "app/ui/CLoginDlg.h"
#include "app/ui/CRecomDlg.h"
#include "app/ui/QtUi.h"
#include "resources/Texts.h"

namespace orven::ui {

SessionDialogs::SessionDialogs(SessionController& session, CORVENDoc& doc, QWidget& window,
                               std::function<void()> closeMenus)
    : m_session(session), m_doc(doc), m_window(window), m_closeMenus(std::move(closeMenus)) {}

void SessionDialogs::logIn() {
    m_session.runCommand([this] { logInDialog(); });
}

bool SessionDialogs::logInDialog() {
    m_closeMenus();
    CLoginDlg dialog(
        m_doc,
        [this](const std::string& address, const std::string& user, const std::string& password) {
            return m_session.logIn(address, user, password);
        },
        &m_window);
    dialog.exec();
    return m_session.loggedIn();
}

void SessionDialogs::logOut(bool idle) {
    m_session.runCommand([this, idle] { endSession(idle); });
}

void SessionDialogs::endSession(bool idle) {
    m_closeMenus();
    const bool disable = !idle && m_doc.loggedIn != 0;
    if (disable) {
        m_window.setEnabled(false);
    }
    m_session.logOut();
    if (disable) {
        m_window.setEnabled(true);
    }
}

void SessionDialogs::onKeepAlive(SessionController::KeepAliveStep step) {
    using Step = SessionController::KeepAliveStep;
    if (step == Step::IdleLogOut) {
        m_closeMenus();
        logOut(true);
    } else if (step == Step::ConnectionLost) {
        // An error box already open tells the user; the reconnect question waits for it.
        const bool ask = !QtUi::windowTitled(text::kErrorTitle);
        m_session.connectionLost(ask);
        if (ask) {
            m_session.runCommand([this] { offerReconnect(); });
        }
    }
}

void SessionDialogs::offerReconnect() {
    CRecomDlg dialog(&m_window);
    const int choice = dialog.exec();
    if (choice == CRecomDlg::Reconnect) {
        const LoginResult result = m_session.reconnect();
        if (result != LoginResult::LoggedIn) {
            QtUi::showMessageBox(&m_window, std::string(CLoginDlg::resultText(result)),
                                 std::string(text::kErrorTitle), Buttons::Ok, Icon::Exclamation);
        }
    } else if (choice == CRecomDlg::End) {
        QTimer::singleShot(0, &m_window, &QWidget::close);
    }
}

}  // namespace orven::ui
