// The export, text copy and calendar dialogs bound to their forms, and the clipboard text.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "dialog_driver.h"
#include "exchange/ui/export_dialogs.h"
#include "ui/calendar_ctrl.h"

namespace almx {
namespace {

void Save(QWidget& widget, const char* name) {
    widget.adjustSize();
    widget.grab().save(QStringLiteral(ALMX_BINARY_DIR "/") + QString::fromUtf8(name));
}

struct ExportDialogs : ::testing::Test {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 6, 1, 10, 0)};
};

TEST_F(ExportDialogs, ExportDialogShowsTheFormAndWritesItBackOnOk) {
    settings.SetString("System", "ExportFile", "/tmp/plan.csv");
    settings.SetInt("System", "ExportNoView", 1);
    CExportCsvForm form(settings, prompter);
    form.Preset(clock.Now());
    CExportCsvDlg dialog(form, clock);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("エクスポート"));
    EXPECT_EQ(dialog.startEdit->text(), QStringLiteral("2025/06/01"));
    EXPECT_EQ(dialog.endEdit->text(), QStringLiteral("2025/06/15"));
    EXPECT_EQ(dialog.fileEdit->text(), QStringLiteral("/tmp/plan.csv"));
    EXPECT_TRUE(dialog.hiddenBox->isChecked());
    EXPECT_EQ(dialog.hiddenBox->text(), QStringLiteral("非表示スケジュールもエクスポートする(&N)"));
    int calendars = 0;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("ｶﾚﾝﾀﾞ")) ++calendars;
    }
    EXPECT_EQ(calendars, 2);
    Save(dialog, "export_dialog.png");

    dialog.endEdit->setText(QStringLiteral("2025/05/01"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.Shown().back(), "正しい終了日付を入力してください");
    dialog.endEdit->setText(QStringLiteral("2025/06/30"));
    dialog.hiddenBox->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.end, DateTime::FromDate(2025, 6, 30));
    EXPECT_EQ(settings.GetInt("System", "ExportNoView", 1), 0);
    EXPECT_EQ(settings.GetInt("System", "ExportSpan", 0), 29);
}

TEST_F(ExportDialogs, TextCopyDialogAndCalendar) {
    CTextCopyForm form(settings, prompter);
    form.Preset(clock.Now());
    CTextCopyDlg dialog(form, clock);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("テキストコピー"));
    EXPECT_FALSE(dialog.yearBox->isChecked());
    EXPECT_TRUE(dialog.weekdayBox->isChecked());
    Save(dialog, "text_copy_dialog.png");
    dialog.yearBox->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.Options(), 3);

    CCalenderDlg calendar(DateTime::FromDate(2025, 6, 20));
    EXPECT_EQ(calendar.windowTitle(), QStringLiteral("カレンダー"));
    EXPECT_EQ(calendar.Date(), DateTime::FromDate(2025, 6, 20));
    calendar.Calendar()->SetDate(DateTime::FromDate(2025, 7, 4));
    EXPECT_EQ(calendar.Date(), DateTime::FromDate(2025, 7, 4));
    Save(calendar, "calendar_dialog.png");
}

// The middle of the day number of a date shown by the control.
QPoint DayPoint(const CVeltaCalenderCtrl& calendar, const DateTime& date) {
    const CalendarLayout layout = calendar.Layout();
    const int cell = calendar.Grid().CellOf(date);
    EXPECT_GE(cell, 0);
    return QPoint(layout.NumberX(cell % 7) + 4, layout.NumberY(cell / 7) + 4);
}

TEST_F(ExportDialogs, CalendarButtonPicksByDoubleClickOrOkAndCancelKeepsTheText) {
    QLineEdit edit(QStringLiteral("2025/08/05"));
    // August 2025 begins on a Friday: its 31st lies in the sixth row.
    testing::OnNextDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("カレンダー"));
        auto* calendar = dialog.findChild<CVeltaCalenderCtrl*>();
        ASSERT_TRUE(calendar);
        EXPECT_EQ(calendar->Rows(), 6);
        EXPECT_EQ(calendar->Date(), DateTime::FromDate(2025, 8, 5));
        Save(dialog, "calendar_dialog_august.png");
        // A double click begins with a click, which selects the day.
        const QPoint last = DayPoint(*calendar, DateTime::FromDate(2025, 8, 31));
        QTest::mouseClick(calendar, Qt::LeftButton, {}, last);
        QTest::mouseDClick(calendar, Qt::LeftButton, {}, last);
    });
    PickDateInto(&edit, clock, nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("2025/08/31"));

    // A click selects without closing; OK takes the selection.
    testing::OnNextDialog([](QDialog& dialog) {
        auto* calendar = dialog.findChild<CVeltaCalenderCtrl*>();
        ASSERT_TRUE(calendar);
        QTest::mouseClick(calendar, Qt::LeftButton, {},
                          DayPoint(*calendar, DateTime::FromDate(2025, 8, 14)));
        EXPECT_TRUE(dialog.isVisible());
        dialog.accept();
    });
    PickDateInto(&edit, clock, nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("2025/08/14"));

    testing::OnNextDialog([](QDialog& dialog) {
        auto* calendar = dialog.findChild<CVeltaCalenderCtrl*>();
        ASSERT_TRUE(calendar);
        calendar->SetDate(DateTime::FromDate(2026, 1, 1));
        dialog.reject();
    });
    PickDateInto(&edit, clock, nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("2025/08/14"));

    // An empty box opens on the clock's today.
    edit.clear();
    testing::OnNextDialog([](QDialog& dialog) {
        auto* calendar = dialog.findChild<CVeltaCalenderCtrl*>();
        ASSERT_TRUE(calendar);
        EXPECT_EQ(calendar->Date(), DateTime::FromDate(2025, 6, 1));
        EXPECT_EQ(calendar->Today(), DateTime::FromDate(2025, 6, 1));
        dialog.accept();
    });
    PickDateInto(&edit, clock, nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("2025/06/01"));
}

TEST_F(ExportDialogs, ClipboardGetsThePlainText) {
    QtClipboard clipboard;
    clipboard.SetText("06/01 会議\n06/02 旅行\n");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("06/01 会議\n06/02 旅行\n"));
}

}  // namespace
}  // namespace almx
