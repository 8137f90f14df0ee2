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

// Whether the whole widget shows: within each widget around it up to its window, and under
// no sibling stacked above it or above one of those.
bool shownWhole(const QWidget* widget) {
    const QWidget* window = widget->window();
    const auto inWindow = [window](const QWidget* w) {
        return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    };
    const QRect whole = inWindow(widget);
    for (const QWidget* w = widget; w != window; w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        if (!inWindow(parent).contains(whole)) {
            return false;
        }
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size();
             ++i) {
            const auto* above = qobject_cast<const QWidget*>(siblings[i]);
            if (above && above->isVisible() && !above->isWindow() &&
                inWindow(above).intersects(whole)) {
                return false;
            }
        }
    }
    return true;
}

// Whether a button's text fits into the part of the button that its label is drawn in.
bool labelFits(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QRect label =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return button.fontMetrics().horizontalAdvance(button.text()) <= label.width();
}

// Records the keys and mouse presses that reach the widget it watches.
struct KeyProbe : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys.append(static_cast<QKeyEvent*>(event)->key());
        }
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
    QList<int> keys;
    int presses = 0;
};

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

    void menuButtonsToggleTheirMenus() {
        Shell shell;
        QMenu* settings = shell.menu("settingsMenu");
        shell.button(1005)->click();
        QVERIFY(settings->isVisible());
        shell.button(1005)->click();
        QVERIFY(!settings->isVisible());
        shell.button(1005)->click();
        QVERIFY(settings->isVisible());
        settings->hide();

        QMenu* window = shell.menu("windowMenu");
        shell.button(1006)->click();
        QVERIFY(window->isVisible());
        QVERIFY(!shell.action(32800)->isEnabled());  // no list window to arrange
        shell.button(1006)->click();
        QVERIFY(!window->isVisible());
    }

    void unfinishedCommandsStayDisabled() {
        Shell shell;
        for (int id = DialogBar::kFirstButton; id <= DialogBar::kLastButton; ++id) {
            const bool menuButton = id >= 1005 && id <= 1007;
            QCOMPARE(shell.button(id)->isEnabled(), menuButton);
        }
        for (int id :
             {32813, 32808, 32809, 32823, 32790, 32791, 32792, 32793, 32794, 32795, 32796, 32803}) {
            QVERIFY2(!shell.action(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(shell.action(32786)->isEnabled());
        QVERIFY(shell.action(32815)->isEnabled());
        QCOMPARE(shell.button(1001)->text(), QStringLiteral("ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ"));
        QCOMPARE(shell.button(1016)->text(), QStringLiteral("移動・コピー"));
    }

    void noButtonCoversAnotherAtTheSmallestWidth() {
        Shell shell;
        shell.frame->resize(shell.frame->minimumWidth(), shell.frame->minimumHeight());
        QApplication::processEvents();
        const int right = shell.frame->centralWidget()->width();
        QCOMPARE(right, 845);
        for (int a = DialogBar::kFirstButton; a <= DialogBar::kLastButton; ++a) {
            const QRect placed = shell.button(a)->geometry();
            QVERIFY2(placed.left() >= 0 && placed.right() < right, qPrintable(QString::number(a)));
            for (int b = a + 1; b <= DialogBar::kLastButton; ++b) {
                QVERIFY2(!placed.intersects(shell.button(b)->geometry()),
                         qPrintable(QStringLiteral("%1 and %2").arg(a).arg(b)));
            }
        }
    }

    // Every button and both name lines stay whole at the smallest size: none cut off by
    // the window, none under another, and a line of text fits into each name line.
    void dialogBarShowsWholeAtTheSmallestSize() {
        Shell shell;
        const QString folder = QStringLiteral("/home/user/留守録データ/DL_202401/");
        const QString boxes = QStringLiteral(
            "留守録BOX:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,"
            "18,19,20,21,22,23,24,25,26,27,28,29,30,31,32");
        auto* folderLine = shell.frame->findChild<ui::NameLine*>("folderNameLine");
        auto* boxLine = shell.frame->findChild<ui::NameLine*>("boxNameLine");
        folderLine->setLineText(folder);
        boxLine->setLineText(boxes);
        shell.frame->resize(shell.frame->minimumSize());
        QApplication::processEvents();
        QCOMPARE(shell.frame->size(), QSize(845, 250));

        QList<QWidget*> parts;
        for (int id = DialogBar::kFirstButton; id <= DialogBar::kLastButton; ++id) {
            QPushButton* button = shell.button(id);
            QVERIFY2(labelFits(*button), qPrintable(button->text()));
            parts << button;
        }
        parts << folderLine << boxLine;
        for (QWidget* part : parts) {
            QVERIFY2(shownWhole(part), qPrintable(part->objectName()));
        }
        for (ui::NameLine* line : {folderLine, boxLine}) {
            const int textLine = line->fontMetrics().lineSpacing() +
                                 2 * static_cast<int>(line->document()->documentMargin());
            QVERIFY2(line->viewport()->height() >= textLine, qPrintable(line->objectName()));
        }
    }

    void layoutKeepsTheMenuButtonsAtTheRightEdge() {
        Shell shell;
        shell.frame->resize(1000, 400);
        QApplication::processEvents();
        const int right = shell.frame->centralWidget()->width();
        QCOMPARE(shell.button(1007)->geometry().left(), right - 105);
        QCOMPARE(shell.button(1006)->geometry().left(), right - 208);
        QCOMPARE(shell.button(1005)->geometry().left(), right - 311);
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

    void altKeyPressGoesNowhereAndOutsideClicksOnlyCloseTheMenu() {
        Shell shell;
        KeyProbe probe;
        shell.button(1005)->installEventFilter(&probe);
        QTest::keyPress(shell.button(1005), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(shell.button(1005), Qt::Key_Space);
        QCOMPARE(probe.keys, QList<int>{Qt::Key_Space});

        QMenu* settings = shell.menu("settingsMenu");
        QMenu* help = shell.menu("helpMenu");
        shell.button(1005)->click();
        QVERIFY(settings->isVisible());
        // Through the window system, as a real click comes, so that the open menu sees it.
        QWindow* window = shell.frame->windowHandle();
        const QPoint onHelp =
            shell.button(1007)->mapTo(shell.frame.get(), shell.button(1007)->rect().center());
        KeyProbe helpButton;
        shell.button(1007)->installEventFilter(&helpButton);
        QTest::mouseClick(window, Qt::LeftButton, {}, onHelp);
        QTRY_VERIFY(!settings->isVisible());
        QTest::qWait(50);
        QCOMPARE(helpButton.presses, 0);  // the click that closed the menu went no further
        QVERIFY(!help->isVisible());
        QTest::mouseClick(window, Qt::LeftButton, {}, onHelp);
        QTRY_VERIFY(help->isVisible());
        help->hide();
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
