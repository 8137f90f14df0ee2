#include <atomic>
#include <thread>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "app/ui/CCstmMsgbox.h"
#include "app/ui/CProgressDlg.h"
#include "app/ui/QtUi.h"
#include "gui/ModalWatch.h"

using orven::CustomBox;
using orven::Timing;
using orven::test::ModalWatch;
using orven::ui::CCstmMsgbox;
using orven::ui::CProgressDlg;
using orven::ui::QtUi;

namespace {

CustomBox box(int buttonSet, bool closable) {
    CustomBox b;
    b.title = "エラー";
    b.text = "指定のフォルダにアクセスできませんでした。\nリトライします。よろしいですか？";
    b.icon = orven::Icon::Exclamation;
    b.buttonSet = buttonSet;
    b.closable = closable;
    return b;
}

// The texts of the visible buttons, left to right.
QStringList visibleButtons(const QDialog* dialog) {
    QStringList texts;
    for (const char* name : {"thirdButton", "firstButton", "secondButton"}) {
        const auto* button = dialog->findChild<QPushButton*>(name);
        if (button->isVisible()) {
            texts << button->text();
        }
    }
    return texts;
}

QPushButton* button(const QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(name);
}

CProgressDlg* openProgressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CProgressDlg*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT

  private slots:
    void buttonSetsShowTheirButtonsAndAnswerWithTheirIds() {
        CCstmMsgbox six(box(6, true));
        QStringList shown;
        ModalWatch<CCstmMsgbox> endApp([&](CCstmMsgbox* b) {
            shown = visibleButtons(b);
            button(b, "secondButton")->click();
        });
        QCOMPARE(six.exec(), 1209);
        QCOMPARE(shown, (QStringList{"OK", "キャンセル", "アプリ終了"}));
        QCOMPARE(six.windowTitle(), QStringLiteral("エラー"));

        CCstmMsgbox seven(box(7, true));
        ModalWatch<CCstmMsgbox> retry([&](CCstmMsgbox* b) {
            shown = visibleButtons(b);
            button(b, "thirdButton")->click();
        });
        QCOMPARE(seven.exec(), 1208);
        QCOMPARE(shown, (QStringList{"OK", "キャンセル"}));
    }

    void closableBoxAnswers2WhenClosedAndAnotherCannotBeClosed() {
        CCstmMsgbox closable(box(7, true));
        QVERIFY(closable.windowFlags() & Qt::WindowCloseButtonHint);
        ModalWatch<CCstmMsgbox> close([](CCstmMsgbox* b) { b->close(); });
        QCOMPARE(closable.exec(), 2);

        CCstmMsgbox fixed(box(5, false));
        QVERIFY(!(fixed.windowFlags() & Qt::WindowCloseButtonHint));
        bool stayed = false;
        ModalWatch<CCstmMsgbox> tryToClose([&](CCstmMsgbox* b) {
            QTest::keyClick(b, Qt::Key_Escape);
            b->close();
            stayed = b->isVisible();
            button(b, "firstButton")->click();
        });
        QCOMPARE(fixed.exec(), 1222);
        QVERIFY(stayed);
    }

    void progressClampsItsBarAndCancelOnlyRaisesTheFlag() {
        std::atomic<int> cancel{0};
        CProgressDlg dialog("ダウンロード中", "ファイルをダウンロード中です。", &cancel);
        dialog.show();
        auto* bar = dialog.findChild<QProgressBar*>("progressBar");
        dialog.setPercent(150);
        QCOMPARE(bar->value(), 100);
        dialog.setPercent(-5);
        QCOMPARE(bar->value(), 0);
        auto* counter = dialog.findChild<QLabel*>("counterLabel");
        QVERIFY(!counter->isVisible());
        dialog.setCounter(3, 12);
        QCOMPARE(counter->text(), QStringLiteral("3／12"));
        QVERIFY(counter->isVisible());

        button(&dialog, "cancelButton")->click();
        QCOMPARE(cancel.load(), 1);
        QVERIFY(dialog.isVisible());  // the operation closes it when it sees the flag

        CProgressDlg plain("削除中", "", nullptr);
        plain.show();
        QVERIFY(!button(&plain, "cancelButton")->isVisible());
        QTest::keyClick(&plain, Qt::Key_Escape);
        QVERIFY(plain.isVisible());
    }

    // The boxes are answered from timers: the worker's call runs their exec() inside
    // whatever event loop the GUI thread is in, here the test's own wait.
    void workerThreadWaitsForTheAnswerFromTheGuiThread() {
        QtUi ui{Timing{}};
        std::atomic<bool> done{false};
        bool waitedForTheUser = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        ModalWatch<CCstmMsgbox> retry([&](CCstmMsgbox* b) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            waitedForTheUser = !done;
            button(b, "thirdButton")->click();
        });
        ModalWatch<QMessageBox> no([&](QMessageBox* b) {
            icon = b->icon();
            for (QAbstractButton* choice : b->buttons()) {
                if (choice->text() == QStringLiteral("いいえ(&N)")) {
                    choice->click();
                }
            }
        });
        int custom = 0;
        int message = 0;
        std::thread worker([&] {
            custom = ui.customBox(box(7, true));
            message = ui.messageBox("text", "title", orven::Buttons::YesNo, orven::Icon::Question);
            done = true;
        });
        QTRY_VERIFY(done);
        worker.join();
        QVERIFY(waitedForTheUser);
        QCOMPARE(custom, 1208);
        QCOMPARE(message, int(orven::IdNo));
        QCOMPARE(icon, QMessageBox::Question);
    }

    void progressFromTheWorkerReachesTheDialogAndClosesIt() {
        QtUi ui{Timing{}};
        std::atomic<int> step{0};
        std::atomic<int> cancel{0};
        std::thread worker([&] {
            auto progress = ui.openProgress("ダウンロード中", "", &cancel);
            progress->setPercent(150);
            progress->setCounter(1, 4);
            step = 1;
            while (step != 2) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });  // the progress is destroyed on the worker
        QTRY_COMPARE(step.load(), 1);
        CProgressDlg* dialog = openProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("ダウンロード中"));
        QCOMPARE(dialog->findChild<QProgressBar*>("progressBar")->value(), 100);
        QCOMPARE(dialog->findChild<QLabel*>("counterLabel")->text(), QStringLiteral("1／4"));
        button(dialog, "cancelButton")->click();
        QCOMPARE(cancel.load(), 1);

        step = 2;
        QTRY_VERIFY(!openProgressDialog());
        worker.join();
    }

    void pumpDispatchesAtMostOncePerInterval() {
        Timing timing;
        timing.pumpIntervalMs = 300;
        QtUi ui(timing);
        int delivered = 0;
        const auto post = [&] {
            QMetaObject::invokeMethod(
                qApp, [&] { ++delivered; }, Qt::QueuedConnection);
        };
        post();
        ui.pump();
        QCOMPARE(delivered, 1);
        post();
        ui.pump();
        QCOMPARE(delivered, 1);  // too soon after the last dispatch
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        ui.pump();
        QCOMPARE(delivered, 2);
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "MessageBoxesTest.moc"
