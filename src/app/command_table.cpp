#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace almx {

namespace {

using O = CommandOwner;

constexpr CommandSpec kTable[] = {
    {57600, "[ﾌｧｲﾙ]新規作成(&N)", O::Application, "Ctrl+N"},
    {57601, "[ﾌｧｲﾙ]開く(&O)...", O::Application, "Ctrl+O"},
    {57602, "[ﾌｧｲﾙ]閉じる(&C)", O::Document},
    {57603, "[ﾌｧｲﾙ]上書き保存(&S)", O::Document, "Ctrl+S"},
    {57604, "[ﾌｧｲﾙ]名前を付けて保存(&A)...", O::Document},
    {32901, "[ﾌｧｲﾙ]HTML出力(&H)...", O::Document},
    {32885, "[ﾌｧｲﾙ]ファイルの取り込み(&I)...", O::Document},
    {32874, "[ﾌｧｲﾙ]テキストコピー(&T)...", O::Document},
    {32977, "[ﾌｧｲﾙ]スケジュールをメールで送信(&L)...", O::Document, "", false},
    {32970, "[ﾌｧｲﾙ]Outlook CSV形式(&U)...", O::Document, "", false},
    {32971, "[ﾌｧｲﾙ]Outlook Todo形式(&D)...", O::Document, "", false},
    {32972, "[ﾌｧｲﾙ]Outlook CSV形式の取り込み(&K)...", O::Document, "", false},
    {32973, "[ﾌｧｲﾙ]Outlook Todo CSV形式の取り込み(&J)...", O::Document, "", false},
    {32974, "[ﾌｧｲﾙ]GENIO形式でCSV出力(&G)...", O::Document, "", false},
    {32975, "[ﾌｧｲﾙ]ザウルス形式でCSV出力(&Z)...", O::Document, "", false},
    {32858, "[ﾌｧｲﾙ]パスワード設定(&W)...", O::Document},
    {57607, "[ﾌｧｲﾙ]印刷(&P)...", O::View, "Ctrl+P"},
    {57609, "[ﾌｧｲﾙ]印刷プレビュー(&V)", O::View},
    {57606, "[ﾌｧｲﾙ]プリンタの設定(&R)...", O::Application},
    {32786, "[ﾌｧｲﾙ]印刷形式(&F)...", O::View},
    {57665, "[ﾌｧｲﾙ]終了(&X)", O::Application},
    {57635, "[編集]切り取り(&T)", O::View, "Ctrl+X"},
    {57634, "[編集]コピー(&C)", O::View, "Ctrl+C"},
    {57637, "[編集]貼り付け(&P)", O::View, "Ctrl+V"},
    {32836, "[編集]連続コピー(&R)...", O::View},
    {32784, "[編集]指定日以前を削除(&B)...", O::Document},
    {32781, "[編集]スケジュールの追加(&A)...", O::View},
    {32846, "[編集]TODOの追加(&O)...", O::View},
    {32768, "[編集]編集(&E)...", O::View},
    {32782, "[編集]削除(&D)...", O::View},
    {32842, "[編集]スケジュールを一つ上へ(&U)", O::View},
    {32843, "[編集]スケジュールを一つ下へ(&N)", O::View},
    {32878, "[編集]この日の色(&L)...", O::View},
    {32879, "[編集]この日の色指定解除(&K)...", O::View},
    {32893, "[編集]指定範囲の色(&G)...", O::View},
    {32894, "[編集]指定範囲の色指定解除(&J)...", O::View},
    {32791, "[編集]日記の編集(&Y)", O::View},
    {32898, "[編集]この日の日記の削除(&Z)...", O::View},
    {32829, "[編集]リンクファイル編集(&Q)", O::View},
    {32875, "[編集]この日の予定をテキストコピー(&X)", O::View},
    {57636, "[編集]検索(&F)...", O::View, "Ctrl+F"},
    {32822, "[編集]次を検索(&S)", O::View, "F3"},
    {32823, "[編集]前を検索(&V)", O::View, "Shift+F3"},
    {32840, "[編集]複数データにジャンル設定(&M)...", O::Document},
    {32845, "[表示]整列(&S)...", O::View},
    {32776, "[表示]次の日へ(&D)", O::View},
    {32777, "[表示]前の日へ(&Y)", O::View},
    {32772, "[表示]次の週へ(&W)", O::View},
    {32773, "[表示]前の週へ(&E)", O::View},
    {32769, "[表示]次の月へ(&M)", O::View},
    {32770, "[表示]前の月へ(&R)", O::View},
    {32909, "[表示]次の年へ(&N)", O::View},
    {32910, "[表示]前の年へ(&P)", O::View},
    {32771, "[表示]指定の日付へ(&G)...", O::View},
    {32775, "[表示]今日へ移動(&T)", O::View},
    {32774, "[表示]指定日数後へ(&A)...", O::View},
    {32902, "[表示]今日から何日？(&C)...", O::View},
    {32853, "[表示]月間スケジュールへ(&O)", O::View},
    {32852, "[表示]スケジュールリストへ(&L)", O::View},
    {59392, "[表示]ツールバーの表示(&T)", O::MainFrame},
    {32877, "[表示]ツールバーのフラット表示(&F)", O::MainFrame},
    {59393, "[表示]ステータス バー(&S)", O::MainFrame},
    {32837, "[ｵﾌﾟｼｮﾝ]ジャンル設定(&G)...", O::Document},
    {32857, "[ｵﾌﾟｼｮﾝ]年月(&Y)...", O::View},
    {32785, "[ｵﾌﾟｼｮﾝ]曜日(&W)...", O::View},
    {32778, "[ｵﾌﾟｼｮﾝ]日付(&D)...", O::View},
    {32779, "[ｵﾌﾟｼｮﾝ]ｽｹｼﾞｭｰﾙ(&S)...", O::View},
    {32827, "[ｵﾌﾟｼｮﾝ]ｽｹｼﾞｭｰﾙﾘｽﾄ(&L)...", O::View},
    {32816, "[ｵﾌﾟｼｮﾝ]背景色(&B)...", O::MainFrame},
    {32892, "[ｵﾌﾟｼｮﾝ]今月以外の背景色(&O)...", O::MainFrame},
    {32881, "[ｵﾌﾟｼｮﾝ]指定した色(&C)", O::MainFrame},
    {32882, "[ｵﾌﾟｼｮﾝ]反転(&I)", O::MainFrame},
    {32883, "[ｵﾌﾟｼｮﾝ]枠のみ(&F)", O::MainFrame},
    {32817, "[ｵﾌﾟｼｮﾝ]指定した場合の選択色(&S)...", O::View},
    {32818, "[ｵﾌﾟｼｮﾝ]曜日色(&W)...", O::MainFrame},
    {32863, "[ｵﾌﾟｼｮﾝ]休日の色(&H)...", O::MainFrame},
    {32841, "[ｵﾌﾟｼｮﾝ]配色の統一(&U)", O::View},
    {32884, "[ｵﾌﾟｼｮﾝ]日付表示形式(&D)...", O::MainFrame},
    {32890, "[ｵﾌﾟｼｮﾝ]休日設定(&H)...", O::Document},
    {32859, "[ｵﾌﾟｼｮﾝ]通知の設定(&N)...", O::MainFrame},
    {32906, "[ｵﾌﾟｼｮﾝ]メール設定(&M)...", O::MainFrame},
    {32908, "[ｵﾌﾟｼｮﾝ]アラームを全てメール送信(&A)", O::MainFrame},
    {32976, "[ｵﾌﾟｼｮﾝ]テストメール送信(&T)", O::MainFrame, "", false},
    {32860, "[ｵﾌﾟｼｮﾝ]日本語IMEの自動ON(&I)", O::MainFrame},
    {32788, "[ｵﾌﾟｼｮﾝ]数字のみ(&N)", O::View},
    {32789, "[ｵﾌﾟｼｮﾝ]月を英語(&E)", O::View},
    {32820, "[ｵﾌﾟｼｮﾝ]今日に表示(&T)", O::MainFrame},
    {32821, "[ｵﾌﾟｼｮﾝ]期限日に表示(&D)", O::MainFrame},
    {32889, "[ｵﾌﾟｼｮﾝ]残り日数表示(&R)", O::View},
    {32895, "[ｵﾌﾟｼｮﾝ]ToDo日数の初期値(&I)...", O::Nobody},
    {32855, "[ｵﾌﾟｼｮﾝ]スケジュールの行折り返し(&R)", O::MainFrame},
    {32832, "[ｵﾌﾟｼｮﾝ]曜日の日本語表示(&J)", O::MainFrame},
    {32856, "[ｵﾌﾟｼｮﾝ]月曜日始まり(&M)", O::MainFrame},
    {32891, "[ｵﾌﾟｼｮﾝ]月間は6週表示(&6)", O::View},
    {32800, "[ｵﾌﾟｼｮﾝ]月間のみ(&M)", O::MainFrame},
    {32801, "[ｵﾌﾟｼｮﾝ]週間のみ(&W)", O::MainFrame},
    {32802, "[ｵﾌﾟｼｮﾝ]両方表示(&B)", O::MainFrame},
    {32899, "[ｵﾌﾟｼｮﾝ]日記ビュー(&D)", O::MainFrame},
    {32831, "[ｵﾌﾟｼｮﾝ]日記有無の表示(&D)", O::MainFrame},
    {32861, "[ｵﾌﾟｼｮﾝ]起動時に日記表示(&S)", O::MainFrame},
    {32862, "[ｵﾌﾟｼｮﾝ]日記のフォルダ(&F)...", O::Document},
    {32803, "[ｵﾌﾟｼｮﾝ]TODOの初期表示をする(&T)", O::MainFrame},
    {32828, "[ｵﾌﾟｼｮﾝ]表示しない(&H)", O::ChildFrame},
    {32824, "[ｵﾌﾟｼｮﾝ]新しいスケジュールの通知設定(&N)...", O::View, "", false},
    {32866, "[ｵﾌﾟｼｮﾝ]下部に表示(&B)", O::ChildFrame},
    {32867, "[ｵﾌﾟｼｮﾝ]右側に表示(&R)", O::ChildFrame},
    {32830, "[ｵﾌﾟｼｮﾝ]ファイル有無の表示(&F)", O::MainFrame},
    {32905, "[ｵﾌﾟｼｮﾝ]リンクファイル設定(&S)...", O::MainFrame},
    {32886, "[ｵﾌﾟｼｮﾝ]リンクファイル参照を絶対パス(&A)", O::MainFrame},
    {32806, "[ｵﾌﾟｼｮﾝ]起動時のｽｹｼﾞｭｰﾙ表示(&S)", O::MainFrame},
    {32783, "[ｳｨﾝﾄﾞｳ]月間予定表(&M)", O::MainFrame},
    {32793, "[ｳｨﾝﾄﾞｳ]週間予定表(&W)", O::MainFrame},
    {32780, "[ｳｨﾝﾄﾞｳ]ToDoリスト(&T)", O::MainFrame},
    {32897, "[ｳｨﾝﾄﾞｳ]日記ビュー(&D)", O::MainFrame},
    {32833, "[ｳｨﾝﾄﾞｳ]日記リスト(&L)...", O::Document},
    {57648, "[ｳｨﾝﾄﾞｳ]新しいウィンドウを開く(&N)", O::MainFrame},
    {57650, "[ｳｨﾝﾄﾞｳ]重ねて表示(&C)", O::MainFrame},
    {57651, "[ｳｨﾝﾄﾞｳ]上下に並べて表示(&H)", O::MainFrame},
    {57652, "[ｳｨﾝﾄﾞｳ]左右に並べて表示(&V)", O::MainFrame},
    {57649, "[ｳｨﾝﾄﾞｳ]アイコンの整列(&A)", O::MainFrame},
    {57667, "[ﾍﾙﾌﾟ]目次(&C)", O::MainFrame, "F1"},
    {32815, "[ﾍﾙﾌﾟ]キーワードで検索(&K)", O::MainFrame},
    {57668, "[ﾍﾙﾌﾟ]ヘルプの使い方(&U)", O::MainFrame},
    {32792, "[ﾍﾙﾌﾟ]Almanixのﾎｰﾑﾍﾟｰｼﾞへ(&H)", O::MainFrame},
    {32865, "[ﾍﾙﾌﾟ]Veltaサポートフォーラム(&F)", O::MainFrame},
    {34004, "[ﾍﾙﾌﾟ]Veltaのページへ(&V)", O::MainFrame},
    {34005, "[ﾍﾙﾌﾟ]Veltaのソフトのページへ(&S)", O::MainFrame},
    {57664, "[ﾍﾙﾌﾟ]バージョン情報(&A)...", O::Application},
    // Further commands with menu entries but no place in the key list. Their menu texts are
    // ours.
    {32794, "[ｳｨﾝﾄﾞｳ]メモビュー(&E)", O::MainFrame, "", false},
    {32935, "[ｳｨﾝﾄﾞｳ]検索リスト(&R)", O::MainFrame, "", false},
    {32941, "[編集]検索リストの作成(&L)...", O::Document, "", false},
    {32936, "[表示]表のフォント(&F)...", O::View, "", false},
    {32937, "[表示]並び順(&O)...", O::View, "", false},
    {32938, "[編集]検索ボックスで検索(&B)", O::View, "", false},
    {32947, "[編集]検索条件の受け取り(&G)", O::View, "", false},
    {32916, "[ﾌｧｲﾙ]Outlook形式で出力(&U)...", O::View, "", false},
    {32958, "[ﾌｧｲﾙ]iCalendar形式で出力(&I)...", O::View, "", false},
    // vCalendar and iCalendar: the day list's entry, the month's range and the imports.
    {32962, "[ﾌｧｲﾙ]iCalender形式で期間を保存(&R)...", O::View, "", false},
    {32983, "[ﾌｧｲﾙ]vCalender形式(&V)...", O::View, "", false},
    {32984, "[ﾌｧｲﾙ]vCalender形式 メール送信(&M)...", O::View, "", false},
    {32985, "[ﾌｧｲﾙ]iCalender形式で保存(&C)...", O::View, "", false},
    {32986, "[ﾌｧｲﾙ]vCalender形式のインポート(&Y)...", O::Document, "", false},
    {32987, "[ﾌｧｲﾙ]iCalender形式の取り込み(&Q)...", O::Document, "", false},
    {32949, "[ｵﾌﾟｼｮﾝ]今日の枠の色(&T)...", O::MainFrame, "", false},
    {32950, "[ｵﾌﾟｼｮﾝ]▼マークの色(&K)...", O::MainFrame, "", false},
    {32951, "[ｵﾌﾟｼｮﾝ]▼マークなし(&N)", O::MainFrame, "", false},
    {32952, "[ｵﾌﾟｼｮﾝ]▼マーク小(&S)", O::MainFrame, "", false},
    {32953, "[ｵﾌﾟｼｮﾝ]▼マーク大(&L)", O::MainFrame, "", false},
    {32946, "[ｵﾌﾟｼｮﾝ]日記マークの設定(&M)...", O::MainFrame, "", false},
    {32911, "[ｵﾌﾟｼｮﾝ]キーカスタマイズ(&K)...", O::MainFrame, "", false},
    {32913, "[ｵﾌﾟｼｮﾝ]その他の設定(&O)...", O::MainFrame, "", false},
    {32957, "[ｳｨﾝﾄﾞｳ]指定のビュー(&V)", O::MainFrame, "", false},
    // The month view's own settings and the day picture.
    {32790, "[ｵﾌﾟｼｮﾝ]年月を漢字(&K)", O::View, "", false},
    {32921, "[ｵﾌﾟｼｮﾝ]時刻をスケジュールごとに表示(&P)", O::View, "", false},
    {32922, "[ｵﾌﾟｼｮﾝ]開始と終了の時刻を表示(&B)", O::View, "", false},
    {32923, "[ｵﾌﾟｼｮﾝ]開始時刻のみ表示(&S)", O::View, "", false},
    {32924, "[ｵﾌﾟｼｮﾝ]終了時刻のみ表示(&E)", O::View, "", false},
    {32925, "[ｵﾌﾟｼｮﾝ]時刻を表示しない(&N)", O::View, "", false},
    {32926, "[ｵﾌﾟｼｮﾝ]他の月の日の色を残す(&O)", O::View, "", false},
    {32964, "[ｵﾌﾟｼｮﾝ]月間表示の週数(&W)...", O::View, "", false},
    {32966, "[編集]この日の画像の指定(&I)...", O::View, "", false},
    // Publishing: the HTML options, the upload and its settings, the month as HTML.
    {32981, "[ﾌｧｲﾙ]HTML出力オプション(&L)...", O::Document, "", false},
    {32904, "[ﾌｧｲﾙ]ftp転送(&F)...", O::View, "", false},
    {32980, "[ﾌｧｲﾙ]ftp設定(&G)...", O::Document, "", false},
    {32961, "[編集]現在の表示月をコピー(&H)", O::View, "", false},
    {32982, "[編集]モバイル用HTMLコピー(&B)", O::View, "", false},
    // The to-do list's own look and order.
    {32844, "[表示]TODOの並べ替え(&S)...", O::View, "", false},
    {32854, "[表示]TODOの期限表示の切り替え(&D)", O::View, "", false},
    {32870, "[表示]TODOの表のフォント(&F)...", O::View, "", false},
    {32871, "[表示]タイトルの背景色(&B)...", O::View, "", false},
    {32872, "[表示]タイトルの文字色(&C)...", O::View, "", false},
    // The memo view's editing and memo commands.
    {57643, "[編集]元に戻す(&U)", O::View, "Ctrl+Z", false},
    {57642, "[編集]すべて選択(&L)", O::View, "Ctrl+A", false},
    {57641, "[編集]置換(&E)...", O::View, "Ctrl+H", false},
    {32990, "[編集]メモの追加(&M)...", O::View, "", false},
    {32991, "[編集]メモのタイトルの変更(&I)...", O::View, "", false},
    {32992, "[編集]メモの削除(&D)", O::View, "", false},
    {32994, "[編集]メモの並び替え(&O)...", O::View, "", false},
    {32995, "[編集]メモの検索(&K)...", O::View, "", false},
    {32993, "[ｵﾌﾟｼｮﾝ]メモのフォント(&M)...", O::View, "", false},
};

}  // namespace

