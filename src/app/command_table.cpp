#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace almx {

namespace {

using O = CommandOwner;

constexpr CommandSpec kTable[] = {
    {57600, "[ﾌｧｲﾙ]新規作成", O::Application, "Ctrl+N"},
    {57601, "[ﾌｧｲﾙ]開く...", O::Application, "Ctrl+O"},
    {57602, "[ﾌｧｲﾙ]閉じる", O::Document},
    {57603, "[ﾌｧｲﾙ]上書き保存", O::Document, "Ctrl+S"},
    {57604, "[ﾌｧｲﾙ]名前を付けて保存...", O::Document},
    {32901, "[ﾌｧｲﾙ]HTML出力...", O::Document},
    {32885, "[ﾌｧｲﾙ]ファイルの取り込み...", O::Document},
    {32874, "[ﾌｧｲﾙ]テキストコピー...", O::Document},
    {32970, "[ﾌｧｲﾙ]Outlook CSV形式...", O::Document, "", false},
    {32971, "[ﾌｧｲﾙ]Outlook Todo形式...", O::Document, "", false},
    {32972, "[ﾌｧｲﾙ]Outlook CSV形式の取り込み...", O::Document, "", false},
    {32973, "[ﾌｧｲﾙ]Outlook Todo CSV形式の取り込み...", O::Document, "", false},
    {32974, "[ﾌｧｲﾙ]GENIO形式でCSV出力...", O::Document, "", false},
    {32975, "[ﾌｧｲﾙ]ザウルス形式でCSV出力...", O::Document, "", false},
    {32858, "[ﾌｧｲﾙ]パスワード設定...", O::Document},
    {57607, "[ﾌｧｲﾙ]印刷...", O::View, "Ctrl+P"},
    {57609, "[ﾌｧｲﾙ]印刷プレビュー", O::View},
    {57606, "[ﾌｧｲﾙ]プリンタの設定...", O::Application},
    {32786, "[ﾌｧｲﾙ]印刷形式...", O::View},
    {57665, "[ﾌｧｲﾙ]終了", O::Application},
    {57635, "[編集]切り取り", O::View, "Ctrl+X"},
    {57634, "[編集]コピー", O::View, "Ctrl+C"},
    {57637, "[編集]貼り付け", O::View, "Ctrl+V"},
    {32836, "[編集]連続コピー...", O::View},
    {32784, "[編集]指定日以前を削除...", O::Document},
    {32781, "[編集]スケジュールの追加...", O::View},
    {32846, "[編集]TODOの追加...", O::View},
    {32768, "[編集]編集...", O::View},
    {32782, "[編集]削除...", O::View},
    {32842, "[編集]スケジュールを一つ上へ", O::View},
    {32843, "[編集]スケジュールを一つ下へ", O::View},
    {32878, "[編集]この日の色...", O::View},
    {32879, "[編集]この日の色指定解除...", O::View},
    {32893, "[編集]指定範囲の色...", O::View},
    {32894, "[編集]指定範囲の色指定解除...", O::View},
    {32791, "[編集]日記の編集", O::View},
    {32898, "[編集]この日の日記の削除...", O::View},
    {32829, "[編集]リンクファイル編集", O::View},
    {32875, "[編集]この日の予定をテキストコピー", O::View},
    {57636, "[編集]検索...", O::View, "Ctrl+F"},
    {32822, "[編集]次を検索", O::View, "F3"},
    {32823, "[編集]前を検索", O::View, "Shift+F3"},
    {32840, "[編集]複数データにジャンル設定...", O::Document},
    {32845, "[表示]整列...", O::View},
    {32776, "[表示]次の日へ", O::View},
    {32777, "[表示]前の日へ", O::View},
    {32772, "[表示]次の週へ", O::View},
    {32773, "[表示]前の週へ", O::View},
    {32769, "[表示]次の月へ", O::View},
    {32770, "[表示]前の月へ", O::View},
    {32909, "[表示]次の年へ", O::View},
    {32910, "[表示]前の年へ", O::View},
    {32771, "[表示]指定の日付へ...", O::View},
    {32775, "[表示]今日へ移動", O::View},
    {32774, "[表示]指定日数後へ...", O::View},
    {32902, "[表示]今日から何日？...", O::View},
    {32853, "[表示]月間スケジュールへ", O::View},
    {32852, "[表示]スケジュールリストへ", O::View},
    {59392, "[表示]ツールバーの表示", O::MainFrame},
    {32877, "[表示]ツールバーのフラット表示", O::MainFrame},
    {59393, "[表示]ステータス バー", O::MainFrame},
    {32837, "[ｵﾌﾟｼｮﾝ]ジャンル設定...", O::Document},
    {32857, "[ｵﾌﾟｼｮﾝ]年月...", O::View},
    {32785, "[ｵﾌﾟｼｮﾝ]曜日...", O::View},
    {32778, "[ｵﾌﾟｼｮﾝ]日付...", O::View},
    {32779, "[ｵﾌﾟｼｮﾝ]ｽｹｼﾞｭｰﾙ...", O::View},
    {32827, "[ｵﾌﾟｼｮﾝ]ｽｹｼﾞｭｰﾙﾘｽﾄ...", O::View},
    {32816, "[ｵﾌﾟｼｮﾝ]背景色...", O::MainFrame},
    {32892, "[ｵﾌﾟｼｮﾝ]今月以外の背景色...", O::MainFrame},
    {32881, "[ｵﾌﾟｼｮﾝ]指定した色", O::MainFrame},
    {32882, "[ｵﾌﾟｼｮﾝ]反転", O::MainFrame},
    {32883, "[ｵﾌﾟｼｮﾝ]枠のみ", O::MainFrame},
    {32817, "[ｵﾌﾟｼｮﾝ]指定した場合の選択色...", O::View},
    {32818, "[ｵﾌﾟｼｮﾝ]曜日色...", O::MainFrame},
    {32863, "[ｵﾌﾟｼｮﾝ]休日の色...", O::MainFrame},
    {32841, "[ｵﾌﾟｼｮﾝ]配色の統一", O::View},
    {32884, "[ｵﾌﾟｼｮﾝ]日付表示形式...", O::MainFrame},
    {32890, "[ｵﾌﾟｼｮﾝ]休日設定...", O::Document},
    {32859, "[ｵﾌﾟｼｮﾝ]通知の設定...", O::MainFrame},
    {32906, "[ｵﾌﾟｼｮﾝ]メール設定...", O::MainFrame},
    {32908, "[ｵﾌﾟｼｮﾝ]アラームを全てメール送信", O::MainFrame},
    {32860, "[ｵﾌﾟｼｮﾝ]日本語IMEの自動ON", O::MainFrame},
    {32788, "[ｵﾌﾟｼｮﾝ]数字のみ", O::View},
    {32789, "[ｵﾌﾟｼｮﾝ]月を英語", O::View},
    {32820, "[ｵﾌﾟｼｮﾝ]今日に表示", O::MainFrame},
    {32821, "[ｵﾌﾟｼｮﾝ]期限日に表示", O::MainFrame},
    {32889, "[ｵﾌﾟｼｮﾝ]残り日数表示", O::View},
    {32895, "[ｵﾌﾟｼｮﾝ]ToDo日数の初期値...", O::Nobody},
    {32855, "[ｵﾌﾟｼｮﾝ]スケジュールの行折り返し", O::MainFrame},
    {32832, "[ｵﾌﾟｼｮﾝ]曜日の日本語表示", O::MainFrame},
    {32856, "[ｵﾌﾟｼｮﾝ]月曜日始まり", O::MainFrame},
    {32891, "[ｵﾌﾟｼｮﾝ]月間は6週表示", O::View},
    {32800, "[ｵﾌﾟｼｮﾝ]月間のみ", O::MainFrame},
    {32801, "[ｵﾌﾟｼｮﾝ]週間のみ", O::MainFrame},
    {32802, "[ｵﾌﾟｼｮﾝ]両方表示", O::MainFrame},
    {32899, "[ｵﾌﾟｼｮﾝ]日記ビュー", O::MainFrame},
    {32831, "[ｵﾌﾟｼｮﾝ]日記有無の表示", O::MainFrame},
    {32861, "[ｵﾌﾟｼｮﾝ]起動時に日記表示", O::MainFrame},
    {32862, "[ｵﾌﾟｼｮﾝ]日記のフォルダ...", O::Document},
    {32803, "[ｵﾌﾟｼｮﾝ]TODOの初期表示をする", O::MainFrame},
    {32828, "[ｵﾌﾟｼｮﾝ]表示しない", O::ChildFrame},
    {32866, "[ｵﾌﾟｼｮﾝ]下部に表示", O::ChildFrame},
    {32867, "[ｵﾌﾟｼｮﾝ]右側に表示", O::ChildFrame},
    {32830, "[ｵﾌﾟｼｮﾝ]ファイル有無の表示", O::MainFrame},
    {32905, "[ｵﾌﾟｼｮﾝ]リンクファイル設定...", O::MainFrame},
    {32886, "[ｵﾌﾟｼｮﾝ]リンクファイル参照を絶対パス", O::MainFrame},
    {32806, "[ｵﾌﾟｼｮﾝ]起動時のｽｹｼﾞｭｰﾙ表示", O::MainFrame},
    {32783, "[ｳｨﾝﾄﾞｳ]月間予定表", O::MainFrame},
    {32793, "[ｳｨﾝﾄﾞｳ]週間予定表", O::MainFrame},
    {32780, "[ｳｨﾝﾄﾞｳ]ToDoリスト", O::MainFrame},
    {32897, "[ｳｨﾝﾄﾞｳ]日記ビュー", O::MainFrame},
    {32833, "[ｳｨﾝﾄﾞｳ]日記リスト...", O::Document},
    {57648, "[ｳｨﾝﾄﾞｳ]新しいウィンドウを開く", O::MainFrame},
    {57650, "[ｳｨﾝﾄﾞｳ]重ねて表示", O::MainFrame},
    {57651, "[ｳｨﾝﾄﾞｳ]上下に並べて表示", O::MainFrame},
    {57652, "[ｳｨﾝﾄﾞｳ]左右に並べて表示", O::MainFrame},
    {57649, "[ｳｨﾝﾄﾞｳ]アイコンの整列", O::MainFrame},
    {57667, "[ﾍﾙﾌﾟ]目次", O::MainFrame, "F1"},
    {32815, "[ﾍﾙﾌﾟ]キーワードで検索", O::MainFrame},
    {57668, "[ﾍﾙﾌﾟ]ヘルプの使い方", O::MainFrame},
    {32792, "[ﾍﾙﾌﾟ]Almanixのﾎｰﾑﾍﾟｰｼﾞへ", O::MainFrame},
    {32865, "[ﾍﾙﾌﾟ]Veltaサポートフォーラム", O::MainFrame},
    {34004, "[ﾍﾙﾌﾟ]Veltaのページへ", O::MainFrame},
    {34005, "[ﾍﾙﾌﾟ]Veltaのソフトのページへ", O::MainFrame},
    {57664, "[ﾍﾙﾌﾟ]バージョン情報...", O::Application},
    // Further commands with menu entries but no place in the key list. Their menu texts are
    // ours.
    {32794, "[ｳｨﾝﾄﾞｳ]メモビュー", O::MainFrame, "", false},
    {32935, "[ｳｨﾝﾄﾞｳ]検索リスト", O::MainFrame, "", false},
    {32941, "[編集]検索リストの作成...", O::Document, "", false},
    {32949, "[ｵﾌﾟｼｮﾝ]今日の枠の色...", O::MainFrame, "", false},
    {32950, "[ｵﾌﾟｼｮﾝ]▼マークの色...", O::MainFrame, "", false},
    {32951, "[ｵﾌﾟｼｮﾝ]▼マークなし", O::MainFrame, "", false},
    {32952, "[ｵﾌﾟｼｮﾝ]▼マーク小", O::MainFrame, "", false},
    {32953, "[ｵﾌﾟｼｮﾝ]▼マーク大", O::MainFrame, "", false},
    {32946, "[ｵﾌﾟｼｮﾝ]日記マークの設定...", O::MainFrame, "", false},
    {32911, "[ｵﾌﾟｼｮﾝ]キーカスタマイズ...", O::MainFrame, "", false},
    {32913, "[ｵﾌﾟｼｮﾝ]その他の設定...", O::MainFrame, "", false},
    {32957, "[ｳｨﾝﾄﾞｳ]指定のビュー", O::MainFrame, "", false},
    // The month view's own settings and the day picture.
    {32790, "[ｵﾌﾟｼｮﾝ]年月を漢字", O::View, "", false},
    {32921, "[ｵﾌﾟｼｮﾝ]時刻をスケジュールごとに表示", O::View, "", false},
    {32922, "[ｵﾌﾟｼｮﾝ]開始と終了の時刻を表示", O::View, "", false},
    {32923, "[ｵﾌﾟｼｮﾝ]開始時刻のみ表示", O::View, "", false},
    {32924, "[ｵﾌﾟｼｮﾝ]終了時刻のみ表示", O::View, "", false},
    {32925, "[ｵﾌﾟｼｮﾝ]時刻を表示しない", O::View, "", false},
    {32926, "[ｵﾌﾟｼｮﾝ]他の月の日の色を残す", O::View, "", false},
    {32964, "[ｵﾌﾟｼｮﾝ]月間表示の週数...", O::View, "", false},
    {32966, "[編集]この日の画像の指定...", O::View, "", false},
    // The to-do list's own look and order.
    {32844, "[表示]TODOの並べ替え...", O::View, "", false},
    {32854, "[表示]TODOの期限表示の切り替え", O::View, "", false},
    {32870, "[表示]TODOの表のフォント...", O::View, "", false},
    {32871, "[表示]タイトルの背景色...", O::View, "", false},
    {32872, "[表示]タイトルの文字色...", O::View, "", false},
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

std::string MenuText(const CommandSpec& command) {
    std::string label = command.label;
    if (!label.empty() && label.front() == '[') {
        std::size_t close = label.find(']');
        if (close != std::string::npos) label.erase(0, close + 1);
    }
    return label;
}

}  // namespace almx
