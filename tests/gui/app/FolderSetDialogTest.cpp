#include <filesystem>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "app/ui/CFolderSetDlg.h"
#include "app/ui/CFolderSetSubDlg.h"
#include "gui/ModalWatch.h"
#include "platform/FileSystem.h"

using orven::CORVENDoc;
using orven::CustomBox;
using orven::FileSystem;
using orven::FolderAccessCheck;
using orven::Icon;
using orven::Timing;
using orven::test::ModalWatch;
using orven::ui::CFolderSetDlg;
using orven::ui::CFolderSetSubDlg;

namespace {

template <typename T = QPushButton>
T* child(const QWidget& parent, const char* name) {
    return parent.findChild<T*>(name);
}

// Every folder is local and there, or every folder is on a share that stays lost. Folders
// under /net/ are on a share that is there.
class StubFileSystem : public FileSystem {
  public:
    explicit StubFileSystem(bool shareLost) : m_shareLost(shareLost) {}
    std::optional<std::uint64_t> freeSpace(const std::filesystem::path&) const override {
        return std::nullopt;
    }
    bool isNetworkPath(const std::filesystem::path& folder) const override {
        return m_shareLost || folder.string().starts_with("/net/");
    }
    bool isReachable(const std::filesystem::path&) const override { return !m_shareLost; }
    bool reconnect(const std::filesystem::path&) override { return false; }
    bool flushToDisk(const std::filesystem::path&) const override { return true; }

  private:
    bool m_shareLost;
};

// Records the boxes; message boxes get OK, custom boxes are closed.
class RecordingUi : public orven::Ui {
  public:
    struct Box {
        std::string text, title;
        Icon icon;
    };
    void pump() override {}
    int messageBox(const std::string& text, const std::string& title, orven::Buttons,
                   Icon icon) override {
        boxes.push_back({text, title, icon});
        return orven::IdOk;
    }
    int customBox(const CustomBox& box) override {
        boxes.push_back({box.text, box.title, box.icon});
        return CustomBox::Closed;
    }
    std::unique_ptr<orven::Progress> openProgress(const std::string&, const std::string&,
                                                  std::atomic<int>*) override {
        return nullptr;
    }
    std::vector<Box> boxes;
};

// A dialog over a record, with the sub dialog replaced by a recorded pick.
struct Fixture {
    explicit Fixture(bool shareLost = false) : files(shareLost) {
        doc.dataFolder = "/data/";
        dialog.show();
    }
    void pressOk() { child(dialog, "okButton")->click(); }
    QLineEdit* edit() const { return child<QLineEdit>(dialog, "folderEdit"); }

    CORVENDoc doc;
    StubFileSystem files;
    RecordingUi ui;
    FolderAccessCheck check{files, ui, Timing{}, [](std::chrono::milliseconds) {}};
    std::vector<std::string> pickedIn;
    std::optional<std::string> pickAnswer;
    CFolderSetDlg dialog{doc, check, ui, {.pick = [this](const std::string& dataFolder) {
                             pickedIn.push_back(dataFolder);
                             return pickAnswer;
                         }}};
};

// The "設定" button and the edit, as "button,edit" with 1 for enabled.
QString controlsEnabled(const QWidget& dialog) {
    return QStringLiteral("%1,%2")
        .arg(int(child(dialog, "setButton")->isEnabled()))
        .arg(int(child<QLineEdit>(dialog, "folderEdit")->isEnabled()));
}

}  // namespace

class FolderSetDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheRecordedModeAndRadiosToggleTheFolderControls() {
        Fixture last;
        QCOMPARE(last.dialog.windowTitle(), QStringLiteral("起動時のフォルダ指定"));
        QVERIFY(child<QRadioButton>(last.dialog, "lastFolderRadio")->isChecked());
        QCOMPARE(controlsEnabled(last.dialog), QStringLiteral("0,0"));
        QVERIFY(last.edit()->text().isEmpty());
        child<QRadioButton>(last.dialog, "specifiedFolderRadio")->click();
        QCOMPARE(controlsEnabled(last.dialog), QStringLiteral("1,1"));
        child<QRadioButton>(last.dialog, "lastFolderRadio")->click();
        QCOMPARE(controlsEnabled(last.dialog), QStringLiteral("0,0"));

