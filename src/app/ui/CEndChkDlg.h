#pragma once

#include "app/CORVENDoc.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

namespace orven::ui {

// Asks whether to end the program, optionally after a backup. The backup button is hidden
// while no backup is scheduled and disabled while there is no data folder or the program
// cannot run a backup. exec() returns a Result; Esc and closing count as No.
class CEndChkDlg : public OrvenDialog {
    Q_OBJECT

  public:
    enum Result { No = QDialog::Rejected, Yes = QDialog::Accepted, BackupAndExit = 2 };

    CEndChkDlg(const CORVENDoc& doc, bool canBackUp, QWidget* parent = nullptr);

  private:
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
