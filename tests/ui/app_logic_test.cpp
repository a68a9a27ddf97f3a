// The program's plain logic: command line, window placement, command table and menus,
// routing, option commands and option forms.

#include <gtest/gtest.h>

#include <algorithm>

#include <set>

#include "app/command_line.h"
#include "app/command_router.h"
#include "app/command_table.h"
#include "app/frame_options.h"
#include "app/menu_layout.h"
#include "app/option_forms.h"
#include "app/window_placement.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "core/record_array.h"

namespace almx {
namespace {

TEST(CommandLine, FlagsWithEitherPrefixAndTheFirstFile) {
    CAlmxCommandLineInfo info = CAlmxCommandLineInfo::Parse({"-s", "/week", "plan.alx", "b.alx"});
    EXPECT_FALSE(info.showToday);
    EXPECT_EQ(info.viewKind, 1);
    EXPECT_EQ(info.fileName, "plan.alx");
    EXPECT_EQ(info.shellCommand, CAlmxCommandLineInfo::Shell::FileOpen);

    const std::vector<std::pair<std::string, int>> views{
        {"/month", 0}, {"-week", 1}, {"/todo", 2}, {"-diary", 3}, {"/memo", 4}};
    for (const auto& [flag, kind] : views) {
        EXPECT_EQ(CAlmxCommandLineInfo::Parse({flag}).viewKind, kind) << flag;
    }
    // The last view flag wins.
    EXPECT_EQ(CAlmxCommandLineInfo::Parse({"/memo", "-month"}).viewKind, 0);
}

TEST(CommandLine, NothingGivenIsANewDocumentWithTodaysSchedules) {
    CAlmxCommandLineInfo info = CAlmxCommandLineInfo::Parse({});
    EXPECT_TRUE(info.showToday);
    EXPECT_EQ(info.viewKind, -1);
    EXPECT_TRUE(info.fileName.empty());
    EXPECT_EQ(info.shellCommand, CAlmxCommandLineInfo::Shell::FileNew);
}

TEST(CommandLine, OnlyExactFlagWordsAreFlagsSoLinuxPathsAreFiles) {
    // "/home/u/plan.alx" once read as a flag "home/u/plan.alx" and the file was lost.
    CAlmxCommandLineInfo info = CAlmxCommandLineInfo::Parse({"/home/u/plan.alx"});
    EXPECT_EQ(info.fileName, "/home/u/plan.alx");
    EXPECT_EQ(info.viewKind, -1);

    // Case matters; near misses are not flags: "/Week" is a file, "-weeks" an unknown option.
    info = CAlmxCommandLineInfo::Parse({"-weeks", "/Week", "-S"});
    EXPECT_EQ(info.viewKind, -1);
    EXPECT_TRUE(info.showToday);
    EXPECT_EQ(info.fileName, "/Week");
    EXPECT_EQ(info.ignored, (std::vector<std::string>{"-weeks", "-S"}));

    // A file literally named like a flag word in the current folder needs a path.
    EXPECT_EQ(CAlmxCommandLineInfo::Parse({"./week"}).fileName, "./week");
    EXPECT_EQ(CAlmxCommandLineInfo::Parse({"/", "-"}).fileName, "/");
}

TEST(WindowPlacement, RoundTripsTheTenNumberForm) {
    WindowPlacement p;
    p.flags = kRestoreToMaximised;
    p.showState = kShowMaximised;
    p.minX = -32000;
    p.minY = -32000;
    p.maxX = -4;
    p.maxY = -4;
    p.left = 10;
    p.top = 20;
    p.right = 810;
    p.bottom = 620;
    EXPECT_EQ(p.Format(), "2,3,-32000,-32000,-4,-4,10,20,810,620");
    EXPECT_EQ(WindowPlacement::Parse(p.Format()), p);
    EXPECT_TRUE(p.Maximised());
    EXPECT_EQ(p.Width(), 800);
    EXPECT_EQ(p.Height(), 600);
    // Blanks around numbers, as a hand-edited store may hold.
    EXPECT_EQ(WindowPlacement::Parse(" 2, 3,-32000,-32000,-4,-4, 10,20,810,620 "), p);
}

TEST(WindowPlacement, AnythingButTenNumbersIsIgnored) {
    for (const char* text : {"", "0,1,-1,-1,-1,-1,0,0,100", "0,1,-1,-1,-1,-1,0,0,100,100,5",
                             "0,1,-1,-1,-1,-1,0,0,100,", "0,1,-1,-1,-1,-1,0,0,100,100x",
                             "0,1,-1,-1,-1,-1,0,0,1e2,100", "0,-1,-1,-1,-1,-1,0,0,100,100",
                             "0,1,,-1,-1,-1,0,0,100,100", "0;1;-1;-1;-1;-1;0;0;100;100",
                             "0,1,-1,-1,-1,-1,0,0,99999999999,100", "a,b,c,d,e,f,g,h,i,j"}) {
        EXPECT_FALSE(WindowPlacement::Parse(text)) << text;
    }
}

TEST(WindowPlacement, ARectangleWithoutAreaOrFarOffIsNotUsable) {
    auto rect = [](int l, int t, int r, int b) {
        WindowPlacement p;
        p.left = l;
        p.top = t;
        p.right = r;
        p.bottom = b;
        return p;
    };
    EXPECT_TRUE(rect(0, 0, 1, 1).HasUsableRect());
    EXPECT_TRUE(rect(-100, -50, 300, 200).HasUsableRect());
    EXPECT_FALSE(rect(10, 10, 10, 200).HasUsableRect());
    EXPECT_FALSE(rect(10, 10, 200, 5).HasUsableRect());
    EXPECT_FALSE(rect(0, 0, 2000000, 100).HasUsableRect());
}

TEST(WindowPlacement, TheStoredFormOfAWindow) {
    // Minimised windows are stored as normal; only a maximised one gets the flag.
    WindowPlacement normal = PlacementToStore(5, 6, 105, 206, false);
    EXPECT_EQ(normal.Format(), "0,1,-1,-1,-1,-1,5,6,105,206");
    WindowPlacement maximised = PlacementToStore(5, 6, 105, 206, true);
    EXPECT_EQ(maximised.Format(), "2,3,-1,-1,-1,-1,5,6,105,206");
    // A window closed while minimised from the maximised state comes back maximised.
    WindowPlacement minimised = maximised;
    minimised.showState = kShowMinimised;
    EXPECT_TRUE(minimised.Maximised());
    minimised.flags = 0;
    EXPECT_FALSE(minimised.Maximised());
}

TEST(CommandTable, EveryIdOnceInTheKeyListOrderWithItsLabel) {
    std::set<int> ids;
    for (const CommandSpec& stored : CommandTable()) {
        EXPECT_TRUE(ids.insert(stored.id).second) << stored.id;
        EXPECT_EQ(std::string(stored.label).front(), '[') << stored.id;
    }
    std::vector<int> keyList;
    for (const CommandSpec& stored : CommandTable()) {
        if (stored.keyList) keyList.push_back(stored.id);
    }
    ASSERT_EQ(keyList.size(), 119u);
    EXPECT_EQ(keyList.front(), 57600);
    EXPECT_EQ(keyList[13], 57665);
    EXPECT_EQ(keyList[14], 57635);
    EXPECT_EQ(keyList.back(), 57664);
    ASSERT_NE(FindCommand(32884), nullptr);
    EXPECT_STREQ(FindCommand(32884)->label, "[ｵﾌﾟｼｮﾝ]日付表示形式(&D)...");
    EXPECT_EQ(KeyListLabel(*FindCommand(32884)), "[ｵﾌﾟｼｮﾝ]日付表示形式...");
    EXPECT_EQ(MenuText(*FindCommand(32884)), "日付表示形式(&D)...");
    EXPECT_EQ(FindCommand(32895)->owner, CommandOwner::Nobody);
    EXPECT_EQ(FindCommand(12345), nullptr);
}

TEST(MenuLayout, TheMonthMenusShowEveryCommandOfTheTableButTheHandOver) {
    std::vector<int> shown = MenuCommandIds(MenuSet::Month);
    std::set<int> set(shown.begin(), shown.end());
    EXPECT_EQ(set.size(), shown.size()) << "a command twice in the month menus";
    // The to-do list's own commands are in its menus only.
    const std::set<int> todoOnly{32844, 32854, 32870, 32871, 32872};
    const std::vector<int> todo = MenuCommandIds(MenuSet::Todo);
    // So are the search list's.
    const std::set<int> searchListOnly{32936, 32937, 32938, 32947, 32916};
    const std::vector<int> list = MenuCommandIds(MenuSet::SearchList);
    // The memo view's editing and memo commands are in its menus only.
    const std::set<int> memoOnly{57643, 57642, 57641, 32990, 32991, 32992, 32993, 32994, 32995};
    const std::vector<int> memo = MenuCommandIds(MenuSet::Memo);
    // The new schedules' notification is the week view's.
    const std::vector<int> week = MenuCommandIds(MenuSet::Week);
    for (const CommandSpec& stored : CommandTable()) {
        if (stored.id == 32957) continue;
        if (stored.id == 32824) {
            EXPECT_FALSE(set.count(stored.id));
            EXPECT_NE(std::find(week.begin(), week.end(), stored.id), week.end());
            continue;
        }
        if (memoOnly.count(stored.id)) {
            EXPECT_FALSE(set.count(stored.id)) << stored.id;
            EXPECT_NE(std::find(memo.begin(), memo.end(), stored.id), memo.end()) << stored.id;
            continue;
        }
        if (todoOnly.count(stored.id)) {
            EXPECT_FALSE(set.count(stored.id)) << stored.id;
            EXPECT_NE(std::find(todo.begin(), todo.end(), stored.id), todo.end()) << stored.id;
            continue;
        }
        if (searchListOnly.count(stored.id)) {
            EXPECT_FALSE(set.count(stored.id)) << stored.id;
            EXPECT_NE(std::find(list.begin(), list.end(), stored.id), list.end()) << stored.id;
            continue;
        }
        EXPECT_TRUE(set.count(stored.id)) << stored.id;
    }
    EXPECT_FALSE(set.count(32957));
    for (MenuSet menus : {MenuSet::NoDocument, MenuSet::Week, MenuSet::Todo, MenuSet::Diary,
                          MenuSet::Memo, MenuSet::SearchList}) {
        for (int id : MenuCommandIds(menus)) EXPECT_NE(FindCommand(id), nullptr) << id;
    }
}

TEST(MenuLayout, TheToolBarInItsOrder) {
    const std::vector<int> bar(ToolBarLayout().begin(), ToolBarLayout().end());
    const std::vector<int> expected{57600, 57601, 57603, 0,     57607, 0,     57637, 0,     32770,
                                    32773, 0,     32775, 0,     32772, 32769, 0,     32781, 32768,
                                    0,     32782, 0,     32783, 32793, 32780, 32897, 32794, 0,
                                    57636, 32822, 32823, 32941, 0,     32791, 32829, 0,     32842,
                                    32843, 0,     32908, 0,     57667};
    EXPECT_EQ(bar, expected);
    for (int id : bar) {
        if (id != 0) {
            EXPECT_NE(FindCommand(id), nullptr) << id;
        }
    }
}

// A link of the route that knows some commands and records what it handled.
class Target : public CommandTarget {
  public:
    Target(std::set<int> known, bool enabled = true)
        : known_(std::move(known)), enabled_(enabled) {}
    bool OnCommand(int id) override {
        handled.push_back(id);
        return true;
    }
    std::optional<CommandState> CommandStatus(int id) const override {
        if (!known_.count(id)) return std::nullopt;
        return CommandState{enabled_, false, false};
    }
    std::vector<int> handled;

