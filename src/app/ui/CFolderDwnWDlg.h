#pragma once

#include <string>

#include "app/CommandContext.h"
#include "app/FolderChooser.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "platform/LocalFileSystem.h"

class QTreeWidget;

namespace orven::ui {

// The first-download wizard's folder page: shows the download folder of the document, lets
// the user choose another (which changes the document) and builds its box tree from the main
// unit on OK. The wizard holds the always-on download and tells the completion.
class CFolderDwnWDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // browse: the folder browser; empty: the desktop's, over this page. context must outlive
    // the page.
    CFolderDwnWDlg(CommandContext& context, FolderChooser::Browse browse,
                   QWidget* parent = nullptr);

    // The box tree was built: the page closed with OK.
    bool downloaded() const { return m_downloaded; }
    // The folder of the page: the document's data folder and current folder name.
    std::string chosenFolder() const;

  private:
    void showFolder();
    void onChange();
    void onOk();

    CommandContext& m_context;
    FolderChooser::Browse m_browse;
    LocalFileSystem m_fileSystem;
    QTreeWidget* m_list;
    bool m_downloaded = false;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
