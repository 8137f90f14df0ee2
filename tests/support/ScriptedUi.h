#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Ui.h"

namespace orven::test {

enum class BoxKind { Message, Custom };

// A box as it was shown, with the answer it got.
struct ShownBox {
    BoxKind kind = BoxKind::Message;
    std::string title;
    std::string text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;  // message boxes
    int buttonSet = 0;              // custom boxes
    bool closable = true;           // custom boxes
    int answer = IdCancel;
};

struct ProgressRecord {
    std::string title;
    std::string text;                // as opened
    std::vector<std::string> texts;  // every setText
    std::vector<int> percents;       // every setPercent, clamped
    std::vector<std::pair<int, int>> counters;
    bool hasCancel = false;
    bool cancelled = false;  // the script set the cancel flag
    bool closed = false;     // close() called or the dialog destroyed
};

// A Ui for tests: boxes are answered from a queue of expectations, in order, and everything
// shown is recorded. A box nobody expected, or one whose kind or text differs from the next
// expectation, fails the test and gets a cancel answer (IdCancel, which is also
// CustomBox::Closed). Expectations never shown fail the test at verifyAllAnswered() or at
// destruction. Used from one thread; progress dialogs must not outlive it.
class ScriptedUi : public Ui {
  public:
    class Expectation {
      public:
        // Optional checks besides the text.
        Expectation& title(std::string title);
        Expectation& icon(Icon icon);
        Expectation& buttons(Buttons buttons);
        Expectation& buttonSet(int buttonSet);

      private:
        friend class ScriptedUi;
        BoxKind m_kind = BoxKind::Message;
        std::string m_text;
        int m_answer = IdCancel;
        std::optional<std::string> m_title;
        std::optional<Icon> m_icon;
        std::optional<Buttons> m_buttons;
        std::optional<int> m_buttonSet;
    };

    ~ScriptedUi() override;

    Expectation& expectMessage(std::string text, int answer);
    Expectation& expectCustom(std::string text, int answer);
    void verifyAllAnswered();

    // Sets the cancel flag of a progress dialog once its percent reaches `percent`, or once
    // setPercent has been called `calls` times. `dialog` counts opened dialogs from 0; without
    // it the first dialog with a Cancel button that gets there is cancelled. Fires once.
    void cancelProgressAtPercent(int percent, std::optional<int> dialog = std::nullopt);
    void cancelProgressAfterPercentCalls(int calls, std::optional<int> dialog = std::nullopt);

    const std::vector<ShownBox>& boxes() const { return m_boxes; }
    const std::deque<ProgressRecord>& progresses() const { return m_progresses; }
    int pumpCount() const { return m_pumpCount; }

    void pump() override { ++m_pumpCount; }
    int messageBox(const std::string& text, const std::string& title, Buttons buttons,
                   Icon icon) override;
    int customBox(const CustomBox& box) override;
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& text,
                                           std::atomic<int>* cancelFlag) override;

  private:
    class ScriptedProgress;
    struct CancelPlan {
        std::optional<int> atPercent;
        std::optional<int> afterCalls;
        std::optional<int> dialog;
    };

    Expectation& expect(BoxKind kind, std::string text, int answer);
    int answer(ShownBox box);
    void checkDetails(const Expectation& expected, const ShownBox& shown) const;
    void onPercent(std::size_t dialog, std::atomic<int>* cancelFlag);

    std::deque<Expectation> m_expected;
    std::vector<ShownBox> m_boxes;
    std::deque<ProgressRecord> m_progresses;
    std::optional<CancelPlan> m_cancelPlan;
    int m_pumpCount = 0;
};

}  // namespace orven::test
