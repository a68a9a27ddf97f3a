// The export, text copy and calendar dialogs bound to their forms, and the clipboard text.

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "exchange/ui/export_dialogs.h"

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
    calendar.Calendar()->setSelectedDate(QDate(2025, 7, 4));
    EXPECT_EQ(calendar.Date(), DateTime::FromDate(2025, 7, 4));
    Save(calendar, "calendar_dialog.png");
}

TEST_F(ExportDialogs, ClipboardGetsThePlainText) {
    QtClipboard clipboard;
    clipboard.SetText("06/01 会議\n06/02 旅行\n");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("06/01 会議\n06/02 旅行\n"));
}

}  // namespace
}  // namespace almx
