#include "views/day_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record_line.h"
#include "document/document.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

CAlmxData OnDay(const std::string& title, const DateTime& day) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = day;
    r.alarmMinutes = -1;
    return r;
}

CAlmxData Timed(const std::string& title, const DateTime& day, int hour) {
    CAlmxData r = OnDay(title, day.WithTime(hour, 0));
    r.end = day.WithTime(hour, 30);
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    return r;
}

// 2024/02/11 falls on a Sunday: 02/12 gets the computed "振替休日".
CAlmxData Foundation() {
    CAlmxData r = OnDay("建国記念の日", D(1967, 2, 11));
    r.end = D(9998, 12, 31);
    r.repeatType = RepeatYears;
    r.repeatFirstDay = r.repeatLastDay = 11;
    r.Set(HolidayMark);
    return r;
}

class TestDayView : public CDayView {
  public:
    using CDayView::CDayView;
    std::optional<std::uint32_t> colour;
    std::optional<FontSpec> font;
    std::vector<QString> menuItems;

  protected:
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return colour; }
    std::optional<FontSpec> ChooseFont(const FontSpec&) override { return font; }
    void RunContextMenu(QMenu& menu, const QPoint&) override {
        menuItems.clear();
        for (QAction* action : menu.actions()) {
            if (action->isSeparator()) continue;
            menuItems.push_back(action->text() + (action->isEnabled() ? "" : " (off)"));
        }
    }
};

// The month view's side of the link.
struct FakeMonth : CommandTarget {
    bool OnCommand(int id) override {
        received.push_back(id);
        return true;
    }
    std::optional<CommandState> CommandStatus(int) const override { return CommandState{}; }
    std::vector<int> received;
};

struct Side {
    Side(MemorySettingsStore& settings, ScriptedPrompter& prompter, ManualClock& clock) {
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        host = std::make_unique<DocumentHost>(std::make_unique<CAlmxDoc>(context));
        view = std::make_unique<TestDayView>(*host, settings, prompter, clock);
        view->resize(360, 300);
    }
    std::unique_ptr<DocumentHost> host;
    std::unique_ptr<TestDayView> view;
};

class DayViewTest : public ::testing::Test {
  protected:
    DayViewTest() {
        settings.SetInt("Holiday", "Shunbun", 0);
        view().SetMonthLink(
            {[this] { return std::optional<DateTime>(selected); }, &month, nullptr, nullptr});
    }

    TestDayView& view() { return *side.view; }
    CAlmxDoc& doc() { return side.host->Document(); }
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (const CAlmxData* entry : view().List().Rows().Entries())
            titles.push_back(entry->title);
        return titles;
    }

    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2024, 2, 1, 9, 0)};
    Side side{settings, prompter, clock};
    FakeMonth month;
    DateTime selected = D(2024, 2, 12);
};

using Names = std::vector<std::string>;

TEST_F(DayViewTest, TheDayListsItsEntriesInTheCellsOrderAndMovesOnlyRecords) {
    const DateTime day = D(2024, 2, 12);
    doc().Records() = {Foundation(),        Timed("夕方", day, 18),
                       OnDay("終日A", day), OnDay("他の日", D(2024, 2, 13)),
                       OnDay("終日B", day), Timed("朝", day, 9)};
    view().show();
    EXPECT_EQ(Titles(), (Names{"振替休日", "終日A", "終日B", "朝", "夕方"}));
    EXPECT_EQ(view().List().SelectedRow(), 0);

    view().OnCommand(32843);
    EXPECT_EQ(prompter.Shown().back(), "Almanixが自動的に設定したスケジュールは移動できません");
    EXPECT_FALSE(doc().IsModified());

    view().List().SelectRow(1);
    view().OnCommand(32843);
    EXPECT_EQ(Titles(), (Names{"振替休日", "終日B", "終日A", "朝", "夕方"}));
    EXPECT_EQ(view().List().SelectedRow(), 2);
    EXPECT_TRUE(doc().IsModified());

    // Time order keeps 朝 after the untimed entries, but the records did exchange places.
    view().OnCommand(32843);
    EXPECT_EQ(Titles(), (Names{"振替休日", "終日B", "終日A", "朝", "夕方"}));
    EXPECT_EQ(doc().Records()[5].title, "終日A");
    EXPECT_EQ(view().List().SelectedRow(), 2);

    view().List().SelectRow(4);
    EXPECT_FALSE(view().CommandStatus(32843)->enabled);
    view().OnCommand(32843);
    EXPECT_EQ(Titles(), (Names{"振替休日", "終日B", "終日A", "朝", "夕方"}));
}

