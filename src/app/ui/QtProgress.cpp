#include "app/ui/QtProgress.h"

#include "app/ui/CProgressDlg.h"
#include "app/ui/QtUi.h"

namespace orven::ui {

QtProgress::QtProgress(QtUi& ui, CProgressDlg* dialog) : m_ui(ui), m_dialog(dialog) {}

QtProgress::~QtProgress() {
    close();
}

void QtProgress::setPercent(int percent) {
    m_ui.call([&] {
        if (m_dialog) {
            m_dialog->setPercent(percent);
        }
    });
    m_ui.pump();
}

void QtProgress::setText(const std::string& text) {
    m_ui.call([&] {
        if (m_dialog) {
            m_dialog->setText(text);
        }
    });
}

void QtProgress::setCounter(int done, int total) {
    m_ui.call([&] {
        if (m_dialog) {
            m_dialog->setCounter(done, total);
        }
    });
}

void QtProgress::close() {
    m_ui.call([&] {
        if (m_dialog) {
            m_dialog->hide();
            m_dialog->deleteLater();
            m_dialog.clear();
        }
    });
}

}  // namespace orven::ui
