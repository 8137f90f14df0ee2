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
    auto* full = makeButton(text::kKindInfoAndVoice, "infoAndVoiceButton",
                            [this] { onKind(DownloadChoice::Kind::InfoAndVoice); });
    auto* infoOnly = makeButton(text::kKindInfoOnly, "infoOnlyButton",
                                [this] { onKind(DownloadChoice::Kind::InfoOnly); });
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
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
