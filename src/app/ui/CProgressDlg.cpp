#include "app/ui/CProgressDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "platform/Ui.h"
#include "resources/Texts.h"

namespace orven::ui {

CProgressDlg::CProgressDlg(const std::string& title, const std::string& text,
                           std::atomic<int>* cancelFlag, QWidget* parent)
    : OrvenDialog(parent),
      m_text(new QLabel(qs(text), this)),
      m_counter(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(qs(text::kButtonCancel), this)),
      m_cancelFlag(cancelFlag) {
    setObjectName("progressDialog");
    setWindowTitle(titleText(title));
    setModal(false);
    m_text->setObjectName("textLabel");
    m_text->setTextFormat(Qt::PlainText);
    m_counter->setObjectName("counterLabel");
    m_counter->hide();
    m_bar->setObjectName("progressBar");
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(300);
    m_cancel->setObjectName("cancelButton");
    m_cancel->setVisible(cancelFlag != nullptr);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_counter);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
}

void CProgressDlg::setPercent(int percent) {
    m_bar->setValue(Progress::clampPercent(percent));
    m_bar->repaint();
}

void CProgressDlg::setText(const std::string& text) {
    m_text->setText(qs(text));
}

void CProgressDlg::setCounter(int done, int total) {
    const QByteArray format(text::kProgressCounterFormat.data(),
                            static_cast<qsizetype>(text::kProgressCounterFormat.size()));
    m_counter->setText(QString::asprintf(format.constData(), done, total));
    m_counter->show();
}

// The dialog stays up: the operation sees the flag at its next poll and closes it.
void CProgressDlg::reject() {
    if (m_cancelFlag) {
        m_cancelFlag->store(1);
    }
}

}  // namespace orven::ui
