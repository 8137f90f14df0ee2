#include "app/ui/CDownKindSetDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CDownKindSetDlg::CDownKindSetDlg(CommandContext& context, QWidget* parent)
    : OrvenDialog(parent), m_choice(context), m_backupWatch(*this) {
    setObjectName("downKindSetDialog");
    setWindowTitle(qs(text::kDownKindTitle));
    auto* lead = new QLabel(qs(text::kDownKindLead), this);
    lead->setObjectName("leadLabel");
    auto* ask = new QLabel(qs(text::kDownKindAsk), this);
    ask->setObjectName("askLabel");
    auto* full = new QPushButton(qs(text::kKindInfoAndVoice), this);
    full->setObjectName("infoAndVoiceButton");
    auto* infoOnly = new QPushButton(qs(text::kKindInfoOnly), this);
    infoOnly->setObjectName("infoOnlyButton");
    auto* cancel = new QPushButton(qs(text::kButtonCancel), this);
    cancel->setObjectName("cancelButton");
    connect(full, &QPushButton::clicked, this,
            [this] { onKind(DownloadChoice::Kind::InfoAndVoice); });
    connect(infoOnly, &QPushButton::clicked, this,
            [this] { onKind(DownloadChoice::Kind::InfoOnly); });
    connect(cancel, &QPushButton::clicked, this, &CDownKindSetDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(full);
    buttons->addWidget(infoOnly);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lead);
    layout->addWidget(ask);
    layout->addLayout(buttons);
}

void CDownKindSetDlg::onKind(DownloadChoice::Kind kind) {
    if (m_choice.downloadAll(kind) == DownloadChoice::Outcome::Ran) {
        accept();
    }
}

}  // namespace orven::ui
