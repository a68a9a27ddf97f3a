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

}  // namespace
}  // namespace almx
