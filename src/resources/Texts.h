#pragma once

#include <string_view>

// Every text the user sees, once, in UTF-8, character for character as the product shows it
// (full-width and half-width forms, "\n" line breaks). Grouped by where it appears.
namespace orven::text {

// Shared titles.
inline constexpr std::string_view kErrorTitle = "エラー";

// Buttons of the platform's message boxes, labelled as on a Japanese desktop.
inline constexpr std::string_view kButtonOk = "OK";
inline constexpr std::string_view kButtonCancel = "キャンセル";
inline constexpr std::string_view kButtonYesKey = "はい(&Y)";
inline constexpr std::string_view kButtonNoKey = "いいえ(&N)";
inline constexpr std::string_view kButtonRetryKey = "再試行(&R)";

// Buttons of the custom message box.
inline constexpr std::string_view kButtonYes = "はい";
inline constexpr std::string_view kButtonNo = "いいえ";
inline constexpr std::string_view kButtonNext = "次へ";
inline constexpr std::string_view kButtonDone = "完了";
inline constexpr std::string_view kButtonStayLoggedIn = "ログイン継続";
inline constexpr std::string_view kButtonLogOut = "ログアウト";
inline constexpr std::string_view kButtonEndApp = "アプリ終了";

// Folder access check.
inline constexpr std::string_view kFolderAccessRetry =
    "指定のフォルダにアクセスできませんでした。\nリトライします。よろしいですか？";

// Progress dialogs: the files counter and the titles and texts of the family.
inline constexpr std::string_view kProgressCounterFormat = "%d／%d";
inline constexpr std::string_view kProgressDeleting = "削除中";
inline constexpr std::string_view kProgressSaving = "保存中";
inline constexpr std::string_view kProgressDownloading = "ダウンロード中";
inline constexpr std::string_view kProgressDownloadingFiles = "ファイルをダウンロード中です。";
inline constexpr std::string_view kProgressMoving = "移動中";
inline constexpr std::string_view kProgressErasing = "消去中";
inline constexpr std::string_view kProgressRegistering = "登録中";
inline constexpr std::string_view kProgressRegisteringBoxNames = "BOX名称を登録中です。";
inline constexpr std::string_view kProgressBackup = "バックアップ実行中";
inline constexpr std::string_view kProgressBackupRunning = "バックアップを実行しています。";
inline constexpr std::string_view kProgressBackupRetrying = "リトライ中です。";
inline constexpr std::string_view kProgressImporting = "取り込み中";
inline constexpr std::string_view kProgressImportingVoice = "音声ファイルを読み込んでいます。";
inline constexpr std::string_view kProgressUploading = "アップロード中";
inline constexpr std::string_view kProgressUploadingResponses =
    "システム応答メッセージをアップロードしています。";
inline constexpr std::string_view kProgressRollOver =
    "常時ダウンロード先フォルダの音声メッセージを\n移動中です。";

// Log-in dialog.
inline constexpr std::string_view kLoginTitle = "ログイン";
inline constexpr std::string_view kLoginButton = "ログイン";
inline constexpr std::string_view kLoginAddressLabel = "IPアドレス";
inline constexpr std::string_view kLoginUserLabel = "ユーザー名";
inline constexpr std::string_view kLoginPasswordLabel = "パスワード";
inline constexpr std::string_view kLoginRemember = "アドレス,ユーザー名,パスワードを記憶する";
inline constexpr std::string_view kLoginEnterAddress = "ＩＰアドレスを入力してください。";
inline constexpr std::string_view kLoginEnterUser = "ユーザー名を入力してください。";
inline constexpr std::string_view kLoginEnterPassword = "パスワードを入力してください。";
inline constexpr std::string_view kInputError = "入力値エラーです。";

// Results 1 to 3 of a log-in, after the log-in and the reconnect dialogs.
inline constexpr std::string_view kLoginNoConnection =
    "接続に失敗しました。\n\n以下の原因が想定されます。\n"
    "　①IPアドレスの設定が正しくない。\n"
    "　②LANケーブルなど主装置とパソコン間の接続に問題がある。\n"
    "　③すでにログイン中のパソコンがある（ログインできるのは１台のみ）。\n"
    "それぞれを確認し、再度ログインを行ってください。";
inline constexpr std::string_view kLoginRefused = "ログインに失敗しました。";
inline constexpr std::string_view kLoginUnsupportedMainUnit =
    "この主装置には対応しておりません。\r\n対応しているアプリケーションをご使用ください。";

// Reconnect dialog.
inline constexpr std::string_view kReconnectTitle = "通信エラー";
inline constexpr std::string_view kReconnectLost = "主装置との通信が切断されました。";
inline constexpr std::string_view kReconnectAdvice = "主装置を確認後、再接続してください。";
inline constexpr std::string_view kReconnectButton = "再接続";
inline constexpr std::string_view kReconnectEndButton = "終了";

// End dialog.
inline constexpr std::string_view kEndTitle = "終了確認";
inline constexpr std::string_view kEndQuestion = "Quシリーズ音声ファイル管理を終了しますか？";
inline constexpr std::string_view kEndYes = "はい(&Y)";
inline constexpr std::string_view kEndNo = "いいえ(&N)";
inline constexpr std::string_view kEndWithBackup = "ﾊﾞｯｸｱｯﾌﾟを実行して終了";

// PC volume dialog.
inline constexpr std::string_view kVolumeTitle = "パソコンの音量調整";
inline constexpr std::string_view kVolumeOff = "音量調整しない";
inline constexpr std::string_view kVolumeOn = "音量調整する";
inline constexpr std::string_view kVolumeMute = "ミュート";
inline constexpr std::string_view kVolumeNote =
    "設定した音量とミュートは、このアプリケーションの実行中のみ有効です。\n"
    "終了時にパソコンの音量とミュートは元に戻り、次回の起動時に再び設定されます。";
inline constexpr std::string_view kVolumeCannotSet =
    "設定できません。\nPCのサウンドデバイスを有効にしてください。";

}  // namespace orven::text
