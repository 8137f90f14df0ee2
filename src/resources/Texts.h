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
inline constexpr std::string_view kEndWithBackup = "ﾊﾞｯｸｱｯﾌﾟを実行して終了";

// PC volume dialog.
inline constexpr std::string_view kVolumeTitle = "パソコンの音量調整";
inline constexpr std::string_view kVolumeOff = "音量調整しない";
inline constexpr std::string_view kVolumeOn = "音量調整する";
inline constexpr std::string_view kVolumeMute = "ミュート";
inline constexpr std::string_view kVolumeCannotSet =
    "設定できません。\nPCのサウンドデバイスを有効にしてください。";

// ---- Box downloads and the folder download (front ends and orven-cli) ----
inline constexpr std::string_view kDownloadDoneTitle = "ダウンロード完了";
inline constexpr std::string_view kCommunicationError = "通信エラーが発生しました。";
inline constexpr std::string_view kDownloadPartlyMissing =
    "一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。";
inline constexpr std::string_view kDownloadPartlyNoSpace =
    "一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。";
inline constexpr std::string_view kAutoDeleteUnsupported =
    "主装置が音声ファイルの自動消去に対応\nしていません。\n「ダウンロード時に主装置の音声ファイル\n"
    "を自動消去する」機能を解除します。";
inline constexpr std::string_view kDownloadAlreadyErased = "音声ファイルはすでに消去されています。";
inline constexpr std::string_view kDownloadNoSpace = "ＰＣのメモリ不足です。";
inline constexpr std::string_view kProgressDownloadingFolders = "フォルダをダウンロード中です。";
inline constexpr std::string_view kFolderDownloadDone =
    "フォルダのダウンロードが正常に完了しました。";
// A download that had to stop because the PC could not keep what came.
inline constexpr std::string_view kDownloadLocalFailure =
    "ダウンロード先フォルダに保存できなかったため、\nダウンロードを中止しました。\n"
    "フォルダの場所と空き容量を確認してください。";
// The deletion after download kept the boxes below on the main unit; the box lines follow.
inline constexpr std::string_view kAutoDeleteHeldBack =
    "パソコンに保存できていないメッセージがあるため、\n"
    "次のBOXでは主装置のメッセージを自動消去しませんでした。\n"
    "次回のダウンロードですべて保存できた後に消去します。";
inline constexpr std::string_view kAnsweringBoxLabel = "留守録BOX ";
inline constexpr std::string_view kExtensionBoxLabel = "内線BOX ";
// ---- end of box downloads and the folder download ----

// ---- Upload of system response messages and the backup record ----
inline constexpr std::string_view kUploadNoneSelected = "選択されていません。";
inline constexpr std::string_view kUploadPartly =
    "一部のファイルをアップロード\nできませんでした。";
inline constexpr std::string_view kUploadDone = "アップロードが完了しました。";
inline constexpr std::string_view kUploadDoneTitle = "アップロード完了";
inline constexpr std::string_view kUploadRefused =
    "メッセージを使用中か主装置の容量不足\nもしくはアップロードするメッセージが古いため、\n"
    "アップロードできませんでした。";
inline constexpr std::string_view kBackupRecordComplete = "完了";
inline constexpr std::string_view kBackupRecordIncomplete = "未完";
// ---- end of the upload and backup record block ----

// ---- Main window and start-up (build-shell) ----
inline constexpr std::string_view kMainWindowTitle = "Quシリーズ 音声ファイル管理";
inline constexpr std::string_view kAlreadyRunning =
    "Quシリーズ音声ファイル管理はすでに起動しています。";
inline constexpr std::string_view kNoticeTitle = "お知らせ";
inline constexpr std::string_view kAlwaysFolderNotice =
    "Version3.0.0."
    "0から常時ダウンロード先フォルダの設定が追加されました。\n常時ダウンロードを使用する場合は、設"
    "定を行ってください。";
inline constexpr std::string_view kManualPath = "MANUAL/PELDOR-MANUAL.pdf";
inline constexpr std::string_view kManualNotFound =
    "取扱説明書ファイルが見つかりません。\n取扱説明書のインストール先フォルダを確認してください。";