std::span<const CommandSpec> CommandTable() {
    return kTable;
}

bool ChangesDocument(int id) {
    // Editing a record (32768) stays: its dialog shows the record and refuses the change.
    static constexpr int kChanging[] = {
        32885,  // ファイルの取り込み
        32972,  // Outlook CSV形式の取り込み
        32973,  // Outlook Todo CSV形式の取り込み
        32986,  // vCalender形式のインポート
        32987,  // iCalender形式の取り込み
        32858,  // パスワード設定
        57635,  // 切り取り
        57637,  // 貼り付け
        32836,  // 連続コピー
        32784,  // 指定日以前を削除
        32781,  // スケジュールの追加
        32846,  // TODOの追加
        32782,  // 削除
        32842,  // スケジュールを一つ上へ
        32843,  // スケジュールを一つ下へ
        32878,  // この日の色
        32879,  // この日の色指定解除
        32893,  // 指定範囲の色
        32894,  // 指定範囲の色指定解除
        32966,  // この日の画像の指定
        32840,  // 複数データにジャンル設定
        32845,  // 整列
        32837,  // ジャンル設定
        32862,  // 日記のフォルダ
        57641,  // 置換
        32990,  // メモの追加
        32991,  // メモのタイトルの変更
        32992,  // メモの削除
        32994,  // メモの並び替え
    };
    for (int changing : kChanging) {
        if (changing == id) return true;
    }
    return false;
}

const CommandSpec* FindCommand(int id) {
    auto it = std::find_if(std::begin(kTable), std::end(kTable),
                           [id](const CommandSpec& command) { return command.id == id; });
    return it == std::end(kTable) ? nullptr : &*it;
}

std::string KeyListLabel(const CommandSpec& command) {
    std::string label = command.label;
    const std::size_t open = label.find("(&");
    if (open != std::string::npos && open + 3 < label.size() && label[open + 3] == ')') {
        label.erase(open, 4);
    }
    return label;
}

std::string MenuText(const CommandSpec& command) {
    std::string label = command.label;
    if (!label.empty() && label.front() == '[') {
        std::size_t close = label.find(']');
        if (close != std::string::npos) label.erase(0, close + 1);
    }
    return label;
}

}  // namespace almx
