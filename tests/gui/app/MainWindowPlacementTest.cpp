#include <QScreen>
#include <QtTest>

#include "ShellHarness.h"
#include "app/WindowPlacement.h"

using namespace orven;
using namespace orven::test;

namespace {

// The screen of these tests, smaller than the one a window may have been saved on.
constexpr QSize kScreen(1280, 1024);

void storeFrame(ProfileFile& settings, const QRect& r) {
    settings.writeInt("Window", "Left", r.left());
    settings.writeInt("Window", "Top", r.top());
    settings.writeInt("Window", "Right", r.left() + r.width());
    settings.writeInt("Window", "Bottom", r.top() + r.height());
}

QRect storedFrame(const ProfileFile& settings) {
    const Rect r = WindowPlacement::readMainWindow(settings);
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QRect onScreen(const QWidget* widget, const QRect& rect) {
    return QRect(widget->mapToGlobal(rect.topLeft()), rect.size());
}

}  // namespace

class MainWindowPlacementTest : public QObject {
    Q_OBJECT

  private slots:
    // The stored rectangle is the outer frame, title bar included.
    void storedRectangleIsTheOuterFrame() {
        Shell moved([](ProfileFile& s) { storeFrame(s, QRect(-20, 30, 900, 300)); });
        QCOMPARE(moved.frame->frameGeometry(), QRect(1, 30, 900, 300));  // moved right

        Shell firstRun;  // never stored: the frame at the corner, its title bar on the screen
        const QRect frame = firstRun.frame->frameGeometry();
        QCOMPARE(frame.topLeft(), QPoint(1, 1));
        QVERIFY(firstRun.frame->geometry().top() > frame.top());
        QCOMPARE(firstRun.frame->size(), firstRun.frame->minimumSize());
    }

    void windowLargerThanTheScreenIsCutToFitWithItsMenusInReach() {
        Shell shell([](ProfileFile& s) { storeFrame(s, QRect(0, 0, 1700, 1000)); });
        const QRect screen = shell.frame->screen()->availableGeometry();
        QCOMPARE(screen.size(), kScreen);
        QCOMPARE(shell.frame->frameGeometry(), QRect(0, 0, 1280, 1000));

        QPushButton* settings = shell.button(1005);
        QVERIFY(screen.contains(onScreen(settings, settings->rect())));
        settings->click();
        QMenu* menu = shell.menu("settingsMenu");
        QVERIFY(menu->isVisible());
        QAction* logIn = shell.action(32784);
        QVERIFY(screen.contains(onScreen(menu, menu->actionGeometry(logIn))));
        menu->hide();
    }

    void exitStoresTheNormalFrameEvenWhenMaximised() {
        Shell shell;
        shell.frame->setGeometry(100, 120, 900, 400);
        const QRect normal = shell.frame->frameGeometry();
        shell.frame->showMaximized();
        QTRY_VERIFY(shell.frame->isMaximized());
        closeWithYes(*shell.frame);
        QCOMPARE(storedFrame(ProfileFile(shell.settingsPath())), normal);
    }
};

// The offscreen screen gets the size above from a configuration file of the platform.
int main(int argc, char* argv[]) {
    QTemporaryDir dir;
    QFile config(dir.filePath("screen.json"));
    if (!config.open(QIODevice::WriteOnly)) {
        return 1;
    }
    config.write(QStringLiteral(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": %1,)"
                                R"( "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96}]})")
                     .arg(kScreen.width())
                     .arg(kScreen.height())
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
    QApplication application(argc, argv);
    MainWindowPlacementTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowPlacementTest.moc"
