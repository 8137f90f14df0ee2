#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QtTest>

#include "ShellHarness.h"
#include "app/ui/CChildFrame.h"
#include "app/ui/CORVENApp.h"
#include "app/ui/ListWindowView.h"
#include "app/ui/ListWindows.h"

using namespace orven;
using namespace orven::test;
using orven::ui::CChildFrame;
using orven::ui::ListWindows;

namespace {

// A list view as the main window sees one: its counts line and whether its boxes opened.
class FakeView : public QLabel, public ui::ListWindowView {
  public:
    explicit FakeView(int number, bool failed = false) : m_number(number), m_failed(failed) {}
    QString countsLineText() const override { return QStringLiteral("window %1").arg(m_number); }
    bool boxesFailedToOpen() const override { return m_failed; }
    void setWindowNumber(int number) override { m_number = number; }
    OperationFlags operationFlags() const override { return {}; }
    void refresh() override {}
    int number() const { return m_number; }

  private:
    int m_number;
    bool m_failed;
};

ListWindows::ViewFactory fakeViews(int failingNumber = 0) {
    return [failingNumber](int n) { return new FakeView(n, n == failingNumber); };
}

QRect rectOf(const Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void openWindows(Shell& shell, int count) {
    shell.frame->listWindows().setViewFactory(fakeViews());
    for (int n = 1; n <= count; ++n) {
        shell.frame->doc().windowBoxLists[n - 1] = "留守録BOX:" + std::to_string(n);
        QVERIFY(shell.frame->listWindows().open() != nullptr);
    }
}

void writeWindow(ProfileFile& file, int n, QRect r, int showCmd, int zOrder) {
    const std::string section = "Window" + std::to_string(n);
    file.writeInt(section, "Left", r.left());
    file.writeInt(section, "Top", r.top());
    file.writeInt(section, "Right", r.left() + r.width());
    file.writeInt(section, "Bottom", r.top() + r.height());
    file.writeInt(section, "showCmd", showCmd);
    file.writeInt(section, "ZOrder", zOrder);
}

// The settings of a run that ended with three list windows open on a store folder.
struct LastRun {
    QTemporaryDir dir;
    std::string home = dir.path().toStdString();
    UserFolders folders{[this](const char* name) -> const char* {
        return std::string_view(name) == "ORVEN_HOME" ? home.c_str() : nullptr;
    }};
    LastRun() {
        QDir(dir.path()).mkpath("data/DL_1");
        ProfileFile file(folders.settingsPath());
        file.writeString("FOLDER", "FOLDER", home + "/data/");
        file.writeString("DISP", "FOLDERNAME", "DL_1");
        file.writeInt("DISP", "INFO_ALREADY", 1);
        file.writeInt("DISP", "NUM", 3);
        for (int n = 1; n <= 3; ++n) {
            file.writeString("DISP", "DISP" + std::to_string(n), "留守録BOX:" + std::to_string(n));
            file.writeString("DISP", "FOLDERNAME" + std::to_string(n), "DL_1");
        }
    }
    ProfileFile settings() const { return ProfileFile(folders.settingsPath()); }
};

}  // namespace

class ListWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void windowMenuListsEveryWindowAndActivatesTheChosenOne() {
        Shell shell;
        openWindows(shell, 4);
        shell.frame->doc().windowBoxLists[3] = "留守録BOX:1?2?3?4?5?6?7?8?9?10?11?";  // 31
        QVERIFY(!shell.frame->listWindows().open());  // four at most
        shell.frame->listWindows().activate(2);

        shell.button(1006)->click();
        for (int n = 1; n <= 4; ++n) {
            QVERIFY2(shell.action(10000 + n), qPrintable(QString::number(n)));
        }
        QCOMPARE(shell.action(10001)->text(), QStringLiteral("留守録BOX:1"));
        QCOMPARE(shell.action(10004)->text(),
                 QStringLiteral("留守録BOX:1,2,3,4,5,6,7,8,9,10,11..."));
        QVERIFY(shell.action(10002)->isChecked());
        QVERIFY(!shell.action(10001)->isChecked());
        QVERIFY(shell.action(32800)->isEnabled());
        shell.action(10003)->trigger();
        QCOMPARE(shell.frame->listWindows().active()->windowNumber(), 3);

        // Reopening the menu lists the windows once, not once per opening.
        shell.menu("windowMenu")->hide();
        shell.button(1006)->click();
        QCOMPARE(shell.frame->findChildren<QAction*>("action10001").size(), 1);
        QVERIFY(shell.action(10003)->isChecked());
    }

