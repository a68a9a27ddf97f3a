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

}  // namespace
}  // namespace almx
