#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/repeat_form.h"
#include "calendar/ui/day_dialog.h"
#include "calendar/ui/entry_commands.h"
#include "calendar/ui/repeat_dialogs.h"
#include "dialog_driver.h"
#include "document/document.h"
#include "ui/document_host.h"

namespace almx {
namespace {

using testing::OnNextDialog;

CAlmxData At(const char* title, int day, int hour) {
    CAlmxData record;
    record.title = title;
    record.start = DateTime::FromParts(2008, 1, day, hour, 0);
    record.end = record.start;
    record.Set(StartTimeSet);
    return record;
}

class EntryCommandsTest : public ::testing::Test {
  protected:
    EntryCommandsTest() {
        settings.SetInt("System", "HolidayChangeFlag1", 1);
        auto document = std::make_unique<CAlmxDoc>(
            DocumentContext{&settings, &prompter, &clock, nullptr, {}, {}, {}});
        document->Array().genres = CAlmxFieldArray::General();
        document->Records() = {At("朝", 10, 8), At("夜", 10, 20)};
        host = std::make_unique<DocumentHost>(std::move(document));
    }

    std::string Titles() const {
        std::string titles;
        for (const CAlmxData& record : host->Document().Records()) titles += record.title + ",";
        return titles;
    }

    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2008, 1, 10, 9, 0)};
    std::unique_ptr<DocumentHost> host;
    EntryEnvironment env{settings, prompter, clock};
};

TEST_F(EntryCommandsTest, AddedScheduleGoesInTimeOrderAndEveryViewHears) {
    QSignalSpy updates(host.get(), &DocumentHost::Updated);
    OnNextDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("昼"));
        dialog.findChild<QComboBox*>("startTime")->setEditText(QStringLiteral("１２：００"));
        dialog.accept();
    });
    ASSERT_TRUE(AddSchedule(nullptr, *host, env, DateTime::FromDate(2008, 1, 10)));
    EXPECT_EQ(Titles(), "朝,昼,夜,");
    EXPECT_TRUE(host->Document().IsModified());
    EXPECT_EQ(updates.count(), 1);

    settings.SetInt("System", "SchSort", 0);
    OnNextDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("早朝"));
        dialog.findChild<QComboBox*>("startTime")->setEditText(QStringLiteral("05:00"));
        dialog.accept();
    });
    ASSERT_TRUE(AddSchedule(nullptr, *host, env, DateTime::FromDate(2008, 1, 10)));
    EXPECT_EQ(Titles(), "朝,昼,夜,早朝,");
}

TEST_F(EntryCommandsTest, CancelledOrRefusedEntryLeavesTheDocumentAlone) {
    settings.SetInt("Edit", "Cancel", 0);
    OnNextDialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(AddTodo(nullptr, *host, env));
    EXPECT_EQ(Titles(), "朝,夜,");
    EXPECT_FALSE(host->Document().IsModified());

    // An entry that is not one of the document's records cannot be edited.
    const CAlmxData computed = At("振替休日", 11, 0);
    EXPECT_FALSE(EditRecord(nullptr, *host, env, &computed));
    EXPECT_EQ(prompter.Shown().size(), 1u);
}

TEST_F(EntryCommandsTest, EditedRecordMovesWhenItsTimeChanged) {
    OnNextDialog([](QDialog& dialog) {
        dialog.findChild<QComboBox*>("startTime")->setEditText(QStringLiteral("21:00"));
        dialog.accept();
    });
    ASSERT_TRUE(EditRecord(nullptr, *host, env, &host->Document().Records()[0]));
    EXPECT_EQ(Titles(), "夜,朝,");
    EXPECT_EQ(host->Document().Records()[1].start, DateTime::FromParts(2008, 1, 10, 21, 0));
}

TEST_F(EntryCommandsTest, ConsecutiveCopyFromTheDayDialog) {
    OnNextDialog([](QDialog& dialog) {
        auto& day = dynamic_cast<CDayDlg&>(dialog);
        EXPECT_EQ(day.Rows(), (std::vector<std::string>{"08:00 朝", "20:00 夜"}));
        day.SelectRow(1);
        OnNextDialog([](QDialog& copy) {
            copy.findChild<QComboBox*>("unit")->setCurrentIndex(0);
            copy.findChild<QSpinBox*>("interval")->setValue(2);
            copy.findChild<QSpinBox*>("count")->setValue(3);
            copy.accept();
        });
        day.Copy();
        EXPECT_EQ(day.Rows().size(), 2u);
        dialog.accept();
    });
    ASSERT_TRUE(EditDay(nullptr, *host, env, DateTime::FromDate(2008, 1, 10)));
    const auto& records = host->Document().Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records.back().start, DateTime::FromParts(2008, 1, 16, 20, 0));
    EXPECT_EQ(Titles(), "朝,夜,夜,夜,夜,");
}

TEST_F(EntryCommandsTest, InstalledCommandsActOnTheSelectedDay) {
    std::map<int, std::function<void()>> handlers;
    QWidget view;
    InstallDayEntryCommands(
        [&handlers](int id, std::function<void()> handler) { handlers[id] = std::move(handler); },
        &view, *host, env, [] { return DateTime::FromDate(2008, 1, 12); });
    EXPECT_EQ(handlers.size(), 5u);
    OnNextDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("title")->setText(QStringLiteral("土曜"));
        dialog.accept();
    });
    handlers.at(32781)();
    EXPECT_EQ(Titles(), "朝,夜,土曜,");
    EXPECT_EQ(host->Document().Records().back().start, DateTime::FromDate(2008, 1, 12));
}

TEST_F(EntryCommandsTest, ShortPeriodOpensThePeriodDialogUntilItIsLongEnough) {
    CAlmxData record = At("月例", 20, 10);
    record.repeatType = RepeatMonths;
    CRepeatDlg dialog(RepeatForm(record), prompter);
    dialog.show();

    QString note;
    OnNextDialog([&note](QDialog& span) {
        note = span.findChild<QLabel*>("note")->text();
        span.adjustSize();
        span.grab().save(QStringLiteral(ALMX_BINARY_DIR "/entry_span_dialog.png"));
        span.reject();
    });
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());  // cancelling the period dialog keeps this one open
    EXPECT_EQ(note, "この繰り返しには30日以上の期間が必要です。期間を設定してください");

    // Still too short: asked again; then long enough.
    OnNextDialog([](QDialog& span) {
        span.findChild<QLineEdit*>("spanEnd")->setText(QStringLiteral("2008/02/01"));
        OnNextDialog([](QDialog& again) {
            again.findChild<QLineEdit*>("spanEnd")->setText(QStringLiteral("2008/12/31"));
            again.accept();
        });
        span.accept();
    });
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Form().periodStart, DateTime::FromDate(2008, 1, 20));
    EXPECT_EQ(dialog.Form().periodEnd, DateTime::FromDate(2008, 12, 31));
}

}  // namespace
}  // namespace almx
