// A user's session through the month view's entry commands: a weekly schedule with an
// exception and a shift rule, a to-do with a lead period and a consecutive copy; the
// dialogs and the month afterwards are saved as pictures for a person to look at.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/ui/entry_commands.h"
#include "core/display_settings.h"
#include "dialog_driver.h"
#include "document/document.h"
#include "ui/document_host.h"
#include "views/month_view.h"

namespace almx {
namespace {

using testing::OnNextDialog;

template <typename T>
T* Labelled(QDialog& dialog, const char* text) {
    for (T* widget : dialog.template findChildren<T*>()) {
        if (widget->text() == QString::fromUtf8(text)) return widget;
    }
    ADD_FAILURE() << "no control " << text;
    return nullptr;
}

void Shoot(QWidget& widget, const char* name) {
    widget.grab().save(QStringLiteral(ALMX_BINARY_DIR "/") + QString::fromUtf8(name));
}

TEST(EntrySession, WeeklyScheduleTodoAndCopyThroughTheMonthView) {
    MemorySettingsStore settings;
    settings.SetInt("View", "First", 0);
    settings.SetInt("Edit", "Cancel", 0);
    ScriptedPrompter prompter;
    ManualClock clock(DateTime::FromParts(2008, 1, 10, 9, 0));
    DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    auto document = std::make_unique<CAlmxDoc>(context);
    document->Array().genres = CAlmxFieldArray::General();
    DocumentHost host(std::move(document));
    DisplaySettings display;
    CAlmxView view(host, display, settings, prompter, clock);
    InstallDayEntryCommands(
        [&view](int id, std::function<void()> handler) {
            view.SetCommandHandler(id, std::move(handler));
        },
        &view, host, EntryEnvironment{settings, prompter, clock},
        [&view] { return view.Selected(); });
    view.resize(900, 640);
    view.show();

    // A weekly meeting on Wednesdays from 2008/01/09, without 01/23, off holidays.
    ASSERT_TRUE(view.SelectDate(DateTime::FromDate(2008, 1, 9)));
    OnNextDialog([](QDialog& schedule) {
        schedule.findChild<QLineEdit*>("title")->setText(QStringLiteral("定例会議"));
        schedule.findChild<QLineEdit*>("place")->setText(QStringLiteral("第二会議室"));
        schedule.findChild<QComboBox*>("startTime")->setEditText(QStringLiteral("10:00"));
        schedule.findChild<QComboBox*>("endTime")->setEditText(QStringLiteral("11:30"));
        OnNextDialog([](QDialog& repeat) {
            repeat.findChild<QComboBox*>("kind")->setCurrentIndex(2);
            Shoot(repeat, "session_repeat_dialog.png");
            // One day is too short for a weekly rule: the period dialog follows.
            OnNextDialog([](QDialog& span) {
                span.findChild<QLineEdit*>("spanEnd")->setText(QStringLiteral("2008/03/31"));
                span.accept();
            });
            repeat.accept();
        });
        Labelled<QPushButton>(schedule, "繰り返し...")->click();
        OnNextDialog([](QDialog& list) {
            OnNextDialog([](QDialog& add) {
                add.findChild<QLineEdit*>()->setText(QStringLiteral("2008/01/23"));
                add.accept();
            });
            Labelled<QPushButton>(list, "1日追加")->click();
            list.accept();
        });
        Labelled<QPushButton>(schedule, "除外日...")->click();
        OnNextDialog([](QDialog& avoid) {
            Labelled<QCheckBox>(avoid, "祝日")->setChecked(true);
            avoid.accept();
        });
        Labelled<QPushButton>(schedule, "回避日...")->click();
        Shoot(schedule, "session_schedule_dialog.png");
        schedule.accept();
    });
    view.OnCommand(kAddScheduleCommand);
    ASSERT_EQ(host.Document().Records().size(), 1u);
    const CAlmxData meeting = host.Document().Records()[0];
    EXPECT_EQ(meeting.repeatType, RepeatWeeks);
    EXPECT_EQ(meeting.end, DateTime::FromParts(2008, 3, 31, 11, 30));
    ASSERT_EQ(meeting.exceptions.size(), 1u);
    EXPECT_EQ(meeting.shiftRule, ShiftHoliday);

    // A to-do due 01/25, shown from five days before.
    OnNextDialog([](QDialog& todo) {
        todo.findChild<QLineEdit*>("deadline")->setText(QStringLiteral("2008/01/25"));
        todo.findChild<QLineEdit*>("title")->setText(QStringLiteral("報告書提出"));
        Labelled<QCheckBox>(todo, "期間指定")->setChecked(true);
        todo.findChild<QSpinBox*>()->setValue(5);
        todo.accept();
    });
    view.OnCommand(kAddTodoCommand);
    ASSERT_EQ(host.Document().Records().size(), 2u);
    EXPECT_EQ(host.Document().Records()[1].todoLeadDays, 5);

    // A trip on 01/14, copied on the two following Mondays.
    ASSERT_TRUE(view.SelectDate(DateTime::FromDate(2008, 1, 14)));
    OnNextDialog([](QDialog& schedule) {
        schedule.findChild<QLineEdit*>("title")->setText(QStringLiteral("出張"));
        schedule.accept();
    });
    view.OnCommand(kAddScheduleCommand);
    OnNextDialog([](QDialog& copy) {
        copy.findChild<QSpinBox*>("count")->setValue(2);
        copy.accept();
    });
    view.OnCommand(kRepeatedCopyCommand);
    EXPECT_EQ(host.Document().Records().size(), 5u);
    EXPECT_TRUE(host.Document().IsModified());

    Shoot(view, "session_month_view.png");
}

}  // namespace
}  // namespace almx
