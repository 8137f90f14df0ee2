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
    auto* yes = new QPushButton(qs(text::kButtonYesKey), this);
    yes->setObjectName("yesButton");
    yes->setDefault(true);
    auto* no = new QPushButton(qs(text::kButtonNoKey), this);
    no->setObjectName("noButton");
    auto* backup = new QPushButton(qs(text::kEndWithBackup), this);
    backup->setObjectName("backupButton");
    backup->setVisible(doc.backupFrequency != 0);
    backup->setEnabled(!doc.dataFolder.empty() && canBackUp);
    connect(yes, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(no, &QPushButton::clicked, this, [this] { done(No); });
    connect(backup, &QPushButton::clicked, this, [this] { done(BackupAndExit); });

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
