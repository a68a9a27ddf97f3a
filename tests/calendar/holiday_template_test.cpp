#include "document/holiday_template.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/csv_card.h"
#include "calendar/holiday_days.h"
#include "calendar/holiday_updates.h"
#include "calendar/holidays.h"
#include "exchange/text_file.h"
#include "official_holidays.h"
#include "text/encoding.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

const std::string kShipped = std::string(ALMX_SOURCE_DIR) + "/resources/" + kHolidayTemplateName;

// A new document answering Yes to the holiday question: the template, then the 2003 and 2007
// updates.
RecordList NewDocumentRecords() {
    auto records = ReadHolidayTemplate(kShipped);
    EXPECT_TRUE(records.has_value());
    if (!records) return {};
    EXPECT_FALSE(HolidayUpdate2003(*records));
    EXPECT_FALSE(HolidayUpdate2007(*records));
    return *records;
}

std::set<int> ShownKeys(const RecordList& records, int firstYear, int lastYear) {
    std::set<int> keys;
    for (const ShownHoliday& h :
         ShownHolidays(records, D(firstYear, 1, 1), D(lastYear, 12, 31), {})) {
        keys.insert(h.day.Year() * 10000 + h.day.Month() * 100 + h.day.Day());
    }
    return keys;
}

std::set<int> RuleKeys(int firstYear, int lastYear) {
    std::set<int> keys;
    for (int y = firstYear; y <= lastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                if (IsHoliday(y, m, d, false)) keys.insert(y * 10000 + m * 100 + d);
            }
        }
    }
    return keys;
}

TEST(HolidayTemplate, ShippedFileIsWhatTheGeneratorWrites) {
    EXPECT_EQ(ReadWholeFile(kShipped), HolidayTemplateBytes())
        << "regenerate with: almx holidays --write-template resources/holiday.alx";
}

TEST(HolidayTemplate, IsAScheduleFileInShiftJisWithCrLf) {
    const std::string bytes = ReadWholeFile(kShipped);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(text::ShiftJisToUtf8(bytes).Complete());
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        ++lines;
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
    }
    EXPECT_EQ(bytes.back(), '\n');
    const std::string text = CrLfToLf(text::FromShiftJis(bytes));
    const std::string header = text.substr(0, text.find('\n') + 1);
    TCard cells;
    ASSERT_TRUE(cells.Parse(header));
    ASSERT_EQ(cells.Count(), 26);
    EXPECT_EQ(cells.At(0), "区分");
    EXPECT_EQ(cells.At(11), "リンクファイル");
    EXPECT_EQ(cells.At(12), "チェック");
    EXPECT_EQ(cells.At(16), "繰返タイプ");
    EXPECT_EQ(cells.At(25), "メモ");
    EXPECT_EQ(text.substr(header.size(), text.find('\n', header.size()) - header.size() + 1),
              "\"4\",\"\",\"\",\"440\",\"0\",\"0\",\"0\",\"\"\n");
    EXPECT_EQ(lines, 2 + HolidayLawRecords().size());
}

TEST(HolidayTemplate, ReadsBackTheLawRecords) {
    const auto records = ReadHolidayTemplate(kShipped);
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, HolidayLawRecords());
}

TEST(HolidayTemplate, NewDocumentShowsTheOfficialHolidays1955To2027) {
    const std::set<int> shown =
        ShownKeys(NewDocumentRecords(), testing::kOfficialFirstYear, testing::kOfficialLastYear);
    EXPECT_EQ(shown, testing::OfficialHolidayKeys());
}

TEST(HolidayTemplate, NewDocumentAgreesWithIsHoliday) {
    const RecordList records = NewDocumentRecords();
    EXPECT_EQ(ShownKeys(records, 1900, 2200), RuleKeys(1900, 2200));
    for (int year : {1583, 1947, 2999, 5000, 9998}) {
        EXPECT_EQ(ShownKeys(records, year, year), RuleKeys(year, year)) << year;
    }
}

TEST(HolidayTemplate, ReaderTakesRecordRowsOnly) {
    const std::string bytes = ReadWholeFile(kShipped);
    const std::string header = bytes.substr(0, bytes.find('\n') + 1);
    std::string file =
        header +
        text::ToShiftJis(
            "\"4\",\"\",\"\",\"440\"\r\n"
            "\"5\",\"仕事\",\"1\",\"0000FF\",\"\"\r\n"
            "\"0\",\"2030/05/01\",\"00:00\",\"2030/05/01\",\"00:00\",\"休み\",\"0\",\"0\",\"0\","
            "\"1\"\r\n"
            "\"0\",\"2030/13/01\",\"00:00\",\"2030/05/01\",\"00:00\",\"壊れた\"\r\n");
    const auto records = ReadHolidayTemplateBytes(file);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].title, "休み");
    EXPECT_EQ((*records)[0].start, D(2030, 5, 1));
    // Other files are refused.
    EXPECT_FALSE(ReadHolidayTemplateBytes(""));
    EXPECT_FALSE(ReadHolidayTemplateBytes(text::ToShiftJis("\"年\",\"月\"\r\n\"0\"\r\n")));
    EXPECT_FALSE(ReadHolidayTemplateBytes(std::string("\x81\xff\x00\"\n", 5)));
    EXPECT_FALSE(ReadHolidayTemplate(std::string(ALMX_BINARY_DIR) + "/no/such/holiday.alx"));
}

}  // namespace
}  // namespace almx
