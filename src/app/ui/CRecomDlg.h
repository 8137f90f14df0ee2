#pragma once

#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

namespace orven::ui {

// Tells that the connection to the main unit broke and asks whether to reconnect or end the
// program; the main window does either. exec() returns a Result.
class CRecomDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // Closed: the dialog was closed without a choice; the session stays logged out.
    enum Result { Closed = QDialog::Rejected, Reconnect = QDialog::Accepted, End = 2 };

    explicit CRecomDlg(QWidget* parent = nullptr);

  private:
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
