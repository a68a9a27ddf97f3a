#pragma once
// The pieces of the schedule file shared by its reader and writer.

#include <string>
#include <string_view>

namespace almx {

// The header line as the file writes it: three pieces joined, then passed through the codec.
inline constexpr std::string_view kScheduleHeaderPieces[3] = {
    "\"区分\",\"開始年月日\",\"開始時間\",\"終了年月日\",\"終了時間\",\"スケジュール\","
    "\"時刻設定1\",\"時刻設定2\",\"月間表示\",\"休日\",\"色\",\"リンクファイル\",",
    "\"チェック\",\"アラーム\",\"ジャンル\",\"時刻表示\",",
    "\"繰返タイプ\",\"繰返開始日\",\"繰返終了日\",\"間隔\",\"位置指定\",\"有効月\",\"平日のみ\","
    "\"除外日\",\"場所\",\"メモ\"\n",
};

inline constexpr std::string_view kScheduleHeaderFirstCell = "区分";
inline constexpr std::string_view kOldestHeaderFirstCell = "年";
inline constexpr int kNineteenCellHeader = 19;

// The first cell of a row says what it holds; every other value is a record line.
enum ScheduleRowKind : int {
    RowSchedule = 0,
    RowTodo = 1,
    RowPassword = 2,
    RowDayProperty = 3,
    RowDocumentValues = 4,
    RowGenre = 5,
    RowMemoPage = 6,
};

// In memory a line break is "\n"; in a cell it is CR LF (a bare CR counts as one too).
inline std::string CellFromText(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

inline std::string TextFromCell(std::string_view cell) {
    if (cell.find('\r') == std::string_view::npos) return std::string(cell);
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\r') {
            if (i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
            out += '\n';
        } else {
            out += cell[i];
        }
    }
    return out;
}

}  // namespace almx
