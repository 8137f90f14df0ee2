#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "ShellHarness.h"
#include "app/CommandIds.h"
#include "app/ui/KeepAlive.h"
#include "mainunit/DemoData.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"

using namespace orven;
using namespace orven::test;
namespace fs = std::filesystem;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The main unit stand-in serving the demo boxes and messages.
struct DemoUnit {
    DemoUnit() {
        mainunit::MainUnitOptions options;
        options.root = root.path().toStdString() + "/unit";
        QVERIFY(DemoData::seed(options.root, LocalTime::make(2026, 12, 1, 9, 30)) > 0);
        server = std::make_unique<mainunit::MainUnitServer>(options);
        QVERIFY(server->start());
    }
    fs::path unitRoot() const { return root.path().toStdString() + "/unit"; }
    QTemporaryDir root;
    std::unique_ptr<mainunit::MainUnitServer> server;
};

// Plays the user through a row of modal windows, each known by its title: the front step
// acts when its window is the active modal one. Every window seen is recorded with its text.
class ModalScript {
  public:
    using Act = std::function<void(QWidget*)>;

    ModalScript() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    ModalScript& on(std::string_view title, Act act) {
        m_steps.push_back({qs(title), std::move(act)});
        return *this;
    }
    // A message box or custom box answered with the button of that text.
    ModalScript& answer(std::string_view title, std::string_view button) {
        return on(title, [label = qs(button)](QWidget* box) { click(box, label); });
    }
    bool done() const { return m_steps.empty(); }
    QString pending() const { return m_steps.empty() ? QString() : m_steps.front().title; }
    const QStringList& seen() const { return m_seen; }

    static void click(QWidget* window, const QString& label) {
        for (auto* button : window->findChildren<QAbstractButton*>()) {
            if (button->text() == label && button->isVisible()) {
                button->click();
                return;
            }
        }
        QFAIL(qPrintable("no button " + label + " in " + window->windowTitle()));
    }

  private:
    struct Step {
        QString title;
        Act act;
    };

    void poll() {
        QWidget* window = QApplication::activeModalWidget();
        // A step that never came: the windows left open are closed, so the test ends.
        if (m_deadline.hasExpired()) {
            if (auto* dialog = qobject_cast<QDialog*>(window)) {
                dialog->done(QDialog::Rejected);
            }
            return;
        }
        if (window == nullptr || m_steps.empty() ||
            window->windowTitle() != m_steps.front().title) {
            return;
        }
        m_seen << window->windowTitle() + ": " + textOf(window);
        // The action may open the next window and wait in it; a timer is never fired again
        // while its own slot runs, so the action runs from a timer of its own.
        Act act = std::move(m_steps.front().act);
        m_steps.pop_front();
        m_deadline.setRemainingTime(kStepTimeoutMs);
        QTimer::singleShot(0, window, [act, window] { act(window); });
    }
    static QString textOf(QWidget* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            return box->text();
        }
        auto* label = window->findChild<QLabel*>("messageLabel");
        return label != nullptr ? label->text() : QString();
    }

    static constexpr int kStepTimeoutMs = 30000;
    QTimer m_timer;
    QDeadlineTimer m_deadline{kStepTimeoutMs};
    std::deque<Step> m_steps;
    QStringList m_seen;
};

// Every message of the main unit (by stem) is on the PC with its voice data.
void expectAllMessagesStored(const fs::path& unitRoot, const fs::path& store) {
    int messages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(unitRoot)) {
        if (entry.path().extension() != ".vminf") {
            continue;
        }
        const fs::path relative = fs::relative(entry.path().parent_path(), unitRoot);
        const std::string stem = entry.path().stem().string();
        QVERIFY2(fs::exists(store / relative / (stem + ".vminf")), qPrintable(stem.c_str()));
        QVERIFY2(fs::exists(store / relative / (stem + ".aac")), qPrintable(stem.c_str()));
        ++messages;
    }
    QVERIFY(messages > 0);
}

void selectRowContaining(QWidget* dialog, const QString& text) {
    auto* list = dialog->findChild<QTreeWidget*>();
    QVERIFY(list != nullptr);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->text(1).contains(text)) {
            list->setCurrentItem(item);
            return;
        }
    }
    QFAIL(qPrintable("no row " + text));
}

}  // namespace

class DownloadRoadTest : public QObject {
    Q_OBJECT

