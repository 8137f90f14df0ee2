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
    auto* full = makeButton(text::kKindInfoAndVoice, "infoAndVoiceButton",
                            [this] { onKind(DownloadChoice::Kind::InfoAndVoice); });
    auto* infoOnly = makeButton(text::kKindInfoOnly, "infoOnlyButton",
                                [this] { onKind(DownloadChoice::Kind::InfoOnly); });
    auto* responses =
        makeButton(text::kButtonResponses, "responsesButton", [this] { onResponses(); });
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
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
