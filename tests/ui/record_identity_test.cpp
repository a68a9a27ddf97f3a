// A document with its month view, day list and to-do list open, put through thousands of random
// changes with every view painted after each: a view that keeps a record the document moved or
// freed reads freed memory here (the sanitizer build reports it) or shows a record it no longer
// has.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "core/genre.h"
#include "core/record_line.h"
#include "document/document.h"
#include "document/schedule_file_writer.h"
#include "text/encoding.h"
#include "views/day_view.h"
#include "views/month_view.h"
#include "views/todo_view.h"

namespace almx {
namespace {

constexpr int kCut = 57635;
constexpr int kPaste = 57637;
constexpr int kMoveUp = 32842;
constexpr int kNextMonth = 32769;
constexpr int kPreviousMonth = 32770;
constexpr int kNextDay = 32776;

CAlmxData Schedule(const std::string& title, const DateTime& day, int genre = 0) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = day;
    r.genre = genre;
    r.alarmMinutes = -1;
    return r;
}

CAlmxData Todo(const std::string& title, const DateTime& day) {
    CAlmxData r = Schedule(title, day);
    r.Set(IsTodo);
    return r;
}

// Writes a schedule file holding the records.
std::string WriteFile(const QTemporaryDir& dir, const std::string& name,
                      const std::vector<CAlmxData>& records) {
    CAlmxArray array;
    array.genres = CAlmxFieldArray::General();
    for (const CAlmxData& r : records) array.records.push_back(r);
    const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << WriteScheduleFile(array).bytes;
    return path;
}

// A message box runs the event loop and the views paint in it: this prompter paints them
// whenever it is asked or told anything.
class PaintingPrompter : public ScriptedPrompter {
  public:
    std::function<void()> paint;

    void ShowMessage(std::string_view text, MessageKind kind) override {
        if (paint) paint();
        ScriptedPrompter::ShowMessage(text, kind);
    }
    Answer AskYesNo(std::string_view text) override {
        if (paint) paint();
        return ScriptedPrompter::AskYesNo(text);
    }
    int AskButtons(std::string_view caption, std::string_view text,
                   const std::vector<std::string>& buttons) override {
        if (paint) paint();
        return ScriptedPrompter::AskButtons(caption, text, buttons);
    }
};

// The month view without its start-up list of today's schedules (a modal dialog).
class QuietMonthView : public CAlmxView {
  public:
    using CAlmxView::CAlmxView;

  protected:
    void ShowTodayDialog(const TodaySchedules&) override {}
};

class RecordIdentityTest : public ::testing::Test {
  protected:
    RecordIdentityTest() {
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "test";
        auto document = std::make_unique<CAlmxDoc>(context);
        document->Array().genres = CAlmxFieldArray::General();
        host = std::make_unique<DocumentHost>(std::move(document));
        month = std::make_unique<QuietMonthView>(*host, display, settings, prompter, clock);
        month->resize(700, 600);
        day = std::make_unique<CDayView>(*host, settings, prompter, clock);
        day->resize(300, 400);
        day->SetMonthLink({[this] { return month->SelectedDate(); }, month.get(), nullptr, {}});
        todo = std::make_unique<CTodoView>(*host, settings, prompter, clock);
        todo->resize(600, 300);
    }

    CAlmxDoc& Doc() { return host->Document(); }

    DateTime RandomDay() {
        return kFirst.PlusDays(std::uniform_int_distribution<int>(0, 120)(random));
    }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    const CAlmxData* RandomRecord() {
        if (Doc().Records().empty()) return nullptr;
        return &Doc().Records()[static_cast<std::size_t>(
            Pick(static_cast<int>(Doc().Records().size())))];
    }

    // Every entry a view lists is one of the document's records or one its cells made for
    // display (addresses compared, never read).
    void ExpectOnlyRecords() {
        const CAlmxArray& array = Doc().Array();
        for (const CAlmxData* entry : day->List().Rows().Entries()) {
            ASSERT_TRUE(array.Contains(entry) || day->Cells().MadeForDisplay(entry));
        }
        for (const DayCell& cell : month->Cells().Cells()) {
            for (const CAlmxData* entry : cell.entries) {
                ASSERT_TRUE(array.Contains(entry) || month->Cells().MadeForDisplay(entry));
            }
        }
    }

    // The views took every change before anything else ran; then each paints.
    void PaintAll() {
        ExpectOnlyRecords();
        for (QWidget* view : {static_cast<QWidget*>(month.get()), static_cast<QWidget*>(day.get()),
                              static_cast<QWidget*>(todo.get())}) {
            (void)view->grab();
        }
        ExpectOnlyRecords();
    }

