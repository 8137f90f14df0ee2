#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/CommandContext.h"
#include "gui/OfflineCommand.h"
#include "list/ui/CBoxOpenDlg.h"
#include "resources/Texts.h"

using orven::ui::CBoxOpenDlg;

namespace {

namespace fs = std::filesystem;

template <typename T = QPushButton>
T* child(const QWidget& parent, const char* name) {
    return parent.findChild<T*>(name);
}

// Box folders in the store of an offline command context.
struct World : orven::test::OfflineCommand {
    void box(const char* kind, const char* name) {
        fs::create_directories(fs::path(doc.storeFolder()) / kind / name);
    }
};

// The check of every row, as the list keeps it.
QStringList checks(const QTableWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row) {
        texts << list->item(row, 0)->text();
    }
    return texts;
}

void clickCell(QTableWidget* list, int row, int column) {
    const QRect cell = list->visualItemRect(list->item(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class BoxOpenDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void checksFollowTheUserButShownBoxesStayFixed() {
        World world;
        world.box("rusuroku", "0100");
        world.box("rusuroku", "0101");
        world.box("naisen", "2001");
        world.doc.windowFolderNames[0] = "store";
        world.doc.windowBoxLists[0] = "留守録BOX：0101";
        CBoxOpenDlg dialog(world.context, 1);
        dialog.show();
        auto* answering = child<QTableWidget>(dialog, "answeringList");
        auto* extension = child<QTableWidget>(dialog, "extensionList");
        QCOMPARE(checks(answering), QStringList({"0", "2"}));
        QCOMPARE(child<QLineEdit>(dialog, "folderEdit")->text(),
                 QString::fromStdString(world.doc.storeFolder()));

        clickCell(answering, 0, 0);
        clickCell(answering, 1, 0);
        clickCell(extension, 0, 1);  // the number cell is no check
        QCOMPARE(checks(answering), QStringList({"1", "2"}));
        QCOMPARE(checks(extension), QStringList({"0"}));
        child(dialog, "answeringNoneButton")->click();
        QCOMPARE(checks(answering), QStringList({"0", "2"}));
        child(dialog, "extensionAllButton")->click();
        QCOMPARE(checks(extension), QStringList({"1"}));

        child(dialog, "openButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(world.doc.windowBoxLists[1].str(), std::string("内線BOX：2001"));
        QCOMPARE(world.doc.windowFolderNames[1].str(), std::string("store"));
    }

    void responseChoiceTakesTheListsAway() {
        World world;
        world.box("naisen", "2001");
        CBoxOpenDlg dialog(world.context, 0);
        dialog.show();
        const char* boxControls[] = {"answeringList", "answeringAllButton", "answeringNoneButton",
                                     "extensionList", "extensionAllButton", "extensionNoneButton"};
        child<QRadioButton>(dialog, "responsesRadio")->click();
        for (const char* name : boxControls) {
            QVERIFY2(!child<QWidget>(dialog, name)->isEnabled(), name);
        }
        child<QRadioButton>(dialog, "boxesRadio")->click();
        for (const char* name : boxControls) {
            QVERIFY2(child<QWidget>(dialog, name)->isEnabled(), name);
        }
        child<QRadioButton>(dialog, "responsesRadio")->click();
        child(dialog, "openButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(world.doc.windowBoxLists[0].str(), std::string("ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ"));

        CBoxOpenDlg second(world.context, 1);
        QVERIFY(!child<QRadioButton>(second, "responsesRadio")->isEnabled());
        QVERIFY(child<QRadioButton>(second, "boxesRadio")->isChecked());
    }

    void withoutBoxFoldersTheDialogSaysSoAndNeverShows() {
        World world;
        fs::create_directories(fs::path(world.doc.storeFolder()) / "rusuroku");
        CBoxOpenDlg dialog(world.context, 0);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(world.ui.texts, std::vector<std::string>{std::string(orven::text::kNoBoxFolders)});
        QVERIFY(world.doc.windowBoxLists[0].empty());
    }
};

QTEST_MAIN(BoxOpenDialogTest)
#include "BoxOpenDialogTest.moc"