  private:
    std::set<int> known_;
    bool enabled_;
};

TEST(CommandRouting, TheFirstTargetThatKnowsTheCommandHandlesIt) {
    Target view({1});
    Target frame({1, 2});
    Target document({3});
    Target mainFrame({2, 3, 4});
    Target app({5});
    const std::array<CommandTarget*, 5> chain{&view, &frame, &document, &mainFrame, &app};
    for (int id : {1, 2, 3, 4, 5}) EXPECT_TRUE(RouteCommand(chain, id));
    EXPECT_EQ(view.handled, std::vector<int>{1});
    EXPECT_EQ(frame.handled, std::vector<int>{2});
    EXPECT_EQ(document.handled, std::vector<int>{3});
    EXPECT_EQ(mainFrame.handled, std::vector<int>{4});
    EXPECT_EQ(app.handled, std::vector<int>{5});
    EXPECT_FALSE(RouteCommand(chain, 6));
    EXPECT_FALSE(RouteStatus(chain, 6));
}

TEST(CommandRouting, MissingLinksAreSkippedAndADisabledOwnerStopsTheCommand) {
    Target disabledView({7}, false);
    Target frame({7});
    const std::array<CommandTarget*, 3> chain{nullptr, &disabledView, &frame};
    std::optional<CommandState> state = RouteStatus(chain, 7);
    ASSERT_TRUE(state);
    EXPECT_FALSE(state->enabled);
    EXPECT_FALSE(RouteCommand(chain, 7));
    EXPECT_TRUE(disabledView.handled.empty());
    EXPECT_TRUE(frame.handled.empty());
}

class FrameOptionsTest : public ::testing::Test {
  protected:
    MemorySettingsStore settings_;
    DisplaySettings display_;
    ScriptedPrompter prompter_;
    FrameOptions options_{display_, settings_, prompter_};
};

TEST_F(FrameOptionsTest, TogglesFlipWriteAtOnceAndSayWhatToRedraw) {
    struct Case {
        int id;
        const char* section;
        const char* key;
        int before;
        Redraw redraw;
    };
    const Case cases[] = {
        {cmd::kFileMarks, "View", "File", 1, Redraw::ActiveDocument},
        {cmd::kDiaryMarks, "View", "Diary", 0, Redraw::ActiveDocument},
        {cmd::kMultiline, "View", "Multiline", 0, Redraw::AllViews},
        {cmd::kIme, "System", "Ime", 0, Redraw::None},
        {cmd::kDiaryFirst, "Diary", "First", 0, Redraw::None},
        {cmd::kInitTodo, "Init", "Todo", 0, Redraw::None},
        {cmd::kShowFirst, "View", "First", 1, Redraw::None},
        {cmd::kAbsolutePath, "System", "AbsolutePath", 0, Redraw::None},
        {cmd::kStartMonday, "View", "StartMonday", 0, Redraw::AllLayouts},
        {cmd::kYoubi, "View", "Youbi", 0, Redraw::WeekdayNames},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(options_.Status(c.id)) << c.id;
        EXPECT_EQ(options_.Status(c.id)->checked, c.before != 0) << c.id;
        EXPECT_EQ(options_.Apply(c.id), c.redraw) << c.id;
        EXPECT_EQ(settings_.GetInt(c.section, c.key, -1), c.before ? 0 : 1) << c.id;
        EXPECT_EQ(options_.Status(c.id)->checked, c.before == 0) << c.id;
        options_.Apply(c.id);
        EXPECT_EQ(settings_.GetInt(c.section, c.key, -1), c.before) << c.id;
    }
    EXPECT_TRUE(prompter_.Shown().empty());
}

TEST_F(FrameOptionsTest, WeekdayNamesToggleFromAnOddStoredValue) {
    display_.youbi = 2;  // empty names
    EXPECT_FALSE(options_.Status(cmd::kYoubi)->checked);
    options_.Apply(cmd::kYoubi);
    EXPECT_EQ(display_.youbi, 1);
    EXPECT_STREQ(display_.WeekdayName(0), "日");
}

TEST_F(FrameOptionsTest, FlatToolBarTakesEffectAtTheNextStart) {
    EXPECT_EQ(options_.Apply(cmd::kToolBarFlat), Redraw::None);
    EXPECT_EQ(settings_.GetInt("View", "ToolBarFlat", -1), 0);
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{"この設定は次回、起動時から有効です。"});
}

TEST_F(FrameOptionsTest, AlarmMailNeedsMailSettingsToSwitchOn) {
    EXPECT_EQ(options_.Apply(cmd::kAlarmMail), Redraw::None);
    EXPECT_FALSE(settings_.Contains("System", "AlermMail"));
    EXPECT_TRUE(prompter_.Saw("エラー：メールの設定がされていません"));

    options_.mailSetup = [] { return MailSetup::NoServer; };
    options_.Apply(cmd::kAlarmMail);
    EXPECT_TRUE(prompter_.Saw("エラー：メールのサーバ設定がされていません"));
    EXPECT_FALSE(options_.Status(cmd::kAlarmMail)->checked);

    options_.mailSetup = [] { return MailSetup::Ready; };
    options_.Apply(cmd::kAlarmMail);
    EXPECT_TRUE(prompter_.Saw("アラーム表示の代わりに全てメール送信します"));
    EXPECT_EQ(settings_.GetInt("System", "AlermMail", 0), 1);

    // Switching off asks nothing, even with the mail settings gone.
    options_.mailSetup = nullptr;
    const std::size_t shown = prompter_.Shown().size();
    options_.Apply(cmd::kAlarmMail);
    EXPECT_EQ(settings_.GetInt("System", "AlermMail", 1), 0);
    EXPECT_EQ(prompter_.Shown().size(), shown);
}

TEST_F(FrameOptionsTest, ChoicesAreRadioGroups) {
    options_.Apply(cmd::kSelModeFrame);
    EXPECT_EQ(display_.selColorMode, 2);
    EXPECT_EQ(settings_.GetInt("Color", "SelColorMode", -1), 2);
    EXPECT_TRUE(options_.Status(cmd::kSelModeFrame)->checked);
    EXPECT_FALSE(options_.Status(cmd::kSelModeFixed)->checked);

    EXPECT_EQ(options_.Apply(cmd::kTodoOnDeadline), Redraw::AllCells);
    EXPECT_EQ(settings_.GetInt("View", "TodoPos", -1), 1);
    options_.Apply(cmd::kContinueLarge);
    EXPECT_EQ(settings_.GetInt("View", "ContinueMark", -1), 2);
    options_.Apply(cmd::kContinueNone);
    EXPECT_EQ(display_.continueMark, 0);
}

TEST_F(FrameOptionsTest, TheStartLayoutIsWrittenWhenTheFrameGoes) {
    options_.Apply(cmd::kLayoutDiary);
    EXPECT_FALSE(settings_.Contains("Init", "View"));
    EXPECT_TRUE(options_.Status(cmd::kLayoutDiary)->checked);
    EXPECT_FALSE(options_.Status(cmd::kLayoutMonth)->checked);
    options_.StoreStartLayout();
    EXPECT_EQ(settings_.GetInt("Init", "View", -1), 3);
    EXPECT_EQ(settings_.GetInt("Init", "Todo", -1), 0);
}

TEST_F(FrameOptionsTest, ColoursAreWrittenAsDecimalTexts) {
    EXPECT_EQ(options_.SetColour(cmd::kBackColor, 0x123456), Redraw::AllCells);
    EXPECT_EQ(settings_.GetString("View", "BackColor", ""), "1193046");
    EXPECT_EQ(display_.backColor, 0x123456u);
    EXPECT_EQ(options_.SetColour(cmd::kOtherColor, 1), Redraw::AllCells);
    EXPECT_EQ(options_.SetColour(cmd::kHolidayColor, 2), Redraw::Colours);
    EXPECT_EQ(options_.SetColour(cmd::kTodayColor, 3), Redraw::Colours);
    EXPECT_EQ(options_.SetColour(cmd::kContinueColor, 0xFF000004), Redraw::Colours);
    EXPECT_EQ(settings_.GetString("View", "ContinueColor", ""), "4");
    EXPECT_EQ(DisplaySettings::Load(settings_).holidayColor, 2u);
    EXPECT_EQ(options_.Colour(cmd::kTodayColor), 3u);
}

TEST(OptionForms, WeekColoursAndDayFormatWriteTheirKeys) {
    MemorySettingsStore settings;
    DisplaySettings display;
    WeekColourForm week = WeekColourForm::From(display);
    EXPECT_EQ(week.colours[0], 255u);
    week.colours[3] = 0x00FF00;
    week.Apply(display, settings);
    EXPECT_EQ(settings.GetString("View", "WeekColor3", ""), "65280");
    EXPECT_EQ(settings.GetString("View", "WeekColor6", ""), "16711680");
    EXPECT_EQ(DisplaySettings::Load(settings).weekColors, display.weekColors);

    display.dayDrawPos = 9;  // a hand-edited store
    DayDrawForm day = DayDrawForm::From(display);
    EXPECT_EQ(day.position, 3);
    day.position = 4;
    day.frame = 2;
    day.Apply(display, settings);
    EXPECT_EQ(settings.GetInt("View", "DayDrawPos", -1), 4);
    EXPECT_EQ(settings.GetInt("View", "DayDrawFrame", -1), 2);
}

TEST(OptionForms, NotificationDefaults) {
    MemorySettingsStore settings;
    DisplaySettings display;
    AlarmSettingsForm form = AlarmSettingsForm::From(display);
    EXPECT_EQ(form.mode, 1);
    form.minutes = 15;
    form.waveFile = "/usr/share/sounds/bell.wav";
    form.mode = 2;
    form.Apply(display, settings);
    EXPECT_EQ(settings.GetInt("System", "Alerm", -1), 15);
    EXPECT_EQ(settings.GetString("System", "AlermWave", ""), "/usr/share/sounds/bell.wav");
    EXPECT_EQ(settings.GetInt("System", "AlermMode", -1), 2);
    EXPECT_EQ(display.alarmMode, 2);
}

TEST(OptionForms, TheOtherSettingsSheetWritesEveryValue) {
    MemorySettingsStore settings;
    settings.SetInt("System", "SaveSpanMinute", 12);
    DisplaySettings display = DisplaySettings::Load(settings);
    CAlmxArray array;
    array.genres = CAlmxFieldArray::General();
    array.genres.Append(CAlmxField("仕事"));
    array.defaultTodoGenre = 7;  // beyond the list: reads as 0

    OtherSettingsForm form = OtherSettingsForm::From(display, settings, &array);
    EXPECT_EQ(form.saveSpanChoice, 2);  // 12 minutes shows as 10
    EXPECT_EQ(form.genreNames, (std::vector<std::string>{"一般", "仕事"}));
    EXPECT_EQ(form.todoGenre, 0);
    EXPECT_TRUE(form.showFirst);
    EXPECT_EQ(form.defaultDays, 7);

    form.startLayout = 2;
    form.initTodo = true;
    form.todayLimit = 4;
    form.scheduleGenre = 1;
    form.viewTime = 3;
    form.defaultDays = 14;
    form.confirmCancel = false;
    form.newDirMode = 2;
    form.newDir = "/home/u/links";
    form.saveSpanChoice = 5;
    form.sharedFile = true;
    form.shunbun = false;
    EXPECT_TRUE(form.Apply(display, settings, &array));
    EXPECT_EQ(array.defaultScheduleGenre, 1);
    EXPECT_EQ(settings.GetInt("Init", "View", -1), 2);
    EXPECT_EQ(settings.GetInt("Init", "Todo", -1), 1);
    EXPECT_EQ(settings.GetInt("System", "TodayLimit", -1), 4);
    EXPECT_EQ(settings.GetInt("View", "ViewTime", -1), 3);
    EXPECT_EQ(settings.GetInt("Todo", "DefaultDays", -1), 14);
    EXPECT_EQ(settings.GetInt("Edit", "Cancel", -1), 0);
    EXPECT_EQ(settings.GetInt("LinkFile", "NewDirMode", -1), 2);
    EXPECT_EQ(settings.GetString("LinkFile", "NewDir", ""), "/home/u/links");
    EXPECT_EQ(settings.GetInt("System", "SaveSpanMinute", -1), 25);
    EXPECT_EQ(settings.GetInt("System", "SharedFile", -1), 1);
    EXPECT_EQ(settings.GetInt("Holiday", "Shunbun", -1), 0);
    EXPECT_EQ(display.saveSpanMinute, 25);
    EXPECT_EQ(display.todayLimit, 4);

    // Unchanged genres leave the document unmodified; no document, no genres.
    EXPECT_FALSE(
        OtherSettingsForm::From(display, settings, &array).Apply(display, settings, &array));
    OtherSettingsForm none = OtherSettingsForm::From(display, settings, nullptr);
    EXPECT_FALSE(none.hasDocument);
    EXPECT_FALSE(none.Apply(display, settings, nullptr));
}

}  // namespace
}  // namespace almx
