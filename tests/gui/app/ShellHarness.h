#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/ui/CEndChkDlg.h"
#include "app/ui/CLoginDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/QtUi.h"
#include "gui/ModalWatch.h"
#include "mainunit/MainUnitServer.h"
#include "platform/LocalFileSystem.h"
#include "platform/ProfileFile.h"
#include "support/FakeAudioEndpoint.h"

namespace orven::test {

// The main unit stand-in on an ephemeral loopback port, serving an empty temporary folder.
struct StandIn {
    StandIn() {
        mainunit::MainUnitOptions options;
        options.root = root.path().toStdString();
        server = std::make_unique<mainunit::MainUnitServer>(options);
        QVERIFY(server->start());
    }
    QTemporaryDir root;
    std::unique_ptr<mainunit::MainUnitServer> server;
};

// A server that greets like an FTP server but not like a main unit, then hangs up.
class ForeignServer {
  public:
    ForeignServer() {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(m_listen, 1);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            const int client = ::accept(m_listen, nullptr, nullptr);
            const char greeting[] = "220 Some other FTP server ready\r\n";
            ::send(client, greeting, sizeof greeting - 1, MSG_NOSIGNAL);
            char buffer[256];
            while (::recv(client, buffer, sizeof buffer, 0) > 0) {
            }
            ::close(client);
        });
    }
    ~ForeignServer() {
        ::shutdown(m_listen, SHUT_RDWR);
        m_thread.join();
        ::close(m_listen);
    }
    int port = 0;

  private:
    int m_listen = -1;
    std::thread m_thread;
};

// The main window on a temporary home, created as at start-up.
struct Shell {
    explicit Shell(int port, Timing t = {}) : timing(t) {
        ProfileFile(settingsPath()).writeInt("LOGIN", "PORT", port);
        make();
    }
    Shell() { make(); }
    // The same with a folder browser of the test's own.
    Shell(const std::function<void(ProfileFile&)>& prepare, FolderChooser::Browse folderBrowser)
        : browse(std::move(folderBrowser)) {
        ProfileFile settings(settingsPath(), ProfileFile::Encoding::Utf16Le, 0600);
        prepare(settings);
        make();
    }
    // Writes the settings before the window reads them.
    explicit Shell(const std::function<void(ProfileFile&)>& prepare) {
        ProfileFile settings(settingsPath(), ProfileFile::Encoding::Utf16Le, 0600);
        prepare(settings);
        make();
    }
    void make() {
        ui = std::make_unique<ui::QtUi>(timing);
        frame = std::make_unique<ui::CMainFrame>(ui::CMainFrame::Services{
            timing, *ui, fileSystem, audio, settingsPath(), home.path().toStdString(), nullptr,
            home.path().toStdString() + "/ftp-dialogue.log", home.path().toStdString() + "/holding",
            browse});
        QVERIFY(frame->create());
        frame->show();
    }
    std::string settingsPath() const { return home.filePath("ORVEN.ini").toStdString(); }
    QPushButton* button(int id) {
        return frame->findChild<QPushButton*>(QStringLiteral("button%1").arg(id));
    }
    QAction* action(int id) {
        return frame->findChild<QAction*>(QStringLiteral("action%1").arg(id));
    }
    QMenu* menu(const char* name) { return frame->findChild<QMenu*>(name); }

    // Opens the log-in dialog from the settings menu, fills it and presses "ログイン"; returns
    // the text of the message box it showed (empty when it logged in).
    QString logIn(const QString& user = "maint", const QString& password = "zuka") {
        SeenBox seen;
        ModalWatch<ui::CLoginDlg> watch([&](ui::CLoginDlg* dialog) {
            dialog->findChild<QLineEdit*>("addressEdit")->setText("127.0.0.1");
            dialog->findChild<QLineEdit*>("userEdit")->setText(user);
            dialog->findChild<QLineEdit*>("passwordEdit")->setText(password);
            seen = pressAndAnswerBox(dialog->findChild<QPushButton*>("loginButton"));
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        button(1005)->click();
        action(32784)->trigger();
        return seen.text;
    }

    QTemporaryDir home;
    FolderChooser::Browse browse;
    Timing timing;
    FakeAudioEndpoint audio;
    LocalFileSystem fileSystem;
    std::unique_ptr<ui::QtUi> ui;
    std::unique_ptr<ui::CMainFrame> frame;
};

// Answers the end question with "はい" and closes the window.
inline void closeWithYes(ui::CMainFrame& frame) {
    ModalWatch<ui::CEndChkDlg> watch(
        [](ui::CEndChkDlg* dialog) { dialog->findChild<QPushButton*>("yesButton")->click(); });
    frame.close();
    QVERIFY(watch.fired());
}

}  // namespace orven::test
