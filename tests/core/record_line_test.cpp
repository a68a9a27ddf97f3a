#include "core/record_line.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/csv_card.h"
#include "base/settings_store.h"
#include "core/record.h"
#include "core/record_display.h"
#include "text/encoding.h"

namespace almx {
namespace {

CAlmxData Parse(const std::string& line, bool* ok = nullptr) {
    TCard cells;
    cells.Parse(line);
    CAlmxData record;
    bool parsed = ParseRecordLine(cells, record);
    if (ok) *ok = parsed;
    return record;
}

CAlmxData RoundTrip(const CAlmxData& record) {
    bool ok = false;
    CAlmxData back = Parse(RecordLine(record), &ok);
    EXPECT_TRUE(ok);
    return back;
}

CAlmxData Schedule(int y, int m, int d) {
    CAlmxData r;
    r.start = DateTime::FromDate(y, m, d);
    r.end = r.start;
    return r;
}

TEST(RecordLine, ByteExactShiftJisFormWithAMultiLineMemo) {
    CAlmxData r = Schedule(2008, 1, 5);
    r.start = DateTime::FromParts(2008, 1, 5, 9, 30);
    r.end = DateTime::FromParts(2008, 1, 5, 10, 0);
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    r.title = "会議";
    r.place = "本社";
    r.memo = "資料を準備\n表示確認";
    r.colour = 0x0000FF;
    r.alarmMinutes = 10;
    std::string expected =
        "\"0\",\"2008/01/05\",\"09:30\",\"2008/01/05\",\"10:00\",\"会議\",\"1\",\"1\",\"0\",\"0\","
        "\"0000FF\",\"\",\"1\",\"10\",\"0\",\"0\",\"0\",\"1\",\"1\",\"1\",\"0\",\"\",\"0\",\"\","
        "\"本社\",\"資料を準備\x01\x02表示確認\"\n";
    EXPECT_EQ(RecordLine(r), expected);
    std::string sjis = text::ToShiftJis(RecordLine(r));
    // 表 ends in 0x5C and 会 is 0x89 0xEF: the Shift_JIS bytes stay intact around the escapes.
    EXPECT_NE(sjis.find("\x8E\x91\x97\xBF\x82\xF0\x8F\x80\x94\xF5\x01\x02\x95\x5C\x8E\xA6"),
              std::string::npos);
    EXPECT_EQ(text::FromShiftJis(sjis), expected);
}

TEST(RecordLine, ToDoWithoutDeadlineLeavesTheRecurrenceCellsEmpty) {
    CAlmxData todo;
    todo.Set(IsTodo);
    todo.Set(TodoNoDeadline);
    todo.start = DateTime::FromParts(2008, 3, 1, 12, 0);
    todo.title = "買い物";
    todo.todoImportance = 3;
    todo.todoLeadDays = 2;
    TCard cells = RecordCard(todo);
    ASSERT_EQ(cells.Count(), kRecordCells);
    EXPECT_EQ(cells.At(0), "1");
    for (int cell : {4, 5, 18, 19, 20, 21, 22, 23, 24}) EXPECT_EQ(cells.At(cell - 1), "") << cell;
    EXPECT_EQ(cells.At(9), "3");
    CAlmxData back = RoundTrip(todo);
    EXPECT_TRUE(back.Has(IsTodo));
    EXPECT_TRUE(back.Has(TodoNoDeadline));
    EXPECT_FALSE(back.Has(TodoDone));
    EXPECT_EQ(back.todoImportance, 3);
    EXPECT_EQ(back.todoLeadDays, 2);
}

TEST(ParseRecordLine, OlderTwentyFiveCellLine) {
    // No memo cell and no notification mode: a lead of 10 minutes turns mode 0 into 1.
    std::string line =
        "\"0\",\"2008/01/05\",\"09:00\",\"2008/01/05\",\"09:00\",\"古い予定\",\"1\",\"0\",\"0\","
        "\"0\",\"000000\",\"\",\"0\",\"10\",\"0\",\"0\",\"0\",\"1\",\"1\",\"1\",\"0\",\"\",\"1\","
        "\"\",\"\"\n";
    bool ok = false;
    CAlmxData r = Parse(line, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(r.alarmMode, 1);
    EXPECT_EQ(r.alarmMinutes, 10);
    EXPECT_EQ(r.memo, "");
    EXPECT_EQ(r.shiftRule, 6);  // the older weekdays-only switch
    EXPECT_EQ(r.title, "古い予定");
}

TEST(ParseRecordLine, RecurrenceCells) {
    TCard cells = RecordCard(Schedule(2008, 1, 5));
    cells.SetAt(16, "5");
    cells.SetAt(20, "5A");
    cells.SetAt(21, "1AC");
    cells.SetAt(23, "2008/01/05,2008/02/01～2008/02/03,garbage,2008/02/30");
    CAlmxData r;
    ASSERT_TRUE(ParseRecordLine(cells, r));
    EXPECT_EQ(r.positionMode, 1);
    EXPECT_EQ(r.validWeeks, (std::array<std::uint8_t, 5>{0, 0, 0, 0, 1}));
    EXPECT_EQ(r.validWeekdays, (std::array<std::uint8_t, 7>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(r.validMonths, (std::array<std::uint8_t, 12>{1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
    ASSERT_EQ(r.exceptions.size(), 2u);
    EXPECT_EQ(r.exceptions[0], (CDaySpan{2008, 1, 5, 2008, 1, 5}));
    EXPECT_EQ(r.exceptions[1], (CDaySpan{2008, 2, 1, 2008, 2, 3}));
    EXPECT_EQ(ExceptionText(r), "2008/01/05,2008/02/01～2008/02/03");
    EXPECT_EQ(MonthText(r), "1AC");
    r.validMonths.fill(1);
    EXPECT_EQ(MonthText(r), "");
}

TEST(ParseRecordLine, RejectsOtherRowKindsAndBadDates) {
    bool ok = true;
    TCard cells = RecordCard(Schedule(2008, 1, 5));
    cells.SetAt(0, "2");
    CAlmxData r;
    EXPECT_FALSE(ParseRecordLine(cells, r));
    cells.SetAt(0, "0");
    cells.SetAt(1, "2008/02/30");
    EXPECT_FALSE(ParseRecordLine(cells, r));
    // A to-do keeps going with its default start.
    cells.SetAt(0, "1");
    CAlmxData todo;
    EXPECT_TRUE(ParseRecordLine(cells, todo));
    EXPECT_EQ(todo.start, DateTime());
    // A short line reads its missing cells as empty.
    Parse("\"0\",\"2008/01/05\",\"10:00\"\n", &ok);
    EXPECT_FALSE(ok);
    CAlmxData shortTodo = Parse("\"1\",\"2008/01/05\",\"10:00\"\n", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(shortTodo.title, "");
}

// Random text from pieces that stress the codec: quotes next to commas, line breaks of both
// forms, Shift_JIS trail bytes that look like ASCII.
std::string RandomText(std::mt19937& random) {
    static const char* pieces[] = {"\"", ",", "\",", ",\"", "\n",   "予定", "表",       "ｱ",
                                   "a",  " ", "～",  "\\",  "\x01", "@",    "(あと1日)"};
    std::string text;
    for (unsigned n = random() % 9; n > 0; --n) text += pieces[random() % 15];
    return text;
}

TEST(RecordLine, RandomRecordsSurviveTheLineAndItsShiftJisForm) {
    std::mt19937 random(2024);
    auto pick = [&](int low, int high) {
        return low + static_cast<int>(random() % (high - low + 1));
    };
    for (int round = 0; round < 3000; ++round) {
        CAlmxData r;
        bool todo = random() % 4 == 0;
        int year = pick(0, 1) ? pick(1583, 1600) : pick(9990, 9998);
        r.start = DateTime::FromParts(year, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59));
        r.end = DateTime::FromParts(year, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59));
        r.title = RandomText(random);
        r.place = RandomText(random);
        r.memo = RandomText(random);
        r.linkFile = RandomText(random);
        r.flags = static_cast<std::uint8_t>(random() & 0x77);  // IsTodo set below
        r.Set(IsTodo, todo);
        r.colour = static_cast<std::uint32_t>(random() & 0xFFFFFF);
        r.genre = pick(-1, 1000);
        r.timeDisplay = pick(0, 3);
        r.textStyle = pick(0, 3);
        if (todo) {
            r.todoImportance = static_cast<std::uint16_t>(pick(0, 65535));
            r.todoLeadDays = pick(-1, 400);
            r.Set(HolidayMark, false);
            if (!r.Has(TodoDone)) r.end = DateTime();
        } else {
            r.Set(TodoDone, false);
            r.Set(TodoNoDeadline, false);
            r.alarmMinutes = pick(-1, 100000);
            r.alarmMode = pick(0, 5);
            r.repeatType = pick(0, 5);
            r.repeatFirstDay = pick(-1, 31);
            r.repeatLastDay = pick(-1, 31);
            r.repeatInterval = pick(1, 99);
            r.positionMode = pick(0, 1);
            if (r.positionMode) {
                for (auto& w : r.validWeeks) w = static_cast<std::uint8_t>(random() & 1);
                for (auto& w : r.validWeekdays) w = static_cast<std::uint8_t>(random() & 1);
                r.validWeeks[0] = 1;  // position mode always names something
            }
            if (r.repeatType > 2) {
                for (auto& m : r.validMonths) m = static_cast<std::uint8_t>(random() & 1);
            }
            int shift = pick(0, 31) & ~1;
            r.shiftRule = shift;
            for (int i = pick(0, 3); i > 0; --i) {
                DateTime first = DateTime::FromDate(pick(1583, 9998), pick(1, 12), pick(1, 28));
                r.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(pick(0, 3))));
            }
        }
        std::string line = RecordLine(r);
        ASSERT_EQ(line.find('\n'), line.size() - 1);
        TCard cells;
        cells.Parse(text::FromShiftJis(text::ToShiftJis(line)));
        ASSERT_EQ(cells.Count(), kRecordCells);
        CAlmxData back;
        back.alarmMinutes = r.alarmMinutes;  // a to-do does not store it
        ASSERT_TRUE(ParseRecordLine(cells, back)) << line;
        ASSERT_EQ(back, r) << line;
    }
}

// The file's lines are encoded as they are built; they must be the bytes the UTF-8 line
// encodes to, with the same characters reported, whatever the texts hold.
TEST(RecordLine, ShiftJisLineIsTheEncodedUtf8Line) {
    static const char* pieces[] = {"予定", ",", "\"",     "\",",    "\n",      "\r\n",     "\r",
                                   "😀",    "é", "\u301C", "\u2212", "\u00A2",  "\xE3\x81", "\xFF",
                                   "\x80", "ｱ", "a",      "～",     "\x01\x02"};
    constexpr unsigned kPieces = sizeof pieces / sizeof pieces[0];
    std::mt19937 random(17);
    auto text = [&] {
        std::string out;
        for (unsigned n = random() % 7; n > 0; --n) out += pieces[random() % kPieces];
        return out;
    };
    text::SjisEncoding file;
    file.bytes = "head";
    std::string expectedBytes = "head";
    std::vector<std::string> expectedMissing;
    for (int round = 0; round < 2000; ++round) {
        CAlmxData r = Schedule(2000 + round % 30, round % 12 + 1, round % 28 + 1);
        r.Set(IsTodo, round % 5 == 0);
        r.title = text();
        r.place = text();
        r.memo = text();
        r.linkFile = text();
        if (round % 3 == 0) r.memo += std::string(200, 'x') + text();
        std::string utf8;
        AppendRecordLine(r, utf8, "\r\n");
        text::SjisEncoding one = text::Utf8ToShiftJis(utf8);
        expectedBytes += one.bytes;
        expectedMissing.insert(expectedMissing.end(), one.unrepresentable.begin(),
                               one.unrepresentable.end());
        AppendRecordLineShiftJis(r, file, "\r\n");
        ASSERT_EQ(file.bytes, expectedBytes) << utf8;
        ASSERT_EQ(file.unrepresentable, expectedMissing) << utf8;
    }
    EXPECT_FALSE(expectedMissing.empty());
}

// The file's line is written straight into reserved room; whatever the fields hold (numbers
// of every width and sign, years of one to four digits, colours beyond six digits, odd day
// spans, texts whose escapes meet at the ends of eight-byte words), it must be the UTF-8 line
// encoded, and never run past the room it asked for.
TEST(RecordLine, ShiftJisLineOfExtremeFieldsIsTheEncodedUtf8Line) {
    static const char* pieces[] = {",\"",          "\",",  "\",\"",   ",,\"", "\"\",",
                                   "\r\r\n",       "\n\r", "abcdefg", "予定", "\xE0\x80\x80",
                                   "\xED\xA0\x80", "ｱ",    ","};
    constexpr unsigned kPieces = sizeof pieces / sizeof pieces[0];
    std::mt19937 random(31);
    auto pick = [&](long low, long high) {
        return low + static_cast<long>(random() % static_cast<unsigned long>(high - low + 1));
    };
    auto text = [&] {
        std::string out(static_cast<std::size_t>(pick(0, 9)), 'x');
        for (long n = pick(0, 6); n > 0; --n) out += pieces[random() % kPieces];
        return out;
    };
    const int kInts[] = {0, 9, 10, 99, 100, -1, -10, -100, 2147483647, -2147483647 - 1};
    auto anyInt = [&] {
        return random() % 2 ? kInts[random() % 10] : static_cast<int>(pick(-500, 500));
    };
    for (int round = 0; round < 3000; ++round) {
        CAlmxData r;
        const int year = static_cast<int>(random() % 3 == 0 ? pick(1, 999) : pick(1000, 9999));
        r.start =
            DateTime::FromParts(year, static_cast<int>(pick(1, 12)), static_cast<int>(pick(1, 28)),
                                static_cast<int>(pick(0, 23)), static_cast<int>(pick(0, 59)));
        r.end = r.start.PlusDays(static_cast<int>(pick(0, 400)));
        r.flags = static_cast<std::uint8_t>(random() & 0x7F);
        r.title = text();
        r.place = text();
        r.memo = text();
        r.linkFile = text();
        r.colour = random() % 4 == 0 ? static_cast<std::uint32_t>(random())
                                     : static_cast<std::uint32_t>(random() & 0xFFFFFF);
        r.todoImportance = static_cast<std::uint16_t>(random());
        r.alarmMinutes = anyInt();
        r.alarmMode = anyInt();
        r.todoLeadDays = anyInt();
        r.genre = anyInt();
        r.timeDisplay = anyInt();
        r.textStyle = anyInt();
        r.repeatType = anyInt();
        r.repeatFirstDay = anyInt();
        r.repeatLastDay = anyInt();
        r.repeatInterval = anyInt();
        r.shiftRule = anyInt();
        r.positionMode = static_cast<int>(pick(0, 1));
        for (auto& w : r.validWeeks) w = static_cast<std::uint8_t>(random() & 1);
        for (auto& w : r.validWeekdays) w = static_cast<std::uint8_t>(random() & 1);
        for (auto& m : r.validMonths) m = static_cast<std::uint8_t>(random() % 4 != 0);
        for (long n = pick(0, 3); n > 0; --n) {
            CDaySpan span{anyInt(), anyInt(), anyInt(), anyInt(), anyInt(), anyInt()};
            if (random() % 2) span = CDaySpan{year, 2, 3, year, 2, 3};
            r.exceptions.push_back(span);
        }
        std::string utf8;
        AppendRecordLine(r, utf8, "\r\n");
        const text::SjisEncoding expected = text::Utf8ToShiftJis(utf8);

        const std::size_t room = RecordLineShiftJisBound(r, "\r\n");
        std::string buffer(room + 16, '\x7F');
        std::vector<std::string> missing;
        char* const end = WriteRecordLineShiftJis(r, buffer.data(), missing, "\r\n");
        ASSERT_LE(end - buffer.data(), static_cast<std::ptrdiff_t>(room)) << utf8;
        ASSERT_EQ(std::string(buffer.data(), end), expected.bytes) << utf8;
        ASSERT_EQ(missing, expected.unrepresentable) << utf8;
        ASSERT_EQ(buffer.substr(room), std::string(16, '\x7F'));
    }
}

TEST(RecordLine, GarbageCellsNeverCrash) {
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        TCard cells;
        for (int i = static_cast<int>(random() % 30); i > 0; --i) {
            std::string text(random() % 12, '\0');
            for (char& c : text) c = "0123456789/:-～,SMTWHFAabc"[random() % 26];
            cells.Add(text);
        }
        CAlmxData r;
        ParseRecordLine(cells, r);
    }
}

TEST(EntryText, TimePrefixesAndToDoSuffixes) {
    DisplayRules rules;
    CAlmxData todo;
    todo.Set(IsTodo);
    todo.title = "提出";
    todo.start = DateTime::FromDate(2008, 1, 6);
    DateTime today = DateTime::FromDate(2008, 1, 5);
    EXPECT_EQ(EntryText(todo, today, 0, rules), "提出(あと1日)");
    EXPECT_EQ(EntryText(todo, today.PlusDays(1), 0, rules), "提出(本日まで)");
    EXPECT_EQ(EntryText(todo, today.PlusDays(3), 0, rules), "提出(2日超過!)");
    rules.todoLeftDraw = false;
    todo.place = "役所";
    EXPECT_EQ(EntryText(todo, today, 0, rules), "提出@役所");

    CAlmxData late = Schedule(2008, 1, 10);
    late.start = DateTime::FromParts(2008, 1, 10, 1, 0);
    late.end = DateTime::FromParts(2008, 1, 10, 2, 0);
    late.Set(StartTimeSet);
    late.Set(EndTimeSet);
    late.title = "夜勤";
    EXPECT_EQ(FormatDate(DisplayStart(late, 4)), "2008/01/09");
    EXPECT_EQ(FormatDate(DisplayEnd(late, 4)), "2008/01/09");
    rules.todayLimit = 4;
    EXPECT_EQ(EntryText(late, DateTime::FromDate(2008, 1, 9), 0, rules), "25:00-26:00 夜勤");
    EXPECT_EQ(TimePrefix(late, DateTime::FromDate(2008, 1, 9), ShowEndOnly, 4), "～26:00 ");
    EXPECT_EQ(TimePrefix(late, DateTime::FromDate(2008, 1, 10), 0, 4), "");
    late.timeDisplay = 3;
    EXPECT_EQ(TimePrefix(late, DateTime::FromDate(2008, 1, 9), 0, 4), "");
    EXPECT_EQ(TimePrefix(late, DateTime::FromDate(2008, 1, 9), ShowStartOnly, 4), "25:00 ");
}

TEST(Record, DefaultsCopiesAndSnooze) {
    MemorySettingsStore settings;
    settings.SetInt("System", "Alerm", 15);
    CAlmxData r(RecordDefaults::FromSettings(settings));
    EXPECT_EQ(r.alarmMinutes, 15);
    EXPECT_EQ(r.alarmMode, 1);
    EXPECT_EQ(r.todoLeadDays, -1);
    EXPECT_EQ(r.repeatInterval, 1);
    EXPECT_EQ(r.validMonths[11], 1);
    r.exceptions.push_back({2008, 1, 1, 2008, 1, 2});
    CAlmxData copy(r);
    EXPECT_EQ(copy, r);
    DateTime now = DateTime::FromParts(2008, 1, 5, 10, 0);
    CAlmxSnoozeData snooze(r, now, 5);
    EXPECT_EQ(FormatTime(snooze.snoozeTime), "10:20");
    EXPECT_EQ(snooze.exceptions.size(), 1u);
    r.alarmMinutes = -1;
    EXPECT_EQ(FormatTime(CAlmxSnoozeData(r, now, 5).NotificationTime()), "10:05");
}

TEST(Record, FirstOccurrenceEndAndColour) {
    CAlmxData r = Schedule(2008, 1, 5);
    r.start = DateTime::FromParts(2008, 1, 5, 10, 0);
    r.end = DateTime::FromParts(2008, 3, 1, 9, 0);
    EXPECT_EQ(
        FormatDate(FirstOccurrenceEnd(r, false)) + " " + FormatTime(FirstOccurrenceEnd(r, false)),
        "2008/03/01 09:00");
    r.repeatType = RepeatWeeks;
    EXPECT_EQ(FirstOccurrenceEnd(r, false), r.start);  // 09:00 on the start day is earlier
    r.end = DateTime::FromParts(2008, 3, 1, 11, 0);
    EXPECT_EQ(FormatTime(FirstOccurrenceEnd(r, false)), "11:00");
    EXPECT_EQ(FormatDate(FirstOccurrenceEnd(r, false)), "2008/01/05");
    r.colour = 0x123456;
    EXPECT_EQ(DisplayColour(r, 0xFF), 0x123456u);
    r.Set(HolidayMark);
    EXPECT_EQ(DisplayColour(r, 0xFF), 0xFFu);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// Found by fuzzing: CRs before a line break lost one CR on every save.
TEST(RecordLine, CarriageReturnsHaveOneStableForm) {
    TCard cells;
    cells.Parse(std::string("1,,,,,[\r\r\r\n\r\0\x02\r\",0\n", 17));
    CAlmxData first;
    ASSERT_TRUE(ParseRecordLine(cells, first));
    EXPECT_EQ(first.title, std::string("[\n\n\n\n\0\x02\n\"", 9));
    CAlmxData second;
    TCard again;
    again.Parse(RecordLine(first));
    ASSERT_TRUE(ParseRecordLine(again, second));
    EXPECT_EQ(second.title, first.title);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// Found by fuzzing: a position cell naming no week or weekday must stay position mode.
TEST(ParseRecordLine, PositionModeWithNothingChosenStaysPositionMode) {
    TCard cells = RecordCard(Schedule(2008, 1, 5));
    cells.SetAt(20, "x");
    CAlmxData first;
    ASSERT_TRUE(ParseRecordLine(cells, first));
    EXPECT_EQ(first.positionMode, 1);
    TCard again;
    again.Parse(RecordLine(first));
    CAlmxData second;
    ASSERT_TRUE(ParseRecordLine(again, second));
    EXPECT_EQ(second.positionMode, 1);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// Found by fuzzing: a rule with no valid month came back valid in every month.
TEST(RecordLine, NoValidMonthStaysNoValidMonth) {
    CAlmxData r = Schedule(2008, 1, 5);
    r.repeatType = RepeatChosenMonths;
    r.validMonths.fill(0);
    EXPECT_EQ(MonthText(r), "0");
    CAlmxData back = RoundTrip(r);
    EXPECT_EQ(back.validMonths, r.validMonths);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// Found by fuzzing: seconds in a time cell were kept in memory but never written.
TEST(ParseRecordLine, SecondsAreDroppedAsTheLineCannotKeepThem) {
    TCard cells = RecordCard(Schedule(2008, 1, 5));
    cells.SetAt(2, "15:00:05");
    CAlmxData r;
    ASSERT_TRUE(ParseRecordLine(cells, r));
    EXPECT_EQ(r.start, DateTime::FromParts(2008, 1, 5, 15, 0));
    EXPECT_EQ(RoundTrip(r), r);
}

}  // namespace
}  // namespace almx
