#include "app/ui/CFolderSetDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/StartupFolderSetting.h"
#include "app/ui/CFolderSetSubDlg.h"
#include "app/ui/FolderBrowser.h"
#include "app/ui/QtText.h"
#include "platform/UserFolders.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

std::optional<std::string> pickWithSubDialog(QWidget* owner, const std::string& dataFolder,
                                             CFolderSetSubDlg::Browse browse) {
    CFolderSetSubDlg dialog(dataFolder, std::move(browse), owner);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenFolder().empty()) {
        return std::nullopt;
    }
    return dialog.chosenFolder();
}

}  // namespace

CFolderSetDlg::CFolderSetDlg(CORVENDoc& doc, FolderAccessCheck& check, Ui& ui, Choosers choosers,
                             QWidget* parent)
    : OrvenDialog(parent),
      m_doc(doc),
      m_check(check),
      m_ui(ui),
      m_pick(std::move(choosers.pick)),
      m_browse(std::move(choosers.browse)),
      m_files(choosers.fileSystem ? *choosers.fileSystem : m_localFiles),
      m_last(new QRadioButton(qs(text::kFolderSetLast), this)),
      m_specified(new QRadioButton(qs(text::kFolderSetSpecified), this)),
      m_set(makeButton(text::kFolderSetButton, "setButton", [this] { onSet(); })),
      m_folder(new QLineEdit(this)),
      m_backupWatch(*this) {
    setObjectName("folderSetDialog");
    setWindowTitle(qs(text::kFolderSetTitle));
    m_last->setObjectName("lastFolderRadio");
    m_specified->setObjectName("specifiedFolderRadio");
    m_folder->setObjectName("folderEdit");
    if (!m_pick) {
        m_pick = [this](const std::string& dataFolder) {
            return pickWithSubDialog(this, dataFolder,
                                     [this](QWidget* owner) { return browseFolder(owner); });
        };
    }
    buildLayout();
    connect(m_last, &QRadioButton::toggled, this, &CFolderSetDlg::updateEnabled);
    m_backupWatch.stop();  // the record is read without being interrupted
    fillFromRecord();
    m_backupWatch.start();
}

void CFolderSetDlg::buildLayout() {
    auto* ok = makeButton(text::kButtonOk, "okButton", [this] { onOk(); });
    ok->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });

    auto* folder = new QHBoxLayout;
    folder->addWidget(m_folder, 1);
    folder->addWidget(m_set);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_last);
    layout->addWidget(m_specified);
    layout->addLayout(folder);
    layout->addLayout(buttons);
}

void CFolderSetDlg::fillFromRecord() {
    const bool specified = m_doc.startupMode == 1;
    (specified ? m_specified : m_last)->setChecked(true);
    m_folder->setText(qs(StartupFolderSetting::shownFolder(m_doc)));
    updateEnabled();
}

void CFolderSetDlg::updateEnabled() {
    const bool specified = m_specified->isChecked();
    m_set->setEnabled(specified);
    m_folder->setEnabled(specified);
}

bool CFolderSetDlg::folderUsable() {
    if (m_check.run(m_doc.dataFolder.str(), true, FolderAccessCheck::Mode::Normal).usable) {
        return true;
    }
    reject();
    return false;
}

void CFolderSetDlg::onSet() {
    if (!folderUsable()) {
        return;
    }
    if (const auto chosen = m_pick(m_doc.dataFolder.str())) {
        m_folder->setText(qs(*chosen));
    }
}

// Any folder, with the same network warning as every folder choice; the browser starts where
// the download folder choice starts.
std::optional<std::string> CFolderSetDlg::browseFolder(QWidget* owner) {
    FolderChooser chooser(m_files, m_ui, m_browse ? m_browse : FolderBrowser::forOwner(owner));
    return chooser.choose(std::string(text::kFolderSetTitle),
                          FolderChooser::startFolder(m_doc, UserFolders()));
}

void CFolderSetDlg::onOk() {
    if (!folderUsable()) {
        return;
    }
    if (!StartupFolderSetting::apply(m_doc, m_specified->isChecked(), utf8(m_folder->text()))) {
        m_ui.messageBox(std::string(text::kFolderSetInputError), std::string(text::kErrorTitle),
                        Buttons::Ok, Icon::Exclamation);
        return;
    }
    accept();
}

}  // namespace orven::ui
