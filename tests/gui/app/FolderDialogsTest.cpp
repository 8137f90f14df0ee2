#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "app/CommandContext.h"
#include "app/ui/CFolderDwnDlg.h"
#include "app/ui/CFolderResuDlg.h"
#include "gui/ModalWatch.h"
#include "gui/OfflineCommand.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"

using namespace orven;
using orven::ui::CFolderDwnDlg;

namespace {

// A data folder with the stores DL_A and DL_B, a plain folder, and the open folder "open"
// that is no store yet.
struct World : test::OfflineCommand {
    World() {
        for (const char* sub : {"DL_A/rusuroku", "DL_A/naisen", "DL_B/rusuroku", "DL_B/naisen",
                                "plain", "open", "new"}) {
            std::filesystem::create_directories(data / sub);
        }
        doc.currentFolderName = "open";
        ui.otherwise = IdNo;
    }
    FolderChooser::Browse browse() {
        return [this](const std::string& title, const std::string&) {
            titles.push_back(title);
            return std::optional<std::string>(answer);
        };
    }
    QString path(const char* name) const { return QString::fromStdString((data / name).string()); }

    std::filesystem::path data = OfflineCommand::data();
    std::string answer;  // of the browser
    std::vector<std::string> titles;
};

QStringList column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        texts << list->topLevelItem(row)->text(column);
    }
    return texts;
}

void click(const QWidget& dialog, const char* name) {
    dialog.findChild<QPushButton*>(name)->click();
}

}  // namespace

class FolderDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void folderDialogListsStoresAndRunsItsButtonsOnTheSelectedFolder() {
        World w;
        w.answer = (w.data / "new/").string();
        CFolderDwnDlg dialog(w.context, w.browse());
        dialog.show();
        auto* list = dialog.findChild<QTreeWidget*>("folderList");
        QCOMPARE(column(list, 0), (QStringList{"DL_A", "DL_B", "open"}));
        QCOMPARE(list->currentItem()->text(1), w.path("open"));
        list->setCurrentItem(list->topLevelItem(0));
        for (const char* name : {"downloadButton", "holdButton", "deleteButton"}) {
            click(dialog, name);  // each asks about DL_A and is answered No
        }
        QCOMPARE(w.ui.texts,
                 (std::vector<std::string>{
                     text::fill(text::kDownloadConfirm, w.path("DL_A").toStdString()),
                     std::string(text::kHoldConfirm), std::string(text::kDeleteConfirm)}));
        test::ModalWatch<ui::CFolderResuDlg> restore([](ui::CFolderResuDlg* r) { r->reject(); });
        click(dialog, "restoreButton");
        QVERIFY(restore.fired());
        // A new folder joins the list selected; the document is the window's to change.
        click(dialog, "newFolderButton");
        QCOMPARE(w.titles, std::vector<std::string>{std::string(text::kChooseDownloadFolderTitle)});
        QCOMPARE(column(list, 1),
                 (QStringList{w.path("DL_A"), w.path("DL_B"), w.path("open"), w.path("new")}));
        QCOMPARE(w.doc.currentFolderName.str(), std::string("open"));
        click(dialog, "okButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenFolder(), (w.data / "new").string());
    }
};

QTEST_MAIN(FolderDialogsTest)
#include "FolderDialogsTest.moc"
