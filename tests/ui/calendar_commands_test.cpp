// The vCalendar and iCalendar file dialogs bound to their forms, and the program's commands
// writing and reading files through them.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/app_context.h"
#include "app/calendar_commands.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "dialog_driver.h"
#include "document/document.h"
#include "exchange/calendar_exchange.h"
#include "exchange/ui/calendar_dialogs.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using testing::OnNextDialog;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Shot(QWidget& widget, const char* name) {
    widget.resize(720, 440);
    widget.grab().save(QStringLiteral(ALMX_BINARY_DIR "/") + QString::fromUtf8(name));
}

struct CalendarCommands : ::testing::Test {
    CalendarCommands() {
        std::string pattern = (fs::temp_directory_path() / "almx-calui-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.programFolder = dir.string();
        doc = std::make_unique<CAlmxDoc>(context.ForDocument());
    }
    ~CalendarCommands() override {
        doc.reset();
        std::error_code error;
        fs::remove_all(dir, error);
    }
    std::string PathOf(const char* name) const { return (dir / name).string(); }

    static CAlmxData Timed(const std::string& title, int day, int hour) {
        CAlmxData r;
        r.title = title;
        r.start = DateTime::FromParts(2025, 6, day, hour, 0);
        r.end = DateTime::FromParts(2025, 6, day, hour + 1, 0);
        r.Set(StartTimeSet);
        r.Set(EndTimeSet);
        r.alarmMinutes = -1;
        return r;
    }

    fs::path dir;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 6, 1, 10, 0)};
    AppContext context;
    std::unique_ptr<CAlmxDoc> doc;
};

// Chooses the file in the next file dialog and presses OK.
void ChooseInNextDialog(const std::string& path, QString* title = nullptr) {
    OnNextDialog([path, title](QDialog& shown) {
        auto& dialog = static_cast<QFileDialog&>(shown);
        if (title) *title = dialog.windowTitle();
        dialog.selectFile(QString::fromStdString(path));
        static_cast<QDialog&>(dialog).accept();
    });
}

TEST_F(CalendarCommands, SaveDialogShowsTheFormAndStoresTheChoice) {
    settings.SetString("InitDir", "vCalExport", PathOf("last.vcs"));
    CCalendarSaveForm form(CalendarFormat::VCalendar, settings, prompter);
    form.Preset(std::string("会議/議事"));
    CCalendarSaveDlg dialog(form);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("vCalenderファイル"));
    EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("vCalenderﾌｧｲﾙ(*.vcs)")});
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("vcs"));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(dir.string()));
    ASSERT_FALSE(dialog.selectedFiles().isEmpty());
    EXPECT_EQ(fs::path(dialog.selectedFiles().first().toStdString()).filename(), "会議_議事.vcs");
    Shot(dialog, "vcalendar_save_dialog.png");

    dialog.selectFile(QString::fromStdString(PathOf("new.vcs")));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.path, PathOf("new.vcs"));
    EXPECT_EQ(settings.GetString("InitDir", "vCalExport", ""), PathOf("new.vcs"));

    CCalendarSaveForm ics(CalendarFormat::ICalendar, settings, prompter);
    ics.Preset(std::nullopt);
    CCalendarSaveDlg icsDialog(ics);
    EXPECT_EQ(icsDialog.windowTitle(), QStringLiteral("iCalenderファイル"));
    EXPECT_EQ(icsDialog.nameFilters(), QStringList{QStringLiteral("iCalenderﾌｧｲﾙ(*.ics)")});
    EXPECT_EQ(fs::path(icsDialog.selectedFiles().first().toStdString()).filename(), "almx.ics");
    Shot(icsDialog, "icalendar_save_dialog.png");
}

