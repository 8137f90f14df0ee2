#pragma once

#include "app/CommandContext.h"
#include "app/DownloadChoice.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

namespace orven::ui {

// Downloads every box of the open store and the system response messages, as information and
// voice files or as information only. Accepted once a download ran; a No to the question
// leaves the dialog open.
class CDownKindSetDlg : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CDownKindSetDlg(CommandContext& context, QWidget* parent = nullptr);

  private:
    void onKind(DownloadChoice::Kind kind);

    DownloadChoice m_choice;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
