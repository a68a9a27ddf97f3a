// The writer and reader rebuilt for speed give what the ones before them gave, byte for byte
// and field for field, on the benchmark's document.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../bench/sample_document.h"
#include "exchange/icalendar_golden.h"
#include "exchange/vcalendar.h"

namespace almx {
namespace {

const CalendarStamp kStamp{DateTime::FromParts(2026, 12, 8, 10, 30, 0), 42};

struct Document {
    explicit Document(int count) : records(bench::SampleRecords(count)) {
        for (const CAlmxData& r : records) pointers.push_back(&r);
    }
    std::vector<CAlmxData> records;
    std::vector<const CAlmxData*> pointers;
};

// The first line where two files differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const std::size_t from = a.rfind('\n', at) == std::string::npos ? 0 : a.rfind('\n', at) + 1;
    return "at byte " + std::to_string(at) + ":\n  expected " + a.substr(from, 100) +
           "\n  actual   " + b.substr(from, 100);
}

TEST(ICalendarGolden, WriterOutputIsUnchanged) {
    std::ifstream in(ALMX_SOURCE_DIR "/tests/exchange/data/icalendar_sample.ics", std::ios::binary);
    ASSERT_TRUE(in);
    std::ostringstream golden;
    golden << in.rdbuf();
    const Document small(250);
    const std::string written = ICalendarText(small.pointers, kStamp);
    EXPECT_EQ(written.size(), golden.str().size());
    EXPECT_TRUE(written == golden.str()) << FirstDifference(golden.str(), written);

    // The whole benchmark document, by size and hash of the bytes the old writer gave.
    const Document whole(10000);
    const std::string all = ICalendarText(whole.pointers, kStamp);
    EXPECT_EQ(all.size(), 3121091u);
    EXPECT_EQ(testing::Fnv1a(all), 0xf8d277e4e8e5b54dull);
}

TEST(ICalendarGolden, ReaderRecordsAreUnchanged) {
    const Document small(250);
    const CalendarImport few = ReadCalendar(ICalendarText(small.pointers, kStamp), kStamp.now);
    const std::string fewDump = testing::DumpRecords(few.records, few.accepted, few.failed);
    EXPECT_EQ(fewDump.size(), 37236u);
    EXPECT_EQ(testing::Fnv1a(fewDump), 0xdffc6244f76a99dfull);

    const Document whole(10000);
    const CalendarImport all = ReadCalendar(ICalendarText(whole.pointers, kStamp), kStamp.now);
    EXPECT_EQ(all.accepted, 10009);
    EXPECT_EQ(all.failed, 0);
    const std::string dump = testing::DumpRecords(all.records, all.accepted, all.failed);
    EXPECT_EQ(dump.size(), 1480729u);
    EXPECT_EQ(testing::Fnv1a(dump), 0x80fbafad810e2032ull);
}

std::string Calendar(const std::string& components) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + components + "END:VCALENDAR\r\n";
}

// Each component keeps its own fields: values of folded lines, decoded values and absent
// properties never carry over from the component before.
TEST(ICalendarReaderViews, FieldsOfFoldedAndDecodedLinesStayWithTheirComponent) {
    const std::string longTitle(70, 'a');
    const std::string file = Calendar(
        "BEGIN:VEVENT\r\nDTSTART;TZID=\r\n \"Asia/Tokyo\":20260105T100000\r\n"
        "SUMMARY:" +
        longTitle.substr(0, 60) + "\r\n " + longTitle.substr(60) +
        "\r\n"
        "RRULE:FREQ=WEEKLY;UNTIL=20260301T010000Z\r\nEXDATE;TZID=Asia/Tokyo:20260112T100000\r\n"
        "LOCATION;CHARSET=UTF-8:本社\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260107\r\nSUMMARY:二つ目\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nSUMMARY:三つ目\r\nEND:VTODO\r\n");
    const CalendarImport result = ReadCalendar(file, kStamp.now);
    ASSERT_EQ(result.accepted, 3);
    const CAlmxData& first = result.records[0];
    EXPECT_EQ(first.title, longTitle);
    EXPECT_EQ(first.place, "本社");
    EXPECT_EQ(first.start, DateTime::FromParts(2026, 1, 5, 10, 0));
    EXPECT_EQ(first.repeatType, RepeatWeeks);
    EXPECT_EQ(first.exceptions.size(), 1u);
    const CAlmxData& second = result.records[1];
    EXPECT_EQ(second.title, "二つ目");
    EXPECT_EQ(second.place, "");
    EXPECT_EQ(second.repeatType, RepeatNone);
    EXPECT_TRUE(second.exceptions.empty());
    EXPECT_EQ(second.start, DateTime::FromDate(2026, 1, 7));
    EXPECT_EQ(result.records[2].title, "三つ目");
    EXPECT_TRUE(result.records[2].Has(TodoNoDeadline));

    // The components as parsed, before the records.
    std::size_t replaced = 0;
    const CVCalenderList list = ParseCalendar(file, replaced);
    ASSERT_EQ(list.components.size(), 3u);
    EXPECT_EQ(list.components[0].rrule, "FREQ=WEEKLY;UNTIL=20260301T010000Z");
    EXPECT_EQ(list.components[1].rrule, "");
    EXPECT_TRUE(list.components[2].IsTodo());
    EXPECT_FALSE(list.components[1].IsTodo());
}

// The first usable property of a name counts: a BASE64 one is passed over, a later one ignored.
// Names and parameter names match in any letter case.
TEST(ICalendarReaderViews, FirstUsablePropertyCountsInAnyLetterCase) {
    const CalendarImport result =
        ReadCalendar(Calendar("begin:vevent\r\nsummary;encoding=b:AAAA\r\nSummary:使う\r\n"
                              "SUMMARY:使わない\r\ndtStart;tzid=Asia/Tokyo:20260105T100000\r\n"
                              "DTSTART:20270105T100000\r\nbegin:valarm\r\ntrigger:PT5M\r\n"
                              "Trigger:-PT15M\r\nTRIGGER:-PT30M\r\nend:valarm\r\nend:vevent\r\n"),
                     kStamp.now);
    ASSERT_EQ(result.accepted, 1);
    EXPECT_EQ(result.records[0].title, "使う");
    EXPECT_EQ(result.records[0].start, DateTime::FromParts(2026, 1, 5, 10, 0));
    EXPECT_EQ(result.records[0].alarmMinutes, 15);
}

// Characters Shift_JIS cannot hold are counted in the texts that reach the records, not in
// properties the import never uses.
TEST(ICalendarReaderViews, ReplacedCharactersAreCountedInUsedTextsOnly) {
    const CalendarImport result =
        ReadCalendar(Calendar("BEGIN:VEVENT\r\nDTSTART:20260105\r\nSUMMARY:a\xF0\x9F\x98\x80\r\n"
                              "CATEGORIES:\xF0\x9F\x98\x80\xF0\x9F\x98\x80\r\n"
                              "DESCRIPTION:\xF0\x9F\x8D\xA3\r\nEND:VEVENT\r\n"),
                     kStamp.now);
    ASSERT_EQ(result.accepted, 1);
    EXPECT_EQ(result.records[0].title, "a?");
    EXPECT_EQ(result.records[0].memo, "?");
    EXPECT_EQ(result.replaced, 2u);
}

}  // namespace
}  // namespace almx
