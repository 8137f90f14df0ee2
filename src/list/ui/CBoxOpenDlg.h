#pragma once

#include <QList>

#include "app/CommandContext.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "list/BoxChoice.h"

class QGroupBox;
class QHBoxLayout;
class QRadioButton;

namespace orven::ui {

class CCheckListCtrl;

// "ボックス/システム応答メッセージを開く": chooses what a new list window shows, the boxes
// checked in the two lists or the system response messages of the current download folder.
// Accepted once the next list-window slot is written; the caller then opens the window.
class CBoxOpenDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // openWindows: the list windows open now.
    CBoxOpenDlg(CommandContext& context, int openWindows, QWidget* parent = nullptr);

    // Rejected at once when there is nothing to choose from (said so when there are no box
    // folders).
    int exec() override;

  private:
    struct ListNames;

    QGroupBox* buildList(const ListNames& names, CCheckListCtrl*& control);
    QHBoxLayout* buildChoice();
    QHBoxLayout* buildButtons();
    void showRows();
    void onKind();
    void onOpen();

    BoxChoice m_choice;
    CCheckListCtrl* m_answering = nullptr;
    CCheckListCtrl* m_extension = nullptr;
    QList<QWidget*> m_boxControls;  // the lists and their all/none buttons
    QRadioButton* m_boxesRadio = nullptr;
    QRadioButton* m_responsesRadio = nullptr;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
