#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/CORVENDoc.h"
#include "app/FolderAccessCheck.h"
#include "app/FolderChooser.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "platform/LocalFileSystem.h"
#include "platform/Ui.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orven::ui {

// How the start-up folder dialog chooses folders; an empty member takes the program's own.
struct FolderSetChoosers {
    // Picks a download folder of the data folder; nullopt when none was picked.
    using PickFolder = std::function<std::optional<std::string>(const std::string& dataFolder)>;

    PickFolder pick{};                 // "設定": CFolderSetSubDlg
    FolderChooser::Browse browse{};    // "参照..." of the sub dialog: FolderBrowser
    FileSystem* fileSystem = nullptr;  // tells a network folder apart: this machine's
};

// Which folder the program opens at start: the last one, or one chosen here from the
// download folders of the data folder or, with "参照...", anywhere with the folder browser.
// A data folder that cannot be reached cancels it.
class CFolderSetDlg : public OrvenDialog {
    Q_OBJECT

  public:
    using PickFolder = FolderSetChoosers::PickFolder;
    using Choosers = FolderSetChoosers;

    // doc, check, ui and the chosen file system must outlive the dialog.
    CFolderSetDlg(CORVENDoc& doc, FolderAccessCheck& check, Ui& ui, Choosers choosers = {},
                  QWidget* parent = nullptr);

  private:
    void buildLayout();
    void fillFromRecord();
    void updateEnabled();
    bool folderUsable();
    void onSet();
    void onOk();
    std::optional<std::string> browseFolder(QWidget* owner);

    CORVENDoc& m_doc;
    FolderAccessCheck& m_check;
    Ui& m_ui;
    PickFolder m_pick;
    FolderChooser::Browse m_browse;
    LocalFileSystem m_localFiles;
    FileSystem& m_files;
    QRadioButton* m_last;
    QRadioButton* m_specified;
    QPushButton* m_set;
    QLineEdit* m_folder;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
