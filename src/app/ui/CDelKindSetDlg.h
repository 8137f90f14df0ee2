#pragma once

#include "app/DeletionKind.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "platform/Ui.h"

namespace orven::ui {

// Chooses what a message deletion removes. Closes with a DeletionKind as its result once the
// user confirmed a kind; cancelling or closing gives DeletionKind::Cancel.
class CDelKindSetDlg : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CDelKindSetDlg(Ui& ui, QWidget* parent = nullptr);

  public slots:
    void reject() override;

  private:
    void onKind(DeletionKind kind);

    Ui& m_ui;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
