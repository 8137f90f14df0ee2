#include <atomic>
#include <chrono>
#include <thread>

#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include "ShellHarness.h"
#include "app/CommandIds.h"
#include "app/ui/CEndChkDlg.h"
#include "app/ui/CFolderSetDlg.h"
#include "app/ui/CRecomDlg.h"
#include "app/ui/CVolumeDlg.h"
#include "app/ui/DialogBar.h"
#include "app/ui/KeepAlive.h"
#include "app/ui/NameLine.h"
#include "resources/Texts.h"

using namespace orven;
using namespace orven::test;
using orven::ui::DialogBar;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void logInFlipsTheSessionItems() {
        StandIn unit;
        Shell shell(unit.server->port());
        QVERIFY(shell.action(32784)->isEnabled());
        QVERIFY(!shell.action(32785)->isEnabled());
        QCOMPARE(shell.logIn(), QString());
        QCOMPARE(shell.frame->doc().loggedIn, 1);
        QVERIFY(!shell.action(32784)->isEnabled());
        QVERIFY(shell.action(32785)->isEnabled());
        QVERIFY(!shell.action(32821)->isEnabled());  // no update check while logged in
        QVERIFY(shell.frame->keepAlive().isActive());

        shell.button(1005)->click();
        shell.action(32785)->trigger();
        QCOMPARE(shell.frame->doc().loggedIn, 0);
        QVERIFY(shell.action(32784)->isEnabled());
        QVERIFY(!shell.frame->keepAlive().isActive());
        QVERIFY(shell.frame->isEnabled());
        QCOMPARE(unit.server->commands().back(), std::string("QUIT"));
    }

    void failedLogInsShowWhy() {
        int closedPort = 0;
        {
            StandIn gone;
            closedPort = gone.server->port();
        }
        Shell nothing(closedPort);
        QCOMPARE(nothing.logIn(), qs(text::kLoginNoConnection));

        StandIn refusing;
        mainunit::MainUnitFaults faults;
        faults.refuseLogIn = true;
        refusing.server->setFaults(faults);
        Shell refused(refusing.server->port());
        QCOMPARE(refused.logIn(), qs(text::kLoginRefused));

        ForeignServer foreign;
        Shell other(foreign.port);
        QCOMPARE(other.logIn(), qs(text::kLoginUnsupportedMainUnit));

        for (Shell* shell : {&nothing, &refused, &other}) {
            QCOMPARE(shell->frame->doc().loggedIn, 0);
            QVERIFY(shell->action(32784)->isEnabled());
        }
    }

    void idleSessionLogsOutOnTheHundredthTickWithWindowEnabled() {
        StandIn unit;
        Shell shell(unit.server->port());
        QCOMPARE(shell.logIn(), QString());
        auto& keepAlive = shell.frame->keepAlive();
        for (int tick = 1; tick < shell.timing.idleLogOutTicks; ++tick) {
            keepAlive.tick();
        }
        QCOMPARE(shell.frame->doc().loggedIn, 1);
        QCOMPARE(keepAlive.idleTicks(), shell.timing.idleLogOutTicks - 1);

        // The log-out pumps events: a disabled window would be seen by a queued check.
        bool disabledMeanwhile = false;
        QTimer::singleShot(0, shell.frame.get(),
                           [&] { disabledMeanwhile = !shell.frame->isEnabled(); });
        keepAlive.tick();
        QCoreApplication::processEvents();
        QCOMPARE(shell.frame->doc().loggedIn, 0);
        QVERIFY(!disabledMeanwhile);
        QVERIFY(shell.frame->isEnabled());
        QVERIFY(!keepAlive.isActive());
        QCOMPARE(keepAlive.idleTicks(), 0);
    }

    void noProbeWhileADownloadWindowIsOpen() {
        StandIn unit;
        Shell shell(unit.server->port());
        QCOMPARE(shell.logIn(), QString());
        auto& keepAlive = shell.frame->keepAlive();
        keepAlive.tick();
        QCOMPARE(keepAlive.idleTicks(), 1);
        unit.server->clearCommands();

        QWidget downloading;
        downloading.setWindowTitle(qs(text::kProgressDownloading));
        downloading.show();
        keepAlive.tick();
        QCOMPARE(keepAlive.idleTicks(), 0);
        QVERIFY(unit.server->commands().empty());
    }

    void lostConnectionOffersReconnect() {
        StandIn unit;
        Shell shell(unit.server->port());
        QCOMPARE(shell.logIn(), QString());
        unit.server->stop();

        ModalWatch<ui::CRecomDlg> watch([](ui::CRecomDlg* dialog) { dialog->reject(); });
        shell.frame->keepAlive().tick();
        QVERIFY(watch.fired());
        QCOMPARE(shell.frame->doc().loggedIn, 0);
        QVERIFY(!shell.frame->keepAlive().isActive());
        QVERIFY(shell.action(32784)->isEnabled());
    }

    void reconnectLogsInAgainWithTheSessionFields() {
        StandIn unit;
        const int port = unit.server->port();
        Shell shell(port);
        QCOMPARE(shell.logIn(), QString());
        unit.server->stop();
        auto reconnect = [](ui::CRecomDlg* dialog) {
            dialog->findChild<QPushButton*>("reconnectButton")->click();
        };
        {
            ModalWatch<ui::CRecomDlg> watch(reconnect);
            SeenBox seen;
            ModalWatch<QMessageBox> box([&](QMessageBox* b) {
                seen.text = b->text();
                b->accept();
            });
            shell.frame->keepAlive().tick();
            QCOMPARE(seen.text, qs(text::kLoginNoConnection));
            QCOMPARE(shell.frame->doc().loggedIn, 0);
        }
        mainunit::MainUnitOptions options;
        options.root = unit.root.path().toStdString();
        options.port = static_cast<std::uint16_t>(port);
        mainunit::MainUnitServer again(options);
        QVERIFY(again.start());
        ModalWatch<ui::CRecomDlg> watch(reconnect);
        shell.frame->keepAlive().tick();
        QVERIFY(watch.fired());
        QCOMPARE(shell.frame->doc().loggedIn, 1);
        QVERIFY(shell.frame->keepAlive().isActive());
        QVERIFY(shell.action(32785)->isEnabled());
    }

    void pauseWaitsForTheWorkerAndExitStopsIt() {
        Shell shell;
        auto& worker = shell.frame->session().worker();
        std::atomic<bool> running{false};
        worker.setBusy(true);
        shell.frame->session().startWorker([&worker, &running] {
            running = true;
            while (!worker.stopRequested()) {
                if (worker.pauseRequested()) {
                    worker.setBusy(false);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            worker.markStopped();
        });
        shell.frame->session().pauseWorker(true);
        QVERIFY(!worker.busy());
        QVERIFY(worker.foregroundJob());
        QVERIFY(worker.pauseRequested());
        worker.requestPause(false);
        QVERIFY(!worker.pauseRequested());
        closeWithYes(*shell.frame);
        QVERIFY(running);
        QVERIFY(worker.stopRequested());
    }

    void exitWritesSettingsAndPlacement() {
        Shell shell;
        shell.frame->setGeometry(40, 50, 900, 300);
        const QRect frame = shell.frame->frameGeometry();  // stored as the outer frame
        shell.frame->doc().savedUser = "office";
        shell.frame->doc().volumeSetting = 70;
        closeWithYes(*shell.frame);

        QFile raw(QString::fromStdString(shell.settingsPath()));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(raw.read(2), QByteArray("\xFF\xFE"));  // a new file is UTF-16LE with BOM
        const ProfileFile file(shell.settingsPath());
        QCOMPARE(file.getString("LOGIN", "USER"), std::string("office"));
        QCOMPARE(file.getInt("VOLUME", "VOLSET_VALUE", 0), 70);
        QVERIFY(frame.top() < 50);
        QCOMPARE(file.getInt("Window", "Left", 0), frame.left());
        QCOMPARE(file.getInt("Window", "Top", 0), frame.top());
        QCOMPARE(file.getInt("Window", "Right", 0), frame.left() + frame.width());
        QCOMPARE(file.getInt("Window", "Bottom", 0), frame.top() + frame.height());
    }

    void helpItemsTellWhatIsMissing() {
        Shell shell;
        QTemporaryDir workingFolder;
        const QString before = QDir::currentPath();
        QDir::setCurrent(workingFolder.path());
        ModalWatch<QMessageBox> manual([](QMessageBox* box) {
            QCOMPARE(box->text(), qs(text::kManualNotFound));
            QCOMPARE(box->windowTitle(), qs(text::kErrorTitle));
            box->accept();
        });
        shell.button(1007)->click();
        shell.action(32818)->trigger();
        QDir::setCurrent(before);
        QVERIFY(manual.fired());

        ModalWatch<QMessageBox> update([](QMessageBox* box) {
            QCOMPARE(box->text(), qs(text::kUpdateNotAvailable));
            box->accept();
        });
        shell.button(1007)->click();
        shell.action(32821)->trigger();
        QVERIFY(update.fired());

        // No log has been written in this home yet.
        ModalWatch<QMessageBox> log([](QMessageBox* box) {
            QCOMPARE(box->text(), qs(text::kDialogueLogCannotOpen));
            box->accept();
        });
        shell.button(1007)->click();
        QVERIFY(shell.action(command::kDialogueLog)->isEnabled());
        shell.action(command::kDialogueLog)->trigger();
        QVERIFY(log.fired());
    }

    void startupFolderItemOpensTheFolderDialogAndStoresItsChoice() {
        Shell shell;
        shell.frame->doc().startupMode = 1;
        shell.frame->doc().nextFolderName = "DL_1";
        ModalWatch<ui::CFolderSetDlg> watch([](ui::CFolderSetDlg* dialog) {
            dialog->findChild<QRadioButton*>("lastFolderRadio")->click();
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        shell.button(1005)->click();
        QVERIFY(shell.action(32786)->isEnabled());
        shell.action(32786)->trigger();
        QVERIFY(watch.fired());
        QCOMPARE(shell.frame->doc().startupMode, 0);
        QVERIFY(shell.frame->doc().nextFolderName.empty());
    }

    void exitWithBackupRunsItFirstWithoutCompletionMessage() {
        Shell shell;
        shell.frame->doc().backupFrequency = 1;
        shell.frame->doc().dataFolder = shell.home.path().toStdString() + "/";
        bool settingsExisted = true;
        std::vector<bool> runs;
        shell.frame->setBackupHooks({.run = [&](bool completionMessage) {
            settingsExisted = QFile::exists(qs(shell.settingsPath()));
            runs.push_back(completionMessage);
            return true;
        }});
        ModalWatch<ui::CEndChkDlg> watch([](ui::CEndChkDlg* dialog) {
            auto* backup = dialog->findChild<QPushButton*>("backupButton");
            QVERIFY(backup->isVisible() && backup->isEnabled());
            backup->click();
        });
        shell.frame->close();
        QVERIFY(watch.fired());
        QCOMPARE(runs, std::vector<bool>{false});
        QVERIFY(!settingsExisted);  // the backup ran before the settings were saved
        QVERIFY(QFile::exists(qs(shell.settingsPath())));
    }

    void dueBackupRunsFromTheWatchAndAfterACancelledDialog() {
        Timing timing;
        timing.backupWatchTimerMs = 20;
        timing.dialogBackupWatchTimerMs = 20;
        Shell shell(0, timing);
        bool due = false;
        bool answered = true;
        std::vector<bool> runs;
        shell.frame->setBackupHooks({.due = [&] { return due; },
                                     .ask =
                                         [&](bool& completionMessage) {
                                             due = false;
                                             completionMessage = answered;
                                             return true;
                                         },
                                     .run =
                                         [&](bool completionMessage) {
                                             runs.push_back(completionMessage);
                                             return true;
                                         }});
        shell.frame->session().setBackupWatch(true);
        due = true;
        QTRY_COMPARE(runs, std::vector<bool>{true});

        // Comes due while the volume dialog is open, and nobody answers the question.
        answered = false;
        bool dialogOpen = false;
        ModalWatch<ui::CVolumeDlg> watch([&](ui::CVolumeDlg*) {
            dialogOpen = true;
            due = true;
        });
        shell.button(1005)->click();
        shell.action(32815)->trigger();
        QVERIFY(dialogOpen);
        QCOMPARE(runs, (std::vector<bool>{true, false}));

        // The end question is a dialog like any other: the backup runs and the program stays.
        ModalWatch<ui::CEndChkDlg> endWatch([&](ui::CEndChkDlg*) { due = true; });
        shell.frame->close();
        QVERIFY(endWatch.fired());
        QCOMPARE(runs.size(), std::size_t{3});
        QVERIFY(shell.frame->isVisible());
    }

    void declinedExitKeepsTheWindow() {
        Shell shell;
        ModalWatch<ui::CEndChkDlg> watch(
            [](ui::CEndChkDlg* dialog) { dialog->findChild<QPushButton*>("noButton")->click(); });
        shell.frame->close();
        QVERIFY(watch.fired());
        QVERIFY(shell.frame->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(shell.settingsPath())));
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
