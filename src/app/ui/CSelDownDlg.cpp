#include "app/ui/CSelDownDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/BoxCheckList.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CSelDownDlg::CSelDownDlg(CommandContext& context, QWidget* parent)
    : OrvenDialog(parent),
      m_choice(context),
      m_lists(new BoxCheckLists(this)),
      m_backupWatch(*this) {
    setObjectName("selDownDialog");
    setWindowTitle(qs(text::kSelDownTitle));
    m_lists->setRows(m_choice.downloadRows());
    auto* folderLabel = new QLabel(qs(text::kDownloadFolderLabel), this);
    auto* folder = new QLineEdit(qs(m_choice.downloadFolder()), this);
    folder->setObjectName("folderEdit");
    folder->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lists);
    layout->addWidget(folderLabel);
    layout->addWidget(folder);
    layout->addLayout(buildButtons());
}

QHBoxLayout* CSelDownDlg::buildButtons() {
    auto* full = new QPushButton(qs(text::kKindInfoAndVoice), this);
    full->setObjectName("infoAndVoiceButton");
    auto* infoOnly = new QPushButton(qs(text::kKindInfoOnly), this);
    infoOnly->setObjectName("infoOnlyButton");
    auto* responses = new QPushButton(qs(text::kButtonResponses), this);
    responses->setObjectName("responsesButton");
    auto* cancel = new QPushButton(qs(text::kButtonCancel), this);
    cancel->setObjectName("cancelButton");
    connect(full, &QPushButton::clicked, this,
            [this] { onKind(DownloadChoice::Kind::InfoAndVoice); });
    connect(infoOnly, &QPushButton::clicked, this,
            [this] { onKind(DownloadChoice::Kind::InfoOnly); });
    connect(responses, &QPushButton::clicked, this, &CSelDownDlg::onResponses);
    connect(cancel, &QPushButton::clicked, this, &CSelDownDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(full);
    buttons->addWidget(infoOnly);
    buttons->addWidget(responses);
    buttons->addStretch();
    buttons->addWidget(cancel);
    return buttons;
}

// The message goes over the open dialog, once the event loop runs.
void CSelDownDlg::showEvent(QShowEvent* event) {
    OrvenDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        QTimer::singleShot(0, this, [this] { m_choice.tellWhenEmpty(m_lists->rows()); });
    }
}

void CSelDownDlg::onKind(DownloadChoice::Kind kind) {
    if (m_choice.downloadChosen(kind, m_lists->rows()) == DownloadChoice::Outcome::Ran) {
        accept();
    }
}

void CSelDownDlg::onResponses() {
    if (m_choice.downloadResponses() == DownloadChoice::Outcome::Ran) {
        accept();
    }
}

}  // namespace orven::ui
