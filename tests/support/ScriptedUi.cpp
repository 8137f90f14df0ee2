#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace orven::test {

namespace {

const char* kindName(BoxKind kind) {
    return kind == BoxKind::Message ? "message box" : "custom box";
}

}  // namespace

// Writes into the ScriptedUi's record, which outlives the dialog.
class ScriptedUi::ScriptedProgress : public Progress {
  public:
    ScriptedProgress(ScriptedUi& ui, std::size_t index, std::atomic<int>* cancelFlag)
        : m_ui(ui), m_index(index), m_cancelFlag(cancelFlag) {}
    ~ScriptedProgress() override { record().closed = true; }

    void setPercent(int percent) override {
        record().percents.push_back(clampPercent(percent));
        m_ui.onPercent(m_index, m_cancelFlag);
    }
    void setText(const std::string& text) override { record().texts.push_back(text); }
    void setCounter(int done, int total) override { record().counters.emplace_back(done, total); }
    void close() override { record().closed = true; }

  private:
    ProgressRecord& record() { return m_ui.m_progresses[m_index]; }

    ScriptedUi& m_ui;
    std::size_t m_index;
    std::atomic<int>* m_cancelFlag;
};

ScriptedUi::Expectation& ScriptedUi::Expectation::title(std::string title) {
    m_title = std::move(title);
    return *this;
}

ScriptedUi::Expectation& ScriptedUi::Expectation::icon(Icon icon) {
    m_icon = icon;
    return *this;
}

ScriptedUi::Expectation& ScriptedUi::Expectation::buttons(Buttons buttons) {
    m_buttons = buttons;
    return *this;
}

ScriptedUi::Expectation& ScriptedUi::Expectation::buttonSet(int buttonSet) {
    m_buttonSet = buttonSet;
    return *this;
}

ScriptedUi::~ScriptedUi() {
    verifyAllAnswered();
}

ScriptedUi::Expectation& ScriptedUi::expectMessage(std::string text, int answer) {
    return expect(BoxKind::Message, std::move(text), answer);
}

ScriptedUi::Expectation& ScriptedUi::expectCustom(std::string text, int answer) {
    return expect(BoxKind::Custom, std::move(text), answer);
}

ScriptedUi::Expectation& ScriptedUi::expect(BoxKind kind, std::string text, int answer) {
    Expectation& e = m_expected.emplace_back();
    e.m_kind = kind;
    e.m_text = std::move(text);
    e.m_answer = answer;
    return e;
}

void ScriptedUi::verifyAllAnswered() {
    for (const Expectation& e : m_expected) {
        ADD_FAILURE() << "expected " << kindName(e.m_kind) << " never shown: \"" << e.m_text
                      << "\"";
    }
    m_expected.clear();
}

void ScriptedUi::cancelProgressAtPercent(int percent, std::optional<int> dialog) {
    m_cancelPlan = CancelPlan{percent, std::nullopt, dialog};
}

void ScriptedUi::cancelProgressAfterPercentCalls(int calls, std::optional<int> dialog) {
    m_cancelPlan = CancelPlan{std::nullopt, calls, dialog};
}

int ScriptedUi::messageBox(const std::string& text, const std::string& title, Buttons buttons,
                           Icon icon) {
    ShownBox box;
    box.kind = BoxKind::Message;
    box.title = title;
    box.text = text;
    box.icon = icon;
    box.buttons = buttons;
    return answer(std::move(box));
}

int ScriptedUi::customBox(const CustomBox& custom) {
    ShownBox box;
    box.kind = BoxKind::Custom;
    box.title = custom.title;
    box.text = custom.text;
    box.icon = custom.icon;
    box.buttonSet = custom.buttonSet;
    box.closable = custom.closable;
    return answer(std::move(box));
}

// A mismatched box still uses up the expectation, so one changed text gives one failure.
int ScriptedUi::answer(ShownBox box) {
    box.answer = IdCancel;
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(box.kind) << ": \"" << box.text << "\"";
    } else {
        const Expectation expected = std::move(m_expected.front());
        m_expected.pop_front();
        if (expected.m_kind != box.kind || expected.m_text != box.text) {
            ADD_FAILURE() << "expected " << kindName(expected.m_kind) << " \"" << expected.m_text
                          << "\" but shown " << kindName(box.kind) << " \"" << box.text << "\"";
        } else {
            checkDetails(expected, box);
            box.answer = expected.m_answer;
        }
    }
    m_boxes.push_back(box);
    return box.answer;
}

void ScriptedUi::checkDetails(const Expectation& expected, const ShownBox& shown) const {
    const std::string& text = shown.text;
    if (expected.m_title && *expected.m_title != shown.title) {
        ADD_FAILURE() << "box \"" << text << "\": expected title \"" << *expected.m_title
                      << "\" but shown \"" << shown.title << "\"";
    }
    if (expected.m_icon && *expected.m_icon != shown.icon) {
        ADD_FAILURE() << "box \"" << text << "\": expected icon "
                      << static_cast<int>(*expected.m_icon) << " but shown "
                      << static_cast<int>(shown.icon);
    }
    if (expected.m_buttons && *expected.m_buttons != shown.buttons) {
        ADD_FAILURE() << "box \"" << text << "\": expected buttons "
                      << static_cast<int>(*expected.m_buttons) << " but shown "
                      << static_cast<int>(shown.buttons);
    }
    if (expected.m_buttonSet && *expected.m_buttonSet != shown.buttonSet) {
        ADD_FAILURE() << "box \"" << text << "\": expected button set " << *expected.m_buttonSet
                      << " but shown " << shown.buttonSet;
    }
}

std::unique_ptr<Progress> ScriptedUi::openProgress(const std::string& title,
                                                   const std::string& text,
                                                   std::atomic<int>* cancelFlag) {
    const std::size_t index = m_progresses.size();
    ProgressRecord& record = m_progresses.emplace_back();
    record.title = title;
    record.text = text;
    record.hasCancel = cancelFlag != nullptr;
    if (!cancelFlag && m_cancelPlan && m_cancelPlan->dialog == static_cast<int>(index)) {
        ADD_FAILURE() << "progress dialog " << index << " \"" << title
                      << "\" was to be cancelled but has no Cancel button";
    }
    return std::make_unique<ScriptedProgress>(*this, index, cancelFlag);
}

void ScriptedUi::onPercent(std::size_t dialog, std::atomic<int>* cancelFlag) {
    if (!m_cancelPlan || !cancelFlag) {
        return;
    }
    const CancelPlan& plan = *m_cancelPlan;
    ProgressRecord& record = m_progresses[dialog];
    const bool thisDialog = !plan.dialog || *plan.dialog == static_cast<int>(dialog);
    const bool reached =
        (plan.atPercent && record.percents.back() >= *plan.atPercent) ||
        (plan.afterCalls && static_cast<int>(record.percents.size()) >= *plan.afterCalls);
    if (thisDialog && reached) {
        cancelFlag->store(1);
        record.cancelled = true;
        m_cancelPlan.reset();
    }
}

}  // namespace orven::test
