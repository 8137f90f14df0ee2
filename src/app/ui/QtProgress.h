#pragma once

#include <QPointer>

#include "platform/Ui.h"

namespace orven::ui {

class CProgressDlg;
class QtUi;

// A progress dialog as the jobs see it. Every call is carried out on the GUI thread; called
// there, a new percentage also lets pending events through, so the dialog's Cancel button
// works while the job runs on the same thread. Destroying it closes the dialog.
class QtProgress : public Progress {
  public:
    // Create on the GUI thread. Takes the dialog over; ui must outlive this object.
    QtProgress(QtUi& ui, CProgressDlg* dialog);
    ~QtProgress() override;
    QtProgress(const QtProgress&) = delete;
    QtProgress& operator=(const QtProgress&) = delete;

    void setPercent(int percent) override;
    void setText(const std::string& text) override;
    void setCounter(int done, int total) override;
    void close() override;

  private:
    QtUi& m_ui;
    QPointer<CProgressDlg> m_dialog;  // read and written on the GUI thread only
};

}  // namespace orven::ui
