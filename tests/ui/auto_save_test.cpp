// The clock's document check: automatic save timing with a manual clock, and the once a
// minute report.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "app/minute_check.h"
#include "base/clock.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/document_fixture.h"
#include "document/document.h"
#include "document/file_lock.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::SjisFile;
using testing::WriteBytes;

class RefusingWriter : public FileWriter {
  public:
    bool Write(int, std::string_view) override {
        ++attempts;
        return false;
    }
    int attempts = 0;
};

class AutoSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-autosave-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "plan.alx").string();
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        WriteBytes(path_, SjisFile(testing::kHeaderLine));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::unique_ptr<CAlmxDoc> Document() {
        DocumentContext context;
        context.settings = &settings_;
        context.prompter = &prompter_;
        context.clock = &clock_;
        context.computerName = "test";
        return std::make_unique<CAlmxDoc>(context);
    }

    // Advances the clock by ten-second ticks and runs the check on each.
    int TicksUntilSaved(MinuteCheck& check, CAlmxDoc& document, int span, int maxTicks) {
        for (int tick = 1; tick <= maxTicks; ++tick) {
            clock_.AdvanceSeconds(10);
            if (check.Run(document, clock_.Now(), span).saved) return tick;
        }
        return -1;
    }

    fs::path dir_;
    std::string path_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
};

TEST(AutoSaveDue, TheIntervalFromTheLastSave) {
    const DateTime since = DateTime::FromParts(2025, 5, 3, 9, 0, 0);
    EXPECT_FALSE(AutoSaveDue(10, since, since.PlusSeconds(599)));
    EXPECT_TRUE(AutoSaveDue(10, since, since.PlusSeconds(600)));
    EXPECT_FALSE(AutoSaveDue(0, since, since.PlusMinutes(1000)));
    EXPECT_FALSE(AutoSaveDue(-5, since, since.PlusMinutes(1000)));
    EXPECT_FALSE(AutoSaveDue(10, DateTime::Invalid(), since));
}

TEST_F(AutoSaveTest, ANamedModifiedDocumentIsSavedOnTheFirstTickTenMinutesOn) {
    auto document = Document();
    ASSERT_TRUE(document->Open(path_));
    MinuteCheck check;
    check.Run(*document, clock_.Now(), 10);  // the check first sees the document
    CAlmxData record;
    record.title = "会議";
    document->Records().push_back(record);
    document->SetModified(true);

    // 60 ticks of ten seconds are ten minutes.
    EXPECT_EQ(TicksUntilSaved(check, *document, 10, 100), 60);
    EXPECT_FALSE(document->IsModified());
    EXPECT_NE(ReadBytes(path_).find(text::ToShiftJis("会議")), std::string::npos);
    EXPECT_EQ(document->LastSaveTime(), clock_.Now());

    // Nothing to save: nothing written; a new change waits a whole interval again.
    EXPECT_EQ(TicksUntilSaved(check, *document, 10, 70), -1);
    document->SetModified(true);
    clock_.AdvanceSeconds(-700);
    ASSERT_TRUE(document->SaveTo(path_));  // saved by hand: the interval counts from here
    document->SetModified(true);
    EXPECT_EQ(TicksUntilSaved(check, *document, 10, 100), 60);
    EXPECT_TRUE(prompter_.Shown().empty());
}

TEST_F(AutoSaveTest, AnUnnamedDocumentIsNeverSaved) {
    auto document = Document();
    prompter_.Then(Answer::No);
    ASSERT_TRUE(document->NewDocument());
    document->SetModified(true);
    MinuteCheck check;
    EXPECT_EQ(TicksUntilSaved(check, *document, 5, 400), -1);
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(prompter_.RepliesLeft(), 0u);
    // The file dialog was never asked for.
    EXPECT_EQ(prompter_.Shown().size(), 1u);
}

TEST_F(AutoSaveTest, OffWhenTheIntervalIsZero) {
    auto document = Document();
    ASSERT_TRUE(document->Open(path_));
    document->SetModified(true);
    MinuteCheck check;
    EXPECT_EQ(TicksUntilSaved(check, *document, 0, 400), -1);
}

TEST_F(AutoSaveTest, AReadOnlyDocumentIsSkippedWithoutAMessage) {
    // Another holder's lock makes the document read-only when it opens.
    WriteBytes(FileLock::LockPathOf(path_), "2025/05/03 08:00\r\nother\r\n\r\n");
    auto document = Document();
    prompter_.Then(Answer::Ok);
    ASSERT_TRUE(document->Open(path_));
    ASSERT_TRUE(document->IsReadOnly());
    const std::size_t shown = prompter_.Shown().size();
    document->SetModified(true);
    MinuteCheck check;
    EXPECT_EQ(TicksUntilSaved(check, *document, 5, 200), -1);
    EXPECT_EQ(prompter_.Shown().size(), shown);
    EXPECT_TRUE(document->IsModified());
}

TEST_F(AutoSaveTest, AFailedSaveKeepsTheChangesAndWaitsAWholeInterval) {
    auto document = Document();
    ASSERT_TRUE(document->Open(path_));
    const std::string before = ReadBytes(path_);
    RefusingWriter writer;
    document->SetFileWriter(&writer);
    MinuteCheck check;
    check.Run(*document, clock_.Now(), 5);
    document->SetModified(true);

    EXPECT_EQ(TicksUntilSaved(check, *document, 5, 40), -1);
    EXPECT_EQ(writer.attempts, 1);
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{"書き込みファイルが開けません"});
    // The next try (and message) comes five minutes after the failed one, not ten seconds.
    for (int tick = 0; tick < 30; ++tick) {
        clock_.AdvanceSeconds(10);
        check.Run(*document, clock_.Now(), 5);
    }
    EXPECT_EQ(writer.attempts, 2);
    EXPECT_EQ(prompter_.Shown().size(), 2u);

    document->SetFileWriter(nullptr);
    EXPECT_GT(TicksUntilSaved(check, *document, 5, 40), 0);
    EXPECT_FALSE(document->IsModified());
}

