#include "exchange/vcalendar.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calendar/recurrence.h"
#include "exchange/exchange_fixture.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::At;
using testing::Day;

const CalendarStamp kStamp{DateTime::FromParts(2026, 12, 8, 10, 30, 0), 42};

CAlmxData Event(const std::string& title, DateTime start, DateTime end, bool startTime,
                bool endTime) {
    CAlmxData r = testing::Schedule(title, start, end);
    r.Set(StartTimeSet, startTime);
    r.Set(EndTimeSet, endTime);
    return r;
}

// The lines of a file without their CR LF, unfolded.
std::vector<std::string> Unfolded(const std::string& text) {
    return UnfoldLines(text);
}

bool HasLine(const std::string& text, const std::string& line) {
    for (const std::string& l : Unfolded(text)) {
        if (l == line) return true;
    }
    return false;
}

std::string Wrap(const std::string& body, const std::string& head = "VERSION:2.0\r\n") {
    return "BEGIN:VCALENDAR\r\n" + head + body + "END:VCALENDAR\r\n";
}

// ---- Folding and escaping ----

TEST(VCalendarText, FoldingKeepsUtf8SequencesAndUnfoldingRestoresTheLine) {
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"a", "日", "本", "😀", ";", " ", "\\", "é"};
    for (int round = 0; round < 300; ++round) {
        std::string line = "SUMMARY:";
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) line += pieces[random() % pieces.size()];
        const std::string folded = FoldLine(line);
        // Every physical line is at most 75 octets and valid UTF-8 by itself.
        std::size_t pos = 0;
        while (pos < folded.size()) {
            const std::size_t end = folded.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos);
            const std::string physical = folded.substr(pos, end - pos);
            EXPECT_LE(physical.size(), 75u);
            EXPECT_TRUE(text::IsValidUtf8(physical)) << physical;
            pos = end + 2;
        }
        const std::vector<std::string> back = UnfoldLines(folded);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0], line);
    }
}

TEST(VCalendarText, EscapingRoundTripsAndLeavesMultibyteTextAlone) {
    const std::vector<std::string> samples = {"a;b,c\\d\ne", "表示", "ソフト;能力", "\\n", ""};
    for (const std::string& s : samples) EXPECT_EQ(UnescapeText(EscapeText(s)), s);
    // 表 and ソ end in 0x5C in Shift_JIS; escaping works on the UTF-8 text.
    EXPECT_EQ(EscapeText("表;ソ"), "表\\;ソ");
    EXPECT_EQ(EscapeText("a\r\nb"), "a\\nb");
    EXPECT_EQ(UnescapeText("x\\Ny\\,z"), "x\ny,z");
}

TEST(VCalendarText, UnfoldingTakesTabsAndBlanksAndJoinsSoftBreaksOfQuotedPrintable) {
    const auto lines =
        UnfoldLines("A:12\r\n 34\r\n\t56\nB;ENCODING=QUOTED-PRINTABLE:x=\r\ny\r\nC:z");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "A:123456");
    EXPECT_EQ(lines[1], "B;ENCODING=QUOTED-PRINTABLE:xy");
    EXPECT_EQ(lines[2], "C:z");
}

TEST(VCalendarModel, PropertiesMatchNamesWithoutCaseAndSetAppendsOnce) {
    CVCalender c;
    EXPECT_EQ(c.Value("begin"), "VEVENT");
    EXPECT_EQ(c.Items().front().name, "BEGIN");
    EXPECT_EQ(c.Items().back().name, "END");
    const std::size_t size = c.Size();
    c.Set("Summary", "x");
    EXPECT_EQ(c.Size(), size);
    EXPECT_EQ(c.Value("SUMMARY"), "x");
    c.Set("X-NEW", "y");
    EXPECT_EQ(c.Size(), size + 1);
    c.MakeTodo();
    EXPECT_TRUE(c.IsTodo());
    EXPECT_EQ(c.Value("END"), "VTODO");
}

// ---- Record -> RRULE / EXDATE ----

struct RuleCase {
    const char* name;
    CAlmxData record;
    std::string rrule;
    std::string firstDay;  // YYYYMMDD of DTSTART
    std::vector<std::string> exdates;
};

CAlmxData Recurring(int kind, DateTime start, DateTime end, int interval = 1) {
    CAlmxData r = testing::Schedule("r", start, end);
    r.repeatType = kind;
    r.repeatInterval = interval;
    r.repeatFirstDay = r.repeatLastDay = start.Day();
    return r;
}

