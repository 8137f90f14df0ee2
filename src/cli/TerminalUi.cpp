#include "cli/TerminalUi.h"

#include <cstdio>

namespace orven {

namespace {

void printBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
}

class TerminalProgress : public Progress {
  public:
    explicit TerminalProgress(std::string title) : m_title(std::move(title)) {}
    void setPercent(int percent) override {
        std::fprintf(stderr, "%s: %d%%\n", m_title.c_str(), clampPercent(percent));
    }
    void setText(const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", m_title.c_str(), text.c_str());
    }
    void setCounter(int done, int total) override {
        std::fprintf(stderr, "%s: %d/%d\n", m_title.c_str(), done, total);
    }
    void close() override {}

  private:
    std::string m_title;
};

}  // namespace

int TerminalUi::safeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return IdOk;
        case Buttons::YesNo:
            return IdNo;
        default:
            return IdCancel;
    }
}

int TerminalUi::messageBox(const std::string& text, const std::string& title, Buttons buttons,
                           Icon) {
    printBox(title, text);
    return safeAnswer(buttons);
}

int TerminalUi::customBox(const CustomBox& box) {
    printBox(box.title, box.text);
    return CustomBox::Closed;
}

std::unique_ptr<Progress> TerminalUi::openProgress(const std::string& title,
                                                   const std::string& text,
                                                   std::atomic<int>* cancelFlag) {
    // A job clears the cancel flag as it starts, just before this: a signal that came
    // earlier (during the log-in, say) must still end it.
    if (cancelFlag != nullptr && m_signalled != nullptr && m_signalled->load() != 0) {
        cancelFlag->store(1);
    }
    printBox(title, text);
    return std::make_unique<TerminalProgress>(title);
}

}  // namespace orven
