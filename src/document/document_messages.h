#pragma once
// The texts the document shows and asks, exactly as the user sees them.

namespace almx::doc_messages {

inline constexpr const char* kNewAskHolidays = "ファイルを新規作成します。祝日を設定しますか？";
inline constexpr const char* kTemplateUnreadable = "holiday.alx を読み込めません";
inline constexpr const char* kNewHint =
    "ファイル新規作成ではなく、今までのファイルを参照したい場合にはファイルメニューから選んでくだ"
    "さい";
inline constexpr const char* kTemplateName = "holiday.alx";

inline constexpr const char* kCannotOpen = "ファイルを開けません。";
inline constexpr const char* kCannotOpenImport = "ファイルを開けません";
inline constexpr const char* kNotReadToEnd = "データを最後まで読み込めません";
// Pasted text the schedule file cannot hold: prefix, count, suffix.
inline constexpr const char* kPasteReplacedPrefix = "Shift_JISで保存できない文字 ";
inline constexpr const char* kPasteReplacedSuffix = " 文字を「?」に置き換えました";
// Lines that are no well-formed row (a record broken by a raw line feed): prefix, count,
// suffix.
inline constexpr const char* kMalformedRowsPrefix = "正しい形式でない行が ";
inline constexpr const char* kMalformedRowsSuffix =
    " 行ありました。改行で分かれた行などは読み込んでいません";
inline constexpr const char* kFtpSettingsUnreadable =
    "ftp設定ファイルを読み込めません。ftp設定は初期値になります";
inline constexpr const char* kFtpSettingsNotWritten = "ftp設定ファイルを書き込めません";
inline constexpr const char* kNotOurFormat = "Almanixのデータ形式ではありません";
inline constexpr const char* kBackupFailed =
    "バックアップが失敗しました。手動でバックアップを取ってください。";
// A file opened with bytes that could not be read: the text, then the copy's path.
inline constexpr const char* kUntouchedCopy =
    "このファイルには読み込めないデータがありました。保存するとその部分は失われるため、元のファイ"
    "ルをそのまま次の名前で残しました：\n";
inline constexpr const char* kPasswordPrompt =
    "このファイルはパスワードで保護されています。パスワードを入力してください。";
inline constexpr const char* kWrongPassword = "パスワードが違います!";
inline constexpr const char* kReadOnlyAttribute =
    "このファイルは読み取り専用属性です。読み取り専用モードで開きます。";
inline constexpr const char* kInUse = "このファイルは使用中です。読み取り専用モードで開きます。";
// A lock file left by a program of ours that has ended: prefix, the time it was taken, suffix.
inline constexpr const char* kAbandonedLockPrefix = "このファイルのロックファイル（";
inline constexpr const char* kAbandonedLockSuffix =
    "）は、このコンピュータで既に終了したAlmanixが残したものです。\nロックファイルを削除して、"
    "編集できる状態で開きますか？\n（「いいえ」を選ぶと読み取り専用で開きます）";
inline constexpr const char* kReadOnlyHelp =
    "読み取り専用についてよくわからない場合、心当たりがない場合にはヘルプボタンを押してください。";

inline constexpr const char* kSaveReadOnly = "読み取り専用です。保存できません。";
inline constexpr const char* kCannotWrite = "書き込みファイルが開けません";
inline constexpr const char* kSaveCaption = "名前を付けて保存";
inline constexpr const char* kFileFilter = "Almanixﾌｧｲﾙ(*.alx) |*.alx||";

inline constexpr const char* kCloseWithSnooze =
    "後で確認するスケジュールがあります。Almanixを閉じると後で確認できませんがよろしいですか？";

inline constexpr const char* kRepeatDeleteCaption = "繰り返しスケジュールの削除";
inline constexpr const char* kRepeatDeleteQuestion =
    "このスケジュールは繰り返しスケジュールです。全て削除しますか？";
inline constexpr const char* kDeleteThisDay = "この日のみ削除(&T)";
inline constexpr const char* kDeleteAll = "全ての予定を削除(&A)";
inline constexpr const char* kCancelButton = "キャンセル";
inline constexpr const char* kDeleteQuestionSuffix = " を削除しますか？";
inline constexpr const char* kDeleteLinkPrefix = "リンクファイル ";
inline constexpr const char* kDeleteLinkSuffix = " があります。このファイルも削除しますか？";
inline constexpr const char* kCannotDeleteComputed =
    "このスケジュールは削除できません。振り替え休日の場合、[オプション]-[その他の設定]で自動表示の"
    "チェックを外してください";

inline constexpr const char* kImportCaption = "取り込むﾌｧｲﾙ名の入力";
inline constexpr const char* kImportOldLayout =
    "旧形式データです。いったんこのファイルを読み込んで保存し、新形式に変更してください";
inline constexpr const char* kImportUndefinedGenre =
    "定義されていないジャンルを持つスケジュールがあります。\nジャンルファイルを正しいファイルに"
    "設定してください";
inline constexpr const char* kImportedCount = "%d個のデータを取り込みました";

inline constexpr const char* kOldPassword = "旧パスワードを入力してください";
inline constexpr const char* kPasswordMismatch = "パスワードが違います";
inline constexpr const char* kNewPassword = "新パスワードを入力してください";
inline constexpr const char* kPasswordSetPrefix = "新パスワード：";
inline constexpr const char* kPasswordSetSuffix = " を設定しました。忘れずにメモしておいてください";

}  // namespace almx::doc_messages
