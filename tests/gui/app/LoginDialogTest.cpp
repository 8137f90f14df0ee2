#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/ui/CLoginDlg.h"
#include "gui/ModalWatch.h"

using orven::CORVENDoc;
using orven::LoginResult;
using orven::test::pressAndAnswerBox;
using orven::ui::CLoginDlg;

namespace {

// The log-in as the dialog sees it: what it was called with, and the answer to give.
struct FakeLogin {
    LoginResult result = LoginResult::LoggedIn;
    QStringList calls;

    CLoginDlg::LoginFunction function() {
        return [this](const std::string& address, const std::string& user,
                      const std::string& password) {
            calls << QString::fromStdString(address + " " + user + " " + password);
            return result;
        };
    }
};

}  // namespace

class LoginDialogTest : public QObject {
    Q_OBJECT

  private:
    struct Dialog {
        Dialog(CORVENDoc& doc, FakeLogin& login) : dialog(doc, login.function()) { dialog.show(); }
        void fill(const QString& address, const QString& user, const QString& password) {
            edit("addressEdit")->setText(address);
            edit("userEdit")->setText(user);
            edit("passwordEdit")->setText(password);
        }
        QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
        // Presses "ログイン" and answers the message box it shows, if any.
        orven::test::SeenBox pressLogin() {
            return pressAndAnswerBox(dialog.findChild<QPushButton*>("loginButton"));
        }
        QString loginError() { return pressLogin().text; }
        CLoginDlg dialog;
    };

  private slots:
    void inputIsCheckedInOrderBeforeAnyLogIn() {
        CORVENDoc doc;
        FakeLogin login;
        Dialog d(doc, login);
        const auto first = d.pressLogin();
        QCOMPARE(first.text, QStringLiteral("ＩＰアドレスを入力してください。"));
        QCOMPARE(first.title, QStringLiteral("エラー"));
        QCOMPARE(first.icon, QMessageBox::Warning);
        QCOMPARE(first.buttons, QStringList{"OK"});
        d.fill("192.168.1.10", "", "");
        QCOMPARE(d.loginError(), QStringLiteral("ユーザー名を入力してください。"));
        d.fill("192.168.1.10", "maint", "");
        QCOMPARE(d.loginError(), QStringLiteral("パスワードを入力してください。"));

        const QString inputError = QStringLiteral("入力値エラーです。");
        d.fill("192.168.1.10", "admin", "right");  // not an account of the main unit
        QCOMPARE(d.loginError(), inputError);
        d.fill("192.168.1.10", "maintめ", "right");
        QCOMPARE(d.loginError(), inputError);
        d.fill("192.168.1.10", "maint", "pass\u00e9");  // low byte 0xE9 leads a double byte
        QCOMPARE(d.loginError(), inputError);
        d.fill("192.168.1.10", "office", "めpass");
        QCOMPARE(d.loginError(), inputError);

        QVERIFY(login.calls.isEmpty());
        QVERIFY(d.dialog.isVisible());
    }

    void addressFieldTakesOnlyOctetsAndReadsEmptyFieldsAsZero() {
        CORVENDoc doc;
        FakeLogin login;
        login.result = LoginResult::Refused;
        Dialog d(doc, login);
        QTest::keyClicks(d.edit("addressEdit"), "10.300.x.7");  // "3", "0" kept; "0", "x" refused
        QCOMPARE(d.edit("addressEdit")->text(), QStringLiteral("10.30..7"));
        d.edit("userEdit")->setText("maint");
        d.edit("passwordEdit")->setText("pw");
        d.loginError();
        QCOMPARE(login.calls, QStringList{"10.30.0.7 maint pw"});
    }

    void failedLogInsShowTheirTextAndKeepTheDialogOpen() {
        const QStringList texts = {
            QStringLiteral("接続に失敗しました。\n\n以下の原因が想定されます。\n"
                           "　①IPアドレスの設定が正しくない。\n"
                           "　②LANケーブルなど主装置とパソコン間の接続に問題がある。\n"
                           "　③すでにログイン中のパソコンがある（ログインできるのは１台のみ）。\n"
                           "それぞれを確認し、再度ログインを行ってください。"),
            QStringLiteral("ログインに失敗しました。"),
            QStringLiteral("この主装置には対応しておりません。\r\n"
                           "対応しているアプリケーションをご使用ください。")};
        const LoginResult failures[] = {LoginResult::NoConnection, LoginResult::Refused,
                                        LoginResult::UnsupportedMainUnit};
        CORVENDoc doc;
        FakeLogin login;
        Dialog d(doc, login);
        d.fill("192.168.1.10", "maint", "secret");
        for (int i = 0; i < texts.size(); ++i) {
            login.result = failures[i];
            const auto seen = d.pressLogin();
            QCOMPARE(seen.text, texts[i]);
            QCOMPARE(seen.title, QStringLiteral("エラー"));
            QVERIFY(d.dialog.isVisible());
            QCOMPARE(d.dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(login.calls.size(), 3);
        QCOMPARE(doc.loggedIn, 0);

        login.result = LoginResult::LoggedIn;
        QCOMPARE(d.loginError(), QString());
        QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(doc.loggedIn, 1);
        QCOMPARE(login.calls.last(), QStringLiteral("192.168.1.10 maint secret"));
    }

    void rememberedLogInFillsTheDialogAndUncheckingForgetsIt() {
        CORVENDoc doc;
        doc.savedAddress = "10.0.0.5";
        doc.savedUser = "office";
        doc.savedPassword = "pw";
        doc.rememberFlag = 1;
        FakeLogin login;
        Dialog d(doc, login);
        QCOMPARE(d.edit("addressEdit")->text(), QStringLiteral("10.0.0.5"));
        QCOMPARE(d.edit("userEdit")->text(), QStringLiteral("office"));
        QCOMPARE(d.edit("passwordEdit")->echoMode(), QLineEdit::Password);
        auto* remember = d.dialog.findChild<QCheckBox*>("rememberCheck");
        QVERIFY(remember->isChecked());

        remember->setChecked(false);
        d.loginError();
        QCOMPARE(doc.rememberFlag, 0);
        QVERIFY(doc.savedAddress.empty() && doc.savedUser.empty() && doc.savedPassword.empty());
        QCOMPARE(QString::fromStdString(doc.sessionUser.str()), QStringLiteral("office"));
        QCOMPARE(QString::fromStdString(doc.sessionPassword.str()), QStringLiteral("pw"));
    }
};

QTEST_MAIN(LoginDialogTest)
#include "LoginDialogTest.moc"
