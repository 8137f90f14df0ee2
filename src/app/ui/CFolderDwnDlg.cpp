#include "app/ui/CFolderDwnDlg.h"

#include <algorithm>
#include <system_error>

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/FolderDownloadCommand.h"
#include "app/ui/CFolderResuDlg.h"
#include "app/ui/FolderBrowser.h"
#include "app/ui/QtText.h"
#include "platform/UserFolders.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

bool isFolder(const std::string& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

}  // namespace

CFolderDwnDlg::CFolderDwnDlg(CommandContext& context, FolderChooser::Browse browse, QWidget* parent)
    : OrvenDialog(parent),
      m_context(context),
      m_browse(browse ? std::move(browse) : FolderBrowser::forOwner(this)),
      m_deletion(context),
      m_list(new QTreeWidget(this)),
      m_backupWatch(*this) {
    setObjectName("folderDownloadDialog");
    setWindowTitle(qs(text::kFolderDownloadTitle));
    m_list->setObjectName("folderList");
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({qs(text::kFolderColumnName), qs(text::kFolderColumnPath)});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buildActions());
    layout->addLayout(okCancelRow([this] { onOk(); }));
    rebuild();
}

QHBoxLayout* CFolderDwnDlg::buildActions() {
    auto* actions = new QHBoxLayout;
    const auto add = [this, actions](std::string_view label, const char* name, auto slot) {
        actions->addWidget(makeButton(label, name, slot));
    };
    add(text::kButtonNewFolder, "newFolderButton", [this] { onNewFolder(); });
    add(text::kButtonDownloadFolders, "downloadButton", [this] { onDownload(); });
    add(text::kButtonHoldFolder, "holdButton", [this] { onDelete(true); });
    add(text::kButtonDeleteFolder, "deleteButton", [this] { onDelete(false); });
    add(text::kButtonRestoreFolders, "restoreButton", [this] { onRestore(); });
    return actions;
}

void CFolderDwnDlg::rebuild() {
    const std::string kept = selectedFolder();
    m_list->clear();
    const std::string dataFolder = m_context.doc.dataFolder.str();
    if (!dataFolder.empty()) {
        const std::string base = CORVENDoc::withTrailingSlash(dataFolder);
        for (const std::string& name : FolderChooser::storeFolders(dataFolder)) {
            addRow(base + name);
        }
    }
    // The open store may not look like one yet (its box folders not made).
    const bool hasOpen = !dataFolder.empty() && !m_context.doc.currentFolderName.empty();
    const std::string open = hasOpen ? m_context.doc.storeFolder() : std::string();
    if (isFolder(open)) {
        addRow(open);
    }
    for (const std::string& folder : m_added) {
        addRow(folder);
    }
    if (!select(kept) && !select(open) && m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
}

void CFolderDwnDlg::addRow(const std::string& folder) {
    if (!m_list->findItems(qs(folder), Qt::MatchExactly, 1).isEmpty()) {
        return;
    }
    const FolderChooser::Split parts = FolderChooser::split(folder);
    m_list->addTopLevelItem(new QTreeWidgetItem({qs(parts.folderName), qs(parts.fullPath)}));
}

bool CFolderDwnDlg::select(const std::string& folder) {
    const QList<QTreeWidgetItem*> rows = m_list->findItems(qs(folder), Qt::MatchExactly, 1);
    if (folder.empty() || rows.isEmpty()) {
        return false;
    }
    m_list->setCurrentItem(rows.front());
    return true;
}

std::string CFolderDwnDlg::selectedFolder() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item != nullptr ? utf8(item->text(1)) : std::string();
}

void CFolderDwnDlg::unwatched(const std::function<void()>& work) {
    m_backupWatch.stop();
    work();
    m_backupWatch.start();
}

void CFolderDwnDlg::onNewFolder() {
    std::optional<std::string> chosen;
    unwatched([this, &chosen] {
        FolderChooser chooser(m_fileSystem, m_context.ui, m_browse);
        chosen = chooser.choose(std::string(text::kChooseDownloadFolderTitle),
                                FolderChooser::startFolder(m_context.doc, UserFolders()));
    });
    if (!chosen) {
        return;
    }
    const std::string folder = FolderChooser::split(*chosen).fullPath;
    if (std::find(m_added.begin(), m_added.end(), folder) == m_added.end()) {
        m_added.push_back(folder);
    }
    addRow(folder);
    select(folder);
}

void CFolderDwnDlg::onDownload() {
    const std::string folder = selectedFolder();
    if (folder.empty()) {
        return;
    }
    unwatched([this, &folder] { FolderDownloadCommand(m_context).run(folder); });
    rebuild();
}

void CFolderDwnDlg::onDelete(bool temporarily) {
    const std::string folder = selectedFolder();
    if (folder.empty()) {
        return;
    }
    FolderDeletion::Result result = FolderDeletion::Result::Declined;
    unwatched([&] {
        result = temporarily ? m_deletion.deleteTemporarily(folder)
                             : m_deletion.deletePermanently(folder);
    });
    if (result == FolderDeletion::Result::Unreachable) {
        reject();
        return;
    }
    if (result == FolderDeletion::Result::Done) {
        std::erase(m_added, folder);
    }
    rebuild();
}

void CFolderDwnDlg::onRestore() {
    unwatched([this] {
        CFolderResuDlg dialog(m_deletion, this);
        dialog.exec();
    });
    rebuild();
}

void CFolderDwnDlg::onOk() {
    const std::string folder = selectedFolder();
    if (folder.empty()) {
        return;
    }
    m_chosen = folder;
    accept();
}

}  // namespace orven::ui
