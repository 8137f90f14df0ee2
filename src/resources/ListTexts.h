#pragma once

#include <string_view>

// The texts of opening boxes into a list window, in UTF-8, character for character as the
// product shows them. The shared titles and the box choice texts of the download dialogs
// ("全選択", the column headers, ...) are in Texts.h.
namespace orven::text {

// Box open dialog.
inline constexpr std::string_view kBoxOpenTitle = "ボックス/システム応答メッセージを開く";
inline constexpr std::string_view kBoxOpenChooseBoxes = "BOX選択";
inline constexpr std::string_view kBoxOpenButton = "開く";
inline constexpr std::string_view kListWindowLimit = "開ける一覧表が上限に達しています。";
inline constexpr std::string_view kNoBoxChosen = "BOXが選択されていません。";

// The text form of a window's box list, as the window's slot and the settings file keep it.
inline constexpr std::string_view kAnsweringGroupLabel = "留守録BOX：";
inline constexpr std::string_view kExtensionGroupLabel = "内線BOX：";
inline constexpr std::string_view kResponseList = "ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ";

}  // namespace orven::text
