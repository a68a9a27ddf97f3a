// Text copy lines, the text export and the clipboard.

#include <gtest/gtest.h>

#include "exchange/exchange_fixture.h"

namespace almx::testing {
namespace {

class TextExportTest : public ExchangeTest {
  protected:
    std::string Text(DateTime first, DateTime last, int options, int* count = nullptr) {
        CAlmxTextExport exporter(Source(), first, last, Environment());
        std::string out;
        const int n = exporter.ExportToText(out, options);
        if (count) *count = n;
        return out;
    }
};

TEST_F(TextExportTest, LinesOfTheEdgeCases) {
    CAlmxData meeting = Schedule("会議", At(2024, 5, 3, 10, 0), At(2024, 5, 3, 11, 30));
    meeting.Set(StartTimeSet);
    meeting.Set(EndTimeSet);
    Add(meeting);
    Add(Schedule("終日", Day(2024, 5, 4), Day(2024, 5, 4)));
    EXPECT_EQ(Text(Day(2024, 5, 3), Day(2024, 5, 3), 3), "2024/05/03(金) 10:00 ～11:30 会議\r\n");
    EXPECT_EQ(Text(Day(2024, 5, 4), Day(2024, 5, 4), 0), "05/04 終日\r\n");
    EXPECT_EQ(Text(Day(2024, 5, 4), Day(2024, 5, 4), 2), "05/04(土) 終日\r\n");
}

TEST_F(TextExportTest, TodoTwoDaySpanHolidaysAndHiddenRecords) {
    CAlmxData todo = Schedule("買い物", Day(2025, 5, 3), Day(2025, 5, 3));
    todo.Set(IsTodo);
    todo.todoLeadDays = 0;
    Add(todo);  // shown today (the clock's 2025/05/03)
    Add(Schedule("旅行", Day(2025, 5, 4), Day(2025, 5, 5)));
    CAlmxData holiday = Schedule("みどりの日", Day(2025, 5, 4), Day(2025, 5, 4));
    holiday.Set(HolidayMark);
    Add(holiday);
    CAlmxData hidden = Schedule("内緒", Day(2025, 5, 5), Day(2025, 5, 5));
    hidden.Set(HideInViews);
    Add(hidden);
    int count = 0;
    const auto lines = Lines(Text(Day(2025, 5, 3), Day(2025, 5, 5), 0, &count));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Todo：買い物\r", "05/04 みどりの日\r", "05/04 旅行\r",
                                        "05/05 振替休日\r", "05/05 旅行\r", "05/05 内緒\r"}));
    EXPECT_EQ(count, 6);
}

TEST_F(TextExportTest, TimesBeforeTheDayBoundaryShowAsHourPlus24) {
    settings.SetInt("System", "TodayLimit", 4);
    CAlmxData late = Schedule("飲み会", At(2025, 6, 10, 1, 0), At(2025, 6, 10, 2, 30));
    late.Set(StartTimeSet);
    late.Set(EndTimeSet);
    Add(late);
    EXPECT_EQ(Text(Day(2025, 6, 9), Day(2025, 6, 10), 0), "06/09 25:00 ～26:30 飲み会\r\n");
}

TEST_F(TextExportTest, ClipboardGetsLineFeedsAndAnEmptyRangeLeavesItAlone) {
    Add(Schedule("a", Day(2025, 6, 1), Day(2025, 6, 1)));
    Add(Schedule("b", Day(2025, 6, 2), Day(2025, 6, 2)));
    ClipboardRecorder clipboard;
    clipboard.text = "before";
    CAlmxTextExport empty(Source(), Day(2025, 7, 1), Day(2025, 7, 14), Environment());
    EXPECT_FALSE(empty.ExportToClipboard(0, clipboard));
    EXPECT_EQ(clipboard.text, "before");
    EXPECT_EQ(clipboard.sets, 0);
    CAlmxTextExport two(Source(), Day(2025, 6, 1), Day(2025, 6, 14), Environment());
    EXPECT_TRUE(two.ExportToClipboard(0, clipboard));
    EXPECT_EQ(clipboard.text, "06/01 a\n06/02 b\n");
}

}  // namespace
}  // namespace almx::testing
