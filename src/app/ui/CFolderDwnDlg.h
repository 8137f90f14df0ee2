#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/CommandContext.h"
#include "app/FolderChooser.h"
#include "app/FolderDeletion.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "platform/LocalFileSystem.h"

class QHBoxLayout;
class QTreeWidget;

namespace orven::ui {

// The download folders of the PC: the stores of the data folder and the open one. Builds a
// folder's box tree from the main unit, deletes a folder for good or into the holding folder,
// restores held ones, and hands back the folder chosen with OK (the window takes it into the
// document).
class CFolderDwnDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // browse: the folder browser; empty: the desktop's, over this dialog. context must
    // outlive the dialog.
    CFolderDwnDlg(CommandContext& context, FolderChooser::Browse browse, QWidget* parent = nullptr);

    // The full path of the folder chosen with OK; empty until then.
    std::string chosenFolder() const { return m_chosen; }

  private:
    QHBoxLayout* buildActions();
    // Lists the folders again, keeping the selection where it can.
    void rebuild();
    void addRow(const std::string& folder);
    bool select(const std::string& folder);
    std::string selectedFolder() const;
    // Runs work that shows its own questions with the backup watch held off, so that the
    // watch cannot close the dialog underneath it.
    void unwatched(const std::function<void()>& work);

    void onNewFolder();
    void onDownload();
    void onDelete(bool temporarily);
    void onRestore();
    void onOk();

    CommandContext& m_context;
    FolderChooser::Browse m_browse;
    LocalFileSystem m_fileSystem;
    FolderDeletion m_deletion;
    QTreeWidget* m_list;
    std::vector<std::string> m_added;  // chosen with "新規作成..." and not deleted since
    std::string m_chosen;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
