#pragma once

#include "app/CommandContext.h"
#include "app/DownloadChoice.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

class QHBoxLayout;

namespace orven::ui {

class BoxCheckLists;

// Downloads the boxes checked in the two lists (the box folders of the open store), or the
// system response messages. Accepted once a download ran. With no box folders it says so
// once it is shown.
class CSelDownDlg : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CSelDownDlg(CommandContext& context, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QHBoxLayout* buildButtons();
    void onKind(DownloadChoice::Kind kind);
    void onResponses();

    DownloadChoice m_choice;
    BoxCheckLists* m_lists;
    bool m_shown = false;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
