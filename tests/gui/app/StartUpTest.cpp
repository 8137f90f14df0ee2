#include <memory>

#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

#include "ShellHarness.h"
#include "app/ui/CORVENApp.h"
#include "platform/SingleInstance.h"
#include "resources/Texts.h"

using namespace orven;
using namespace orven::test;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's folders, all inside one temporary home.
struct Home {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();
    UserFolders folders{[this](const char* name) -> const char* {
        return std::string_view(name) == "ORVEN_HOME" ? path.c_str() : nullptr;
    }};
    ProfileFile settings() const { return ProfileFile(folders.settingsPath()); }
};

struct Started {
    explicit Started(Home& home) : app(home.folders, timing, &audio) {}
    // Starts and returns the first message box shown meanwhile (empty text when none).
    SeenBox start() {
        SeenBox seen;
        ModalWatch<QMessageBox> watch([&](QMessageBox* box) {
            seen.title = box->windowTitle();
            seen.text = box->text();
            box->accept();
        });
        ok = app.InitInstance();
        return seen;
    }
    Timing timing;
    FakeAudioEndpoint audio;
    ui::CORVENApp app;
    bool ok = false;
};

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT

  private slots:
    void secondCopyIsRefusedAndLeavesTheFirstAlone() {
        Home home;
        SingleInstance first(home.folders);
        QVERIFY(first.tryAcquire());
        Started second(home);
        const SeenBox seen = second.start();
        QVERIFY(!second.ok);
        QCOMPARE(seen.text, qs(text::kAlreadyRunning));
        QCOMPARE(seen.title, qs(text::kErrorTitle));
        QVERIFY(second.app.mainFrame() == nullptr);
        QVERIFY(!QFile::exists(QString::fromStdString(home.folders.settingsPath())));
    }

    void firstRunOpensEmptyWithoutTheNotice() {
        Home home;
        Started run(home);
        QCOMPARE(run.start().text, QString());
        QVERIFY(run.ok);
        auto* frame = run.app.mainFrame();
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->width(), 845);
        QCOMPARE(home.settings().getInt("DISP", "INFO_ALREADY", 0), 1);
        QCOMPARE(frame->findChild<QPlainTextEdit*>("folderNameLine")->toPlainText(), QString());
    }

    void olderSettingsGetTheNoticeOnce() {
        Home home;
        QTemporaryDir data;
        QDir(data.path()).mkdir("DL_1");
        home.settings().writeString("FOLDER", "NEXTFOLDER", data.path().toStdString() + "/");
        home.settings().writeString("DISP", "FOLDERNAME", "DL_1");
        {
            Started run(home);
            const SeenBox seen = run.start();
            QCOMPARE(seen.text, qs(text::kAlwaysFolderNotice));
            QCOMPARE(seen.title, QStringLiteral("お知らせ"));
            QCOMPARE(home.settings().getInt("DISP", "INFO_ALREADY", 0), 1);
            const QString line =
                run.app.mainFrame()->findChild<QPlainTextEdit*>("folderNameLine")->toPlainText();
            QVERIFY2(line.endsWith("/DL_1"), qPrintable(line));
        }
        Started again(home);
        QCOMPARE(again.start().text, QString());
    }

    void missingStoreFolderIsForgotten() {
        Home home;
        home.settings().writeString("FOLDER", "NEXTFOLDER", home.path + "/gone/");
        home.settings().writeString("DISP", "FOLDERNAME", "DL_1");
        home.settings().writeInt("DISP", "NUM", 2);
        home.settings().writeString("DISP", "DISP1", "留守録BOX:1?2");
        home.settings().writeInt("DISP", "INFO_ALREADY", 1);
        Started run(home);
        QCOMPARE(run.start().text, QString());
        const CORVENDoc& doc = run.app.mainFrame()->doc();
        QVERIFY(doc.dataFolder.empty());
        QVERIFY(doc.currentFolderName.empty());
        QCOMPARE(doc.windowCount, 0);
        QVERIFY(doc.windowBoxLists[0].empty());
        QCOMPARE(run.app.mainFrame()->findChild<QPlainTextEdit*>("boxNameLine")->toPlainText(),
                 QString());
    }

    void overdueBackupIsAskedOnceAndADeclineDisarmsTheWatch() {
        for (const bool accept : {true, false}) {
            Home home;
            home.settings().writeInt("DISP", "INFO_ALREADY", 1);
            Started run(home);
            run.timing.backupWatchTimerMs = 10;
            int overdueQuestions = 0;
            int laterQuestions = 0;
            std::vector<bool> runs;
            run.app.backupHooks = {.due = [] { return true; },
                                   .ask = [&](bool&) { return ++laterQuestions < 0; },
                                   .askOverdue = [&] { return ++overdueQuestions > 0 && accept; },
                                   .run =
                                       [&](bool completionMessage) {
                                           runs.push_back(completionMessage);
                                           return true;
                                       }};
            QCOMPARE(run.start().text, QString());
            QCOMPARE(overdueQuestions, 1);
            QCOMPARE(runs, accept ? std::vector<bool>{true} : std::vector<bool>{});
            QTest::qWait(60);
            QCOMPARE(laterQuestions > 0, accept);  // declined: no watch for the rest of the run
        }
    }

    // Qt's own texts (a text field's menu, the file dialogs) are Japanese like the rest.
    void qtTextsAreJapaneseAfterStartUp() {
        const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
        if (!QFile::exists(qm)) {
            QSKIP(qPrintable("Qt's Japanese translations are not installed: no " + qm +
                             " (Debian package qt6-translations-l10n)"));
        }
        Home home;
        home.settings().writeInt("DISP", "INFO_ALREADY", 1);
        Started run(home);
        QCOMPARE(run.start().text, QString());
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            texts << action->text().section(u'\t', 0, 0);  // without the shortcut
        }
        for (const QString& item : {QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)")}) {
            QVERIFY2(texts.contains(item), qPrintable(texts.join(" | ")));
        }
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