inline constexpr std::string_view kManualCannotOpen =
    "PDFファイルが開けません。\nコントロールパネルの「規定のプログラム」設定を確認してください。";
inline constexpr std::string_view kUpdateTitle = "アップデート";
inline constexpr std::string_view kUpdateNotAvailable =
    "このバージョンにはソフトウェアの更新確認の機能がありません。";
inline constexpr std::string_view kAboutTitle = "バージョン情報";
inline constexpr std::string_view kAboutText = "Quシリーズ 音声ファイル管理\nVersion 3.0.0";
// Dialog bar.
inline constexpr std::string_view kButtonFolderDownload = "ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ";
inline constexpr std::string_view kButtonBulkDownload = "一括ﾀﾞｳﾝﾛｰﾄﾞ";
inline constexpr std::string_view kButtonSelectDownload = "選択ﾀﾞｳﾝﾛｰﾄﾞ";
inline constexpr std::string_view kButtonVoiceDownload = "音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ";
inline constexpr std::string_view kButtonSettings = "設定";
inline constexpr std::string_view kButtonWindow = "ウィンドウ";
inline constexpr std::string_view kButtonHelp = "ヘルプ";
inline constexpr std::string_view kButtonFolderName = "フォルダ名";
inline constexpr std::string_view kButtonBox = "ボックス";
inline constexpr std::string_view kButtonSelectShow = "選択表示";
inline constexpr std::string_view kButtonShowAll = "全表示";
inline constexpr std::string_view kButtonNotDownloaded = "未ﾀﾞｳﾝﾛｰﾄﾞ表示";
inline constexpr std::string_view kButtonSaveElsewhere = "別フォルダ保存";
inline constexpr std::string_view kButtonPlay = "再生";
inline constexpr std::string_view kButtonErase = "消去";
inline constexpr std::string_view kButtonMoveCopy = "移動・コピー";
inline constexpr std::string_view kButtonUpload = "アップロード";
inline constexpr std::string_view kButtonAdd = "追加";
// Settings, window and help menus.
inline constexpr std::string_view kMenuLogIn = "ログイン...";
inline constexpr std::string_view kMenuLogOut = "ログアウト";
inline constexpr std::string_view kMenuStartupFolder = "起動時のフォルダを指定する...";
inline constexpr std::string_view kMenuWizard = "初期ダウンロードウィザード...";
inline constexpr std::string_view kMenuAutoDelete =
    "ダウンロード時に主装置の音声ファイルを自動消去する...";
inline constexpr std::string_view kMenuAlwaysSettings = "常時ダウンロードの設定をする...";
inline constexpr std::string_view kMenuVolume = "パソコンの音量を調整する...";
inline constexpr std::string_view kMenuMoveData = "ダウンロード先フォルダからデータを移す...";
inline constexpr std::string_view kMenuColumns = "録音情報一覧の表示項目の追加と消去...";
inline constexpr std::string_view kMenuEditInfo = "録音情報を編集する...";
inline constexpr std::string_view kMenuBoxNames = "ボックス名称を編集する...";
inline constexpr std::string_view kMenuMakeBoxFolder = "ボックスフォルダを作成する...";
inline constexpr std::string_view kMenuRenameBoxFolder = "ボックスフォルダ名称を変更する...";
inline constexpr std::string_view kMenuExport = "一覧表をエクスポートする...";
inline constexpr std::string_view kMenuImport = "内線ボックス名称をインポートする...";
inline constexpr std::string_view kMenuBackupSettings = "自動バックアップの設定をする...";
inline constexpr std::string_view kMenuTile = "並べて表示";
inline constexpr std::string_view kMenuTileRows = "上下に並べて表示";
inline constexpr std::string_view kMenuTileColumns = "左右に並べて表示";
inline constexpr std::string_view kMenuCascade = "重ねて表示";
inline constexpr std::string_view kMenuManual = "取扱説明書を開く";
inline constexpr std::string_view kMenuUpdate = "アップデート";
inline constexpr std::string_view kMenuAbout = "バージョン情報";
inline constexpr std::string_view kMenuDialogueLog = "通信ログを開く";
inline constexpr std::string_view kDialogueLogCannotOpen =
    "通信ログを開けませんでした。\nテキストファイルを開くアプリケーションを確認してください。";
