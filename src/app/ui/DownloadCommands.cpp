#include "app/ui/DownloadCommands.h"

#include <QDialog>
#include <QWidget>

#include "app/DownloadWizard.h"
#include "app/ui/CDownKindSetDlg.h"
#include "app/ui/CDownKindSetWDlg.h"
#include "app/ui/CFolderDwnDlg.h"
#include "app/ui/CFolderDwnWDlg.h"
#include "app/ui/CSelAutoDelDlg.h"
#include "app/ui/CSelDownDlg.h"
#include "app/ui/FolderBrowser.h"
#include "platform/LocalFileSystem.h"
#include "platform/UserFolders.h"

namespace orven::ui {

DownloadCommands::DownloadCommands(CommandContext& context, Window window,
                                   FolderChooser::Browse browse, QWidget& owner)
    : m_context(context),
      m_window(std::move(window)),
      m_browse(std::move(browse)),
      m_owner(owner) {}

DownloadCommand::Hooks DownloadCommands::hooks() const {
    return {m_window.recount, m_window.refreshLists};
}

FolderChooser::Browse DownloadCommands::browse() {
    return m_browse ? m_browse : FolderBrowser::forOwner(&m_owner);
}

void DownloadCommands::folderDownload() {
    if (!m_context.folderUsable()) {
        return;
    }
    CFolderDwnDlg dialog(m_context, browse(), &m_owner);
    if (dialog.exec() == QDialog::Accepted && !dialog.chosenFolder().empty()) {
        m_window.takeFolder(dialog.chosenFolder());
    }
}

void DownloadCommands::bulkDownload() {
    DownloadCommand(m_context, hooks()).run([this] {
        CDownKindSetDlg dialog(m_context, &m_owner);
        return dialog.exec() == QDialog::Accepted;
    });
}

void DownloadCommands::selectDownload() {
    DownloadCommand(m_context, hooks()).run([this] {
        CSelDownDlg dialog(m_context, &m_owner);
        return dialog.exec() == QDialog::Accepted;
    });
}

void DownloadCommands::autoDeleteSettings() {
    CSelAutoDelDlg dialog(m_context, &m_owner);
    dialog.exec();
}

bool DownloadCommands::chooseFolder() {
    LocalFileSystem files;
    FolderChooser chooser(files, m_context.ui, browse());
    const std::string start = FolderChooser::startFolder(m_context.doc, UserFolders());
    return chooser.chooseDownloadFolder(m_context.doc, start) == FolderChooser::kChosen;
}

void DownloadCommands::wizard() {
    DownloadWizard::Pages pages;
    pages.logIn = m_window.logIn;
    pages.chooseFolder = [this] { return chooseFolder(); };
    pages.folderPage = [this] {
        CFolderDwnWDlg page(m_context, browse(), &m_owner);
        return page.exec() == QDialog::Accepted && page.downloaded();
    };
    pages.takeFolder = [this] { m_window.takeFolder(m_context.storeFolder().string()); };
    pages.wayPage = [this] {
        CDownKindSetWDlg page(&m_owner);
        return page.exec();
    };
    pages.bulkDialog = [this] {
        CDownKindSetDlg dialog(m_context, &m_owner);
        return dialog.exec() == QDialog::Accepted;
    };
    pages.chosenDialog = [this] {
        CSelDownDlg dialog(m_context, &m_owner);
        return dialog.exec() == QDialog::Accepted;
    };
    DownloadWizard(m_context, hooks(), std::move(pages)).run();
}

}  // namespace orven::ui