        CORVENDoc doc;
        doc.startupMode = 1;
        doc.nextDataFolder = "/vm/";
        doc.nextFolderName = "DL_7";
        StubFileSystem files(false);
        RecordingUi ui;
        FolderAccessCheck check(files, ui, Timing{});
        CFolderSetDlg specified(doc, check, ui,
                                {.pick = [](const std::string&) { return std::nullopt; }});
        QVERIFY(child<QRadioButton>(specified, "specifiedFolderRadio")->isChecked());
        QCOMPARE(controlsEnabled(specified), QStringLiteral("1,1"));
        QCOMPARE(child<QLineEdit>(specified, "folderEdit")->text(), QStringLiteral("/vm/DL_7"));
    }

    void setButtonPutsThePickedFolderIntoTheEdit() {
        Fixture f;
        child<QRadioButton>(f.dialog, "specifiedFolderRadio")->click();
        f.pickAnswer = "/data/DL_3";
        child(f.dialog, "setButton")->click();
        QCOMPARE(f.edit()->text(), QStringLiteral("/data/DL_3"));
        QCOMPARE(f.pickedIn, std::vector<std::string>{"/data/"});

        f.pickAnswer.reset();  // the sub dialog cancelled: the edit keeps its text
        child(f.dialog, "setButton")->click();
        QCOMPARE(f.edit()->text(), QStringLiteral("/data/DL_3"));
    }

    void okWithLastFolderClearsTheNextFolder() {
        Fixture f;
        f.doc.nextDataFolder = "/old/";
        f.doc.nextFolderName = "DL_0";
        f.doc.folderChanged = 1;
        f.pressOk();
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.doc.startupMode, 0);
        QVERIFY(f.doc.nextDataFolder.empty() && f.doc.nextFolderName.empty());
        QCOMPARE(f.doc.folderChanged, 0);
        QVERIFY(f.ui.boxes.empty());
    }

    void okWithSpecifiedFolderNeedsAFolderAndSplitsIt() {
        Fixture f;
        child<QRadioButton>(f.dialog, "specifiedFolderRadio")->click();
        f.pressOk();
        QCOMPARE(f.ui.boxes.size(), std::size_t(1));
        QCOMPARE(f.ui.boxes[0].text, std::string("入力値エラーです。"));
        QCOMPARE(f.ui.boxes[0].title, std::string("エラー"));
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.doc.startupMode, 0);

        f.edit()->setText(QStringLiteral("/mnt/vm/DL_202401"));
        f.pressOk();
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.doc.nextDataFolder.str(), std::string("/mnt/vm/"));
        QCOMPARE(f.doc.nextFolderName.str(), std::string("DL_202401"));
        QCOMPARE(f.doc.folderChanged, 1);
        QCOMPARE(f.doc.startupMode, 1);
    }

    void unreachableDataFolderCancelsTheDialogUnchanged() {
        for (const char* button : {"okButton", "setButton"}) {
            Fixture f(true);
            child<QRadioButton>(f.dialog, "specifiedFolderRadio")->click();
            f.edit()->setText(QStringLiteral("/mnt/vm/DL_1"));
            child(f.dialog, button)->click();
            QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
            QVERIFY2(!f.dialog.isVisible(), button);
            QCOMPARE(f.ui.boxes.size(), std::size_t(1));  // the retry question, closed
            QVERIFY(f.pickedIn.empty());
            QCOMPARE(f.doc.startupMode, 0);
            QVERIFY(f.doc.nextFolderName.empty());
        }
    }

    void subDialogListsOnlyTheStoresOfTheDataFolder() {
        QTemporaryDir temp;
        const std::filesystem::path data = temp.path().toStdString();
        for (const char* sub : {"DL_B/rusuroku", "DL_B/naisen", "DL_A/rusuroku", "DL_A/naisen",
                                "half/rusuroku", "plain", "deep/x/rusuroku", "deep/x/naisen"}) {
            std::filesystem::create_directories(data / sub);
        }
        CFolderSetSubDlg dialog(data.string() + "/");
        dialog.show();
        auto* list = child<QTreeWidget>(dialog, "folderList");
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("フォルダ名"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("パス名"));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("DL_A"));
        QCOMPARE(list->topLevelItem(1)->text(1), QString::fromStdString(data.string() + "/DL_B"));

        list->setCurrentItem(list->topLevelItem(1));
        child(dialog, "okButton")->click();
        QCOMPARE(dialog.chosenFolder(), data.string() + "/DL_B");
    }

    void subDialogBrowsesForAFolderAnywhere() {
        QTemporaryDir empty;
        CFolderSetSubDlg withoutBrowser(empty.path().toStdString());
        withoutBrowser.show();
        QVERIFY(child(withoutBrowser, "browseButton")->isHidden());

        std::vector<std::optional<std::string>> answers{std::nullopt, "/other/DL_5"};
        std::vector<QWidget*> owners;
        CFolderSetSubDlg dialog("", [&](QWidget* owner) {
            owners.push_back(owner);
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
        dialog.show();
        QCOMPARE(child<QTreeWidget>(dialog, "folderList")->topLevelItemCount(), 0);
        QCOMPARE(child(dialog, "browseButton")->text(), QStringLiteral("参照..."));
        child(dialog, "browseButton")->click();  // the browser cancelled: nothing chosen
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.chosenFolder().empty());
        child(dialog, "browseButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenFolder(), std::string("/other/DL_5"));
        QCOMPARE(owners, (std::vector<QWidget*>{&dialog, &dialog}));
    }

    void setButtonReachesTheFolderBrowserWithTheNetworkWarning() {
        CORVENDoc doc;
        StubFileSystem files(false);
        RecordingUi ui;
        FolderAccessCheck check(files, ui, Timing{});
        std::vector<std::string> titles;
        std::vector<std::string> answers{"/net/DL_1", "/local/DL_9"};
        CFolderSetDlg dialog(doc, check, ui,
                             {.browse =
                                  [&](const std::string& title, const std::string&) {
                                      titles.push_back(title);
                                      const std::string answer = answers.front();
                                      answers.erase(answers.begin());
                                      return std::optional<std::string>(answer);
                                  },
                              .fileSystem = &files});
        dialog.show();
        child<QRadioButton>(dialog, "specifiedFolderRadio")->click();
        ModalWatch<CFolderSetSubDlg> watch(
            [](CFolderSetSubDlg* sub) { child(*sub, "browseButton")->click(); });
        child(dialog, "setButton")->click();
        QVERIFY(watch.fired());
        // The share's folder was refused at the warning and the browser came again.
        QCOMPARE(ui.boxes.size(), std::size_t(1));
        QCOMPARE(ui.boxes[0].title, std::string("ドライブの確認"));
        QCOMPARE(titles, (std::vector<std::string>(2, "起動時のフォルダ指定")));
        QCOMPARE(child<QLineEdit>(dialog, "folderEdit")->text(), QStringLiteral("/local/DL_9"));
    }
};

QTEST_MAIN(FolderSetDialogTest)
#include "FolderSetDialogTest.moc"
