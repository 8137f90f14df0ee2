#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

class QHBoxLayout;
class QTreeWidget;

namespace orven::ui {

// Lists the download folders (stores) of the data folder by name and path; OK hands back the
// selected folder's path, "参照..." one chosen anywhere with the folder browser (the only way
// while no data folder is set).
class CFolderSetSubDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // Chooses a folder with the folder browser over `owner`; nullopt when none was chosen.
    using Browse = std::function<std::optional<std::string>(QWidget* owner)>;

    // An empty browse leaves "参照..." out.
    explicit CFolderSetSubDlg(const std::string& dataFolder, Browse browse = {},
                              QWidget* parent = nullptr);

    // The selected folder's path after OK; empty when nothing was selected.
    std::string chosenFolder() const { return m_chosen; }

  private:
    QHBoxLayout* buildButtons();
    void fill(const std::string& dataFolder);
    void onOk();
    void onBrowse();

    QTreeWidget* m_list;
    Browse m_browse;
    std::string m_chosen;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
