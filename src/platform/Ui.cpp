#include "platform/Ui.h"

#include <algorithm>
#include <array>

namespace orven {

CustomBox::ButtonTexts CustomBox::buttonTexts(int buttonSet) {
    static constexpr std::array<ButtonTexts, kButtonSetCount> kSets = {{
        {"", "OK", ""},
        {"OK", "キャンセル", ""},
        {"はい", "いいえ", ""},
        {"", "次へ", ""},
        {"", "完了", ""},
        {"ログイン継続", "ログアウト", ""},
        {"キャンセル", "アプリ終了", "OK"},
        {"キャンセル", "", "OK"},
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