    void menuItemTextKeepsCharactersWhole() {
        QCOMPARE(ListWindows::menuItemText(QString(30, u'あ')), QString(30, u'あ'));
        const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x9E");  // two UTF-16 units
        const QString cut = ListWindows::menuItemText(QString(29, u'a') + emoji + "b");
        QCOMPARE(cut, QString(29, u'a') + "...");
        QCOMPARE(ListWindows::menuItemText("A&B"), QStringLiteral("A&&B"));
    }

    void threeWindowsTileHalfAndTwoStackedAboveTheFreeBottom() {
        Shell shell;
        shell.frame->resize(1000, 700);
        openWindows(shell, 3);
        shell.frame->listWindows().activate(2);
        shell.button(1006)->click();
        shell.action(32800)->trigger();

        const QSize client = shell.frame->findChild<QMdiArea*>("mdiArea")->viewport()->size();
        const int w = client.width();
        const int h = client.height() - 150;
        QVERIFY(h > 0);
        const auto order = shell.frame->listWindows().inWindowOrder();
        QCOMPARE(order[0]->windowNumber(), 2);
        QCOMPARE(order[0]->geometry(), QRect(0, 0, w / 2, h));
        QCOMPARE(order[1]->geometry(), QRect(w / 2, 0, w - w / 2, h / 2));
        QCOMPARE(order[2]->geometry(), QRect(w / 2, h / 2, w - w / 2, h - h / 2));
        QCOMPARE(rectOf(order[2]->normalRect()), order[2]->geometry());
        order[0]->showMaximized();
        QCOMPARE(rectOf(order[0]->normalRect()), QRect(0, 0, w / 2, h));
        QCOMPARE(shell.frame->listWindows().placements().front().showCmd, 3);
    }

    void otherCountsTileWithoutTheFreeBottom() {
        Shell shell;
        shell.frame->resize(1000, 700);
        openWindows(shell, 2);
        shell.button(1006)->click();
        shell.action(32800)->trigger();
        const QSize client = shell.frame->findChild<QMdiArea*>("mdiArea")->viewport()->size();
        for (CChildFrame* frame : shell.frame->listWindows().inWindowOrder()) {
            QCOMPARE(frame->geometry().height(), client.height());
        }

        shell.button(1006)->click();
        shell.action(57651)->trigger();  // rows
        int top = 0;
        auto frames = shell.frame->listWindows().inWindowOrder();
        for (CChildFrame* frame : frames) {
            QCOMPARE(frame->geometry().top(), top);
            QCOMPARE(frame->geometry().width(), client.width());
            top += frame->geometry().height();
        }
        QCOMPARE(top, client.height());
    }

    void closingAWindowRenumbersTheOnesAboveAndTheirSlots() {
        Shell shell;
        openWindows(shell, 3);
        CChildFrame* third = shell.frame->listWindows().byNumber(3);
        delete shell.frame->listWindows().byNumber(2);
        QCOMPARE(shell.frame->listWindows().count(), 2);
        QCOMPARE(third->windowNumber(), 2);
        QCOMPARE(static_cast<FakeView*>(third->widget())->number(), 2);
        QCOMPARE(shell.frame->doc().windowBoxLists[1].str(), std::string("留守録BOX:3"));
        QVERIFY(shell.frame->doc().windowBoxLists[2].empty());
        QVERIFY(shell.frame->listWindows().open() != nullptr);
        QVERIFY(shell.frame->listWindows().byNumber(3) != nullptr);
    }

