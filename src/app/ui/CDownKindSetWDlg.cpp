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
    auto* bulk = new QPushButton(qs(text::kDownWayBulk), this);
    bulk->setObjectName("bulkButton");
    auto* chosen = new QPushButton(qs(text::kDownWayChosen), this);
    chosen->setObjectName("chosenButton");
    auto* cancel = new QPushButton(qs(text::kButtonCancel), this);
    cancel->setObjectName("cancelButton");
    connect(bulk, &QPushButton::clicked, this, [this] { done(kBulk); });
    connect(chosen, &QPushButton::clicked, this, [this] { done(kChosen); });
    connect(cancel, &QPushButton::clicked, this, &CDownKindSetWDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bulk);
    buttons->addWidget(chosen);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ask);
    layout->addLayout(buttons);
}

}  // namespace orven::ui
