#pragma once

#include <functional>

#include <QTimer>

class QDialog;

namespace orven::ui {

// The backup watch that every dialog of the program runs while it is open: when a scheduled
// backup comes due and the user accepts it, the dialog is cancelled so that the main window
// can run the backup once the dialog has returned. The main window installs the hooks once;
// until then (and in tests) the watch is never armed.
class DialogBackupWatch {
  public:
    struct Hooks {
        int periodMs = 10000;
        std::function<bool()> armed;            // the main window's backup-watch flag
        std::function<bool()> acceptDueBackup;  // asks when due; true = cancel the dialog
    };

    static void install(Hooks hooks);

    // Starts at once when armed; the dialog must outlive the watch.
    explicit DialogBackupWatch(QDialog& dialog);

    // Around work that must not be interrupted by the question, such as a log-in.
    void start();
    void stop();

  private:
    void onTick();

    QDialog& m_dialog;
    QTimer m_timer;
};

}  // namespace orven::ui
