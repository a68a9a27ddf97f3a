// The option dialogs bind every value of their forms, and the fonts keep their stored names.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTabWidget>

#include "app/option_dialogs.h"
#include "app/option_forms.h"
#include "core/display_settings.h"
#include "ui/colour_button.h"
#include "ui/font_faces.h"
#include "ui/qt_settings_store.h"

namespace almx {
namespace {

TEST(OptionDialogs, EachDialogGivesBackTheValuesItWasOpenedWith) {
    WeekColourForm week;
    for (std::size_t i = 0; i < 7; ++i)
        week.colours[i] = 0x010101u * static_cast<std::uint32_t>(i + 1);
    CWeekCol weekDialog(week);
    EXPECT_EQ(weekDialog.windowTitle(), QStringLiteral("曜日色"));
    EXPECT_EQ(weekDialog.Form(), week);
    weekDialog.Button(6)->SetColour(0xABCDEF);
    EXPECT_EQ(weekDialog.Form().colours[6], 0xABCDEFu);

    for (DayDrawForm day : {DayDrawForm{0, 2}, DayDrawForm{4, 1}, DayDrawForm{3, 0}}) {
        EXPECT_EQ(CDayDrawDlg(day).Form(), day);
    }
    EXPECT_EQ(CDayDrawDlg(DayDrawForm{}).windowTitle(), QStringLiteral("日付表示形式"));

    AlarmSettingsForm alarm{30, "/tmp/bell.wav", 2};
    CAlermSetDlg alarmDialog(alarm);
    EXPECT_EQ(alarmDialog.windowTitle(), QStringLiteral("通知設定"));
    EXPECT_EQ(alarmDialog.Form(), alarm);
}

TEST(OptionDialogs, TheSheetBindsEveryValueOfItsThreePages) {
    OtherSettingsForm form;
    form.startLayout = 4;
    form.initTodo = true;
    form.showFirst = false;
    form.schSort = false;
    form.viewDateSync = false;
    form.noLastCur = false;
    form.shunbun = false;
    form.hurikae = false;
    form.todayLimit = 5;
    form.hasDocument = true;
    form.genreNames = {"一般", "仕事", "趣味"};
    form.scheduleGenre = 2;
    form.todoGenre = 1;
    form.viewTime = 2;
    form.defaultKigen = false;
    form.defaultDays = 30;
    form.ime = true;
    form.confirmCancel = false;
    form.absolutePath = true;
    form.newDirMode = 2;
    form.newDir = "/home/u/リンク";
    form.saveSpanChoice = 3;
    form.sharedFile = true;
    COptionSheet sheet(form);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("その他の設定"));
    ASSERT_EQ(sheet.Pages()->count(), 3);
    EXPECT_EQ(sheet.Pages()->tabText(0), QStringLiteral("動作"));
    EXPECT_EQ(sheet.Pages()->tabText(1), QStringLiteral("編集"));
    EXPECT_EQ(sheet.Pages()->tabText(2), QStringLiteral("ファイル"));
    EXPECT_EQ(sheet.Form(), form);
    // The defaults too (every box the other way round).
    EXPECT_EQ(COptionSheet(OtherSettingsForm{}).Form(), OtherSettingsForm{});
}

TEST(Fonts, AMissingFaceIsDrawnWithAJapaneseFontUnderItsStoredName) {
    const FontSpec stored{"ＭＳ Ｐゴシック", -13, 700, 0, 1, 128};
    QFont font = FontFromSpec(stored);
    EXPECT_EQ(font.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.underline());
    const QString drawn = QFontInfo(font).family();
    EXPECT_TRUE(drawn.contains(QStringLiteral("CJK JP")) || drawn.contains(QStringLiteral("JP")))
        << drawn.toStdString();
    EXPECT_TRUE(
        JapaneseFallbackFamily(QStringLiteral("ＭＳ 明朝")).contains(QStringLiteral("Serif")));
    // A positive size is a cell height: ascent and descent of the face the value was set for.
    EXPECT_EQ(FontFromSpec(FontSpec{"Arial", 20, 400, 0, 0, 0}).pixelSize(), 18);
}

TEST(Settings, DefaultsFromAnEmptyStoreAndTheWriteBackReadsTheSame) {
    const QString ini = QDir::tempPath() + QStringLiteral("/almx-settings-test.ini");
    QFile::remove(ini);
    {
        QtSettingsStore store(ini);
        DisplaySettings loaded = DisplaySettings::Load(store);
        DisplaySettings defaults;
        EXPECT_EQ(loaded.monthWeeks, 5);
        EXPECT_EQ(loaded.weekColors, defaults.weekColors);
        EXPECT_EQ(loaded.scheduleFont, defaults.scheduleFont);
        EXPECT_EQ(loaded.diaryIconColor, 33023u);
        store.Sync();
        EXPECT_FALSE(QFile::exists(ini)) << "reading wrote the store";

        loaded.backColor = 0x00ABCDEF;
        loaded.scheduleFont.faceName = "ＭＳ 明朝";
        loaded.alarmWave = "/home/u/音.wav";
        loaded.Store(store);
        store.Sync();
    }
    QtSettingsStore again(ini);
    DisplaySettings back = DisplaySettings::Load(again);
    EXPECT_EQ(back.backColor, 0x00ABCDEFu);
    EXPECT_EQ(again.GetString("View", "BackColor", ""), "11259375");
    EXPECT_EQ(back.scheduleFont.faceName, "ＭＳ 明朝");
    EXPECT_EQ(back.alarmWave, "/home/u/音.wav");
    QFile::remove(ini);
}

}  // namespace
}  // namespace almx
