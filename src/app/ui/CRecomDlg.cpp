#include "app/ui/CRecomDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CRecomDlg::CRecomDlg(QWidget* parent) : OrvenDialog(parent), m_backupWatch(*this) {
    setObjectName("reconnectDialog");
    setWindowTitle(qs(text::kReconnectTitle));
    auto* lost = new QLabel(qs(text::kReconnectLost), this);
    lost->setObjectName("lostLabel");
    auto* advice = new QLabel(qs(text::kReconnectAdvice), this);
    advice->setObjectName("adviceLabel");
    auto* reconnect =
        makeButton(text::kReconnectButton, "reconnectButton", [this] { done(Reconnect); });
    reconnect->setDefault(true);
    auto* end = makeButton(text::kReconnectEndButton, "endButton", [this] { done(End); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(reconnect);
    buttons->addWidget(end);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lost);
    layout->addWidget(advice);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace orven::ui
