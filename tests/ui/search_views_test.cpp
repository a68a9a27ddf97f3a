// The schedule search in the views: find in the month view with the day list taking the hit,
// and the schedule list (検索リスト) with its commands.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "app/view_factory.h"
#include "base/clock.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "core/record_line.h"
#include "document/document.h"
#include "grid/grid_control.h"
#include "views/day_view.h"
#include "views/find_dlg.h"
#include "views/month_view.h"
#include "views/multi_sort_dlg.h"
#include "views/sch_view.h"
#include "views/sort_dlg.h"
#include "views/text_search_dlgs.h"

namespace almx {
namespace {

using namespace sch_cmd;

CAlmxData Schedule(const std::string& title, int month, int day, const std::string& place = "") {
    CAlmxData r;
    r.title = title;
    r.place = place;
    r.start = DateTime::FromParts(2024, month, day, 10, 0);
    r.end = r.start;
    r.Set(StartTimeSet);
    r.alarmMinutes = -1;
    return r;
}

// Runs a hook when asked, as a message box runs the event loop.
class HookPrompter : public ScriptedPrompter {
  public:
    std::function<void()> whileAsking;
    Answer AskOkCancel(std::string_view text) override {
        if (whileAsking) whileAsking();
        return ScriptedPrompter::AskOkCancel(text);
    }
};

class TestMonthView : public CAlmxView {
  public:
    using CAlmxView::CAlmxView;
    std::function<bool(SearchCondition&)> findDialog;
    std::optional<SortChoice> sortChoice;

  protected:
    void ShowTodayDialog(const TodaySchedules&) override {}
    bool AskFindCondition(SearchCondition& condition) override {
        return findDialog && findDialog(condition);
    }
    std::optional<SortChoice> AskSortOrder() override { return sortChoice; }
};

class TestSchView : public CSchView {
  public:
    using CSchView::CSchView;
    std::vector<QString> menuItems;