TEST_F(DayViewTest, ARecordCopiedInOneProgramPastesWholeIntoAnother) {
    CAlmxData rich = Timed("打ち合わせ, \"第2回\"", D(2024, 2, 12), 10);
    rich.memo = "議題\n" + std::string(3000, 'z');
    rich.place = "会議室";
    doc().Records() = {rich};
    view().show();
    view().List().SelectRow(0);
    QTest::keyClick(&view().List(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(QGuiApplication::clipboard()->text().toStdString(), RecordLine(rich));

    Side other(settings, prompter, clock);
    DateTime otherDay = D(2024, 3, 5);
    other.view->SetMonthLink(
        {[&] { return std::optional<DateTime>(otherDay); }, nullptr, nullptr, nullptr});
    other.view->show();
    other.view->OnCommand(57637);
    RecordList& pasted = other.host->Document().Records();
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(pasted[0].title, rich.title);
    EXPECT_EQ(pasted[0].memo, rich.memo);
    EXPECT_EQ(pasted[0].start, DateTime::FromParts(2024, 3, 5, 10, 0));
    EXPECT_TRUE(other.host->Document().IsModified());
    ASSERT_EQ(other.view->List().RowCount(), 1);
    EXPECT_EQ(other.view->List().SelectedRow(), 0);

    // Cut removes the record without asking and keeps the row number.
    view().OnCommand(57635);
    EXPECT_TRUE(doc().Records().empty());
    EXPECT_EQ(view().List().RowCount(), 0);
    EXPECT_TRUE(prompter.Shown().empty());
}

TEST_F(DayViewTest, EveryHintThatRefillsCellsRefillsTheDayAndStaleRowsAreNotPainted) {
    const DateTime day = D(2024, 2, 12);
    doc().Records() = {OnDay("一", day), OnDay("二", day)};
    view().show();
    ASSERT_EQ(Titles(), (Names{"一", "二"}));
    for (int hint : {1, 2, 4, 8}) {
        doc().Records().push_back(OnDay("追加" + std::to_string(hint), day));
        side.host->UpdateAllViews(nullptr, hint);
        EXPECT_EQ(view().List().RowCount(), static_cast<int>(doc().Records().size())) << hint;
    }
    side.host->UpdateAllViews(nullptr, 16, &doc().Records()[0]);
    EXPECT_EQ(Titles()[0], "二");

    // Records go away with no hint at all: the rows are not painted from them.
    doc().Records().clear();
    doc().Records().shrink_to_fit();
    EXPECT_EQ(view().SelectedEntry(), nullptr);
    view().grab();
    EXPECT_EQ(view().List().RowCount(), 0);

    // Hint 2 after a search selects the hit's row.
    doc().Records() = {OnDay("一", day), OnDay("二", day), OnDay("三", day)};
    const CAlmxData* hit = &doc().Records()[2];
    view().SetMonthLink({[this] { return std::optional<DateTime>(selected); }, &month, nullptr,
                         [&hit] { return std::exchange(hit, nullptr); }});
    side.host->UpdateAllViews(nullptr, 10);
    EXPECT_EQ(view().List().SelectedRow(), 2);
    EXPECT_EQ(hit, nullptr);

    // A new selected day.
    selected = D(2024, 2, 13);
    view().OnCommand(32825);
    EXPECT_EQ(view().Day(), D(2024, 2, 13));
    EXPECT_EQ(view().List().RowCount(), 0);
}

TEST_F(DayViewTest, RowsAreAsHighAsTheirDrawnTextAndGrowWhenWrappedNarrower) {
    const DateTime day = D(2024, 2, 12);
    std::string longText;
    for (int i = 0; i < 12; ++i) longText += "長い予定の説明文です。";
    doc().Records() = {OnDay("短い", day), OnDay(longText, day)};
    view().show();
    const int line = QFontMetrics(view().List().font()).height();
    EXPECT_EQ(view().List().RowHeight(0), line + line / 4);
    EXPECT_EQ(view().List().RowHeight(1), line + line / 4);

    settings.SetInt("View", "Multiline", 1);
    view().ReloadLook();
    EXPECT_EQ(view().List().RowHeight(0), line + line / 4);
    const int wide = view().List().RowHeight(1);
    EXPECT_GE(wide, 2 * line + line / 4);
    view().resize(180, 300);
    QCoreApplication::processEvents();
    EXPECT_GT(view().List().RowHeight(1), wide);
}

TEST_F(DayViewTest, MonthCommandsPassOnAndTheMenuKeysAndColoursFollowTheirSettings) {
    doc().Records() = {OnDay("一", D(2024, 2, 12))};
    view().show();
    for (int id : {32776, 32769, 32891, 57636}) EXPECT_TRUE(view().OnCommand(id));
    EXPECT_EQ(month.received, (std::vector<int>{32776, 32769, 32891, 57636}));
    EXPECT_FALSE(view().OnCommand(32909));  // next year is not the day list's to pass on

    QWidget monthWidget;
    monthWidget.show();
    view().SetMonthLink(
        {[this] { return std::optional<DateTime>(selected); }, &month, &monthWidget, nullptr});
    view().OnCommand(32853);
    EXPECT_TRUE(monthWidget.hasFocus() || QGuiApplication::focusObject() == nullptr);

    view().colour = 0x0000FF;
    view().OnCommand(32817);
    EXPECT_EQ(settings.GetString("DayView", "BackColor2", ""), "255");
    EXPECT_EQ(view().List().Colours().back2, 0x0000FFu);
    view().font = FontSpec{"Noto Sans CJK JP", -20, 700, 0, 0, 128};
    view().OnCommand(32827);
    EXPECT_EQ(settings.GetString("DayFont", "FaceName", ""), "Noto Sans CJK JP");
    EXPECT_EQ(settings.GetInt("DayFont", "Size", 0), -20);
    EXPECT_EQ(view().List().font().pixelSize(), 20);

    view().List().SelectRow(0);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(view().List().viewport(), &menuEvent);
    ASSERT_EQ(view().menuItems.size(), 13u);
    EXPECT_EQ(view().menuItems[0], "切り取り(&T)\tCtrl+X");
    EXPECT_EQ(view().menuItems[3], "スケジュールの追加(&A)... (off)");  // no entry dialogs here
    EXPECT_EQ(view().menuItems[9], "vCalender形式 (off)");

    // Delete goes through the document's delete with its question.
    prompter.Then(Answer::Yes);
    QTest::keyClick(&view().List(), Qt::Key_Delete);
    EXPECT_EQ(prompter.Shown().back(), "一 を削除しますか？");
    EXPECT_TRUE(doc().Records().empty());
    EXPECT_EQ(view().List().RowCount(), 0);
}

TEST_F(DayViewTest, EntryDialogsAreCalledForTheSelectedRecordAndDay) {
    const DateTime day = D(2024, 2, 12);
    doc().Records() = {OnDay("一", day)};
    std::vector<std::string> calls;
    EntryActions actions;
    actions.edit = [&](const CAlmxData* record) {
        calls.push_back("edit " + record->title);
        return false;
    };
    actions.addSchedule = [&](const DateTime& on) {
        calls.push_back("add " + FormatDate(on));
        doc().Records().push_back(OnDay("新", on));
        side.host->Changed();
        return true;
    };
    actions.repeatedCopy = [&](const CAlmxData* record) {
        calls.push_back("copy " + record->title);
        return false;
    };
    view().SetEntryActions(actions);
    view().show();
    QTest::keyClick(&view().List(), Qt::Key_Return);
    view().OnCommand(32781);
    EXPECT_EQ(view().List().SelectedRow(), 1);
    view().OnCommand(32836);
    EXPECT_EQ(calls, (std::vector<std::string>{"edit 一", "add 2024/02/12", "copy 新"}));
}

}  // namespace
}  // namespace almx
