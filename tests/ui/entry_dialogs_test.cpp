#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/repeat_form.h"
#include "calendar/schedule_form.h"
#include "calendar/todo_form.h"
#include "calendar/ui/repeat_dialogs.h"
#include "calendar/ui/schedule_dialog.h"

namespace almx {
namespace {

const DateTime kNow = DateTime::FromParts(2008, 1, 10, 9, 15);

// Screenshots go beside the test program, for a person to look at.
void Save(QWidget& widget, const char* name) {
    widget.adjustSize();
    widget.grab().save(QStringLiteral(ALMX_BINARY_DIR "/") + QString::fromUtf8(name));
}

CAlmxData WeeklyMeeting() {
    CAlmxData record;
    record.start = DateTime::FromParts(2008, 1, 9, 10, 0);
    record.end = DateTime::FromParts(2008, 6, 25, 11, 30);
    record.Set(StartTimeSet);
    record.Set(EndTimeSet);
    record.title = "定例会議";
    record.place = "第二会議室";
    record.memo = "議題：予算\n資料を印刷しておく";
    record.repeatType = RepeatWeeks;
    record.shiftRule = ShiftHoliday;
    record.exceptions.push_back(
        CDaySpan::FromDates(DateTime::FromDate(2008, 5, 7), DateTime::FromDate(2008, 5, 7)));
    record.colour = 0x0080FF;
    record.genre = 1;
    record.alarmMinutes = 10;
    return record;
}

struct Fixture {
    ScriptedPrompter prompter;
    MemorySettingsStore settings;
    ManualClock clock{kNow};
    EntryDialogContext Context(bool readOnly = false) {
        return EntryDialogContext{prompter, settings, clock, {"一般", "仕事", "趣味"}, readOnly};
    }
};

TEST(EntryDialogs, ScheduleDialogShowsTheRecordAndRefusesWhatTheFileCannotHold) {
    Fixture f;
    CSchInput dialog(WeeklyMeeting(), f.Context());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("startDate")->text(), "2008/01/09");
    EXPECT_EQ(dialog.findChild<QComboBox*>("endTime")->currentText(), "11:30");
    EXPECT_EQ(dialog.findChild<QComboBox*>("startTime")->count(), 48);
    EXPECT_EQ(dialog.findChild<QLabel*>("rule")->text(), "毎週水曜日（除外日 1件）");
    dialog.show();
    Save(dialog, "entry_schedule_dialog.png");

    dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("定例会議🍣"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(f.prompter.Shown(),
              std::vector<std::string>{UnrepresentableMessage("スケジュール内容", "🍣")});
    EXPECT_EQ(dialog.Record().title, "定例会議");

    dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("定例会議"));
    dialog.findChild<QComboBox*>("startTime")->setEditText(QStringLiteral("１０：３０"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Record().start, DateTime::FromParts(2008, 1, 9, 10, 30));
    EXPECT_EQ(dialog.Record().exceptions.size(), 1u);
    EXPECT_EQ(dialog.Record().genre, 1);
}

TEST(EntryDialogs, ScheduleDialogCancelAsksAndReadOnlyCloses) {
    Fixture f;
    f.prompter.Then(Answer::No).Then(Answer::Yes);
    CSchInput dialog(WeeklyMeeting(), f.Context());
    dialog.show();
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(f.prompter.Shown(), (std::vector<std::string>{"画面を閉じます", "画面を閉じます"}));

    Fixture g;
    CSchInput readOnly(WeeklyMeeting(), g.Context(true));
    readOnly.show();
    readOnly.accept();
    EXPECT_FALSE(readOnly.isVisible());
    EXPECT_EQ(readOnly.result(), QDialog::Rejected);
    EXPECT_EQ(g.prompter.Shown(),
              std::vector<std::string>{"読み取り専用ファイルのため、変更は反映されません"});
}

TEST(EntryDialogs, TheLinkButtonOpensTheLinkDialogForTheTitleAndLink) {
    Fixture f;
    CAlmxData record = WeeklyMeeting();
    record.linkFile = "old.txt";
    {
        CSchInput withoutLinks(record, f.Context());
        EXPECT_FALSE(withoutLinks.findChild<QPushButton*>("linkButton")->isEnabled());
    }
    EntryDialogContext context = f.Context();
    std::string asked;
    context.editLink = [&](QWidget*, const std::string& title, const std::string& link) {
        asked = title + "|" + link;
        return std::optional<std::string>("notes/議事録.txt");
    };
    CSchInput dialog(record, context);
    dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("予算会議"));
    dialog.findChild<QPushButton*>("linkButton")->click();
    EXPECT_EQ(asked, "予算会議|old.txt");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("link")->text(), QStringLiteral("notes/議事録.txt"));
    dialog.accept();
    EXPECT_EQ(dialog.Record().linkFile, "notes/議事録.txt");
}