  protected:
    void RunContextMenu(QMenu& menu, const QPoint&) override {
        menuItems.clear();
        for (QAction* action : menu.actions()) {
            menuItems.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
};

class SearchViewsTest : public ::testing::Test {
  protected:
    SearchViewsTest() {
        settings.SetInt("View", "First", 0);
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "test";
        auto document = std::make_unique<CAlmxDoc>(context);
        document->Array().genres = CAlmxFieldArray::General();
        host = std::make_unique<DocumentHost>(std::move(document));
    }

    CAlmxDoc& Doc() { return host->Document(); }

    std::unique_ptr<TestSchView> MakeList() {
        auto view = std::make_unique<TestSchView>(*host, settings, prompter);
        view->resize(800, 400);
        view->show();
        return view;
    }

    std::vector<std::string> Titles(CSchView& view) {
        std::vector<std::string> titles;
        for (int r = 0; r < view.Grid().RowCount(); ++r) {
            titles.push_back(view.Grid().Text(r, 3).toStdString());
        }
        return titles;
    }

    // Selects the rows, the last one current.
    void SelectRows(CSchView& view, std::initializer_list<int> rows) {
        QItemSelectionModel* selection = view.Grid().selectionModel();
        selection->clearSelection();
        for (int row : rows) {
            selection->setCurrentIndex(view.Grid().Model().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    MemorySettingsStore settings;
    HookPrompter prompter;
    ManualClock clock{DateTime::FromParts(2024, 1, 15, 9, 0)};
    DisplaySettings display;
    std::unique_ptr<DocumentHost> host;
};

using Titles_ = std::vector<std::string>;

TEST_F(SearchViewsTest, FindMovesTheMonthToTheHitAndTheDayListSelectsItsRow) {
    Doc().Records() = {Schedule("朝会", 3, 4), Schedule("散歩", 3, 4), Schedule("買物", 3, 4),
                       Schedule("会議", 5, 20), Schedule("会議", 7, 2)};
    TestMonthView month(*host, display, settings, prompter, clock);
    month.resize(700, 600);
    CDayView day(*host, settings, prompter, clock);
    LinkDayList(&month, &day);
    month.show();
    day.show();

    month.findDialog = [](SearchCondition& c) {
        c.text = "買物";
        return true;
    };
    ASSERT_TRUE(month.OnCommand(57636));
    EXPECT_EQ(month.Selected(), DateTime::FromDate(2024, 3, 4));
    ASSERT_NE(day.SelectedEntry(), nullptr);
    EXPECT_EQ(day.SelectedEntry()->title, "買物");
    EXPECT_EQ(settings.GetString("System", "FindStr", ""), "買物");

    month.findDialog = [](SearchCondition& c) {
        c.text = "会議";
        return true;
    };
    ASSERT_TRUE(month.OnCommand(57636));
    EXPECT_EQ(month.Selected(), DateTime::FromDate(2024, 5, 20));
    ASSERT_TRUE(day.OnCommand(32822));  // the day list passes it on
    EXPECT_EQ(month.Selected(), DateTime::FromDate(2024, 7, 2));
    EXPECT_TRUE(prompter.Shown().empty());
    ASSERT_TRUE(month.OnCommand(32822));
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{"見つかりません"});
    EXPECT_EQ(month.Selected(), DateTime::FromDate(2024, 7, 2));
    ASSERT_TRUE(month.OnCommand(32823));
    EXPECT_EQ(month.Selected(), DateTime::FromDate(2024, 5, 20));
}

TEST_F(SearchViewsTest, TheMonthViewsSortReordersTheDocumentAndMarksItModified) {
    Doc().Records() = {Schedule("b", 3, 4), Schedule("a", 1, 4), Schedule("c", 2, 4)};
    TestMonthView month(*host, display, settings, prompter, clock);
    auto list = MakeList();
    ASSERT_TRUE(month.CommandStatus(32845)->enabled);
    EXPECT_TRUE(month.OnCommand(32845));  // cancelled: nothing happens
    EXPECT_FALSE(Doc().IsModified());
    month.sortChoice = SortChoice{SortKey::Start, SortOrder::Ascending};
    EXPECT_TRUE(month.OnCommand(32845));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().Records()[0].title, "a");
    EXPECT_EQ(Doc().Records()[2].title, "b");
    EXPECT_EQ(Titles(*list), (Titles_{"b", "c", "a"}));  // the list keeps its own order
}

TEST_F(SearchViewsTest, TheListsICalendarExportGetsTheSelectedRowsRecords) {
    Doc().Records() = {Schedule("a", 1, 4), Schedule("b", 2, 4), Schedule("c", 3, 4)};
    auto list = MakeList();
    std::vector<std::string> exported;
    CalendarActions actions;
    actions.saveRecords = [&exported](const std::vector<const CAlmxData*>& records) {
        for (const CAlmxData* record : records) exported.push_back(record->title);
    };
    list->SetCalendarActions(actions);
    list->Grid().selectionModel()->clearSelection();
    list->Grid().setCurrentIndex(QModelIndex());
    EXPECT_FALSE(list->CommandStatus(32958)->enabled);
    SelectRows(*list, {0, 2});
    ASSERT_TRUE(list->CommandStatus(32958)->enabled);
    EXPECT_TRUE(list->OnCommand(32958));
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported, (std::vector<std::string>{"a", "c"}));
}

TEST_F(SearchViewsTest, TheListShowsItsBandColumnsAndRestoresEveryWidth) {
    settings.SetInt("SchList", "Width06", 133);
    settings.SetInt("SchList", "Width00", 41);
    Doc().Records() = {Schedule("会議", 1, 5, "東京")};
    auto list = MakeList();
    EXPECT_EQ(list->Grid().columnWidth(6), 133);
    EXPECT_EQ(list->Grid().columnWidth(0), 41);
    EXPECT_EQ(list->Grid().Model().headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("ジャンル"));
    EXPECT_EQ(list->SearchButton().text(), QStringLiteral("検索"));
    EXPECT_EQ(Titles(*list), (Titles_{"会議"}));
    EXPECT_EQ(list->Grid().Text(0, 4), QStringLiteral("東京"));
    EXPECT_EQ(list->Grid().Text(0, 6), QStringLiteral("一般"));
    list->Grid().onRightClick(0, 0, QPoint());
    EXPECT_EQ(list->menuItems,
              (std::vector<QString>{"追加(&A)...\tCtrl+A", "修正(&I)...\tEnter",
                                    "削除(&D)...\tDelete", "-", "切り取り(&T)\tCtrl+X",
                                    "コピー(&C)\tCtrl+C", "貼り付け(&V)\tCtrl+V"}));
    EXPECT_FALSE(list->CommandStatus(32958)->enabled);
    EXPECT_FALSE(list->CommandStatus(32916)->enabled);
    EXPECT_FALSE(list->CommandStatus(57607)->enabled);
    // The keys are written when the view goes.
    list->Keys().directions[0] = 0;
    list.reset();
    EXPECT_EQ(settings.GetInt("SchSort", "Mode0", -1), 0);
}

TEST_F(SearchViewsTest, SearchFromTheBoxFoldsWidthAndTheFindDialogsConditionIsHandedOver) {
    Doc().Records() = {Schedule("カラオケ", 1, 5), Schedule("散歩", 1, 6, "ｶﾗｵｹ店")};
    auto list = MakeList();
    list->SearchBox().setText(QStringLiteral("ｶﾗｵｹ"));
    list->SearchButton().click();
    EXPECT_EQ(Titles(*list), (Titles_{"散歩", "カラオケ"}));
    EXPECT_EQ(list->Condition().mode, kSearchContains);
    EXPECT_EQ(settings.GetString("SchFind", "FindStr", ""), "ｶﾗｵｹ");

    SearchCondition handed;
    handed.text = "散歩";
    handed.mode = kSearchEquals;
    Doc().FindCondition() = handed;
    Doc().SetFindHandOver(true);
    ASSERT_TRUE(list->OnCommand(kTakeCondition));
    EXPECT_FALSE(Doc().FindHandOver());
    EXPECT_EQ(list->SearchBox().text(), QStringLiteral("散歩"));
    EXPECT_EQ(Titles(*list), (Titles_{"散歩"}));
    EXPECT_EQ(list->Condition().section, "SchFind");
    // A new list takes a pending condition when it is made.
    handed.text = "カラオケ";
    Doc().FindCondition() = handed;
    Doc().SetFindHandOver(true);
    auto second = MakeList();
    EXPECT_EQ(Titles(*second), (Titles_{"カラオケ"}));
    EXPECT_FALSE(Doc().FindHandOver());
}

TEST_F(SearchViewsTest, AnotherViewsChangeRefillsTheListBeforeItIsUsed) {
    Doc().Records() = {Schedule("a", 1, 3), Schedule("b", 1, 2), Schedule("c", 1, 1)};
    auto list = MakeList();
    ASSERT_EQ(Titles(*list), (Titles_{"a", "b", "c"}));
    list->Grid().SelectRow(0);
    // Removed by another view: the list must not hold "a" any more.
    ASSERT_TRUE(Doc().RemoveRecord(&Doc().Records()[0]));
    EXPECT_EQ(Titles(*list), (Titles_{"b", "c"}));
    ASSERT_NE(list->SelectedRecord(), nullptr);
    EXPECT_TRUE(Doc().Records().Contains(list->SelectedRecord()));
    // A change that no hint told (straight into the container) is caught before a command.
    Doc().Records().push_back(Schedule("d", 1, 9));
    EXPECT_EQ(list->SelectedRecord(), nullptr);
    list->OnCommand(kDelete);
    EXPECT_TRUE(prompter.Shown().empty());
    EXPECT_EQ(Doc().Records().size(), 3u);
}

TEST_F(SearchViewsTest, DeleteAsksOnceRemovesEverySelectedRowAndChecksAgainAfterAsking) {
    Doc().Records() = {Schedule("a", 1, 4), Schedule("b", 1, 3), Schedule("c", 1, 2),
                       Schedule("d", 1, 1)};
    auto list = MakeList();
    SelectRows(*list, {0, 2});
    prompter.Then(Answer::Cancel);
    list->OnCommand(kDelete);
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{"削除しますか？"});
    EXPECT_EQ(Doc().Records().size(), 4u);

    prompter.Then(Answer::Ok);
    list->OnCommand(kDelete);
    EXPECT_EQ(Titles(*list), (Titles_{"b", "d"}));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(list->Grid().SelectedRow(), 1);  // the same row number, limited to the last

    // While the question is open another view removes one of the selected records.
    SelectRows(*list, {0, 1});
    prompter.whileAsking = [&] { Doc().RemoveRecord(&Doc().Records()[1]); };  // "d"
    prompter.Then(Answer::Ok);
    list->OnCommand(kDelete);
    prompter.whileAsking = nullptr;
    EXPECT_TRUE(Titles(*list).empty() || Titles(*list) == Titles_{"b"});
    for (const CAlmxData& r : Doc().Records()) EXPECT_NE(r.title, "d");
}

TEST_F(SearchViewsTest, CutTakesExactlyTheRecordItCopiesAndPasteTakesTheWholeText) {
    CAlmxData longMemo = Schedule("長いメモ", 1, 8);
    longMemo.memo = std::string(3000, 'm') + ",\"quoted\"";
    Doc().Records() = {Schedule("a", 1, 4), Schedule("b", 1, 3), Schedule("c", 1, 2), longMemo};
    auto list = MakeList();
    ASSERT_EQ(Titles(*list), (Titles_{"長いメモ", "a", "b", "c"}));
    SelectRows(*list, {2, 3, 1});  // current row 1: "a"
    list->OnCommand(kCut);
    EXPECT_EQ(Titles(*list), (Titles_{"長いメモ", "b", "c"}));
    EXPECT_TRUE(prompter.Shown().empty());  // cut never asks
    const QString cutLine = QGuiApplication::clipboard()->text();
    EXPECT_EQ(cutLine.toStdString(), RecordLine(Schedule("a", 1, 4)));

    list->Grid().SelectRow(0);
    list->OnCommand(kCopy);
    list->OnCommand(kPaste);
    ASSERT_EQ(Doc().Records().size(), 4u);  // three left after the cut, and the pasted one
    EXPECT_EQ(Doc().Records().back().memo, longMemo.memo);
    EXPECT_EQ(list->SelectedRecord(), &Doc().Records().back());
}

TEST_F(SearchViewsTest, AfterAnEditTheEditedRecordsRowIsSelected) {
    Doc().Records() = {Schedule("a", 1, 4), Schedule("b", 1, 3), Schedule("c", 1, 2)};
    auto list = MakeList();
    EntryActions actions;
    actions.edit = [&](const CAlmxData* record) {
        CAlmxData edited = *record;
        edited.start = edited.end = DateTime::FromParts(2023, 12, 1, 10, 0);
        return Doc().ReplaceRecord(record, edited, false) != nullptr;
    };
    list->SetEntryActions(actions);
    list->Grid().SelectRow(0);  // "a" moves to the end
    list->OnCommand(kEdit);
    EXPECT_EQ(Titles(*list), (Titles_{"b", "c", "a"}));
    ASSERT_NE(list->SelectedRecord(), nullptr);
    EXPECT_EQ(list->SelectedRecord()->title, "a");
}

TEST_F(SearchViewsTest, TheWordDialogKeepsTheHistoryAndItsDefaults) {
    settings.SetString("FindList", "str00", "会議");
    settings.SetString("FindList", "str02", "東京");
    CFind1Dlg dialog(settings);
    EXPECT_EQ(dialog.WordBox()->count(), 2);
    EXPECT_EQ(dialog.WordBox()->currentText(), QStringLiteral("会議"));
    EXPECT_FALSE(dialog.CaseBox()->isChecked());
    EXPECT_FALSE(dialog.WidthBox()->isChecked());
    EXPECT_EQ(dialog.ModeBox()->currentIndex(), 1);
    dialog.WordBox()->setEditText(QStringLiteral("東京"));
    dialog.Confirm();
    EXPECT_EQ(settings.GetString("FindList", "str00", ""), "東京");
    EXPECT_EQ(settings.GetString("FindList", "str01", ""), "会議");
}

TEST_F(SearchViewsTest, TheResultListHighlightsInTheBoxsPositionsAndFindsTheNextOne) {
    settings.SetInt("System", "FindListDlgWidth", 100000);
    settings.SetInt("System", "FindListDlgBottom", 100000);
    WordQuery query;
    query.word = "会議  東京";
    query.options.mode = text::kWordAll;
    std::vector<CFindListItem> items{{"2024/01/05", 7, "朝\n東京😀で会議\n会議"},
                                     {"2024/01/06", 9, "なし"}};
    auto dialog = std::make_unique<CFindListDlg>(items, query, settings, prompter);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(dialog->width(), screen.width());
    EXPECT_LE(dialog->height(), screen.height());
    EXPECT_EQ(dialog->List()->currentRow(), 0);
    EXPECT_EQ(dialog->Chosen(), 7);
    const std::vector<std::pair<int, int>> expected{{2, 2}, {7, 2}, {10, 2}};
    EXPECT_EQ(dialog->Highlights(), expected);
    const QString text = dialog->TextBox()->toPlainText();
    EXPECT_EQ(text.mid(7, 2), QStringLiteral("会議"));
    EXPECT_EQ(dialog->TextBox()->textCursor().selectedText(), QStringLiteral("東京"));
    QTextCursor blue(dialog->TextBox()->document());
    blue.setPosition(11);
    EXPECT_EQ(blue.charFormat().foreground().color(), QColor(0, 0, 255));
    dialog->FindNextInItem();
    EXPECT_EQ(dialog->TextBox()->textCursor().selectionStart(), 7);
    dialog->FindNextInItem();
    EXPECT_EQ(dialog->TextBox()->textCursor().selectionStart(), 10);
    dialog->FindNextInItem();
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{"現在選択中のアイテム内にはありません"});
    dialog->List()->setCurrentRow(1);
    EXPECT_TRUE(dialog->Highlights().empty());
    EXPECT_EQ(dialog->Chosen(), 9);
    dialog->resize(300, 200);
    dialog.reset();
    EXPECT_EQ(settings.GetInt("System", "FindListDlgWidth", 0), 300);
    EXPECT_EQ(settings.GetInt("System", "FindListDlgBottom", 0), 200);
}

// The file's lines, CR LF ends kept off.
std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

TEST_F(SearchViewsTest, CutPasteAndDeleteRoundTripThroughASavedFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string before = folder.filePath(QStringLiteral("before.alx")).toStdString();
    const std::string after = folder.filePath(QStringLiteral("after.alx")).toStdString();
    CAlmxData memo = Schedule("メモ付き", 1, 6, "本社");
    memo.memo = "一行目\n二行目, \"引用\"";
    Doc().Records() = {Schedule("a", 1, 9), memo, Schedule("ｶﾗｵｹ", 1, 7), Schedule("d", 1, 5)};
    ASSERT_TRUE(Doc().SaveTo(before));
    const std::vector<std::string> original = FileLines(before);
    auto list = MakeList();
    ASSERT_EQ(Titles(*list), (Titles_{"a", "ｶﾗｵｹ", "メモ付き", "d"}));
    list->Grid().SelectRow(2);  // cut the record with the memo, paste it back: it goes last
    list->OnCommand(kCut);
    list->OnCommand(kPaste);
    list->Grid().SelectRow(list->Grid().RowCount() - 1);  // "d"
    ASSERT_EQ(list->SelectedRecord()->title, "d");
    prompter.Then(Answer::Ok);
    list->OnCommand(kDelete);
    ASSERT_TRUE(Doc().SaveTo(after));
    const std::vector<std::string> saved = FileLines(after);
    // Records are the last four lines before; a, ｶﾗｵｹ, the memo record moved last, d gone.
    ASSERT_EQ(saved.size(), original.size() - 1);
    const std::size_t first = original.size() - 4;
    for (std::size_t i = 0; i < first; ++i) EXPECT_EQ(saved[i], original[i]) << i;
    EXPECT_EQ(saved[first], original[first]);          // a
    EXPECT_EQ(saved[first + 1], original[first + 2]);  // ｶﾗｵｹ
    EXPECT_EQ(saved[first + 2], original[first + 1]);  // the memo record, byte for byte
}

// Pictures of the list, the dialogs and the result list for a person to look at; only when
// ALMX_SCREENSHOT_DIR names a folder.
TEST_F(SearchViewsTest, ScreenshotsForReview) {
    const char* folder = std::getenv("ALMX_SCREENSHOT_DIR");
    if (folder == nullptr) GTEST_SKIP() << "ALMX_SCREENSHOT_DIR not set";
    const QString dir = QString::fromUtf8(folder) + QLatin1Char('/');
    CAlmxData todo = Schedule("報告書の提出", 2, 1);
    todo.Set(IsTodo);
    todo.colour = 0x0000FF;
    CAlmxData weekly = Schedule("定例会議", 1, 8, "第2会議室");
    weekly.repeatType = RepeatWeeks;
    weekly.end = DateTime::FromDate(2024, 12, 31);
    weekly.colour = 0x008000;
    Doc().Records() = {Schedule("会議 朝", 1, 5, "本社"), weekly, todo,
                       Schedule("ｶﾗｵｹ", 1, 9, "駅前"), Schedule("歯医者", 1, 12)};
    auto list = MakeList();
    list->resize(900, 300);
    list->Grid().SelectRow(1);
    list->grab().save(dir + "search_list.png");

    CAlmxFindDlg find(Doc().FindCondition());
    find.adjustSize();
    find.grab().save(dir + "find_dialog.png");
    CSortDlg sort;
    sort.adjustSize();
    sort.grab().save(dir + "sort_dialog.png");
    SortKeyList keys;
    CMultiSortDlg multi(SortListKind::Schedule, keys);
    multi.adjustSize();
    multi.grab().save(dir + "multi_sort_dialog.png");
    CFind1Dlg word(settings);
    word.adjustSize();
    word.grab().save(dir + "word_dialog.png");
    WordQuery query;
    query.word = "会議 東京";
    std::vector<CFindListItem> items{
        {"2024/01/05", 1, "朝から東京で会議。\n午後も会議室で打合せ。\n東京駅で解散"},
        {"2024/01/06", 2, "休み"}};
    CFindListDlg results(items, query, settings, prompter);
    results.resize(640, 320);
    results.grab().save(dir + "find_list.png");
    SUCCEED();
}

}  // namespace
}  // namespace almx