// A prompter whose message box lets the clock tick again, as a modal dialog does.
class TickingPrompter : public ScriptedPrompter {
  public:
    std::function<void()> duringMessage;
    void ShowMessage(std::string_view text, MessageKind kind) override {
        ScriptedPrompter::ShowMessage(text, kind);
        if (duringMessage) duringMessage();
    }
};

TEST_F(AutoSaveTest, ATickDuringTheFailureMessageDoesNotRunTheCheckAgain) {
    TickingPrompter prompter;
    DocumentContext context;
    context.settings = &settings_;
    context.prompter = &prompter;
    context.clock = &clock_;
    context.computerName = "test";
    CAlmxDoc document(context);
    ASSERT_TRUE(document.Open(path_));
    RefusingWriter writer;
    document.SetFileWriter(&writer);
    MinuteCheck check;
    check.Run(document, clock_.Now(), 5);
    document.SetModified(true);
    int nested = 0;
    prompter.duringMessage = [&] {
        for (int i = 0; i < 5; ++i) {
            clock_.AdvanceSeconds(10);
            MinuteCheck::Result inner = check.Run(document, clock_.Now(), 5);
            EXPECT_FALSE(inner.saved || inner.saveFailed || inner.newMinute);
            ++nested;
        }
    };
    clock_.AdvanceSeconds(300);
    MinuteCheck::Result result = check.Run(document, clock_.Now(), 5);
    EXPECT_TRUE(result.saveFailed);
    EXPECT_EQ(nested, 5);
    EXPECT_EQ(writer.attempts, 1);
    EXPECT_FALSE(check.Running());
}

TEST_F(AutoSaveTest, TheMinuteAndTheDayAreReportedOnce) {
    auto document = Document();
    MinuteCheck check;
    clock_.Set(DateTime::FromParts(2025, 5, 3, 23, 58, 30));
    MinuteCheck::Result first = check.Run(*document, clock_.Now(), 0);
    EXPECT_TRUE(first.newMinute);
    EXPECT_TRUE(first.dayChanged);
    clock_.AdvanceSeconds(20);  // 23:58:50
    EXPECT_FALSE(check.Run(*document, clock_.Now(), 0).newMinute);
    clock_.AdvanceSeconds(10);  // 23:59:00
    MinuteCheck::Result minute = check.Run(*document, clock_.Now(), 0);
    EXPECT_TRUE(minute.newMinute);
    EXPECT_FALSE(minute.dayChanged);
    clock_.AdvanceSeconds(60);  // the next day
    MinuteCheck::Result day = check.Run(*document, clock_.Now(), 0);
    EXPECT_TRUE(day.newMinute);
    EXPECT_TRUE(day.dayChanged);
}

// The alarm window is open while the clock ticks: the tick evaluates its own minute, so a
// later alarm is not swallowed by the one on screen.
TEST_F(AutoSaveTest, ATickDuringAnAlarmWindowChecksItsNewMinute) {
    auto document = Document();
    for (int minute : {1, 2}) {
        CAlmxData record;
        record.title = minute == 1 ? "first" : "second";
        record.start = DateTime::FromParts(2025, 5, 3, 9, minute);
        record.Set(StartTimeSet);
        record.alarmMinutes = 0;
        record.alarmMode = AlarmOnScreen;
        document->Records().push_back(record);
    }
    struct Ui : AlarmUi {
        std::function<void()> nested;
        std::vector<std::string> shown;
        void RestoreMainWindow() override {}
        bool MailReady() override { return false; }
        void HandMail(std::vector<AlarmMail>) override {}
        void PlaySound(const std::string&) override {}
        void ShowNotification(const AlarmNotice&) override {}
        bool ShowAlarmWindow(const AlarmNotice& notice) override {
            shown.push_back(notice.entry.title);
            if (auto run = std::exchange(nested, nullptr)) run();
            return false;
        }
        void OpenLink(const CAlmxData&) override {}
    } ui;
    MinuteCheck check;
    AlarmCheck alarms(document->SnoozeList(), settings_, clock_);
    const MinuteCheck::Alarms step{alarms, ui, DateTime::Invalid()};
    check.Run(*document, clock_.Now(), 0, &step);  // 09:00:05
    ui.nested = [&] {
        clock_.AdvanceSeconds(10);  // 09:01:15, the same minute: nothing
        EXPECT_FALSE(check.Run(*document, clock_.Now(), 0, &step).newMinute);
        clock_.AdvanceSeconds(50);  // 09:02:05
        const MinuteCheck::Result inner = check.Run(*document, clock_.Now(), 0, &step);
        EXPECT_TRUE(inner.alarms.checked);
        EXPECT_EQ(inner.alarms.fired, 1);
    };
    clock_.AdvanceSeconds(60);  // 09:01:05
    EXPECT_EQ(check.Run(*document, clock_.Now(), 0, &step).alarms.fired, 1);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"first", "second"}));
    clock_.AdvanceSeconds(10);
    EXPECT_FALSE(check.Run(*document, clock_.Now(), 0, &step).alarms.checked);
}

}  // namespace
}  // namespace almx
