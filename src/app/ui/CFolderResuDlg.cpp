#include "app/ui/CFolderResuDlg.h"

#include <filesystem>

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

enum Column { ChoiceColumn, NameColumn, PathColumn };

}  // namespace

CFolderResuDlg::CFolderResuDlg(FolderDeletion& deletion, QWidget* parent)
    : OrvenDialog(parent),
      m_deletion(deletion),
      m_list(new QTreeWidget(this)),
      m_backupWatch(*this) {
    setObjectName("folderRestoreDialog");
    setWindowTitle(qs(text::kRestoreTitle));
    m_list->setObjectName("heldFolderList");
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {qs(text::kColumnChoice), qs(text::kFolderColumnName), qs(text::kFolderColumnPath)});
    m_list->header()->setSectionResizeMode(ChoiceColumn, QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(okCancelRow([this] { onOk(); }));
    fill();
}

void CFolderResuDlg::fill() {
    m_entries = m_deletion.heldFolders();
    for (const HoldingFolder::Entry& entry : m_entries) {
        const std::string name = std::filesystem::path(entry.orgPath).filename().string();
        auto* item = new QTreeWidgetItem({QString(), qs(name), qs(entry.orgPath)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ChoiceColumn, Qt::Unchecked);
        m_list->addTopLevelItem(item);
    }
}

void CFolderResuDlg::onOk() {
    std::vector<HoldingFolder::Entry> chosen;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        if (m_list->topLevelItem(row)->checkState(ChoiceColumn) == Qt::Checked) {
            chosen.push_back(m_entries[static_cast<std::size_t>(row)]);
        }
    }
    if (m_deletion.restore(chosen) == FolderDeletion::Result::Unreachable) {
        reject();
        return;
    }
    accept();
}

}  // namespace orven::ui
