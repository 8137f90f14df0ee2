#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QDialog>

#include "app/CORVENDoc.h"
#include "app/FolderAccessCheck.h"
#include "app/ui/DialogBackupWatch.h"
#include "platform/Ui.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orven::ui {

// Which folder the program opens at start: the last one, or one chosen here from the
// download folders of the data folder. A data folder that cannot be reached cancels it.
class CFolderSetDlg : public QDialog {
    Q_OBJECT

  public:
    // Picks a download folder of the data folder; nullopt when none was picked.
    using PickFolder = std::function<std::optional<std::string>(const std::string& dataFolder)>;

    // doc, check and ui must outlive the dialog. An empty pick opens CFolderSetSubDlg.
    CFolderSetDlg(CORVENDoc& doc, FolderAccessCheck& check, Ui& ui, PickFolder pick = {},
                  QWidget* parent = nullptr);

  private:
    void buildLayout();
    void fillFromRecord();
    void updateEnabled();
    bool folderUsable();
    void onSet();
    void onOk();

    CORVENDoc& m_doc;
    FolderAccessCheck& m_check;
    Ui& m_ui;
    PickFolder m_pick;
    QRadioButton* m_last;
    QRadioButton* m_specified;
    QPushButton* m_set;
    QLineEdit* m_folder;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
