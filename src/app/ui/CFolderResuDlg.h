#pragma once

#include <vector>

#include "app/FolderDeletion.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "store/HoldingFolder.h"

class QTreeWidget;

namespace orven::ui {

// Lists the temporarily deleted download folders with a check box each; OK restores the
// checked ones. A failed access check while restoring closes it as cancelled.
class CFolderResuDlg : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CFolderResuDlg(FolderDeletion& deletion, QWidget* parent = nullptr);

  private:
    void fill();
    void onOk();

    FolderDeletion& m_deletion;
    QTreeWidget* m_list;
    std::vector<HoldingFolder::Entry> m_entries;  // one per row, in row order
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
