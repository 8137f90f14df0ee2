#pragma once

#include "app/CommandContext.h"
#include "app/DownloadChoice.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

namespace orven::ui {

class BoxCheckLists;

// The boxes whose messages the main unit deletes after a download: the box folders of the
// open store, checked where the switch is on. OK writes every row's switch after the
// question. With no box folders it says so once it is shown.
class CSelAutoDelDlg : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CSelAutoDelDlg(CommandContext& context, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void onOk();

    DownloadChoice m_choice;
    BoxCheckLists* m_lists;
    bool m_shown = false;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
