#include "app/ui/OrvenDialog.h"

#include <QHBoxLayout>

#include <algorithm>
#include <utility>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {
namespace {

// Fields that take the letters typed into them, read-only or not: there a letter is text.
bool takesTypedText(const QWidget* widget) {
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->isEditable();
    }
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

bool plainKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers others =
        event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const int key = event.key();
    return others == Qt::NoModifier &&
           ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9));
}

// The letter after "&" in a button's text, as the key that Alt goes with; 0 when none.
int accessKey(const QAbstractButton& button) {
    const QKeySequence mnemonic = QKeySequence::mnemonic(button.text());
    return mnemonic.isEmpty() ? 0 : static_cast<int>(mnemonic[0].key());
}

}  // namespace

OrvenDialog::OrvenDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void OrvenDialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        keepTitleWhole();
    }
    QDialog::setVisible(visible);
}

int OrvenDialog::titleBarWidth() const {
    // The title in the title bar's font, drawn bold; beside it the icon and up to three
    // buttons, and the same room on the other side, which a centred title keeps clear.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int button = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 2 * 3 * button;
}

void OrvenDialog::keepTitleWhole() {
    const int needed = titleBarWidth();
    if (needed <= m_titleWidth) {
        return;
    }
    m_titleWidth = needed;
    // A strut widens a column without adding a row, whatever the layout's size rule.
    auto* column = qobject_cast<QBoxLayout*>(layout());
    if (column && (column->direction() == QBoxLayout::TopToBottom ||
                   column->direction() == QBoxLayout::BottomToTop)) {
        column->addStrut(needed);
    } else {
        setMinimumWidth(std::max(minimumWidth(), needed));
    }
}

QPushButton* OrvenDialog::makeButton(std::string_view text, const char* objectName,
                                     std::function<void()> onClick) {
    auto* button = new QPushButton(qs(text), this);
    button->setObjectName(objectName);
    connect(button, &QPushButton::clicked, this, std::move(onClick));
    return button;
}

QHBoxLayout* OrvenDialog::okCancelRow(std::function<void()> onOk) {
    auto* ok = makeButton(text::kButtonOk, "okButton", std::move(onOk));
    ok->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void OrvenDialog::keyPressEvent(QKeyEvent* event) {
    if (plainKey(*event) && !takesTypedText(focusWidget()) && pressAccessKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool OrvenDialog::pressAccessKey(int key) {
    const QList<QAbstractButton*> buttons = buttonsWithAccessKey(key);
    if (buttons.isEmpty()) {
        return false;
    }
    if (buttons.size() == 1) {
        buttons.front()->setFocus(Qt::ShortcutFocusReason);
        buttons.front()->click();
        return true;
    }
    const qsizetype at = buttons.indexOf(qobject_cast<QAbstractButton*>(focusWidget()));
    buttons[(at + 1) % buttons.size()]->setFocus(Qt::ShortcutFocusReason);
    return true;
}

QList<QAbstractButton*> OrvenDialog::buttonsWithAccessKey(int key) const {
    QList<QAbstractButton*> found;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->window() == this && button->isVisible() && button->isEnabled() &&
            accessKey(*button) == key) {
            found.append(button);
        }
    }
    return found;
}

}  // namespace orven::ui
