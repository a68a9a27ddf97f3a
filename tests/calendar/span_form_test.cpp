#include <gtest/gtest.h>

#include "base/prompter.h"
#include "calendar/span_form.h"
#include "core/record.h"

namespace almx {
namespace {

using Texts = std::pair<std::string, std::string>;

Texts Fiscal(const char* start, int kind) {
    SpanForm form(start, "2030/01/01", kind);
    ScriptedPrompter prompter;
    EXPECT_TRUE(form.FiscalYear(prompter));
    return {form.startText, form.endText};
}

Texts Year(const char* start, int kind) {
    SpanForm form(start, "2030/01/01", kind);
    ScriptedPrompter prompter;
    EXPECT_TRUE(form.CalendarYear(prompter));
    return {form.startText, form.endText};
}

TEST(SpanForm, FiscalYearPreset) {
    // January to March belong to the fiscal year that began the April before.
    EXPECT_EQ(Fiscal("2008/01/15", RepeatNone), Texts("2007/04/01", "2008/03/31"));
    EXPECT_EQ(Fiscal("2008/03/31", RepeatDays), Texts("2007/04/01", "2008/03/31"));
    EXPECT_EQ(Fiscal("2008/04/01", RepeatMonths), Texts("2008/04/01", "2009/03/31"));
    EXPECT_EQ(Fiscal("2008/12/31", RepeatNone), Texts("2008/04/01", "2009/03/31"));
    // Yearly: the start keeps its own month.
    EXPECT_EQ(Fiscal("2008/06/10", RepeatYears), Texts("2008/06/01", "2009/03/31"));
    EXPECT_EQ(Fiscal("2008/02/10", RepeatYears), Texts("2007/02/01", "2008/03/31"));
    // Weekly: the first day of April with the start's weekday (2008/01/16 is a Wednesday,
    // 2007/04/01 a Sunday).
    EXPECT_EQ(Fiscal("2008/01/16", RepeatWeeks), Texts("2007/04/04", "2008/03/31"));
    EXPECT_EQ(Fiscal("2008/04/06", RepeatWeeks), Texts("2008/04/06", "2009/03/31"));
}

TEST(SpanForm, YearPreset) {
    EXPECT_EQ(Year("2008/06/13", RepeatNone), Texts("2008/01/01", "2009/12/31"));
    EXPECT_EQ(Year("2008/06/13", RepeatYears), Texts("2008/06/01", "2009/12/31"));
    // 2008/06/13 is a Friday; 2008/01/01 a Tuesday.
    EXPECT_EQ(Year("2008/06/13", RepeatWeeks), Texts("2008/01/04", "2009/12/31"));
    // The calendar ends in 9998.
    EXPECT_EQ(Year("9998/05/05", RepeatNone), Texts("9998/01/01", "9998/12/31"));
}

TEST(SpanForm, CountsFromTheStart) {
    struct Case {
        const char* start;
        SpanForm::Unit unit;
        int count;
        const char* end;
    };
    const Case cases[] = {
        {"2008/02/29", SpanForm::Unit::Years, 1, "2009/02/28"},
        {"2008/01/31", SpanForm::Unit::Months, 1, "2008/02/29"},
        {"2008/01/31", SpanForm::Unit::Months, 14, "2009/03/31"},
        {"2008/01/01", SpanForm::Unit::Weeks, 2, "2008/01/15"},
        {"2008/12/25", SpanForm::Unit::Days, 10, "2009/01/04"},
        {"2008/01/01", SpanForm::Unit::Years, 9000, "9998/12/31"},
        {"9998/12/01", SpanForm::Unit::Months, 1, "9998/12/31"},
        {"9998/12/01", SpanForm::Unit::Days, 2000000000, "9998/12/31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        SpanForm form(c.start, "2000/01/01", RepeatNone);
        ScriptedPrompter prompter;
        ASSERT_TRUE(form.FromStart(c.unit, c.count, prompter));
        EXPECT_EQ(form.startText, c.start);
        EXPECT_EQ(form.endText, c.end);
    }
}

TEST(SpanForm, WholeBeginningEndAndInitial) {
    SpanForm form("2008/05/05", "2008/06/06", RepeatDays);
    form.WholeCalendar();
    EXPECT_EQ(Texts(form.startText, form.endText), Texts("1583/01/01", "9998/12/31"));
    form.Initial();
    EXPECT_EQ(Texts(form.startText, form.endText), Texts("2008/05/05", "2008/06/06"));
    form.FromBeginning();
    EXPECT_EQ(Texts(form.startText, form.endText), Texts("1583/01/01", "2008/06/06"));
    form.Initial();
    form.ToEnd();
    EXPECT_EQ(Texts(form.startText, form.endText), Texts("2008/05/05", "9998/12/31"));
}

TEST(SpanForm, MessagesOfPresetsAndOk) {
    SpanForm form("2008/13/01", "2008/06/06", RepeatNone);
    ScriptedPrompter prompter;
    EXPECT_FALSE(form.FiscalYear(prompter));
    EXPECT_FALSE(form.FromStart(SpanForm::Unit::Days, 3, prompter));
    EXPECT_EQ(form.endText, "2008/06/06");
    EXPECT_FALSE(form.Ok(prompter));
    form.startText = "2008/01/01";
    form.endText = "9999/01/01";
    EXPECT_FALSE(form.Ok(prompter));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{
                                    "正しい開始日付を入力してください",
                                    "正しい開始日付を入力してください",
                                    "正しい開始日付を入力してください",
                                    "正しい終了日付を入力してください",
                                }));
    form.endText = "08/1/5";
    auto period = form.Ok(prompter);
    ASSERT_TRUE(period);
    EXPECT_EQ(period->second, DateTime::FromDate(2008, 1, 5));
}

}  // namespace
}  // namespace almx
