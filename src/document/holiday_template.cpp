#include "document/holiday_template.h"

#include <string>

#include "calendar/holiday_updates.h"
#include "core/record_line.h"
#include "exchange/card_table.h"
#include "base/csv_card.h"
#include "exchange/text_file.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace almx {

namespace {

// The schedule file's header as the program writes it: three pieces joined, then re-encoded.
std::string HeaderLine() {
    std::string line =
        "\"区分\",\"開始年月日\",\"開始時間\",\"終了年月日\",\"終了時間\",\"スケジュール\","
        "\"時刻設定1\",\"時刻設定2\",\"月間表示\",\"休日\",\"色\",\"リンクファイル\",";
    line += "\"チェック\",\"アラーム\",\"ジャンル\",\"時刻表示\",";
    line +=
        "\"繰返タイプ\",\"繰返開始日\",\"繰返終了日\",\"間隔\",\"位置指定\",\"有効月\","
        "\"平日のみ\",\"除外日\",\"場所\",\"メモ\"\n";
    return line;
}

// Row kinds that are not records.
bool IsOtherRow(int kind) {
    return kind >= 2 && kind <= 6;
}

}  // namespace

std::string HolidayTemplateBytes() {
    CardTable table;
    table.Header().Parse(HeaderLine());
    // Document values: no diary folder, the file version, default genres 0, nothing further.
    TCard values;
    for (const std::string& cell :
         {std::string("4"), std::string(), std::string(), std::to_string(kHolidayTemplateVersion),
          std::string("0"), std::string("0"), std::string("0"), std::string()}) {
        values.Add(cell);
    }
    table.Append(values);
    std::string bytes = table.ToBytes();
    std::string lines;
    for (const CAlmxData& record : HolidayLawRecords()) lines += RecordLine(record);
    bytes += text::ToShiftJis(LfToCrLf(lines));
    return bytes;
}

std::optional<std::vector<CAlmxData>> ReadHolidayTemplateBytes(std::string_view sjis,
                                                               const RecordDefaults& defaults) {
    CardTable table;
    table.ReadBytes(sjis);
    if (table.Header().At(0) != "区分") return std::nullopt;
    std::vector<CAlmxData> records;
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
        const TCard& row = table.Row(i);
        if (IsOtherRow(text::LeadingInt(row.At(0)))) continue;
        CAlmxData record(defaults);
        if (ParseRecordLine(row, record)) records.push_back(std::move(record));
    }
    return records;
}

std::optional<std::vector<CAlmxData>> ReadHolidayTemplate(const std::string& path,
                                                          const RecordDefaults& defaults) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const CVeltaFileException&) {
        return std::nullopt;
    }
    return ReadHolidayTemplateBytes(bytes, defaults);
}

}  // namespace almx