// ---- end of main window and start-up ----

// ---- folder selection ----
inline constexpr std::string_view kChooseDownloadFolderTitle =
    "\nダウンロード先のフォルダを作成してください。";
inline constexpr std::string_view kChooseSaveFolderTitle = "\n保存するフォルダを指定してください。";
inline constexpr std::string_view kNetworkDriveWarning =
    "指定のフォルダは、ネットワークドライブのフォルダですが、\nよろしいですか？\n\n"
    "ネットワークドライブのフォルダを指定した場合は、ネットワーク\n"
    "環境によって、指定したフォルダが見られなくなる場合があります。\n"
    "ローカルドライブのフォルダ指定を推奨します。";
inline constexpr std::string_view kNetworkDriveTitle = "ドライブの確認";
inline constexpr std::string_view kFolderSetTitle = "起動時のフォルダ指定";
inline constexpr std::string_view kFolderSetLast = "起動時に前回のフォルダを開く";
inline constexpr std::string_view kFolderSetSpecified = "起動時に指定のフォルダを開く";
inline constexpr std::string_view kFolderSetButton = "設定";
inline constexpr std::string_view kFolderSetInputError = "入力値エラーです。";
inline constexpr std::string_view kFolderColumnName = "フォルダ名";
inline constexpr std::string_view kFolderColumnPath = "パス名";
// ---- end of folder selection ----

// ---- start-up folder and volume dialogs (shell) ----
inline constexpr std::string_view kFolderSetBrowse = "参照...";
inline constexpr std::string_view kVolumeNote =
    "※ここで設定した音量とミュートは、本アプリケーションの\n"
    "　起動中のみ有効です。終了時にパソコンの音量とミュートは\n"
    "　元に戻り、次回の起動時に再び設定されます。";
// ---- end of start-up folder and volume dialogs ----

// ---- The download road in the window: download choice, folder download, deletion ----
inline constexpr std::string_view kDownloadConfirm = "%sにダウンロードします。\nよろしいですか？";
inline constexpr std::string_view kDownloadConfirmTitle = "ダウンロード確認画面";
inline constexpr std::string_view kDownloadDone = "ファイルのダウンロードが正常に完了しました。";
inline constexpr std::string_view kNoBoxFolders =
    "フォルダにボックス情報がありません。\n確認ください。";
inline constexpr std::string_view kNothingChosen = "選択されていません。";
inline constexpr std::string_view kNoVoiceMessages = "音声メッセージがありません。";
// Download kind.
inline constexpr std::string_view kDownKindTitle = "ダウンロード種別";
inline constexpr std::string_view kDownKindLead = "主装置の音声メッセージをダウンロードします。";
inline constexpr std::string_view kDownKindAsk = "ダウンロード種別を選択してください。";
inline constexpr std::string_view kKindInfoAndVoice = "録音情報と音声ファイル";
inline constexpr std::string_view kKindInfoOnly = "録音情報のみ";
inline constexpr std::string_view kDownWayTitle = "音声メッセージダウンロード方法選択";
inline constexpr std::string_view kDownWayAsk =
    "一括ダウンロードか選択ダウンロードかを選択してください。";
inline constexpr std::string_view kDownWayBulk = "一括ダウンロード";
inline constexpr std::string_view kDownWayChosen = "選択ダウンロード";
// Box choice lists.
inline constexpr std::string_view kSelDownTitle = "ボックス/システム応答メッセージ選択";
inline constexpr std::string_view kButtonResponses = "システム応答メッセージ";
inline constexpr std::string_view kButtonCheckAll = "全選択";
inline constexpr std::string_view kButtonCheckNone = "全未選択";
inline constexpr std::string_view kAnsweringBoxes = "留守録BOX";
inline constexpr std::string_view kExtensionBoxes = "内線BOX";
inline constexpr std::string_view kColumnChoice = "選択";
inline constexpr std::string_view kColumnBoxNumber = "     BOX番号     ";
inline constexpr std::string_view kDownloadFolderLabel = "ダウンロード先フォルダ";
// Deletion after download.
inline constexpr std::string_view kAutoDeleteTitle =
    "ダウンロード時に主装置の音声ファイルを自動消去する";
