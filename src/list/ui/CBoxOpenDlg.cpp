#include "list/ui/CBoxOpenDlg.h"

#include <string_view>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "list/ui/CCheckListCtrl.h"
#include "resources/ListTexts.h"
#include "resources/Texts.h"

namespace orven::ui {

struct CBoxOpenDlg::ListNames {
    BoxChoice::List list;
    std::string_view title;
    const char* box;
    const char* control;
    const char* all;
    const char* none;
};

namespace {

using List = BoxChoice::List;

}  // namespace

CBoxOpenDlg::CBoxOpenDlg(CommandContext& context, int openWindows, QWidget* parent)
    : OrvenDialog(parent), m_choice(context, openWindows), m_backupWatch(*this) {
    setObjectName("boxOpenDialog");
    setWindowTitle(qs(text::kBoxOpenTitle));
    m_choice.load();
    auto* lists = new QHBoxLayout;
    lists->addWidget(buildList({List::Answering, text::kAnsweringBoxes, "answeringBox",
                                "answeringList", "answeringAllButton", "answeringNoneButton"},
                               m_answering));
    lists->addWidget(buildList({List::Extension, text::kExtensionBoxes, "extensionBox",
                                "extensionList", "extensionAllButton", "extensionNoneButton"},
                               m_extension));
    auto* folderLabel = new QLabel(qs(text::kDownloadFolderLabel), this);
    folderLabel->setObjectName("folderLabel");
    auto* folder = new QLineEdit(qs(m_choice.downloadFolder()), this);
    folder->setObjectName("folderEdit");
    folder->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(folderLabel);
    layout->addWidget(folder);
    layout->addLayout(buildChoice());
    layout->addLayout(buildButtons());
    showRows();
}

int CBoxOpenDlg::exec() {
    if (!m_choice.offerChoice()) {
        setResult(Rejected);
        return Rejected;
    }
    return OrvenDialog::exec();
}

QGroupBox* CBoxOpenDlg::buildList(const ListNames& names, CCheckListCtrl*& control) {
    auto* box = new QGroupBox(qs(names.title), this);
    box->setObjectName(names.box);
    control = new CCheckListCtrl(box);
    control->setObjectName(names.control);
    const List list = names.list;
    connect(control, &CCheckListCtrl::checkClicked, this, [this, list](int row) {
        m_choice.toggle(list, row);
        showRows();
    });
    auto* all = makeButton(text::kButtonCheckAll, names.all, [this, list] {
        m_choice.setAll(list, true);
        showRows();
    });
    auto* none = makeButton(text::kButtonCheckNone, names.none, [this, list] {
        m_choice.setAll(list, false);
        showRows();
    });
    m_boxControls << control << all << none;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(control);
    layout->addLayout(buttons);
    return box;
}

QHBoxLayout* CBoxOpenDlg::buildChoice() {
    m_boxesRadio = new QRadioButton(qs(text::kBoxOpenChooseBoxes), this);
    m_boxesRadio->setObjectName("boxesRadio");
    m_boxesRadio->setChecked(true);
    m_responsesRadio = new QRadioButton(qs(text::kButtonResponses), this);
    m_responsesRadio->setObjectName("responsesRadio");
    m_responsesRadio->setEnabled(m_choice.responsesAllowed());
    connect(m_boxesRadio, &QRadioButton::toggled, this, [this] { onKind(); });
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_boxesRadio);
    choice->addWidget(m_responsesRadio);
    choice->addStretch();
    return choice;
}

QHBoxLayout* CBoxOpenDlg::buildButtons() {
    auto* open = makeButton(text::kBoxOpenButton, "openButton", [this] { onOpen(); });
    open->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(open);
    buttons->addWidget(cancel);
    return buttons;
}

void CBoxOpenDlg::showRows() {
    m_answering->showRows(m_choice.rows(List::Answering));
    m_extension->showRows(m_choice.rows(List::Extension));
}

void CBoxOpenDlg::onKind() {
    for (QWidget* control : m_boxControls) {
        control->setEnabled(m_boxesRadio->isChecked());
    }
}

// Every way out of "開く" closes the dialog; only a written slot accepts it.
void CBoxOpenDlg::onOpen() {
    if (m_choice.open(m_responsesRadio->isChecked()) == BoxChoice::Outcome::Opened) {
        accept();
    } else {
        reject();
    }
}

}  // namespace orven::ui
