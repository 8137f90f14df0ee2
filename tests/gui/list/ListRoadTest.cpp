#include <string>

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/CommandIds.h"
#include "app/ui/CChildFrame.h"
#include "app/ui/CEndChkDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CORVENApp.h"
#include "app/ui/ListWindows.h"
#include "gui/ModalWatch.h"
#include "list/ui/CBoxOpenDlg.h"
#include "list/ui/CListDispView.h"
#include "list/ui/ListViews.h"
#include "platform/ProfileFile.h"
#include "platform/UserFolders.h"
#include "support/FakeAudioEndpoint.h"
#include "unit/list/MessageListFiles.h"

using namespace orven;
using namespace orven::test;
using orven::ui::CListDispView;

namespace {

// A user's home with a download folder "store" holding two answering-machine boxes and an
// extension box with messages.
struct Home {
    QTemporaryDir dir;
    std::string home = dir.path().toStdString();
    UserFolders folders{[this](const char* name) -> const char* {
        return std::string_view(name) == "ORVEN_HOME" ? home.c_str() : nullptr;
    }};
    Home() {
        const std::filesystem::path store = home + "/data/store";
        for (int serial = 1; serial <= 3; ++serial) {
            putMessage(store / "rusuroku/0101", {"0101", serial});
        }
        putMessage(store / "rusuroku/0102", {"0102", 1});
        putMessage(store / "naisen/0200", {"0200", 1, "2024/01/06 10:00", "", 0, 0, false});
        ProfileFile file(folders.settingsPath());
        file.writeString("FOLDER", "FOLDER", home + "/data/");
        file.writeString("DISP", "FOLDERNAME", "store");
        file.writeInt("DISP", "INFO_ALREADY", 1);
    }
};

CListDispView* viewOf(ui::CChildFrame* frame) {
    return frame != nullptr ? qobject_cast<CListDispView*>(frame->widget()) : nullptr;
}

void closeWithYes(ui::CMainFrame& frame) {
    ModalWatch<ui::CEndChkDlg> watch(
        [](ui::CEndChkDlg* dialog) { dialog->findChild<QPushButton*>("yesButton")->click(); });
    frame.close();
    QVERIFY(watch.fired());
}

}  // namespace

class ListRoadTest : public QObject {
    Q_OBJECT

  private slots:
    // "ボックス", every box chosen: the window lists every message of the store with its
    // counts; the next start shows the same window again.
    void openedBoxesListTheirMessagesAndComeBackAtTheNextStart() {
        Home home;
        Timing timing;
        FakeAudioEndpoint audio;
        {
            ui::CORVENApp app(home.folders, timing, &audio);
            app.installLists = ui::ListViews::install;
            QVERIFY(app.InitInstance());
            ui::CMainFrame& frame = *app.mainFrame();
            QVERIFY(frame.findChild<QPushButton*>("button1009")->isEnabled());
            ModalWatch<ui::CBoxOpenDlg> watch([](ui::CBoxOpenDlg* dialog) {
                dialog->findChild<QPushButton*>("answeringAllButton")->click();
                dialog->findChild<QPushButton*>("extensionAllButton")->click();
                dialog->findChild<QPushButton*>("openButton")->click();
            });
            frame.findChild<QPushButton*>("button1009")->click();
            QVERIFY(watch.fired());
            CListDispView* view = viewOf(frame.listWindows().active());
            QVERIFY(view != nullptr);
            QCOMPARE(view->list().rowCount(), 5);
            QCOMPARE(frame.doc().windowBoxLists[0].str(),
                     std::string("留守録BOX：0101,0102,  内線BOX：0200"));
            QCOMPARE(
                view->countsLineText(),
                QStringLiteral("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 5  ﾎﾞｯｸｽﾄｰﾀﾙ 5  一覧表ﾄｰﾀﾙ 5  未再生 4  再生済 0"));
            // Information only in the extension box: the voice data can be fetched.
            QVERIFY(view->operationFlags().voiceDownload);
            closeWithYes(frame);
        }
        ui::CORVENApp again(home.folders, timing, &audio);
        again.installLists = ui::ListViews::install;
        QVERIFY(again.InitInstance());
        QCOMPARE(again.mainFrame()->listWindows().count(), 1);
        CListDispView* view = viewOf(again.mainFrame()->listWindows().active());
        QVERIFY(view != nullptr);
        QCOMPARE(view->list().rowCount(), 5);
        closeWithYes(*again.mainFrame());
    }
};

QTEST_MAIN(ListRoadTest)
#include "ListRoadTest.moc"