TEST_F(CalendarCommands, OpenDialogNeedsAnExistingFileAndStoresIt) {
    std::ofstream(PathOf("in.ics")) << "BEGIN:VCALENDAR\r\n";
    CCalendarOpenForm form(CalendarFormat::ICalendar, settings, prompter);
    form.Preset();
    CCalendarOpenDlg dialog(form);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("iCalenderファイル"));
    EXPECT_EQ(dialog.nameFilters(), (QStringList{QStringLiteral("iCalenderﾌｧｲﾙ(*.ics)"),
                                                 QStringLiteral("全てのﾌｧｲﾙ(*.*)")}));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    dialog.setDirectory(QString::fromStdString(dir.string()));
    Shot(dialog, "icalendar_open_dialog.png");

    dialog.selectFile(QString::fromStdString(PathOf("gone.ics")));
    dialog.done(QDialog::Accepted);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.Shown().back().find("ファイルのオープンに失敗しました"), 0u);
    EXPECT_EQ(settings.GetString("Import", "vCalender", "none"), "none");

    dialog.selectFile(QString::fromStdString(PathOf("in.ics")));
    dialog.done(QDialog::Accepted);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.GetString("Import", "vCalender", ""), PathOf("in.ics"));

    CCalendarOpenForm vcs(CalendarFormat::VCalendar, settings, prompter);
    vcs.Preset();
    CCalendarOpenDlg vcsDialog(vcs);
    EXPECT_EQ(vcsDialog.windowTitle(), QStringLiteral("vCalenderファイル"));
    EXPECT_EQ(vcsDialog.directory().absolutePath(), QString::fromStdString(dir.string()));
    EXPECT_EQ(vcsDialog.defaultSuffix(), QStringLiteral("vcs"));
}

TEST_F(CalendarCommands, RangeExportAsksTheDatesAndWritesTheEntriesInThem) {
    doc->Records().push_back(Timed("二日", 2, 9));
    doc->Records().push_back(Timed("九日", 9, 9));
    doc->Records().push_back(Timed("二十日", 20, 9));

    CICalRangeForm form(settings, prompter);
    form.Preset(DateTime::FromDate(2025, 6, 2));
    CICalRangeDlg dialog(form, clock);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("iCalender形式で保存"));
    EXPECT_EQ(dialog.startEdit->text(), QStringLiteral("2025/06/02"));
    EXPECT_EQ(dialog.endEdit->text(), QStringLiteral("2025/07/02"));
    dialog.adjustSize();
    dialog.grab().save(QStringLiteral(ALMX_BINARY_DIR "/icalendar_range_dialog.png"));
    dialog.startEdit->setText(QStringLiteral("2025/13/01"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.Shown().back(), "正しい開始日付を入力してください");

    // Through the command: the range dialog, then the file dialog.
    const std::string target = PathOf("range.ics");
    OnNextDialog([target](QDialog& shown) {
        auto& range = static_cast<CICalRangeDlg&>(shown);
        range.endEdit->setText(QStringLiteral("2025/06/10"));
        range.accept();
        ChooseInNextDialog(target);
    });
    SaveRangeAsICalendar(*doc, DateTime::FromDate(2025, 6, 2), context, nullptr);
    const std::string written = Slurp(target);
    EXPECT_NE(written.find("SUMMARY:二日"), std::string::npos);
    EXPECT_NE(written.find("SUMMARY:九日"), std::string::npos);
    EXPECT_EQ(written.find("二十日"), std::string::npos);
    EXPECT_EQ(settings.GetInt("System", "iCalSpan", 0), 8);

    // Nothing in the range: the message, no file dialog.
    OnNextDialog([](QDialog& shown) {
        auto& range = static_cast<CICalRangeDlg&>(shown);
        range.startEdit->setText(QStringLiteral("2025/06/21"));
        range.endEdit->setText(QStringLiteral("2025/06/30"));
        range.accept();
    });
    SaveRangeAsICalendar(*doc, DateTime::FromDate(2025, 6, 21), context, nullptr);
    EXPECT_EQ(prompter.Shown().back(), "この期間にデータがありません");
}