std::vector<RuleCase> RuleCases() {
    std::vector<RuleCase> cases;
    const DateTime open = Day(9998, 12, 31);
    cases.push_back({"daily", Recurring(1, Day(2026, 1, 5), open), "FREQ=DAILY", "20260105", {}});
    cases.push_back({"every 3 days until",
                     Recurring(1, Day(2026, 1, 5), Day(2040, 3, 1), 3),
                     "FREQ=DAILY;INTERVAL=3;UNTIL=20400301",
                     "20260105",
                     {}});
    {
        CAlmxData r = Recurring(2, At(2026, 1, 5, 9, 30), At(2026, 6, 30, 10, 0));
        r.Set(StartTimeSet);
        r.Set(EndTimeSet);
        // The last possible start, 2026/06/30 09:30 Japan time, in UTC.
        cases.push_back(
            {"weekly timed until", r, "FREQ=WEEKLY;UNTIL=20260630T003000Z", "20260105", {}});
    }
    {
        CAlmxData r = Recurring(3, Day(2026, 1, 10), open);
        r.repeatLastDay = 12;
        cases.push_back({"monthly span", r, "FREQ=MONTHLY;BYMONTHDAY=10,11,12", "20260110", {}});
    }
    {
        CAlmxData r = Recurring(3, Day(2026, 1, 10), open, 2);
        r.repeatLastDay = 14;
        // Every day of the span, not stepped by the interval.
        cases.push_back({"monthly span every 2 months",
                         r,
                         "FREQ=MONTHLY;BYMONTHDAY=10,11,12,13,14;INTERVAL=2",
                         "20260110",
                         {}});
    }
    {
        CAlmxData r = Recurring(3, Day(2026, 1, 1), open);
        r.positionMode = 1;
        r.validWeeks[4] = 1;
        r.validWeekdays[5] = 1;
        // The last Friday is -1; DTSTART moves to the first occurrence.
        cases.push_back({"last friday", r, "FREQ=MONTHLY;BYDAY=-1FR", "20260130", {}});
    }
    {
        CAlmxData r = Recurring(3, Day(2026, 1, 31), open);
        r.repeatFirstDay = r.repeatLastDay = -1;
        cases.push_back({"month end", r, "FREQ=MONTHLY;BYMONTHDAY=-1", "20260131", {}});
    }
    {
        CAlmxData r = Recurring(4, Day(2026, 6, 15), open);
        cases.push_back({"birthday", r, "FREQ=YEARLY;BYMONTHDAY=15;BYMONTH=6", "20260615", {}});
    }
    {
        CAlmxData r = Recurring(4, Day(2026, 1, 1), open);
        r.positionMode = 1;
        r.validWeeks[1] = 1;
        r.validWeekdays[1] = 1;
        r.validMonths = {};
        r.validMonths[0] = 1;
        cases.push_back(
            {"coming of age day", r, "FREQ=YEARLY;BYDAY=2MO;BYMONTH=1", "20260112", {}});
        r.validMonths[6] = 1;
        r.repeatInterval = 2;
        // Every set month counts, not only the last one.
        cases.push_back({"second monday of two months",
                         r,
                         "FREQ=YEARLY;BYDAY=2MO;BYMONTH=1,7;INTERVAL=2",
                         "20260112",
                         {}});
    }
    {
        CAlmxData r = Recurring(5, Day(2026, 1, 1), open);
        r.positionMode = 1;
        r.validWeeks[0] = r.validWeeks[2] = 1;
        r.validWeekdays[1] = r.validWeekdays[3] = 1;
        r.validMonths = {1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        cases.push_back({"chosen months cross product",
                         r,
                         "FREQ=MONTHLY;BYDAY=1MO,1WE,3MO,3WE;BYMONTH=1,3",
                         "20260105",
                         {}});
    }
    {
        CAlmxData r = Recurring(5, Day(2026, 1, 20), open);
        r.validMonths = {0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0};
        cases.push_back(
            {"chosen months by day", r, "FREQ=MONTHLY;BYMONTHDAY=20;BYMONTH=4,10", "20260420", {}});
    }
    {
        CAlmxData r = Recurring(5, Day(2026, 3, 21), Day(2027, 12, 24), 3);
        r.validMonths = {0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0};
        // Chosen months step month by month whatever the interval.
        cases.push_back({"chosen months with an interval",
                         r,
                         "FREQ=MONTHLY;BYMONTHDAY=21;BYMONTH=3,4,5,8,9,10;UNTIL=20271224",
                         "20260321",
                         {}});
    }
    {
        CAlmxData r = Recurring(1, At(2026, 3, 1, 8, 0), open);
        r.Set(StartTimeSet);
        r.exceptions.push_back(CDaySpan::FromDates(Day(2026, 3, 3), Day(2026, 3, 4)));
        cases.push_back(
            {"exceptions become exdates",
             r,
             "FREQ=DAILY",
             "20260301",
             {"EXDATE;TZID=Asia/Tokyo:20260303T080000", "EXDATE;TZID=Asia/Tokyo:20260304T080000"}});
    }
    {
        CAlmxData r = Recurring(2, Day(2026, 3, 2), open, 2);
        r.exceptions.push_back(CDaySpan::FromDates(Day(2026, 3, 10), Day(2026, 3, 20)));
        // Only the occurrence inside the span (3/16) is written.
        cases.push_back({"weekly exception span",
                         r,
                         "FREQ=WEEKLY;INTERVAL=2",
                         "20260302",
                         {"EXDATE;VALUE=DATE:20260316"}});
    }
    return cases;
}

TEST(VCalendarRules, RecordsBecomeTheExpectedRuleStartAndExdates) {
    for (const RuleCase& c : RuleCases()) {
        SCOPED_TRACE(c.name);
        const std::string file = ICalendarText({&c.record}, kStamp);
        EXPECT_TRUE(HasLine(file, "RRULE:" + c.rrule)) << file;
        const bool timed = c.record.Has(StartTimeSet);
        bool startFound = false;
        std::vector<std::string> exdates;
        for (const std::string& line : Unfolded(file)) {
            if (line.rfind("DTSTART;", 0) == 0) {
                startFound = line.find(":" + c.firstDay) != std::string::npos;
                EXPECT_EQ(line.find(timed ? "TZID=Asia/Tokyo" : "VALUE=DATE") == std::string::npos,
                          false)
                    << line;
            }
            if (line.rfind("EXDATE", 0) == 0) exdates.push_back(line);
        }
        EXPECT_TRUE(startFound) << file;
        EXPECT_EQ(exdates, c.exdates);
        // And back: the same days as the record's own rule over two years.
        const CalendarImport back = ReadCalendar(file, kStamp.now);
        ASSERT_EQ(back.accepted, 1) << file;
        const DateTime from = c.record.start.Date();
        EXPECT_EQ(OccurrenceMask(back.records[0], from, from.PlusDays(730)),
                  OccurrenceMask(c.record, from, from.PlusDays(730)));
    }
}

// ---- RRULE text -> record ----

struct ReadCase {
    const char* rrule;
    const char* dtstart;  // value of DTSTART (DATE or local date-time)
    bool accepted;
    int kind = 0;
    int interval = 1;
    int firstDay = 0, lastDay = 0;
    const char* weeks = "";     // e.g. "5" for the last week
    const char* weekdays = "";  // e.g. "FR"
    const char* months = "";    // e.g. "1,3"; empty: all
    const char* end = "9998/12/31";
};

std::string FlagText(const std::array<std::uint8_t, 5>& weeks) {
    std::string out;
    for (int i = 0; i < 5; ++i) {
        if (weeks[static_cast<std::size_t>(i)]) out += static_cast<char>('1' + i);
    }
    return out;
}

std::string DayText(const std::array<std::uint8_t, 7>& days) {
    static const char* codes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    std::string out;
    for (int i = 0; i < 7; ++i) {
        if (days[static_cast<std::size_t>(i)]) out += codes[i];
    }
    return out;
}

std::string MonthText(const std::array<std::uint8_t, 12>& months) {
    std::string out;
    int count = 0;
    for (int i = 0; i < 12; ++i) {
        if (!months[static_cast<std::size_t>(i)]) continue;
        if (!out.empty()) out += ",";
        out += std::to_string(i + 1);
        ++count;
    }
    return count == 12 ? "" : out;
}

TEST(VCalendarRules, RuleTextsBecomeRecordFieldsOrAreRejected) {
    const std::vector<ReadCase> cases = {
        {"FREQ=DAILY", "20260105", true, 1, 1, 5, 5},
        {"FREQ=DAILY;INTERVAL=3;UNTIL=20260301", "20260105", true, 1, 3, 5, 5, "", "", "",
         "2026/03/01"},
        {"FREQ=WEEKLY;BYDAY=MO", "20260105", true, 2, 1, 5, 5},
        {"FREQ=WEEKLY;BYDAY=MO,WE,FR", "20260105", true, 5, 1, 5, 5, "12345", "MOWEFR"},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE", "20260105", false},
        {"FREQ=MONTHLY", "20260110", true, 3, 1, 10, 10},
        {"FREQ=MONTHLY;BYMONTHDAY=10,11,12", "20260110", true, 3, 1, 10, 12},
        {"FREQ=MONTHLY;BYMONTHDAY=1,15", "20260101", false},
        {"FREQ=MONTHLY;BYMONTHDAY=-1", "20260131", true, 3, 1, -1, -1},
        {"FREQ=MONTHLY;BYDAY=-1FR", "20260130", true, 3, 1, 30, 30, "5", "FR"},
        {"FREQ=MONTHLY;BYDAY=+2TU", "20260113", true, 3, 1, 13, 13, "2", "TU"},
        {"FREQ=MONTHLY;BYDAY=5FR", "20260130", false},
        {"FREQ=MONTHLY;BYDAY=-2FR", "20260123", false},
        {"FREQ=MONTHLY;BYDAY=MO", "20260105", true, 5, 1, 5, 5, "12345", "MO"},
        {"FREQ=MONTHLY;BYDAY=1MO,3WE", "20260105", false},
        {"FREQ=MONTHLY;BYDAY=1MO,1WE,3MO,3WE;BYMONTH=1,3", "20260105", true, 5, 1, 5, 5, "13",
         "MOWE", "1,3"},
        {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1", "20260105", false},
        {"FREQ=YEARLY", "20260615", true, 4, 1, 15, 15},
        {"FREQ=YEARLY;BYMONTH=6;BYMONTHDAY=15", "20260615", true, 4, 1, 15, 15},
        {"FREQ=YEARLY;BYMONTH=1;BYDAY=2MO", "20260112", true, 4, 1, 12, 12, "2", "MO", "1"},
        {"FREQ=YEARLY;BYMONTH=4,10;BYMONTHDAY=20", "20260420", true, 5, 1, 20, 20, "", "", "4,10"},
        {"FREQ=YEARLY;BYWEEKNO=20", "20260515", false},
        {"FREQ=YEARLY;BYYEARDAY=100", "20260410", false},
        {"FREQ=DAILY;BYHOUR=9", "20260105", false},
        {"FREQ=HOURLY", "20260105", false},
        {"INTERVAL=2", "20260105", false},
        {"FREQ=DAILY;COUNT=3", "20260105", true, 1, 1, 5, 5, "", "", "", "2026/01/07"},
        {"FREQ=WEEKLY;COUNT=2;INTERVAL=2", "20260105", true, 2, 2, 5, 5, "", "", "", "2026/01/19"},
        {"FREQ=DAILY;COUNT=2;UNTIL=20260301", "20260105", false},
        // UNTIL in UTC before the start time of its Japan day: the day before counts.
        {"FREQ=DAILY;UNTIL=20260110T000000Z", "20260105T100000", true, 1, 1, 5, 5, "", "", "",
         "2026/01/09"},
        {"FREQ=DAILY;UNTIL=20260110T010000Z", "20260105T100000", true, 1, 1, 5, 5, "", "", "",
         "2026/01/10"},
        {"FREQ=DAILY;UNTIL=20251231", "20260105", false},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.rrule);
        const std::string dt = std::string(c.dtstart).size() == 8
                                   ? std::string("DTSTART;VALUE=DATE:") + c.dtstart
                                   : std::string("DTSTART;TZID=Asia/Tokyo:") + c.dtstart;
        const std::string file = Wrap("BEGIN:VEVENT\r\n" + dt + "\r\nRRULE:" + c.rrule +
                                      "\r\nSUMMARY:x\r\nEND:VEVENT\r\n");
        const CalendarImport result = ReadCalendar(file, kStamp.now);
        ASSERT_TRUE(result.hadComponents);
        EXPECT_EQ(result.accepted, c.accepted ? 1 : 0);
        EXPECT_EQ(result.failed, c.accepted ? 0 : 1);
        if (!c.accepted || result.records.empty()) continue;
        const CAlmxData& r = result.records[0];
        EXPECT_EQ(r.repeatType, c.kind);
        EXPECT_EQ(r.repeatInterval, c.interval);
        EXPECT_EQ(r.repeatFirstDay, c.firstDay);
        EXPECT_EQ(r.repeatLastDay, c.lastDay);
        EXPECT_EQ(FlagText(r.validWeeks), c.weeks);
        EXPECT_EQ(DayText(r.validWeekdays), c.weekdays);
        EXPECT_EQ(MonthText(r.validMonths), c.months);
        EXPECT_EQ(FormatDate(r.end), c.end);
    }
}

TEST(VCalendarRules, OurOlderFilesReadAsTheyWereMeant) {
    const std::string head =
        std::string("VERSION:2.0\r\nPRODID:") + vcal_messages::kProdId + "\r\n";
    // "5FR" was the last Friday; the span was stepped by the interval.
    const std::string file = Wrap(
        "BEGIN:VEVENT\r\nDTSTART:20260130T090000\r\nRRULE:FREQ=MONTHLY;BYDAY=5FR\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20260110T090000\r\n"
        "RRULE:FREQ=MONTHLY;BYMONTHDAY=10,12,14;INTERVAL=2\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nDUE;VALUE=DATE:20260110\r\nSTATUS:NEEDS ACTION\r\nEND:VTODO\r\n",
        head);
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(result.accepted, 3);
    EXPECT_EQ(FlagText(result.records[0].validWeeks), "5");
    EXPECT_EQ(result.records[0].start, At(2026, 1, 30, 9, 0));  // floating is Japan time
    EXPECT_EQ(result.records[1].repeatFirstDay, 10);
    EXPECT_EQ(result.records[1].repeatLastDay, 14);
    EXPECT_EQ(result.records[1].repeatInterval, 2);
    EXPECT_TRUE(result.records[2].Has(IsTodo));
    EXPECT_FALSE(result.records[2].Has(TodoDone));
}

// ---- Writer output read back ----

std::vector<CAlmxData> Mix() {
    std::vector<CAlmxData> records;
    records.push_back(
        Event("会議;定例,本社\\表", At(2026, 2, 3, 10, 0), At(2026, 2, 3, 11, 30), true, true));
    records.back().place = "第二会議室";
    records.back().memo = "一行目\n二行目, 三行目";
    records.back().alarmMinutes = 15;
    records.push_back(Event("旅行", Day(2026, 2, 10), Day(2026, 2, 12), false, false));
    records.push_back(Event("開始だけ", At(2026, 2, 4, 9, 0), Day(2026, 2, 4), true, false));
    records.push_back(Event("終了だけ", Day(2026, 2, 5), At(2026, 2, 5, 17, 0), false, true));
    records.push_back(Event("出張", At(2026, 2, 6, 9, 0), Day(2026, 2, 8), true, false));
    {
        CAlmxData r = Recurring(3, At(2026, 1, 1, 19, 0), At(2027, 12, 31, 20, 0));
        r.title = "月末金曜";
        r.Set(StartTimeSet);
        r.Set(EndTimeSet);
        r.positionMode = 1;
        r.validWeeks[4] = 1;
        r.validWeekdays[5] = 1;
        r.exceptions.push_back(CDaySpan::FromDates(Day(2026, 3, 27), Day(2026, 3, 27)));
        records.push_back(r);
    }
    {
        CAlmxData r = Recurring(4, Day(2026, 6, 15), Day(9998, 12, 31));
        r.title = "誕生日";
        records.push_back(r);
    }
    {
        CAlmxData r = Recurring(1, At(2026, 1, 5, 8, 0), Day(9998, 12, 31));
        r.title = "平日";
        r.Set(StartTimeSet);
        r.shiftRule = 6;
        records.push_back(r);
    }
    {
        CAlmxData t = testing::Schedule("提出", Day(2026, 3, 1), Day(2026, 3, 1));
        t.Set(IsTodo);
        records.push_back(t);
        t.title = "済み";
        t.Set(TodoDone);
        t.end = At(2026, 2, 28, 18, 45);
        records.push_back(t);
        CAlmxData open = testing::Schedule("いつか", kStamp.now, DateTime());
        open.Set(IsTodo);
        open.Set(TodoNoDeadline);
        records.push_back(open);
    }
    return records;
}

TEST(VCalendarRoundTrip, OurFileReadsBackFieldForField) {
    const std::vector<CAlmxData> records = Mix();
    std::vector<const CAlmxData*> pointers;
    for (const CAlmxData& r : records) pointers.push_back(&r);
    const std::string file = ICalendarText(pointers, kStamp);
    const CalendarImport back = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(back.accepted, static_cast<int>(records.size()));
    EXPECT_EQ(back.failed, 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(records[i].title);
        const CAlmxData& a = records[i];
        const CAlmxData& b = back.records[i];
        EXPECT_EQ(b.title, a.title);
        EXPECT_EQ(b.place, a.place);
        EXPECT_EQ(b.memo, a.memo);
        EXPECT_EQ(b.flags, a.flags);
        if (a.IsRecurring()) {
            // DTSTART is the first occurrence; the days are what must not change.
            EXPECT_EQ(FormatTime(b.start), FormatTime(a.start));
            EXPECT_EQ(OccurrenceMask(b, Day(2025, 12, 1), Day(2028, 1, 31)),
                      OccurrenceMask(a, Day(2025, 12, 1), Day(2028, 1, 31)));
        } else {
            EXPECT_EQ(FormatDate(b.start) + FormatTime(b.start),
                      FormatDate(a.start) + FormatTime(a.start));
        }
        if (!a.Has(IsTodo) || a.Has(TodoDone)) {
            EXPECT_EQ(FormatDate(b.end) + FormatTime(b.end), FormatDate(a.end) + FormatTime(a.end));
        }
        EXPECT_EQ(b.alarmMinutes, a.alarmMinutes);
        EXPECT_EQ(b.repeatType, a.repeatType);
        if (!a.positionMode) {
            EXPECT_EQ(b.repeatFirstDay, a.repeatFirstDay);
            EXPECT_EQ(b.repeatLastDay, a.repeatLastDay);
        }
        EXPECT_EQ(b.validWeeks, a.validWeeks);
        EXPECT_EQ(b.validWeekdays, a.validWeekdays);
        EXPECT_EQ(b.shiftRule, a.shiftRule);
        EXPECT_EQ(b.exceptions, a.exceptions);
    }
}

TEST(VCalendarWriter, FileHasOneZoneUniqueUidsStampsAndExclusiveDateEnds) {
    const std::vector<CAlmxData> records = Mix();
    std::vector<const CAlmxData*> pointers;
    for (const CAlmxData& r : records) pointers.push_back(&r);
    const std::string file = ICalendarText(pointers, kStamp);
    EXPECT_EQ(file, ICalendarText(pointers, kStamp));  // reproducible
    int zones = 0;
    int components = 0;
    std::set<std::string> uids;
    for (const std::string& line : Unfolded(file)) {
        if (line == "BEGIN:VTIMEZONE") ++zones;
        if (line == "BEGIN:VEVENT" || line == "BEGIN:VTODO") ++components;
        if (line.rfind("UID:", 0) == 0) uids.insert(line);
        if (line.rfind("DTSTAMP:", 0) == 0) {
            EXPECT_EQ(line, "DTSTAMP:20261208T013000Z");
        }
    }
    EXPECT_EQ(zones, 1);
    EXPECT_EQ(uids.size(), static_cast<std::size_t>(components));
    EXPECT_TRUE(HasLine(file, "DTSTART;VALUE=DATE:20260210"));
    EXPECT_TRUE(HasLine(file, "DTEND;VALUE=DATE:20260213"));
    EXPECT_TRUE(HasLine(file, "SUMMARY:会議\\;定例\\,本社\\\\表"));
    EXPECT_TRUE(HasLine(file, "STATUS:NEEDS-ACTION"));
    EXPECT_TRUE(HasLine(file, "COMPLETED:20260228T094500Z"));
    EXPECT_TRUE(HasLine(file, "TRIGGER:-PT15M"));
    // The to-do without a deadline has no DUE; the start-only event no DTEND.
    const std::size_t someday = file.find("SUMMARY:いつか");
    const std::size_t todoBegin = file.rfind("BEGIN:VTODO", someday);
    EXPECT_EQ(file.substr(todoBegin, someday - todoBegin).find("DUE"), std::string::npos);
    const std::size_t startOnly = file.find("SUMMARY:開始だけ");
    const std::size_t eventBegin = file.rfind("BEGIN:VEVENT", startOnly);
    EXPECT_EQ(file.substr(eventBegin, startOnly - eventBegin).find("DTEND"), std::string::npos);
}

// ---- Files as other programs write them ----

TEST(VCalendarReader, AllDayEventOfAnotherProgramKeepsItsDays) {
    const std::string file = Wrap(
        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260320\r\nDTEND;VALUE=DATE:20260321\r\n"
        "DTSTAMP:20260101T000000Z\r\nUID:abc@google.com\r\nSUMMARY:春分の日\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:This is an event reminder\r\n"
        "TRIGGER:-P0DT0H30M0S\r\nEND:VALARM\r\n"
        "END:VEVENT\r\n",
        "PRODID:-//Google Inc//Google Calendar 70.9054//EN\r\nVERSION:2.0\r\n");
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(result.accepted, 1);
    const CAlmxData& r = result.records[0];
    EXPECT_EQ(r.start, Day(2026, 3, 20));
    EXPECT_EQ(r.end, Day(2026, 3, 20));
    EXPECT_EQ(r.title, "春分の日");
    // The alarm's DESCRIPTION stays inside the VALARM.
    EXPECT_EQ(r.memo, "");
    EXPECT_FALSE(r.Has(StartTimeSet));
}

TEST(VCalendarReader, ZonesOfOtherProgramsAreConvertedToJapanTime) {
    const std::string file = Wrap(
        "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\nBEGIN:STANDARD\r\n"
        "DTSTART:19701101T020000\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\n"
        "BEGIN:VEVENT\r\nDTSTART;TZID=America/New_York:20260115T190000\r\n"
        "DTEND;TZID=\"America/New_York\":20260115T200000\r\nsummary;LANGUAGE=ja:電話\r\n"
        "LOCATION;ALTREP=\"http://x.example/a:b;c\":NY\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20260115T010000Z\r\nDTEND:20260115T020000Z\r\n"
        "SUMMARY:UTC\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART;TZID=Tokyo Standard Time:20260115T090000\r\n"
        "DTEND;TZID=Tokyo Standard Time:20260115T100000\r\nSUMMARY:Outlook\r\nEND:VEVENT\r\n",
        "PRODID:-//Mozilla.org/NONSGML Mozilla Calendar V1.1//EN\r\nVERSION:2.0\r\n");
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(result.accepted, 3);
    EXPECT_EQ(result.records[0].start, At(2026, 1, 16, 9, 0));
    EXPECT_EQ(result.records[0].end, At(2026, 1, 16, 10, 0));
    EXPECT_EQ(result.records[0].title, "電話");
    EXPECT_EQ(result.records[0].place, "NY");
    EXPECT_EQ(result.records[1].start, At(2026, 1, 15, 10, 0));
    EXPECT_EQ(result.records[2].start, At(2026, 1, 15, 9, 0));
    EXPECT_TRUE(result.records[2].Has(EndTimeSet));
}

TEST(VCalendarReader, CountsRejectionsAndOverridesAndSkipsBase64) {
    const std::string file = Wrap(
        "BEGIN:VEVENT\r\nUID:m\r\nDTSTART;TZID=Asia/Tokyo:20260105T100000\r\n"
        "DTEND;TZID=Asia/Tokyo:20260105T110000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n"
        "EXDATE;TZID=Asia/Tokyo:20260106T100000,20260107T100000\r\nSUMMARY:朝会\r\n"
        "ATTACH;ENCODING=BASE64;VALUE=BINARY:AAAA\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:m\r\nRECURRENCE-ID;TZID=Asia/Tokyo:20260108T100000\r\n"
        "DTSTART;TZID=Asia/Tokyo:20260108T150000\r\nDTEND;TZID=Asia/Tokyo:20260108T160000\r\n"
        "SUMMARY:朝会(変更)\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20260105T100000\r\nRRULE:FREQ=HOURLY\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20260105\r\nRRULE:FREQ=DAILY\r\nRDATE:20260110\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nSUMMARY:no start\r\nEND:VEVENT\r\n");
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    EXPECT_EQ(result.accepted, 2);
    EXPECT_EQ(result.failed, 3);
    ASSERT_EQ(result.records.size(), 2u);
    const CAlmxData& master = result.records[0];
    EXPECT_EQ(FormatDate(master.end), "2026/01/09");
    ASSERT_EQ(master.exceptions.size(), 3u);
    EXPECT_EQ(master.exceptions[2], CDaySpan::FromDates(Day(2026, 1, 8), Day(2026, 1, 8)));
    const std::vector<std::uint8_t> days =
        OccurrenceMask(master, Day(2026, 1, 5), Day(2026, 1, 10));
    EXPECT_EQ(days, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(result.records[1].repeatType, 0);
    EXPECT_EQ(result.records[1].start, At(2026, 1, 8, 15, 0));
    EXPECT_EQ(CalendarImportMessage(result), "インポート成功：2件\nインポート失敗：3件");
}

TEST(VCalendarReader, FilesWithoutEntriesAndTodosWithoutDeadline) {
    EXPECT_FALSE(ReadCalendar("garbage\r\n", kStamp.now).hadComponents);
    EXPECT_FALSE(ReadCalendar(Wrap(""), kStamp.now).hadComponents);
    const CalendarImport todo = ReadCalendar(
        Wrap("BEGIN:VTODO\r\nSUMMARY:いつか\r\nSTATUS:NEEDS-ACTION\r\nEND:VTODO\r\n"), kStamp.now);
    ASSERT_EQ(todo.accepted, 1);
    EXPECT_TRUE(todo.records[0].Has(TodoNoDeadline));
    EXPECT_TRUE(todo.records[0].start.IsValid());
    EXPECT_EQ(CalendarImportMessage(todo), "全件（1件）のインポートに成功しました。");
}

TEST(VCalendarReader, PhoneVcsInShiftJisQuotedPrintable) {
    // 打合せ in Shift_JIS: 91 C5 8D 87 82 B9, without CHARSET.
    const std::string file =
        "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\n"
        "SUMMARY;ENCODING=QUOTED-PRINTABLE:=91=C5=8D=87=\r\n=82=B9\r\n"
        "DTSTART:20260201T130000\r\nDTEND:20260201T140000\r\n"
        "AALARM:20260201T125000\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nSUMMARY;CHARSET=UTF-8:買い物\r\nDUE:20260202T000000\r\n"
        "STATUS:NEEDS ACTION\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(result.accepted, 2);
    EXPECT_EQ(result.records[0].title, "打合せ");
    EXPECT_EQ(result.records[0].alarmMinutes, 10);
    EXPECT_EQ(result.records[1].title, "買い物");
    EXPECT_TRUE(result.records[1].Has(IsTodo));
}

TEST(VCalendarRules, SimpleVcalendarRulesReadAsTheirRruleWords) {
    EXPECT_EQ(VcsRuleToRRule("D1 #5"), "FREQ=DAILY;INTERVAL=1;COUNT=5");
    EXPECT_EQ(VcsRuleToRRule("W2 MO WE 20261231T000000"),
              "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;UNTIL=20261231T000000");
    EXPECT_EQ(VcsRuleToRRule("MD1 10 LD #0"), "FREQ=MONTHLY;INTERVAL=1;BYMONTHDAY=10,-1");
    EXPECT_EQ(VcsRuleToRRule("MP1 1- FR"), "FREQ=MONTHLY;INTERVAL=1;BYDAY=-1FR");
    EXPECT_EQ(VcsRuleToRRule("YM1 6"), "FREQ=YEARLY;INTERVAL=1;BYMONTH=6");
    EXPECT_EQ(VcsRuleToRRule("X9"), "");
    const CalendarImport result = ReadCalendar(
        "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nDTSTART:20260130T190000\r\n"
        "RRULE:MP1 1- FR #3\r\nSUMMARY:a\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
        kStamp.now);
    ASSERT_EQ(result.accepted, 1);
    EXPECT_EQ(FlagText(result.records[0].validWeeks), "5");
    EXPECT_EQ(FormatDate(result.records[0].end), "2026/03/27");
}

TEST(VCalendarReader, TextsTheScheduleFileCannotHoldAreCountedAndStable) {
    const CalendarImport result = ReadCalendar(
        Wrap("BEGIN:VEVENT\r\nDTSTART:20260105\r\nSUMMARY:a\xF0\x9F\x98\x80\rb\r\nEND:VEVENT\r\n"),
        kStamp.now);
    ASSERT_EQ(result.accepted, 1);
    EXPECT_EQ(result.records[0].title, "a?\nb");
    EXPECT_EQ(result.replaced, 1u);
}

TEST(VCalendarWriter, VcsCarriesCharsetAndShortQuotedPrintableLines) {
    CAlmxData r = Event(std::string(30 * 0 + 0, ' ') +
                            "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ",
                        At(2026, 2, 1, 13, 0), At(2026, 2, 1, 14, 0), true, true);
    const std::string file = VCalendarText(r, Day(2026, 2, 1), 0, kStamp);
    std::size_t pos = 0;
    while (pos < file.size()) {
        const std::size_t end = file.find("\r\n", pos);
        EXPECT_LE(end - pos, 76u);
        pos = end + 2;
    }
    EXPECT_NE(file.find("SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:"), std::string::npos);
    const CalendarImport back = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(back.accepted, 1);
    EXPECT_EQ(back.records[0].title, r.title);
    EXPECT_EQ(back.records[0].start, r.start);
}

TEST(VCalendarWriter, RecurringVcsMovesADayOnlyForStartsBeforeTheDayChange) {
    CAlmxData r = Recurring(1, At(2026, 1, 1, 1, 30), Day(9998, 12, 31));
    r.Set(StartTimeSet);
    CVCalender early;
    early.FromRecordForVcs(r, Day(2026, 2, 10), 4);
    EXPECT_EQ(early.start, At(2026, 2, 11, 1, 30));
    CAlmxData untimed = Recurring(1, Day(2026, 1, 1), Day(9998, 12, 31));
    CVCalender day;
    day.FromRecordForVcs(untimed, Day(2026, 2, 10), 4);
    EXPECT_EQ(day.start, Day(2026, 2, 10));
}

}  // namespace
}  // namespace almx
