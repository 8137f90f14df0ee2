#pragma once

#include <atomic>
#include <string>

#include "app/ui/OrvenDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace orven::ui {

// The modeless progress dialog that long operations drive: title, text, a bar from 0 to 100,
// an optional "done／total" counter and, with a cancel flag, a Cancel button that sets it.
// The operation polls the flag and closes the dialog itself; Esc and the close button act as
// Cancel.
class CProgressDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // A null cancelFlag means no Cancel button; the flag must outlive the dialog.
    CProgressDlg(const std::string& title, const std::string& text, std::atomic<int>* cancelFlag,
                 QWidget* parent = nullptr);

    // Values outside 0..100 are clamped.
    void setPercent(int percent);
    void setText(const std::string& text);
    // Shows the counter, hidden until first set.
    void setCounter(int done, int total);

    void reject() override;

  private:
    QLabel* m_text;
    QLabel* m_counter;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    std::atomic<int>* m_cancelFlag;
};

}  // namespace orven::ui
