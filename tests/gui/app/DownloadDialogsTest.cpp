#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "app/CommandContext.h"
#include "app/ui/CDelKindSetDlg.h"
#include "app/ui/CDownKindSetWDlg.h"
#include "app/ui/CSelAutoDelDlg.h"
#include "app/ui/CSelDownDlg.h"
#include "gui/OfflineCommand.h"
#include "store/BoxInfo.h"

using orven::BoxInfo;
using orven::DeletionKind;
using orven::IdNo;
using orven::IdOk;
using orven::IdYes;
using orven::ui::CDelKindSetDlg;
using orven::ui::CDownKindSetWDlg;
using orven::ui::CSelAutoDelDlg;
using orven::ui::CSelDownDlg;

namespace {

namespace fs = std::filesystem;

template <typename T = QPushButton>
T* child(const QWidget& parent, const char* name) {
    return parent.findChild<T*>(name);
}

// Box folders in the store of an offline command context.
struct World : orven::test::OfflineCommand {
    fs::path store() const { return doc.storeFolder(); }
    void box(const char* kind, const char* name, int make = BoxInfo::kMadeByDownload) {
        const fs::path folder = store() / kind / name;
        fs::create_directories(folder);
        BoxInfo::file(folder).writeInt(BoxInfo::kSection, BoxInfo::kMakeKey, make);
    }
};

// The check of every row of a list.
QList<bool> checks(const QWidget& dialog, const char* list) {
    QList<bool> checked;
    const auto* tree = child<QTreeWidget>(dialog, list);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        checked << (tree->topLevelItem(i)->checkState(0) == Qt::Checked);
    }
    return checked;
}

}  // namespace

class DownloadDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void wayPageClosesWithTheWayChosen() {
        const std::pair<const char*, int> cases[] = {
            {"bulkButton", 1210}, {"chosenButton", 1211}, {"cancelButton", 0}};
        for (const auto& [button, result] : cases) {
            CDownKindSetWDlg page;
            page.show();
            child(page, button)->click();
            QCOMPARE(page.result(), result);
        }
    }

    void deletionKindClosesWithTheConfirmedKindOnly() {
        const std::pair<const char*, DeletionKind> cases[] = {
            {"mainUnitButton", DeletionKind::MainUnitOnly},
            {"bothButton", DeletionKind::MainUnitAndPc},
            {"pcButton", DeletionKind::PcOnly}};
        for (const auto& [button, kind] : cases) {
            orven::test::AnsweringUi ui;
            ui.answers = {IdNo, IdYes};
            CDelKindSetDlg dialog(ui);
            dialog.show();
            child(dialog, button)->click();
            QVERIFY2(dialog.isVisible(), button);
            child(dialog, button)->click();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), static_cast<int>(kind));
            QCOMPARE(ui.texts, std::vector<std::string>(2, "消去します。よろしいですか？"));
        }
        orven::test::AnsweringUi ui;
        CDelKindSetDlg dialog(ui);
        dialog.show();
        child(dialog, "cancelButton")->click();
        QCOMPARE(dialog.result(), static_cast<int>(DeletionKind::Cancel));
        QVERIFY(ui.texts.empty());
    }

    void choiceListsShowTheBoxFoldersAndCheckAllOrNone() {
        World world;
        world.box("rusuroku", "0102");
        world.box("rusuroku", "0101");
        world.box("rusuroku", "0999", BoxInfo::kMadeByUser);
        world.box("naisen", "200");
        CSelDownDlg dialog(world.context);
        dialog.show();
        QCOMPARE(child<QTreeWidget>(dialog, "answeringList")->topLevelItem(1)->text(1), "0102");
        QVERIFY(child<QLineEdit>(dialog, "folderEdit")->isReadOnly());

        child(dialog, "answeringAllButton")->click();
        QCOMPARE(checks(dialog, "answeringList"), QList<bool>({true, true}));
        QCOMPARE(checks(dialog, "extensionList"), QList<bool>({false}));
        child(dialog, "extensionAllButton")->click();
        child(dialog, "answeringNoneButton")->click();
        QCOMPARE(checks(dialog, "answeringList"), QList<bool>({false, false}));
        QCOMPARE(checks(dialog, "extensionList"), QList<bool>({true}));
        child(dialog, "extensionNoneButton")->click();

        // Nothing checked: told after the question, and the dialog stays.
        world.ui.answers = {IdYes};
        child(dialog, "infoOnlyButton")->click();
        QCOMPARE(world.ui.texts.size(), std::size_t(2));
        QCOMPARE(world.ui.texts[1], std::string("選択されていません。"));
        QVERIFY(dialog.isVisible());
    }

    void autoDeleteDialogShowsAndWritesTheSwitches() {
        World world;
        world.box("rusuroku", "0101");
        world.box("naisen", "201");
        world.settings.writeInt("naisen", "201", 1);
        CSelAutoDelDlg dialog(world.context);
        dialog.show();
        QCOMPARE(checks(dialog, "extensionList"), QList<bool>({true}));
        child(dialog, "answeringAllButton")->click();
        child(dialog, "extensionNoneButton")->click();
        world.ui.answers = {IdYes};
        child(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(world.settings.getInt("rusuroku", "0101", -1), 1);
        QCOMPARE(world.settings.getInt("naisen", "201", -1), 0);
    }

    void emptyStoreIsToldOnceTheListsOpen() {
        World world;
        world.box("naisen", "mine", BoxInfo::kMadeByUser);
        CSelDownDlg download(world.context);
        CSelAutoDelDlg autoDelete(world.context);
        for (QDialog* dialog : std::vector<QDialog*>{&download, &autoDelete, &download}) {
            dialog->hide();
            dialog->show();
            QCoreApplication::processEvents();
        }
        const std::string told = "フォルダにボックス情報がありません。\n確認ください。";
        QCOMPARE(world.ui.texts, std::vector<std::string>(2, told));  // once per dialog
    }
};

QTEST_MAIN(DownloadDialogsTest)
#include "DownloadDialogsTest.moc"
