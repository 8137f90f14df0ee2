#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "app/ui/CEndChkDlg.h"
#include "app/ui/CLoginDlg.h"
#include "app/ui/CRecomDlg.h"
#include "app/ui/CVolumeDlg.h"
#include "gui/ModalWatch.h"
#include "support/FakeAudioEndpoint.h"

using orven::CORVENDoc;
using orven::VolumeControl;
using orven::test::FakeAudioEndpoint;
using orven::test::pressAndAnswerBox;
using orven::ui::CEndChkDlg;
using orven::ui::CLoginDlg;
using orven::ui::CRecomDlg;
using orven::ui::CVolumeDlg;
using orven::ui::DialogBackupWatch;

namespace {

template <typename T = QPushButton>
T* child(const QWidget& parent, const char* name) {
    return parent.findChild<T*>(name);
}

// Which answer a dialog gives when the button of that name is pressed.
int answerOf(QDialog& dialog, const char* name) {
    dialog.show();
    child(dialog, name)->click();
    return dialog.result();
}

}  // namespace

class ShellDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void endDialogOffersTheBackupOnlyWhenOneIsScheduledAndPossible() {
        CORVENDoc doc;
        CEndChkDlg unscheduled(doc, true);
        QVERIFY(child(unscheduled, "backupButton")->isHidden());
        QCOMPARE(child<QLabel>(unscheduled, "questionLabel")->text(),
                 QStringLiteral("Quシリーズ音声ファイル管理を終了しますか？"));

        doc.backupFrequency = 1;
        CEndChkDlg noFolder(doc, true);
        QVERIFY(!child(noFolder, "backupButton")->isHidden());
        QVERIFY(!child(noFolder, "backupButton")->isEnabled());

        doc.dataFolder = "/data/";
        CEndChkDlg noBackupRun(doc, false);
        QVERIFY(!child(noBackupRun, "backupButton")->isEnabled());
        CEndChkDlg ready(doc, true);
        QCOMPARE(child(ready, "backupButton")->text(), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを実行して終了"));
        QCOMPARE(answerOf(ready, "backupButton"), int(CEndChkDlg::BackupAndExit));
        CEndChkDlg yes(doc, true);
        QCOMPARE(answerOf(yes, "yesButton"), int(CEndChkDlg::Yes));
        CEndChkDlg no(doc, true);
        QCOMPARE(answerOf(no, "noButton"), int(CEndChkDlg::No));
    }

    void volumeDialogOpensWithTheSettingAndEnablesLevelsOnlyWhenAdjusting() {
        CORVENDoc doc;
        doc.volumeSwitch = 1;
        doc.volumeSetting = 30;
        doc.muteSetting = 1;
        FakeAudioEndpoint pc;
        VolumeControl volume(pc);
        CVolumeDlg dialog(doc, volume);
        dialog.show();
        QVERIFY(child<QRadioButton>(dialog, "volumeOnRadio")->isChecked());
        QCOMPARE(child<QSlider>(dialog, "volumeSlider")->value(), 30);
        QCOMPARE(child<QSpinBox>(dialog, "volumeSpin")->value(), 30);
        QVERIFY(child<QCheckBox>(dialog, "muteCheck")->isChecked());

        child<QRadioButton>(dialog, "volumeOffRadio")->click();
        for (const char* name : {"volumeSlider", "volumeSpin", "muteCheck"}) {
            QVERIFY2(!child<QWidget>(dialog, name)->isEnabled(), name);
        }
        // The values hold only while the program runs, and the dialog says so.
        const auto* note = child<QLabel>(dialog, "noteLabel");
        QVERIFY(note && note->isVisible());
        QVERIFY2(note->text().contains(QStringLiteral("起動中のみ")), qPrintable(note->text()));
    }

    void typedLevelAbove100IsStoredAs100() {
        CORVENDoc doc;
        FakeAudioEndpoint pc;
        VolumeControl volume(pc);
        CVolumeDlg dialog(doc, volume);
        dialog.show();
        child<QRadioButton>(dialog, "volumeOnRadio")->click();
        auto* spin = child<QSpinBox>(dialog, "volumeSpin");
        spin->selectAll();
        QTest::keyClicks(spin, "150");
        QCOMPARE(spin->value(), 100);
        QCOMPARE(child<QSlider>(dialog, "volumeSlider")->value(), 100);

        child(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(doc.volumeSwitch, 1);
        QCOMPARE(doc.volumeSetting, 100);
        QCOMPARE(pc.level, 100);
    }

    void volumeDialogWithoutSoundDeviceSaysSoAndStaysOpen() {
        CORVENDoc doc;
        FakeAudioEndpoint pc;
        pc.available = false;
        VolumeControl volume(pc);
        CVolumeDlg dialog(doc, volume);
        dialog.show();
        child<QRadioButton>(dialog, "volumeOnRadio")->click();
        const auto seen = pressAndAnswerBox(child(dialog, "okButton"));
        QCOMPARE(seen.text,
                 QStringLiteral("設定できません。\nPCのサウンドデバイスを有効にしてください。"));
        QCOMPARE(seen.title, QStringLiteral("エラー"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(doc.volumeSwitch, 0);
    }

    void dueBackupCancelsAnOpenDialogButNeverInterruptsALogIn() {
        int asked = 0;
        DialogBackupWatch::install({20, [] { return true; }, [&] { return ++asked > 0; }});
        CRecomDlg reconnect;
        reconnect.show();
        QTRY_VERIFY(!reconnect.isVisible());
        QCOMPARE(reconnect.result(), int(CRecomDlg::Closed));

        CORVENDoc doc;
        CLoginDlg* dialog = nullptr;
        bool undisturbed = false;
        CLoginDlg login(doc, [&](const std::string&, const std::string&, const std::string&) {
            const int askedBefore = asked;
            QTest::qWait(100);  // the log-in lets events through while it waits for the network
            undisturbed = dialog->isVisible() && asked == askedBefore;
            return orven::LoginResult::Refused;
        });
        dialog = &login;
        login.show();
        child<QLineEdit>(login, "addressEdit")->setText("127.0.0.1");
        child<QLineEdit>(login, "userEdit")->setText("maint");
        child<QLineEdit>(login, "passwordEdit")->setText("pw");
        pressAndAnswerBox(child(login, "loginButton"));
        QVERIFY(undisturbed);
        QTRY_VERIFY(!login.isVisible());  // the watch runs again once the log-in failed
    }

    void cleanup() { DialogBackupWatch::install({}); }
};

QTEST_MAIN(ShellDialogsTest)
#include "ShellDialogsTest.moc"
