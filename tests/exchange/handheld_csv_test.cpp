// GENIO and Zaurus lines, byte for byte, and their files.

#include "exchange/handheld_csv.h"

#include <gtest/gtest.h>

#include "exchange/exchange_fixture.h"
#include "exchange/text_file.h"

namespace almx::testing {
namespace {

CAlmxData Timed() {
    CAlmxData r = Schedule("打合せ, A社", At(2025, 6, 2, 9, 5), At(2025, 6, 2, 10, 30));
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    r.alarmMinutes = 90;
    return r;
}

TEST(GenioLine, ScheduleAndTodoFields) {
    EXPECT_EQ(GenioLine(Timed()),
              "\"2025/06/02\",\"09:05:00\",\"2025/06/02\",\"10:30:00\",\"\",\"打合せ, A社\","
              "\"0\",\"90\",\"0\"");
    CAlmxData untimed = Schedule("休み", Day(2025, 6, 3), Day(2025, 6, 4));
    EXPECT_EQ(GenioLine(untimed),
              "\"2025/06/03\",\"FF:FF:FF\",\"2025/06/04\",\"FF:FF:FF\",\"\","
              "\"休み\",\"0\",\"-1\",\"0\"");
    CAlmxData todo = Schedule("宿題", Day(2025, 6, 3), Day(2025, 6, 3));
    todo.Set(IsTodo);
    EXPECT_EQ(GenioLine(todo),
              "\"0000/00/00\",\"FF:FF:FF\",\"0000/00/00\",\"FF:FF:FF\",\"\","
              "\"宿題\",\"1\",\"0\",\"1\"");
    todo.Set(TodoDone);
    EXPECT_NE(GenioLine(todo).find("\"宿題\",\"2\",\"0\",\"1\""), std::string::npos);
}

TEST(GenioLine, RecurringRecordsEndTheirFirstOccurrenceAndTitlesStayOnOneLine) {
    CAlmxData weekly = Timed();
    weekly.end = At(9998, 12, 31, 10, 30);
    weekly.repeatType = RepeatWeeks;
    weekly.title = "一行目\n二行目";
    const std::string line = GenioLine(weekly);
    EXPECT_EQ(line,
              "\"2025/06/02\",\"09:05:00\",\"2025/06/02\",\"10:30:00\",\"\","
              "\"一行目 二行目\",\"0\",\"90\",\"0\"");
    EXPECT_NE(ZaurusLine(weekly).find("\"20250602"), std::string::npos);
    EXPECT_EQ(ZaurusLine(weekly).find("9998"), std::string::npos);
}

TEST(ZaurusLine, Fields) {
    EXPECT_EQ(ZaurusLine(Timed()),
              "\"D\",\" \",\"202506020905  \",\"202506021030  \",\"202506020735  \",\"*\","
              "\"打合せ, A社\"");
    CAlmxData oneDay = Schedule("休み", Day(2025, 6, 3), Day(2025, 6, 3));
    oneDay.alarmMinutes = 10;  // no start time: no alarm
    EXPECT_EQ(ZaurusLine(oneDay), "\"D\",\" \",\"202506030000  \",,,\" \",\"休み\"");
    CAlmxData twoDays = Schedule("旅", Day(2025, 6, 3), Day(2025, 6, 4));
    EXPECT_EQ(ZaurusLine(twoDays),
              "\"D\",\" \",\"202506030000  \",\"202506040000  \",,\" \",\"旅\"");
}

class HandheldFileTest : public ExchangeTest {};

TEST_F(HandheldFileTest, ZaurusFileSkipsTodosAndHasTwoHeaderLines) {
    Add(Timed());
    CAlmxData todo = Schedule("宿題", Day(2025, 6, 3), Day(2025, 6, 3));
    todo.Set(IsTodo);
    Add(todo);
    FileWriter writer;
    ASSERT_TRUE(WriteShiftJisFile(PathOf("z.csv"), ZaurusText(doc->Records()), writer, prompter,
                                  handheld::kCannotOpen));
    const std::string text = text::FromShiftJis(ReadBytes(dir / "z.csv"));
    EXPECT_EQ(text,
              "\"i\",\"SCRT\",\"TIM1\",\"TIM2\",\"ALRM\",\"ALON\",\"MEM1\"\r\n"
              "\"T\",\"シークレット\",\"開始時刻\",\"終了時刻\",\"アラーム時刻\",\"アラーム設定\","
              "\"内容\"\r\n" +
                  ZaurusLine(Timed()) + "\r\n");
    EXPECT_EQ(GenioText(doc->Records()), GenioLine(Timed()) + "\n" + GenioLine(todo) + "\n");
}

class FailingWrite : public FileWriter {
  public:
    bool Write(int, std::string_view) override { return false; }
};

TEST_F(HandheldFileTest, WriteFailuresAreReportedAndLeaveTheOldFile) {
    WriteBytes(dir / "g.csv", "old");
    FailingWrite full;
    EXPECT_FALSE(WriteShiftJisFile(PathOf("g.csv"), "x\n", full, prompter, handheld::kCannotOpen));
    EXPECT_EQ(ReadBytes(dir / "g.csv"), "old");
    EXPECT_EQ(prompter.Shown().back(), std::string(file_messages::kWrite) + ":" + PathOf("g.csv"));
    FileWriter plain;
    EXPECT_FALSE(
        WriteShiftJisFile(PathOf("none/g.csv"), "x\n", plain, prompter, handheld::kCannotOpen));
    EXPECT_EQ(prompter.Shown().back(), "ファイルが開けません");
}

}  // namespace
}  // namespace almx::testing