    const DateTime kFirst = DateTime::FromDate(2025, 4, 1);
    MemorySettingsStore settings;
    DisplaySettings display;
    PaintingPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
    std::unique_ptr<DocumentHost> host;
    std::unique_ptr<CAlmxView> month;
    std::unique_ptr<CDayView> day;
    std::unique_ptr<CTodoView> todo;
    std::mt19937 random{20251208};
};

TEST_F(RecordIdentityTest, RandomChangesNeverLeaveAViewOnAFreedRecord) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<CAlmxData> good;
    for (int i = 0; i < 40; ++i) good.push_back(Schedule("取込" + std::to_string(i), RandomDay()));
    const std::string goodFile = WriteFile(dir, "good.alx", good);
    std::vector<CAlmxData> bad = good;
    bad.back().genre = 90;  // a genre the document does not define
    const std::string badFile = WriteFile(dir, "bad.alx", bad);

    for (int i = 0; i < 150; ++i) {
        Doc().AddRecord(i % 5 == 0 ? Todo("やること" + std::to_string(i), RandomDay())
                                   : Schedule("予定" + std::to_string(i), RandomDay()),
                        true);
    }
    month->SelectDate(DateTime::FromDate(2025, 5, 3));
    month->show();
    day->show();
    todo->show();
    PaintAll();
    prompter.paint = [this] { PaintAll(); };

    for (int step = 0; step < 2500; ++step) {
        const int op = Pick(14);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        switch (op) {
            case 0: {
                CAlmxData r =
                    Pick(4) == 0 ? Todo("新規", RandomDay()) : Schedule("新規", RandomDay());
                if (Pick(3) == 0) {
                    r.repeatType = 1;
                    r.end = r.start.PlusDays(30);
                }
                Doc().AddRecord(std::move(r), Pick(2) == 0);
                break;
            }
            case 1:
                if (const CAlmxData* r = RandomRecord()) {
                    CAlmxData edited = *r;
                    edited.title += "改";
                    edited.start = edited.end = RandomDay();
                    Doc().ReplaceRecord(r, std::move(edited), true);
                }
                break;
            case 2:
                if (const CAlmxData* r = RandomRecord()) {
                    // One day of a recurring record, or all of it after the plain question.
                    const int button = r->IsRecurring() ? Pick(2) : 1;
                    if (r->IsRecurring()) prompter.ThenButton(button);
                    if (button == 1) prompter.Then(Answer::Yes);
                    Doc().DeleteRecord(r, r->start);
                    ASSERT_EQ(prompter.RepliesLeft(), 0u);
                }
                break;
            case 3:
                if (const CAlmxData* r = RandomRecord()) {
                    Doc().PasteOntoDate(RecordLine(*r), RandomDay());
                }
                break;
            case 4:
                day->OnCommand(kCut);
                break;
            case 5:
                day->OnCommand(kPaste);
                break;
            case 6:
                if (Doc().Records().size() < 600) Doc().ImportFile(goodFile);
                break;
            case 7:
                Doc().ImportFile(badFile);
                break;
            case 8:
                Doc().Sort(static_cast<SortKey>(Pick(4)),
                           Pick(2) == 0 ? SortOrder::Ascending : SortOrder::Descending);
                break;
            case 9:
                if (Pick(8) == 0) Doc().DeleteOldSchedules(kFirst.PlusDays(Pick(20)));
                break;
            case 10:
                if (Doc().Array().genres.Count() > 1 && Pick(4) == 0) {
                    DeleteGenre(Doc().Array().genres, 1, Doc().Records());
                    host->Changed();
                } else {
                    Doc().Array().genres.ExtendTo(3);
                }
                break;
            case 11:
                day->List().SelectRow(Pick(4));
                day->OnCommand(kMoveUp);
                break;
            case 12:
                month->OnCommand(Pick(3) == 0 ? kNextDay
                                              : (Pick(2) == 0 ? kNextMonth : kPreviousMonth));
                break;
            case 13:
                // A dialog cancelled after its edits were undone: a copy comes back in place.
                if (const CAlmxData* r = RandomRecord()) {
                    const CAlmxData before = *r;
                    Doc().ReplaceRecord(r, Schedule("仮", RandomDay()), true);
                    Doc().ReplaceRecord(r, before, true);
                }
                break;
        }
        PaintAll();
        if (HasFatalFailure()) return;
        QApplication::processEvents();
    }
    EXPECT_GT(Doc().Records().size(), 0u);
}

}  // namespace
}  // namespace almx
