#include <functional>
#include <memory>
#include <vector>

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <QtTest>

#include "app/FolderAccessCheck.h"
#include "app/ui/CCstmMsgbox.h"
#include "app/ui/CEndChkDlg.h"
#include "app/ui/CFolderSetDlg.h"
#include "app/ui/CFolderSetSubDlg.h"
#include "app/ui/CLoginDlg.h"
#include "app/ui/CProgressDlg.h"
#include "app/ui/CRecomDlg.h"
#include "app/ui/CVolumeDlg.h"
#include "app/ui/FolderBrowser.h"
#include "app/ui/QtUi.h"
#include "gui/ModalWatch.h"
#include "platform/LocalFileSystem.h"
#include "resources/Texts.h"
#include "support/FakeAudioEndpoint.h"

using namespace orven;
using orven::test::ModalWatch;
using orven::ui::OrvenDialog;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CustomBox wizardEnd() {
    CustomBox box;
    box.title = "ウィザード終了画面";
    box.text = "OK";
    box.buttonSet = 4;
    return box;
}

// Every dialog of the program, made as its callers make it.
struct AllDialogs {
    AllDialogs() {
        make<ui::CEndChkDlg>(doc, true);
        make<ui::CRecomDlg>();
        make<ui::CVolumeDlg>(doc, volume);
        make<ui::CLoginDlg>(doc, [](const std::string&, const std::string&, const std::string&) {
            return LoginResult::NoConnection;
        });
        make<ui::CFolderSetDlg>(doc, check, ui);
        make<ui::CFolderSetSubDlg>("");
        make<ui::CCstmMsgbox>(wizardEnd());
        make<ui::CProgressDlg>(std::string(text::kProgressBackup), "", nullptr);
        // A dialog still to come: a long title over a single button.
        auto coming = std::make_unique<OrvenDialog>();
        coming->setObjectName("comingDialog");
        coming->setWindowTitle(qs(text::kMenuAutoDelete));
        (new QVBoxLayout(coming.get()))->addWidget(new QPushButton("OK", coming.get()));
        dialogs.push_back(std::move(coming));
    }
    template <typename T, typename... Args>
    void make(Args&&... args) {
        dialogs.push_back(std::make_unique<T>(std::forward<Args>(args)...));
    }

    CORVENDoc doc;
    test::FakeAudioEndpoint pc;
    VolumeControl volume{pc};
    LocalFileSystem files;
    Timing timing;
    ui::QtUi ui{timing};
    FolderAccessCheck check{files, ui, timing};
    std::vector<std::unique_ptr<QDialog>> dialogs;
};

// A dialog with a button for each access key, and fields that take typed text.
struct KeyDialog {
    KeyDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : std::initializer_list<QWidget*>{edit, spin, check, yes, no, retry,
                                                          retryAgain, plain}) {
            layout->addWidget(w);
        }
        for (QAbstractButton* b :
             std::initializer_list<QAbstractButton*>{check, yes, no, retry, retryAgain, plain}) {
            QObject::connect(b, &QAbstractButton::clicked, b,
                             [this, b] { clicked << b->objectName(); });
        }
        dialog.show();
    }
    template <typename T>
    T* named(T* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    }
    // Presses a key where the focus is, as the keyboard does.
    void press(QWidget* focus, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        focus->setFocus();
        QTest::keyClick(focus, key, modifiers);
    }

    OrvenDialog dialog;
    QLineEdit* edit = named(new QLineEdit(&dialog), "edit");
    QSpinBox* spin = named(new QSpinBox(&dialog), "spin");
    QCheckBox* check = named(new QCheckBox(QStringLiteral("記憶する(&K)"), &dialog), "check");
    QPushButton* yes = named(new QPushButton(qs(text::kButtonYesKey), &dialog), "yes");
    QPushButton* no = named(new QPushButton(qs(text::kButtonNoKey), &dialog), "no");
    QPushButton* retry = named(new QPushButton(qs(text::kButtonRetryKey), &dialog), "retry");
    QPushButton* retryAgain = named(new QPushButton(QStringLiteral("&Repeat"), &dialog), "again");
    QPushButton* plain = named(new QPushButton(QStringLiteral("OK"), &dialog), "plain");
    QStringList clicked;
};

}  // namespace

class DialogBaseTest : public QObject {
    Q_OBJECT