    void countsLineFollowsTheActiveWindowOnIdle() {
        Shell shell;
        auto* line = shell.frame->statusBar()->findChild<QLabel*>("countsLine");
        QCOMPARE(shell.frame->minimumHeight(), 250);
        openWindows(shell, 2);
        shell.frame->listWindows().activate(1);
        QApplication::processEvents();
        QCOMPARE(line->text(), QStringLiteral("window 1"));
        QCOMPARE(shell.frame->minimumHeight(), 260);
        shell.frame->listWindows().active()->setWindowTitle("留守録BOX：1");
        QCOMPARE(shell.frame->windowTitle(),
                 QStringLiteral("Quシリーズ 音声ファイル管理 - 留守録BOX：1"));
        shell.frame->listWindows().closeAll();
        QApplication::processEvents();
        QCOMPARE(line->text(), QString());
        QCOMPARE(shell.frame->minimumHeight(), 250);
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("Quシリーズ 音声ファイル管理"));
    }

    void startUpRestoresWindowsAndActivatesZOrderOne() {
        LastRun run;
        {
            ProfileFile file = run.settings();
            writeWindow(file, 1, QRect(10, 10, 300, 200), 1, 3);
            writeWindow(file, 2, QRect(40, 30, 320, 210), 1, 1);
            writeWindow(file, 3, QRect(70, 50, 340, 220), 1, 2);
        }
        Timing timing;
        FakeAudioEndpoint audio;
        {
            ui::CORVENApp app(run.folders, timing, &audio);
            app.installLists = [](ui::CMainFrame& frame) {
                frame.listWindows().setViewFactory(fakeViews());
            };
            QVERIFY(app.InitInstance());
            ListWindows& lists = app.mainFrame()->listWindows();
            QCOMPARE(lists.count(), 3);
            QCOMPARE(lists.active()->windowNumber(), 2);
            QCOMPARE(lists.byNumber(3)->geometry(), QRect(70, 50, 340, 220));

            // Closed with window 3 on top: it is stored with ZOrder 1.
            lists.activate(3);
            closeWithYes(*app.mainFrame());
        }
        const ProfileFile file = run.settings();
        QCOMPARE(file.getInt("DISP", "NUM", 0), 3);
        QCOMPARE(file.getInt("Window3", "ZOrder", 0), 1);
        QCOMPARE(file.getInt("Window2", "Left", 0), 40);
        QCOMPARE(file.getInt("Window2", "Right", 0), 360);

        // The next start reopens them, with window 3 active again.
        ui::CORVENApp again(run.folders, timing, &audio);
        again.installLists = [](ui::CMainFrame& frame) {
            frame.listWindows().setViewFactory(fakeViews());
        };
        QVERIFY(again.InitInstance());
        QCOMPARE(again.mainFrame()->listWindows().count(), 3);
        QCOMPARE(again.mainFrame()->listWindows().active()->windowNumber(), 3);
        QCOMPARE(again.mainFrame()->listWindows().byNumber(2)->geometry(), QRect(40, 30, 320, 210));
    }

    void maximisedWindowComesBackMaximisedAndFailedBoxesCloseAll() {
        LastRun run;
        {
            ProfileFile file = run.settings();
            for (int n = 1; n <= 3; ++n) {
                writeWindow(file, n, QRect(10, 10, 300, 200), 3, n);
            }
        }
        {
            Timing timing;
            FakeAudioEndpoint audio;
            ui::CORVENApp app(run.folders, timing, &audio);
            app.installLists = [](ui::CMainFrame& frame) {
                frame.listWindows().setViewFactory(fakeViews());
            };
            QVERIFY(app.InitInstance());
            QCOMPARE(app.mainFrame()->listWindows().count(), 3);
            // As in any MDI area only the active window stays maximised.
            QVERIFY(app.mainFrame()->listWindows().active()->isMaximized());
            const Rect kept = app.mainFrame()->listWindows().active()->normalRect();
            closeWithYes(*app.mainFrame());
            for (const char* section : {"Window1", "Window2", "Window3"}) {
                QCOMPARE(run.settings().getInt(section, "showCmd", 0), 3);
                QCOMPARE(run.settings().getInt(section, "Right", 0), kept.right);
            }
        }
        Timing timing;
        FakeAudioEndpoint audio;
        ui::CORVENApp app(run.folders, timing, &audio);
        app.installLists = [](ui::CMainFrame& frame) {
            frame.listWindows().setViewFactory(fakeViews(2));
        };
        QVERIFY(app.InitInstance());
        QCOMPARE(app.mainFrame()->listWindows().count(), 0);
    }

    void withoutAListViewTheLastRunsWindowsAreKept() {
        LastRun run;
        {
            ProfileFile file = run.settings();
            writeWindow(file, 2, QRect(40, 30, 320, 210), 1, 1);
        }
        Timing timing;
        FakeAudioEndpoint audio;
        ui::CORVENApp app(run.folders, timing, &audio);
        QVERIFY(app.InitInstance());
        QCOMPARE(app.mainFrame()->listWindows().count(), 0);
        closeWithYes(*app.mainFrame());
        const ProfileFile file = run.settings();
        QCOMPARE(file.getInt("DISP", "NUM", 0), 3);
        QCOMPARE(file.getString("DISP", "DISP3"), std::string("留守録BOX:3"));
        QCOMPARE(file.getInt("Window2", "ZOrder", 0), 1);
        QCOMPARE(file.getInt("Window2", "Left", 0), 40);
    }
};

QTEST_MAIN(ListWindowsTest)
#include "ListWindowsTest.moc"