TEST_F(CalendarCommands, DayExportWritesEveryEntryOfTheDayAndTheImportReadsItBack) {
    doc->Records().push_back(Timed("朝会", 2, 9));
    doc->Records().push_back(Timed("昼食", 2, 12));
    doc->Records().push_back(Timed("別の日", 3, 9));

    // An empty day: the message and no dialog.
    SaveDayAsICalendar(*doc, DateTime::FromDate(2025, 6, 5), context, nullptr);
    EXPECT_EQ(prompter.Shown().back(), "この日にデータがありません");

    QString title;
    ChooseInNextDialog(PathOf("day.ics"), &title);
    SaveDayAsICalendar(*doc, DateTime::FromDate(2025, 6, 2), context, nullptr);
    EXPECT_EQ(title, QStringLiteral("iCalenderファイル"));
    const std::string written = Slurp(PathOf("day.ics"));
    EXPECT_NE(written.find("SUMMARY:朝会"), std::string::npos);
    EXPECT_NE(written.find("SUMMARY:昼食"), std::string::npos);
    EXPECT_EQ(written.find("別の日"), std::string::npos);
    EXPECT_EQ(settings.GetString("InitDir", "iCalExport", ""), PathOf("day.ics"));

    CAlmxDoc other(context.ForDocument());
    int refreshed = 0;
    ChooseInNextDialog(PathOf("day.ics"));
    RunCalendarImport(calendar_cmd::kICalendarImport, other, context, nullptr,
                      [&refreshed] { ++refreshed; });
    EXPECT_EQ(refreshed, 1);
    ASSERT_EQ(other.Records().size(), 2u);
    EXPECT_EQ(other.Records()[0].title, "朝会");
    EXPECT_EQ(other.Records()[1].start, DateTime::FromParts(2025, 6, 2, 12, 0));
    EXPECT_EQ(prompter.Shown().back(), "全件（2件）のインポートに成功しました。");
    EXPECT_EQ(settings.GetString("Import", "vCalender", ""), PathOf("day.ics"));
}

TEST_F(CalendarCommands, TheDayListsEntryGoesToVcsAndIcsFilesNamedAfterItsTitle) {
    const CAlmxData meeting = Timed("定例会議", 4, 15);
    CalendarActions actions = ProgramCalendarActions(context, nullptr);

    QString suggested;
    OnNextDialog([&](QDialog& shown) {
        auto& dialog = static_cast<QFileDialog&>(shown);
        suggested = dialog.selectedFiles().value(0);
        dialog.selectFile(QString::fromStdString(PathOf("entry.vcs")));
        static_cast<QDialog&>(dialog).accept();
    });
    actions.saveVcs(meeting, DateTime::FromDate(2025, 6, 4));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/定例会議.vcs")));
    const std::string vcs = Slurp(PathOf("entry.vcs"));
    EXPECT_EQ(vcs.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    EXPECT_NE(vcs.find("VERSION:1.0"), std::string::npos);

    OnNextDialog([&](QDialog& shown) {
        auto& dialog = static_cast<QFileDialog&>(shown);
        suggested = dialog.selectedFiles().value(0);
        dialog.selectFile(QString::fromStdString(PathOf("entry")));
        static_cast<QDialog&>(dialog).accept();
    });
    actions.saveIcs(meeting);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/定例会議.ics")));
    EXPECT_NE(Slurp(PathOf("entry.ics")).find("SUMMARY:定例会議"), std::string::npos);

    // The vCalendar import takes the file the export wrote.
    ChooseInNextDialog(PathOf("entry.vcs"));
    RunCalendarImport(calendar_cmd::kVCalendarImport, *doc, context, nullptr, nullptr);
    ASSERT_EQ(doc->Records().size(), 1u);
    EXPECT_EQ(doc->Records()[0].title, "定例会議");
    EXPECT_EQ(doc->Records()[0].start, meeting.start);

    // The mail is offered only with an account that has a server.
    context.mailFolder = dir.string();
    context.sendMail = [](const std::vector<OutgoingMail>&) { return true; };
    std::ofstream(PathOf("almxmail.ini")) << "[Set]\r\nSetCount=0\r\n";
    EXPECT_FALSE(actions.mailReady());
    std::ofstream(PathOf("almxmail.ini")) << "[Set00]\r\nSmtp=s.jp\r\n";
    EXPECT_TRUE(actions.mailReady());
}

}  // namespace
}  // namespace almx
