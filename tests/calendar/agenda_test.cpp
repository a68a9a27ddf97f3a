#include "calendar/agenda.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <string>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

class AgendaTest : public ::testing::Test {
  protected:
    AgendaTest() {
        CAlmxData meeting;
        meeting.title = "会議";
        meeting.place = "本社";
        meeting.start = DateTime::FromParts(2025, 5, 2, 9, 30);
        meeting.end = DateTime::FromParts(2025, 5, 2, 10, 0);
        meeting.Set(StartTimeSet);
        meeting.Set(EndTimeSet);
        CAlmxData hidden;
        hidden.title = "非表示";
        hidden.start = hidden.end = D(2025, 5, 2);
        hidden.Set(HideInViews);
        CAlmxData holiday;
        holiday.title = "憲法記念日";
        holiday.start = D(1949, 5, 3);
        holiday.end = D(9998, 12, 31);
        holiday.repeatType = RepeatYears;
        holiday.repeatFirstDay = holiday.repeatLastDay = 3;
        holiday.Set(HolidayMark);
        CAlmxData todo;
        todo.title = "報告書";
        todo.start = D(2025, 5, 9);
        todo.Set(IsTodo);
        records_ = {meeting, hidden, holiday, todo};
        genres_ = CAlmxFieldArray::General();
        settings_.SetInt("Holiday", "Hurikae", 0);
    }

    std::string Agenda(const DateTime& first, const DateTime& last) {
        std::ostringstream out;
        EXPECT_TRUE(WriteAgenda(out, {records_, &genres_, &properties_}, first, last, settings_,
                                clock_, &prompter_));
        return out.str();
    }

    RecordList records_;
    CAlmxFieldArray genres_;
    DayPropertyMap properties_;
    MemorySettingsStore settings_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 10, 0)};
    ScriptedPrompter prompter_;
};

TEST_F(AgendaTest, DayLinesEntriesHolidayMarksAndEmptyDays) {
    EXPECT_EQ(Agenda(D(2025, 5, 1), D(2025, 5, 4)),
              "2025/05/01 (木)\n"
              "2025/05/02 (金)\n"
              "    09:30-10:00 会議@本社\n"
              "2025/05/03 (土)\n"
              "  H 憲法記念日\n"
              "    報告書(あと6日)\n"
              "2025/05/04 (日)\n");
}

TEST_F(AgendaTest, MonthViewTimeDisplayAndTodoPosition) {
    settings_.SetInt("View", "MonthViewTime", 2);
    settings_.SetInt("View", "TodoPos", 1);
    EXPECT_EQ(Agenda(D(2025, 5, 2), D(2025, 5, 3)),
              "2025/05/02 (金)\n"
              "    09:30 会議@本社\n"
              "2025/05/03 (土)\n"
              "  H 憲法記念日\n");
    settings_.SetInt("View", "MonthViewTime", 4);
    EXPECT_EQ(Agenda(D(2025, 5, 9), D(2025, 5, 9)), "2025/05/09 (金)\n    報告書(本日まで)\n");
    EXPECT_EQ(Agenda(D(2025, 5, 2), D(2025, 5, 2)), "2025/05/02 (金)\n    会議@本社\n");
}

TEST_F(AgendaTest, LongRangesAndBadRanges) {
    const std::string text = Agenda(D(2024, 1, 1), D(2026, 12, 31));
    EXPECT_EQ(std::count(text.begin(), text.end(), '('), 1096 + 1);  // day lines and あと
    EXPECT_NE(text.find("2026/05/03 (日)\n  H 憲法記念日\n"), std::string::npos);
    EXPECT_NE(text.find("2025/05/03 (土)\n  H 憲法記念日\n"), std::string::npos);

    std::ostringstream out;
    EXPECT_FALSE(WriteAgenda(out, {records_, &genres_, &properties_}, D(2025, 5, 2), D(2025, 5, 1),
                             settings_, clock_, &prompter_));
    EXPECT_FALSE(WriteAgenda(out, {records_, &genres_, &properties_}, DateTime::Invalid(),
                             D(2025, 5, 1), settings_, clock_, &prompter_));
    EXPECT_TRUE(out.str().empty());
}

// Collects what reaches the stream and counts the calls that bring it.
class CountingBuffer : public std::streambuf {
  public:
    std::string text;
    int writes = 0;

  protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        ++writes;
        text.append(data, static_cast<std::size_t>(size));
        return size;
    }
    int_type overflow(int_type c) override {
        ++writes;
        if (c != traits_type::eof()) text.push_back(static_cast<char>(c));
        return c;
    }
};

TEST_F(AgendaTest, AgendaOfMegabytesComesWholeInFewWrites) {
    // Fourteen years with a long entry every day: more than two blocks of text.
    const std::string title(480, 'x');
    for (int day = 0; day < 14 * 365; ++day) {
        CAlmxData entry;
        entry.title = title + std::to_string(day);
        entry.start = entry.end = D(2010, 1, 1).PlusDays(day);
        records_.push_back(std::move(entry));
    }
    const DateTime first = D(2010, 1, 1), last = D(2023, 12, 31);
    CountingBuffer buffer;
    std::ostream out(&buffer);
    ASSERT_TRUE(WriteAgenda(out, {records_, &genres_, &properties_}, first, last, settings_, clock_,
                            &prompter_));
    ASSERT_GT(buffer.text.size(), std::size_t{2} << 20);
    EXPECT_LE(buffer.writes, static_cast<int>(buffer.text.size() >> 20) + 2);

    // The same bytes as the days one by one, nothing lost or doubled at a block's edge.
    std::string dayByDay;
    for (DateTime day = first; day <= last; day = day.PlusDays(1)) dayByDay += Agenda(day, day);
    EXPECT_TRUE(buffer.text == dayByDay);
}

}  // namespace
}  // namespace almx
