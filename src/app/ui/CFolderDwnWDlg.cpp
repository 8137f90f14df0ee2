#include "app/ui/CFolderDwnWDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/FolderDownloadCommand.h"
#include "app/ui/FolderBrowser.h"
#include "app/ui/QtText.h"
#include "platform/UserFolders.h"
#include "resources/Texts.h"

namespace orven::ui {

CFolderDwnWDlg::CFolderDwnWDlg(CommandContext& context, FolderChooser::Browse browse,
                               QWidget* parent)
    : OrvenDialog(parent),
      m_context(context),
      m_browse(browse ? std::move(browse) : FolderBrowser::forOwner(this)),
      m_list(new QTreeWidget(this)),
      m_backupWatch(*this) {
    setObjectName("folderPageDialog");
    setWindowTitle(qs(text::kFolderPageTitle));
    auto* lead = new QLabel(qs(text::kFolderPageIntoStore), this);
    lead->setObjectName("leadText");
    m_list->setObjectName("folderList");
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({qs(text::kFolderColumnName), qs(text::kFolderColumnPath)});
    auto* change =
        makeButton(text::kButtonFolderChange, "folderChangeButton", [this] { onChange(); });
    auto* ok = makeButton(text::kButtonOk, "okButton", [this] { onOk(); });
    ok->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(change);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lead);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    showFolder();
}

std::string CFolderDwnWDlg::chosenFolder() const {
    return m_context.doc.storeFolder();
}

void CFolderDwnWDlg::showFolder() {
    m_list->clear();
    auto* row =
        new QTreeWidgetItem({qs(m_context.doc.currentFolderName.str()), qs(chosenFolder())});
    m_list->addTopLevelItem(row);
    m_list->setCurrentItem(row);
}

void CFolderDwnWDlg::onChange() {
    m_backupWatch.stop();
    FolderChooser chooser(m_fileSystem, m_context.ui, m_browse);
    chooser.chooseDownloadFolder(m_context.doc,
                                 FolderChooser::startFolder(m_context.doc, UserFolders()));
    m_backupWatch.start();
    showFolder();
}

void CFolderDwnWDlg::onOk() {
    m_backupWatch.stop();
    const FolderDownloadCommand::Result result =
        FolderDownloadCommand(m_context).runForWizard(chosenFolder());
    m_backupWatch.start();
    switch (result) {
        case FolderDownloadCommand::Result::Done:
            m_downloaded = true;
            accept();
            break;
        case FolderDownloadCommand::Result::Cancelled:
            // A log-out while it ran: the wizard ends.
            reject();
            break;
        case FolderDownloadCommand::Result::Declined:
        case FolderDownloadCommand::Result::ListFailed:
        case FolderDownloadCommand::Result::Unreachable:
            break;
    }
}

}  // namespace orven::ui
