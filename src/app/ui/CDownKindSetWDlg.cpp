#include "app/ui/CDownKindSetWDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CDownKindSetWDlg::CDownKindSetWDlg(QWidget* parent) : OrvenDialog(parent), m_backupWatch(*this) {
    setObjectName("downKindSetWizardPage");
    setWindowTitle(qs(text::kDownWayTitle));
    auto* ask = new QLabel(qs(text::kDownWayAsk), this);
    ask->setObjectName("askLabel");
    auto* bulk = makeButton(text::kDownWayBulk, "bulkButton", [this] { done(kBulk); });
    auto* chosen = makeButton(text::kDownWayChosen, "chosenButton", [this] { done(kChosen); });
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bulk);
    buttons->addWidget(chosen);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ask);
    layout->addLayout(buttons);
}

}  // namespace orven::ui
