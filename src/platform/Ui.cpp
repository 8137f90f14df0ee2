#include "platform/Ui.h"

#include <algorithm>
#include <array>

#include "resources/Texts.h"

namespace orven {

CustomBox::ButtonTexts CustomBox::buttonTexts(int buttonSet) {
    static constexpr std::array<ButtonTexts, kButtonSetCount> kSets = {{
        {"", text::kButtonOk, ""},
        {text::kButtonOk, text::kButtonCancel, ""},
        {text::kButtonYes, text::kButtonNo, ""},
        {"", text::kButtonNext, ""},
        {"", text::kButtonDone, ""},
        {text::kButtonStayLoggedIn, text::kButtonLogOut, ""},
        {text::kButtonCancel, text::kButtonEndApp, text::kButtonOk},
        {text::kButtonCancel, "", text::kButtonOk},
    }};
    if (buttonSet < 0 || buttonSet >= kButtonSetCount) {
        return {};
    }
    return kSets[static_cast<std::size_t>(buttonSet)];
}

Progress::~Progress() = default;

int Progress::clampPercent(int percent) {
    return std::clamp(percent, 0, 100);
}

Ui::~Ui() = default;

}  // namespace orven
