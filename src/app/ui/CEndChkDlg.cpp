#include "app/ui/CEndChkDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CEndChkDlg::CEndChkDlg(const CORVENDoc& doc, bool canBackUp, QWidget* parent)
    : OrvenDialog(parent), m_backupWatch(*this) {
    setObjectName("endDialog");
    setWindowTitle(qs(text::kEndTitle));
    auto* question = new QLabel(qs(text::kEndQuestion), this);
    question->setObjectName("questionLabel");
    auto* yes = makeButton(text::kButtonYesKey, "yesButton", [this] { done(Yes); });
    yes->setDefault(true);
    auto* no = makeButton(text::kButtonNoKey, "noButton", [this] { done(No); });
    auto* backup =
        makeButton(text::kEndWithBackup, "backupButton", [this] { done(BackupAndExit); });
    backup->setVisible(doc.backupFrequency != 0);
    backup->setEnabled(!doc.dataFolder.empty() && canBackUp);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addWidget(backup);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace orven::ui
