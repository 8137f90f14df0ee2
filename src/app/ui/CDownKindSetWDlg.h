#pragma once

#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

namespace orven::ui {

// The wizard's page that chooses between downloading everything and chosen boxes; it closes
// with kBulk, kChosen, or 0 (cancelled).
class CDownKindSetWDlg : public OrvenDialog {
    Q_OBJECT

  public:
    static constexpr int kBulk = 1210;
    static constexpr int kChosen = 1211;

    explicit CDownKindSetWDlg(QWidget* parent = nullptr);

  private:
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
