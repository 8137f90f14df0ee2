#include "app/ui/QtUi.h"

#include <memory>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/ui/CCstmMsgbox.h"
#include "app/ui/CProgressDlg.h"
#include "app/ui/QtProgress.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

QMessageBox::Icon messageIcon(Icon icon) {
    switch (icon) {
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

struct ButtonSpec {
    std::string_view text;
    QMessageBox::ButtonRole role;
    int result;
};

std::vector<ButtonSpec> buttonSpecs(Buttons buttons) {
    const ButtonSpec ok{text::kButtonOk, QMessageBox::AcceptRole, IdOk};
    const ButtonSpec cancel{text::kButtonCancel, QMessageBox::RejectRole, IdCancel};
    const ButtonSpec yes{text::kButtonYesKey, QMessageBox::YesRole, IdYes};
    const ButtonSpec no{text::kButtonNoKey, QMessageBox::NoRole, IdNo};
    const ButtonSpec retry{text::kButtonRetryKey, QMessageBox::AcceptRole, IdRetry};
    switch (buttons) {
        case Buttons::OkCancel:
            return {ok, cancel};
        case Buttons::YesNo:
            return {yes, no};
        case Buttons::YesNoCancel:
            return {yes, no, cancel};
        case Buttons::RetryCancel:
            return {retry, cancel};
        case Buttons::Ok:
        default:
            return {ok};
    }
}

}  // namespace

QtUi::QtUi(const Timing& timing) : m_pumpInterval(timing.pumpIntervalMs) {}

QtUi::~QtUi() = default;

void QtUi::setParentWindow(QWidget* window) {
    m_parent = window;
}

bool QtUi::onGuiThread() const {
    return QThread::currentThread() == m_guiContext.thread();
}

void QtUi::pump() {
    if (!onGuiThread()) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPump < m_pumpInterval) {
        return;
    }
    m_lastPump = now;
    QCoreApplication::processEvents();
}

int QtUi::messageBox(const std::string& text, const std::string& title, Buttons buttons,
                     Icon icon) {
    return call([&] { return showMessageBox(m_parent, text, title, buttons, icon); });
}

int QtUi::customBox(const CustomBox& box) {
    return call([&] {
        CCstmMsgbox dialog(box, m_parent);
        return dialog.exec();
    });
}

std::unique_ptr<Progress> QtUi::openProgress(const std::string& title, const std::string& text,
                                             std::atomic<int>* cancelFlag) {
    return call([&]() -> std::unique_ptr<Progress> {
        auto* dialog = new CProgressDlg(title, text, cancelFlag, m_parent);
        dialog->show();
        return std::make_unique<QtProgress>(*this, dialog);
    });
}

bool QtUi::windowTitled(std::string_view title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == qs(title)) {
            return true;
        }
    }
    return false;
}

int QtUi::showMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                         Buttons buttons, Icon icon) {
    QMessageBox box(messageIcon(icon), titleText(title), qs(text), QMessageBox::NoButton, parent);
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const ButtonSpec& button : buttonSpecs(buttons)) {
        results.emplace_back(box.addButton(qs(button.text), button.role), button.result);
    }
    box.exec();
    for (const auto& [button, result] : results) {
        if (box.clickedButton() == button) {
            return result;
        }
    }
    // Closed without a button: an OK-only box counts as OK, any other as cancelled.
    return buttons == Buttons::Ok ? IdOk : IdCancel;
}

}  // namespace orven::ui
