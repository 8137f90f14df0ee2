#pragma once

#include <chrono>
#include <type_traits>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven::ui {

// The Ui of the desktop program. On the GUI thread boxes are shown directly; from any other
// thread (the always-on worker) the call is handed to the GUI thread and the caller waits
// for the answer, so the GUI thread must keep running its event loop meanwhile.
class QtUi : public Ui {
  public:
    // Create on the GUI thread.
    explicit QtUi(const Timing& timing);
    ~QtUi() override;

    // Boxes and progress dialogs are centred over this window (the main window).
    void setParentWindow(QWidget* window);

    // Dispatches pending events on the GUI thread, at most once per Timing::pumpIntervalMs;
    // elsewhere it does nothing.
    void pump() override;
    int messageBox(const std::string& text, const std::string& title, Buttons buttons,
                   Icon icon) override;
    int customBox(const CustomBox& box) override;
    // Progress objects must not outlive this QtUi.
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& text,
                                           std::atomic<int>* cancelFlag) override;

    // The platform-style message box on the GUI thread, with Japanese button labels.
    // Returns a DialogResult.
    // A visible top-level window carries this title (a progress or error window is open).
    static bool windowTitled(std::string_view title);
    static int showMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                              Buttons buttons, Icon icon);

    bool onGuiThread() const;

    // Runs `work` on the GUI thread and returns its result; from another thread it waits.
    template <typename Work>
    auto call(Work work) -> decltype(work());

  private:
    QObject m_guiContext;  // lives on the GUI thread; queued calls are delivered to it
    QPointer<QWidget> m_parent;
    std::chrono::milliseconds m_pumpInterval;
    std::chrono::steady_clock::time_point m_lastPump{};
};

template <typename Work>
auto QtUi::call(Work work) -> decltype(work()) {
    if (onGuiThread()) {
        return work();
    }
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(&m_guiContext, work, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            &m_guiContext, [&] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

}  // namespace orven::ui
