// The alarm window and the wave-file chooser.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QWidget>

#include "app/alarm_presenter.h"
#include "app/app_context.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "core/record.h"
#include "reminders/ui/alarm_dialog.h"
#include "reminders/ui/file_wave_dialog.h"

namespace almx {
namespace {

AlarmNotice Notice(const std::string& link = "") {
    CAlmxData entry;
    entry.title = "会議";
    entry.place = "三階";
    entry.memo = "資料";
    entry.linkFile = link;
    entry.start = DateTime::FromParts(2008, 1, 10, 10, 30);
    entry.end = DateTime::FromParts(2008, 1, 10, 11, 0);
    entry.Set(StartTimeSet);
    entry.alarmMinutes = 10;
    return {entry, DateTime::FromParts(2008, 1, 10, 10, 20), ""};
}

struct AlarmWindowTest : ::testing::Test {
    MemorySettingsStore settings;
    DisplaySettings display;
    ScriptedPrompter prompter;
    int opened = 0;
};

TEST_F(AlarmWindowTest, ShowsTheEntryAboveOtherWindows) {
    CAlermDlg dialog(Notice(), settings, display, prompter, [this] { ++opened; });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Almanix"));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog.Field("time")->text(), QStringLiteral("10:20（10分前）"));
    EXPECT_EQ(dialog.Field("title")->text(), QStringLiteral("会議"));
    EXPECT_EQ(dialog.Field("startDate")->text(), QStringLiteral("2008/01/10"));
    EXPECT_EQ(dialog.Field("startTime")->text(), QStringLiteral("10:30"));
    EXPECT_EQ(dialog.Field("endTime")->text(), QString()) << "no end time set";
    EXPECT_TRUE(dialog.Field("title")->isReadOnly());
    EXPECT_EQ(dialog.SnoozeMinutes()->value(), 5);
    // No link: the open button does nothing.
    dialog.OpenButton()->click();
    EXPECT_EQ(opened, 0);
}

TEST_F(AlarmWindowTest, SnoozeMinutesOutsideTheRangeAreRefusedAndTheWindowStays) {
    CAlermDlg dialog(Notice("a.txt"), settings, display, prompter, [this] { ++opened; });
    dialog.show();
    for (int bad : {0, 32769}) {
        dialog.SnoozeMinutes()->setValue(bad);
        dialog.SnoozeButton()->click();
        EXPECT_TRUE(dialog.isVisible()) << bad;
    }
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{"1 から 32768 までの整数を入力してください。",
                                        "1 から 32768 までの整数を入力してください。"}));
    EXPECT_EQ(settings.GetInt("System", "Snooze", -1), -1);
    dialog.OpenButton()->click();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(dialog.isVisible()) << "opening the link keeps the window";
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);

    dialog.SnoozeMinutes()->setValue(32768);
    dialog.SnoozeButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.GetInt("System", "Snooze", -1), 32768);
    EXPECT_EQ(display.snoozeMinutes, 32768);
}

TEST_F(AlarmWindowTest, CloseIsNoSnooze) {
    CAlermDlg dialog(Notice(), settings, display, prompter, nullptr);
    dialog.show();
    dialog.CloseButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.SoundPlaying());
}

// The minute's alarm mail goes to the program's sender as copies; a sender that refuses (or
// none) leaves a warning instead of losing the mail silently.
TEST_F(AlarmWindowTest, AlarmMailGoesToTheSenderOrIsReported) {
    QWidget window;
    AppContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    std::vector<OutgoingMail> handed;
    bool accept = true;
    context.sendMail = [&](const std::vector<OutgoingMail>& messages) {
        handed = messages;
        return accept;
    };
    AlarmPresenter presenter(&window, context);
    AlarmMail mail;
    mail.to = "me@example.jp";
    mail.subject = "Almanix通知";
    mail.body = "10:20\r\n会議\r\n";
    presenter.HandMail({mail, mail});
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[1].to, "me@example.jp");
    EXPECT_EQ(handed[1].subject, "Almanix通知");
    EXPECT_EQ(handed[1].body, "10:20\r\n会議\r\n");
    EXPECT_TRUE(prompter.Shown().empty());

    accept = false;
    presenter.HandMail({mail});
    ASSERT_EQ(prompter.Shown().size(), 1u);
    EXPECT_EQ(prompter.Shown()[0], alarm_messages::kMailNotSent);
}

TEST(FileWaveDialog, TitleFilterExtensionAndPlayButton) {
    CFileWaveDlg dialog{QString()};
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("waveファイル名の入力"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("wav"));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.PlayButton()->text(), QStringLiteral("再生(&S)"));
    const QString filter = dialog.nameFilters().constFirst();
    const QString pattern = filter.mid(filter.lastIndexOf('(') + 1).chopped(1);  // the wave pattern
    const QRegularExpression wave(QRegularExpression::wildcardToRegularExpression(pattern));
    for (const char* name : {"a.wav", "B.WAV", "c.Wav"}) {
        EXPECT_TRUE(wave.match(QString::fromLatin1(name)).hasMatch()) << name;
    }
    EXPECT_FALSE(wave.match(QStringLiteral("d.wave")).hasMatch());
    EXPECT_FALSE(wave.match(QStringLiteral("e.mp3")).hasMatch());
    EXPECT_TRUE(CFileWaveDlg::Playable(QStringLiteral("/x/BELL.WAV")));
    EXPECT_FALSE(CFileWaveDlg::Playable(QStringLiteral("/x/bell.mp3")));
    EXPECT_FALSE(dialog.Play()) << "nothing selected";
}

}  // namespace
}  // namespace almx