  private slots:
    // A title bar holds the title beside its buttons; a dialog narrower than that shows its
    // title cut.
    void everyDialogIsAnOrvenDialogWideEnoughForItsTitle() {
        AllDialogs all;
        for (const auto& dialog : all.dialogs) {
            const QString name = dialog->objectName();
            QVERIFY2(qobject_cast<OrvenDialog*>(dialog.get()), qPrintable(name));
            dialog->show();
            QFont bold = QApplication::font("QMdiSubWindowTitleBar");
            bold.setBold(true);
            // An icon and a close button at one side, and as much room at the other.
            const int sides =
                4 * dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dialog.get());
            const int needed = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + sides;
            QVERIFY2(dialog->width() >= needed,
                     qPrintable(
                         QStringLiteral("%1: %2 < %3").arg(name).arg(dialog->width()).arg(needed)));
            dialog->hide();
        }
    }

    void plainLetterPressesTheButtonWithThatAccessKey() {
        struct Case {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int result;
        };
        for (const Case& c : {Case{Qt::Key_Y, Qt::NoModifier, ui::CEndChkDlg::Yes},
                              Case{Qt::Key_N, Qt::NoModifier, ui::CEndChkDlg::No},
                              Case{Qt::Key_N, Qt::ShiftModifier, ui::CEndChkDlg::No}}) {
            CORVENDoc doc;
            ui::CEndChkDlg dialog(doc, true);
            dialog.show();
            dialog.setResult(-1);
            dialog.findChild<QPushButton*>("yesButton")->setFocus();
            QTest::keyClick(dialog.focusWidget(), c.key, c.modifiers);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), c.result);
        }

        // The platform-style box with the same buttons answers alike.
        ModalWatch<QMessageBox> box([](QMessageBox* b) { QTest::keyClick(b, Qt::Key_N); });
        QCOMPARE(ui::QtUi::showMessageBox(nullptr, "?", "", Buttons::YesNo, Icon::Question), IdNo);
    }

    void lettersAreTextInFieldsAndOtherwiseOnlyTheirOwnButtons() {
        KeyDialog d;
        d.press(d.edit, Qt::Key_Y);
        d.press(d.spin, Qt::Key_Y);
        d.press(d.plain, Qt::Key_Q);  // no button has Q
        d.press(d.plain, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(d.edit->text(), QStringLiteral("y"));
        QCOMPARE(d.clicked, QStringList());
        QVERIFY(d.dialog.isVisible());

        d.press(d.plain, Qt::Key_Y);
        d.press(d.plain, Qt::Key_N);
        d.press(d.yes, Qt::Key_K);  // a check box is pressed and takes the focus
        QCOMPARE(d.clicked, (QStringList{"yes", "no", "check"}));
        QVERIFY(d.check->isChecked());
        QCOMPARE(d.dialog.focusWidget(), d.check);
    }

    void sharedAccessKeyMovesTheFocusInsteadOfPressing() {
        KeyDialog d;
        d.press(d.plain, Qt::Key_R);
        QCOMPARE(d.dialog.focusWidget(), d.retry);
        QTest::keyClick(d.dialog.focusWidget(), Qt::Key_R);
        QCOMPARE(d.dialog.focusWidget(), d.retryAgain);
        QTest::keyClick(d.dialog.focusWidget(), Qt::Key_R);
        QCOMPARE(d.dialog.focusWidget(), d.retry);
        QCOMPARE(d.clicked, QStringList());
        d.retry->hide();  // a hidden button has no access key
        d.press(d.plain, Qt::Key_R);
        QCOMPARE(d.clicked, QStringList{"again"});
    }

    // The folder browser titles begin with a line break; a title bar would show nothing.
    void titlesLeaveOutLineBreaksAtTheirEnds() {
        const std::string title(text::kChooseSaveFolderTitle);
        const QString shown = qs(title).mid(1);
        QVERIFY(title.starts_with('\n') && !shown.contains('\n'));

        CustomBox box = wizardEnd();
        box.title = title;
        QCOMPARE(ui::CCstmMsgbox(box).windowTitle(), shown);
        QCOMPARE(ui::CProgressDlg(title + "\r\n", "", nullptr).windowTitle(), shown);

        QString seen;
        ModalWatch<QMessageBox> message([&](QMessageBox* b) {
            seen = b->windowTitle();
            b->accept();
        });
        ui::QtUi::showMessageBox(nullptr, "text", title, Buttons::Ok, Icon::None);
        QCOMPARE(seen, shown);

        QTemporaryDir start;
        ModalWatch<QFileDialog> browser([&](QFileDialog* b) {
            seen = b->windowTitle();
            b->reject();
        });
        const auto browse = ui::FolderBrowser::forOwner(nullptr);
        QVERIFY(!browse(std::string(text::kChooseDownloadFolderTitle), start.path().toStdString()));
        QVERIFY(browser.fired());
        QCOMPARE(seen, qs(text::kChooseDownloadFolderTitle).mid(1));
    }
};

QTEST_MAIN(DialogBaseTest)
#include "DialogBaseTest.moc"
