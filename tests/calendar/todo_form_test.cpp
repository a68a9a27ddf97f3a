#include <gtest/gtest.h>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/todo_form.h"
#include "core/record.h"
#include "core/record_display.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;

constexpr const char* kBadDate = "正しい日付を入力してください";
const DateTime kNow = DateTime::FromParts(2008, 1, 10, 14, 25);

TEST(TodoForm, NewTodoPresets) {
    MemorySettingsStore settings;
    RecordDefaults defaults;
    CAlmxData due = TodoForm::NewTodo(defaults, Day("2008/01/28"), settings, 2);
    EXPECT_TRUE(due.Has(IsTodo));
    EXPECT_FALSE(due.Has(TodoNoDeadline));
    EXPECT_EQ(due.genre, 2);
    EXPECT_EQ(due.todoLeadDays, -1);
    TodoForm form(due);
    EXPECT_EQ(form.deadline, "2008/02/04");
    EXPECT_FALSE(form.leadPeriod);
    EXPECT_EQ(form.completion, "");

    settings.SetInt("Todo", "DefaultDays", 3);
    EXPECT_EQ(TodoForm(TodoForm::NewTodo(defaults, Day("2008/02/27"), settings, 0)).deadline,
              "2008/03/01");

    settings.SetInt("Todo", "DefaultKigen", 0);
    CAlmxData open = TodoForm::NewTodo(defaults, Day("2008/01/28"), settings, 0);
    EXPECT_TRUE(open.Has(TodoNoDeadline));
    EXPECT_EQ(TodoForm(open).deadline, "");
}

TEST(TodoForm, WithoutDeadlineKeepsNowAndShowsNoRemainingDays) {
    MemorySettingsStore settings;
    TodoForm form(TodoForm::NewTodo(RecordDefaults{}, Day("2008/01/10"), settings, 0));
    form.deadline = "";
    form.title = "電話する";
    ScriptedPrompter prompter;
    CAlmxData record;
    ASSERT_EQ(form.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_TRUE(record.Has(IsTodo));
    EXPECT_TRUE(record.Has(TodoNoDeadline));
    EXPECT_EQ(record.start, kNow);
    EXPECT_EQ(EntryText(record, Day("2008/01/10"), 0, DisplayRules{}), "電話する");

    // A deadline given later clears the flag and shows the days left.
    TodoForm again(record);
    EXPECT_EQ(again.deadline, "");
    again.deadline = "2008/01/11";
    ASSERT_EQ(again.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_FALSE(record.Has(TodoNoDeadline));
    EXPECT_EQ(record.start, Day("2008/01/11"));
    EXPECT_EQ(EntryText(record, Day("2008/01/10"), 0, DisplayRules{}), "電話する(あと1日)");
}

TEST(TodoForm, CompletionDateAndItsChecks) {
    CAlmxData todo;
    todo.Set(IsTodo);
    todo.start = Day("2008/01/20");
    todo.end = Day("2000/01/01");
    TodoForm form(todo);
    EXPECT_FALSE(form.CompletionEnabled());

    // Not done: the completion date is neither read nor written.
    form.completion = "garbage";
    ScriptedPrompter prompter;
    CAlmxData record = todo;
    ASSERT_EQ(form.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_EQ(record.end, Day("2000/01/01"));
    EXPECT_FALSE(record.Has(TodoDone));

    // Done with an empty completion text: completed on the deadline.
    form.done = true;
    form.completion = "";
    ASSERT_EQ(form.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_TRUE(record.Has(TodoDone));
    EXPECT_EQ(record.end, Day("2008/01/20"));

    struct Case {
        const char* deadline;
        const char* completion;
    };
    for (Case c :
         {Case{"2008/02/30", "2008/01/05"}, Case{"2008/01/20", "2008/13/01"}, Case{"", ""}}) {
        SCOPED_TRACE(std::string(c.deadline) + " / " + c.completion);
        form.deadline = c.deadline;
        form.completion = c.completion;
        ScriptedPrompter told;
        CAlmxData untouched = todo;
        EXPECT_EQ(form.Ok(told, false, kNow, untouched), EntryResult::Stay);
        EXPECT_EQ(told.Shown(), std::vector<std::string>{kBadDate});
        EXPECT_EQ(untouched, todo);
    }
}

TEST(TodoForm, WritesItsFieldsAndTheLeadPeriod) {
    CAlmxData todo;
    todo.Set(IsTodo);
    todo.start = Day("2008/01/20");
    todo.todoLeadDays = 5;
    todo.todoImportance = 3;
    todo.textStyle = 2;
    TodoForm form(todo);
    EXPECT_TRUE(form.leadPeriod);
    EXPECT_EQ(form.leadDays, 5);
    EXPECT_EQ(form.importance, 3);
    EXPECT_TRUE(form.struck);

    form.leadDays = 9;
    form.importance = 0;
    form.bold = true;
    form.hideInViews = true;
    form.place = "駅前";
    form.memo = "a\nb";
    form.colour = 0xABCDEF;
    form.genre = 4;
    form.linkFile = "http://example.jp/";
    ScriptedPrompter prompter;
    CAlmxData record;
    ASSERT_EQ(form.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_EQ(record.todoLeadDays, 9);
    EXPECT_EQ(record.todoImportance, 0);
    EXPECT_EQ(record.textStyle, 3);
    EXPECT_TRUE(record.Has(HideInViews));
    EXPECT_EQ(record.place, "駅前");
    EXPECT_EQ(record.memo, "a\nb");
    EXPECT_EQ(record.colour, 0xABCDEFu);
    EXPECT_EQ(record.genre, 4);
    EXPECT_EQ(record.linkFile, "http://example.jp/");

    form.leadPeriod = false;
    ASSERT_EQ(form.Ok(prompter, false, kNow, record), EntryResult::Accepted);
    EXPECT_EQ(record.todoLeadDays, -1);
}

TEST(TodoForm, ReadOnlyAndUnrepresentableText) {
    CAlmxData todo;
    todo.Set(IsTodo);
    TodoForm form(todo);
    form.deadline = "2008/01/20";
    ScriptedPrompter readOnly;
    CAlmxData record = todo;
    EXPECT_EQ(form.Ok(readOnly, true, kNow, record), EntryResult::Closed);
    EXPECT_EQ(readOnly.Shown(),
              std::vector<std::string>{"読み取り専用ファイルのため、変更は反映されません"});
    EXPECT_EQ(record, todo);

    form.place = "🏠";
    ScriptedPrompter refused;
    EXPECT_EQ(form.Ok(refused, false, kNow, record), EntryResult::Stay);
    EXPECT_EQ(refused.Shown(), std::vector<std::string>{UnrepresentableMessage("場所", "🏠")});
    EXPECT_EQ(record, todo);
}

}  // namespace
}  // namespace almx