  private slots:
    // Log in, build the box folders, download everything with voice data: the messages of
    // the main unit are on the disk.
    void folderDownloadThenBulkDownload() {
        DemoUnit unit;
        std::string data;
        Shell shell([&](ProfileFile& settings) {
            data = fs::path(settings.path()).parent_path().string() + "/data/";
            fs::create_directories(data + "store");
            settings.writeInt("LOGIN", "PORT", unit.server->port());
            settings.writeString("FOLDER", "FOLDER", data);
            settings.writeString("DISP", "FOLDERNAME", "store");
        });
        QCOMPARE(shell.logIn(), QString());
        QVERIFY(!shell.button(command::kBulkDownload)->isEnabled());  // no box folders yet

        ModalScript script;
        script
            .on(text::kFolderDownloadTitle,
                [](QWidget* dialog) {
                    selectRowContaining(dialog, "store");
                    ModalScript::click(dialog, qs(text::kButtonDownloadFolders));
                })
            .answer(text::kDownloadConfirmTitle, text::kButtonYesKey)
            .answer(text::kDownloadDoneTitle, text::kButtonOk)
            .on(text::kFolderDownloadTitle,
                [](QWidget* dialog) { ModalScript::click(dialog, qs(text::kButtonOk)); });
        shell.button(command::kFolderDownload)->click();
        QVERIFY2(script.done(), qPrintable(script.pending() + " | " + script.seen().join(" | ")));
        QCOMPARE(script.seen().at(1), qs(text::kDownloadConfirmTitle) + ": " +
                                          qs(text::fill(text::kDownloadConfirm, data + "store")));
        QCOMPARE(script.seen().at(2),
                 qs(text::kDownloadDoneTitle) + ": " + qs(text::kFolderDownloadDone));
        QVERIFY(fs::is_directory(data + "store/rusuroku"));
        QVERIFY(shell.button(command::kBulkDownload)->isEnabled());

        ModalScript bulk;
        bulk.on(text::kDownKindTitle,
                [](QWidget* dialog) { ModalScript::click(dialog, qs(text::kKindInfoAndVoice)); })
            .answer(text::kDownloadConfirmTitle, text::kButtonYesKey)
            .answer(text::kDownloadDoneTitle, text::kButtonOk);
        shell.button(command::kBulkDownload)->click();
        QVERIFY2(bulk.done(), qPrintable(bulk.pending() + " | " + bulk.seen().join(" | ")));
        QCOMPARE(bulk.seen().back(), qs(text::kDownloadDoneTitle) + ": " + qs(text::kDownloadDone));
        expectAllMessagesStored(unit.unitRoot(), data + "store");
        QVERIFY(shell.frame->folderTotal() > 0);
        QVERIFY(shell.frame->isEnabled());
        closeWithYes(*shell.frame);
    }

    // A first-time user: no folder yet. The wizard logs in, has a folder chosen and built,
    // downloads everything and keeps the session.
    void wizardDoesTheSameForAFirstTimeUser() {
        DemoUnit unit;
        const std::string chosen = unit.root.path().toStdString() + "/first";
        fs::create_directories(chosen);
        Shell shell(
            [&](ProfileFile& settings) { settings.writeInt("LOGIN", "PORT", unit.server->port()); },
            [&](const std::string&, const std::string&) {
                return std::optional<std::string>(chosen);
            });
        ModalScript script;
        script
            .on(text::kLoginTitle,
                [](QWidget* dialog) {
                    dialog->findChild<QLineEdit*>("addressEdit")->setText("127.0.0.1");
                    dialog->findChild<QLineEdit*>("userEdit")->setText("maint");
                    dialog->findChild<QLineEdit*>("passwordEdit")->setText("zuka");
                    dialog->findChild<QPushButton*>("loginButton")->click();
                })
            .on(text::kFolderPageTitle,
                [](QWidget* page) { ModalScript::click(page, qs(text::kButtonOk)); })
            .answer(text::kFolderDownloadTitle, text::kButtonYesKey)
            .answer(text::kDownloadDoneTitle, text::kButtonNext)
            .on(text::kDownWayTitle,
                [](QWidget* page) { ModalScript::click(page, qs(text::kDownWayBulk)); })
            .on(text::kDownKindTitle,
                [](QWidget* dialog) { ModalScript::click(dialog, qs(text::kKindInfoAndVoice)); })
            .answer(text::kDownloadConfirmTitle, text::kButtonYesKey)
            .answer(text::kDownloadDoneTitle, text::kButtonDone)
            .answer(text::kWizardEndTitle, text::kButtonStayLoggedIn);
        shell.button(command::kSettings)->click();
        shell.action(command::kWizard)->trigger();
        QVERIFY2(script.done(), qPrintable(script.pending() + " | " + script.seen().join(" | ")));
        expectAllMessagesStored(unit.unitRoot(), chosen);
        QCOMPARE(shell.frame->doc().currentFolderName.str(), std::string("first"));
        QCOMPARE(shell.frame->doc().loggedIn, 1);
        QVERIFY(shell.frame->keepAlive().isActive());
        closeWithYes(*shell.frame);
    }
};

QTEST_MAIN(DownloadRoadTest)
#include "DownloadRoadTest.moc"
