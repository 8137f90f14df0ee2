#pragma once

#include <string_view>

// The texts of the message list windows. Column names and cell texts are UTF-16, as the rows
// they are compared with and shown beside; texts of boxes and dialogs are UTF-8 like the rest.
namespace orven::text {

// Column names of box lists, in catalogue order.
inline constexpr std::u16string_view kListColumnFlag = u"ﾌﾗｸﾞ";
inline constexpr std::u16string_view kListColumnImport = u"取込";
inline constexpr std::u16string_view kListColumnPlayed = u"再生/未再生";
inline constexpr std::u16string_view kListColumnProtect = u"保護/非保護";
inline constexpr std::u16string_view kListColumnBoxNumber = u"BOX番号";
inline constexpr std::u16string_view kListColumnCallerNumber = u"相手番号";
inline constexpr std::u16string_view kListColumnCallerName = u"相手名称";
inline constexpr std::u16string_view kListColumnDate = u"日時";
inline constexpr std::u16string_view kListColumnLength = u"録音時間";
inline constexpr std::u16string_view kListColumnFileName = u"ファイル名";
inline constexpr std::u16string_view kListColumnBoxName = u"BOX名称";
inline constexpr std::u16string_view kListColumnTitle = u"タイトル";
inline constexpr std::u16string_view kListColumnMemo = u"メモ";
// Columns only response lists have.
inline constexpr std::u16string_view kListColumnMessageNumber = u"ﾒｯｾｰｼﾞ番号";
inline constexpr std::u16string_view kListColumnUpload = u"アップロード";
inline constexpr std::u16string_view kListColumnResponseName = u"ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ名称";
// A check box column the list control draws like ﾌﾗｸﾞ.
inline constexpr std::u16string_view kListColumnSelect = u"選択";

// Cell texts.
inline constexpr std::u16string_view kListCellFlagOn = u" 1 ";
inline constexpr std::u16string_view kListCellFlagOff = u" 0 ";
inline constexpr std::u16string_view kListCellPlayed = u"再生済";
inline constexpr std::u16string_view kListCellNotPlayed = u"未再生";
inline constexpr std::u16string_view kListCellProtected = u"保護";
inline constexpr std::u16string_view kListCellUnprotected = u"非保護";
inline constexpr std::u16string_view kListCellUploaded = u"済み";
inline constexpr std::u16string_view kListCellEmptyLength = u"--:--:--";

// The 取込 cell of each import code 0 to 3, its tooltip and its short text (CSV export).
inline constexpr std::u16string_view kListImportCells[] = {u"   0   ", u"   1   ", u"   2   ",
                                                           u"   3   "};
inline constexpr std::string_view kListImportTooltips[] = {
    "録音情報+音声データ（主装置側で未再生)を取込(ダウンロード)済",
    "録音情報+音声データ（主装置側で再生済)を取込(ダウンロード)済",
    "録音情報のみを取込(ダウンロード)済",
    "録音情報+音声データを取込(ダウンロード)後に主装置側のデータを消去済",
};
inline constexpr std::string_view kListImportShortTexts[] = {
    "情報+音声(未再生)", "情報+音声(再生済)", "情報のみ", "主装置ﾃﾞｰﾀ消去済"};

// The progress dialog of a window's first build.
inline constexpr std::string_view kListOpenTitle = "一覧表を開く";
inline constexpr std::string_view kListOpening = "一覧表を開いています。";

// Errors around the list (title kErrorTitle).
inline constexpr std::string_view kListShowFailed = "一覧表の表示に失敗しました。";
inline constexpr std::string_view kListBusy = "自動更新中は操作不可です。";
inline constexpr std::string_view kListNothingSelected = "選択されていません。";

}  // namespace orven::text
