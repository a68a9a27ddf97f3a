// HTML出力 and its options dialog: the fields they show and store.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "base/settings_store.h"
#include "exchange/ui/html_dialogs.h"

namespace almx {
namespace {

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) return button;
    }
    return nullptr;
}

TEST(HtmlDialogs, OutputDialogShowsTheSettingsAndStoresEveryFieldWithEitherButton) {
    MemorySettingsStore settings;
    settings.SetString("HtmlMonthOut", "Folder", "/srv/www");
    settings.SetString("HtmlMonthOut", "FileName", "sch");
    settings.SetInt("HtmlMonthOut", "Navi", 0);
    HtmlMonthOutSettings request = HtmlMonthOutSettings::Load(settings);
    request.PresetRange(DateTime::FromDate(2024, 1, 15));
    CHtmlOutDlg dialog(request, settings);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("HTML出力"));
    EXPECT_EQ(dialog.folderEdit->text(), QStringLiteral("/srv/www"));
    EXPECT_FALSE(dialog.naviBox->isChecked());
    EXPECT_EQ(dialog.startYear->value(), 2023);
    EXPECT_EQ(dialog.startMonth->value(), 12);
    EXPECT_EQ(dialog.endMonth->value(), 7);
    for (const char* text : {"フォルダ選択", "開始", "出力してプレビュー", "キャンセル"}) {
        EXPECT_NE(Button(dialog, QString::fromUtf8(text)), nullptr) << text;
    }

    dialog.topEdit->setText(QStringLiteral("index"));
    dialog.mobileTopEdit->setText(QStringLiteral("mtop"));
    dialog.endYear->setValue(2025);
    Button(dialog, QStringLiteral("出力してプレビュー"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Preview());
    EXPECT_EQ(request.topName, "index");
    EXPECT_EQ(settings.GetString("HtmlMonthOut", "TopName", ""), "index");
    EXPECT_EQ(settings.GetString("HtmlMonthOut", "MobileTop", ""), "mtop");
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "EndYear", 0), 2025);
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "StartMonth", 0), 12);

    CHtmlOutDlg again(request, settings);
    Button(again, QStringLiteral("開始"))->click();
    EXPECT_FALSE(again.Preview());
}

TEST(HtmlDialogs, OptionsDialogStoresTheSixSettings) {
    MemorySettingsStore settings;
    CHtmlOptionDlg dialog(settings);
    EXPECT_TRUE(dialog.cssOutBox->isChecked());
    EXPECT_EQ(dialog.cssColorEdit->text(), QStringLiteral("#669933"));
    dialog.colorBox->setChecked(false);
    dialog.cssColorEdit->setText(QStringLiteral("#FF0000"));
    dialog.viewWidthEdit->setText(QStringLiteral("800"));
    dialog.accept();
    EXPECT_EQ(settings.GetInt("HtmlExport", "Color", 1), 0);
    EXPECT_EQ(settings.GetInt("HtmlExport", "FontTag", 0), 1);
    EXPECT_EQ(settings.GetString("HtmlExport", "CssColor", ""), "#FF0000");
    EXPECT_EQ(settings.GetString("HtmlExport", "ViewWidth", ""), "800");
}

}  // namespace
}  // namespace almx