inline constexpr std::string_view kAutoDeleteConfirm =
    "ダウンロード時に主装置の音声ファイルを自動消去します。よろしいですか？";
inline constexpr std::string_view kAutoDeleteConfirmTitle = "自動消去の確認";
// Deletion kind of messages.
inline constexpr std::string_view kDelKindTitle = "音声メッセージ消去";
inline constexpr std::string_view kDelKindLead = "選択した音声メッセージを消去します。";
inline constexpr std::string_view kDelKindAsk = "消去種別を選択してください。";
inline constexpr std::string_view kDelKindMainUnit = "主装置のみ";
inline constexpr std::string_view kDelKindBoth = "主装置とＰＣ";
inline constexpr std::string_view kDelKindPc = "ＰＣのみ";
inline constexpr std::string_view kEraseConfirm = "消去します。よろしいですか？";
inline constexpr std::string_view kEraseConfirmTitle = "消去の確認";
// Download folders: the folder download, deletion and restore.
inline constexpr std::string_view kFolderDownloadTitle = "フォルダのダウンロード";
inline constexpr std::string_view kFolderPageTitle = "フォルダの指定";
inline constexpr std::string_view kFolderPageIntoStore =
    "以下フォルダに音声メッセージをダウンロードします。よろしいですか？";
inline constexpr std::string_view kFolderPageMakeFolders =
    "以下にフォルダをダウンロードします。よろしいですか？";
inline constexpr std::string_view kButtonFolderChange = "フォルダ変更";
inline constexpr std::string_view kButtonNewFolder = "新規作成...";
inline constexpr std::string_view kButtonDownloadFolders = "フォルダのダウンロード";
inline constexpr std::string_view kButtonHoldFolder = "一時削除";
inline constexpr std::string_view kButtonDeleteFolder = "削除";
inline constexpr std::string_view kButtonRestoreFolders = "復活...";
inline constexpr std::string_view kHoldConfirm =
    "一時削除します。\nフォルダおよびフォルダ内のファイルは\n復活可能です。よろしいですか？";
inline constexpr std::string_view kHoldConfirmTitle = "一時削除の確認";
inline constexpr std::string_view kDeleteConfirm =
    "削除の確認を致します。\nフォルダおよびフォルダ内のファイルは\n復活できなくなります。"
    "よろしいですか？";
inline constexpr std::string_view kDeleteConfirmTitle = "削除の確認";
inline constexpr std::string_view kDeleteReconfirm = "削除します。よろしいですか？";
inline constexpr std::string_view kDeleteReconfirmTitle = "削除の再確認";
inline constexpr std::string_view kSomeFilesNotDeleted = "一部のファイルが削除できませんでした。";
inline constexpr std::string_view kProgressDeletingFolder = "フォルダを削除中です。";
inline constexpr std::string_view kRestoreTitle = "復活フォルダの選択";
// A restore whose folder has been made again meanwhile, or whose holding copy is gone.
inline constexpr std::string_view kRestoreFailed =
    "一部のフォルダが復活できませんでした。\n復活先に同じ名前のフォルダがないか確認してください。";
// Moving a full store into a dated folder.
inline constexpr std::string_view kConfirmTitle = "確認";
inline constexpr std::string_view kDoneTitle = "完了";
inline constexpr std::string_view kRollOverOffer =
    "ファイルのダウンロードが正常に完了しましたが、\nフォルダ内のメッセージ件数が20000件を超えまし"
    "た。\n"
    "このままでも操作は可能ですが、新しいフォルダでの運用をお勧めします。\n"
    "現在のダウンロード先フォルダのすべての音声メッセージを\n%sフォルダを作成し移動します。"
    "よろしいですか？";
inline constexpr std::string_view kMovedToDlFolder =
    "ダウンロード先フォルダのすべての音声メッセージは、\n%sフォルダに移動しました。";
inline constexpr std::string_view kFolderMoveFailed = "フォルダが移動できませんでした。";
// The first-download wizard.
inline constexpr std::string_view kWizardEndTitle = "ウィザード終了画面";
inline constexpr std::string_view kWizardEnd =
    "　ウィザードを終了しました。\n　現在ログイン状態です。\n　ログインを継続しますか？";
// ---- end of the download road ----

}  // namespace orven::text
