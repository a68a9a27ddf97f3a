#include <gtest/gtest.h>

#include "base/prompter.h"
#include "calendar/copy_form.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;

std::vector<std::string> Starts(const std::vector<CAlmxData>& copies) {
    std::vector<std::string> starts;
    for (const CAlmxData& copy : copies) starts.push_back(FormatDate(copy.start));
    return starts;
}

CAlmxData OnDay(const char* day) {
    CAlmxData record;
    record.start = Day(day);
    record.end = record.start;
    record.title = "x";
    return record;
}

TEST(CopyForm, DefaultsAndChecks) {
    CopyForm form;
    EXPECT_EQ(form.unit, CopyForm::Weeks);
    EXPECT_STREQ(form.UnitText(), "週間ごと");
    EXPECT_EQ(form.interval, 1);
    EXPECT_EQ(form.count, 1);
    ScriptedPrompter prompter;
    EXPECT_TRUE(form.Ok(prompter));
    form.interval = 0;  // would stack copies on one day
    EXPECT_FALSE(form.Ok(prompter));
    form.interval = 1;
    form.count = 0;
    EXPECT_FALSE(form.Ok(prompter));
    EXPECT_EQ(prompter.Shown().size(), 2u);
}

TEST(CopyForm, EachUnitAndItsSkips) {
    struct Case {
        const char* start;
        int unit;
        int interval;
        int count;
        std::vector<std::string> starts;
    };
    const Case cases[] = {
        {"2008/01/30", CopyForm::Days, 3, 3, {"2008/02/02", "2008/02/05", "2008/02/08"}},
        {"2008/12/24", CopyForm::Weeks, 2, 2, {"2009/01/07", "2009/01/21"}},
        // February and April have no 31st.
        {"2008/01/31", CopyForm::Months, 1, 3, {"2008/03/31"}},
        {"2008/01/31", CopyForm::Months, 2, 3, {"2008/03/31", "2008/05/31", "2008/07/31"}},
        {"2008/02/29", CopyForm::Years, 1, 1, {}},
        // Years without February 29 are skipped, not the whole run.
        {"2008/02/29", CopyForm::Years, 1, 4, {"2012/02/29"}},
        {"2008/02/29", CopyForm::Years, 2, 4, {"2012/02/29", "2016/02/29"}},
        {"2008/03/01", CopyForm::Years, 1, 2, {"2009/03/01", "2010/03/01"}},
        // Nothing beyond the calendar.
        {"9998/12/29", CopyForm::Days, 1, 5, {"9998/12/30", "9998/12/31"}},
        {"9998/06/01", CopyForm::Months, 5, 5, {"9998/11/01"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " unit " + std::to_string(c.unit));
        CopyForm form;
        form.unit = c.unit;
        form.interval = c.interval;
        form.count = c.count;
        EXPECT_EQ(Starts(form.MakeCopies(OnDay(c.start))), c.starts);
    }
}

TEST(CopyForm, CopiesKeepTimesDurationAndEveryField) {
    CAlmxData source =
        testing::MakeRecord({0, "2008/01/10 22:00", "2008/01/11 01:30", 1, 1, 1, "0", "", 0, ""});
    source.title = "夜勤";
    source.memo = "m";
    source.colour = 0x112233;
    CopyForm form;
    form.count = 2;
    std::vector<CAlmxData> copies = form.MakeCopies(source);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].start, DateTime::FromParts(2008, 1, 24, 22, 0));
    EXPECT_EQ(copies[1].end, DateTime::FromParts(2008, 1, 25, 1, 30));
    CAlmxData expected = source;
    expected.start = copies[1].start;
    expected.end = copies[1].end;
    EXPECT_EQ(copies[1], expected);
}

TEST(CopyForm, OpenEndedRuleKeepsItsEnd) {
    CAlmxData weekly =
        testing::MakeRecord({2, "2008/01/09", "9998/12/31", 1, 1, 1, "0", "", 0, ""});
    CopyForm form;
    form.unit = CopyForm::Days;
    form.count = 2;
    std::vector<CAlmxData> copies = form.MakeCopies(weekly);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].start, Day("2008/01/11"));
    EXPECT_EQ(copies[1].end, Day("9998/12/31"));
}

}  // namespace
}  // namespace almx
