#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/Ui.h"

namespace orven {

// The Ui of the command line: nobody is there to answer, so every box is printed to standard
// error and gets its safe answer (OK when it is the only button, otherwise Cancel or No);
// progress goes to standard error as whole percents.
class TerminalUi : public Ui {
  public:
    // signalled: not 0 once a signal asked the program to end; may be null.
    explicit TerminalUi(const std::atomic<int>* signalled = nullptr) : m_signalled(signalled) {}

    void pump() override {}
    int messageBox(const std::string& text, const std::string& title, Buttons buttons,
                   Icon icon) override;
    int customBox(const CustomBox& box) override;
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& text,
                                           std::atomic<int>* cancelFlag) override;

    static int safeAnswer(Buttons buttons);

  private:
    const std::atomic<int>* m_signalled;
};

}  // namespace orven
