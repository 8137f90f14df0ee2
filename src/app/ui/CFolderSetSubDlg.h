#pragma once

#include <string>

#include <QDialog>

#include "app/ui/DialogBackupWatch.h"

class QTreeWidget;

namespace orven::ui {

// Lists the download folders (stores) of the data folder by name and path; OK hands back the
// selected folder's path.
class CFolderSetSubDlg : public QDialog {
    Q_OBJECT

  public:
    CFolderSetSubDlg(const std::string& dataFolder, QWidget* parent = nullptr);

    // The selected folder's path after OK; empty when nothing was selected.
    std::string chosenFolder() const { return m_chosen; }

  private:
    void fill(const std::string& dataFolder);
    void onOk();

    QTreeWidget* m_list;
    std::string m_chosen;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
