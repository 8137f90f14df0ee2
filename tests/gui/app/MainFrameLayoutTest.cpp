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

// The dialog bar and the menus: what shows at the smallest size, what may be chosen, and
// where key presses and clicks go.
class MainFrameLayoutTest : public QObject {
    Q_OBJECT

  private slots:
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
            // The menu buttons and the folder download need nothing else.
            const bool always = (id >= 1005 && id <= 1007) || id == 1001;
            QCOMPARE(shell.button(id)->isEnabled(), always);
        }
        for (int id : {32809, 32823, 32790, 32791, 32792, 32793, 32794, 32795, 32796, 32803}) {
            QVERIFY2(!shell.action(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id : {32786, 32815, 32813, 32808}) {
            QVERIFY2(shell.action(id)->isEnabled(), qPrintable(QString::number(id)));
        }
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
};

QTEST_MAIN(MainFrameLayoutTest)
#include "MainFrameLayoutTest.moc"
