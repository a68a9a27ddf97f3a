#include <gtest/gtest.h>

#include "base/csv_card.h"
#include "core/record.h"
#include "core/record_line.h"

namespace almx {
namespace {

TEST(Hex6, SixUpperCaseDigitsAndMoreWhenTheValueNeedsThem) {
    EXPECT_EQ(Hex6(0), "000000");
    EXPECT_EQ(Hex6(0xff), "0000FF");
    EXPECT_EQ(Hex6(0xabcdef), "ABCDEF");
    EXPECT_EQ(Hex6(0x1234567), "1234567");
    // The record line's colour cell is the same text.
    CAlmxData record;
    record.colour = 0x00a0b;
    const TCard cells = RecordCard(record);
    EXPECT_EQ(cells.At(10), "000A0B");
}

TEST(LastSet, TheLastFlagThatIsSet) {
    std::array<std::uint8_t, 5> weeks{};
    EXPECT_EQ(LastSet(weeks), -1);
    weeks[0] = 1;
    EXPECT_EQ(LastSet(weeks), 0);
    weeks[3] = 7;
    EXPECT_EQ(LastSet(weeks), 3);
    weeks[4] = 1;
    EXPECT_EQ(LastSet(weeks), 4);
    const CAlmxData record;
    EXPECT_EQ(LastSet(record.validMonths), 11);
    EXPECT_EQ(LastSet(record.validWeekdays), -1);
}

}  // namespace
}  // namespace almx
