#include "app/ui/CCstmMsgbox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/ui/QtText.h"

namespace orven::ui {

namespace {

QIcon iconFor(Icon icon, const QStyle& style) {
    switch (icon) {
        case Icon::Application:
            return QApplication::windowIcon().isNull() ? style.standardIcon(QStyle::SP_ComputerIcon)
                                                       : QApplication::windowIcon();
        case Icon::Error:
            return style.standardIcon(QStyle::SP_MessageBoxCritical);
        case Icon::Question:
            return style.standardIcon(QStyle::SP_MessageBoxQuestion);
        case Icon::Exclamation:
            return style.standardIcon(QStyle::SP_MessageBoxWarning);
        case Icon::Information:
            return style.standardIcon(QStyle::SP_MessageBoxInformation);
        default:
            return {};
    }
}

}  // namespace

CCstmMsgbox::CCstmMsgbox(const CustomBox& box, QWidget* parent)
    : OrvenDialog(parent), m_closable(box.closable) {
    setObjectName("customMessageBox");
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_closable) {
        flags |= Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(titleText(box.title));

    auto* icon = new QLabel(this);
    icon->setObjectName("iconLabel");
    const QIcon picture = iconFor(box.icon, *style());
    icon->setPixmap(picture.pixmap(32, 32));
    icon->setVisible(!picture.isNull());
    auto* message = new QLabel(qs(box.text), this);
    message->setObjectName("messageLabel");
    message->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message, 1);

    // Left to right as the platform box orders them: affirmative, then cancel, then the rest.
    const CustomBox::ButtonTexts texts = CustomBox::buttonTexts(box.buttonSet);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* defaultButton = nullptr;
    for (QPushButton* button : {addButton(texts.third, CustomBox::Third, "thirdButton"),
                                addButton(texts.first, CustomBox::First, "firstButton"),
                                addButton(texts.second, CustomBox::Second, "secondButton")}) {
        buttons->addWidget(button);
        if (!defaultButton && !button->isHidden()) {
            defaultButton = button;
        }
    }
    buttons->addStretch();
    if (defaultButton) {
        defaultButton->setDefault(true);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* CCstmMsgbox::addButton(std::string_view text, CustomBox::Result result,
                                    const char* name) {
    auto* button = new QPushButton(qs(text), this);
    button->setObjectName(name);
    button->setVisible(!text.empty());
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

// Esc and the close button come here; QDialog::closeEvent keeps a box that stays visible.
void CCstmMsgbox::reject() {
    if (m_closable) {
        done(CustomBox::Closed);
    }
}

}  // namespace orven::ui
