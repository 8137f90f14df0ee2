#include "app/ui/CFolderSetSubDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/CORVENDoc.h"
#include "app/FolderChooser.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CFolderSetSubDlg::CFolderSetSubDlg(const std::string& dataFolder, Browse browse, QWidget* parent)
    : OrvenDialog(parent),
      m_list(new QTreeWidget(this)),
      m_browse(std::move(browse)),
      m_backupWatch(*this) {
    setObjectName("folderSetSubDialog");
    setWindowTitle(qs(text::kFolderSetTitle));
    m_list->setObjectName("folderList");
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({qs(text::kFolderColumnName), qs(text::kFolderColumnPath)});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buildButtons());
    fill(dataFolder);
}

QHBoxLayout* CFolderSetSubDlg::buildButtons() {
    auto* browse = makeButton(text::kFolderSetBrowse, "browseButton", [this] { onBrowse(); });
    browse->setVisible(static_cast<bool>(m_browse));
    auto* ok = makeButton(text::kButtonOk, "okButton", [this] { onOk(); });
    ok->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(browse);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}

void CFolderSetSubDlg::fill(const std::string& dataFolder) {
    const std::string base = CORVENDoc::withTrailingSlash(dataFolder);
    for (const std::string& name : FolderChooser::storeFolders(dataFolder)) {
        m_list->addTopLevelItem(new QTreeWidgetItem({qs(name), qs(base + name)}));
    }
    if (m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
}

void CFolderSetSubDlg::onOk() {
    if (const QTreeWidgetItem* item = m_list->currentItem()) {
        m_chosen = utf8(item->text(1));
    }
    accept();
}

void CFolderSetSubDlg::onBrowse() {
    if (const auto chosen = m_browse(this)) {
        m_chosen = *chosen;
        accept();
    }
}

}  // namespace orven::ui
