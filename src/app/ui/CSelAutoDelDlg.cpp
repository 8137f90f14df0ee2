#include "app/ui/CSelAutoDelDlg.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/BoxCheckList.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

CSelAutoDelDlg::CSelAutoDelDlg(CommandContext& context, QWidget* parent)
    : OrvenDialog(parent),
      m_choice(context),
      m_lists(new BoxCheckLists(this)),
      m_backupWatch(*this) {
    setObjectName("selAutoDelDialog");
    setWindowTitle(qs(text::kAutoDeleteTitle));
    m_lists->setRows(m_choice.autoDeleteRows());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lists);
    layout->addLayout(okCancelRow([this] { onOk(); }));
}

// The message goes over the open dialog, once the event loop runs.
void CSelAutoDelDlg::showEvent(QShowEvent* event) {
    OrvenDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        QTimer::singleShot(0, this, [this] { m_choice.tellWhenEmpty(m_lists->rows()); });
    }
}

void CSelAutoDelDlg::onOk() {
    if (m_choice.saveAutoDelete(m_lists->rows())) {
        accept();
    }
}

}  // namespace orven::ui