TEST(EntryDialogs, RecurrenceDialogAlignsAWeeklyStart) {
    Fixture f;
    CAlmxData record = WeeklyMeeting();
    record.repeatType = RepeatNone;
    CRepeatDlg dialog(RepeatForm(record), f.prompter);
    dialog.findChild<QComboBox*>("kind")->setCurrentIndex(RepeatWeeks);
    dialog.findChild<QComboBox*>("weekday")->setCurrentIndex(5);
    EXPECT_EQ(dialog.findChild<QLabel*>("description")->text(), "毎週金曜日");
    dialog.show();
    Save(dialog, "entry_repeat_dialog.png");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Form().periodStart, DateTime::FromDate(2008, 1, 11));
}

TEST(EntryDialogs, RecurrenceDialogRefusesADayRangeThatNeverOccurs) {
    Fixture f;
    CAlmxData record = WeeklyMeeting();
    record.end = DateTime::FromDate(2012, 12, 31);
    CRepeatDlg dialog(RepeatForm(record), f.prompter);
    dialog.findChild<QComboBox*>("kind")->setCurrentIndex(RepeatMonths);
    dialog.findChild<QComboBox*>("firstDay")->setCurrentIndex(19);  // the 20th
    dialog.findChild<QComboBox*>("lastDay")->setCurrentIndex(19);
    // The rule's own day, not the start's (the 9th).
    EXPECT_EQ(dialog.findChild<QLabel*>("description")->text(), "毎月20日");
    dialog.findChild<QComboBox*>("lastDay")->setCurrentIndex(9);  // the 10th
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.prompter.Shown().back(), kRepeatFirstAfterLast);

    dialog.findChild<QComboBox*>("firstDay")->setCurrentIndex(31);  // 月末
    dialog.accept();
    EXPECT_EQ(f.prompter.Shown().back(), kRepeatMonthEndFirst);

    EXPECT_TRUE(dialog.findChild<QSpinBox*>("interval")->isEnabled());
    dialog.findChild<QComboBox*>("kind")->setCurrentIndex(RepeatChosenMonths);
    EXPECT_FALSE(dialog.findChild<QSpinBox*>("interval")->isEnabled());
}

TEST(EntryDialogs, TodoDialogWithoutDeadline) {
    Fixture f;
    f.settings.SetInt("Todo", "DefaultKigen", 0);
    CTodoInputDlg dialog(TodoForm::NewTodo(RecordDefaults{}, kNow.Date(), f.settings, 0),
                         f.Context());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("deadline")->text(), "");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("completion")->isEnabled());
    dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("本を返す"));
    dialog.show();
    Save(dialog, "entry_todo_dialog.png");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Record().Has(TodoNoDeadline));
    EXPECT_EQ(dialog.Record().start, kNow);
}

TEST(EntryDialogs, TodoImportanceBeyondTheNamesIsKept) {
    Fixture f;
    CAlmxData todo = TodoForm::NewTodo(RecordDefaults{}, kNow.Date(), f.settings, 0);
    todo.title = "輸入された";
    todo.todoImportance = 9;
    CTodoInputDlg dialog(todo, f.Context());
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Record().todoImportance, 9);

    todo.todoImportance = 2;
    CTodoInputDlg named(todo, f.Context());
    named.accept();
    EXPECT_EQ(named.Record().todoImportance, 2);
}

}  // namespace
}  // namespace almx
